#pragma once
// Every line fwupdate writes goes through here. A write that fails (the reader of a pipe went
// away, the disk is full) ends output on that stream only: the modems go on to their ends,
// and the exit status is theirs.

#include <cstdio>
#include <string>

// Writes `text` to `file` and flushes it, unless a write to it failed before; then nothing.
// Safe to call from several threads.
void WriteOutput(std::FILE* file, const std::string& text);

// Whether writing to standard output or standard error has failed. Async-signal-safe: the
// Ctrl-C handlers write nothing more to a stream that failed.
bool StdoutFailed();
bool StderrFailed();

#pragma once
// fwupdate's output: lines on stdout and stderr, and on a terminal one live line that is
// redrawn in place with \r. Any other output first ends the live line, so nothing is
// written over it.

#include <cstddef>
#include <cstdio>
#include <string>

class CConsoleOut {
 public:
  // `humanOnStderr` (--json): stdout carries the events, so the lines for people go to stderr.
  explicit CConsoleOut(bool live, bool humanOnStderr = false)
      : m_live(live), m_human(humanOnStderr ? stderr : stdout) {}

  // Whether stdout is a terminal that takes a live line.
  bool Live() const { return m_live; }
  void Print(const std::string& text);   // stdout (or stderr, see above), one line
  void Prompt(const std::string& text);  // the same stream, without a line end: a question
  void Error(const std::string& text);   // stderr, one line
  void Draw(const std::string& text);    // the live line, redrawn
  void EndLine();                        // the live line stays, later output goes below it

 private:
  bool m_live;
  std::FILE* m_human;
  bool m_lineOpen = false;
  std::size_t m_drawnLength = 0;
};

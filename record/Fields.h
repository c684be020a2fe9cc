#pragma once
// Pulling version fields out of raw bytes: a modem answer or a block of an image. The bytes
// are not text; they may hold zero bytes, and nothing past `length` is ever read.

// Lowest index where `pattern` (without its zero) lies wholly within the first `length`
// bytes of `data`; -1 when it does not, or when the pattern is empty. Case-sensitive.
int FindPattern(const char* data, unsigned length, const char* pattern);

// `position` is a match of `label`. Skips white space after the label, then copies the run of
// bytes up to the next white space, zero byte or end of the valid bytes into `out` (a field
// of kVersionFieldSize bytes), cut to the field and terminated. Leaves `out` as it was when
// there is no such run.
void ReadTokenAfterLabel(const char* data, unsigned length, int position, const char* label,
                         char* out);

// `position` is a match of "Date:". Copies the bytes after the colon into `out`, stopping
// before a carriage return, a zero byte or the end of the valid bytes, at most 15 bytes, and
// terminates it. Every byte of the date is kept.
void ReadDateField(const char* data, unsigned length, int position, char* out);

#pragma once
// fwupdate's output: lines on stdout and stderr, and on a terminal one live line that is
// redrawn in place with \r. Any other output first ends the live line, so nothing is
// written over it.

#include <cstddef>
#include <string>

class CConsoleOut {
 public:
  explicit CConsoleOut(bool live) : m_live(live) {}

  // Whether stdout is a terminal that takes a live line.
  bool Live() const { return m_live; }
  void Print(const std::string& text);  // stdout, one line
  void Error(const std::string& text);  // stderr, one line
  void Draw(const std::string& text);   // the live line, redrawn
  void EndLine();                       // the live line stays, later output goes below it

 private:
  bool m_live;
  bool m_lineOpen = false;
  std::size_t m_drawnLength = 0;
};

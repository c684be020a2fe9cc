#pragma once
// The screen of several ports at once. On a terminal one live line per port (port, phase,
// percent, rate, time left) redrawn in place, with notes printed above them; otherwise a
// plain line per port at every tenth and at each end. Every port's thread writes through
// here, one line at a time.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "cli/screen/ProgressMeter.h"
#include "modem/ProgressView.h"

class CLiveLines {
 public:
  // `human`: the stream for people (stdout, or stderr under --json); `live`: it is a
  // terminal that takes cursor movement.
  CLiveLines(std::FILE* human, bool live, const std::vector<std::string>& ports);

  void Note(int port, const std::string& text);   // a line about a port, on `human`
  void Error(int port, const std::string& text);  // the same on stderr
  // Where a port's phase stands; `begins`: the phase has just begun.
  void Progress(int port, const ProgressReport& report, bool begins);
  void Finish(int port, const std::string& text);  // the port's last word on its line
  // A station's port between flashes: what it does now, on its line until its next phase.
  void Show(int port, const std::string& text);
  // A last live line under the ports' (a station's totals); plain output does not show it.
  void Footer(const std::string& text);
  void Print(const std::string& text);  // a line about no port in particular
  // Every port has ended: the live lines stay as they are, later lines go below them.
  void Close();

 private:
  struct Line {
    std::string name;
    CProgressMeter meter;
    bool inPhase = false;
    std::uint32_t done = 0;
    int shownPercent = -1;
    std::string final;  // once finished
  };

  void Emit(std::FILE* stream, const std::string& text);  // above the live lines
  void Redraw(std::uint64_t nowMs);
  std::string LiveText(const Line& line, std::uint64_t nowMs) const;

  std::mutex m_mutex;
  std::FILE* m_human;
  bool m_live;
  std::vector<Line> m_lines;
  std::size_t m_width = 0;  // of the port names
  int m_drawn = 0;          // live lines on the screen below the cursor's row
  std::string m_footer;
  std::uint64_t m_drawnAtMs = 0;
};

#include "cli/screen/LiveLines.h"

#include <algorithm>
#include <climits>

#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/texts/ConsoleTexts.h"

namespace {
constexpr std::uint64_t kRedrawMs = 200;
constexpr int kPlainEveryPercent = 10;
constexpr std::size_t kMaxLiveLine = 79;
}  // namespace

CLiveLines::CLiveLines(std::FILE* human, bool live, const std::vector<std::string>& ports)
    : m_human(human), m_live(live), m_lines(ports.size()) {
  for (std::size_t i = 0; i < ports.size(); ++i) {
    m_lines[i].name = ports[i];
    m_width = std::max(m_width, ports[i].size());
  }
}

void CLiveLines::Emit(std::FILE* stream, const std::string& text) {
  if (m_live && m_drawn > 0) {
    // Up over the live lines; the text takes the first, and they are drawn again below it.
    WriteOutput(stdout, "\x1b[" + std::to_string(m_drawn) + "A\r\x1b[J");
    m_drawn = 0;
  }
  WriteOutput(stream, text + "\n");
  if (m_live && m_drawnAtMs != 0) Redraw(MonotonicMs());
}

void CLiveLines::Note(int port, const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Emit(m_human, m_lines[static_cast<std::size_t>(port)].name + ": " + text);
}

void CLiveLines::Error(int port, const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Emit(stderr, m_lines[static_cast<std::size_t>(port)].name + ": " + text);
}

void CLiveLines::Print(const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Emit(m_human, text);
}

std::string CLiveLines::LiveText(const Line& line, std::uint64_t nowMs) const {
  std::string name = line.name;
  name.resize(m_width, ' ');
  if (!line.final.empty()) return name + "  " + line.final;
  if (!line.inPhase) return name + "  waiting";
  std::string text = name + "  " + line.meter.Label() + " " + line.meter.Figures(nowMs, true);
  if (text.size() > kMaxLiveLine)
    text = name + "  " + line.meter.Label() + " " + line.meter.Figures(nowMs, false);
  return text;
}

void CLiveLines::Redraw(std::uint64_t nowMs) {
  std::string screen;
  if (m_drawn > 0) screen += "\x1b[" + std::to_string(m_drawn) + "A";
  for (const Line& line : m_lines) screen += "\r\x1b[2K" + LiveText(line, nowMs) + "\n";
  if (!m_footer.empty()) screen += "\r\x1b[2K" + m_footer + "\n";
  WriteOutput(stdout, screen);
  m_drawn = static_cast<int>(m_lines.size()) + (m_footer.empty() ? 0 : 1);
  m_drawnAtMs = nowMs;
}

void CLiveLines::Progress(int port, const ProgressReport& r, bool begins) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Line& line = m_lines[static_cast<std::size_t>(port)];
  const std::uint64_t now = MonotonicMs();
  bool force = false;
  if (begins) {
    const bool transfer = r.phase == ProgressPhase::kTransfer;
    line.inPhase = true;
    line.final.clear();
    line.done = 0;
    line.shownPercent = -1;
    line.meter.Start(ProgressLabel(r.phase), transfer ? r.total : 0, transfer ? 1 : 0, now);
    line.meter.SetRange(static_cast<int>(std::min<std::uint32_t>(r.total, INT_MAX)));
    line.meter.SetStep(1);
    force = true;
  }
  if (r.done > line.done) {
    line.meter.SetStep(static_cast<int>(r.done - line.done));
    line.meter.Step(now);
  }
  line.done = r.done;
  const int percent = line.meter.Percent();
  if (m_live) {
    if (force || now - m_drawnAtMs >= kRedrawMs || percent == 100) Redraw(now);
    return;
  }
  // Plain lines: one per port at every tenth, and at the end of each phase.
  if (percent == 0 || percent / kPlainEveryPercent == line.shownPercent / kPlainEveryPercent)
    return;
  line.shownPercent = percent;
  Emit(m_human, line.name + ": " + line.meter.Label() + " " + line.meter.Figures(now, false));
}

void CLiveLines::Finish(int port, const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Line& line = m_lines[static_cast<std::size_t>(port)];
  line.final = text;
  if (m_live && m_drawnAtMs != 0)
    Redraw(MonotonicMs());
  else
    Emit(m_human, line.name + ": " + text);
}

void CLiveLines::Show(int port, const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Line& line = m_lines[static_cast<std::size_t>(port)];
  line.inPhase = false;
  line.final = text;
  if (m_live)
    Redraw(MonotonicMs());
  else
    Emit(m_human, line.name + ": " + text);
}

void CLiveLines::Footer(const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_footer = text;
  if (m_live) Redraw(MonotonicMs());
}

void CLiveLines::Close() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_live = false;
  m_drawn = 0;
}

#include "cli/screen/ConsoleProgress.h"

#include <algorithm>
#include <climits>

#include "cli/platform/Platform.h"
#include "cli/texts/ConsoleTexts.h"

namespace {
// A live bar is redrawn when its percent changes, and at least this often for its rate.
constexpr std::uint64_t kRedrawMs = 500;
constexpr int kPlainEveryPercent = 10;
constexpr std::size_t kMaxLiveLine = 79;
}  // namespace

void CConsoleProgress::OpenProgressWindow() {
  // The erase begins with this window: from here an interruption leaves the modem without
  // working firmware.
  SetInterruptState(InterruptState::kFlashAtRisk);
  m_open = true;
}

// The transfer counts in bytes, one meter step a byte; the erase in its ticks.
void CConsoleProgress::BeginPhase(ProgressPhase phase, std::uint32_t total) {
  const std::uint64_t now = m_nowMs();
  const bool transfer = phase == ProgressPhase::kTransfer;
  const std::string label = ProgressLabel(phase);
  m_out.EndLine();
  m_meter.Start(label, transfer ? total : 0, transfer ? 1 : 0, now);
  m_meter.SetRange(static_cast<int>(std::min<std::uint32_t>(total, INT_MAX)));
  m_meter.SetStep(1);
  m_done = 0;
  m_shownPercent = -1;
  if (!m_out.Live()) m_out.Print(label);
  Show(true);
}

void CConsoleProgress::Advance(std::uint32_t done) {
  if (done <= m_done) return;
  m_meter.SetStep(static_cast<int>(done - m_done));
  m_meter.Step(m_nowMs());
  m_done = done;
  Show(false);
}

void CConsoleProgress::CloseProgressWindow() {
  m_out.EndLine();
  m_open = false;
}

void CConsoleProgress::Show(bool force) {
  if (!m_open || m_meter.Label().empty()) return;
  const std::uint64_t now = m_nowMs();
  const int percent = m_meter.Percent();
  if (m_out.Live()) {
    if (!force && percent == m_shownPercent && now - m_shownAtMs < kRedrawMs) return;
    // A line longer than the terminal wraps, and \r would redraw only its last row: a
    // long line goes without its bar.
    std::string line = m_meter.Label() + " " + m_meter.Figures(now, true);
    if (line.size() > kMaxLiveLine) line = m_meter.Label() + " " + m_meter.Figures(now, false);
    m_out.Draw(line);
  } else {
    // Plain lines: one per tenth, never one per block.
    if (percent / kPlainEveryPercent == m_shownPercent / kPlainEveryPercent || percent == 0) return;
    m_out.Print(m_meter.Label() + " " + m_meter.Figures(now, false));
  }
  m_shownPercent = percent;
  m_shownAtMs = now;
}

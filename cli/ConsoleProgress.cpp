#include "cli/ConsoleProgress.h"

#include "cli/Platform.h"
#include "modem/Texts.h"

namespace {
// A live bar is redrawn when its percent changes, and at least this often for its rate.
constexpr std::uint64_t kRedrawMs = 500;
constexpr int kPlainEveryPercent = 10;
constexpr std::size_t kMaxLiveLine = 79;
}  // namespace

void CConsoleProgress::SetTransferSize(std::uint64_t bytes, std::uint32_t bytesPerStep) {
  m_transferBytes = bytes;
  m_bytesPerStep = bytesPerStep;
}

void CConsoleProgress::OpenProgressWindow() {
  // The erase begins with this window: from here an interruption leaves the modem without
  // working firmware.
  SetInterruptState(InterruptState::kFlashAtRisk);
  m_open = true;
}

void CConsoleProgress::SetProgressText(const std::string& text) {
  m_out.EndLine();
  const bool transfer = text == text::kUpdating;
  m_meter.Start(text, transfer ? m_transferBytes : 0, transfer ? m_bytesPerStep : 0,
                MonotonicMs());
  m_shownPercent = -1;
  if (!m_out.Live()) m_out.Print(text);
  Show(true);
}

void CConsoleProgress::SetProgressRange(std::uint16_t upper) { m_meter.SetRange(upper); }

void CConsoleProgress::SetProgressPos(int pos) {
  m_meter.SetPos(pos, MonotonicMs());
  Show(false);
}

void CConsoleProgress::SetProgressStep(int step) { m_meter.SetStep(step); }

void CConsoleProgress::StepProgress() {
  m_meter.Step(MonotonicMs());
  Show(false);
}

void CConsoleProgress::CloseProgressWindow() {
  m_out.EndLine();
  m_open = false;
}

void CConsoleProgress::Show(bool force) {
  if (!m_open || m_meter.Label().empty()) return;
  const std::uint64_t now = MonotonicMs();
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

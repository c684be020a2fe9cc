#include "cli/run/AttemptTrack.h"

CAttemptTrack::CAttemptTrack(IAttemptLog& log, std::function<std::uint64_t()> nowMs,
                             const ConsolePort& port, const ImageFacts& image, int unit)
    : m_log(log), m_nowMs(std::move(nowMs)), m_phaseStart(m_nowMs()) {
  m_figures.historyId = m_log.Begin(port, image, unit);
}

void CAttemptTrack::Close() {
  const std::uint64_t now = m_nowMs();
  m_figures.phaseMs[static_cast<std::size_t>(m_figures.reached)] += now - m_phaseStart;
  m_phaseStart = now;
}

void CAttemptTrack::Reach(AttemptPhase phase, const FirmwareVersionInfo* modem) {
  if (phase <= m_figures.reached && !modem) return;
  Close();
  if (phase > m_figures.reached) m_figures.reached = phase;
  m_log.Reached(m_figures.historyId, m_figures.reached, modem);
}

AttemptFigures CAttemptTrack::Finish(const UpgradeOutcome& outcome) {
  Close();
  m_log.Finish(m_figures.historyId, outcome, m_figures);
  return m_figures;
}

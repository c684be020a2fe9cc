#include "cli/json/JsonSeams.h"

#include "cli/platform/Platform.h"

namespace {
// At most a few progress events a second per port: a pipe reader wants the pace, not every
// block.
constexpr std::uint64_t kProgressEveryMs = 250;
}  // namespace

void CJsonProgress::BeginPhase(ProgressPhase phase, std::uint32_t total) {
  m_inner.BeginPhase(phase, total);
  m_at = {phase, 0, total};
  m_shownAtMs = MonotonicMs();
  m_events.Phase(m_port, phase, total);
}

void CJsonProgress::Advance(std::uint32_t done) {
  m_inner.Advance(done);
  if (done < m_at.done) return;  // within a phase a reader never sees progress go back
  m_at.done = done;
  const std::uint64_t now = MonotonicMs();
  if (done == m_at.total || now - m_shownAtMs >= kProgressEveryMs) {
    m_shownAtMs = now;
    m_events.Progress(m_port, m_at.phase, done, m_at.total);
  }
}

int CJsonBoxes::ShowMessageBox(const BoxMessage& message) {
  if (message.id != BoxId::kConsent) return m_inner.ShowMessageBox(message);
  m_asked = true;
  m_events.Versions(message.port.name, "modem", message.modem);
  m_events.Versions(message.port.name, "image", message.image);
  const int answer = m_inner.ShowMessageBox(message);
  m_events.Consent(message.port.name, answer == box::kIdOk, m_yes);
  return answer;
}

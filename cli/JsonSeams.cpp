#include "cli/JsonSeams.h"

#include "cli/Platform.h"

namespace {
// At most a few progress events a second per port: a pipe reader wants the pace, not every
// block.
constexpr std::uint64_t kProgressEveryMs = 250;
}  // namespace

void CJsonProgress::ShowProgress(const ProgressReport& r) {
  m_inner.ShowProgress(r);
  const std::uint64_t now = MonotonicMs();
  if (!m_inPhase || r.phase != m_phase) {
    m_inPhase = true;
    m_phase = r.phase;
    m_shownAtMs = now;
    m_events.Phase(m_port, r.phase, r.total);
    return;
  }
  if (r.done == r.total || now - m_shownAtMs >= kProgressEveryMs) {
    m_shownAtMs = now;
    m_events.Progress(m_port, r.phase, r.done, r.total);
  }
}

int CJsonBoxes::ShowMessageBox(const BoxMessage& message) {
  if (message.id != BoxId::kConsent) return m_inner.ShowMessageBox(message);
  m_events.Versions(message.port.name, "modem", message.modem);
  m_events.Versions(message.port.name, "image", message.image);
  const int answer = m_inner.ShowMessageBox(message);
  m_events.Consent(message.port.name, answer == box::kIdOk, m_yes);
  return answer;
}

#include "cli/run/ConsentGate.h"

#include <algorithm>

bool CConsentGate::Arrive(int port, const FirmwareVersionInfo& modem,
                          const FirmwareVersionInfo& image) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_states[static_cast<std::size_t>(port)] = State::kWaiting;
  m_arrivals.push_back({port, modem, image});
  m_changed.notify_all();
  m_changed.wait(lock, [this] { return m_answered; });
  return m_yes;
}

void CConsentGate::Leave(int port) {
  std::lock_guard<std::mutex> lock(m_mutex);
  State& state = m_states[static_cast<std::size_t>(port)];
  if (state == State::kPending) state = State::kGone;
  m_changed.notify_all();
}

std::vector<Arrival> CConsentGate::AwaitAll() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] {
    return std::none_of(m_states.begin(), m_states.end(),
                        [](State s) { return s == State::kPending; });
  });
  std::vector<Arrival> arrivals = m_arrivals;
  std::sort(arrivals.begin(), arrivals.end(),
            [](const Arrival& a, const Arrival& b) { return a.port < b.port; });
  return arrivals;
}

void CConsentGate::Answer(bool yes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_answered = true;
  m_yes = yes;
  m_changed.notify_all();
}

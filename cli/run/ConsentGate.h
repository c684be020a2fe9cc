#pragma once
// Several ports, one question: each port's thread brings its modem's record to the gate and
// waits; once every port has come or ended without a question, the main thread asks once,
// over a table of them all, and the answer lets every waiting port go on, or none.

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "cli/run/RunScreen.h"  // Arrival

class CConsentGate {
 public:
  explicit CConsentGate(int ports) : m_states(static_cast<std::size_t>(ports), State::kPending) {}

  // A port's thread: its records; blocks until the answer, and returns it.
  bool Arrive(int port, const FirmwareVersionInfo& modem, const FirmwareVersionInfo& image);
  // A port's thread, at its end: a port that never arrived is no longer waited for.
  void Leave(int port);

  // The main thread: blocks until no port is pending; the ports that wait for the answer.
  std::vector<Arrival> AwaitAll();
  void Answer(bool yes);

 private:
  enum class State { kPending, kWaiting, kGone };

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<State> m_states;
  std::vector<Arrival> m_arrivals;
  bool m_answered = false;
  bool m_yes = false;
};

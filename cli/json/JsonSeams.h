#pragma once
// The console's progress and boxes, with the events of --json beside them: each forwards to
// the console's seam and writes what happened for machines.

#include <cstdint>
#include <string>

#include "cli/json/JsonEvents.h"
#include "modem/MessageBoxes.h"
#include "modem/ProgressView.h"

class CJsonProgress : public IProgressView {
 public:
  CJsonProgress(IProgressView& inner, CJsonEvents& events, std::string port)
      : m_inner(inner), m_events(events), m_port(std::move(port)) {}

  void OpenProgressWindow() override { m_inner.OpenProgressWindow(); }
  void BeginPhase(ProgressPhase phase, std::uint32_t total) override;
  void Advance(std::uint32_t done) override;
  void EndPhase(ProgressPhase phase) override { m_inner.EndPhase(phase); }
  void CloseProgressWindow() override { m_inner.CloseProgressWindow(); }

 private:
  IProgressView& m_inner;
  CJsonEvents& m_events;
  std::string m_port;
  ProgressReport m_at{ProgressPhase::kErase, 0, 0};
  std::uint64_t m_shownAtMs = 0;
};

class CJsonBoxes : public IMessageBoxes {
 public:
  CJsonBoxes(IMessageBoxes& inner, CJsonEvents& events, bool yes)
      : m_inner(inner), m_events(events), m_yes(yes) {}

  int ShowMessageBox(const BoxMessage& message) override;
  // Whether the question came: the records went out with it.
  bool Asked() const { return m_asked; }

 private:
  IMessageBoxes& m_inner;
  CJsonEvents& m_events;
  bool m_yes;
  bool m_asked = false;
};

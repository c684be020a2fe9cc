#pragma once
// The figures of one progress phase (erase or transfer) and their one-line forms: percent,
// bytes, rate and time left. Follows the core's bar operations; time comes from the caller,
// so the figures can be checked without a clock.

#include <cstdint>
#include <string>

class CProgressMeter {
 public:
  // A new phase under `label`, started now. `totalBytes` is what it moves, `bytesPerStep`
  // what one step stands for; 0 for a phase counted in steps only (the erase).
  void Start(const std::string& label, std::uint64_t totalBytes, std::uint32_t bytesPerStep,
             std::uint64_t nowMs);
  void SetRange(int upper) { m_upper = upper; }
  void SetPos(int pos, std::uint64_t nowMs);
  void SetStep(int step) { m_step = step; }
  void Step(std::uint64_t nowMs);

  int Percent() const;
  const std::string& Label() const { return m_label; }
  // "[#####-----]  50%  524288/1048576 B  11.2 KiB/s  0:45 left": the bar when withBar,
  // bytes and rate when the phase counts bytes.
  std::string Figures(std::uint64_t nowMs, bool withBar) const;

 private:
  std::uint64_t BytesDone() const;

  std::string m_label;
  std::uint64_t m_totalBytes = 0;
  std::uint32_t m_bytesPerStep = 0;
  int m_upper = 100;
  int m_pos = 0;
  int m_step = 1;
  // Rate and time left are measured from the first step after the phase's start or the
  // last SetPos: the waits before the bar moves say nothing about its speed.
  bool m_originPending = true;
  std::uint64_t m_originMs = 0;
  int m_originPos = 0;
};

// 0:07, 12:34, 1:02:03; "--:--" when not known.
std::string FormatDuration(double seconds);
// 850 B/s, 11.2 KiB/s, 1.5 MiB/s.
std::string FormatRate(double bytesPerSecond);

#pragma once
// Which of the progress bar's steps reach the control. The control repaints at once on every
// position it is given, and under Wine each paint costs a dozen round trips to the window
// server and a flush to the X server; a 512 KiB image steps the bar 512 times over a few
// hundred pixels. So a step is only counted here, and shown when it moves the filled part by
// a pixel, no sooner than an interval after the last paint; a full bar shows at once, so that
// each phase ends drawn. Portable: the unit tests check it on a virtual clock.

#include <cstdint>

class CBarShow {
 public:
  explicit CBarShow(double intervalMs) : m_intervalMs(intervalMs) {}

  void SetWidth(int pixels) { m_width = pixels; }
  // After a message that sets them on the control: its range, its step, its position.
  void SetRange(int lower, int upper);
  void SetStep(int step) { m_step = step; }
  void SetShown(int pos) { m_pos = m_shown = pos; }

  // Steps the position as the bar's step message does; returns the position before it.
  int Step();
  // True when the position stepped to reaches the control now (the full bar comes at once;
  // a step that moves no pixel never): then the caller sends it and calls Shown.
  bool ShowNow(double nowMs) const;
  bool Full() const { return m_pos == m_upper && m_pos != m_shown; }
  int Pos() const { return m_pos; }
  void Shown(double nowMs);

 private:
  int FilledWidth(int pos) const;

  double m_intervalMs;
  int m_width = 0;
  int m_lower = 0;
  int m_upper = 100;
  int m_step = 10;
  int m_pos = 0;    // the position stepped to
  int m_shown = 0;  // the control's own
  double m_shownAtMs = -1e300;
};

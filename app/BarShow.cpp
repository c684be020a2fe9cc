#include "app/BarShow.h"

#include <cmath>

void CBarShow::SetRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
}

int CBarShow::Step() {
  const int before = m_pos;
  // Past its upper bound the bar starts over from its lower one, as the control does.
  const int stepped = m_pos + m_step;
  m_pos = stepped > m_upper ? m_lower : stepped;
  return before;
}

bool CBarShow::ShowNow(double nowMs) const {
  if (Full()) return true;
  return FilledWidth(m_pos) != FilledWidth(m_shown) && nowMs - m_shownAtMs >= m_intervalMs;
}

void CBarShow::Shown(double nowMs) {
  m_shown = m_pos;
  m_shownAtMs = nowMs;
}

// How much of the bar is filled, in pixels: what the user sees of its position.
int CBarShow::FilledWidth(int pos) const {
  const double span = static_cast<double>(m_upper) - m_lower;
  if (span <= 0) return 0;
  // Rounded as the control rounds it.
  return static_cast<int>(std::lround((static_cast<double>(pos) - m_lower) * m_width / span));
}

#include "cli/screen/ProgressMeter.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kBarWidth = 20;
}

void CProgressMeter::Start(const std::string& label, std::uint64_t totalBytes,
                           std::uint32_t bytesPerStep, std::uint64_t nowMs) {
  m_label = label;
  m_totalBytes = totalBytes;
  m_bytesPerStep = bytesPerStep;
  SetPos(0, nowMs);
}

void CProgressMeter::SetPos(int pos, std::uint64_t nowMs) {
  m_pos = pos;
  m_originPending = true;
  m_originMs = nowMs;
  m_originPos = pos;
}

void CProgressMeter::Step(std::uint64_t nowMs) {
  if (m_originPending) {
    m_originPending = false;
    m_originMs = nowMs;
    m_originPos = m_pos;
  }
  m_pos += m_step;
}

std::uint64_t CProgressMeter::BytesDone() const {
  if (m_pos <= 0) return 0;
  return std::min<std::uint64_t>(std::uint64_t(m_pos) * m_bytesPerStep, m_totalBytes);
}

int CProgressMeter::Percent() const {
  if (m_totalBytes > 0) return static_cast<int>(BytesDone() * 100 / m_totalBytes);
  if (m_upper <= 0) return 0;
  return std::clamp(m_pos, 0, m_upper) * 100 / m_upper;
}

std::string CProgressMeter::Figures(std::uint64_t nowMs, bool withBar) const {
  const int percent = Percent();
  std::string out;
  if (withBar) {
    const int filled = percent * kBarWidth / 100;
    out = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "] ";
  }
  char part[96];
  std::snprintf(part, sizeof part, "%3d%%", percent);
  out += part;

  // Progress since the origin, in the phase's own unit, and what is still to come.
  const double seconds = nowMs > m_originMs ? (nowMs - m_originMs) / 1000.0 : 0.0;
  double done = 0, left = 0;
  if (m_totalBytes > 0) {
    const std::uint64_t bytes = BytesDone();
    const std::uint64_t originBytes =
        m_originPos > 0
            ? std::min<std::uint64_t>(std::uint64_t(m_originPos) * m_bytesPerStep, m_totalBytes)
            : 0;
    done = static_cast<double>(bytes - std::min(bytes, originBytes));
    left = static_cast<double>(m_totalBytes - bytes);
    std::snprintf(part, sizeof part, "  %llu/%llu B", static_cast<unsigned long long>(bytes),
                  static_cast<unsigned long long>(m_totalBytes));
    out += part;
    if (seconds > 0) out += "  " + FormatRate(done / seconds);
  } else {
    done = std::max(0, std::clamp(m_pos, 0, m_upper) - m_originPos);
    left = std::max(0, m_upper - std::clamp(m_pos, 0, m_upper));
  }
  if (left <= 0) {
    out += "  in " + FormatDuration(seconds);
  } else {
    // Within the first second the pace says too little to tell.
    const bool known = done > 0 && seconds >= 1;
    out += "  " + FormatDuration(known ? left * seconds / done : -1) + " left";
  }
  return out;
}

std::string FormatDuration(double seconds) {
  if (seconds < 0) return "--:--";
  const long total = static_cast<long>(seconds + 0.5);
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  }
  return text;
}

std::string FormatRate(double bytesPerSecond) {
  char text[32];
  if (bytesPerSecond < 1024) {
    std::snprintf(text, sizeof text, "%.0f B/s", bytesPerSecond);
  } else if (bytesPerSecond < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB/s", bytesPerSecond / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB/s", bytesPerSecond / (1024 * 1024));
  }
  return text;
}

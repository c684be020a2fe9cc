#include "sim/engine/ModemEngine.h"

#include <algorithm>

namespace {
constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";
}  // namespace

CModemEngine::CModemEngine(const ModemConfig& config) : m_config(config) {}

CModemEngine::Ticks CModemEngine::ToTicks(std::uint64_t ms) {
  if (ms >= std::numeric_limits<Ticks>::max() / kTicksPerMs) return std::numeric_limits<Ticks>::max();
  return ms * kTicksPerMs;
}

std::uint64_t CModemEngine::ToMsCeil(Ticks t) {
  if (t == std::numeric_limits<Ticks>::max()) return kNever;
  return t / kTicksPerMs + (t % kTicksPerMs != 0 ? 1 : 0);
}

bool CModemEngine::CtsLow() const { return m_stalled || m_vanished; }

std::size_t CModemEngine::CanTake() const {
  if (CtsLow()) return 0;
  if (m_state == State::Image && m_config.stallAfterImageBytes >= 0) {
    auto limit = static_cast<std::size_t>(m_config.stallAfterImageBytes);
    return limit > m_imageSize ? static_cast<std::size_t>(limit - m_imageSize) : 0;
  }
  return std::numeric_limits<std::size_t>::max();
}

std::size_t CModemEngine::Input(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
                                std::uint64_t limitMs) {
  const Ticks now = ToTicks(nowMs);
  const Ticks limit = ToTicks(limitMs);
  std::size_t taken = 0;
  for (; taken < n; ++taken) {
    Ticks t = std::max(now, m_inputDone) + (m_config.pace115200 ? kTicksPerByte : 0);
    if (t > limit) break;
    RunUntil(t);
    ApplyImageFaults();
    if (CtsLow()) break;
    m_inputDone = t;
    TakeByte(data[taken], t);
  }
  // A modem that took its last byte before vanishing or stalling says so at once, so that a
  // caller sees the state without offering another byte.
  ApplyImageFaults();
  return taken;
}

void CModemEngine::ApplyImageFaults() {
  if (m_state != State::Image) return;
  const auto k = static_cast<std::int64_t>(m_imageSize);
  if (m_config.vanishAfterImageBytes >= 0 && k >= m_config.vanishAfterImageBytes) {
    m_vanished = true;
    m_out.clear();
  }
  if (m_config.stallAfterImageBytes >= 0 && k >= m_config.stallAfterImageBytes) m_stalled = true;
}

std::uint64_t CModemEngine::HashOf(const std::uint8_t* data, std::size_t n) {
  std::uint64_t h = kHashSeed;
  for (std::size_t i = 0; i < n; ++i) h = (h ^ data[i]) * kHashPrime;
  return h;
}

std::uint64_t CModemEngine::InputDoneMs() const { return ToMsCeil(m_inputDone); }

void CModemEngine::RunUntil(Ticks t) {
  if (m_state == State::Erasing && t >= m_eraseEnd) {
    if (m_config.noReady) {
      m_state = State::Command;
      Emit(kOk, m_eraseEnd);
    } else {
      m_state = State::Image;
      Emit(m_config.readyAnswer, m_eraseEnd);
    }
  }
  if (m_state == State::Image && m_finalPending && t >= m_finalAt) SendFinal(m_finalAt);
}

void CModemEngine::TakeByte(std::uint8_t b, Ticks t) {
  switch (m_state) {
    case State::Image:
      TakeImageByte(b, t);
      return;
    case State::Erasing:
      return;  // the flash is busy; whatever comes now is lost
    case State::AwaitConfirm:
      if (b == 'y' && m_line.empty()) {
        if (m_config.echo) Emit("y", t);
        m_commands.push_back("y");
        m_image.clear();
        m_imageSize = 0;
        m_imageHash = kHashSeed;
        m_state = State::Erasing;
        m_eraseEnd = t + ToTicks(m_config.eraseTimeMs);
        return;
      }
      m_state = State::Command;
      break;
    case State::Command:
      break;
  }
  if (m_config.echo) Emit(std::string(1, static_cast<char>(b)), t);
  if (b == '\r') {
    EndCommand(t);
  } else if (!(b == '\n' && m_line.empty()) && m_line.size() < kMaxCommandLength) {
    m_line.push_back(static_cast<char>(b));
  }
}

void CModemEngine::TakeImageByte(std::uint8_t b, Ticks t) {
  if (m_config.keepImage) m_image.push_back(b);
  ++m_imageSize;
  m_imageHash = (m_imageHash ^ b) * kHashPrime;
  if (m_config.imageLength != 0) {
    if (m_imageSize >= m_config.imageLength) SendFinal(t + ToTicks(m_config.answerDelayMs));
    return;
  }
  m_finalPending = true;
  m_finalAt = t + ToTicks(m_config.finalAfterIdleMs);
}

void CModemEngine::EndCommand(Ticks t) {
  std::string command = m_line + "\r";
  m_line.clear();
  if (command == "\r") return;  // an empty line is no command
  m_commands.push_back(command);
  Emit(AnswerTo(command), t + ToTicks(m_config.answerDelayMs));
}

std::string CModemEngine::AnswerTo(const std::string& command) {
  const ModemConfig& c = m_config;
  if (command == "at&f\r" || command == "AT&F\r" || command == "at\r" || command == "AT\r")
    return kOk;
  if (command == "ati3\r" || command == "ATI3\r") {
    return !c.ati3Answer.empty() ? c.ati3Answer
                                  : "\r\n" + c.identification + "\r\n" + kOk;
  }
  if (command == "ATI7\r" || command == "ati7\r") {
    return !c.ati7Answer.empty()
               ? c.ati7Answer
               : "\r\nController Ver " + c.controllerVersion + "\r\nDate: " + c.controllerDate +
                     "\r\n" + kOk;
  }
  if (command == "ATI8\r" || command == "ati8\r") {
    return !c.ati8Answer.empty() ? c.ati8Answer
                                 : "\r\nDSP Ver " + c.dspVersion + "\r\nDate: " + c.dspDate +
                                       "\r\n" + kOk;
  }
  if (command == "AT+F56=90\r") {
    m_state = State::AwaitConfirm;
    return c.eraseAnswer;
  }
  return kError;
}

void CModemEngine::Emit(const std::string& text, Ticks t) {
  if (m_config.silent || m_vanished) return;
  for (char ch : text) {
    Ticks ready = std::max(t, m_lastOut) + (m_config.pace115200 ? kTicksPerByte : 0);
    m_out.push_back({static_cast<std::uint8_t>(ch), ready});
    m_lastOut = ready;
  }
}

void CModemEngine::SendFinal(Ticks t) {
  m_finalPending = false;
  m_state = State::Command;  // the new firmware starts in command mode
  if (m_config.noFinalAnswer) return;
  Emit(m_config.finalAnswer, t);
  ++m_finalAnswers;
}

std::size_t CModemEngine::OutputReady(std::uint64_t nowMs) {
  const Ticks now = ToTicks(nowMs);
  RunUntil(now);
  auto it = std::upper_bound(m_out.begin(), m_out.end(), now,
                             [](Ticks t, const OutByte& b) { return t < b.ready; });
  return static_cast<std::size_t>(it - m_out.begin());
}

std::size_t CModemEngine::Output(std::uint8_t* out, std::size_t max, std::uint64_t nowMs) {
  std::size_t n = std::min(max, OutputReady(nowMs));
  for (std::size_t i = 0; i < n; ++i) {
    out[i] = m_out.front().value;
    m_out.pop_front();
  }
  return n;
}

void CModemEngine::DiscardOutput(std::uint64_t nowMs) {
  std::size_t n = OutputReady(nowMs);
  m_out.erase(m_out.begin(), m_out.begin() + static_cast<std::ptrdiff_t>(n));
}

std::uint64_t CModemEngine::NextEventMs(std::uint64_t nowMs) {
  const Ticks now = ToTicks(nowMs);
  RunUntil(now);
  Ticks next = std::numeric_limits<Ticks>::max();
  auto it = std::upper_bound(m_out.begin(), m_out.end(), now,
                             [](Ticks t, const OutByte& b) { return t < b.ready; });
  if (it != m_out.end()) next = it->ready;
  if (m_state == State::Erasing) next = std::min(next, m_eraseEnd);
  if (m_state == State::Image && m_finalPending) next = std::min(next, m_finalAt);
  return ToMsCeil(next);
}

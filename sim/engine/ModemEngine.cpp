#include "sim/engine/ModemEngine.h"

#include <algorithm>
#include <cstring>

#include "image/BytesImageFile.h"
#include "image/ImageReader.h"
#include "sim/engine/Printable.h"

namespace {
constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";
}  // namespace

CModemEngine::CModemEngine(const ModemConfig& config) : m_config(config) {}

CModemEngine::Ticks CModemEngine::ToTicks(std::uint64_t ms) {
  if (ms >= std::numeric_limits<Ticks>::max() / kTicksPerMs)
    return std::numeric_limits<Ticks>::max();
  return ms * kTicksPerMs;
}

std::uint64_t CModemEngine::ToMsCeil(Ticks t) {
  if (t == std::numeric_limits<Ticks>::max()) return kNever;
  return t / kTicksPerMs + (t % kTicksPerMs != 0 ? 1 : 0);
}

void CModemEngine::Open(std::uint64_t nowMs) {
  if (!m_config.banner.empty()) Emit(m_config.banner, ToTicks(nowMs + m_config.bannerDelayMs));
}

void CModemEngine::SetLine(const LineSettings& line) {
  if (line != m_lineSettings) m_lastError.clear();  // the same fault on a new line is news
  m_lineSettings = line;
  m_lineServed = ServesAt(line);
}

bool CModemEngine::CtsLow() const { return m_stalled || m_vanished; }

std::size_t CModemEngine::CanTake() const {
  constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();
  if (m_vanished) return 0;
  // A host that ignores CTS sends anyway; the modem then misses those bytes.
  if (!m_lineSettings.ctsFlow) return kAny;
  if (m_stalled) return 0;
  if (m_state != State::Image) return kAny;
  std::size_t can = kAny;
  const std::int64_t stall = m_config.stallAfterImageBytes, hold = m_config.ctsHoldAfterImageBytes;
  const auto size = static_cast<std::int64_t>(m_imageSize);
  if (stall >= 0) can = static_cast<std::size_t>(stall > size ? stall - size : 0);
  // Up to the byte that starts the hold; from then on the hold keeps the host waiting.
  if (hold >= 1 && size < hold) can = std::min(can, static_cast<std::size_t>(hold - size));
  return can;
}

std::size_t CModemEngine::Input(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
                                std::uint64_t limitMs) {
  const Ticks now = ToTicks(nowMs);
  const Ticks limit = ToTicks(limitMs);
  const Ticks pace = m_config.pace115200 ? kTicksPerByte : 0;
  const bool flow = m_lineSettings.ctsFlow;
  std::size_t taken = 0;
  for (; taken < n; ++taken) {
    Ticks start = std::max(now, m_inputDone);
    ApplyImageFaults();
    if (m_vanished || (m_stalled && flow)) break;
    const bool ctsLow = m_stalled || start < m_ctsHeldUntil;
    if (ctsLow && flow) start = m_ctsHeldUntil;  // the host waits for CTS
    const Ticks t = start + pace;
    if (t > limit) break;
    RunUntil(t);
    m_inputDone = t;
    if (ctsLow && !flow) {
      AddError(t, "byte sent while CTS was low: lost");
      continue;
    }
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

void CModemEngine::AddError(Ticks t, const std::string& text) {
  if (text == m_lastError || m_errors.size() >= kMaxErrors) return;
  m_lastError = text;
  m_errors.push_back(std::to_string(ToMsCeil(t)) + " ms: " + text);
}

void CModemEngine::RunUntil(Ticks t) {
  if (m_state == State::Erasing && t >= m_eraseEnd) {
    if (m_config.noReady) {
      m_state = State::Command;
      Emit(kOk, m_eraseEnd);
    } else {
      m_state = State::Image;
      Emit(m_config.readyAnswer, m_eraseEnd, m_confirmation);
      if (!m_config.readyLeftover.empty())
        Emit(m_config.readyLeftover, m_lastOut + ToTicks(m_config.leftoverDelayMs));
    }
  }
  if (m_state == State::Image && m_finalPending && t >= m_finalAt) SendFinal(m_finalAt);
}

void CModemEngine::TakeByte(std::uint8_t b, Ticks t) {
  if (!m_lineServed) {
    AddError(t, "bytes at " + Describe(m_lineSettings) + ": not understood");
    return;
  }
  switch (m_state) {
    case State::Image:
      TakeImageByte(b, t);
      return;
    case State::Erasing:
      // The flash is busy: whatever comes now is lost, and the host should have known.
      AddError(t, "\"" + Printable(std::string(1, static_cast<char>(b))) + "\" while erasing");
      return;
    case State::AwaitConfirm:
      if (b == 'y' && m_line.empty()) {
        TakeConfirmation(t);
        return;
      }
      AddError(t, "\"" + Printable(std::string(1, static_cast<char>(b))) +
                      "\" instead of \"y\" after the erase prompt");
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

void CModemEngine::TakeConfirmation(Ticks t) {
  // A modem still busy sending its question does not take the answer yet.
  if (t < m_promptSent) {
    AddError(t, "\"y\" before the erase prompt was sent: ignored");
    return;
  }
  if (m_config.echo) Emit("y", t);
  m_commands.push_back("y");
  m_timed.push_back({"y", ToMsCeil(t), kNever});
  m_confirmation = static_cast<int>(m_timed.size()) - 1;
  m_image.clear();
  m_imageSize = 0;
  m_imageHash = kHashSeed;
  m_state = State::Erasing;
  m_eraseEnd = t + ToTicks(m_config.eraseTimeMs);
}

void CModemEngine::TakeImageByte(std::uint8_t b, Ticks t) {
  if (m_config.keepImage) m_image.push_back(b);
  ++m_imageSize;
  m_imageHash = (m_imageHash ^ b) * kHashPrime;
  if (m_config.ctsHoldAfterImageBytes >= 1 &&
      m_imageSize == static_cast<std::uint64_t>(m_config.ctsHoldAfterImageBytes))
    m_ctsHeldUntil = t + ToTicks(m_config.ctsHoldMs);
  if (m_config.imageLength != 0) {
    if (m_imageSize >= m_config.imageLength) SendFinal(t + ToTicks(m_config.answerDelayMs));
    return;
  }
  m_finalPending = true;
  // The modem's own CTS hold is no pause of the host's.
  m_finalAt = std::max(t, m_ctsHeldUntil) + ToTicks(m_config.finalAfterIdleMs);
}

void CModemEngine::EndCommand(Ticks t) {
  std::string command = m_line + "\r";
  m_line.clear();
  if (command == "\r") return;  // an empty line is no command
  m_commands.push_back(command);
  m_timed.push_back({command, ToMsCeil(t), kNever});
  const std::string answer = AnswerTo(command);
  if (answer == kError) AddError(t, "unknown command " + Printable(command));
  Emit(answer, t + ToTicks(m_config.answerDelayMs), static_cast<int>(m_timed.size()) - 1);
  if (m_state == State::AwaitConfirm) m_promptSent = m_lastOut;
  if ((command == "ATI7\r" || command == "ati7\r") && !m_config.ati7Leftover.empty())
    Emit(m_config.ati7Leftover, m_lastOut + ToTicks(m_config.leftoverDelayMs));
}

std::string CModemEngine::AnswerTo(const std::string& command) {
  const ModemConfig& c = m_config;
  if (command == "at&f\r" || command == "AT&F\r" || command == "at\r" || command == "AT\r")
    return kOk;
  if (command == "ati3\r" || command == "ATI3\r") {
    return !c.ati3Answer.empty() ? c.ati3Answer : "\r\n" + c.identification + "\r\n" + kOk;
  }
  if (command == "ATI7\r" || command == "ati7\r") {
    return !c.ati7Answer.empty() ? c.ati7Answer
                                 : "\r\nController Ver " + c.controllerVersion +
                                       "\r\nDate: " + c.controllerDate + "\r\n" + kOk;
  }
  if (command == "ATI8\r" || command == "ati8\r") {
    return !c.ati8Answer.empty()
               ? c.ati8Answer
               : "\r\nDSP Ver " + c.dspVersion + "\r\nDate: " + c.dspDate + "\r\n" + kOk;
  }
  if ((command == "AT+GSN\r" || command == "at+gsn\r") && !c.serialNumber.empty())
    return "\r\n" + c.serialNumber + "\r\n" + kOk;
  if (command == "AT+F56=90\r") {
    m_state = State::AwaitConfirm;
    return c.eraseAnswer;
  }
  return kError;
}

void CModemEngine::Emit(const std::string& text, Ticks t, int owner) {
  if (m_config.silent || m_vanished) return;
  for (char ch : text) {
    Ticks ready = std::max(t, m_lastOut) + (m_config.pace115200 ? kTicksPerByte : 0);
    m_out.push_back({static_cast<std::uint8_t>(ch), ready, owner});
    m_lastOut = ready;
  }
}

void CModemEngine::SendFinal(Ticks t) {
  m_finalPending = false;
  m_state = State::Command;  // the new firmware starts in command mode
  if (m_config.noFinalAnswer) return;
  Emit(m_config.finalAnswer, t);
  ++m_finalAnswers;
  if (m_config.finalAnswer.compare(0, 2, "OK") == 0) AdoptImageVersions();
}

void CModemEngine::AdoptImageVersions() {
  // Only the bytes kept can be read; without keepImage the modem keeps its versions.
  CBytesImageFile image(m_image.data(), m_image.size());
  FirmwareVersionInfo record;
  if (!ReadImageVersionInfo(image, record)) return;
  m_config.controllerVersion = record.controllerVersion;
  m_config.controllerDate = record.controllerDate;
  m_config.dspVersion = record.dspVersion;
  m_config.dspDate = record.dspDate;
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
    const OutByte& b = m_out.front();
    // At the wrong speed or framing the host decodes noise, never the modem's text.
    out[i] = m_lineServed ? b.value : static_cast<std::uint8_t>(b.value | 0x80);
    if (b.owner >= 0) m_timed[static_cast<std::size_t>(b.owner)].answerReadMs = nowMs;
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

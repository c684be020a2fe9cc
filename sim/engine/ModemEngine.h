#pragma once
// The simulated modem: bytes in, bytes out, no I/O of its own. The caller passes the time
// (milliseconds) with every call, so the same engine runs on a virtual clock in tests and
// on the real clock in modem-sim.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "sim/engine/LineSettings.h"
#include "sim/engine/ModemConfig.h"

// A command as the modem heard it, with its times, so tests can check order and spacing.
struct TimedCommand {
  std::string text;        // as Commands() has it
  std::uint64_t atMs = 0;  // when its last byte came
  // When the host took the last byte of its answer so far; kNever while it took none
  // (unread, purged, no answer).
  std::uint64_t answerReadMs = std::numeric_limits<std::uint64_t>::max();
};

class CModemEngine {
 public:
  static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

  explicit CModemEngine(const ModemConfig& config = ModemConfig());

  const ModemConfig& Config() const { return m_config; }

  // The host opened the port: the banner follows, if there is one.
  void Open(std::uint64_t nowMs);
  // The line as the host set it up. At other settings than the protocol's the modem
  // understands nothing the host sends, and what it sends arrives as garbage. A new engine
  // starts on the protocol's line.
  void SetLine(const LineSettings& line);
  const LineSettings& Line() const { return m_lineSettings; }

  // Host to modem: n bytes offered from nowMs on. With pacing each byte takes 1/11520 s and
  // none is taken after limitMs. Returns how many the modem took: fewer once it holds CTS
  // low for good, once it has vanished, or when the limit came first. During a CTS hold a
  // host with CTS flow control waits; one without sends, and those bytes are lost.
  std::size_t Input(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
                    std::uint64_t limitMs = kNever);
  // The time the last byte taken was on the line (rounded up); nowMs without pacing.
  std::uint64_t InputDoneMs() const;
  // How many bytes the modem would take at all (0 when CTS is low for good or it vanished);
  // never more than up to the next CTS hold.
  std::size_t CanTake() const;
  // Until when a CTS hold keeps the host waiting (0 when there was none).
  std::uint64_t CtsHeldUntilMs() const { return ToMsCeil(m_ctsHeldUntil); }

  // Modem to host: bytes that have arrived by nowMs. Output removes them.
  std::size_t OutputReady(std::uint64_t nowMs);
  std::size_t Output(std::uint8_t* out, std::size_t max, std::uint64_t nowMs);
  // Whether bytes are still queued, arrived or not.
  bool OutputPending() const { return !m_out.empty(); }
  // The host threw its receive buffer away: bytes that arrived by nowMs are gone.
  void DiscardOutput(std::uint64_t nowMs);

  // The earliest time after nowMs at which a byte arrives or the modem changes state by
  // itself; kNever when nothing will ever happen without new input.
  std::uint64_t NextEventMs(std::uint64_t nowMs);

  bool Vanished() const { return m_vanished; }
  bool CtsLow() const;

  // What the modem received: every image byte of the last download, in order; every
  // command with its carriage return ("y" as "y").
  const std::vector<std::uint8_t>& ImageBytes() const { return m_image; }
  // Count and FNV-1a hash of the last download's image bytes, kept even without keepImage.
  std::uint64_t ImageSize() const { return m_imageSize; }
  std::uint64_t ImageHash() const { return m_imageHash; }
  static std::uint64_t HashOf(const std::uint8_t* data, std::size_t n);
  const std::vector<std::string>& Commands() const { return m_commands; }
  const std::vector<TimedCommand>& TimedCommands() const { return m_timed; }
  // What a real modem would not take, each with its time ("17402 ms: ..."): bytes at other
  // line settings, bytes during the erase, anything but "y" after the erase prompt, "y"
  // before the prompt was sent, unknown commands, image bytes sent while CTS was low.
  // Repeats of the previous error are not listed again; at most kMaxErrors are kept.
  const std::vector<std::string>& Errors() const { return m_errors; }
  static constexpr std::size_t kMaxErrors = 64;
  // Final answers sent so far (one per completed download).
  int FinalAnswers() const { return m_finalAnswers; }

 private:
  // Time inside the engine: 1 ms = 11520 ticks, one byte at 115200 baud = 1000 ticks.
  using Ticks = std::uint64_t;
  static constexpr Ticks kTicksPerMs = 11520;
  static constexpr Ticks kTicksPerByte = 1000;
  static constexpr std::size_t kMaxCommandLength = 256;
  static constexpr std::uint64_t kHashSeed = 0xcbf29ce484222325ULL;
  static constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

  enum class State { Command, AwaitConfirm, Erasing, Image };

  struct OutByte {
    std::uint8_t value;
    Ticks ready;
    int owner;  // index into m_timed of the command answered; -1 when said unasked
  };

  static Ticks ToTicks(std::uint64_t ms);
  static std::uint64_t ToMsCeil(Ticks t);

  void RunUntil(Ticks t);
  void ApplyImageFaults();
  void TakeByte(std::uint8_t b, Ticks t);
  void TakeConfirmation(Ticks t);
  void TakeImageByte(std::uint8_t b, Ticks t);
  void EndCommand(Ticks t);
  std::string AnswerTo(const std::string& command);
  void Emit(const std::string& text, Ticks t, int owner = -1);
  void SendFinal(Ticks t);
  // After a complete update the modem runs the image it took: ATI7 and ATI8 then report
  // the version record of that image (when it holds a whole one).
  void AdoptImageVersions();
  void AddError(Ticks t, const std::string& text);

  ModemConfig m_config;
  LineSettings m_lineSettings;
  bool m_lineServed = true;
  State m_state = State::Command;
  std::string m_line;
  std::deque<OutByte> m_out;
  Ticks m_lastOut = 0;
  Ticks m_inputDone = 0;
  Ticks m_eraseEnd = 0;
  Ticks m_promptSent = 0;   // the last byte of the erase prompt is on the line
  int m_confirmation = -1;  // m_timed index of the "y" that started the erase
  Ticks m_ctsHeldUntil = 0;
  bool m_finalPending = false;  // in Image state: the final answer goes at m_finalAt
  Ticks m_finalAt = 0;
  bool m_vanished = false;
  bool m_stalled = false;
  std::vector<std::uint8_t> m_image;
  std::uint64_t m_imageSize = 0;
  std::uint64_t m_imageHash = kHashSeed;
  std::vector<std::string> m_commands;
  std::vector<TimedCommand> m_timed;
  std::vector<std::string> m_errors;
  std::string m_lastError;
  int m_finalAnswers = 0;
};

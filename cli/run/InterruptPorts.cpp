#include "cli/run/InterruptPorts.h"

#include <csignal>
#include <cstring>

#include "cli/json/Json.h"
#include "cli/json/JsonEvents.h"
#include "cli/platform/UtcTime.h"

namespace {

constexpr int kStates = static_cast<int>(FlashState::kCount);
constexpr int kCauses = 2;
constexpr std::size_t kLineSize = 512;
char g_lines[kMaxInterruptPorts][kStates][kLineSize];
// Every event begins with its name and then its time, stamped when it is written.
char g_jsonPortDone[kLineSize];
char g_jsonEndEvent[kLineSize];
// The rest of a port_done event in two parts, the bytes the modem took between them.
char g_jsonHead[kMaxInterruptPorts][kCauses][kLineSize];
char g_jsonTail[kMaxInterruptPorts][kStates][kLineSize];
char g_jsonEnd[kCauses][kLineSize];
volatile std::sig_atomic_t g_states[kMaxInterruptPorts];
volatile std::sig_atomic_t g_bytes[kMaxInterruptPorts];
volatile std::sig_atomic_t g_count = 0;
volatile std::sig_atomic_t g_linesOn = 0;
volatile std::sig_atomic_t g_jsonOn = 0;

void Keep(char* to, const std::string& text) {
  const std::size_t length = text.size() < kLineSize - 1 ? text.size() : kLineSize - 1;
  std::memcpy(to, text.data(), length);
  to[length] = '\0';
}

// A JSON object's text without its closing brace, to be continued.
std::string Open(const CJsonObject& object) {
  std::string text = object.Line();
  text.pop_back();
  return text;
}

// An object's fields after the time, to follow it: ",\"port\":...".
std::string AfterTime(const CJsonObject& object) { return "\"," + object.Line().substr(1); }

// The opening of event `name` up to its time's value.
std::string UpToTime(const char* name) {
  CJsonObject head;
  head.Number("schema", kJsonSchema).Text("event", name);
  return Open(head) + ",\"time\":\"";
}

void PrepareJson(int n, const std::string& name) {
  const OutcomeRow& row = OutcomeOf(UpgradeResult::kInterrupted);
  std::string message = row.line;
  message.replace(message.find("%s"), 2, name);
  for (int c = 0; c < kCauses; ++c) {
    CJsonObject head;
    head.Text("port", name)
        .Text("outcome", row.key)
        .Number("exit_status", StopStatus(static_cast<StopCause>(c)))
        .Text("message_id", row.messageKey)
        .Text("message", message);
    std::string rest = AfterTime(head);
    rest.pop_back();
    Keep(g_jsonHead[n][c], rest + ",\"bytes_sent\":");
  }
  for (int s = 0; s < kStates; ++s) {
    CJsonObject state;
    state.Text("flash_state", FlashStateOf(static_cast<FlashState>(s)).key);
    Keep(g_jsonTail[n][s], "," + state.Line().substr(1) + "\n");
  }
}

// The digits of n, async-signal-safe.
void WriteNumber(void (*write)(const char* text), long n) {
  char digits[24];
  char* p = digits + sizeof digits - 1;
  *p = '\0';
  do {
    *--p = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n > 0);
  write(p);
}

}  // namespace

int StopStatus(StopCause cause) {
  return cause == StopCause::kTerminate ? exitcode::kTerminated : exitcode::kInterrupted;
}

bool StopOfConsoleEvent(unsigned long event, StopCause& cause) {
  // CTRL_C_EVENT, CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT
  constexpr unsigned long kStopping[] = {0, 1, 2, 5, 6};
  for (unsigned long e : kStopping) {
    if (e == event) {
      cause = StopCause::kInterrupt;
      return true;
    }
  }
  return false;
}

void SetInterruptPorts(const std::vector<std::string>& names, bool lines, bool json,
                       const char* command) {
  g_count = 0;
  int n = 0;
  for (const std::string& name : names) {
    if (n == kMaxInterruptPorts) break;
    for (int s = 0; s < kStates; ++s)
      Keep(g_lines[n][s],
           "  " + name + ": " + FlashStateOf(static_cast<FlashState>(s)).words + "\n");
    if (json) PrepareJson(n, name);
    g_states[n] = static_cast<int>(FlashState::kUntouched);
    g_bytes[n] = 0;
    ++n;
  }
  Keep(g_jsonPortDone, UpToTime("port_done"));
  Keep(g_jsonEndEvent, UpToTime("end"));
  for (int c = 0; c < kCauses; ++c) {
    CJsonObject end;
    end.Text("command", command).Number("exit_status", StopStatus(static_cast<StopCause>(c)));
    Keep(g_jsonEnd[c], AfterTime(end) + "\n");
  }
  g_linesOn = lines ? 1 : 0;
  g_jsonOn = json ? 1 : 0;
  g_count = n;
}

void SetInterruptPortState(int port, FlashState state) {
  if (port >= 0 && port < g_count) g_states[port] = static_cast<int>(state);
}

void SetInterruptPortBytes(int port, std::uint32_t bytes) {
  if (port >= 0 && port < g_count) g_bytes[port] = static_cast<std::sig_atomic_t>(bytes);
}

bool InterruptPortsSet() { return g_count > 0 && g_linesOn; }

void WriteInterruptPorts(void (*write)(const char* text)) {
  if (!g_linesOn) return;
  for (int i = 0; i < g_count; ++i) write(g_lines[i][g_states[i]]);
}

void WriteInterruptJson(void (*write)(const char* text), StopCause cause) {
  if (!g_jsonOn) return;
  const int c = static_cast<int>(cause);
  char now[kIsoUtcSize];
  FormatIsoUtc(WallClockMs(), now);
  for (int i = 0; i < g_count; ++i) {
    write(g_jsonPortDone);
    write(now);
    write(g_jsonHead[i][c]);
    WriteNumber(write, static_cast<long>(static_cast<std::uint32_t>(g_bytes[i])));
    write(g_jsonTail[i][g_states[i]]);
  }
  write(g_jsonEndEvent);
  write(now);
  write(g_jsonEnd[c]);
}

#include "sim/simline/SimLineDriver.h"

#include <algorithm>
#include <cstdint>

#include "sim/engine/ModemEngine.h"
#include "sim/simline/LineFromState.h"

struct CSimLineDriver::Port {
  std::unique_ptr<CModemEngine> modem;
  bool busy = false;
  bool denied = false;
  int openCount = 0;
  SerialHandle handle = kNullHandle;  // null while no one holds the port
  SerialState state;
  SerialTimeouts timeouts;
};

namespace {
constexpr std::uint64_t kNever = CModemEngine::kNever;

std::uint64_t Total(std::uint32_t multiplier, std::uint32_t constant, std::uint32_t n) {
  return std::uint64_t{multiplier} * n + constant;
}
}  // namespace

CSimLineDriver::CSimLineDriver(CVirtualClock& clock) : m_clock(clock) {}
CSimLineDriver::~CSimLineDriver() = default;

CSimLineDriver::Port& CSimLineDriver::At(const std::string& port) {
  auto& slot = m_ports[port];
  if (!slot) slot = std::make_unique<Port>();
  return *slot;
}

CModemEngine& CSimLineDriver::AttachModem(const std::string& port, const ModemConfig& config) {
  Port& p = At(port);
  p.modem = std::make_unique<CModemEngine>(config);
  return *p.modem;
}

void CSimLineDriver::SetPortBusy(const std::string& port, bool busy) { At(port).busy = busy; }
void CSimLineDriver::SetPortDenied(const std::string& port, bool denied) {
  At(port).denied = denied;
}

CModemEngine* CSimLineDriver::Modem(const std::string& port) {
  auto it = m_ports.find(port);
  return it == m_ports.end() ? nullptr : it->second->modem.get();
}

int CSimLineDriver::OpenCount(const std::string& port) const {
  auto it = m_ports.find(port);
  return it == m_ports.end() ? 0 : it->second->openCount;
}

int CSimLineDriver::OpenHandles() const {
  return static_cast<int>(std::count_if(m_ports.begin(), m_ports.end(), [](const auto& p) {
    return p.second->handle != kNullHandle;
  }));
}

bool CSimLineDriver::BlockedForever() const { return m_blockedForever; }

CSimLineDriver::Port* CSimLineDriver::Find(SerialHandle h) {
  if (h == kNullHandle || h == kInvalidHandle) return nullptr;
  for (auto& p : m_ports)
    if (p.second->handle == h) return p.second.get();
  return nullptr;
}

SerialHandle CSimLineDriver::OpenDevice(const char* name, OpenFailure& failure) {
  failure = OpenFailure::kMissing;
  auto it = m_ports.find(name ? name : "");
  if (it == m_ports.end()) return kInvalidHandle;
  Port& p = *it->second;
  ++p.openCount;
  if (p.denied) {
    failure = OpenFailure::kDenied;
    return kInvalidHandle;
  }
  // Exclusive: a port held by us or by another program does not open again.
  if (p.busy || p.handle != kNullHandle) {
    failure = OpenFailure::kBusy;
    return kInvalidHandle;
  }
  // A modem that vanished took its adapter with it.
  if (!p.modem || p.modem->Vanished()) return kInvalidHandle;
  failure = OpenFailure::kNone;
  p.handle = m_nextHandle++;
  // A fresh port: 9600 baud, DTR low, until the host sets it up.
  p.state = SerialState();
  p.state.BaudRate = 9600;
  p.timeouts = SerialTimeouts();
  p.modem->SetLine(LineFromState(p.state));
  p.modem->Open(m_clock.Now());
  return p.handle;
}

bool CSimLineDriver::CloseDevice(SerialHandle h) {
  Port* p = Find(h);
  if (!p) return false;
  p->handle = kNullHandle;
  return true;
}

bool CSimLineDriver::GetState(SerialHandle h, SerialState& state) {
  Port* p = Find(h);
  if (!p || p->modem->Vanished()) return false;
  state = p->state;
  return true;
}

bool CSimLineDriver::SetState(SerialHandle h, const SerialState& state) {
  Port* p = Find(h);
  if (!p || p->modem->Vanished()) return false;
  p->state = state;
  p->modem->SetLine(LineFromState(state));
  return true;
}

bool CSimLineDriver::SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) {
  Port* p = Find(h);
  if (!p || p->modem->Vanished()) return false;
  p->timeouts = timeouts;
  return true;
}

bool CSimLineDriver::Purge(SerialHandle h, std::uint32_t flags) {
  Port* p = Find(h);
  if (!p || p->modem->Vanished()) return false;
  // Writes hand every byte they send to the modem before they return, so there is never
  // anything waiting to go out; only the receive side holds bytes.
  if (flags & PURGE_RXCLEAR) p->modem->DiscardOutput(m_clock.Now());
  return true;
}

bool CSimLineDriver::ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) {
  done = 0;
  Port* p = Find(h);
  if (!p || p->modem->Vanished()) return false;
  CModemEngine& modem = *p->modem;
  const SerialTimeouts& t = p->timeouts;
  auto* out = static_cast<std::uint8_t*>(data);

  const bool hasTotal = t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0;
  const std::uint64_t start = m_clock.Now();
  const std::uint64_t totalEnd =
      hasTotal ? start + Total(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, n)
               : kNever;
  std::uint64_t lastByte = 0;

  for (;;) {
    const std::uint64_t now = m_clock.Now();
    std::size_t got = modem.Output(out + done, n - done, now);
    if (got > 0) lastByte = now;
    done += static_cast<std::uint32_t>(got);
    if (done == n || now >= totalEnd) return true;

    std::uint64_t end = totalEnd;
    // The interval runs only once the first byte is in.
    if (t.ReadIntervalTimeout != 0 && done > 0)
      end = std::min(end, lastByte + t.ReadIntervalTimeout);
    if (now >= end) return true;

    const std::uint64_t next = std::min(modem.NextEventMs(now), end);
    if (next == kNever) {
      m_blockedForever = true;
      return true;
    }
    m_clock.AdvanceTo(next);
  }
}

bool CSimLineDriver::WriteBytes(SerialHandle h, const void* data, std::uint32_t n,
                                std::uint32_t& done) {
  done = 0;
  Port* p = Find(h);
  if (!p || p->modem->Vanished()) return false;
  CModemEngine& modem = *p->modem;
  const SerialTimeouts& t = p->timeouts;

  const bool hasTotal = t.WriteTotalTimeoutMultiplier != 0 || t.WriteTotalTimeoutConstant != 0;
  const std::uint64_t start = m_clock.Now();
  const std::uint64_t end =
      hasTotal ? start + Total(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, n)
               : kNever;

  done = static_cast<std::uint32_t>(
      modem.Input(static_cast<const std::uint8_t*>(data), n, start, end));
  if (done > 0) m_clock.AdvanceTo(modem.InputDoneMs());
  if (modem.Vanished()) return false;
  if (done == n) return true;
  // The modem holds CTS low for good (or the time ran out while it paced the bytes).
  if (end == kNever) {
    m_blockedForever = true;
  } else {
    m_clock.AdvanceTo(end);
  }
  return true;
}

LineFailure CSimLineDriver::LineFailureOf(SerialHandle h) {
  Port* p = Find(h);
  return p && p->modem->Vanished() ? LineFailure::kDeviceGone : LineFailure::kNone;
}

#pragma once
// A serial driver for tests: ports on a virtual clock, each with a simulated modem (or none)
// at the far end, under the same time-out rules as the real drivers.

#include <map>
#include <memory>
#include <string>

#include "serial/SerialDriver.h"
#include "sim/VirtualClock.h"
#include "sim/engine/ModemConfig.h"

class CModemEngine;

class CSimLineDriver : public ISerialDriver {
 public:
  explicit CSimLineDriver(CVirtualClock& clock);
  ~CSimLineDriver() override;

  // Puts a modem behind a port ("COM3"); ports with nothing attached do not exist.
  CModemEngine& AttachModem(const std::string& port, const ModemConfig& config = ModemConfig());
  // The port exists but another program holds it: every open fails.
  void SetPortBusy(const std::string& port, bool busy = true);
  // The port exists but this user may not open it: every open fails.
  void SetPortDenied(const std::string& port, bool denied = true);

  CModemEngine* Modem(const std::string& port);
  int OpenCount(const std::string& port) const;  // opens tried on the port
  int OpenHandles() const;                       // handles open now
  // True once a transfer would have waited for ever (no time-out and nothing to come);
  // such a call returns at once with what it has, so a test never hangs.
  bool BlockedForever() const;
  void ClearBlockedForever() { m_blockedForever = false; }

  SerialHandle OpenDevice(const char* name, OpenFailure& failure) override;
  bool CloseDevice(SerialHandle h) override;
  bool GetState(SerialHandle h, SerialState& state) override;
  bool SetState(SerialHandle h, const SerialState& state) override;
  bool SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) override;
  bool Purge(SerialHandle h, std::uint32_t flags) override;
  bool ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) override;
  bool WriteBytes(SerialHandle h, const void* data, std::uint32_t n, std::uint32_t& done) override;
  LineFailure LineFailureOf(SerialHandle h) override;

 private:
  struct Port;
  Port* Find(SerialHandle h);
  Port& At(const std::string& port);

  CVirtualClock& m_clock;
  std::map<std::string, std::unique_ptr<Port>> m_ports;
  SerialHandle m_nextHandle = 100;
  bool m_blockedForever = false;
};

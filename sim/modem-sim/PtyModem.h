#pragma once
// One simulated modem served on a pseudo-terminal: the engine on the master side, the
// slave's path for the host to open.

#include <cstdint>
#include <string>

#include "sim/engine/ModemEngine.h"
#include "sim/modem-sim/Options.h"

class CPtyModem {
 public:
  CPtyModem(const PortOption& option, const std::string& linkDir, const std::string& recordDir);
  ~CPtyModem();
  CPtyModem(const CPtyModem&) = delete;
  CPtyModem& operator=(const CPtyModem&) = delete;

  // Opens the pty, makes the link; false with a message on failure.
  bool Start(std::string& error);

  const std::string& Name() const { return m_name; }
  const std::string& PtyPath() const { return m_ptyPath; }
  bool Gone() const { return m_master < 0; }
  int MasterFd() const { return m_master; }

  // What to poll for now, and by when something happens without I/O (ms, or kNever).
  short PollEvents(std::uint64_t nowMs) const;
  std::uint64_t NextWakeMs(std::uint64_t nowMs);

  // Moves bytes both ways and runs the engine's timers; returns a line to print, if any.
  std::string Service(short revents, std::uint64_t nowMs);

 private:
  void Record();
  void Vanish();

  std::string m_name;
  CModemEngine m_engine;
  std::string m_linkPath;
  std::string m_recordPath;
  std::string m_ptyPath;
  int m_master = -1;
  int m_slave = -1;  // held for our whole life so that hosts can open and close at will
  int m_record = -1;
  std::size_t m_recorded = 0;
  int m_finalsSeen = 0;
  std::string m_pendingOut;
};

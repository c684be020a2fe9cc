#pragma once
// One simulated modem served on a pseudo-terminal: the engine on the master side, the
// slave's path for the host to open.

#include <cstdint>
#include <string>
#include <vector>

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
  // Reports the host's opens and closes of the pty (inotify): an open brings the banner.
  // -1 when there is no watch, which poll() passes over.
  int WatchFd() const { return m_watch; }

  // What to poll for now, and by when something happens without I/O (ms, or kNever).
  short PollEvents(std::uint64_t nowMs) const;
  std::uint64_t NextWakeMs(std::uint64_t nowMs);

  // Moves bytes both ways and runs the engine's timers; returns the lines to print.
  std::vector<std::string> Service(short revents, short watchEvents, std::uint64_t nowMs);

 private:
  void TakeOpens(std::uint64_t nowMs);
  void ReadLine();
  void Report(std::vector<std::string>& lines);
  void Record();
  void Vanish();
  // A port with a schedule of units: the next arrives or the present one leaves when due.
  void FollowSchedule(std::uint64_t nowMs, std::vector<std::string>& lines);
  bool OpenRecord(std::string& error);
  ModemConfig ConfigOf(int unit) const;  // the port's modem, with this unit's faults

  std::string m_name;
  ModemConfig m_config;
  UnitSchedule m_schedule;
  int m_unit = 0;         // the unit present or last gone (from 1); 0 without a schedule
  bool m_present = true;  // a modem is on the port (always, without a schedule)
  std::uint64_t m_nextChangeMs = CModemEngine::kNever;
  std::string m_recordBase;
  CModemEngine m_engine;
  std::string m_linkPath;
  std::string m_recordPath;
  std::string m_ptyPath;
  int m_master = -1;
  int m_slave = -1;  // held for our whole life so that hosts can open and close at will
  int m_record = -1;
  int m_watch = -1;
  int m_hostOpens = 0;  // descriptions of the pty the host holds open now
  std::size_t m_errorsSeen = 0;
  std::size_t m_commandsSeen = 0;
  std::size_t m_recorded = 0;
  int m_finalsSeen = 0;
  bool m_imageBegun = false;  // the current download's first image byte came
  std::string m_pendingOut;
};

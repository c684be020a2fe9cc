#include "sim/modem-sim/PtyModem.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "serial/posix/PosixLineSettings.h"
#include "sim/engine/Printable.h"
#include "sim/simline/LineFromState.h"

CPtyModem::CPtyModem(const PortOption& option, const std::string& linkDir,
                     const std::string& recordDir)
    : m_name(option.name),
      m_config(option.config),
      m_schedule(option.schedule),
      m_engine(option.config) {
  if (!linkDir.empty()) m_linkPath = linkDir + "/" + m_name;
  if (!recordDir.empty()) m_recordBase = recordDir + "/" + m_name;
  m_recordPath = m_recordBase.empty() ? "" : m_recordBase + ".bin";
  if (m_schedule.units > 0) {
    // The first unit is there from the start.
    m_unit = 1;
    m_nextChangeMs = m_schedule.stayMs;
    if (!m_recordBase.empty()) m_recordPath = m_recordBase + ".1.bin";
    m_engine = CModemEngine(ConfigOf(1));
  }
}

ModemConfig CPtyModem::ConfigOf(int unit) const {
  ModemConfig config = m_config;
  for (int k : m_schedule.neverReady)
    if (k == unit) config.noReady = true;
  for (int k : m_schedule.unplugged)
    if (k == unit) config.vanishAfterImageBytes = 3000;
  return config;
}

bool CPtyModem::OpenRecord(std::string& error) {
  if (m_recordPath.empty()) return true;
  if (m_record >= 0) close(m_record);
  m_recorded = 0;
  m_record = open(m_recordPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (m_record >= 0) return true;
  error = m_recordPath + ": " + std::strerror(errno);
  return false;
}

void CPtyModem::FollowSchedule(std::uint64_t nowMs, std::vector<std::string>& lines) {
  if (nowMs < m_nextChangeMs) return;
  if (m_present) {
    Record();
    m_present = false;
    m_pendingOut.clear();
    lines.push_back(m_name + " unit " + std::to_string(m_unit) + " leaves at " +
                    std::to_string(nowMs) + " ms");
    m_nextChangeMs = m_unit < m_schedule.units ? nowMs + m_schedule.gapMs : CModemEngine::kNever;
    return;
  }
  ++m_unit;
  m_present = true;
  m_engine = CModemEngine(ConfigOf(m_unit));
  m_errorsSeen = m_commandsSeen = 0;
  m_finalsSeen = 0;
  m_imageBegun = false;
  m_nextChangeMs = nowMs + m_schedule.stayMs;
  std::string error;
  if (!m_recordBase.empty()) m_recordPath = m_recordBase + "." + std::to_string(m_unit) + ".bin";
  if (!OpenRecord(error)) lines.push_back(m_name + " error: " + error);
  lines.push_back(m_name + " unit " + std::to_string(m_unit) + " arrives at " +
                  std::to_string(nowMs) + " ms");
}

CPtyModem::~CPtyModem() {
  Vanish();
  if (m_record >= 0) close(m_record);
}

bool CPtyModem::Start(std::string& error) {
  char path[256] = {};
  if (openpty(&m_master, &m_slave, path, nullptr, nullptr) != 0) {
    error = m_name + ": openpty: " + std::strerror(errno);
    return false;
  }
  m_ptyPath = path;
  // Raw, so the line discipline neither echoes nor turns carriage returns into line feeds.
  // The speed stays the pty's own (38400): a host that does not set the line up is not
  // understood.
  termios tio{};
  if (tcgetattr(m_slave, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(m_slave, TCSANOW, &tio);
  }
  fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
  fcntl(m_master, F_SETFD, FD_CLOEXEC);
  fcntl(m_slave, F_SETFD, FD_CLOEXEC);
  // Our own slave descriptor is open already, so every open seen from now on is the host's.
  // Only a banner needs the watch; without one, a machine short of inotify instances is fine.
  m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_watch >= 0 && inotify_add_watch(m_watch, m_ptyPath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
    close(m_watch);
    m_watch = -1;
  }
  if (m_watch < 0 && !m_engine.Config().banner.empty()) {
    error = m_name + ": inotify: " + std::strerror(errno);
    return false;
  }
  if (!m_linkPath.empty()) {
    unlink(m_linkPath.c_str());
    if (symlink(m_ptyPath.c_str(), m_linkPath.c_str()) != 0) {
      error = m_linkPath + ": " + std::strerror(errno);
      m_linkPath.clear();
      return false;
    }
  }
  return OpenRecord(error);
}

short CPtyModem::PollEvents(std::uint64_t nowMs) const {
  if (Gone()) return 0;
  if (!m_present) return POLLIN;  // nobody there: what the host sends is lost
  short events = 0;
  // Not reading is how the modem holds CTS low: the host's writes fill the pty and block.
  if (m_engine.CanTake() > 0 && m_engine.InputDoneMs() <= nowMs &&
      m_engine.CtsHeldUntilMs() <= nowMs)
    events |= POLLIN;
  if (!m_pendingOut.empty()) events |= POLLOUT;
  return events;
}

std::uint64_t CPtyModem::NextWakeMs(std::uint64_t nowMs) {
  if (Gone()) return CModemEngine::kNever;
  if (!m_present) return m_nextChangeMs;
  std::uint64_t next = std::min(m_nextChangeMs, m_engine.NextEventMs(nowMs));
  for (std::uint64_t t : {m_engine.InputDoneMs(), m_engine.CtsHeldUntilMs()})
    if (t > nowMs) next = std::min(next, t);
  return next;
}

void CPtyModem::TakeOpens(std::uint64_t nowMs) {
  alignas(inotify_event) char buf[4096];
  ssize_t got;
  while ((got = read(m_watch, buf, sizeof buf)) > 0) {
    for (char* p = buf; p < buf + got;) {
      const auto* e = reinterpret_cast<const inotify_event*>(p);
      if (e->mask & IN_OPEN) {
        if (m_hostOpens++ == 0) m_engine.Open(nowMs);
      } else if ((e->mask & IN_CLOSE) && m_hostOpens > 0) {
        --m_hostOpens;
      }
      p += sizeof(inotify_event) + e->len;
    }
  }
}

// The master shows the terminal settings the host applied to the slave. A pty keeps the
// speed, the stop bits and CRTSCTS, but always reads as 8 bits without parity, and it has no
// modem lines: DTR cannot be seen, so it counts as raised.
void CPtyModem::ReadLine() {
  termios tio{};
  SerialState state;
  if (tcgetattr(m_master, &tio) != 0) return;
  ReadLineSettings(tio, state);
  LineSettings line = LineFromState(state);
  line.dtr = true;
  m_engine.SetLine(line);
}

void CPtyModem::Report(std::vector<std::string>& lines) {
  const auto& errors = m_engine.Errors();
  for (; m_errorsSeen < errors.size(); ++m_errorsSeen)
    lines.push_back(m_name + " error: " + errors[m_errorsSeen]);
  const auto& commands = m_engine.TimedCommands();
  for (; m_commandsSeen < commands.size(); ++m_commandsSeen) {
    if (!m_engine.Config().printCommands) continue;
    const TimedCommand& c = commands[m_commandsSeen];
    lines.push_back(m_name + " command " + std::to_string(c.atMs) + " ms: " + Printable(c.text));
  }
}

std::vector<std::string> CPtyModem::Service(short revents, short watchEvents, std::uint64_t nowMs) {
  std::vector<std::string> lines;
  if (Gone()) return lines;
  if (m_watch >= 0 && (watchEvents & POLLIN)) TakeOpens(nowMs);
  FollowSchedule(nowMs, lines);
  if (!m_present) {
    std::uint8_t lost[4096];
    while (read(m_master, lost, sizeof lost) > 0) {
    }
    return lines;
  }
  ReadLine();
  if (revents & POLLIN) {
    std::uint8_t buf[4096];
    const std::size_t want = std::min<std::size_t>(sizeof buf, m_engine.CanTake());
    const ssize_t got = read(m_master, buf, want);
    if (got > 0) m_engine.Input(buf, static_cast<std::size_t>(got), nowMs);
  }
  Report(lines);
  // With the commands' times, the image's first byte too: the end of the erase wait.
  const bool imageBegun = m_engine.ImageSize() > 0;
  if (imageBegun && !m_imageBegun && m_engine.Config().printCommands)
    lines.push_back(m_name + " image begins " + std::to_string(nowMs) + " ms");
  m_imageBegun = imageBegun;
  if (m_engine.Vanished() && m_schedule.units > 0) {
    // A unit pulled out: the port stays, silent until the next unit comes.
    Record();
    lines.push_back(m_name + " unit " + std::to_string(m_unit) + " unplugged after " +
                    std::to_string(m_engine.ImageSize()) + " image bytes at " +
                    std::to_string(nowMs) + " ms");
    m_present = false;
    m_pendingOut.clear();
    m_nextChangeMs = m_unit < m_schedule.units ? nowMs + m_schedule.gapMs : CModemEngine::kNever;
    return lines;
  }
  if (m_engine.Vanished()) {
    Record();
    lines.push_back(m_name + " unplugged after " + std::to_string(m_engine.ImageSize()) +
                    " image bytes");
    Vanish();
    return lines;
  }
  std::uint8_t out[4096];
  std::size_t n;
  while ((n = m_engine.Output(out, sizeof out, nowMs)) > 0)
    m_pendingOut.append(reinterpret_cast<const char*>(out), n);
  if (!m_pendingOut.empty()) {
    const ssize_t put = write(m_master, m_pendingOut.data(), m_pendingOut.size());
    if (put > 0) m_pendingOut.erase(0, static_cast<std::size_t>(put));
  }
  Record();
  // Reported once the final answer has gone out, not when it was decided.
  if (m_engine.FinalAnswers() > m_finalsSeen && !m_engine.OutputPending() && m_pendingOut.empty()) {
    m_finalsSeen = m_engine.FinalAnswers();
    lines.push_back(m_name + " image " + std::to_string(m_engine.ImageSize()) + " bytes");
  }
  return lines;
}

void CPtyModem::Record() {
  if (m_record < 0) return;
  const auto& image = m_engine.ImageBytes();
  if (image.size() < m_recorded) {  // a new download started: the file starts over
    if (ftruncate(m_record, 0) != 0) return;
    m_recorded = 0;
  }
  while (m_recorded < image.size()) {
    const ssize_t put = pwrite(m_record, image.data() + m_recorded, image.size() - m_recorded,
                               static_cast<off_t>(m_recorded));
    if (put <= 0) return;
    m_recorded += static_cast<std::size_t>(put);
  }
}

void CPtyModem::Vanish() {
  if (!m_linkPath.empty()) {
    unlink(m_linkPath.c_str());
    m_linkPath.clear();
  }
  if (m_master >= 0) close(m_master);
  if (m_slave >= 0) close(m_slave);
  if (m_watch >= 0) close(m_watch);
  m_master = m_slave = m_watch = -1;
}

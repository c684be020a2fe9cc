#include "serial/posix/PosixSerialDriver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <optional>
#include <utility>

#include "serial/posix/PosixLineSettings.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;
constexpr std::uint32_t kPurgeTxAbort = 0x0001, kPurgeRxAbort = 0x0002;

// mult * n + const, counted only when either is non-zero; 64 bits so it cannot wrap.
std::optional<Clock::time_point> TotalDeadline(Clock::time_point start, std::uint32_t mult,
                                               std::uint32_t constant, std::uint32_t n) {
  if (mult == 0 && constant == 0) return std::nullopt;
  std::uint64_t ms = std::uint64_t(mult) * n + constant;
  return start + Millis(ms);
}

enum class WaitResult { Ready, TimedOut, Failed, Gone };

// Waits for `events` on fd until the deadline (none = without limit). A peer that hung up
// or a device that errs ends the wait (as gone) rather than spinning on it.
WaitResult WaitFor(IPosixCalls& os, int fd, short events,
                   std::optional<Clock::time_point> deadline) {
  for (;;) {
    int timeoutMs = -1;
    if (deadline) {
      auto left = *deadline - Clock::now();
      if (left <= Clock::duration::zero()) return WaitResult::TimedOut;
      // Round up so the wait never ends just before the deadline and spins.
      auto ms = std::chrono::ceil<Millis>(left).count();
      timeoutMs = ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
    }
    pollfd p{fd, events, 0};
    int r = os.Poll(&p, 1, timeoutMs);
    if (r < 0) {
      if (errno == EINTR) continue;
      return WaitResult::Failed;
    }
    if (r == 0) continue;  // the loop head decides whether the deadline has passed
    // A hung-up terminal also reports itself readable, and its reads then return 0.
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return WaitResult::Gone;
    if (p.revents & events) return WaitResult::Ready;
  }
}

// Whether a read or write failed because the device is no longer there (a USB adapter
// pulled out reads EIO or ENODEV, a vanished pty peer ENXIO).
bool GoneError(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

// The reason an open failed, from errno as the failing call left it.
OpenFailure FailureOf(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return OpenFailure::kMissing;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::kBusy;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenFailure::kDenied;
    default:
      return OpenFailure::kOther;
  }
}

// Closes a descriptor that did not become a port, keeping the errno of the failure.
SerialHandle GiveUp(IPosixCalls& os, int fd, OpenFailure& failure) {
  failure = FailureOf(errno);
  os.Close(fd);
  return kInvalidHandle;
}

// Sets or clears DTR. Pseudo-terminals have no modem lines and refuse the request.
bool SetDtr(IPosixCalls& os, int fd, bool raised) {
  int bits = TIOCM_DTR;
  if (os.Ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
  return errno == ENOTTY || errno == EINVAL;
}

// Drops the output still queued for the device. Otherwise close waits for it to drain
// (a UART's closing wait, 30 s by default on Linux) and the tail still goes out.
void DiscardUnsentOutput(IPosixCalls& os, int fd) { os.TcFlush(fd, TCOFLUSH); }

// Close waits while the queue shrinks; one that stands still this long (a modem holding
// CTS low, a dead line) is given up, so a close never waits without end.
constexpr int kDrainLookMs = 20;
constexpr int kDrainStalledLooks = 100;  // 2 s without a byte going out

// Waits until what is queued for the device has gone out, so that the tail of a complete
// write reaches the modem before the port closes. False when the line stalled or cannot
// tell: then the caller drops the rest. tcdrain only waits for the device's own FIFO once
// the queue is empty, and serial drivers bound that wait themselves.
bool WaitUntilSent(IPosixCalls& os, int fd) {
  int last = -1, stalledLooks = 0;
  for (;;) {
    int queued = 0;
    if (os.Ioctl(fd, TIOCOUTQ, &queued) != 0) return false;
    if (queued == 0) return os.TcDrain(fd) == 0;
    stalledLooks = (last < 0 || queued < last) ? 0 : stalledLooks + 1;
    if (stalledLooks >= kDrainStalledLooks) return false;
    last = queued;
    os.Poll(nullptr, 0, kDrainLookMs);
  }
}

}  // namespace

CPosixSerialDriver::PortTable CPosixSerialDriver::DefaultPortTable() {
  PortTable ports;
  for (int n = 1; n <= 8; ++n) {
    ports["COM" + std::to_string(n)] = "/dev/ttyS" + std::to_string(n - 1);
  }
  return ports;
}

CPosixSerialDriver::CPosixSerialDriver() : CPosixSerialDriver(DefaultPortTable()) {}

CPosixSerialDriver::CPosixSerialDriver(PortTable ports)
    : CPosixSerialDriver(std::move(ports), RealPosixCalls()) {}

CPosixSerialDriver::CPosixSerialDriver(PortTable ports, IPosixCalls& os)
    : m_ports(std::move(ports)), m_os(os) {}

CPosixSerialDriver::~CPosixSerialDriver() {
  while (!m_devices.empty()) CloseDevice(m_devices.begin()->first);
}

CPosixSerialDriver::Device* CPosixSerialDriver::Find(SerialHandle h) {
  auto it = m_devices.find(h);
  return it == m_devices.end() ? nullptr : &it->second;
}

SerialHandle CPosixSerialDriver::OpenDevice(const char* name, OpenFailure& failure) {
  failure = OpenFailure::kMissing;
  auto port = name ? m_ports.find(name) : m_ports.end();
  if (port == m_ports.end()) return kInvalidHandle;

  // Non-blocking, so that every wait goes through poll() and its deadline.
  int fd = m_os.Open(port->second.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    failure = FailureOf(errno);
    return kInvalidHandle;
  }

  // Exclusive like a Windows open with share mode 0: the lock keeps out every other open
  // through this driver (and any program that locks the same way); TIOCEXCL keeps out
  // other programs that do not lock (the superuser passes it, the lock stops us).
  termios tio;
  if (m_os.TcGetAttr(fd, tio) != 0) {
    // Opened, but no terminal: a file or another kind of device.
    m_os.Close(fd);
    failure = OpenFailure::kOther;
    return kInvalidHandle;
  }
  if (m_os.Flock(fd, LOCK_EX | LOCK_NB) != 0 || m_os.Ioctl(fd, TIOCEXCL, nullptr) != 0)
    return GiveUp(m_os, fd, failure);
  MakeRaw(tio);
  if (m_os.TcSetAttr(fd, TCSANOW, tio) != 0) {
    const int error = errno;
    m_os.Ioctl(fd, TIOCNXCL, nullptr);
    errno = error;
    return GiveUp(m_os, fd, failure);
  }

  Device device;
  device.fd = fd;
  int lines = 0;
  if (m_os.Ioctl(fd, TIOCMGET, &lines) == 0 && (lines & TIOCM_DTR)) {
    device.dtrControl = DTR_CONTROL_ENABLE;
  }
  SerialHandle h = m_nextHandle++;
  m_devices[h] = device;
  failure = OpenFailure::kNone;
  return h;
}

bool CPosixSerialDriver::CloseDevice(SerialHandle h) {
  Device* device = Find(h);
  if (!device) return false;
  int fd = device->fd;
  if (device->writeCutShort || !WaitUntilSent(m_os, fd)) DiscardUnsentOutput(m_os, fd);
  m_devices.erase(h);
  // The exclusive flag outlives our descriptor while the peer keeps the device open.
  m_os.Ioctl(fd, TIOCNXCL, nullptr);
  return m_os.Close(fd) == 0;
}

bool CPosixSerialDriver::GetState(SerialHandle h, SerialState& state) {
  Device* device = Find(h);
  termios tio;
  if (!device || m_os.TcGetAttr(device->fd, tio) != 0) return false;
  ReadLineSettings(tio, state);
  state.fDtrControl = device->dtrControl;
  return true;
}

bool CPosixSerialDriver::SetState(SerialHandle h, const SerialState& state) {
  Device* device = Find(h);
  termios tio;
  if (!device || m_os.TcGetAttr(device->fd, tio) != 0) return false;
  if (!WriteLineSettings(state, tio) || m_os.TcSetAttr(device->fd, TCSANOW, tio) != 0) return false;
  if (!SetDtr(m_os, device->fd, state.fDtrControl != DTR_CONTROL_DISABLE)) return false;
  device->dtrControl = state.fDtrControl;
  return true;
}

bool CPosixSerialDriver::SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) {
  Device* device = Find(h);
  if (!device) return false;
  // Windows refuses these two together.
  if (timeouts.ReadIntervalTimeout == kMaxDword && timeouts.ReadTotalTimeoutConstant == kMaxDword &&
      timeouts.ReadTotalTimeoutMultiplier == kMaxDword)
    return false;
  device->timeouts = timeouts;
  return true;
}

bool CPosixSerialDriver::Purge(SerialHandle h, std::uint32_t flags) {
  Device* device = Find(h);
  if (!device) return false;
  if (flags & ~(PURGE_TXCLEAR | PURGE_RXCLEAR | kPurgeTxAbort | kPurgeRxAbort)) return false;
  // Transfers are synchronous, so there is never one under way to abort.
  bool rx = flags & PURGE_RXCLEAR, tx = flags & PURGE_TXCLEAR;
  if (!rx && !tx) return true;
  return m_os.TcFlush(device->fd, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH) == 0;
}

bool CPosixSerialDriver::ReadBytes(SerialHandle h, void* data, std::uint32_t n,
                                   std::uint32_t& done) {
  done = 0;
  Device* device = Find(h);
  if (!device) return false;
  const SerialTimeouts& t = device->timeouts;
  auto* out = static_cast<unsigned char*>(data);

  const Clock::time_point start = Clock::now();
  const auto total =
      TotalDeadline(start, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, n);
  // An interval of MAXDWORD with no total means: take what is there and return at once.
  const bool immediate = t.ReadIntervalTimeout == kMaxDword && !total;
  Clock::time_point lastByte = start;

  while (done < n) {
    ssize_t r = m_os.Read(device->fd, out + done, n - done);
    if (r > 0) {
      done += static_cast<std::uint32_t>(r);
      lastByte = Clock::now();
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Failed(*device, errno);
    if (immediate) break;

    // Nothing buffered: wait for the earlier of the total and the interval deadline.
    std::optional<Clock::time_point> deadline = total;
    if (t.ReadIntervalTimeout != 0 && done > 0) {
      auto gap = lastByte + Millis(t.ReadIntervalTimeout);
      if (!deadline || gap < *deadline) deadline = gap;
    }
    WaitResult w = WaitFor(m_os, device->fd, POLLIN, deadline);
    if (w == WaitResult::TimedOut) break;
    if (w != WaitResult::Ready) {
      // Keep what the peer sent just before it went.
      r = m_os.Read(device->fd, out + done, n - done);
      if (r > 0) done += static_cast<std::uint32_t>(r);
      if (w == WaitResult::Gone) device->failure = LineFailure::kDeviceGone;
      return false;
    }
  }
  return true;
}

bool CPosixSerialDriver::WriteBytes(SerialHandle h, const void* data, std::uint32_t n,
                                    std::uint32_t& done) {
  done = 0;
  Device* device = Find(h);
  if (!device) return false;
  const SerialTimeouts& t = device->timeouts;
  const auto* in = static_cast<const unsigned char*>(data);
  const auto total =
      TotalDeadline(Clock::now(), t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, n);
  device->writeCutShort = true;  // until every byte is in

  while (done < n) {
    ssize_t r = m_os.Write(device->fd, in + done, n - done);
    if (r > 0) {
      done += static_cast<std::uint32_t>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Failed(*device, errno);
    WaitResult w = WaitFor(m_os, device->fd, POLLOUT, total);
    // Running out of time is no error, as on Windows: the short count tells.
    if (w == WaitResult::TimedOut) break;
    if (w == WaitResult::Gone) device->failure = LineFailure::kDeviceGone;
    if (w != WaitResult::Ready) return false;
  }
  device->writeCutShort = done < n;
  return true;
}

bool CPosixSerialDriver::Failed(Device& device, int error) {
  if (GoneError(error)) device.failure = LineFailure::kDeviceGone;
  return false;
}

LineFailure CPosixSerialDriver::LineFailureOf(SerialHandle h) {
  Device* device = Find(h);
  return device ? device->failure : LineFailure::kNone;
}

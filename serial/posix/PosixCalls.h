#pragma once
// The system calls under the POSIX serial driver, behind one interface so that tests can
// play a device's answers (a refused open, a hang-up, a line that will not drain) that a
// pseudo-terminal cannot. The real calls forward to libc and keep its errno.

#include <poll.h>
#include <sys/types.h>
#include <termios.h>

#include <cstddef>

class IPosixCalls {
 public:
  virtual ~IPosixCalls() = default;

  virtual int Open(const char* path, int flags) = 0;
  virtual int Close(int fd) = 0;
  virtual ssize_t Read(int fd, void* data, std::size_t n) = 0;
  virtual ssize_t Write(int fd, const void* data, std::size_t n) = 0;
  virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
  // `arg` is what the request takes a pointer to, or null for a request that takes none.
  virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
  virtual int TcGetAttr(int fd, termios& tio) = 0;
  virtual int TcSetAttr(int fd, int when, const termios& tio) = 0;
  virtual int TcFlush(int fd, int queue) = 0;
  virtual int TcDrain(int fd) = 0;
  virtual int Flock(int fd, int operation) = 0;
};

// The process's own calls; one for everybody, it holds no state.
IPosixCalls& RealPosixCalls();

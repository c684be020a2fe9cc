#include "serial/posix/PosixCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class CRealPosixCalls : public IPosixCalls {
 public:
  int Open(const char* path, int flags) override { return open(path, flags); }
  int Close(int fd) override { return close(fd); }
  ssize_t Read(int fd, void* data, std::size_t n) override { return read(fd, data, n); }
  ssize_t Write(int fd, const void* data, std::size_t n) override { return write(fd, data, n); }
  int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
    return poll(fds, count, timeoutMs);
  }
  int Ioctl(int fd, unsigned long request, void* arg) override { return ioctl(fd, request, arg); }
  int TcGetAttr(int fd, termios& tio) override { return tcgetattr(fd, &tio); }
  int TcSetAttr(int fd, int when, const termios& tio) override { return tcsetattr(fd, when, &tio); }
  int TcFlush(int fd, int queue) override { return tcflush(fd, queue); }
  int TcDrain(int fd) override { return tcdrain(fd); }
  int Flock(int fd, int operation) override { return flock(fd, operation); }
};

}  // namespace

IPosixCalls& RealPosixCalls() {
  static CRealPosixCalls calls;
  return calls;
}

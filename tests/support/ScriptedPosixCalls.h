#pragma once
// The system calls under the POSIX serial driver, played from a script instead of a
// device: every call is recorded by name, in order ("open", "ioctl TIOCMBIS", "tcdrain");
// a call whose name has errnos queued fails with the next one (0 lets it succeed). Without
// a script the device opens, is a terminal, has nothing to read and takes every write.

#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "serial/posix/PosixCalls.h"

class CScriptedPosixCalls : public IPosixCalls {
 public:
  static constexpr int kFd = 5;

  std::vector<std::string> calls;
  std::map<std::string, std::deque<int>> errors;
  std::deque<short> pollEvents;  // what successive polls report; none left: the fd is ready
  std::deque<int> queuedOutput;  // successive TIOCOUTQ answers; the last one stays; none: 0

  void Fail(const std::string& call, int error) { errors[call].push_back(error); }
  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call;
    return n;
  }

  int Open(const char*, int) override { return Call("open") == 0 ? kFd : -1; }
  int Close(int) override { return Call("close"); }
  ssize_t Read(int, void*, std::size_t) override {
    if (Call("read") != 0) return -1;
    errno = EAGAIN;  // nothing on the line
    return -1;
  }
  ssize_t Write(int, const void*, std::size_t n) override {
    return Call("write") == 0 ? static_cast<ssize_t>(n) : -1;
  }
  int Poll(pollfd* fds, nfds_t count, int) override {
    if (Call("poll") != 0) return -1;
    if (count == 0) return 0;
    fds[0].revents = fds[0].events;
    if (!pollEvents.empty()) {
      fds[0].revents = pollEvents.front();
      pollEvents.pop_front();
    }
    return fds[0].revents ? 1 : 0;
  }
  int Ioctl(int, unsigned long request, void* arg) override {
    if (Call("ioctl " + NameOf(request)) != 0) return -1;
    if (request == TIOCOUTQ) {
      *static_cast<int*>(arg) = queuedOutput.empty() ? 0 : queuedOutput.front();
      if (queuedOutput.size() > 1) queuedOutput.pop_front();
    }
    if (request == TIOCMGET) *static_cast<int*>(arg) = 0;
    return 0;
  }
  int TcGetAttr(int, termios& tio) override {
    tio = termios{};
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return Call("tcgetattr");
  }
  int TcSetAttr(int, int, const termios&) override { return Call("tcsetattr"); }
  int TcFlush(int, int queue) override {
    return Call(queue == TCOFLUSH ? "tcflush TCOFLUSH" : "tcflush");
  }
  int TcDrain(int) override { return Call("tcdrain"); }
  int Flock(int, int) override { return Call("flock"); }

 private:
  // Records the call; -1 with errno set when the script fails it, else 0.
  int Call(const std::string& name) {
    calls.push_back(name);
    auto it = errors.find(name);
    if (it == errors.end() || it->second.empty()) return 0;
    const int error = it->second.front();
    it->second.pop_front();
    if (error == 0) return 0;
    errno = error;
    return -1;
  }

  static std::string NameOf(unsigned long request) {
    switch (request) {
      case TIOCEXCL:
        return "TIOCEXCL";
      case TIOCNXCL:
        return "TIOCNXCL";
      case TIOCMGET:
        return "TIOCMGET";
      case TIOCMBIS:
        return "TIOCMBIS";
      case TIOCMBIC:
        return "TIOCMBIC";
      case TIOCOUTQ:
        return "TIOCOUTQ";
      default:
        return std::to_string(request);
    }
  }
};

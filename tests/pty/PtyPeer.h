#pragma once
// The far end of a pseudo-terminal, played by the test: the slave is the "serial port"
// the driver opens, the master is the modem.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

class PtyPeer {
 public:
  PtyPeer() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
    m_slavePath = ptsname(m_master);
    // Keep one slave descriptor so the master never sees a hang-up between opens.
    m_slaveKeeper = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  ~PtyPeer() {
    Join();
    CloseMaster();
    if (m_slaveKeeper >= 0) close(m_slaveKeeper);
  }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  bool Ok() const { return m_master >= 0 && m_slaveKeeper >= 0; }
  const std::string& SlavePath() const { return m_slavePath; }
  int Master() const { return m_master; }

  void Send(const std::string& bytes) const {
    if (write(m_master, bytes.data(), bytes.size())) {
    }
  }
  // Sends after a delay, from a thread the destructor joins.
  void SendAfter(int ms, const std::string& bytes) {
    Join();
    m_thread = std::thread([this, ms, bytes] {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      Send(bytes);
    });
  }
  // Reads whatever comes within `ms` of silence.
  std::string Receive(int ms = 200) const {
    std::string got;
    char buf[4096];
    pollfd p{m_master, POLLIN, 0};
    while (poll(&p, 1, ms) > 0 && (p.revents & POLLIN)) {
      ssize_t r = read(m_master, buf, sizeof buf);
      if (r <= 0) break;
      got.append(buf, static_cast<size_t>(r));
    }
    return got;
  }
  void CloseMaster() {
    if (m_master >= 0) close(m_master);
    m_master = -1;
  }
  void Join() {
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  int m_master = -1;
  int m_slaveKeeper = -1;
  std::string m_slavePath;
  std::thread m_thread;
};

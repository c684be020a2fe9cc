// modem-sim on real pseudo-terminals, talked to with plain termios.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* kModemSim = MODEM_SIM_PATH;

using Clock = std::chrono::steady_clock;

std::string MakeTempDir() {
  char tmpl[] = "/tmp/modem-sim-test-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  return dir ? dir : "";
}

// modem-sim as a child: its stdout comes through a pipe; it never outlives the test.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      std::string prog = kModemSim;
      argv.push_back(&prog[0]);
      for (auto& a : args) argv.push_back(&a[0]);
      argv.push_back(nullptr);
      execv(prog.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    m_out = out[0];
  }
  ~SimProcess() {
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) close(m_out);
  }

  // The next line of its output, or "" when none comes in time.
  std::string Line(int timeoutMs = 5000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto nl = m_buffer.find('\n');
      if (nl != std::string::npos) {
        std::string line = m_buffer.substr(0, nl);
        m_buffer.erase(0, nl + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left.count() <= 0) return "";
      pollfd p{m_out, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return "";
      char buf[256];
      const ssize_t n = read(m_out, buf, sizeof buf);
      if (n <= 0) return "";
      m_buffer.append(buf, static_cast<std::size_t>(n));
    }
  }

  // Sends a signal and waits (bounded) for the exit; returns the exit status or -1.
  int Stop(int sig, int timeoutMs = 5000) {
    kill(m_pid, sig);
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }

 private:
  pid_t m_pid = -1;
  int m_out = -1;
  bool m_reaped = false;
  std::string m_buffer;
};

// The host side: the pty opened raw at the given speed, reads bounded by a deadline.
class Host {
 public:
  explicit Host(const std::string& path, speed_t speed = B115200) {
    m_fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (m_fd < 0) return;
    termios tio{};
    tcgetattr(m_fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, speed);
    tcsetattr(m_fd, TCSANOW, &tio);
  }
  ~Host() {
    if (m_fd >= 0) close(m_fd);
  }
  bool ok() const { return m_fd >= 0; }
  bool Send(const std::string& s) {
    std::size_t done = 0;
    while (done < s.size()) {
      const ssize_t n = write(m_fd, s.data() + done, s.size() - done);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  // Reads until `until` appears in what came, or the time is up.
  std::string ReadUntil(const std::string& until, int timeoutMs) {
    std::string got;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.find(until) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left.count() <= 0) break;
      pollfd p{m_fd, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buf[256];
      const ssize_t n = read(m_fd, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int m_fd = -1;
};

TEST(ModemSim, AnswersIdentificationAndRecordsAnImage) {
  const std::string links = MakeTempDir(), records = MakeTempDir();
  SimProcess sim({"--link-dir", links, "--record-dir", records, "--max-seconds", "60", "--port",
                  "COM1:ident=HARBOR817,echo=1,erase=200", "--port", "COM2:silent=1"});
  const std::string first = sim.Line();
  EXPECT_EQ(first.rfind("COM1 /dev/pts/", 0), 0u) << first;
  EXPECT_EQ(sim.Line().rfind("COM2 /dev/pts/", 0), 0u);
  ASSERT_EQ(sim.Line(), "ready");

  {
    Host host(links + "/COM1");
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(host.Send("ati3\r"));
    EXPECT_EQ(host.ReadUntil("OK\r\n", 3000), "ati3\r\r\nHARBOR817\r\n\r\nOK\r\n");
  }
  // Closing the device does not end the modem: the next open works the same.
  Host host(links + "/COM1");
  ASSERT_TRUE(host.ok());
  ASSERT_TRUE(host.Send("AT+F56=90\r"));
  EXPECT_NE(host.ReadUntil("(y/n)", 3000).find("(y/n)"), std::string::npos);
  ASSERT_TRUE(host.Send("y"));
  EXPECT_NE(host.ReadUntil("READY\r\n", 3000).find("READY"), std::string::npos);

  std::string image(5000, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 13 + i / 256);
  ASSERT_TRUE(host.Send(image));
  EXPECT_EQ(host.ReadUntil("OK\r\n", 5000), "OK\r\n");
  EXPECT_EQ(sim.Line(), "COM1 image 5000 bytes");
  std::ifstream f(records + "/COM1.bin", std::ios::binary);
  const std::string recorded((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(recorded, image);

  Host silent(links + "/COM2");
  ASSERT_TRUE(silent.ok());
  ASSERT_TRUE(silent.Send("ati3\r"));
  EXPECT_EQ(silent.ReadUntil("OK", 300), "");

  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  struct stat st {};
  EXPECT_NE(lstat((links + "/COM1").c_str(), &st), 0) << "links are removed at exit";
  std::system(("rm -rf " + links + " " + records).c_str());
}

TEST(ModemSim, UnderstandsOnlyAt115200GreetsEachOpenAndPrintsWhatItHeard) {
  const std::string links = MakeTempDir();
  SimProcess sim({"--link-dir", links, "--max-seconds", "60", "--port",
                  "COM1:banner=\\r\\nHELLO\\r\\n,banner-delay=300,times=1"});
  sim.Line();
  ASSERT_EQ(sim.Line(), "ready");
  {
    Host slow(links + "/COM1", B9600);
    ASSERT_TRUE(slow.ok());
    ASSERT_TRUE(slow.Send("ati3\r"));
    const std::string heard = slow.ReadUntil("OK", 1000);
    EXPECT_EQ(heard.find("HELLO"), std::string::npos);  // noise at this speed
    EXPECT_EQ(heard.find("ZQ713"), std::string::npos);
    const std::string error = sim.Line();
    EXPECT_EQ(error.rfind("COM1 error: ", 0), 0u) << error;
    EXPECT_NE(error.find("9600 baud 8N1"), std::string::npos) << error;
  }
  Host host(links + "/COM1");
  ASSERT_TRUE(host.ok());
  EXPECT_EQ(host.ReadUntil("HELLO\r\n", 3000), "\r\nHELLO\r\n");
  ASSERT_TRUE(host.Send("ati3\r"));
  EXPECT_NE(host.ReadUntil("OK\r\n", 3000).find("ZQ713"), std::string::npos);
  const std::string command = sim.Line();
  EXPECT_EQ(command.rfind("COM1 command ", 0), 0u) << command;
  EXPECT_NE(command.find(" ms: ati3\\r"), std::string::npos) << command;
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  rmdir(links.c_str());
}

TEST(ModemSim, VanishedModemTakesItsDeviceAway) {
  const std::string links = MakeTempDir();
  SimProcess sim(
      {"--link-dir", links, "--max-seconds", "60", "--port", "COM4:erase=0,vanish-after=100"});
  sim.Line();
  ASSERT_EQ(sim.Line(), "ready");
  Host host(links + "/COM4");
  ASSERT_TRUE(host.ok());
  host.Send("AT+F56=90\r");
  host.ReadUntil("(y/n)", 3000);
  host.Send("y");
  ASSERT_NE(host.ReadUntil("READY\r\n", 3000).find("READY"), std::string::npos);
  host.Send(std::string(200, 'x'));
  // The far end is gone: reads end (hang-up) instead of waiting, and the link is removed.
  EXPECT_EQ(host.ReadUntil("never", 3000), "");
  struct stat st {};
  const auto end = Clock::now() + std::chrono::seconds(3);
  while (lstat((links + "/COM4").c_str(), &st) == 0 && Clock::now() < end) usleep(10000);
  EXPECT_NE(lstat((links + "/COM4").c_str(), &st), 0);
  EXPECT_EQ(sim.Stop(SIGINT), 0);
  rmdir(links.c_str());
}

TEST(ModemSim, RejectsABadCommandLineAndDocumentsItself) {
  EXPECT_EQ(
      std::system(
          (std::string("timeout 10 ") + kModemSim + " --port COM1:bogus=1 2>/dev/null").c_str()),
      2 << 8);
  EXPECT_EQ(std::system(
                (std::string("timeout 10 ") + kModemSim + " --help | grep -q stall-after").c_str()),
            0);
}

}  // namespace

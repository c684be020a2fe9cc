#pragma once
// modem-sim as a child process for the duration of a test suite: started with the given
// ports, its "NAME /dev/pts/N" lines collected as a port table, ended with SIGTERM.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

class SimLauncher {
 public:
  SimLauncher(const std::string& program, const std::vector<std::string>& ports) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> args{program, "--max-seconds", "120"};
    for (const std::string& p : ports) {
      args.push_back("--port");
      args.push_back(p);
    }
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    m_out = out[0];
    if (m_pid > 0) ReadUntilReady();
  }
  ~SimLauncher() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      int status = 0;
      waitpid(m_pid, &status, 0);
    }
    if (m_out >= 0) close(m_out);
  }
  SimLauncher(const SimLauncher&) = delete;
  SimLauncher& operator=(const SimLauncher&) = delete;

  bool Ready() const { return m_ready; }
  const std::map<std::string, std::string>& Ports() const { return m_ports; }

 private:
  void ReadUntilReady() {
    std::string text;
    char buf[512];
    pollfd p{m_out, POLLIN, 0};
    while (!m_ready && poll(&p, 1, 10000) > 0) {
      ssize_t r = read(m_out, buf, sizeof buf);
      if (r <= 0) break;
      text.append(buf, static_cast<size_t>(r));
      std::istringstream lines(text);
      std::string name, path;
      m_ports.clear();
      for (std::string line; std::getline(lines, line);) {
        if (line == "ready") m_ready = true;
        std::istringstream fields(line);
        if (fields >> name >> path) m_ports[name] = path;
      }
    }
  }

  pid_t m_pid = -1;
  int m_out = -1;
  bool m_ready = false;
  std::map<std::string, std::string> m_ports;
};

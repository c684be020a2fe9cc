// This process and its machine, and where its files go, on POSIX systems.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "cli/platform/Platform.h"

namespace {

// The system folder that the package creates for the history.
constexpr char kSystemHistoryFolder[] = "/var/lib/orvane-fwupdate";

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

long ProcessId() { return static_cast<long>(getpid()); }

std::string BootId() {
  std::ifstream in("/proc/sys/kernel/random/boot_id");
  std::string id;
  std::getline(in, id);
  return id;
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  // Another user's process answers EPERM: it is there all the same.
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string DefaultHistoryPath() {
  if (geteuid() == 0 && IsFolder(kSystemHistoryFolder))
    return std::string(kSystemHistoryFolder) + "/history.db";
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state) + "/fwupdate/history.db";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state/fwupdate/history.db";
  return "";
}

std::string AbsolutePath(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string out = real;
  std::free(real);
  return out;
}

bool MakeParentFolders(const std::string& file, std::string& reason) {
  for (std::size_t at = file.find('/', 1); at != std::string::npos; at = file.find('/', at + 1)) {
    const std::string folder = file.substr(0, at);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
      reason = folder + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

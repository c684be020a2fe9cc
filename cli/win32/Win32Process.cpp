// This process and its machine, and where its files go, on Windows.

#include <windows.h>

#include <cstdlib>

#include "cli/platform/Platform.h"

std::string HostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return "";
  return name;
}

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

// Windows names no boot; the process check alone decides.
std::string BootId() { return ""; }

bool ProcessAlive(long pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

std::string DefaultHistoryPath() {
  const char* local = std::getenv("LOCALAPPDATA");
  if (!local || !local[0]) return "";
  return std::string(local) + "\\fwupdate\\history.db";
}

std::string AbsolutePath(const std::string& path) {
  char full[MAX_PATH] = {};
  const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
}

bool MakeParentFolders(const std::string& file, std::string& reason) {
  for (std::size_t at = file.find_first_of("\\/", 3); at != std::string::npos;
       at = file.find_first_of("\\/", at + 1)) {
    const std::string folder = file.substr(0, at);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      reason = folder + ": cannot be created (error " + std::to_string(GetLastError()) + ")";
      return false;
    }
  }
  return true;
}

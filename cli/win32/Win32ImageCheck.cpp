// The image check on Windows. A name in the device namespace (\\.\COM1, \\.\pipe\x, and
// the names Windows keeps for devices in any folder, "NUL" or "COM1") is refused by its
// full path alone, so that no port is opened; anything else is opened for its attributes
// only, sharing everything, and GetFileType and GetFileInformationByHandle say what it is;
// a file on disk is then opened for reading as fopen opens it (a writer holding the image
// is the core's to report). None of these calls blocks.

#include <windows.h>

#include <cstring>

#include "cli/platform/Platform.h"

namespace {

std::string SystemText(DWORD error) {
  char text[256] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, text, sizeof text, nullptr);
  std::string words(text, n);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
    words.pop_back();
  return words.empty() ? "error " + std::to_string(error) : words;
}

ImageFileCheck Failed(DWORD error) {
  ImageFileCheck check;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    check.status = ImageFileStatus::kMissing;
    check.reason = "No such file or directory";  // as the C library says it
  } else {
    check.status = ImageFileStatus::kError;
    check.reason = SystemText(error);
  }
  return check;
}

ImageFileCheck NotRegular(ImageFileKind kind) {
  ImageFileCheck check;
  check.status = ImageFileStatus::kNotRegular;
  check.kind = kind;
  return check;
}

}  // namespace

ImageFileCheck CheckImageFile(const std::string& path) {
  char full[MAX_PATH * 2];
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (n > 0 && n < sizeof full && std::strncmp(full, "\\\\.\\", 4) == 0)
    return NotRegular(_strnicmp(full + 4, "pipe\\", 5) == 0 ? ImageFileKind::kFifo
                                                            : ImageFileKind::kCharacterDevice);
  const HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Failed(GetLastError());
  const DWORD type = GetFileType(h);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(h, &info) != 0;
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (type == FILE_TYPE_CHAR) return NotRegular(ImageFileKind::kCharacterDevice);
  if (type == FILE_TYPE_PIPE) return NotRegular(ImageFileKind::kFifo);
  if (type != FILE_TYPE_DISK) return NotRegular(ImageFileKind::kOther);
  if (!known) return Failed(error);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return NotRegular(ImageFileKind::kDirectory);
  ImageFileCheck check;
  check.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (check.size > kMaxImageSize) {
    check.status = ImageFileStatus::kTooLarge;
    return check;
  }
  // A file on disk: whether it may be read at all, opened as the C library opens it. The
  // core opens it again without sharing, as the dialog program does.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed(GetLastError());
  CloseHandle(file);
  return check;
}

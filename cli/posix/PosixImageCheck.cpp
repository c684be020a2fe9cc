// The image check on POSIX systems: stat says what the path names without opening it, so a
// device (a serial port among them) is never opened and a FIFO never waited on; a regular
// file is then opened with O_NONBLOCK, which cannot block either, to learn whether it can be
// read, and fstat says again what was opened.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/platform/Platform.h"

namespace {

ImageFileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return ImageFileKind::kRegular;
  if (S_ISDIR(mode)) return ImageFileKind::kDirectory;
  if (S_ISCHR(mode)) return ImageFileKind::kCharacterDevice;
  if (S_ISBLK(mode)) return ImageFileKind::kBlockDevice;
  if (S_ISFIFO(mode)) return ImageFileKind::kFifo;
  if (S_ISSOCK(mode)) return ImageFileKind::kSocket;
  return ImageFileKind::kOther;
}

ImageFileCheck Failed(int error) {
  ImageFileCheck check;
  check.status =
      error == ENOENT || error == ENOTDIR ? ImageFileStatus::kMissing : ImageFileStatus::kError;
  check.reason = std::strerror(error);
  return check;
}

// The verdict on what stat found: not regular, too long, or fine.
ImageFileCheck Judged(const struct stat& info) {
  ImageFileCheck check;
  check.kind = KindOf(info.st_mode);
  check.size = static_cast<std::uint64_t>(info.st_size);
  if (check.kind != ImageFileKind::kRegular)
    check.status = ImageFileStatus::kNotRegular;
  else if (check.size > kMaxImageSize)
    check.status = ImageFileStatus::kTooLarge;
  return check;
}

}  // namespace

ImageFileCheck CheckImageFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return Failed(errno);
  ImageFileCheck check = Judged(info);
  if (check.status != ImageFileStatus::kOk) return check;
  // Regular when asked; it may have been replaced since, so what was opened is asked again.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Failed(errno);
  if (fstat(fd, &info) != 0) {
    const int error = errno;
    close(fd);
    return Failed(error);
  }
  close(fd);
  return Judged(info);
}

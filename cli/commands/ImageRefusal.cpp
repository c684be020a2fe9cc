#include "cli/commands/ImageRefusal.h"

namespace {

const char* KindText(ImageFileKind kind) {
  switch (kind) {
    case ImageFileKind::kRegular:
      return "a regular file";
    case ImageFileKind::kDirectory:
      return "a directory";
    case ImageFileKind::kCharacterDevice:
      return "a character device";
    case ImageFileKind::kBlockDevice:
      return "a block device";
    case ImageFileKind::kFifo:
      return "a FIFO";
    case ImageFileKind::kSocket:
      return "a socket";
    case ImageFileKind::kOther:
      break;
  }
  return "a special file";
}

}  // namespace

std::string ImageRefusalReason(const ImageFileCheck& check) {
  switch (check.status) {
    case ImageFileStatus::kOk:
      return "";
    case ImageFileStatus::kMissing:
    case ImageFileStatus::kError:
      return check.reason;
    case ImageFileStatus::kNotRegular:
      return std::string("not a regular file (") + KindText(check.kind) + ")";
    case ImageFileStatus::kTooLarge:
      return std::to_string(check.size) +
             " bytes, 4 GiB or more: too long for the transfer's 32-bit byte count";
  }
  return "";
}

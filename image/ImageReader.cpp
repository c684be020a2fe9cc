#include "image/ImageReader.h"

#include <vector>

#include "record/Fields.h"
#include "record/VersionLabels.h"

namespace {

constexpr std::uint32_t kDateReadSize = 16;
constexpr std::uint32_t kMaxDateLength = 15;
constexpr char kDateEnd = '*';

// Reads n bytes, or up to the end of the file: a file system may answer in shorter reads,
// and blocks and dates are placed by their offsets in the file.
bool ReadFull(IImageFile& file, char* data, std::uint32_t n, std::uint32_t& got) {
  got = 0;
  while (got < n) {
    std::uint32_t part = 0;
    if (!file.Read(data + got, n - got, part)) return false;
    if (part == 0) break;
    got += part > n - got ? n - got : part;
  }
  return true;
}

// A date is the text at `offset` up to "*", at most 15 bytes, of the bytes actually read.
void ReadFixedDate(IImageFile& file, std::uint32_t offset, char* out) {
  out[0] = '\0';
  char raw[kDateReadSize];
  std::uint32_t got = 0;
  if (!file.Seek(offset) || !ReadFull(file, raw, kDateReadSize, got)) return;
  std::uint32_t n = 0;
  while (n < got && n < kMaxDateLength && raw[n] != kDateEnd) {
    out[n] = raw[n];
    ++n;
  }
  out[n] = '\0';
}

// Looks for the version labels block by block; a label counts only when it lies wholly
// within one block.
bool ReadVersions(IImageFile& file, FirmwareVersionInfo& info) {
  std::vector<char> block(image::kBlockSize);
  for (;;) {
    std::uint32_t got = 0;
    if (!ReadFull(file, block.data(), image::kBlockSize, got) || got == 0) return false;
    const int p = FindPattern(block.data(), got, marker::kControllerVersion);
    if (p < 0) continue;
    ReadTokenAfterLabel(block.data(), got, p, marker::kControllerVersion, info.controllerVersion);
    const int d = FindPattern(block.data(), got, marker::kDspVersion);
    if (d >= 0) ReadTokenAfterLabel(block.data(), got, d, marker::kDspVersion, info.dspVersion);
    return true;
  }
}

}  // namespace

bool ReadImageVersionInfo(IImageFile& file, FirmwareVersionInfo& info) {
  info.Clear();
  if (!ReadVersions(file, info)) return false;
  ReadFixedDate(file, image::kDspDateOffset, info.dspDate);
  ReadFixedDate(file, image::kControllerDateOffset, info.controllerDate);
  return info.IsComplete();
}

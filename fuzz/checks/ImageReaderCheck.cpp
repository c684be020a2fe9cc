#include "fuzz/checks/ImageReaderCheck.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "fuzz/checks/ByteReader.h"
#include "fuzz/checks/Violations.h"
#include "image/ImageReader.h"
#include "modem/ModemCommands.h"
#include "tests/support/MemoryImageFile.h"

namespace {

constexpr std::uint32_t kMaxLength = 0x10400;  // room for the dates and a little beyond
constexpr std::size_t kMaxDate = 15;
constexpr char kDateEnd = '*';

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Calls `each` with every offset where `label` starts in the file, while it returns true.
template <typename Each>
void ForEachPlace(const std::vector<char>& file, const char* label, Each each) {
  const std::string_view bytes(file.data(), file.size());
  for (std::size_t at = bytes.find(label); at != std::string_view::npos;
       at = bytes.find(label, at + 1))
    if (!each(at)) return;
}

std::vector<char> BuildFile(CByteReader& in, std::vector<std::uint32_t>& readSizes) {
  const std::size_t sizes = in.Range(0, 8);
  for (std::size_t i = 0; i < sizes; ++i) readSizes.push_back(in.Range(0, image::kBlockSize));
  std::vector<char> file(in.Range(0, kMaxLength), static_cast<char>(in.Byte()));
  while (!in.Empty()) {
    const std::size_t offset = in.Range(0, 0xFFFF);
    const std::size_t n = in.Byte();
    for (std::size_t i = 0; i < n && !in.Empty(); ++i) {
      const char c = static_cast<char>(in.Byte());
      if (offset + i < file.size()) file[offset + i] = c;
    }
  }
  return file;
}

// A version token must be the run after one of the label's places in the file; with whole
// reads it must also be the whole run, or 39 bytes of it, or end where a block ends.
void CheckVersion(const std::vector<char>& file, const char* label, const char* token,
                  bool wholeReads, const char* name, CViolations& v) {
  const std::size_t n = std::strlen(token);
  if (n == 0) return;
  bool found = false;
  ForEachPlace(file, label, [&](std::size_t at) {
    std::size_t q = at + std::strlen(label);
    while (q < file.size() && IsSpace(file[q])) ++q;
    if (q + n > file.size() || std::memcmp(file.data() + q, token, n) != 0) return true;
    const std::size_t e = q + n;
    found = !wholeReads || n == kVersionFieldSize - 1 || e == file.size() || file[e] == '\0' ||
            IsSpace(file[e]) || e % image::kBlockSize == 0;
    return !found;
  });
  v.Expect(found, [&] {
    return std::string(name) + " " + Quoted(token) + " is not the token after " + Quoted(label) +
           " anywhere in the file";
  });
}

// A date is the bytes at its offset up to "*", at most 15; with short reads, a start of them.
void CheckDate(const std::vector<char>& file, std::uint32_t offset, const char* date,
               bool wholeReads, const char* name, CViolations& v) {
  std::string want;
  for (std::size_t i = offset; i < file.size() && want.size() < kMaxDate && file[i] != kDateEnd;
       ++i)
    want.push_back(file[i]);
  want = want.substr(0, want.find('\0'));
  const std::string got = date;
  const bool ok = wholeReads ? got == want : want.compare(0, got.size(), got) == 0;
  v.Expect(ok, [&] {
    return std::string(name) + " " + Quoted(got) + " where the file has " + Quoted(want);
  });
}

}  // namespace

std::string CheckImageReader(const std::uint8_t* data, std::size_t size) {
  CViolations v;
  CByteReader in(data, size);
  std::vector<std::uint32_t> readSizes;
  CMemoryFileSystem fs;
  MemoryImage& stored = fs.Put("fw.bin", BuildFile(in, readSizes));
  stored.readSizes = readSizes;
  const bool wholeReads = readSizes.empty();
  const std::vector<char>& file = stored.bytes;
  FirmwareVersionInfo info;
  // Fields that are not terminated before the call must be by the end of it.
  for (char* f : {info.controllerVersion, info.dspVersion, info.controllerDate, info.dspDate})
    std::memset(f, 'x', kVersionFieldSize);
  bool complete = false;
  {
    auto opened = fs.Open("fw.bin");
    complete = ReadImageVersionInfo(*opened, info);
  }
  v.Expect(fs.largestRead <= image::kBlockSize, "a read of more than one block");

  const std::pair<const char*, const char*> fields[] = {
      {"controller version", info.controllerVersion},
      {"DSP version", info.dspVersion},
      {"controller date", info.controllerDate},
      {"DSP date", info.dspDate}};
  for (const auto& field : fields) {
    if (!v.Expect(std::memchr(field.second, 0, kVersionFieldSize) != nullptr,
                  [&] { return std::string(field.first) + " not terminated within its size"; }))
      return v.Text();
  }
  v.Expect(complete == info.IsComplete(), "the answer does not match the fields");

  CheckVersion(file, marker::kControllerVersion, info.controllerVersion, wholeReads,
               "controller version", v);
  CheckVersion(file, marker::kDspVersion, info.dspVersion, wholeReads, "DSP version", v);
  // The dates are read once a block held the controller label: with whole reads, a block
  // of the file's 8 KiB grid; with short reads, any stretch the reads happened to cut.
  bool anywhere = false, inBlock = false;
  const std::size_t label = std::strlen(marker::kControllerVersion);
  ForEachPlace(file, marker::kControllerVersion, [&](std::size_t p) {
    anywhere = true;
    inBlock = p / image::kBlockSize == (p + label - 1) / image::kBlockSize;
    return !inBlock;
  });
  if (!anywhere || (wholeReads && !inBlock)) {
    for (const auto& field : fields)
      v.Expect(field.second[0] == '\0', [&] {
        return std::string(field.first) + " " + Quoted(field.second) + " without a label to find";
      });
  } else {
    CheckDate(file, image::kDspDateOffset, info.dspDate, wholeReads, "DSP date", v);
    CheckDate(file, image::kControllerDateOffset, info.controllerDate, wholeReads,
              "controller date", v);
  }
  return v.Text();
}

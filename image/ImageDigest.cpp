#include "image/ImageDigest.h"

#include <algorithm>

#include "image/BytesImageFile.h"
#include "image/ImageReader.h"
#include "image/Sha256.h"

ImageFacts DigestImageBytes(const std::string& name, const std::vector<char>& bytes) {
  ImageFacts facts;
  facts.read = true;
  facts.path = name;
  facts.size = bytes.size();
  CSha256 sha;
  sha.Update(bytes.data(), bytes.size());
  facts.sha256 = sha.HexDigest();
  CBytesImageFile file(bytes.data(), bytes.size());
  if (!ReadImageVersionInfo(file, facts.record)) facts.record.Clear();
  return facts;
}

bool ReadWholeImage(IImageFiles& files, const std::string& name, std::vector<char>& bytes) {
  std::unique_ptr<IImageFile> file = files.OpenImageFile(name);
  if (!file) return false;
  bytes.assign(file->GetLength(), 0);
  std::uint32_t filled = 0;
  while (filled < bytes.size()) {
    std::uint32_t got = 0;
    const std::uint32_t want = static_cast<std::uint32_t>(bytes.size()) - filled;
    if (!file->Read(bytes.data() + filled, want, got) || got == 0) return false;
    filled += std::min(got, want);
  }
  return true;
}

ImageFacts DigestImage(IImageFiles& files, const std::string& name) {
  std::vector<char> bytes;
  if (ReadWholeImage(files, name, bytes)) return DigestImageBytes(name, bytes);
  ImageFacts none;
  none.path = name;
  return none;
}

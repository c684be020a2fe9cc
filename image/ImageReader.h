#pragma once
// Reads the version record out of a firmware image: the version labels from the first 8 KiB
// block that holds "Controller Ver", the dates from their fixed offsets near 64 KiB.

#include <cstdint>

#include "image/ImageFile.h"
#include "record/FirmwareVersionInfo.h"

namespace image {
constexpr std::uint32_t kBlockSize = 8192;
constexpr std::uint32_t kDspDateOffset = 0xFFC0;
constexpr std::uint32_t kControllerDateOffset = 0xFFD9;
}  // namespace image

// Fills `info` from an opened image and returns true when all four fields were found.
// Holds one block at a time, never the whole file; a read error counts as a missing field.
bool ReadImageVersionInfo(IImageFile& file, FirmwareVersionInfo& info);

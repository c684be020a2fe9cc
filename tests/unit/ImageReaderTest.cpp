// The version record of an image: labels per 8 KiB block, dates at fixed offsets.

#include <gtest/gtest.h>

#include "image/ImageReader.h"
#include "tests/support/MemoryImageFile.h"

namespace {

struct ReadResult {
  bool complete;
  FirmwareVersionInfo info;
};

ReadResult ReadImage(std::vector<char> bytes, CMemoryFileSystem* fsOut = nullptr) {
  CMemoryFileSystem fs;
  fs.Put("fw.bin", std::move(bytes));
  ReadResult r{};
  {
    auto file = fs.Open("fw.bin");
    r.complete = ReadImageVersionInfo(*file, r.info);
  }
  if (fsOut) *fsOut = fs;
  return r;
}

const std::pair<std::size_t, std::string> kDates[] = {{0xFFC0, "04/01/03*"}, {0xFFD9, "04/02/03*"}};

std::vector<char> ImageWith(std::vector<std::pair<std::size_t, std::string>> texts,
                            std::size_t size = 0x10000) {
  texts.insert(texts.end(), std::begin(kDates), std::end(kDates));
  return MakeImage(size, texts);
}

TEST(ImageReader, ReadsAllFourFieldsHoldingOneBlock) {
  CMemoryFileSystem fs;
  const auto r =
      ReadImage(ImageWith({{9000, "Controller Ver 2.20.15\r\n"}, {9100, "DSP Ver 1.9 "}}), &fs);
  EXPECT_TRUE(r.complete);
  EXPECT_STREQ(r.info.controllerVersion, "2.20.15");
  EXPECT_STREQ(r.info.dspVersion, "1.9");
  EXPECT_STREQ(r.info.dspDate, "04/01/03");
  EXPECT_STREQ(r.info.controllerDate, "04/02/03");
  EXPECT_LE(fs.largestRead, image::kBlockSize);
  EXPECT_EQ(fs.openNow, 0);
}

TEST(ImageReader, LabelsCountOnlyWithinOneBlock) {
  // Controller label in the third block, DSP label in the fourth.
  auto r = ReadImage(
      ImageWith({{2 * 8192 + 10, "Controller Ver 2.20 "}, {3 * 8192 + 10, "DSP Ver 1.09 "}}));
  EXPECT_FALSE(r.complete);
  EXPECT_STREQ(r.info.controllerVersion, "2.20");
  EXPECT_STREQ(r.info.dspVersion, "");

  // Split across the first block boundary: found in neither block.
  r = ReadImage(ImageWith({{8192 - 5, "Controller Ver 2.20 DSP Ver 1.09 "}}));
  EXPECT_FALSE(r.complete);
  EXPECT_STREQ(r.info.controllerVersion, "");

  // Across 4 KiB inside one block, also when the file gives the block in 4 KiB reads: found.
  for (std::uint32_t piece : {0u, 4096u}) {
    SCOPED_TRACE(piece);
    CMemoryFileSystem fs;
    fs.Put("fw.bin", ImageWith({{8192 + 4096 - 8, "Controller Ver 2.20 "},
                                {8192 + 4096 + 20, "DSP Ver 1.09 "}}))
        .readSizes = {piece ? piece : image::kBlockSize};
    FirmwareVersionInfo info;
    auto file = fs.Open("fw.bin");
    EXPECT_TRUE(ReadImageVersionInfo(*file, info));
    EXPECT_STREQ(info.controllerVersion, "2.20");
    EXPECT_STREQ(info.dspVersion, "1.09");
  }

  // The token must end within the block: at the block's end it is cut there.
  r = ReadImage(ImageWith({{0, "DSP Ver 1.09 "}, {8192 - 17, "Controller Ver 2.2"}}));
  EXPECT_STREQ(r.info.controllerVersion, "2.");
}

TEST(ImageReader, DatesEndAtTheStarOrAfterFifteenBytes) {
  const std::pair<std::size_t, std::string> labels = {0, "Controller Ver 2.20 DSP Ver 1.09 "};
  auto r = ReadImage(
      MakeImage(0x10000, {labels, {0xFFC0, "0123456789ABCDEFGH"}, {0xFFD9, "12/31/99*"}}));
  EXPECT_STREQ(r.info.dspDate, "0123456789ABCDE");
  EXPECT_STREQ(r.info.controllerDate, "12/31/99");
  EXPECT_TRUE(r.complete);

  r = ReadImage(MakeImage(0x10000, {labels, {0xFFC0, "*04/01/03"}, {0xFFD9, "12/31/99*"}}));
  EXPECT_STREQ(r.info.dspDate, "");
  EXPECT_FALSE(r.complete);
}

TEST(ImageReader, OnlyBytesActuallyReadBecomeDates) {
  // Ends four bytes into the DSP date; the controller date lies beyond the end.
  auto r = ReadImage(
      MakeImage(0xFFC4, {{0, "Controller Ver 2.20 DSP Ver 1.09 "}, {0xFFC0, "04/01/03*"}}));
  EXPECT_STREQ(r.info.dspDate, "04/0");
  EXPECT_STREQ(r.info.controllerDate, "");
  EXPECT_FALSE(r.complete);

  r = ReadImage({});
  EXPECT_FALSE(r.complete);
  EXPECT_STREQ(r.info.controllerVersion, "");
}

// A file system may give any read in pieces: the record is the same wherever they end, also
// inside a date field.
TEST(ImageReader, ShortReadsAtEveryBoundaryGiveTheSameRecord) {
  for (std::uint32_t piece : {1u, 2u, 3u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 4096u}) {
    SCOPED_TRACE(piece);
    CMemoryFileSystem fs;
    fs.Put("fw.bin", MakeValidImage()).readSizes = {piece};
    FirmwareVersionInfo info;
    auto file = fs.Open("fw.bin");
    EXPECT_TRUE(ReadImageVersionInfo(*file, info));
    EXPECT_STREQ(info.controllerVersion, "2.20");
    EXPECT_STREQ(info.dspVersion, "1.09");
    EXPECT_STREQ(info.dspDate, "04/01/03");
    EXPECT_STREQ(info.controllerDate, "04/02/03");
  }
}

TEST(ImageReader, AReadErrorIsAMissingRecord) {
  CMemoryFileSystem fs;
  fs.Put("fw.bin", MakeValidImage()).readFails = true;
  FirmwareVersionInfo info;
  auto file = fs.Open("fw.bin");
  EXPECT_FALSE(ReadImageVersionInfo(*file, info));
}

}  // namespace

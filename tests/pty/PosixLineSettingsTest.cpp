// Line settings <-> termios, both ways, for the codes a pty cannot show (it is always 8N1).

#include <gtest/gtest.h>

#include "serial/posix/PosixLineSettings.h"

namespace {

SerialState RoundTrip(std::uint32_t baud, std::uint8_t size, std::uint8_t parity, std::uint8_t stop,
                      bool cts) {
  termios tio{};
  MakeRaw(tio);
  SerialState in;
  in.BaudRate = baud;
  in.ByteSize = size;
  in.Parity = parity;
  in.StopBits = stop;
  in.fOutxCtsFlow = cts;
  EXPECT_TRUE(WriteLineSettings(in, tio));
  SerialState out;
  EXPECT_TRUE(ReadLineSettings(tio, out));
  return out;
}

TEST(PosixLineSettings, EveryCodeSurvivesTheTripThroughTermios) {
  for (std::uint8_t parity = 0; parity <= 4; ++parity) {
    for (std::uint8_t size = 5; size <= 8; ++size) {
      SerialState s = RoundTrip(115200, size, parity, 2, parity % 2 == 0);
      EXPECT_EQ(s.BaudRate, 115200u);
      EXPECT_EQ(s.ByteSize, size);
      EXPECT_EQ(s.Parity, parity);
      EXPECT_EQ(s.StopBits, 2);
      EXPECT_EQ(s.fOutxCtsFlow, parity % 2 == 0);
    }
  }
  EXPECT_EQ(RoundTrip(9600, 8, 0, 0, false).StopBits, 0);
  EXPECT_EQ(RoundTrip(300, 8, 0, 0, false).BaudRate, 300u);
}

TEST(PosixLineSettings, RewritingLeavesOtherFlagsAsTheyWere) {
  termios tio{};
  MakeRaw(tio);
  tio.c_cflag |= HUPCL;
  tio.c_cflag |= PARENB | PARODD;  // odd parity before
  SerialState s;
  s.BaudRate = 115200;
  ASSERT_TRUE(WriteLineSettings(s, tio));
  EXPECT_TRUE(tio.c_cflag & HUPCL);
  EXPECT_TRUE(tio.c_cflag & CLOCAL);
  EXPECT_FALSE(tio.c_cflag & (PARENB | PARODD));
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
}

}  // namespace

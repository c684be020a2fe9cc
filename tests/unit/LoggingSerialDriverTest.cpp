// The transcript of a Find through the logging driver: it changes nothing of the dialogue
// and shows every open, setting, time-out and byte, timed on the session's clock.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "serial/LoggingSerialDriver.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

std::string ReadAll(std::FILE* f) {
  std::string text;
  std::rewind(f);
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(LoggingSerialDriver, TranscriptOfAFindShowsEveryStepAndChangesNothing) {
  CVirtualClock clock;
  CSimLineDriver line(clock);
  line.AttachModem("COM2");
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  CLoggingSerialDriver logged(line, out, [&clock] { return static_cast<double>(clock.Now()); });
  CRecordingDlg dlg(clock, logged);

  dlg.OnFind();
  EXPECT_EQ(dlg.selectedPort, 1);
  const std::string log = ReadAll(out);
  std::fclose(out);

  for (const char* expected : {
           "serial transcript, started ",
           "[     0.200] open COM1: FAILED (missing or held)\n",
           "open COM2: ok\n",
           "line 115200 baud, 8N1, CTS flow on, DTR on: ok\n",
           "time-outs: read interval 0, read 100 x n + 1, write 100 x n + 0 (ms): ok\n",
           "purge receive: ok\n",
           "[     0.400] sent 5 of 5 bytes in 0 ms\n"
           "             00000000  61 74 26 66 0d                                   |at&f.|\n"
           "[     3.601] received 6 of 30 bytes in 3001 ms (time-out)\n",
           " 0d 0a 5a 51 37 31 33 0d 0a 0d 0a 4f 4b 0d 0a     |..ZQ713....OK..|\n",
           "[     9.802] close: ok\n",
       }) {
    EXPECT_NE(log.find(expected), std::string::npos) << "missing: " << expected << "\n" << log;
  }
  EXPECT_EQ(log.find("open COM3"), std::string::npos) << "the scan stops at the modem";
  // A fresh port empties its receive buffer, then its send buffer.
  EXPECT_LT(log.find("purge receive: ok\n"), log.find("purge send: ok\n"));
}

TEST(LoggingSerialDriver, EachEntryIsOnDiskWhileThePortIsStillOpen) {
  // Support reads the transcript of a run that hangs or is killed: nothing may wait in a buffer.
  CVirtualClock clock;
  CSimLineDriver line(clock);
  line.AttachModem("COM1");
  char path[] = "/tmp/fw-transcript-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  std::FILE* out = std::fopen(path, "w");
  ASSERT_NE(out, nullptr);
  CLoggingSerialDriver logged(line, out, [] { return 0.0; });
  auto onDisk = [&path] {
    std::FILE* second = std::fopen(path, "r");
    const std::string text = second ? ReadAll(second) : "";
    if (second) std::fclose(second);
    return text;
  };
  OpenFailure why;
  const SerialHandle h = logged.OpenDevice("COM1", why);
  EXPECT_NE(onDisk().find("open COM1: ok\n"), std::string::npos);
  std::uint32_t done = 0;
  logged.WriteBytes(h, "at\r", 3, done);
  EXPECT_NE(onDisk().find("|at.|"), std::string::npos);
  logged.Purge(h, PURGE_TXCLEAR);
  EXPECT_NE(onDisk().find("purge send: ok\n"), std::string::npos);
  logged.CloseDevice(h);
  std::fclose(out);
  std::remove(path);
}

}  // namespace

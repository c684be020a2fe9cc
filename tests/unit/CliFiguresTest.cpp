// The progress figures at their edges: nothing done, the first second, an hour and more, the
// end.

#include <gtest/gtest.h>

#include "cli/screen/ConsoleProgress.h"
#include "cli/screen/ProgressMeter.h"

namespace {

TEST(CliFigures, DurationsAndTheBarAtTheirEdges) {
  const struct {
    double seconds;
    const char* text;
  } durations[] = {
      {-1, "--:--"},       {0, "0:00"},          {0.49, "0:00"},        {0.5, "0:01"},
      {59.5, "1:00"},      {3599.4, "59:59"},    {3599.5, "1:00:00"},   {3600, "1:00:00"},
      {36061, "10:01:01"}, {172800, "48:00:00"}, {360000, "100:00:00"},
  };
  for (const auto& d : durations) EXPECT_EQ(FormatDuration(d.seconds), d.text) << d.seconds;

  // 1000 bytes in ten steps of 100; the first step at 2 s, after the waits before it.
  CProgressMeter transfer;
  transfer.Start("Updating...", 1000, 100, 0);
  transfer.SetRange(10);
  EXPECT_EQ(transfer.Figures(1500, true),
            "[--------------------]   0%  0/1000 B  0 B/s  --:-- left");
  transfer.Step(2000);
  const struct {
    std::uint64_t nowMs;
    const char* text;
  } after[] = {
      {2000, "[##------------------]  10%  100/1000 B  --:-- left"},
      // Within the first second the pace is shown, the time left not yet.
      {2999, "[##------------------]  10%  100/1000 B  100 B/s  --:-- left"},
      {3000, "[##------------------]  10%  100/1000 B  100 B/s  0:09 left"},
      {402000, "[##------------------]  10%  100/1000 B  0 B/s  1:00:00 left"},
  };
  for (const auto& a : after) EXPECT_EQ(transfer.Figures(a.nowMs, true), a.text) << a.nowMs;
  for (int i = 0; i < 9; ++i) transfer.Step(2500);
  EXPECT_EQ(transfer.Figures(7000, true),
            "[####################] 100%  1000/1000 B  200 B/s  in 0:05");

  // The erase counts ticks: its end is 100% whatever time it took.
  CProgressMeter erase;
  erase.Start("Erasing flash memory...", 0, 0, 0);
  erase.SetRange(100);
  erase.SetStep(100);
  erase.Step(0);
  EXPECT_EQ(erase.Figures(3601000, false), "100%  in 1:00:01");
}

std::uint64_t g_nowMs = 0;
std::uint64_t Now() { return g_nowMs; }

// The transfer's rate counts from its own first block: the erase and the waits before the
// transfer say nothing about the line's speed.
TEST(CliFigures, TheTransferRateLeavesOutTheWaitsBeforeIt) {
  CConsoleOut out(false);
  CConsoleProgress progress(out, Now);
  testing::internal::CaptureStdout();
  g_nowMs = 0;
  progress.OpenProgressWindow();
  progress.BeginPhase(ProgressPhase::kErase, 100);
  for (std::uint32_t tick = 1; tick <= 100; ++tick) g_nowMs = 100 * tick, progress.Advance(tick);
  progress.EndPhase(ProgressPhase::kErase);
  g_nowMs = 12000;
  progress.BeginPhase(ProgressPhase::kTransfer, 10000);
  for (std::uint32_t block = 1; block <= 10; ++block)
    g_nowMs = 12000 + 2000 * block, progress.Advance(1000 * block);
  progress.CloseProgressWindow();
  const std::string shown = testing::internal::GetCapturedStdout();
  EXPECT_NE(shown.find("Updating...  20%  2000/10000 B  1000 B/s  0:08 left"), std::string::npos)
      << shown;
  EXPECT_NE(shown.find("Updating... 100%  10000/10000 B  556 B/s  in 0:18"), std::string::npos)
      << shown;
}

}  // namespace

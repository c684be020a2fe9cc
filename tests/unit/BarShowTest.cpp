// Which of the progress bar's steps reach the control: a pixel's move, no sooner than the
// interval after the last paint, and the full bar at once.

#include <gtest/gtest.h>

#include <string>

#include "app/BarShow.h"

namespace {

TEST(BarShow, AStepReachesTheControlOnlyWhenTheScreenCanTellAndTheIntervalHasPassed) {
  const struct {
    const char* what;
    int width, upper, steps;
    double sinceShownMs;
    bool shows;
  } cases[] = {
      {"a pixel's move after the interval", 300, 100, 1, 100, true},
      {"a pixel's move within the interval", 300, 100, 1, 99, false},
      {"less than a pixel", 300, 1024, 1, 1000, false},
      {"a pixel once enough steps add up", 300, 1024, 2, 1000, true},
      {"the full bar within the interval", 300, 2, 2, 0, true},
      {"an empty range", 300, 0, 1, 1000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CBarShow bar(100);
    bar.SetWidth(c.width);
    bar.SetRange(0, c.upper);
    bar.SetStep(1);
    bar.SetShown(0);
    bar.Shown(1000);
    for (int i = 0; i < c.steps; ++i) bar.Step();
    EXPECT_EQ(bar.ShowNow(1000 + c.sinceShownMs), c.shows);
  }
}

// The step message's own arithmetic: the position before is returned, and past the upper
// bound the bar starts over; a shown full bar is not full again until it moves.
TEST(BarShow, StepsWrapAndAFullBarShowsOnce) {
  CBarShow bar(100);
  bar.SetWidth(300);
  bar.SetRange(0, 3);
  bar.SetStep(2);
  EXPECT_EQ(bar.Step(), 0);
  EXPECT_EQ(bar.Step(), 2);
  EXPECT_EQ(bar.Pos(), 0);  // 4 is past 3
  bar.SetStep(3);
  bar.Step();
  EXPECT_TRUE(bar.Full());
  bar.Shown(0);
  EXPECT_FALSE(bar.Full());
  EXPECT_FALSE(bar.ShowNow(1000));
}

}  // namespace

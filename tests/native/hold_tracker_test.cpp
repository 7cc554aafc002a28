// Native tests of the hold on the calibration screen: samples, steady windows, the points they
// take, and the states every message is checked against.
#include "calibration/hold_tracker.h"

#include <gtest/gtest.h>

#include <optional>

namespace calibration {
namespace {

constexpr CursorSample kStill{600, 300};

// Ticks `count` times at one place; the point the last tick took, if any.
std::optional<TakenPoint> TickAt(HoldTracker& hold, CursorSample at, int count) {
  std::optional<TakenPoint> taken;
  for (int i = 0; i < count; ++i) {
    taken = hold.Tick(at);
  }
  return taken;
}

TEST(HoldTracker, FiveStillSamplesTakeTheTargetsInTurnAndTheLastCompletes) {
  HoldTracker hold;
  hold.Start(kTwoPointCount);
  EXPECT_FALSE(hold.WantsTicks());
  hold.Press();
  EXPECT_TRUE(hold.WantsTicks());
  EXPECT_FALSE(TickAt(hold, kStill, 4).has_value());
  const std::optional<TakenPoint> first = hold.Tick(kStill);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->index, 0);
  EXPECT_DOUBLE_EQ(first->mean.x, 600.0);
  EXPECT_DOUBLE_EQ(first->mean.y, 300.0);
  // A held touch takes one point: the next needs a new press.
  EXPECT_FALSE(hold.WantsTicks());
  EXPECT_FALSE(TickAt(hold, kStill, 10).has_value());
  EXPECT_EQ(hold.State(), ScreenState::kCollecting);

  hold.Press();
  const std::optional<TakenPoint> second = TickAt(hold, {10, 20}, 5);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->index, 1);
  EXPECT_EQ(hold.State(), ScreenState::kCompleting);
  hold.Press();
  EXPECT_FALSE(hold.WantsTicks()) << "no sample is taken while the calibration completes";
}

TEST(HoldTracker, AMovingWindowIsDiscardedAndTheHoldGoesOn) {
  HoldTracker hold;
  hold.Start(kTwoPointCount);
  hold.Press();
  for (const std::int32_t x : {100, 110, 120, 130}) {
    EXPECT_FALSE(hold.Tick(CursorSample{x, 0}).has_value());
  }
  EXPECT_FALSE(hold.Tick(CursorSample{140, 0}).has_value());
  EXPECT_EQ(hold.SampleCount(), 0);
  EXPECT_TRUE(hold.WantsTicks());
  EXPECT_TRUE(TickAt(hold, kStill, 5).has_value());
}

// A tick whose cursor could not be read is no sample at the desktop origin: it discards the
// window, and the hold goes on.
TEST(HoldTracker, AnUnreadableCursorDiscardsTheWindow) {
  HoldTracker hold;
  hold.Start(kTwoPointCount);
  hold.Press();
  EXPECT_FALSE(TickAt(hold, kStill, 3).has_value());
  EXPECT_FALSE(hold.Tick(std::nullopt).has_value());
  EXPECT_EQ(hold.SampleCount(), 0);
  EXPECT_FALSE(TickAt(hold, {0, 0}, 4).has_value());
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(hold.Tick(std::nullopt).has_value());
  }
  EXPECT_TRUE(hold.WantsTicks());
  const std::optional<TakenPoint> taken = TickAt(hold, kStill, 5);
  ASSERT_TRUE(taken.has_value());
  EXPECT_DOUBLE_EQ(taken->mean.x, 600.0);
}

TEST(HoldTracker, NoPointAfterAReleaseWhileCancellingOrHidden) {
  struct Case {
    const char* what;
    void (*end)(HoldTracker&);
  };
  const Case cases[] = {
      {"release", [](HoldTracker& h) { h.Release(); }},
      {"cancel", [](HoldTracker& h) { h.BeginCancel(); }},
      {"hide", [](HoldTracker& h) { h.Hide(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HoldTracker hold;
    hold.Start(kFivePointCount);
    hold.Press();
    EXPECT_FALSE(TickAt(hold, kStill, 4).has_value());
    c.end(hold);
    EXPECT_FALSE(hold.WantsTicks());
    EXPECT_FALSE(TickAt(hold, kStill, 10).has_value());
  }
  HoldTracker cancelling;
  cancelling.Start(kFivePointCount);
  cancelling.BeginCancel();
  cancelling.Press();
  EXPECT_EQ(cancelling.State(), ScreenState::kCancelling);
  EXPECT_FALSE(TickAt(cancelling, kStill, 10).has_value());
}

TEST(HoldTracker, AStartClearsAnEarlierCalibration) {
  HoldTracker hold;
  hold.Start(kTwoPointCount);
  hold.Press();
  EXPECT_TRUE(TickAt(hold, kStill, 5).has_value());
  hold.Press();
  EXPECT_FALSE(TickAt(hold, kStill, 3).has_value());
  hold.Start(kFivePointCount);
  EXPECT_EQ(hold.TakenPoints(), 0);
  EXPECT_EQ(hold.SampleCount(), 0);
  EXPECT_FALSE(hold.WantsTicks());
  hold.Press();
  const std::optional<TakenPoint> taken = TickAt(hold, kStill, 5);
  ASSERT_TRUE(taken.has_value());
  EXPECT_EQ(taken->index, 0);
}

}  // namespace
}  // namespace calibration

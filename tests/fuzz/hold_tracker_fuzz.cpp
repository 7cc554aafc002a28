// Fuzz target: random sequences of presses, releases, timer ticks (with and without a readable
// cursor), starts, cancels and hides fed to the hold. Its invariants: never a sixth sample,
// never a point after a release, nor while cancelling, completing or hidden, and the points
// are taken in order, one per press.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

#include "calibration/hold_tracker.h"

namespace {

using calibration::CursorSample;
using calibration::HoldTracker;
using calibration::ScreenState;

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  HoldTracker hold;
  // What the screen has seen: a press since the last release or point, and points taken.
  bool pressed = false;
  int taken = 0;
  while (input.remaining_bytes() > 0) {
    const ScreenState before = hold.State();
    switch (input.ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
        hold.Start(input.ConsumeBool() ? calibration::kFivePointCount
                                       : calibration::kTwoPointCount);
        pressed = false;
        taken = 0;
        break;
      case 1:
        hold.Press();
        pressed = before == ScreenState::kCollecting;
        break;
      case 2:
        hold.Release();
        pressed = false;
        break;
      case 3:
      case 4:
      case 5: {
        // Mostly small movements around one spot, so that steady windows happen.
        const auto jitter = input.ConsumeIntegralInRange<std::int32_t>(-3, 3);
        const CursorSample sample = input.ConsumeBool()
                                        ? CursorSample{500 + jitter, 400 - jitter}
                                        : CursorSample{input.ConsumeIntegral<std::int32_t>(),
                                                       input.ConsumeIntegral<std::int32_t>()};
        const auto point = hold.Tick(sample);
        if (point) {
          Check(before == ScreenState::kCollecting);
          Check(pressed);
          Check(point->index == taken);
          Check(point->index < hold.PointCount());
          ++taken;
          pressed = false;
        }
        break;
      }
      case 6:
        Check(!hold.Tick(std::nullopt).has_value());
        break;
      default:
        if (input.ConsumeBool()) {
          hold.BeginCancel();
        } else {
          hold.Hide();
        }
        pressed = false;
        break;
    }
    Check(hold.SampleCount() >= 0 && hold.SampleCount() < calibration::kHoldSamples);
    Check(hold.TakenPoints() == taken);
    Check(hold.TakenPoints() <= hold.PointCount());
    Check(!hold.WantsTicks() || hold.State() == ScreenState::kCollecting);
    Check(hold.State() != ScreenState::kCompleting || hold.TakenPoints() == hold.PointCount());
  }
  return 0;
}

// The hold on the calibration screen as a state machine, driven by the screen's press, release
// and timer messages: five cursor samples make a window; a steady window takes the current
// target's point. Portable: no Windows header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "calibration/calibration_math.h"

namespace calibration {

// Where the calibration screen is: hidden (no calibration), collecting points, completing (the
// last point is taken: the result is sent and checked) or cancelling (the previous calibration
// goes back). Only collecting takes samples.
enum class ScreenState : std::uint8_t { kHidden, kCollecting, kCompleting, kCancelling };

struct CursorSample {
  std::int32_t x;
  std::int32_t y;
};

// A point the hold took: the index of its target and the mean cursor position.
struct TakenPoint {
  int index;
  PointD mean;
};

class HoldTracker {
 public:
  // A calibration of `pointCount` targets starts; nothing of an earlier one is kept.
  void Start(int pointCount);
  // The touch begins (a press, or a second quick press reported as a double click).
  void Press();
  // The touch ends: the window of samples goes with it.
  void Release();
  // One timer tick with the cursor position, or none when it could not be read (that tick
  // discards the window and the hold goes on). A steady fifth sample takes the next point;
  // the last point turns the screen to completing.
  std::optional<TakenPoint> Tick(std::optional<CursorSample> cursor);
  // Every way out of a calibration stops the hold first.
  void BeginCancel();
  void Hide();

  ScreenState State() const { return m_state; }
  // Whether the screen's timer should run: a touch is down while points are collected.
  bool WantsTicks() const { return m_state == ScreenState::kCollecting && m_bPressed; }
  int TakenPoints() const { return m_nTaken; }
  int PointCount() const { return m_nPointCount; }
  int SampleCount() const { return m_nSamples; }

 private:
  void StopHold();

  ScreenState m_state = ScreenState::kHidden;
  int m_nPointCount = 0;
  int m_nTaken = 0;
  bool m_bPressed = false;
  int m_nSamples = 0;
  std::array<std::int32_t, kHoldSamples> m_sampleX{};
  std::array<std::int32_t, kHoldSamples> m_sampleY{};
};

}  // namespace calibration

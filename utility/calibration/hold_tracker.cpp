#include "calibration/hold_tracker.h"

namespace calibration {

void HoldTracker::Start(int pointCount) {
  StopHold();
  m_state = ScreenState::kCollecting;
  m_nPointCount = pointCount;
  m_nTaken = 0;
}

void HoldTracker::Press() {
  if (m_state != ScreenState::kCollecting) {
    return;
  }
  m_bPressed = true;
  m_nSamples = 0;
}

void HoldTracker::Release() { StopHold(); }

std::optional<TakenPoint> HoldTracker::Tick(std::optional<CursorSample> cursor) {
  // A tick queued before the timer stopped, or after the touch ended, belongs to no hold.
  if (!WantsTicks() || m_nTaken >= m_nPointCount) {
    return std::nullopt;
  }
  if (!cursor) {
    m_nSamples = 0;
    return std::nullopt;
  }
  const auto slot = static_cast<std::size_t>(m_nSamples);
  m_sampleX[slot] = cursor->x;
  m_sampleY[slot] = cursor->y;
  if (++m_nSamples < kHoldSamples) {
    return std::nullopt;
  }

  // Five samples: a steady window takes the point, any other starts a fresh window while the
  // touch goes on.
  m_nSamples = 0;
  const HoldStatistics stats = ComputeHoldStatistics(m_sampleX, m_sampleY);
  if (!IsSteadyHold(stats)) {
    return std::nullopt;
  }
  m_bPressed = false;
  const TakenPoint taken{m_nTaken, {stats.meanX, stats.meanY}};
  if (++m_nTaken == m_nPointCount) {
    m_state = ScreenState::kCompleting;
  }
  return taken;
}

void HoldTracker::BeginCancel() {
  StopHold();
  if (m_state != ScreenState::kHidden) {
    m_state = ScreenState::kCancelling;
  }
}

void HoldTracker::Hide() {
  StopHold();
  m_state = ScreenState::kHidden;
}

void HoldTracker::StopHold() {
  m_bPressed = false;
  m_nSamples = 0;
}

}  // namespace calibration

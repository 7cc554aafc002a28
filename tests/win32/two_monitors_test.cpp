// The two-monitor rig as Windows sees it: the layout the monitor mapping is tested on.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<MONITORINFO>*>(context)->push_back(info);
  }
  return TRUE;
}

bool Equal(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(TwoMonitors, PrimaryAtTheOriginAndASmallerOneToItsLeft) {
  EXPECT_EQ(::GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(::GetSystemMetrics(SM_XVIRTUALSCREEN), -1024);
  EXPECT_EQ(::GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
  EXPECT_EQ(::GetSystemMetrics(SM_CXVIRTUALSCREEN), 2304);
  EXPECT_EQ(::GetSystemMetrics(SM_CYVIRTUALSCREEN), 1024);

  std::vector<MONITORINFO> monitors;
  ASSERT_TRUE(::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor,
                                    reinterpret_cast<LPARAM>(&monitors)));
  ASSERT_EQ(monitors.size(), 2u);
  const RECT primary{0, 0, 1280, 1024};
  const RECT second{-1024, 0, 0, 768};
  int primaries = 0;
  int seconds = 0;
  for (const MONITORINFO& info : monitors) {
    if (Equal(info.rcMonitor, primary) && (info.dwFlags & MONITORINFOF_PRIMARY) != 0) ++primaries;
    if (Equal(info.rcMonitor, second) && (info.dwFlags & MONITORINFOF_PRIMARY) == 0) ++seconds;
  }
  EXPECT_EQ(primaries, 1);
  EXPECT_EQ(seconds, 1);
}

}  // namespace

// One Tessaro at a time: a second start while one runs ends at once and silently.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "tessaro_session.h"
#include "ui.h"
#include "wait.h"

namespace {

using support::TessaroSession;

// Starts a second instance and watches it until it ends; returns the windows it showed.
std::vector<HWND> WindowsOfASecondStart(TessaroSession& second, bool* ended) {
  std::vector<HWND> shown;
  *ended =
      second.Launch() && support::WaitUntil(
                             [&] {
                               for (HWND window : second.VisibleWindows()) {
                                 if (std::find(shown.begin(), shown.end(), window) == shown.end())
                                   shown.push_back(window);
                               }
                               return !second.Running();
                             },
                             support::kWaitMs);
  return shown;
}

TEST(SingleInstance, SecondStartEndsAtOnceWithoutWindowOrMessage) {
  TessaroSession first;
  ASSERT_TRUE(first.Start());
  HWND main = first.MainWindow();

  TessaroSession second;
  bool ended = false;
  const std::vector<HWND> shown = WindowsOfASecondStart(second, &ended);

  EXPECT_TRUE(ended) << "the second instance still runs after " << support::kWaitMs << " ms";
  EXPECT_TRUE(shown.empty()) << "the second instance showed " << shown.size() << " window(s)";
  // The first instance goes on as before, with no message either.
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(::IsWindowVisible(main));
  EXPECT_TRUE(first.OpenDialogs().empty());
  EXPECT_TRUE(first.EndWithOk());
}

TEST(SingleInstance, MinimisedInstanceStaysMinimisedWhenAnotherStarts) {
  TessaroSession first;
  ASSERT_TRUE(first.Start());
  HWND main = first.MainWindow();
  ASSERT_TRUE(::PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0));
  ASSERT_TRUE(support::WaitUntil([&] { return ::IsIconic(main) != FALSE; }));

  TessaroSession second;
  bool ended = false;
  const std::vector<HWND> shown = WindowsOfASecondStart(second, &ended);

  EXPECT_TRUE(ended);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(::IsIconic(main)) << "the running instance was restored";
  EXPECT_TRUE(first.EndWithOk());
}

TEST(SingleInstance, StartAfterTheFirstEndedRunsNormally) {
  {
    TessaroSession first;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.EndWithOk());
  }
  TessaroSession next;
  ASSERT_TRUE(next.Start());
  EXPECT_EQ(next.CurrentTab(), 0);
  EXPECT_EQ(next.PageVisibility(), (std::vector<bool>{true, false, false, false}));
  EXPECT_TRUE(next.EndWithOk());
}

}  // namespace

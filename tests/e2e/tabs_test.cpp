// Switching pages: the user picks a tab, the program hears of it through the tab control's
// selection-change notification and shows that tab's page alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "screenshot.h"
#include "tessaro_session.h"
#include "ui.h"
#include "wait.h"

namespace {

using support::Page;
using support::TessaroSession;

std::vector<bool> OnlyPage(int index) {
  std::vector<bool> visible(support::kPageCount, false);
  visible[static_cast<std::size_t>(index)] = true;
  return visible;
}

std::string ScreenshotName(int index) {
  std::string name = "tab-" + std::to_string(index) + "-";
  for (const char* c = support::PageName(static_cast<Page>(index)); *c != '\0'; ++c) {
    name += *c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  }
  return name;
}

testing::AssertionResult ShowsOnly(const TessaroSession& tessaro, int index) {
  std::vector<bool> visible;
  if (support::WaitUntil([&] {
        visible = tessaro.PageVisibility();
        return visible == OnlyPage(index);
      })) {
    return testing::AssertionSuccess();
  }
  testing::AssertionResult failure = testing::AssertionFailure();
  failure << "expected only page " << index << " visible, visible are:";
  for (std::size_t i = 0; i < visible.size(); ++i) {
    if (visible[i]) failure << " " << i;
  }
  return failure;
}

TEST(Tabs, MouseClickOnATabShowsItsPageAlone) {
  TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Start());
  std::set<int> pictured;
  for (int index : {1, 2, 3, 0, 3, 1, 0, 2}) {
    SCOPED_TRACE(std::string("tab ") + support::PageName(static_cast<Page>(index)));
    ASSERT_TRUE(tessaro.ClickTab(index));
    EXPECT_TRUE(ShowsOnly(tessaro, index));
    if (pictured.insert(index).second) {
      support::SaveScreenshot(support::ScreenshotPath(ScreenshotName(index)));
    }
  }
  EXPECT_TRUE(tessaro.OpenDialogs().empty());
  EXPECT_TRUE(tessaro.EndWithOk());
}

TEST(Tabs, ArrowKeysOnTheTabControlMoveThroughThePages) {
  TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Start());
  // A click on the current tab gives the tab control the keyboard focus and changes nothing.
  ASSERT_TRUE(tessaro.ClickTab(0));
  struct Step {
    WORD key;
    int tab;
  };
  constexpr Step kSteps[] = {
      {VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 3}, {VK_LEFT, 2}, {VK_LEFT, 1}, {VK_LEFT, 0},
  };
  for (const Step& step : kSteps) {
    SCOPED_TRACE(std::string(step.key == VK_RIGHT ? "Right" : "Left") + " to tab " +
                 std::to_string(step.tab));
    ASSERT_TRUE(support::PressKeys({step.key}));
    EXPECT_TRUE(support::WaitUntil([&] { return tessaro.CurrentTab() == step.tab; }))
        << "the current tab is " << tessaro.CurrentTab();
    EXPECT_TRUE(ShowsOnly(tessaro, step.tab));
  }
  EXPECT_TRUE(tessaro.EndWithOk());
}

}  // namespace

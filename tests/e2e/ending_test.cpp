// Ending the program: every way a user ends it has the same effect, and nothing is saved then.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "registry.h"
#include "tessaro_session.h"
#include "ui.h"

namespace {

using support::TessaroSession;

struct EndingCase {
  const char* way;
  std::function<testing::AssertionResult(TessaroSession&)> end;
};

testing::AssertionResult Posted(BOOL posted) {
  return posted ? testing::AssertionSuccess() : testing::AssertionFailure() << "not posted";
}

testing::AssertionResult KeysToMainWindow(TessaroSession& tessaro,
                                          std::initializer_list<WORD> keys) {
  testing::AssertionResult foreground = support::BringToForeground(tessaro.MainWindow());
  if (!foreground) return foreground;
  return support::PressKeys(keys);
}

const EndingCase kEndingCases[] = {
    {"OK button", [](TessaroSession& t) { return Posted(support::ClickButton(t.Control(IDOK))); }},
    {"OK button clicked with the mouse",
     [](TessaroSession& t) { return support::MouseClickWindow(t.Control(IDOK)); }},
    {"Enter key (OK is the default button)",
     [](TessaroSession& t) { return KeysToMainWindow(t, {VK_RETURN}); }},
    {"close command of the system menu",
     [](TessaroSession& t) {
       return Posted(::PostMessageW(t.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0));
     }},
    {"close box (WM_CLOSE)",
     [](TessaroSession& t) { return Posted(::PostMessageW(t.MainWindow(), WM_CLOSE, 0, 0)); }},
    {"Alt+F4",
     [](TessaroSession& t) {
       return KeysToMainWindow(t, {VK_MENU, VK_F4});
     }},
};

TEST(Ending, EachWayEndsTheProgramAndWritesNoSettings) {
  for (const EndingCase& row : kEndingCases) {
    SCOPED_TRACE(row.way);
    ASSERT_TRUE(support::DeleteSettingsKey());
    TessaroSession tessaro;
    ASSERT_TRUE(tessaro.Start());

    ASSERT_TRUE(row.end(tessaro));

    ASSERT_TRUE(tessaro.WaitForExit());
    EXPECT_EQ(tessaro.ExitCode(), 0U);
    EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey))
        << "the settings key was written";
  }
}

}  // namespace

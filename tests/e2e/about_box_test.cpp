// The About box, reached from the main window's system menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "screenshot.h"
#include "tessaro_session.h"
#include "text.h"
#include "ui.h"
#include "wait.h"

namespace {

using support::DialogSeen;
using support::TessaroSession;

constexpr char kAboutCaption[] = "Tessaro1 정보";
constexpr char kAboutText[] = "Tessaro  Version 1.0";
constexpr UINT kAboutCommand = 0x10;

// The menu the system tracks while the user chooses from it: a visible "#32768" window.
bool MenuOpen(const TessaroSession& tessaro) {
  for (HWND window : tessaro.VisibleWindows()) {
    if (support::ClassNameOf(window) == "#32768") return true;
  }
  return false;
}

// The About box is open, modal over the main window, and shows its caption and version line.
void ExpectAboutBox(const TessaroSession& tessaro, const DialogSeen& about) {
  EXPECT_EQ(about.caption, kAboutCaption);
  EXPECT_EQ(about.statics, std::vector<std::string>{kAboutText});
  EXPECT_EQ(support::WindowText(::GetDlgItem(about.window, IDOK)), "OK");
  EXPECT_EQ(::GetWindow(about.window, GW_OWNER), tessaro.MainWindow());
  EXPECT_FALSE(::IsWindowEnabled(tessaro.MainWindow()));
}

// After the About box's OK the main window is usable again and nothing else is open.
void ExpectAboutBoxClosed(const TessaroSession& tessaro) {
  EXPECT_TRUE(tessaro.Running());
  EXPECT_TRUE(support::WaitUntil([&] { return ::IsWindowEnabled(tessaro.MainWindow()) != FALSE; }));
  EXPECT_TRUE(::IsWindowVisible(tessaro.MainWindow()));
  EXPECT_TRUE(tessaro.OpenDialogs().empty());
}

TEST(AboutBox, SystemMenuEntryOpensItAndItsOkClosesIt) {
  TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Start());
  ASSERT_TRUE(support::BringToForeground(tessaro.MainWindow()));

  // Alt+Space opens the system menu on its first entry; Up wraps round to the last one, the
  // entry the program appended. (Its mnemonic "A" would not do: Wine's own "About Wine" entry
  // above it has the same one.)
  ASSERT_TRUE(support::PressKeys({VK_MENU, VK_SPACE}));
  ASSERT_TRUE(support::WaitUntil([&] { return MenuOpen(tessaro); })) << "no system menu opened";
  support::SaveScreenshot(support::ScreenshotPath("system-menu"));
  ASSERT_TRUE(support::PressKeys({VK_UP}));
  ASSERT_TRUE(support::PressKeys({VK_RETURN}));

  DialogSeen about;
  ASSERT_TRUE(tessaro.WaitForDialog(&about));
  support::SaveScreenshot(support::ScreenshotPath("about-box"));
  ExpectAboutBox(tessaro, about);

  ASSERT_TRUE(tessaro.AnswerDialog(about, IDOK));
  ExpectAboutBoxClosed(tessaro);
  EXPECT_TRUE(tessaro.EndWithOk());
}

TEST(AboutBox, SystemMenuEntryTextComesFromTheProgramsStringTable) {
  // Menus cannot be read from another process; the entry is made from string 101 of the
  // program's resources, read here from the file itself.
  const std::wstring path = support::Wide(support::TessaroExePath());
  HMODULE program = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr) << "cannot load " << support::TessaroExePath();
  wchar_t text[64] = {};
  const int length = ::LoadStringW(program, 101, text, 64);
  ::FreeLibrary(program);
  EXPECT_EQ(support::Utf8(std::wstring(text, static_cast<std::size_t>(length))),
            "Tessaro1 정보(&A)...");
}

TEST(AboutBox, AboutCommandOpensItWhateverItsLowFourBits) {
  TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Start());
  // The system uses the low four bits of a system command; the program looks at the rest.
  for (UINT command : {kAboutCommand, kAboutCommand | 0x3U, kAboutCommand | 0xFU}) {
    SCOPED_TRACE("WM_SYSCOMMAND " + std::to_string(command));
    ASSERT_TRUE(::PostMessageW(tessaro.MainWindow(), WM_SYSCOMMAND, command, 0));
    DialogSeen about;
    ASSERT_TRUE(tessaro.WaitForDialog(&about));
    ExpectAboutBox(tessaro, about);
    ASSERT_TRUE(tessaro.AnswerDialog(about, IDOK));
    ExpectAboutBoxClosed(tessaro);
  }
  EXPECT_TRUE(tessaro.EndWithOk());
}

TEST(SystemMenu, OtherCommandsKeepTheirUsualEffect) {
  TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Start());
  HWND main = tessaro.MainWindow();

  ASSERT_TRUE(::PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0));
  EXPECT_TRUE(support::WaitUntil([&] { return ::IsIconic(main) != FALSE; })) << "not minimised";
  ASSERT_TRUE(::PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0));
  EXPECT_TRUE(support::WaitUntil([&] { return ::IsIconic(main) == FALSE; })) << "not restored";

  EXPECT_TRUE(::IsWindowVisible(main));
  EXPECT_TRUE(tessaro.OpenDialogs().empty());
  EXPECT_TRUE(tessaro.EndWithOk());
}

}  // namespace

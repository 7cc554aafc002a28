// Setup's start-up and wizard: the administrator check, one setup at a time, the command line,
// the keys and the close box, the About box, the logo and the installation library.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "screenshot.h"
#include "setup_session.h"
#include "ui.h"
#include "wait.h"

namespace {

using setup_test::SetupSession;

constexpr int kInstall = 1002;
constexpr int kUninstall = 1003;
constexpr int kNext = 1006;
constexpr int kBack = 1007;
constexpr int kLogo = 1014;

// The menu the system tracks while the user chooses from it: a visible "#32768" window.
bool MenuOpen(const SetupSession& setup) {
  for (HWND window : setup.VisibleWindows()) {
    if (support::ClassNameOf(window) == "#32768") return true;
  }
  return false;
}

class Wizard : public testing::Test {
 protected:
  void SetUp() override {
    setup_test::RemoveInstallation();
    ASSERT_TRUE(setup_test::RestoreRig());
    setup_test::SetPrivilege(2);
  }
  void TearDown() override { setup_test::SetPrivilege(2); }

  // Nothing of an installation appeared.
  static void ExpectNothingInstalled() {
    EXPECT_FALSE(setup_test::FileExists(setup_test::InstallFolder()));
    EXPECT_FALSE(setup_test::FileExists(setup_test::ProgramGroupFolder()));
    EXPECT_TRUE(setup_test::LibraryCalls().empty());
  }
};

TEST_F(Wizard, ShowsItsControlsInTemplateOrderWithInstallSelected) {
  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  support::SaveScreenshot(support::ScreenshotPath("setup-wizard-install"));
  HWND wizard = setup.Wizard();
  EXPECT_EQ(support::WindowText(wizard), "Vantora");
  EXPECT_TRUE(::GetWindowLongW(wizard, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  struct Expected {
    int id;
    const char* text;
    bool visible;
    bool enabled;
  };
  const std::vector<Expected> expected = {
      {IDOK, "OK", false, true},          {IDCANCEL, "&Cancel", true, true},
      {kInstall, "&Install", true, true}, {kUninstall, "&Uninstall", true, true},
      {kNext, "&Next >", true, true},     {kBack, "< &Back", true, false},
      {kLogo, "", true, true},            {-1, "", true, true},
      {1012, "", true, true},             {1013, "", true, true},
  };
  const std::vector<HWND> children = support::ChildWindows(wizard);
  ASSERT_EQ(children.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].text);
    EXPECT_EQ(::GetDlgCtrlID(children[i]), expected[i].id);
    EXPECT_EQ(support::WindowText(children[i]), expected[i].text);
    EXPECT_EQ(::IsWindowVisible(children[i]) != FALSE, expected[i].visible);
    EXPECT_EQ(::IsWindowEnabled(children[i]) != FALSE, expected[i].enabled);
  }
  EXPECT_TRUE(setup.Checked(kInstall));
  EXPECT_FALSE(setup.Checked(kUninstall));
  EXPECT_EQ(setup.BarPosition(), 0);
  // The logo of the install set is shown.
  EXPECT_NE(::SendMessageW(setup.Control(kLogo), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  ASSERT_TRUE(support::ClickButton(setup.Control(IDCANCEL)));
  ASSERT_TRUE(setup.WaitForExit());
  ExpectNothingInstalled();
}

TEST_F(Wizard, CommandLineWordSelectsTheRun) {
  struct Case {
    const char* arguments;
    bool uninstall;
  };
  const Case cases[] = {
      {"", false},           {"uninstall", true},      {"UNINSTALL", true},
      {"/uninstall", false}, {"-uninstall", false},    {"other uninstall", false},
      {"-q Uninstall", true}, {"\"uninstall\"", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    SetupSession setup;
    ASSERT_TRUE(setup.Start(c.arguments));
    EXPECT_EQ(setup.Checked(kUninstall), c.uninstall);
    EXPECT_EQ(setup.Checked(kInstall), !c.uninstall);
    if (c.uninstall && std::string(c.arguments) == "uninstall") {
      support::SaveScreenshot(support::ScreenshotPath("setup-wizard-uninstall"));
    }
    ASSERT_TRUE(support::ClickButton(setup.Control(IDCANCEL)));
    ASSERT_TRUE(setup.WaitForExit());
  }
  ExpectNothingInstalled();
}

TEST_F(Wizard, SecondSetupEndsAtOnceAndSilently) {
  SetupSession first;
  ASSERT_TRUE(first.Start());
  for (const char* arguments : {"", "uninstall"}) {
    SCOPED_TRACE(arguments);
    SetupSession second;
    ASSERT_TRUE(second.Launch(arguments));
    std::vector<HWND> shown;
    EXPECT_TRUE(support::WaitUntil([&] {
      for (HWND window : second.VisibleWindows()) shown.push_back(window);
      return !second.Running();
    }));
    EXPECT_TRUE(shown.empty());
  }
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(first.OpenDialogs().empty());
  ASSERT_TRUE(support::ClickButton(first.Control(IDCANCEL)));
  ASSERT_TRUE(first.WaitForExit());
}

TEST_F(Wizard, EnterDoesNothingEscapeAndCloseBoxEndIt) {
  {
    SetupSession setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(support::BringToForeground(setup.Wizard()));
    ASSERT_TRUE(support::PressKeys({VK_RETURN}));
    // Input is handled in order: once Alt+U (Uninstall's mnemonic) has selected Uninstall,
    // Enter has been handled before it, and the wizard is still open.
    ASSERT_TRUE(support::PressKeys({VK_MENU, 'U'}));
    ASSERT_TRUE(support::WaitUntil([&] { return setup.Checked(kUninstall) || !setup.Running(); }));
    EXPECT_TRUE(setup.Running());
    EXPECT_TRUE(::IsWindowVisible(setup.Wizard()));
    EXPECT_TRUE(setup.MessageBoxes().empty());
    ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
    ASSERT_TRUE(setup.WaitForExit());
  }
  {
    SetupSession setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(::PostMessageW(setup.Wizard(), WM_SYSCOMMAND, SC_CLOSE, 0));
    ASSERT_TRUE(setup.WaitForExit());
  }
  ExpectNothingInstalled();
}

TEST_F(Wizard, AboutBoxFromTheSystemMenu) {
  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  ASSERT_TRUE(support::BringToForeground(setup.Wizard()));
  // Alt+Space opens the system menu; Up wraps round to its last entry, the one setup appended.
  ASSERT_TRUE(support::PressKeys({VK_MENU, VK_SPACE}));
  ASSERT_TRUE(support::WaitUntil([&] { return MenuOpen(setup); })) << "no system menu opened";
  support::SaveScreenshot(support::ScreenshotPath("setup-system-menu"));
  ASSERT_TRUE(support::PressKeys({VK_UP}));
  ASSERT_TRUE(support::PressKeys({VK_RETURN}));
  support::DialogSeen about;
  ASSERT_TRUE(setup.WaitForDialog(&about));
  support::SaveScreenshot(support::ScreenshotPath("setup-about-box"));
  EXPECT_EQ(about.caption, "About Setup");
  // The icon, then the version line.
  ASSERT_EQ(about.statics.size(), 2u);
  EXPECT_EQ(about.statics[1], "Setup Version 1.12.0010");
  EXPECT_EQ(::GetWindow(about.window, GW_OWNER), setup.Wizard());
  ASSERT_TRUE(setup.AnswerDialog(about, IDOK));
  EXPECT_TRUE(setup.Running());
  ASSERT_TRUE(support::ClickButton(setup.Control(IDCANCEL)));
  ASSERT_TRUE(setup.WaitForExit());
}

TEST_F(Wizard, MissingLogoLeavesThePictureBlank) {
  const std::string media = setup_test::CopyOfInstallSet("no-logo");
  ASSERT_TRUE(::DeleteFileA((media + "\\vantora_logo.bmp").c_str()));
  SetupSession setup;
  ASSERT_TRUE(setup.Start("", media));
  EXPECT_EQ(::SendMessageW(setup.Control(kLogo), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_TRUE(setup.OpenDialogs().empty());
  ASSERT_TRUE(support::ClickButton(setup.Control(IDCANCEL)));
  ASSERT_TRUE(setup.WaitForExit());
  setup_test::RemoveFolder(media);
}

TEST_F(Wizard, DoesNotStartWithoutTheInstallationLibrary) {
  const std::string media = setup_test::CopyOfInstallSet("no-library");
  ASSERT_TRUE(::DeleteFileA((media + "\\korvinst.dll").c_str()));
  SetupSession setup;
  ASSERT_TRUE(setup.Launch("", media));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_NE(setup.ExitCode(), 0u);
  setup_test::RemoveFolder(media);
  ExpectNothingInstalled();
}

// Users the account database does not make administrators.
TEST_F(Wizard, UserWhoIsNotAnAdministratorIsTurnedAway) {
  struct Case {
    const char* who;
    std::optional<DWORD> privilege;
  };
  const Case cases[] = {{"a guest", 0}, {"a user", 1}, {"nobody known", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.who);
    setup_test::SetPrivilege(c.privilege);
    SetupSession setup;
    ASSERT_TRUE(setup.Launch());
    support::DialogSeen box;
    ASSERT_TRUE(setup.WaitForMessageBox(&box));
    const setup_test::BoxSeen seen = setup_test::ReadBox(box.window);
    EXPECT_EQ(seen.caption, "Vantora");
    EXPECT_EQ(seen.text, "Log in as an administrator\nto set up Vantora USB");
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(seen.hasIcon);
    ASSERT_TRUE(setup.AnswerDialog(box));
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_TRUE(setup.VisibleWindows().empty());
  }
  ExpectNothingInstalled();
}

}  // namespace

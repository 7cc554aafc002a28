// The uninstallation run, started as the Uninstall shortcut starts it: the installed setup.exe
// with the argument "uninstall", from the install folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "driver_service.h"
#include "registry.h"
#include "screenshot.h"
#include "setup_session.h"
#include "ui.h"
#include "wait.h"

namespace {

using setup_test::SetupSession;
using Statuses = std::vector<std::pair<std::string, int>>;

constexpr char kCalibrate[] = "Calibrate your touchscreen on Tessaro\n after this setup";
const Statuses kUninstallStatuses = {{"Uninstall Driver ...", 25},
                                     {"Delete Registry ...", 50},
                                     {"Delete Shortcuts ...", 75},
                                     {"Delete Files ...", 100}};
const std::vector<std::string> kRemoveCalls = {"Remove 1 HID\\Vid_0d7a&Pid_3000 -> 0",
                                               "Remove 1 USB\\Vid_0d7a&Pid_3000 -> 1",
                                               "Remove 2 Vantora USB -> 0"};

class Uninstall : public testing::Test {
 protected:
  void SetUp() override {
    setup_test::RemoveInstallation();
    ASSERT_TRUE(setup_test::RestoreRig());
    setup_test::SetPrivilege(2);
  }
  void TearDown() override {
    setup_test::RemoveInstallation();
    setup_test::RestoreRig();
  }

  static void InstallFirst() {
    SetupSession setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.Next());
    ASSERT_TRUE(setup.ExpectBox("setup", kCalibrate));
    ASSERT_TRUE(setup.WaitForExit());
    ::DeleteFileA("C:\\korvinst-calls.log");
    // The utility has kept settings since.
    ASSERT_TRUE(support::WriteValue(HKEY_LOCAL_MACHINE, support::kSettingsKey, "CalType",
                                    REG_DWORD, {3, 0, 0, 0}));
  }

  // The installed setup.exe, with the shortcut's arguments, in the install folder.
  static testing::AssertionResult StartFromTheShortcut(SetupSession& setup) {
    return setup.Start("uninstall", setup_test::InstallFolder(), setup_test::InstallFolder());
  }
};

std::string Marked(const std::string& rest) { return std::string(";Vantora USB") + rest; }

TEST_F(Uninstall, RemovesDriverSettingsShortcutsFilesAndMarkedInfCopies) {
  InstallFirst();
  ASSERT_FALSE(HasFailure());
  const std::string inf = setup_test::InfFolder() + "\\";
  // Earlier installations left more marked copies; other packages' copies are decoys.
  ASSERT_TRUE(setup_test::WriteFileBytes(inf + "oem7.inf", Marked(" older\r\n")));
  ASSERT_TRUE(setup_test::WriteFileBytes(inf + "oem7.pnf", "pnf"));
  const std::vector<std::string> decoys = {";VANTORA USB\r\n", "\xEF\xBB\xBF;Vantora USB\r\n",
                                           " ;Vantora USB\r\n", ";Vantora"};
  for (std::size_t i = 0; i < decoys.size(); ++i) {
    ASSERT_TRUE(setup_test::WriteFileBytes(inf + "oem2" + std::to_string(i) + ".inf", decoys[i]));
    ASSERT_TRUE(setup_test::WriteFileBytes(inf + "oem2" + std::to_string(i) + ".pnf", "pnf"));
  }
  // A file of the user's own keeps the program group.
  ASSERT_TRUE(setup_test::WriteFileBytes(setup_test::ProgramGroupFolder() + "\\notes.txt", "x"));

  SetupSession setup;
  ASSERT_TRUE(StartFromTheShortcut(setup));
  EXPECT_TRUE(setup.Checked(1003));
  ASSERT_TRUE(setup.Next());
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_TRUE(setup.MessageBoxes().empty());
  Statuses expected = kUninstallStatuses;
  expected.emplace_back("Uninstallation is done", 100);
  const Statuses shown = setup.StatusesShown();
  // The finish sets the bar to where it already stands: the bar reports no change then.
  EXPECT_TRUE(shown == expected || shown == kUninstallStatuses) << testing::PrintToString(shown);
  EXPECT_EQ(setup_test::LibraryCalls(), kRemoveCalls);

  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
  EXPECT_FALSE(support::DriverRunning());
  EXPECT_FALSE(setup_test::FileExists(setup_test::SystemDriverFile()));
  for (const char* link : {"\\Tessaro.lnk", "\\Uninstall.lnk", "\\VantoraHelp.lnk"}) {
    EXPECT_FALSE(setup_test::FileExists(setup_test::ProgramGroupFolder() + link)) << link;
  }
  EXPECT_TRUE(setup_test::FileExists(setup_test::ProgramGroupFolder() + "\\notes.txt"));
  EXPECT_FALSE(setup_test::FileExists(setup_test::FolderOfKind(1) + "\\Tessaro-USB.lnk"));
  EXPECT_FALSE(setup_test::FileExists(setup_test::FolderOfKind(5) + "\\Kestrun-USB.lnk"));

  // Files in use by the running setup stay, with the install folder.
  std::vector<std::string> left;
  for (const std::string& file : setup_test::FileTable()) {
    if (setup_test::FileExists(setup_test::InstallFolder() + "\\" + file)) left.push_back(file);
  }
  EXPECT_EQ(left, (std::vector<std::string>{"setup.exe", "korvinst.dll"}));

  for (const char* gone : {"oem0.inf", "oem0.pnf", "oem7.inf", "oem7.pnf"}) {
    EXPECT_FALSE(setup_test::FileExists(inf + gone)) << gone;
  }
  for (std::size_t i = 0; i < decoys.size(); ++i) {
    const std::string name = inf + "oem2" + std::to_string(i);
    EXPECT_EQ(setup_test::ReadFileBytes(name + ".inf"), decoys[i]) << name;
    EXPECT_TRUE(setup_test::FileExists(name + ".pnf")) << name;
  }
}

TEST_F(Uninstall, MarkedInfWithoutItsPrecompiledFileShowsTheSystemText) {
  const std::string inf = setup_test::InfFolder() + "\\oem3.inf";
  ASSERT_TRUE(setup_test::WriteFileBytes(inf, Marked("\r\n")));
  char* text = nullptr;
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                       FORMAT_MESSAGE_ALLOCATE_BUFFER,
                   nullptr, ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  std::string missing = text;
  ::LocalFree(text);
  std::erase(missing, '\r');

  SetupSession setup;
  ASSERT_TRUE(setup.Start("uninstall"));
  ASSERT_TRUE(setup.Next());
  support::DialogSeen box;
  ASSERT_TRUE(setup.WaitForMessageBox(&box));
  support::SaveScreenshot(support::ScreenshotPath("setup-uninstall-deleting-files"));
  EXPECT_EQ(setup.BarPosition(), 100);
  EXPECT_EQ(setup.StatusText(), "Delete Files ...");
  std::erase(box.text, '\r');
  EXPECT_EQ(box.caption, "Vantora");
  EXPECT_EQ(box.text, missing);
  ASSERT_TRUE(setup.AnswerDialog(box));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_FALSE(setup_test::FileExists(inf));
}

TEST_F(Uninstall, WithNothingInstalledFinishesWithoutAMessage) {
  ASSERT_TRUE(setup_test::PlugController(false));
  SetupSession setup;
  ASSERT_TRUE(setup.Start("uninstall"));
  ASSERT_TRUE(setup.Next());
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_TRUE(setup.MessageBoxes().empty());
  const Statuses shown = setup.StatusesShown();
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(Statuses(shown.begin(), shown.begin() + 4), kUninstallStatuses);
  ASSERT_EQ(setup_test::LibraryCalls().size(), 3u);
}

// The settings key goes; the driver's own service key "VTusb" is never deleted by setup. (The
// installation library's removal of the service takes it away, so here the library finds no
// service to remove: the key is one the service manager does not know.)
TEST_F(Uninstall, DeletesTheSettingsKeyButNotTheDriverServiceKey) {
  ASSERT_TRUE(support::WriteValue(HKEY_LOCAL_MACHINE, support::kSettingsKey, "LTRB", REG_DWORD,
                                  {1, 0, 0, 0}));
  ASSERT_TRUE(setup_test::DeleteDriverService());
  const std::string serviceKey = "System\\CurrentControlSet\\Services\\VTusb";
  ASSERT_TRUE(support::WriteValue(HKEY_LOCAL_MACHINE, serviceKey, "Start", REG_DWORD,
                                  {3, 0, 0, 0}));
  SetupSession setup;
  ASSERT_TRUE(setup.Start("uninstall"));
  ASSERT_TRUE(setup.Next());
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
  EXPECT_TRUE(support::KeyExists(HKEY_LOCAL_MACHINE, serviceKey));
  EXPECT_EQ(setup_test::LibraryCalls().back(), "Remove 2 Vantora USB -> 1");
}

}  // namespace

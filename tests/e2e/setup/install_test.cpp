// The installation run: from the install set into Program Files, with shortcuts, the driver
// through the installation library and the double-click area; and its failures.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "driver_service.h"
#include "registry.h"
#include "screenshot.h"
#include "setup_session.h"
#include "tessaro_session.h"
#include "ui.h"
#include "wait.h"

namespace {

using setup_test::SetupSession;
using Statuses = std::vector<std::pair<std::string, int>>;

constexpr char kCalibrate[] = "Calibrate your touchscreen on Tessaro\n after this setup";
constexpr char kMouseKey[] = "Control Panel\\Mouse";

// The statuses of a full run: twelve copies, five shortcuts, the driver, each 5 further.
Statuses FullRunStatuses(bool withDriver) {
  Statuses statuses;
  int bar = 0;
  for (const std::string& file : setup_test::FileTable()) {
    statuses.emplace_back("Copy " + file + " ...", bar += 5);
  }
  for (const char* target :
       {"Tessaro.exe", "Tessaro.exe", "setup.exe", "Kestrun.exe", "VantoraHelp.chm"}) {
    statuses.emplace_back(std::string("Create Shortcut ") + target + " ...", bar += 5);
  }
  if (withDriver) statuses.emplace_back("Install Driver ...", bar += 5);
  statuses.emplace_back("Installation is done", 100);
  return statuses;
}

struct Link {
  std::string target, arguments, description, iconPath, workingDirectory;
  int iconIndex = -1;
};

// A shortcut read back through the shell's link object.
std::optional<Link> ReadLink(const std::string& path) {
  IShellLinkA* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
    return std::nullopt;
  }
  IPersistFile* file = nullptr;
  std::optional<Link> read;
  wchar_t wide[MAX_PATH] = {};
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(wide, STGM_READ))) {
    char text[MAX_PATH] = {};
    Link got;
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    got.target = text;
    text[0] = '\0';
    link->GetArguments(text, MAX_PATH);
    got.arguments = text;
    text[0] = '\0';
    link->GetDescription(text, MAX_PATH);
    got.description = text;
    text[0] = '\0';
    link->GetIconLocation(text, MAX_PATH, &got.iconIndex);
    got.iconPath = text;
    text[0] = '\0';
    link->GetWorkingDirectory(text, MAX_PATH);
    got.workingDirectory = text;
    read = got;
  }
  if (file != nullptr) file->Release();
  link->Release();
  return read;
}

class Install : public testing::Test {
 protected:
  void SetUp() override {
    ::CoInitialize(nullptr);
    setup_test::RemoveInstallation();
    ASSERT_TRUE(setup_test::RestoreRig());
    setup_test::SetPrivilege(2);
    // A double-click area that the run must change.
    support::WriteValue(HKEY_CURRENT_USER, kMouseKey, "DoubleClickWidth", REG_SZ, {'4', 0});
    support::WriteValue(HKEY_CURRENT_USER, kMouseKey, "DoubleClickHeight", REG_SZ, {'4', 0});
  }
  void TearDown() override {
    setup_test::RemoveInstallation();
    setup_test::RestoreRig();
    ::CoUninitialize();
  }

  // The user's double-click area comes back after the test, for the programs started later.
  support::ValueRestorer width_{HKEY_CURRENT_USER, kMouseKey, "DoubleClickWidth"};
  support::ValueRestorer height_{HKEY_CURRENT_USER, kMouseKey, "DoubleClickHeight"};

  // A full installation from the install set, answered as a user would; the bar at each box.
  static void RunInstall(SetupSession& setup, bool driverInstalledBefore) {
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.Next());
    if (driverInstalledBefore) {
      int bar = -1;
      ASSERT_TRUE(setup.ExpectBox("setup", "Driver is already installed!", IDOK, &bar));
      EXPECT_EQ(bar, 85);
    }
    int bar = -1;
    ASSERT_TRUE(setup.ExpectBox("setup", kCalibrate, IDOK, &bar));
    EXPECT_EQ(bar, driverInstalledBefore ? 85 : 90);
    ASSERT_TRUE(setup.WaitForExit());
  }
};

std::string RegistryText(HKEY root, const std::string& key, const std::string& name) {
  const std::optional<support::RegistryValue> value = support::ReadValue(root, key, name);
  return value ? std::string(value->bytes.begin(), value->bytes.end()).c_str() : "(none)";
}

TEST_F(Install, CopiesLinksInstallsTheDriverAndSetsTheDoubleClickArea) {
  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  ASSERT_TRUE(setup.Next());
  support::DialogSeen box;
  ASSERT_TRUE(setup.WaitForMessageBox(&box));
  support::SaveScreenshot(support::ScreenshotPath("setup-install-finishing"));
  const setup_test::BoxSeen calibrate = setup_test::ReadBox(box.window);
  EXPECT_EQ(calibrate.caption, "setup");
  EXPECT_EQ(calibrate.text, kCalibrate);
  EXPECT_EQ(calibrate.buttons, std::vector<int>{IDOK});
  EXPECT_TRUE(calibrate.hasIcon);
  EXPECT_EQ(::GetWindow(box.window, GW_OWNER), setup.Wizard());
  EXPECT_EQ(setup.BarPosition(), 90);
  EXPECT_EQ(setup.StatusText(), "Install Driver ...");
  ASSERT_TRUE(setup.AnswerDialog(box));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_EQ(setup.StatusesShown(), FullRunStatuses(true));

  // The twelve files, equal to the set's.
  for (const std::string& file : setup_test::FileTable()) {
    SCOPED_TRACE(file);
    const std::optional<std::string> installed =
        setup_test::ReadFileBytes(setup_test::InstallFolder() + "\\" + file);
    ASSERT_TRUE(installed.has_value());
    EXPECT_TRUE(installed == setup_test::ReadFileBytes(setup_test::InstallSetFolder() + "\\" + file));
  }
  // The five shortcuts.
  const std::string folder = setup_test::InstallFolder() + "\\";
  const std::string group = setup_test::ProgramGroupFolder() + "\\";
  struct Expected {
    std::string link, target, arguments;
  };
  const std::vector<Expected> links = {
      {setup_test::FolderOfKind(1) + "\\Tessaro-USB.lnk", folder + "Tessaro.exe", ""},
      {group + "Tessaro.lnk", folder + "Tessaro.exe", ""},
      {group + "Uninstall.lnk", folder + "setup.exe", "uninstall"},
      {setup_test::FolderOfKind(5) + "\\Kestrun-USB.lnk", folder + "Kestrun.exe", ""},
      {group + "VantoraHelp.lnk", folder + "VantoraHelp.chm", ""},
  };
  for (const Expected& expected : links) {
    SCOPED_TRACE(expected.link);
    const std::optional<Link> link = ReadLink(expected.link);
    ASSERT_TRUE(link.has_value());
    EXPECT_STRCASEEQ(link->target.c_str(), expected.target.c_str());
    EXPECT_EQ(link->arguments, expected.arguments);
    EXPECT_EQ(link->description, expected.link.substr(expected.link.rfind('\\') + 1));
    EXPECT_EQ(link->iconPath, "");
    EXPECT_EQ(link->iconIndex, 0);
    EXPECT_EQ(link->workingDirectory, "");
  }
  // The driver: the system's INF copy with its precompiled file, the service running.
  EXPECT_EQ(setup_test::LibraryCalls(),
            std::vector<std::string>{"Install " + setup_test::InstallSetFolder() +
                                     "\\VTUSB.inf -> 0"});
  EXPECT_EQ(setup_test::ReadFileBytes(setup_test::InfFolder() + "\\oem0.inf"),
            setup_test::ReadFileBytes(setup_test::InstallSetFolder() + "\\vtusb.inf"));
  EXPECT_TRUE(setup_test::FileExists(setup_test::InfFolder() + "\\oem0.pnf"));
  EXPECT_TRUE(support::DriverRunning());
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kMouseKey, "DoubleClickWidth"), "100");
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kMouseKey, "DoubleClickHeight"), "100");
}

// The installed utility, started as the program group's shortcut starts it (its target and
// arguments, no working directory of its own), shows the plugged controller and the contact text.
TEST_F(Install, InstalledUtilityStartsFromItsShortcutAndShowsTheController) {
  ASSERT_TRUE(setup_test::PlugController(true));
  {
    SetupSession setup;
    RunInstall(setup, false);
  }
  ASSERT_FALSE(HasFailure());
  const std::optional<Link> link = ReadLink(setup_test::ProgramGroupFolder() + "\\Tessaro.lnk");
  ASSERT_TRUE(link.has_value());
  ASSERT_EQ(link->workingDirectory, "");
  support::TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Launch(link->target, link->arguments));
  ASSERT_TRUE(tessaro.WaitForMainWindow());
  HWND info = tessaro.PageWindow(support::Page::kInfo);
  EXPECT_EQ(support::WindowText(::GetDlgItem(info, 1022)), "Controller Version: 1.20");
  EXPECT_EQ(support::WindowText(::GetDlgItem(info, 1052)),
            *setup_test::ReadFileBytes(setup_test::InstallFolder() + "\\tessaro_email.txt"));
  EXPECT_TRUE(tessaro.EndWithOk());
}

// An INF copy that the system holds open cannot be read, yet its number is taken: the driver's
// INF goes to the next number and the held copy stays as it was.
TEST_F(Install, DriverInfCopyPassesANumberWhoseFileCannotBeRead) {
  const std::string inf = setup_test::InfFolder() + "\\";
  ASSERT_TRUE(setup_test::WriteFileBytes(inf + "oem0.inf", "held"));
  HANDLE held = ::CreateFileA((inf + "oem0.inf").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    SetupSession setup;
    RunInstall(setup, false);
  }
  ::CloseHandle(held);
  EXPECT_EQ(setup_test::ReadFileBytes(inf + "oem0.inf"), std::string("held"));
  EXPECT_FALSE(setup_test::FileExists(inf + "oem0.pnf"));
  EXPECT_EQ(setup_test::ReadFileBytes(inf + "oem1.inf"),
            setup_test::ReadFileBytes(setup_test::InstallSetFolder() + "\\vtusb.inf"));
  EXPECT_TRUE(setup_test::FileExists(inf + "oem1.pnf"));
}

TEST_F(Install, SecondInstallationSkipsTheDriverAndOverwritesWhatItMay) {
  {
    SetupSession first;
    RunInstall(first, false);
  }
  ASSERT_FALSE(HasFailure());
  const std::string folder = setup_test::InstallFolder() + "\\";
  ASSERT_TRUE(setup_test::WriteFileBytes(folder + "tessaro_email.txt", "changed"));
  ASSERT_TRUE(setup_test::WriteFileBytes(folder + "vtusb.inf", "kept"));
  // A destination the system refuses to overwrite: held open without sharing. (Wine running as
  // root overwrites a read-only file, so that attribute does not serve here.)
  HANDLE locked = ::CreateFileA((folder + "vtusb.inf").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  ::DeleteFileA("C:\\korvinst-calls.log");

  SetupSession second;
  RunInstall(second, true);
  ::CloseHandle(locked);
  EXPECT_EQ(second.StatusesShown(), FullRunStatuses(false));
  EXPECT_TRUE(setup_test::LibraryCalls().empty()) << "the library's Install was called";
  EXPECT_EQ(setup_test::ReadFileBytes(folder + "tessaro_email.txt"),
            setup_test::ReadFileBytes(setup_test::InstallSetFolder() + "\\tessaro_email.txt"));
  EXPECT_EQ(setup_test::ReadFileBytes(folder + "vtusb.inf"), std::string("kept"));
}

TEST_F(Install, AbsentControllerIsAskedForAndCancelInstallsNothing) {
  ASSERT_TRUE(setup_test::PlugController(false));
  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  ASSERT_TRUE(setup.Next());
  for (int round = 0; round < 2; ++round) {
    support::DialogSeen box;
    ASSERT_TRUE(setup.WaitForMessageBox(&box));
    const setup_test::BoxSeen prompt = setup_test::ReadBox(box.window);
    EXPECT_EQ(prompt.caption, "setup");
    EXPECT_EQ(prompt.text, "Make sure you plugged in USB.");
    EXPECT_EQ(prompt.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_TRUE(prompt.hasIcon);
    // OK with the controller still absent asks again; then Cancel.
    ASSERT_TRUE(setup.AnswerDialog(box, round == 0 ? IDOK : IDCANCEL));
  }
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_FALSE(setup_test::FileExists(setup_test::InstallFolder()));
  EXPECT_FALSE(setup_test::FileExists(setup_test::ProgramGroupFolder()));
  EXPECT_TRUE(setup_test::LibraryCalls().empty());
}

TEST_F(Install, OkAfterPluggingTheControllerInGoesOn) {
  ASSERT_TRUE(setup_test::PlugController(false));
  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  ASSERT_TRUE(setup.Next());
  support::DialogSeen box;
  ASSERT_TRUE(setup.WaitForMessageBox(&box));
  ASSERT_TRUE(setup_test::PlugController(true));
  ASSERT_TRUE(setup.AnswerDialog(box, IDOK));
  ASSERT_TRUE(setup.ExpectBox("setup", kCalibrate));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_TRUE(setup_test::FileExists(setup_test::InstallFolder() + "\\Tessaro.exe"));
}

TEST_F(Install, LibraryFailureIsReportedAndTheRunGoesOn) {
  // Without its INF the library cannot install the driver package.
  const std::string media = setup_test::CopyOfInstallSet("no-inf");
  ASSERT_TRUE(::DeleteFileA((media + "\\vtusb.inf").c_str()));
  SetupSession setup;
  ASSERT_TRUE(setup.Start("", media));
  ASSERT_TRUE(setup.Next());
  int bar = -1;
  ASSERT_TRUE(setup.ExpectBox("Vantora", "Driver Install Failed!", IDOK, &bar));
  EXPECT_EQ(bar, 90);
  ASSERT_TRUE(setup.ExpectBox("setup", kCalibrate));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_EQ(setup.StatusesShown(), FullRunStatuses(true));
  EXPECT_EQ(setup_test::LibraryCalls(),
            std::vector<std::string>{"Install " + media + "\\VTUSB.inf -> 2"});
  EXPECT_FALSE(setup_test::FileExists(setup_test::InstallFolder() + "\\vtusb.inf"));
  EXPECT_TRUE(setup_test::FileExists(setup_test::InstallFolder() + "\\vtusb.sys"));
  setup_test::RemoveFolder(media);
}

TEST_F(Install, FailedFolderLookupMakesNothing) {
  support::ValueRestorer startup(
      HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      "Common Startup");
  ASSERT_TRUE(support::DeleteValue(
      HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      "Common Startup"));
  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  ASSERT_TRUE(setup.Next());
  ASSERT_TRUE(setup.ExpectBox("Vantora",
                              "cannot copy files.\n(cannot retrieve Program Files paths from "
                              "registry)"));
  ASSERT_TRUE(
      setup.ExpectBox("Vantora", "cannot create shortcuts\n(cannot retrieve paths from registry)"));
  ASSERT_TRUE(setup.ExpectBox("setup", kCalibrate));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_FALSE(setup_test::FileExists(setup_test::FolderOfKind(2) + "\\Vantora"));
  EXPECT_FALSE(setup_test::FileExists(setup_test::ProgramGroupFolder()));
  EXPECT_FALSE(setup_test::FileExists(setup_test::FolderOfKind(1) + "\\Tessaro-USB.lnk"));
}

// A Program Files folder so long that the install folder's paths do not fit 260 characters:
// those copies and links are skipped, silently, and the run ends as usual.
TEST_F(Install, PathsTooLongForTheBufferAreSkipped) {
  constexpr char kVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
  support::ValueRestorer programFiles(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir");
  const std::string longFolder = "C:\\" + std::string(240, 'p');
  std::vector<std::uint8_t> bytes(longFolder.begin(), longFolder.end());
  bytes.push_back(0);
  ASSERT_TRUE(support::WriteValue(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", REG_SZ,
                                  bytes));
  ASSERT_TRUE(::CreateDirectoryA(longFolder.c_str(), nullptr));

  SetupSession setup;
  ASSERT_TRUE(setup.Start());
  ASSERT_TRUE(setup.Next());
  ASSERT_TRUE(setup.ExpectBox("setup", kCalibrate));
  ASSERT_TRUE(setup.WaitForExit());
  EXPECT_EQ(setup.ExitCode(), 0u);
  EXPECT_EQ(setup.StatusesShown(), FullRunStatuses(true));
  // The install folder still fits, none of its files does: no file and no link went anywhere.
  EXPECT_TRUE(setup_test::FileExists(longFolder + "\\Vantora\\USB"));
  std::vector<std::string> inside;
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((longFolder + "\\Vantora\\USB\\*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    if (found.cFileName[0] != '.') inside.emplace_back(found.cFileName);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  EXPECT_TRUE(inside.empty()) << testing::PrintToString(inside);
  EXPECT_FALSE(setup_test::FileExists(setup_test::FolderOfKind(1) + "\\Tessaro-USB.lnk"));
  EXPECT_FALSE(setup_test::FileExists(setup_test::ProgramGroupFolder() + "\\Tessaro.lnk"));
  EXPECT_TRUE(setup_test::FileExists(setup_test::ProgramGroupFolder()));
  setup_test::RemoveFolder(longFolder);
}

}  // namespace

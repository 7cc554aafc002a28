// The Info page of the real Tessaro.exe: the controller's version from the simulated
// controller's hardware identifier, the driver's version from the driver double, and the
// contact text from the e-mail file, all read once at start-up.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display_checks.h"
#include "driver_double_client.h"
#include "driver_log.h"
#include "driver_service.h"
#include "registry.h"
#include "screenshot.h"
#include "tessaro_session.h"
#include "ui.h"

namespace {

using display_test::ControlText;
using display_test::HasVisibleStyle;
using display_test::PlugControllers;
using support::Page;

constexpr int kDriverVersionRow = 1023;
constexpr int kControllerVersionRow = 1022;
constexpr int kEmailBullet = 1051;
constexpr int kEmailRow = 1052;
constexpr int kDriverLabel = 1054;
constexpr int kNoId = 0xFFFF;

// Writes a file with exactly these bytes; an empty string makes an empty file.
bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      bytes.empty() ||
      (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
       written == bytes.size());
  ::CloseHandle(file);
  return ok;
}

std::string ProgramFilesFolder() {
  const auto value = support::ReadValue(
      HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  if (!value) return {};
  return std::string(value->bytes.begin(), value->bytes.end()).c_str();
}

class InfoPage : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(support::DriverRunning() || support::StartDriver());
    ASSERT_TRUE(SetDriverVersion(1, 0));
    const std::string programFiles = ProgramFilesFolder();
    ASSERT_FALSE(programFiles.empty());
    installFolder_ = programFiles + "\\Vantora\\USB";
    ::CreateDirectoryA((programFiles + "\\Vantora").c_str(), nullptr);
    ::CreateDirectoryA(installFolder_.c_str(), nullptr);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    workFolder_ = std::string(temp) + "tessaro-info-cwd";
    ::CreateDirectoryA(workFolder_.c_str(), nullptr);
    RemoveEmailFiles();
  }

  void TearDown() override {
    if (tessaro_->Running()) {
      EXPECT_TRUE(tessaro_->EndWithOk());
    }
    RemoveEmailFiles();
    EXPECT_TRUE(SetDriverVersion(1, 0));
    // The rig's own controller, for the tests that follow.
    EXPECT_TRUE(PlugControllers({"0120"}));
  }

  void RemoveEmailFiles() const {
    ::DeleteFileA(InstalledEmailFile().c_str());
    ::DeleteFileA(LocalEmailFile().c_str());
  }

  std::string InstalledEmailFile() const { return installFolder_ + "\\tessaro_email.txt"; }
  std::string LocalEmailFile() const { return workFolder_ + "\\tessaro_email.txt"; }

  // Starts the utility in the work folder, its current directory.
  testing::AssertionResult StartTessaro() {
    tessaro_ = std::make_unique<support::TessaroSession>();
    testing::AssertionResult launched =
        tessaro_->Launch(support::TessaroExePath(), "", workFolder_);
    if (!launched) return launched;
    return tessaro_->WaitForMainWindow();
  }

  // A fresh run: what the page shows at start, and the program ended again.
  std::string ControllerRowAtStart() {
    if (!StartTessaro()) return "(did not start)";
    std::string text = ControlText(Page(), kControllerVersionRow);
    EXPECT_TRUE(tessaro_->EndWithOk());
    return text;
  }

  HWND Page() const { return tessaro_->PageWindow(Page::kInfo); }

  std::unique_ptr<support::TessaroSession> tessaro_ = std::make_unique<support::TessaroSession>();
  std::string installFolder_;
  std::string workFolder_;
};

TEST_F(InfoPage, ShowsTheControllerRevisionInTemplateOrder) {
  ASSERT_TRUE(StartTessaro());
  ASSERT_TRUE(tessaro_->ClickTab(support::Page::kInfo));
  display_test::SaveScreenshotOf(Page(), "info-page");

  // The template's controls in order: id, and whether it is visible.
  const std::vector<std::pair<int, bool>> expected = {{kDriverVersionRow, false},
                                                      {kControllerVersionRow, true},
                                                      {kNoId, true},
                                                      {kNoId, false},
                                                      {kNoId, false},
                                                      {kEmailBullet, false},
                                                      {kNoId, false},
                                                      {kNoId, true},
                                                      {kEmailRow, true},
                                                      {kNoId, true},
                                                      {kNoId, true},
                                                      {kDriverLabel, true}};
  std::vector<std::pair<int, bool>> seen;
  for (HWND child : support::ChildWindows(Page())) {
    seen.emplace_back(::GetDlgCtrlID(child) & 0xFFFF, ::IsWindowVisible(child) != FALSE);
  }
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(ControlText(Page(), kControllerVersionRow), "Controller Version: 1.20");
  EXPECT_EQ(ControlText(Page(), kDriverLabel), "Driver Version : QXR-2K-1.01");
  EXPECT_TRUE(tessaro_->EndWithOk());

  ASSERT_TRUE(PlugControllers({"0105"}));
  EXPECT_EQ(ControllerRowAtStart(), "Controller Version: 1.05");
}

TEST_F(InfoPage, TheFirstEnumeratedControllerWins) {
  for (const std::vector<std::string>& revisions :
       {std::vector<std::string>{"0105", "0120"}, std::vector<std::string>{"0120", "0105"}}) {
    ASSERT_TRUE(PlugControllers(revisions));
    const std::optional<std::string> first = display_test::FirstEnumeratedRevision();
    ASSERT_TRUE(first.has_value());
    const std::string expected =
        *first == "0105" ? "Controller Version: 1.05" : "Controller Version: 1.20";
    EXPECT_EQ(ControllerRowAtStart(), expected) << "first enumerated: " << *first;
  }
}

TEST_F(InfoPage, WithoutAControllerTheRowKeepsItsTemplateText) {
  ASSERT_TRUE(PlugControllers({}));
  EXPECT_EQ(ControllerRowAtStart(), "Controller Version :  ");
}

TEST_F(InfoPage, TheDriverVersionGoesToTheHiddenRow) {
  ASSERT_TRUE(SetDriverVersion(2, 3));
  ASSERT_TRUE(ClearDriverLog());
  ASSERT_TRUE(StartTessaro());
  EXPECT_EQ(ControlText(Page(), kDriverVersionRow), "Driver Version: 2.03");
  EXPECT_FALSE(HasVisibleStyle(Page(), kDriverVersionRow));
  EXPECT_EQ(ControlText(Page(), kDriverLabel), "Driver Version : QXR-2K-1.01");
  EXPECT_TRUE(HasVisibleStyle(Page(), kDriverLabel));
  const std::vector<support::Sent> sent = support::TakeSent();
  ASSERT_EQ(sent.size(), 1U);
  EXPECT_EQ(sent[0].code, display_test::kGetVersion);
}

TEST_F(InfoPage, WithoutTheDriverItSaysSoBeforeTheMainWindowShows) {
  support::DriverAbsent absent;
  ASSERT_TRUE(absent.Stopped());
  ASSERT_TRUE(tessaro_->Launch(support::TessaroExePath(), "", workFolder_));
  support::DialogSeen box;
  ASSERT_TRUE(tessaro_->WaitForMessageBox(&box));
  EXPECT_EQ(box.text, "Driver not loaded!");
  // The box bears the program's name too; the main window is the one with the tabs.
  for (HWND window : tessaro_->VisibleWindows()) {
    EXPECT_EQ(::GetDlgItem(window, support::kTabControlId), nullptr)
        << "the main window shows already";
  }
  ASSERT_TRUE(tessaro_->AnswerDialog(box));
  ASSERT_TRUE(tessaro_->WaitForMainWindow());
  EXPECT_EQ(ControlText(Page(), kDriverVersionRow), "Driver Version :   ");
  EXPECT_EQ(ControlText(Page(), kControllerVersionRow), "Controller Version: 1.20");
  EXPECT_TRUE(tessaro_->EndWithOk());
}

TEST_F(InfoPage, ShowsTheContactTextOfTheInstalledFileFirst) {
  const std::string long300(300, 'x');
  struct Case {
    const char* name;
    const char* installed;  // null: no such file
    const char* local;
    std::string shown;
    bool bullet;
  };
  const std::string first256 = long300.substr(0, 256);
  const Case cases[] = {
      {"both", "support@vantora.example", "local@vantora.example", "support@vantora.example", true},
      {"local only", nullptr, "local@vantora.example", "local@vantora.example", true},
      {"300 bytes", long300.c_str(), nullptr, first256, true},
      {"empty", "", "local@vantora.example", "", false},
      {"none", nullptr, nullptr, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveEmailFiles();
    if (c.installed != nullptr) {
      ASSERT_TRUE(WriteFileBytes(InstalledEmailFile(), c.installed));
    }
    if (c.local != nullptr) {
      ASSERT_TRUE(WriteFileBytes(LocalEmailFile(), c.local));
    }
    ASSERT_TRUE(StartTessaro());
    EXPECT_EQ(ControlText(Page(), kEmailRow), c.shown);
    EXPECT_EQ(HasVisibleStyle(Page(), kEmailBullet), c.bullet);
    EXPECT_TRUE(tessaro_->EndWithOk());
  }
}

}  // namespace

// setup.exe driven from a test: the wizard, its status line and progress bar, the run as the
// program itself reported it, and the state of the prefix before and after an installation.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "program_session.h"

namespace setup_test {

// Windows paths of the prefix and the build, with no trailing backslash.
std::string InstallSetFolder();
std::string InstallFolder();       // C:\Program Files\Vantora\USB
std::string ProgramGroupFolder();  // ...\Start Menu\Programs\Vantora USB
std::string FolderOfKind(int kind);
std::string InfFolder();
std::string SystemDriverFile();

// The twelve files of the install set, in the order setup copies them.
const std::vector<std::string>& FileTable();

std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// A copy of the install set in a folder of its own, for runs that change it.
std::string CopyOfInstallSet(const std::string& name);
void RemoveFolder(const std::string& path);

// Calls of the installation library during the test, one line each ("Install PATH -> 0").
std::vector<std::string> LibraryCalls();

// The prefix as before any installation: no installed files, shortcuts, program group, marked
// INF copies, device count or settings key; the driver double running as service VTusb and the
// simulated controller plugged (an uninstallation removes both).
void RemoveInstallation();
testing::AssertionResult RestoreRig();
testing::AssertionResult PlugController(bool plugged);
// Stops the driver and deletes its service, as an administrator does with sc.exe.
testing::AssertionResult DeleteDriverService();
// The test user's privilege in the rig's account database (0 guest, 1 user, 2 administrator);
// nothing: the user is not in it.
void SetPrivilege(std::optional<DWORD> privilege);

// The wizard of one setup.exe.
class SetupSession : public support::ProgramSession {
 public:
  // Starts setup.exe of `folder` (default: the install set) with its current directory there
  // (or in `workingDirectory`), tracing its window texts and progress bar.
  testing::AssertionResult Launch(const std::string& arguments = "",
                                  const std::string& folder = InstallSetFolder(),
                                  const std::string& workingDirectory = "");
  // Waits until the wizard shows and the program waits for input.
  testing::AssertionResult WaitForWizard();
  testing::AssertionResult Start(const std::string& arguments = "",
                                 const std::string& folder = InstallSetFolder(),
                                 const std::string& workingDirectory = "");

  HWND Wizard() const { return wizard_; }
  HWND Control(int id) const { return ::GetDlgItem(wizard_, id); }
  bool Checked(int id) const;
  std::string StatusText() const;
  int BarPosition() const;
  // Clicks Next (BM_CLICK); the run starts.
  testing::AssertionResult Next();
  // Waits for the next message box, checks its caption and text, notes the bar position while
  // it is open and answers it with `button`.
  testing::AssertionResult ExpectBox(const std::string& caption, const std::string& text,
                                     int button = IDOK, int* barAtBox = nullptr);

  // Each status the run showed, with the bar position it brought, as the program's own window
  // and progress-bar traces report them, in order.
  std::vector<std::pair<std::string, int>> StatusesShown() const;

 protected:
  bool IsMainWindow(HWND window) const override;

 private:
  HWND wizard_ = nullptr;
};

// Everything of a message box at once: caption, text, buttons and whether it warns.
struct BoxSeen {
  std::string caption;
  std::string text;
  std::vector<int> buttons;
  bool hasIcon = false;  // setup shows no other icon than the warning one
};
BoxSeen ReadBox(HWND box);

}  // namespace setup_test

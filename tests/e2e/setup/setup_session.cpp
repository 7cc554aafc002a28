#include "setup_session.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "driver_service.h"
#include "message_boxes.h"
#include "registry.h"
#include "ui.h"
#include "wait.h"

namespace setup_test {
namespace {

constexpr int kNextId = 1006;
constexpr int kStatusId = 1013;
constexpr int kProgressId = 1012;
constexpr char kLibraryLog[] = "C:\\korvinst-calls.log";
constexpr char kAccountsKey[] = "Software\\Tessaro Rig\\Accounts";
constexpr char kAppOverrides[] = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";

std::string Windows(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string RegistryString(const std::string& subkey, const std::string& name) {
  const std::optional<support::RegistryValue> value =
      support::ReadValue(HKEY_LOCAL_MACHINE, subkey, name);
  if (!value) return "";
  return std::string(value->bytes.begin(), value->bytes.end()).c_str();
}

std::string UserName() {
  char name[260] = {};
  DWORD size = sizeof(name);
  ::GetUserNameA(name, &size);
  return name;
}

bool RunAndWait(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
    return false;
  }
  ::WaitForSingleObject(process.hProcess, support::kWaitMs);
  DWORD code = 1;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return code == 0;
}

// The rig lets the account database below answer for setup.exe, and makes the test's user an
// administrator there; every test may change that for itself.
class AccountDatabase : public testing::Environment {
 public:
  void SetUp() override {
    const std::string system32 = FolderOfKind(4) + "\\system32\\netapi32.dll";
    saved_ = ReadFileBytes(system32);
    ASSERT_TRUE(::CopyFileA(ACCOUNT_DATABASE_DLL, system32.c_str(), FALSE));
    ASSERT_TRUE(support::WriteValue(HKEY_CURRENT_USER, kAppOverrides, "netapi32", REG_SZ,
                                    {'n', 'a', 't', 'i', 'v', 'e', ',', 'b', 'u', 'i', 'l', 't',
                                     'i', 'n', 0}));
  }
  void TearDown() override {
    support::DeleteValue(HKEY_CURRENT_USER, kAppOverrides, "netapi32");
    if (saved_) WriteFileBytes(FolderOfKind(4) + "\\system32\\netapi32.dll", *saved_);
  }

 private:
  std::optional<std::string> saved_;
};
const testing::Environment* const g_accounts =
    testing::AddGlobalTestEnvironment(new AccountDatabase);

}  // namespace

std::string InstallSetFolder() { return Windows(INSTALL_SET_DIR); }

std::string FolderOfKind(int kind) {
  constexpr char kShell[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  switch (kind) {
    case 1:
      return RegistryString(kShell, "Common Desktop");
    case 2:
      return RegistryString("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    case 3:
      return RegistryString(kShell, "Common Programs");
    case 4:
      return RegistryString("Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
    default:
      return RegistryString(kShell, "Common Startup");
  }
}

std::string InstallFolder() { return FolderOfKind(2) + "\\Vantora\\USB"; }
std::string ProgramGroupFolder() { return FolderOfKind(3) + "\\Vantora USB"; }
std::string InfFolder() { return FolderOfKind(4) + "\\inf"; }
std::string SystemDriverFile() { return FolderOfKind(4) + "\\system32\\drivers\\vtusb.sys"; }

const std::vector<std::string>& FileTable() {
  static const std::vector<std::string> files = {
      "Tessaro.exe",  "mausvex.exe", "setup.exe",         "korvinst.dll",
      "korvinst.lib", "kestrun.exe", "tessaro_email.txt", "vantora_logo.bmp",
      "vtusb.sys",    "vtusb.inf",   "VantoraHelp.chm",   "DorrantHelp.chm"};
  return files;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFolder(const std::string& path) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(child);
      } else {
        ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(child.c_str());
      }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(path.c_str());
}

std::string CopyOfInstallSet(const std::string& name) {
  const std::string folder = "C:\\media-" + name;
  RemoveFolder(folder);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (const std::string& file : FileTable()) {
    ::CopyFileA((InstallSetFolder() + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
  }
  return folder;
}

std::vector<std::string> LibraryCalls() {
  std::vector<std::string> calls;
  std::ifstream log(kLibraryLog);
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    calls.push_back(line);
  }
  return calls;
}

testing::AssertionResult PlugController(bool plugged) {
  const std::string command =
      std::string("\"") + PLUG_CONTROLLER_EXE + "\" " + (plugged ? "plug" : "unplug");
  if (!RunAndWait(command)) return testing::AssertionFailure() << command << " failed";
  return testing::AssertionSuccess();
}

testing::AssertionResult DeleteDriverService() {
  if (support::DriverRunning()) {
    testing::AssertionResult stopped = support::StopDriver();
    if (!stopped) return stopped;
  }
  if (!RunAndWait("sc.exe delete VTusb")) return testing::AssertionFailure() << "sc delete failed";
  return testing::AssertionSuccess();
}

void RemoveInstallation() {
  RemoveFolder(FolderOfKind(2) + "\\Vantora");
  RemoveFolder(ProgramGroupFolder());
  ::DeleteFileA((FolderOfKind(1) + "\\Tessaro-USB.lnk").c_str());
  ::DeleteFileA((FolderOfKind(5) + "\\Kestrun-USB.lnk").c_str());
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((InfFolder() + "\\oem*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ::DeleteFileA((InfFolder() + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VTusb\\ENUM");
  support::DeleteSettingsKey();
  ::DeleteFileA(kLibraryLog);
}

// An uninstallation takes the service, the driver file and the controller away: they come
// back as the rig made them.
testing::AssertionResult RestoreRig() {
  if (!support::DriverRunning()) {
    ::CopyFileA(DRIVER_DOUBLE_SYS, SystemDriverFile().c_str(), FALSE);
    RunAndWait(
        "sc.exe create VTusb type= kernel start= demand binpath= "
        "C:\\windows\\system32\\drivers\\vtusb.sys");
    testing::AssertionResult started = support::StartDriver();
    if (!started) return started;
  }
  return PlugController(true);
}

void SetPrivilege(std::optional<DWORD> privilege) {
  if (!privilege) {
    support::DeleteValue(HKEY_LOCAL_MACHINE, kAccountsKey, UserName());
    return;
  }
  const DWORD value = *privilege;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
  support::WriteValue(HKEY_LOCAL_MACHINE, kAccountsKey, UserName(), REG_DWORD,
                      {bytes, bytes + sizeof(value)});
}

testing::AssertionResult SetupSession::Launch(const std::string& arguments,
                                              const std::string& folder,
                                              const std::string& workingDirectory) {
  char saved[256] = {};
  const DWORD length = ::GetEnvironmentVariableA("WINEDEBUG", saved, sizeof(saved));
  ::SetEnvironmentVariableA("WINEDEBUG", "+pid,trace+win,trace+progress");
  ::SetEnvironmentVariableA("KORVINST_LOG", kLibraryLog);
  testing::AssertionResult launched = ProgramSession::Launch(
      folder + "\\setup.exe", arguments, workingDirectory.empty() ? folder : workingDirectory);
  ::SetEnvironmentVariableA("WINEDEBUG", length > 0 && length < sizeof(saved) ? saved : nullptr);
  return launched;
}

bool SetupSession::IsMainWindow(HWND window) const {
  return support::ClassNameOf(window) == "#32770" && support::WindowText(window) == "Vantora" &&
         ::GetDlgItem(window, kNextId) != nullptr;
}

testing::AssertionResult SetupSession::WaitForWizard() {
  std::vector<support::DialogSeen> dialogs;
  support::WaitUntil([&] {
    for (HWND window : VisibleWindows()) {
      if (IsMainWindow(window)) wizard_ = window;
    }
    dialogs = OpenDialogs();
    return wizard_ != nullptr || !dialogs.empty() || !Running();
  });
  if (wizard_ == nullptr) {
    if (!dialogs.empty()) {
      return testing::AssertionFailure() << "setup showed \"" << dialogs.front().text
                                         << "\" instead of its wizard";
    }
    if (!Running()) return ProcessEndedEarly("its wizard");
    return testing::AssertionFailure() << "no wizard within " << support::kWaitMs << " ms";
  }
  if (::WaitForInputIdle(Process(), support::kWaitMs) != 0) {
    return testing::AssertionFailure() << "setup did not become idle";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult SetupSession::Start(const std::string& arguments,
                                             const std::string& folder,
                                             const std::string& workingDirectory) {
  testing::AssertionResult launched = Launch(arguments, folder, workingDirectory);
  if (!launched) return launched;
  return WaitForWizard();
}

bool SetupSession::Checked(int id) const {
  DWORD_PTR state = 0;
  ::SendMessageTimeoutW(Control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, support::kWaitMs,
                        &state);
  return state == BST_CHECKED;
}

std::string SetupSession::StatusText() const { return support::WindowText(Control(kStatusId)); }

int SetupSession::BarPosition() const {
  DWORD_PTR position = 0;
  if (!::SendMessageTimeoutW(Control(kProgressId), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG,
                             support::kWaitMs, &position)) {
    return -1;
  }
  return static_cast<int>(position);
}

testing::AssertionResult SetupSession::Next() {
  if (!support::ClickButton(Control(kNextId))) {
    return testing::AssertionFailure() << "Next could not be clicked";
  }
  return testing::AssertionSuccess();
}

BoxSeen ReadBox(HWND box) {
  BoxSeen seen;
  const support::DialogSeen dialog = support::ReadDialog(box);
  seen.caption = dialog.caption;
  seen.text = dialog.text;
  for (int id = 1; id <= 11; ++id) {
    if (::GetDlgItem(box, id) != nullptr) seen.buttons.push_back(id);
  }
  // The icon is a static of icon style that holds one; a box without an icon has it empty.
  for (HWND child : support::ChildWindows(box)) {
    if (support::ClassNameOf(child) == "Static" && ::IsWindowVisible(child) &&
        (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
      seen.hasIcon = true;
    }
  }
  return seen;
}

testing::AssertionResult SetupSession::ExpectBox(const std::string& caption,
                                                 const std::string& text, int button,
                                                 int* barAtBox) {
  support::DialogSeen box;
  testing::AssertionResult opened = WaitForMessageBox(&box);
  if (!opened) return opened << " (waiting for \"" << text << "\")";
  if (barAtBox != nullptr) *barAtBox = BarPosition();
  testing::AssertionResult answered = AnswerDialog(box, button);
  // Texts of the system end their lines with "\r\n"; the comparison is by lines.
  std::erase(box.text, '\r');
  if (box.caption != caption || box.text != text) {
    return testing::AssertionFailure() << "a message box \"" << box.caption << "\": \""
                                       << box.text << "\" opened instead of \"" << caption
                                       << "\": \"" << text << "\"";
  }
  return answered;
}

std::vector<std::pair<std::string, int>> SetupSession::StatusesShown() const {
  std::vector<std::pair<std::string, int>> shown;
  char log[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("TESSARO_STDERR_LOG", log, MAX_PATH)) return shown;
  char prefix[16];
  std::snprintf(prefix, sizeof(prefix), "%04lx:", static_cast<unsigned long>(ProcessId()));
  // A text set, then at once a new bar position: one status of the run.
  std::optional<std::string> text;
  std::ifstream trace(std::string("Z:") + log);
  for (std::string line; std::getline(trace, line);) {
    if (line.rfind(prefix, 0) != 0) continue;
    const std::size_t set = line.find("trace:win:set_window_text L\"");
    if (set != std::string::npos) {
      const std::size_t open = line.find('"', set) + 1;
      text = line.substr(open, line.rfind('"') - open);
      continue;
    }
    const std::size_t moved = line.find(": current pos changed from ");
    if (moved != std::string::npos && text) {
      shown.emplace_back(*text, std::atoi(line.c_str() + line.find(" to ", moved) + 4));
      text.reset();
    } else if (line.find("trace:win:") == std::string::npos &&
               line.find("trace:progress:ProgressWindowProc hwnd") == std::string::npos) {
      text.reset();
    }
  }
  return shown;
}

}  // namespace setup_test

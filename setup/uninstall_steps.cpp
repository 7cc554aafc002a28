#include "uninstall_steps.h"

#include <string>

#include "install_steps.h"
#include "korvinst.h"
#include "setup_message.h"

namespace {

// Clears the attributes first, so that a read-only file goes too.
bool DeleteAnyFile(const std::string& path) {
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::DeleteFileA(path.c_str()) != FALSE;
}

// Whether an INF copy is the driver's: its first bytes are the marker. The file is open only
// for this one read, and closed whatever the read gave.
bool IsDriverInfCopy(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char bytes[setup::kInfMarkerLength + 1] = {};
  DWORD read = 0;
  const BOOL ok = ::ReadFile(file, bytes, setup::kInfMarkerLength, &read, nullptr);
  ::CloseHandle(file);
  return ok && setup::BeginsWithInfMarker(bytes, read);
}

void DeleteInstalledFiles() {
  const std::optional<std::string> installFolder =
      setup::InstallFolderIn(LookUpFolder(setup::kFolderProgramFiles));
  if (!installFolder) return;
  for (const char* name : setup::kFileTable) {
    if (const std::optional<std::string> path = setup::JoinPath(installFolder, name)) {
      DeleteAnyFile(*path);
    }
  }
}

void DeleteDriverInfCopies() {
  const std::optional<std::string> infFolder =
      setup::AppendPath(LookUpFolder(setup::kFolderWindows), setup::kInfFolder);
  const std::optional<std::string> pattern = setup::AppendPath(infFolder, setup::kInfCopyPattern);
  if (!pattern) return;
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA(pattern->c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::optional<std::string> inf = setup::AppendPath(infFolder, found.cFileName);
    if (!inf || !IsDriverInfCopy(*inf)) continue;
    if (!DeleteAnyFile(*inf)) ShowLastError();
    const std::optional<std::string> pnf =
        setup::AppendPath(infFolder, setup::PrecompiledInfName(found.cFileName));
    if (!pnf || !DeleteAnyFile(*pnf)) ShowLastError();
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
}

void DeleteDriverFile() {
  const std::optional<std::string> path =
      setup::AppendPath(LookUpFolder(setup::kFolderWindows), setup::kDriverFile);
  if (path) DeleteAnyFile(*path);
}

}  // namespace

BOOL RemoveDriver() {
  ::Remove(1, "HID\\Vid_0d7a&Pid_3000");
  ::Remove(1, "USB\\Vid_0d7a&Pid_3000");
  ::Remove(2, "Vantora USB");
  return TRUE;
}

// Only the utility's settings key goes; the driver's own service key "VTusb" is never touched.
BOOL DeleteServiceKey() {
  HKEY services = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, setup::kServicesKey, 0, KEY_ALL_ACCESS, &services) ==
      ERROR_SUCCESS) {
    ::RegDeleteKeyA(services, setup::kSettingsSubkey);
    ::RegCloseKey(services);
  }
  return TRUE;
}

BOOL DeleteShortcuts() {
  const ComScope com;
  const auto folders = LookUpShortcutFolders(
      {setup::kFolderCommonDesktop, setup::kFolderCommonPrograms, setup::kFolderCommonStartup});
  if (!folders) return TRUE;
  const auto& [desktop, programs, startup] = *folders;
  const std::optional<std::string> group = setup::ProgramGroupIn(programs);
  for (const setup::Shortcut& shortcut : setup::kShortcutTable) {
    const std::optional<std::string>& folder = setup::LinkFolder(shortcut, desktop, group, startup);
    if (const std::optional<std::string> link = setup::JoinPath(folder, shortcut.linkFile)) {
      ::DeleteFileA(link->c_str());
    }
  }
  // Only an empty group goes.
  if (group) ::RemoveDirectoryA(group->c_str());
  return TRUE;
}

BOOL DeleteFiles() {
  DeleteInstalledFiles();
  DeleteDriverInfCopies();
  DeleteDriverFile();
  return TRUE;
}

// A code the system has no text for is shown by its number.
void ShowLastError() {
  const DWORD error = ::GetLastError();
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  if (length == 0 || text == nullptr) {
    const std::string fallback = "Error " + std::to_string(error);
    ShowSetupMessage(fallback.c_str());
  } else {
    ShowSetupMessage(text);
  }
  if (text != nullptr) ::LocalFree(text);
}

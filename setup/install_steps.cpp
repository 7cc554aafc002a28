#include "install_steps.h"

#include <shlobj.h>

#include <cstdio>

#include "SetupDlg.h"
#include "framework/App.h"
#include "korvinst.h"
#include "setup_message.h"

namespace {

// The steps report to the wizard, the application's main window.
void Status(const std::string& text) {
  static_cast<CSetupDlg*>(fw::AfxGetApp()->m_pMainWnd)->SetStatus(text.c_str(), false);
}

// `format` with `text` in place of its one %s; the texts of the steps are short, and one that
// did not fit a path buffer would be cut short rather than overrun it.
std::string Formatted(const char* format, const char* text) {
  char buffer[setup::kPathCapacity] = {};
  std::snprintf(buffer, sizeof(buffer), format, text);
  return buffer;
}

}  // namespace

std::optional<std::string> LookUpFolder(setup::FolderKind kind) {
  char buffer[setup::kPathCapacity] = {};
  if (!::RegGetPath(buffer, kind)) return std::nullopt;
  buffer[setup::kPathCapacity - 1] = '\0';
  return std::string(buffer);
}

// The Startup folder is looked up only as a precondition.
BOOL CopyFiles() {
  std::optional<std::string> programFiles = LookUpFolder(setup::kFolderProgramFiles);
  if (!programFiles || !LookUpFolder(setup::kFolderCommonStartup)) {
    ShowSetupMessage("cannot copy files.\n(cannot retrieve Program Files paths from registry)");
    return TRUE;
  }
  const std::optional<std::string> vantora = setup::VantoraFolderIn(programFiles);
  if (vantora) ::CreateDirectoryA(vantora->c_str(), nullptr);
  const std::optional<std::string> installFolder = setup::AppendPath(vantora, setup::kUsbFolder);
  if (installFolder) ::CreateDirectoryA(installFolder->c_str(), nullptr);

  for (const char* name : setup::kFileTable) {
    Status(Formatted("Copy %s ...", name));
    const std::optional<std::string> destination = setup::JoinPath(installFolder, name);
    if (destination) ::CopyFileA(Formatted(".\\%s", name).c_str(), destination->c_str(), FALSE);
  }
  return TRUE;
}

BOOL CreateShortcuts() {
  const ComScope com;
  const auto folders =
      LookUpShortcutFolders({setup::kFolderCommonDesktop, setup::kFolderProgramFiles,
                             setup::kFolderCommonPrograms, setup::kFolderCommonStartup});
  if (!folders) return TRUE;
  const auto& [desktop, programFiles, programs, startup] = *folders;
  const std::optional<std::string> installFolder = setup::InstallFolderIn(programFiles);
  const std::optional<std::string> group = setup::ProgramGroupIn(programs);
  if (group) ::CreateDirectoryA(group->c_str(), nullptr);

  for (const setup::Shortcut& shortcut : setup::kShortcutTable) {
    Status(Formatted("Create Shortcut %s ...", shortcut.targetFile));
    const std::optional<std::string>& folder = setup::LinkFolder(shortcut, desktop, group, startup);
    const std::optional<std::string> link = setup::JoinPath(folder, shortcut.linkFile);
    const std::optional<std::string> target = setup::JoinPath(installFolder, shortcut.targetFile);
    if (link && target) {
      CreateLink(target->c_str(), shortcut.arguments, link->c_str(), shortcut.linkFile, "", 0);
    }
  }
  return TRUE;
}

HRESULT CreateLink(const char* targetPath, const char* arguments, const char* linkPath,
                   const char* description, const char* iconPath, int iconIndex) {
  IShellLinkA* link = nullptr;
  HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
  if (FAILED(result)) return result;
  link->SetPath(targetPath);
  link->SetDescription(description);
  link->SetArguments(arguments);
  link->SetIconLocation(iconPath, iconIndex);

  IPersistFile* file = nullptr;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(result)) {
    wchar_t widePath[setup::kPathCapacity] = {};
    ::MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, setup::kPathCapacity);
    result = file->Save(widePath, TRUE);
    file->Release();
  }
  link->Release();
  return result;
}

// The driver's service counts the devices it serves.
bool IsDriverInstalled() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, setup::kDriverEnumKey, 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD count = 0;
  DWORD size = sizeof(count);
  const bool counted =
      ::RegQueryValueExA(key, "Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size) ==
          ERROR_SUCCESS &&
      count != 0;
  ::RegCloseKey(key);
  return counted;
}

// A current directory too long for the INF's path is a failed installation too.
bool InstallDriver() {
  Status("Install Driver ...");
  char directory[setup::kPathCapacity] = {};
  const DWORD length = ::GetCurrentDirectoryA(setup::kPathCapacity, directory);
  std::optional<std::string> inf;
  if (length > 0 && length < setup::kPathCapacity) {
    inf = setup::AppendPath(std::string(directory), setup::kInfFile);
  }
  if (!inf || ::Install(inf->c_str()) == 2) {
    ShowSetupMessage("Driver Install Failed!");
    return false;
  }
  return true;
}

BOOL SetDoubleClickArea() {
  ::SystemParametersInfoA(SPI_SETDOUBLECLKWIDTH, 100, nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  ::SystemParametersInfoA(SPI_SETDOUBLECLKHEIGHT, 100, nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  return TRUE;
}

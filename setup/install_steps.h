// The steps of the installation run, in the order the run calls them, and the folder lookups
// that the uninstallation shares.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "install_layout.h"
#include "setup_message.h"

// The folder of a kind, from the installation library; nothing when the lookup fails.
std::optional<std::string> LookUpFolder(setup::FolderKind kind);

// The folders of `kinds`, looked up in that order, for the shortcut steps; when one lookup
// fails, the user is told that shortcuts cannot be made and there are none.
template <std::size_t N>
std::optional<std::array<std::optional<std::string>, N>> LookUpShortcutFolders(
    const setup::FolderKind (&kinds)[N]) {
  std::array<std::optional<std::string>, N> folders;
  for (std::size_t i = 0; i < N; ++i) {
    folders[i] = LookUpFolder(kinds[i]);
    if (!folders[i]) {
      ShowSetupMessage("cannot create shortcuts\n(cannot retrieve paths from registry)");
      return std::nullopt;
    }
  }
  return folders;
}

// COM for the calling thread while the object lives; uninitialised at its end in any case.
class ComScope {
 public:
  ComScope() { ::CoInitialize(nullptr); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() { ::CoUninitialize(); }
};

BOOL CopyFiles();
BOOL CreateShortcuts();
HRESULT CreateLink(const char* targetPath, const char* arguments, const char* linkPath,
                   const char* description, const char* iconPath, int iconIndex);
bool IsDriverInstalled();
bool InstallDriver();
BOOL SetDoubleClickArea();

// The steps of the installation run, in the order the run calls them, and the folder lookups
// that the uninstallation shares.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "install_layout.h"

// The folder of a kind, from the installation library; nothing when the lookup fails.
std::optional<std::string> LookUpFolder(setup::FolderKind kind);
// The Program Files folder followed by "\Vantora\USB".
std::optional<std::string> InstallFolderIn(const std::optional<std::string>& programFiles);
// The "Vantora USB" folder inside the Programs folder.
std::optional<std::string> ProgramGroupIn(const std::optional<std::string>& programs);
// Where a shortcut's link goes: the desktop, the program group or the Startup folder.
const std::optional<std::string>& LinkFolder(const setup::Shortcut& shortcut,
                                             const std::optional<std::string>& desktop,
                                             const std::optional<std::string>& group,
                                             const std::optional<std::string>& startup);

BOOL CopyFiles();
BOOL CreateShortcuts();
HRESULT CreateLink(const char* targetPath, const char* arguments, const char* linkPath,
                   const char* description, const char* iconPath, int iconIndex);
bool IsDriverInstalled();
bool InstallDriver();
BOOL SetDoubleClickArea();

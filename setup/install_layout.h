// What setup installs and where: the file table, the shortcut table, the folder kinds, the
// driver package's names, and the small rules on paths, INF copies and the command line.
// Portable: no Windows header, so it builds and is tested natively too.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// Folder kinds of the installation library's RegGetPath.
enum FolderKind : int {
  kFolderCommonDesktop = 1,
  kFolderProgramFiles = 2,
  kFolderCommonPrograms = 3,
  kFolderWindows = 4,
  kFolderCommonStartup = 5,
};

// Every path buffer of the system holds 260 characters, the terminator included.
constexpr std::size_t kPathCapacity = 260;

// The install folder "\Vantora\USB" below Program Files, and the program group below Programs.
constexpr char kVantoraFolder[] = "\\Vantora";
constexpr char kUsbFolder[] = "\\USB";
constexpr char kProgramGroup[] = "Vantora USB";

// Source (in the current directory) and destination (in the install folder) have one name.
constexpr const char* kFileTable[] = {
    "Tessaro.exe",  "mausvex.exe", "setup.exe",         "korvinst.dll",
    "korvinst.lib", "kestrun.exe", "tessaro_email.txt", "vantora_logo.bmp",
    "vtusb.sys",    "vtusb.inf",   "VantoraHelp.chm",   "DorrantHelp.chm",
};
constexpr std::size_t kFileCount = sizeof(kFileTable) / sizeof(kFileTable[0]);
static_assert(kFileCount == 12);

// A link in the desktop (kind 1), the program group (kind 3) or Startup (kind 5), to a target
// in the install folder.
struct Shortcut {
  const char* linkFile;
  FolderKind linkFolder;
  const char* targetFile;
  const char* arguments;
};
constexpr Shortcut kShortcutTable[] = {
    {"Tessaro-USB.lnk", kFolderCommonDesktop, "Tessaro.exe", ""},
    {"Tessaro.lnk", kFolderCommonPrograms, "Tessaro.exe", ""},
    {"Uninstall.lnk", kFolderCommonPrograms, "setup.exe", "uninstall"},
    {"Kestrun-USB.lnk", kFolderCommonStartup, "Kestrun.exe", ""},
    {"VantoraHelp.lnk", kFolderCommonPrograms, "VantoraHelp.chm", ""},
};
constexpr std::size_t kShortcutCount = sizeof(kShortcutTable) / sizeof(kShortcutTable[0]);
static_assert(kShortcutCount == 5);

// The driver package: the INF as setup names it in the current directory, the text every copy
// of it begins with, the service's device count, and the driver file below the Windows folder.
constexpr char kInfFile[] = "\\VTUSB.inf";
constexpr char kInfMarker[] = ";Vantora USB";
constexpr std::size_t kInfMarkerLength = sizeof(kInfMarker) - 1;
constexpr char kDriverEnumKey[] = "System\\CurrentControlSet\\Services\\VTusb\\ENUM";
constexpr char kServicesKey[] = "System\\CurrentControlSet\\Services";
constexpr char kSettingsSubkey[] = "VantoraUSB";
constexpr char kInfCopyPattern[] = "oem*.inf";
constexpr char kInfFolder[] = "\\inf\\";
constexpr char kDriverFile[] = "\\system32\\drivers\\vtusb.sys";

// `folder`, a backslash and `name`, when the whole path with its terminator fits a path buffer;
// nothing otherwise (and nothing for a missing folder), so that no path is ever cut short.
std::optional<std::string> JoinPath(const std::optional<std::string>& folder,
                                    std::string_view name);
// `path` followed by `piece` as it stands, under the same rule.
std::optional<std::string> AppendPath(const std::optional<std::string>& path,
                                      std::string_view piece);

// The Vantora folder below Program Files, and the install folder below it.
std::optional<std::string> VantoraFolderIn(const std::optional<std::string>& programFiles);
std::optional<std::string> InstallFolderIn(const std::optional<std::string>& programFiles);
// The "Vantora USB" folder inside the Programs folder.
std::optional<std::string> ProgramGroupIn(const std::optional<std::string>& programs);
// Where a shortcut's link goes: the desktop, the program group or the Startup folder.
const std::optional<std::string>& LinkFolder(const Shortcut& shortcut,
                                             const std::optional<std::string>& desktop,
                                             const std::optional<std::string>& group,
                                             const std::optional<std::string>& startup);

// The precompiled file of an INF copy: the name with everything from its first "." replaced by
// ".pnf" ("oem12.inf" gives "oem12.pnf"); a name without a dot gets ".pnf" appended.
std::string PrecompiledInfName(std::string_view infName);

// Whether the first bytes read from a file are exactly the INF marker, letter case included.
// `count` is the number of bytes the read delivered.
bool BeginsWithInfMarker(const char* bytes, std::size_t count);

// The command-line rule: the first argument that is not a flag (a flag begins with "-" or "/"),
// in lower case, equal to "uninstall" selects uninstallation. `argv[0]` is the program itself.
bool CommandLineSelectsUninstall(int argc, const char* const* argv);

}  // namespace setup

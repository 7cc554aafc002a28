#include "install_layout.h"

#include <cctype>
#include <cstring>

namespace setup {

std::optional<std::string> JoinPath(const std::optional<std::string>& folder,
                                    std::string_view name) {
  if (!folder) {
    return std::nullopt;
  }
  // The folder, the backslash, the name and the terminator.
  if (folder->size() + 1 + name.size() + 1 > kPathCapacity) {
    return std::nullopt;
  }
  std::string path = *folder;
  path += '\\';
  path += name;
  return path;
}

std::optional<std::string> VantoraFolderIn(const std::optional<std::string>& programFiles) {
  return JoinPath(programFiles, kInstallFolderParts[0]);
}

std::optional<std::string> InstallFolderIn(const std::optional<std::string>& programFiles) {
  return JoinPath(VantoraFolderIn(programFiles), kInstallFolderParts[1]);
}

std::optional<std::string> ProgramGroupIn(const std::optional<std::string>& programs) {
  return JoinPath(programs, kProgramGroup);
}

const std::optional<std::string>& LinkFolder(const Shortcut& shortcut,
                                             const std::optional<std::string>& desktop,
                                             const std::optional<std::string>& group,
                                             const std::optional<std::string>& startup) {
  switch (shortcut.linkFolder) {
    case kFolderCommonDesktop:
      return desktop;
    case kFolderCommonStartup:
      return startup;
    default:
      return group;
  }
}

std::string PrecompiledInfName(std::string_view infName) {
  const std::size_t dot = infName.find('.');
  std::string name(infName.substr(0, dot));
  name += ".pnf";
  return name;
}

bool BeginsWithInfMarker(const char* bytes, std::size_t count) {
  return count >= kInfMarkerLength && std::memcmp(bytes, kInfMarker, kInfMarkerLength) == 0;
}

bool CommandLineSelectsUninstall(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!argument.empty() && (argument.front() == '-' || argument.front() == '/')) {
      continue;
    }
    std::string word;
    for (const char c : argument) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word == "uninstall";
  }
  return false;
}

}  // namespace setup

#include "install_layout.h"

#include <cctype>
#include <cstring>

namespace setup {

std::optional<std::string> JoinPath(const std::optional<std::string>& folder,
                                    std::string_view name) {
  return AppendPath(AppendPath(folder, "\\"), name);
}

std::optional<std::string> AppendPath(const std::optional<std::string>& path,
                                      std::string_view piece) {
  // The path, the piece and the terminator.
  if (!path || path->size() + piece.size() + 1 > kPathCapacity) {
    return std::nullopt;
  }
  std::string longer = *path;
  longer += piece;
  return longer;
}

std::optional<std::string> VantoraFolderIn(const std::optional<std::string>& programFiles) {
  return AppendPath(programFiles, kVantoraFolder);
}

std::optional<std::string> InstallFolderIn(const std::optional<std::string>& programFiles) {
  return AppendPath(VantoraFolderIn(programFiles), kUsbFolder);
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

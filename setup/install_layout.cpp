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

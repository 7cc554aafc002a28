// The programs' own resources read back from their files: the execution level each manifest
// asks for, and setup's version.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace {

// The manifest (resource 1 of type 24) of a program file, as text.
std::optional<std::string> Manifest(const char* program) {
  HMODULE module = ::LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return std::nullopt;
  std::optional<std::string> text;
  if (HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    if (HGLOBAL loaded = ::LoadResource(module, found)) {
      text = std::string(static_cast<const char*>(::LockResource(loaded)),
                         ::SizeofResource(module, found));
    }
  }
  ::FreeLibrary(module);
  return text;
}

// The level attribute of the manifest's one requestedExecutionLevel element.
std::string ExecutionLevel(const std::string& manifest) {
  const std::size_t element = manifest.find("<requestedExecutionLevel");
  if (element == std::string::npos || manifest.find("<requestedExecutionLevel", element + 1) !=
                                          std::string::npos) {
    return "(not one element)";
  }
  const std::size_t end = manifest.find('>', element);
  const std::size_t level = manifest.find(" level=\"", element);
  if (level == std::string::npos || level > end) return "(no level)";
  const std::size_t value = level + 8;
  return manifest.substr(value, manifest.find('"', value) - value);
}

TEST(ProgramResources, BothProgramsAskForTheHighestAvailableLevel) {
  for (const char* program : {TESSARO_PROGRAM, SETUP_PROGRAM}) {
    SCOPED_TRACE(program);
    const std::optional<std::string> manifest = Manifest(program);
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(ExecutionLevel(*manifest), "highestAvailable");
    EXPECT_NE(manifest->find("uiAccess=\"false\""), std::string::npos);
  }
}

TEST(ProgramResources, SetupIsVersion1_12_10_0) {
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(SETUP_PROGRAM, &handle);
  ASSERT_GT(size, 0u);
  std::string data(size, '\0');
  ASSERT_TRUE(::GetFileVersionInfoA(SETUP_PROGRAM, 0, size, data.data()));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length));
  EXPECT_EQ(info->dwFileVersionMS, (1u << 16) | 12u);
  EXPECT_EQ(info->dwFileVersionLS, 10u << 16);
}

}  // namespace

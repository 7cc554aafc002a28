#include "install_layout.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(JoinPath, AddsABackslashAndTheName) {
  EXPECT_EQ(setup::JoinPath(std::string("C:\\Program Files"), "Vantora"),
            std::optional<std::string>("C:\\Program Files\\Vantora"));
  EXPECT_EQ(setup::JoinPath(std::nullopt, "Vantora"), std::nullopt);
}

// The whole path with its terminator must fit 260 characters; one more is refused.
TEST(JoinPath, NeverMakesAPathLongerThanTheBuffer) {
  const std::string name = "Tessaro.exe";
  const std::string fits(setup::kPathCapacity - 1 - 1 - name.size(), 'a');
  ASSERT_TRUE(setup::JoinPath(fits, name).has_value());
  EXPECT_EQ(setup::JoinPath(fits, name)->size(), setup::kPathCapacity - 1);
  EXPECT_EQ(setup::JoinPath(fits + "a", name), std::nullopt);
  EXPECT_EQ(setup::JoinPath(std::string(400, 'a'), name), std::nullopt);
}

// A piece goes on as it stands, its own backslashes included, under the same 260 rule.
TEST(AppendPath, AddsThePieceAsItStands) {
  EXPECT_EQ(setup::AppendPath(std::string("C:\\Windows"), setup::kInfFolder),
            std::optional<std::string>("C:\\Windows\\inf\\"));
  EXPECT_EQ(setup::AppendPath(std::string("C:\\Windows"), setup::kDriverFile),
            std::optional<std::string>("C:\\Windows\\system32\\drivers\\vtusb.sys"));
  EXPECT_EQ(setup::AppendPath(std::nullopt, setup::kInfFile), std::nullopt);
  const std::string fits(setup::kPathCapacity - 1 - std::strlen(setup::kInfFile), 'a');
  EXPECT_EQ(setup::AppendPath(fits, setup::kInfFile)->size(), setup::kPathCapacity - 1);
  EXPECT_EQ(setup::AppendPath(fits + "a", setup::kInfFile), std::nullopt);
}

TEST(PrecompiledInfName, ReplacesEverythingFromTheFirstDot) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"oem12.inf", "oem12.pnf"}, {"oem3.INF", "oem3.pnf"}, {"oem1.inf.old", "oem1.pnf"},
      {"oem5", "oem5.pnf"},       {".inf", ".pnf"},
  };
  for (const auto& [inf, pnf] : cases) {
    EXPECT_EQ(setup::PrecompiledInfName(inf), pnf) << inf;
  }
}

TEST(BeginsWithInfMarker, OnlyTheExactMarkerAtTheStart) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {";Vantora USB", true},
      {";Vantora USB touch driver\r\n", true},
      {";VANTORA USB", false},
      {";vantora usb", false},
      {"\xEF\xBB\xBF;Vantora USB", false},
      {" ;Vantora USB", false},
      {";Vantora US", false},
      {"", false},
  };
  for (const auto& [bytes, marked] : cases) {
    EXPECT_EQ(setup::BeginsWithInfMarker(bytes.data(), bytes.size()), marked) << bytes;
  }
  // Only the bytes the read delivered count, whatever the buffer holds after them.
  const char buffer[] = ";Vantora USB";
  EXPECT_FALSE(setup::BeginsWithInfMarker(buffer, 11));
}

TEST(CommandLineSelectsUninstall, FirstWordThatIsNotAFlag) {
  struct Case {
    std::vector<const char*> arguments;
    bool uninstall;
  };
  const std::vector<Case> cases = {
      {{}, false},
      {{"uninstall"}, true},
      {{"UNINSTALL"}, true},
      {{"UnInstall"}, true},
      {{"/uninstall"}, false},
      {{"-uninstall"}, false},
      {{"other", "uninstall"}, false},
      {{"/q", "-x", "uninstall"}, true},
      {{"uninstall.exe"}, false},
      {{""}, false},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv = {"setup.exe"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_EQ(setup::CommandLineSelectsUninstall(static_cast<int>(argv.size()), argv.data()),
              c.uninstall)
        << testing::PrintToString(c.arguments);
  }
}

// The install folder is "\Vantora\USB" below Program Files, the group "Vantora USB" below
// Programs; a missing folder gives none.
TEST(InstallFolders, LieBelowTheFoldersTheyAreBuiltFrom) {
  EXPECT_EQ(setup::VantoraFolderIn(std::string("C:\\PF")),
            std::optional<std::string>("C:\\PF\\Vantora"));
  EXPECT_EQ(setup::InstallFolderIn(std::string("C:\\PF")),
            std::optional<std::string>("C:\\PF\\Vantora\\USB"));
  EXPECT_EQ(setup::ProgramGroupIn(std::string("C:\\Programs")),
            std::optional<std::string>("C:\\Programs\\Vantora USB"));
  EXPECT_EQ(setup::InstallFolderIn(std::nullopt), std::nullopt);
  EXPECT_EQ(setup::ProgramGroupIn(std::nullopt), std::nullopt);
  // "\Vantora\USB" and the terminator must fit too.
  EXPECT_EQ(setup::InstallFolderIn(std::string(setup::kPathCapacity - 12, 'a')), std::nullopt);
  EXPECT_TRUE(setup::InstallFolderIn(std::string(setup::kPathCapacity - 13, 'a')).has_value());
}

// Desktop links go to the desktop, Startup links to Startup, the rest to the program group.
TEST(LinkFolder, FollowsTheShortcutsFolderKind) {
  const std::optional<std::string> desktop("D");
  const std::optional<std::string> group("G");
  const std::optional<std::string> startup("S");
  const char* const expected[] = {"D", "G", "G", "S", "G"};
  static_assert(std::size(expected) == setup::kShortcutCount);
  for (std::size_t i = 0; i < setup::kShortcutCount; ++i) {
    EXPECT_EQ(setup::LinkFolder(setup::kShortcutTable[i], desktop, group, startup),
              std::optional<std::string>(expected[i]))
        << setup::kShortcutTable[i].linkFile;
  }
}

}  // namespace

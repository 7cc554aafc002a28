// The settings store against the real registry of the rig's prefix: SaveSetting, LoadSetting
// and GetShellFolderPath, checked by reading and writing the registry directly.
#include "driver_link/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bytes.h"
#include "registry.h"

namespace {

using support::Bytes;
using support::Dword;
using support::kSettingsKey;
using support::ReadValue;
using support::RegistryValue;
using support::ValueNames;
using support::WriteValue;

constexpr std::uint8_t kUntouched = 0xA5;
constexpr std::size_t kBufferSize = 64;  // larger than any setting

// Kinds are numbered as the settings store numbers them; numbers outside its range are cases too.
SettingKind AsSetting(int kind) { return static_cast<SettingKind>(kind); }

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 3 * i + 1);
  return bytes;
}

Bytes Prefix(const Bytes& bytes, std::size_t size) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

bool WriteSetting(const char* name, DWORD type, const Bytes& bytes) {
  return WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, type, bytes);
}

std::optional<RegistryValue> ReadSetting(const char* name) {
  return ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
}

// The value names of the settings key, sorted; nothing when the key does not exist.
std::optional<std::vector<std::string>> SettingNames() {
  std::optional<std::vector<std::string>> names = ValueNames(HKEY_LOCAL_MACHINE, kSettingsKey);
  if (names) std::sort(names->begin(), names->end());
  return names;
}

bool SettingsKeyExists() { return support::KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey); }

struct SettingCase {
  int kind;
  const char* name;
  DWORD type;
  std::size_t size;
};

constexpr SettingCase kSettingCases[] = {
    {1, "Calibration", REG_BINARY, 18}, {2, "Calibration", REG_BINARY, 18},
    {3, "Calibration", REG_BINARY, 40}, {4, "CalType", REG_DWORD, 4},
    {5, "LTRB", REG_DWORD, 4},          {6, "Rotation", REG_DWORD, 4},
    {7, "DBClkTime", REG_DWORD, 4},
};

class SettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    g_strSettingsKey = kSettingsKey;
    ASSERT_TRUE(support::DeleteSettingsKey());
  }
  void TearDown() override {
    support::DeleteSettingsKey();
    g_strSettingsKey = kSettingsKey;
  }
};

TEST_F(SettingsStoreTest, MissingKeyFailsEveryReadAndFirstSaveCreatesIt) {
  for (int kind = 1; kind <= 6; ++kind) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    Bytes buffer(kBufferSize, kUntouched);
    EXPECT_FALSE(LoadSetting(AsSetting(kind), buffer.data()));
    EXPECT_EQ(buffer, Bytes(kBufferSize, kUntouched));
  }
  // Readers never create the key.
  EXPECT_FALSE(SettingsKeyExists());

  const Bytes calType = Dword(3);
  EXPECT_TRUE(SaveSetting(kSettingCalType, calType.data()));

  EXPECT_EQ(SettingNames(), std::vector<std::string>{"CalType"});
  EXPECT_EQ(ReadSetting("CalType"), (RegistryValue{REG_DWORD, calType}));
}

TEST_F(SettingsStoreTest, SaveWritesEachKindsNameTypeAndSize) {
  std::uint8_t seed = 0x10;
  for (const SettingCase& row : kSettingCases) {
    SCOPED_TRACE("kind " + std::to_string(row.kind));
    ASSERT_TRUE(support::DeleteSettingsKey());
    const Bytes data = Pattern(kBufferSize, seed);
    seed = static_cast<std::uint8_t>(seed + 0x20);

    EXPECT_TRUE(SaveSetting(AsSetting(row.kind), data.data()));

    EXPECT_EQ(SettingNames(), std::vector<std::string>{row.name});
    EXPECT_EQ(ReadSetting(row.name), (RegistryValue{row.type, Prefix(data, row.size)}));
  }
}

TEST_F(SettingsStoreTest, CalibrationKindsShareOneValue) {
  const Bytes fivePoint = Pattern(40, 0x40);
  const Bytes twoPoint = Pattern(18, 0x80);

  ASSERT_TRUE(SaveSetting(kSettingCalibrationFivePoint, fivePoint.data()));
  ASSERT_TRUE(SaveSetting(kSettingCalibrationTwoPoint, twoPoint.data()));

  EXPECT_EQ(SettingNames(), std::vector<std::string>{"Calibration"});
  EXPECT_EQ(ReadSetting("Calibration"), (RegistryValue{REG_BINARY, twoPoint}));
}

TEST_F(SettingsStoreTest, SaveOfUnknownKindAnswersTrueAndWritesNothing) {
  ASSERT_TRUE(WriteSetting("CalType", REG_DWORD, Dword(2)));
  const Bytes data = Pattern(kBufferSize, 0x55);
  for (int kind : {0, 8, -1}) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    EXPECT_TRUE(SaveSetting(AsSetting(kind), data.data()));
    EXPECT_EQ(SettingNames(), std::vector<std::string>{"CalType"});
    EXPECT_EQ(ReadSetting("CalType"), (RegistryValue{REG_DWORD, Dword(2)}));
  }
}

TEST_F(SettingsStoreTest, SaveOfUnknownKindOnMissingKeyLeavesItEmpty) {
  const Bytes data = Pattern(kBufferSize, 0x66);
  EXPECT_TRUE(SaveSetting(AsSetting(0), data.data()));
  // The writer opens the key with RegCreateKeyEx, so the key is there, without a value.
  EXPECT_EQ(SettingNames(), std::vector<std::string>{});
}

TEST_F(SettingsStoreTest, LoadFillsExactlyTheKindsSize) {
  std::uint8_t seed = 0x21;
  for (const SettingCase& row : kSettingCases) {
    if (row.kind == 7) continue;  // written only
    SCOPED_TRACE("kind " + std::to_string(row.kind));
    ASSERT_TRUE(support::DeleteSettingsKey());
    const Bytes stored = Pattern(row.size, seed);
    seed = static_cast<std::uint8_t>(seed + 0x20);
    ASSERT_TRUE(WriteSetting(row.name, row.type, stored));
    Bytes buffer(kBufferSize, kUntouched);

    EXPECT_TRUE(LoadSetting(AsSetting(row.kind), buffer.data()));

    EXPECT_EQ(Prefix(buffer, row.size), stored);
    EXPECT_EQ(Bytes(buffer.begin() + static_cast<std::ptrdiff_t>(row.size), buffer.end()),
              Bytes(kBufferSize - row.size, kUntouched));
  }
}

TEST_F(SettingsStoreTest, LoadOfStoredCalibrationDependsOnItsSize) {
  struct CalibrationCase {
    int kind;
    std::size_t storedSize;
    bool loads;
  };
  // 40 bytes do not fit the 18 of kinds 1 and 2; 18 bytes fit the 40 of kind 3.
  constexpr CalibrationCase kCases[] = {
      {1, 40, false}, {2, 40, false}, {3, 18, true}, {3, 40, true}, {1, 18, true},
  };
  for (const CalibrationCase& row : kCases) {
    SCOPED_TRACE("kind " + std::to_string(row.kind) + ", " + std::to_string(row.storedSize) +
                 " bytes stored");
    const Bytes stored = Pattern(row.storedSize, 0x70);
    ASSERT_TRUE(WriteSetting("Calibration", REG_BINARY, stored));
    Bytes buffer(40, kUntouched);

    EXPECT_EQ(LoadSetting(AsSetting(row.kind), buffer.data()), row.loads ? TRUE : FALSE);

    if (row.loads) {
      EXPECT_EQ(Prefix(buffer, row.storedSize), stored);
      EXPECT_EQ(Bytes(buffer.begin() + static_cast<std::ptrdiff_t>(row.storedSize), buffer.end()),
                Bytes(40 - row.storedSize, kUntouched));
    }
  }
}

TEST_F(SettingsStoreTest, LoadTakesStoredBytesWithoutTypeCheck) {
  struct StoredCase {
    const char* what;
    DWORD type;
    Bytes stored;
  };
  const StoredCase kCases[] = {
      {"binary CalType", REG_BINARY, {3, 0, 0, 0}},
      {"two-byte CalType", REG_DWORD, {2, 0}},
      {"string CalType", REG_SZ, {'1', 0}},
  };
  for (const StoredCase& row : kCases) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(WriteSetting("CalType", row.type, row.stored));
    Bytes buffer(4, kUntouched);

    EXPECT_TRUE(LoadSetting(kSettingCalType, buffer.data()));

    EXPECT_EQ(Prefix(buffer, row.stored.size()), row.stored);
    EXPECT_EQ(Bytes(buffer.begin() + static_cast<std::ptrdiff_t>(row.stored.size()), buffer.end()),
              Bytes(4 - row.stored.size(), kUntouched));
  }
}

TEST_F(SettingsStoreTest, LoadOfMissingValueFails) {
  ASSERT_TRUE(WriteSetting("CalType", REG_DWORD, Dword(2)));
  Bytes buffer(kBufferSize, kUntouched);
  EXPECT_FALSE(LoadSetting(kSettingRotation, buffer.data()));
  EXPECT_EQ(buffer, Bytes(kBufferSize, kUntouched));
}

TEST_F(SettingsStoreTest, LoadRefusesKindsOutsideOneToSix) {
  // DBClkTime is there, but the utility only ever writes it.
  ASSERT_TRUE(WriteSetting("DBClkTime", REG_DWORD, Dword(500)));
  ASSERT_TRUE(WriteSetting("Calibration", REG_BINARY, Pattern(40, 1)));
  for (int kind : {7, 0, 8, -1}) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    Bytes buffer(kBufferSize, kUntouched);
    EXPECT_FALSE(LoadSetting(AsSetting(kind), buffer.data()));
    EXPECT_EQ(buffer, Bytes(kBufferSize, kUntouched));
  }
}

TEST_F(SettingsStoreTest, NothingIsReadOrWrittenBeforeTheKeyIsNamed) {
  g_strSettingsKey.clear();
  const Bytes calType = Dword(1);
  Bytes buffer(kBufferSize, kUntouched);

  EXPECT_FALSE(SaveSetting(kSettingCalType, calType.data()));
  EXPECT_FALSE(LoadSetting(kSettingCalType, buffer.data()));

  EXPECT_FALSE(SettingsKeyExists());
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, "", "CalType").has_value());
  EXPECT_EQ(buffer, Bytes(kBufferSize, kUntouched));
}

TEST_F(SettingsStoreTest, KeyWithoutWriteAccessIsNeitherReadNorWritten) {
  ASSERT_TRUE(WriteSetting("CalType", REG_DWORD, Dword(2)));
  ASSERT_TRUE(WriteSetting("Calibration", REG_BINARY, Pattern(18, 5)));
  {
    support::ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kSettingsKey);
    ASSERT_TRUE(readOnly.Applied()) << readOnly.Problem();
    // The registry really refuses: KEY_ALL_ACCESS, which every open of the settings key asks
    // for, is denied, while reading stays possible.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);

    const Bytes calType = Dword(3);
    const Bytes rotation = Dword(180);
    EXPECT_FALSE(SaveSetting(kSettingCalType, calType.data()));
    EXPECT_FALSE(SaveSetting(kSettingRotation, rotation.data()));
    for (int kind : {1, 4}) {
      SCOPED_TRACE("kind " + std::to_string(kind));
      Bytes buffer(kBufferSize, kUntouched);
      EXPECT_FALSE(LoadSetting(AsSetting(kind), buffer.data()));
      EXPECT_EQ(buffer, Bytes(kBufferSize, kUntouched));
    }

    EXPECT_EQ(SettingNames(), (std::vector<std::string>{"CalType", "Calibration"}));
    EXPECT_EQ(ReadSetting("CalType"), (RegistryValue{REG_DWORD, Dword(2)}));
  }
  // With its descriptor back, the key serves again.
  const Bytes calType = Dword(3);
  EXPECT_TRUE(SaveSetting(kSettingCalType, calType.data()));
  EXPECT_EQ(ReadSetting("CalType"), (RegistryValue{REG_DWORD, calType}));
}

// Folder kinds and what a fresh Wine prefix stores for them.
struct FolderCase {
  int kind;
  const char* subkey;
  const char* value;
  const char* path;
};

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

const FolderCase kFolderCases[] = {
    {1, kShellFolders, "Common Desktop", "C:\\users\\Public\\Desktop"},
    {2, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files"},
    {3, kShellFolders, "Common Programs",
     "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {4, "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\windows"},
    // Wine spells the value "Common StartUp"; value names do not depend on case.
    {5, kShellFolders, "Common Startup",
     "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
};

constexpr std::size_t kPathBuffer = 260;

std::string FolderPath(int kind, BOOL* found) {
  std::vector<char> buffer(kPathBuffer + 1, 'X');
  *found = GetShellFolderPath(buffer.data(), static_cast<FolderKind>(kind));
  buffer[kPathBuffer] = '\0';
  return buffer.data();
}

TEST(ShellFolderPathTest, EachKindAnswersThePrefixsFolder) {
  for (const FolderCase& row : kFolderCases) {
    SCOPED_TRACE("kind " + std::to_string(row.kind));
    BOOL found = FALSE;
    const std::string path = FolderPath(row.kind, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(path, row.path);
  }
}

TEST(ShellFolderPathTest, KindsOutsideOneToFiveFail) {
  for (int kind : {0, 6, -1}) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    std::vector<char> buffer(kPathBuffer, 'X');
    EXPECT_FALSE(GetShellFolderPath(buffer.data(), static_cast<FolderKind>(kind)));
    EXPECT_EQ(buffer, std::vector<char>(kPathBuffer, 'X'));
  }
}

TEST(ShellFolderPathTest, MissingProgramFilesDirFails) {
  support::ValueRestorer restorer(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir");
  ASSERT_TRUE(restorer.Original().has_value());
  ASSERT_TRUE(support::DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir"));

  BOOL found = TRUE;
  FolderPath(2, &found);
  EXPECT_FALSE(found);
  // The other kinds do not depend on it.
  FolderPath(4, &found);
  EXPECT_TRUE(found);
}

TEST(ShellFolderPathTest, StoredValueMustFitThePathBuffer) {
  struct StoredCase {
    const char* what;
    DWORD type;
    std::size_t characters;  // path characters stored
    bool terminated;         // followed by a stored NUL
    bool found;
  };
  // The buffer holds 260 bytes: a path without its NUL fits when it leaves room to add one.
  constexpr StoredCase kCases[] = {
      {"259 characters, no NUL, REG_SZ", REG_SZ, 259, false, true},
      {"259 characters, no NUL, REG_BINARY", REG_BINARY, 259, false, true},
      {"260 characters, no NUL, REG_SZ", REG_SZ, 260, false, false},
      {"260 characters, no NUL, REG_BINARY", REG_BINARY, 260, false, false},
      {"259 characters and NUL", REG_SZ, 259, true, true},
      {"260 characters and NUL", REG_SZ, 260, true, false},
      {"short path and NUL", REG_SZ, 12, true, true},
  };
  support::ValueRestorer restorer(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir");
  ASSERT_TRUE(restorer.Original().has_value());
  for (const StoredCase& row : kCases) {
    SCOPED_TRACE(row.what);
    std::string path = "C:\\";
    while (path.size() < row.characters) path += static_cast<char>('a' + path.size() % 26);
    Bytes stored(path.begin(), path.end());
    if (row.terminated) stored.push_back(0);
    ASSERT_TRUE(
        WriteValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", row.type, stored));

    BOOL found = FALSE;
    const std::string answered = FolderPath(2, &found);

    EXPECT_EQ(found, row.found ? TRUE : FALSE);
    if (row.found) {
      EXPECT_EQ(answered, path);
    }
  }
}

TEST(ShellFolderPathTest, ValueIsTakenAsStoredWithoutExpansion) {
  support::ValueRestorer restorer(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir");
  const std::string stored = "%SystemDrive%\\Program Files";
  Bytes bytes(stored.begin(), stored.end());
  bytes.push_back(0);
  ASSERT_TRUE(
      WriteValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", REG_EXPAND_SZ, bytes));
  BOOL found = FALSE;
  EXPECT_EQ(FolderPath(2, &found), stored);
  EXPECT_TRUE(found);
}

}  // namespace

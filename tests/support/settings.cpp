#include "settings.h"

#include "wait.h"

namespace support {

void Store(const char* name, const RegistryValue& value) {
  ASSERT_TRUE(WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, value.type, value.bytes)) << name;
}

std::optional<RegistryValue> Stored(const char* name) {
  return ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
}

std::vector<std::string> StoredNames() {
  return ValueNames(HKEY_LOCAL_MACHINE, kSettingsKey).value_or(std::vector<std::string>{});
}

testing::AssertionResult WaitForStored(const char* name, const RegistryValue& value) {
  if (WaitUntil([&] { return Stored(name) == value; })) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "\"" << name << "\" holds " << testing::PrintToString(Stored(name)) << ", not "
         << testing::PrintToString(value);
}

void WaitForStoredCount(std::size_t count) {
  WaitUntil([&] { return StoredNames().size() == count; });
}

}  // namespace support

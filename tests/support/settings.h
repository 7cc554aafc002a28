// The utility's settings key, read and changed directly, without the code under test.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "registry.h"

namespace support {

// Stores the value in the settings key, creating the key when needed; fails the test otherwise.
void Store(const char* name, const RegistryValue& value);
// The value, or nothing when the key or the value does not exist.
std::optional<RegistryValue> Stored(const char* name);
// The key's value names in the order the registry lists them; none when the key does not exist.
std::vector<std::string> StoredNames();
// Waits until the value holds exactly this (the program stores after it answered the input).
testing::AssertionResult WaitForStored(const char* name, const RegistryValue& value);
// Waits until the key holds this many values; the test checks what they are.
void WaitForStoredCount(std::size_t count);

}  // namespace support

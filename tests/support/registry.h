// The real registry of the rig's prefix, read and changed directly, without the code under test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bytes.h"

namespace support {

// The driver's service key, where the utility keeps its settings (below HKEY_LOCAL_MACHINE).
// Spelled out here on its own, so that a wrong path in the utility shows.
constexpr char kSettingsKey[] = "System\\CurrentControlSet\\Services\\VantoraUSB";

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> bytes;

  bool operator==(const RegistryValue&) const = default;
};
void PrintTo(const RegistryValue& value, std::ostream* out);

inline RegistryValue Binary(const Bytes& bytes) { return {REG_BINARY, bytes}; }
// A REG_DWORD holds its value little-endian; a negative one in two's complement, so both
// overloads give the same bytes for the same bits.
inline RegistryValue DwordValue(std::uint32_t value) { return {REG_DWORD, Dword(value)}; }
inline RegistryValue DwordValue(std::int32_t value) { return {REG_DWORD, Int32s({value})}; }

bool KeyExists(HKEY root, const std::string& subkey);
// Deletes the settings key with its values; true when it is gone afterwards.
bool DeleteSettingsKey();

// The value's type and stored bytes, or nothing when the key or the value does not exist.
std::optional<RegistryValue> ReadValue(HKEY root, const std::string& subkey,
                                       const std::string& name);
// The key's value names in the order the registry lists them, or nothing when the key does
// not exist.
std::optional<std::vector<std::string>> ValueNames(HKEY root, const std::string& subkey);
// Creates the key when needed and stores exactly these bytes with this type.
bool WriteValue(HKEY root, const std::string& subkey, const std::string& name, DWORD type,
                const std::vector<std::uint8_t>& bytes);
bool DeleteValue(HKEY root, const std::string& subkey, const std::string& name);

// Remembers a value (or that it is missing) and puts it back when the guard ends, so a test
// may change or delete it.
class ValueRestorer {
 public:
  ValueRestorer(HKEY root, std::string subkey, std::string name);
  ~ValueRestorer();
  ValueRestorer(const ValueRestorer&) = delete;
  ValueRestorer& operator=(const ValueRestorer&) = delete;

  const std::optional<RegistryValue>& Original() const { return original_; }

 private:
  HKEY root_;
  std::string subkey_;
  std::string name_;
  std::optional<RegistryValue> original_;
};

// Gives an existing key a DACL that lets everyone read it and nobody change it (what a user
// without administrator rights gets on a service key): KEY_ALL_ACCESS is then denied. The
// original security descriptor comes back when the guard ends.
class ReadOnlyKey {
 public:
  ReadOnlyKey(HKEY root, std::string subkey);
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

  // Whether the DACL was replaced; false (with a reason) otherwise.
  bool Applied() const { return applied_; }
  const std::string& Problem() const { return problem_; }

 private:
  HKEY root_;
  std::string subkey_;
  std::vector<std::uint8_t> original_;
  bool applied_ = false;
  std::string problem_;
};

}  // namespace support

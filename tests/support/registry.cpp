#include "registry.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <iomanip>

namespace support {
namespace {

class Key {
 public:
  Key(HKEY root, const std::string& subkey, REGSAM access) {
    status_ = ::RegOpenKeyExA(root, subkey.c_str(), 0, access, &key_);
  }
  ~Key() {
    if (status_ == ERROR_SUCCESS) ::RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool Open() const { return status_ == ERROR_SUCCESS; }
  LONG Status() const { return status_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LONG status_ = ERROR_INVALID_HANDLE;
};

constexpr SECURITY_INFORMATION kDacl = DACL_SECURITY_INFORMATION;

}  // namespace

void PrintTo(const RegistryValue& value, std::ostream* out) {
  *out << "type " << value.type << ", " << value.bytes.size() << " bytes {";
  for (std::size_t i = 0; i < value.bytes.size(); ++i) {
    *out << (i == 0 ? "" : " ") << std::hex << std::setw(2) << std::setfill('0')
         << static_cast<int>(value.bytes[i]) << std::dec;
  }
  *out << "}";
}

bool KeyExists(HKEY root, const std::string& subkey) {
  return Key(root, subkey, KEY_QUERY_VALUE).Open();
}

bool DeleteSettingsKey() {
  // The settings key holds values only, so RegDeleteKey removes it in one step.
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
  return !KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey);
}

std::optional<RegistryValue> ReadValue(HKEY root, const std::string& subkey,
                                       const std::string& name) {
  Key key(root, subkey, KEY_QUERY_VALUE);
  if (!key.Open()) return std::nullopt;
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegistryValue value;
  value.type = type;
  value.bytes.resize(size);
  if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, value.bytes.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  return value;
}

std::optional<std::vector<std::string>> ValueNames(HKEY root, const std::string& subkey) {
  Key key(root, subkey, KEY_QUERY_VALUE);
  if (!key.Open()) return std::nullopt;
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD length = sizeof(name);
    const LONG status =
        ::RegEnumValueA(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool WriteValue(HKEY root, const std::string& subkey, const std::string& name, DWORD type,
                const std::vector<std::uint8_t>& bytes) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG status =
      ::RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const std::string& subkey, const std::string& name) {
  Key key(root, subkey, KEY_SET_VALUE);
  return key.Open() && ::RegDeleteValueA(key.Get(), name.c_str()) == ERROR_SUCCESS;
}

ValueRestorer::ValueRestorer(HKEY root, std::string subkey, std::string name)
    : root_(root),
      subkey_(std::move(subkey)),
      name_(std::move(name)),
      original_(ReadValue(root_, subkey_, name_)) {}

ValueRestorer::~ValueRestorer() {
  bool restored = false;
  if (original_.has_value()) {
    restored = WriteValue(root_, subkey_, name_, original_->type, original_->bytes);
  } else {
    DeleteValue(root_, subkey_, name_);
    restored = !ReadValue(root_, subkey_, name_).has_value();
  }
  if (!restored) ADD_FAILURE() << "could not restore " << subkey_ << "\\" << name_;
}

ReadOnlyKey::ReadOnlyKey(HKEY root, std::string subkey) : root_(root), subkey_(std::move(subkey)) {
  Key key(root_, subkey_, READ_CONTROL | WRITE_DAC);
  if (!key.Open()) {
    problem_ = "the key cannot be opened for READ_CONTROL | WRITE_DAC, error " +
               std::to_string(key.Status());
    return;
  }
  DWORD size = 0;
  ::RegGetKeySecurity(key.Get(), kDacl, nullptr, &size);
  original_.resize(size);
  if (size == 0 ||
      ::RegGetKeySecurity(key.Get(), kDacl, original_.data(), &size) != ERROR_SUCCESS) {
    problem_ = "RegGetKeySecurity failed";
    return;
  }
  // Protected, so that nothing is inherited from the parent key: Everyone may read, no more.
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                              &readOnly, nullptr)) {
    problem_ = "the read-only descriptor could not be built";
    return;
  }
  const LONG status = ::RegSetKeySecurity(key.Get(), kDacl, readOnly);
  ::LocalFree(readOnly);
  if (status != ERROR_SUCCESS) {
    problem_ = "RegSetKeySecurity failed, error " + std::to_string(status);
    return;
  }
  applied_ = true;
}

ReadOnlyKey::~ReadOnlyKey() {
  if (!applied_) return;
  // The owner may always change the DACL, so the key can be given its old one back.
  Key key(root_, subkey_, WRITE_DAC);
  if (!key.Open() || ::RegSetKeySecurity(key.Get(), kDacl, original_.data()) != ERROR_SUCCESS) {
    ADD_FAILURE() << "could not restore the security descriptor of " << subkey_;
  }
}

}  // namespace support

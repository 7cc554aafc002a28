// The touch controller's USB hardware identifier: found in a device's hardware-id multi-string
// by the utility's Info page (for the controller revision) and by setup's device check.
// Portable: bytes in, answer out; no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace hwid {

constexpr char kControllerPrefix[] = "USB\\Vid_0d7a&Pid_3000&Rev_";  // 26 characters
constexpr std::size_t kControllerPrefixLength = sizeof(kControllerPrefix) - 1;
static_assert(kControllerPrefixLength == 26);

// The four revision characters after the prefix, "0120" for 1.20.
constexpr std::size_t kRevisionLength = 4;

struct ControllerRevision {
  std::int32_t major;
  std::int32_t minor;
};

// `list`: the bytes of a hardware-id multi-string as read into a buffer of `capacity` bytes;
// `reported`: the size the read reported. Never reads past either.
// The first string that begins with the prefix (any letter case) and holds its four revision
// characters inside the string: its revision.
std::optional<ControllerRevision> FindControllerRevision(const char* list, std::size_t capacity,
                                                         std::size_t reported);

// Whether any string of the list begins with the prefix (any letter case): setup's check.
bool HasControllerId(const char* list, std::size_t capacity, std::size_t reported);

}  // namespace hwid

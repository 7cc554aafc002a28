#include "common/hardware_id.h"

#include <algorithm>
#include <cstring>

namespace hwid {
namespace {

// ASCII only: the identifier is plain ASCII and the result must not depend on a locale.
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the string of `length` characters at `text` begins with the prefix, in any case.
bool BeginsWithPrefix(const char* text, std::size_t length) {
  if (length < kControllerPrefixLength) {
    return false;
  }
  for (std::size_t i = 0; i < kControllerPrefixLength; ++i) {
    if (LowerAscii(text[i]) != LowerAscii(kControllerPrefix[i])) {
      return false;
    }
  }
  return true;
}

// A revision character counts as its code minus that of '0', taken as a signed byte, so that
// a letter still yields a number (a counts as 49).
std::int32_t RevisionDigit(char c) { return static_cast<std::int8_t>(c) - '0'; }

// Calls `visit(text, length)` for each string of the list, from the first, while the string is
// not empty and starts inside the bytes that can be read; a string cut off by the end of those
// bytes counts up to there. Stops early when `visit` returns true, and returns whether it did.
template <typename Visit>
bool ForEachString(const char* list, std::size_t capacity, std::size_t reported, Visit visit) {
  if (list == nullptr) {
    return false;
  }
  const std::size_t limit = std::min(capacity, reported);
  std::size_t start = 0;
  while (start < limit && list[start] != '\0') {
    const char* text = list + start;
    const void* end = std::memchr(text, '\0', limit - start);
    const std::size_t length = end == nullptr
                                   ? limit - start
                                   : static_cast<std::size_t>(static_cast<const char*>(end) - text);
    if (visit(text, length)) {
      return true;
    }
    start += length + 1;
  }
  return false;
}

}  // namespace

std::optional<ControllerRevision> FindControllerRevision(const char* list, std::size_t capacity,
                                                         std::size_t reported) {
  std::optional<ControllerRevision> revision;
  ForEachString(list, capacity, reported, [&revision](const char* text, std::size_t length) {
    if (!BeginsWithPrefix(text, length) || length < kControllerPrefixLength + kRevisionLength) {
      return false;
    }
    const char* digits = text + kControllerPrefixLength;
    revision = ControllerRevision{RevisionDigit(digits[0]) * 10 + RevisionDigit(digits[1]),
                                  RevisionDigit(digits[2]) * 10 + RevisionDigit(digits[3])};
    return true;
  });
  return revision;
}

bool HasControllerId(const char* list, std::size_t capacity, std::size_t reported) {
  return ForEachString(list, capacity, reported, BeginsWithPrefix);
}

}  // namespace hwid

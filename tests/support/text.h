// Conversions between the UTF-8 strings tests compare and the UTF-16 texts windows hold.
#pragma once

#include <string>

namespace support {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

}  // namespace support

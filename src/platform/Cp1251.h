#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Windows-1251, the 8-bit code page of the instrument's texts and of the stored files.
// Inside the program every text is UTF-8; these convert where bytes cross the boundary.
namespace platform {

// The Unicode code point of one Windows-1251 byte, or none for the one unassigned byte (0x98).
std::optional<char32_t> Cp1251ToCodePoint(uint8_t byte);

// Bytes in Windows-1251 to UTF-8; the unassigned byte becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1251. A character the code page lacks, or a malformed UTF-8 sequence,
// becomes the replacement byte.
std::string Utf8ToCp1251(std::string_view utf8, char replacement = '?');

// UTF-8 to Windows-1251 without replacement: none when a character is missing from the code
// page or the UTF-8 is malformed.
std::optional<std::string> TryUtf8ToCp1251(std::string_view utf8);

} // namespace platform

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Text helpers shared by the configurator's subsystems. Every function here is independent
// of the process locale: numbers are always read and written the C way, whatever LC_ALL says.
// None of them throws: a formatting failure gives an empty text, a conversion failure 0.

// printf-style formatting in the C locale.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Formats one value with a format chosen at run time (from a table or a document). The format
// must hold exactly one conversion of the value's kind (d i u o x X c for an integer,
// f F e E g G a A for a floating value) with optional flags, width and precision, plus any
// "%%"; anything else gives an empty text instead of undefined behaviour.
std::string FormatInt(std::string_view format, int32_t value);
std::string FormatFloat(std::string_view format, double value);

// Durations given in minutes: days, hours and minutes by comm::kDurationDaysFormat (days taken
// modulo 65536), and "hh:mm" (hours not limited to 24).
std::string DurationToDaysText(uint32_t minutes);
std::string DurationToHoursText(uint32_t minutes);

// Bit i of value stands for the character first + i; when first is a digit the characters
// after '9' go on with 'A'. Counts above 32 are taken as 32.
// List: the characters of the set bits joined by ","; mask: one character per bit, '-' when clear.
std::string BitsToListText(uint32_t value, uint8_t count, uint8_t first);
std::string BitsToMaskText(uint32_t value, uint8_t count, uint8_t first);

// With separator ',' every '.' becomes ','; with any other separator every ',' becomes '.'.
void SwapDecimalSeparator(std::string& text, char separator);

// The longest leading decimal number (optional sign and exponent, either ',' or '.' as the
// separator, leading blanks skipped); 0 when there is none.
double TextToFloat(std::string_view text);
// A leading decimal integer as "%d" reads it; 0 when there is none; clamped to the type's range.
int32_t TextToInt(std::string_view text);
// As "%u" reads it: a leading minus negates modulo 2^32; 0 when there is none.
uint32_t TextToUInt(std::string_view text);

// In a text holding a '.', removes trailing '0's and then a trailing '.': 12.500 -> 12.5,
// 12.000 -> 12; a text without '.' stays as it is.
void TrimTrailingZeros(std::string& text);

// Copies the text into the buffer and zero-fills the rest when it fits (no terminating zero
// when it fills the buffer exactly); otherwise leaves the buffer untouched and returns false.
bool TextToFixedBuffer(std::string_view text, std::span<uint8_t> buffer);

// True when every byte equals value (and for no bytes at all).
bool AllBytesEqual(std::span<const uint8_t> bytes, uint8_t value);

// A list of texts kept as one value, one line each (CR LF or LF); empty lines are dropped.
std::vector<std::string> TextToLines(std::string_view text);
std::string LinesToText(const std::vector<std::string>& lines);

// Puts entry first in a most-recently-used list, removing equal entries (ASCII letters
// compared without regard to case) and keeping at most `most` entries.
void RememberRecent(std::vector<std::string>& list, const std::string& entry, size_t most);

#include "Cp1251.h"

#include <array>

namespace platform {

namespace {

constexpr char32_t kUnassigned = 0;

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char32_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    kUnassigned, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::optional<uint8_t> CodePointToCp1251(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<uint8_t>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<uint8_t>(0xC0 + (cp - 0x0410));
    for (size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] != kUnassigned && kHighTable[i] == cp)
            return static_cast<uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

// Decodes one UTF-8 sequence at text[pos]; advances pos. Returns none for a malformed one
// (pos then moves past the offending byte).
std::optional<char32_t> NextCodePoint(std::string_view text, size_t& pos)
{
    const auto lead = static_cast<uint8_t>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int extra;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size())
            return std::nullopt;
        const auto next = static_cast<uint8_t>(text[pos]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
        ++pos;
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    return cp;
}

// Encodes the whole text; a character without a byte becomes the replacement, or ends the
// encoding with false when there is none.
bool EncodeCp1251(std::string_view utf8, std::string& out, std::optional<char> replacement)
{
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = NextCodePoint(utf8, pos);
        const auto byte = cp ? CodePointToCp1251(*cp) : std::nullopt;
        if (byte)
            out.push_back(static_cast<char>(*byte));
        else if (replacement)
            out.push_back(*replacement);
        else
            return false;
    }
    return true;
}

} // namespace

std::optional<char32_t> Cp1251ToCodePoint(uint8_t byte)
{
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return static_cast<char32_t>(0x0410 + (byte - 0xC0));
    const char32_t cp = kHighTable[byte - 0x80];
    if (cp == kUnassigned)
        return std::nullopt;
    return cp;
}

std::string Cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        AppendUtf8(out, Cp1251ToCodePoint(static_cast<uint8_t>(c)).value_or(0xFFFD));
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8, char replacement)
{
    std::string out;
    EncodeCp1251(utf8, out, replacement);
    return out;
}

std::optional<std::string> TryUtf8ToCp1251(std::string_view utf8)
{
    std::string out;
    if (!EncodeCp1251(utf8, out, std::nullopt))
        return std::nullopt;
    return out;
}

} // namespace platform

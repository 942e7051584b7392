#include "Sysutil.h"

#include "Texts.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace {

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Switches this thread to the C locale for the lifetime of the object.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

std::string VFormat(const char* format, va_list args)
{
    CLocaleScope scope;
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0)
        return {};
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    if (std::vsnprintf(out.data(), out.size(), format, args) < 0)
        return {};
    out.resize(static_cast<size_t>(needed));
    return out;
}

enum class ConversionKind { Integer, Floating };

// Checks that format holds exactly one conversion of the wanted kind (see FormatInt).
bool IsSingleConversion(std::string_view format, ConversionKind kind)
{
    int conversions = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos)
            ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
            ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
                ++i;
        }
        if (i >= format.size())
            return false;
        const std::string_view accepted = kind == ConversionKind::Integer ? "diuoxXc" : "fFeEgGaA";
        if (accepted.find(format[i]) == std::string_view::npos)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

void SkipBlanks(std::string_view text, size_t& pos)
{
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
}

size_t SkipDigits(std::string_view text, size_t pos)
{
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    return pos;
}

// Reads an optional sign and a run of digits; the magnitude saturates at 2^64-1.
bool ReadLeadingInteger(std::string_view text, bool& negative, uint64_t& magnitude)
{
    size_t pos = 0;
    SkipBlanks(text, pos);
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const size_t end = SkipDigits(text, pos);
    if (end == pos)
        return false;
    const auto result = std::from_chars(text.data() + pos, text.data() + end, magnitude);
    if (result.ec == std::errc::result_out_of_range)
        magnitude = std::numeric_limits<uint64_t>::max();
    return true;
}

uint8_t BitCharacter(uint8_t first, uint32_t bit)
{
    uint32_t c = first + bit;
    if (first <= '9' && c > '9')
        c += 7;
    return static_cast<uint8_t>(c);
}

std::string BitCharacterText(uint8_t first, uint32_t bit)
{
    const char c = static_cast<char>(BitCharacter(first, bit));
    return platform::Cp1251ToUtf8(std::string_view(&c, 1));
}

} // namespace

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = VFormat(format, args);
    va_end(args);
    return out;
}

std::string FormatInt(std::string_view format, int32_t value)
{
    if (!IsSingleConversion(format, ConversionKind::Integer))
        return {};
    return FormatText(std::string(format).c_str(), value);
}

std::string FormatFloat(std::string_view format, double value)
{
    if (!IsSingleConversion(format, ConversionKind::Floating))
        return {};
    return FormatText(std::string(format).c_str(), value);
}

std::string DurationToDaysText(uint32_t minutes)
{
    return FormatText(comm::kDurationDaysFormat, (minutes / 1440) % 65536, (minutes % 1440) / 60, minutes % 60);
}

std::string DurationToHoursText(uint32_t minutes)
{
    return FormatText("%02u:%02u", minutes / 60, minutes % 60);
}

std::string BitsToListText(uint32_t value, uint8_t count, uint8_t first)
{
    const uint32_t bits = std::min<uint32_t>(count, 32);
    std::string out;
    for (uint32_t i = 0; i < bits; ++i) {
        if (!(value & (uint32_t{1} << i)))
            continue;
        if (!out.empty())
            out += ',';
        out += BitCharacterText(first, i);
    }
    return out;
}

std::string BitsToMaskText(uint32_t value, uint8_t count, uint8_t first)
{
    const uint32_t bits = std::min<uint32_t>(count, 32);
    std::string out;
    for (uint32_t i = 0; i < bits; ++i)
        out += (value & (uint32_t{1} << i)) ? BitCharacterText(first, i) : std::string("-");
    return out;
}

void SwapDecimalSeparator(std::string& text, char separator)
{
    if (separator == ',')
        std::replace(text.begin(), text.end(), '.', ',');
    else
        std::replace(text.begin(), text.end(), ',', '.');
}

double TextToFloat(std::string_view text)
{
    size_t pos = 0;
    SkipBlanks(text, pos);
    const size_t start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    const size_t intEnd = SkipDigits(text, pos);
    size_t end = intEnd;
    bool digits = intEnd > pos;
    if (end < text.size() && (text[end] == '.' || text[end] == ',')) {
        const size_t fracEnd = SkipDigits(text, end + 1);
        digits = digits || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!digits)
        return 0.0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t expPos = end + 1;
        if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-'))
            ++expPos;
        const size_t expEnd = SkipDigits(text, expPos);
        if (expEnd > expPos)
            end = expEnd;
    }
    std::string number(text.substr(start, end - start));
    std::replace(number.begin(), number.end(), ',', '.');
    return strtod_l(number.c_str(), nullptr, CLocale());
}

int32_t TextToInt(std::string_view text)
{
    bool negative;
    uint64_t magnitude;
    if (!ReadLeadingInteger(text, negative, magnitude))
        return 0;
    if (negative)
        return magnitude >= uint64_t{1} << 31 ? std::numeric_limits<int32_t>::min()
                                              : -static_cast<int32_t>(magnitude);
    return magnitude > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                                 : static_cast<int32_t>(magnitude);
}

uint32_t TextToUInt(std::string_view text)
{
    bool negative;
    uint64_t magnitude;
    if (!ReadLeadingInteger(text, negative, magnitude))
        return 0;
    const uint32_t value = static_cast<uint32_t>(std::min<uint64_t>(magnitude, std::numeric_limits<uint32_t>::max()));
    return negative ? 0u - value : value;
}

void TrimTrailingZeros(std::string& text)
{
    if (text.find('.') == std::string::npos)
        return;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
}

bool TextToFixedBuffer(std::string_view text, std::span<uint8_t> buffer)
{
    if (text.size() > buffer.size())
        return false;
    std::copy(text.begin(), text.end(), buffer.begin());
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(text.size()), buffer.end(), uint8_t{0});
    return true;
}

bool AllBytesEqual(std::span<const uint8_t> bytes, uint8_t value)
{
    return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

std::vector<std::string> TextToLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::string LinesToText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void RememberRecent(std::vector<std::string>& list, const std::string& entry, size_t most)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    std::erase_if(list, [&](const std::string& line) {
        return std::equal(line.begin(), line.end(), entry.begin(), entry.end(),
                          [&](char x, char y) { return lower(x) == lower(y); });
    });
    list.insert(list.begin(), entry);
    if (list.size() > most)
        list.resize(most);
}

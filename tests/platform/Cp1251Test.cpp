#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <optional>
#include <string>

namespace {

// glibc's own CP1251 converter, an independent reference for every high byte.
std::optional<std::string> IconvDecode(uint8_t byte)
{
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1))
        return std::nullopt;
    return std::string(out, sizeof out - outLeft);
}

TEST(Cp1251, EveryHighByteDecodesAsGlibcDoes)
{
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const auto reference = IconvDecode(static_cast<uint8_t>(byte));
        const std::string ours = platform::Cp1251ToUtf8(std::string(1, static_cast<char>(byte)));
        if (reference) {
            EXPECT_EQ(ours, *reference) << "byte 0x" << std::hex << byte;
        } else {
            EXPECT_EQ(ours, "\xEF\xBF\xBD") << "byte 0x" << std::hex << byte << " has no character";
            EXPECT_FALSE(platform::Cp1251ToCodePoint(static_cast<uint8_t>(byte)).has_value());
        }
    }
}

TEST(Cp1251, EveryAssignedByteRoundTrips)
{
    for (int byte = 0; byte <= 0xFF; ++byte) {
        const std::string original(1, static_cast<char>(byte));
        if (!platform::Cp1251ToCodePoint(static_cast<uint8_t>(byte)))
            continue;
        EXPECT_EQ(platform::Utf8ToCp1251(platform::Cp1251ToUtf8(original)), original) << "byte " << byte;
    }
}

TEST(Cp1251, EncodesRussianText)
{
    EXPECT_EQ(platform::Utf8ToCp1251("Прибор №1"), "\xCF\xF0\xE8\xE1\xEE\xF0 \xB9" "1");
}

TEST(Cp1251, UnknownCharactersAndBrokenUtf8BecomeTheReplacement)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::string expected;
    };
    const Case cases[] = {
        {"character outside the code page", "a\xE4\xB8\xAD" "b", "a?b"},
        {"lone continuation byte", "a\x80" "b", "a?b"},
        {"truncated sequence at the end", "a\xD0", "a?"},
        {"overlong encoding", "\xC0\xAF", "?"},
        {"surrogate", "\xED\xA0\x80", "?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::Utf8ToCp1251(c.utf8), c.expected) << c.name;
}

TEST(Cp1251, CheckedEncodingRefusesWhatItCannotEncode)
{
    EXPECT_EQ(platform::TryUtf8ToCp1251("Прибор №1"), std::optional<std::string>("\xCF\xF0\xE8\xE1\xEE\xF0 \xB9" "1"));
    EXPECT_EQ(platform::TryUtf8ToCp1251(""), std::optional<std::string>(""));
    // Every character of the code page goes through.
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x98)
            continue;
        const std::string original(1, static_cast<char>(byte));
        EXPECT_EQ(platform::TryUtf8ToCp1251(platform::Cp1251ToUtf8(original)), original) << "byte " << byte;
    }
    const char* refused[] = {"a\xE4\xB8\xAD" "b", "a\x80" "b", "\xEF\xBF\xBD", "abc\xD0"};
    for (const char* text : refused)
        EXPECT_EQ(platform::TryUtf8ToCp1251(text), std::nullopt) << text;
}

} // namespace

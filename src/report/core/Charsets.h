#pragma once

#include <QStringView>

#include <cstdint>
#include <span>

// Font character sets as report files, scripts and the designer name them, with what each
// stands for on this system. The system is a Russian one: its ANSI code page is Windows-1251,
// its OEM code page 866, its Macintosh code page 10007 and its locale Russian (1049), so a
// font of DEFAULT_CHARSET takes its 8-bit text as Windows-1251.
enum : uint8_t {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255,
};

// Code pages with a meaning of their own: the system's ANSI, OEM and Macintosh code pages, the
// thread's ANSI code page (the system's here) and the symbol mapping (bytes to U+F000..U+F0FF).
inline constexpr int CP_ACP = 0;
inline constexpr int CP_OEMCP = 1;
inline constexpr int CP_MACCP = 2;
inline constexpr int CP_THREAD_ACP = 3;
inline constexpr int CP_SYMBOL = 42;

inline constexpr int kSystemAnsiCodePage = 1251;
inline constexpr int kSystemOemCodePage = 866;
inline constexpr int kSystemMacCodePage = 10007;
inline constexpr int kSystemLocale = 1049; // Russian

struct CharsetInfo {
    uint8_t Charset;
    const char* Name;   // the identifier scripts and the designer use: "RUSSIAN_CHARSET"
    int CodePage;       // the code page of its 8-bit text on this system
    int Locale;         // the locale identifier its text belongs to; 0 when it names none
};

// Every character set known here, in increasing order of the number.
std::span<const CharsetInfo> Charsets();

// The entry of a character set number or identifier (case-insensitive); nullptr when unknown.
const CharsetInfo* FindCharset(uint8_t charset);
const CharsetInfo* FindCharset(QStringView name);

// The name Qt's text codecs know a code page by ("windows-1251", "IBM866"), after resolving
// the special code pages above; nullptr for a code page without a codec here (CP_SYMBOL
// included: it is a plain mapping, not a codec).
const char* CodePageCodecName(int codePage);

// CP_ACP, CP_OEMCP, CP_MACCP and CP_THREAD_ACP as the code pages they stand for here; any
// other code page as it is.
int ResolveCodePage(int codePage);

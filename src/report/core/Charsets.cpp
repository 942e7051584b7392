#include "Charsets.h"

#include <QString>

#include <algorithm>
#include <iterator>

namespace {

const CharsetInfo kCharsets[] = {
    {ANSI_CHARSET, "ANSI_CHARSET", 1252, 0},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET", kSystemAnsiCodePage, 0},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET", CP_SYMBOL, 0},
    {MAC_CHARSET, "MAC_CHARSET", kSystemMacCodePage, 0},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET", 932, 1041},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET", 949, 1042},
    {JOHAB_CHARSET, "JOHAB_CHARSET", 1361, 2066},
    {GB2312_CHARSET, "GB2312_CHARSET", 936, 2052},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET", 950, 3076},
    {GREEK_CHARSET, "GREEK_CHARSET", 1253, 1032},
    {TURKISH_CHARSET, "TURKISH_CHARSET", 1254, 1055},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET", 1258, 1066},
    {HEBREW_CHARSET, "HEBREW_CHARSET", 1255, 1037},
    {ARABIC_CHARSET, "ARABIC_CHARSET", 1256, 13313},
    {BALTIC_CHARSET, "BALTIC_CHARSET", 1257, 1061},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET", 1251, 1049},
    {THAI_CHARSET, "THAI_CHARSET", 874, 1054},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET", 1250, 1029},
    {OEM_CHARSET, "OEM_CHARSET", kSystemOemCodePage, 0},
};

struct CodecName {
    int CodePage;
    const char* Name;
};

const CodecName kCodecNames[] = {
    {437, "IBM437"},          {866, "IBM866"},          {874, "windows-874"},     {932, "Shift_JIS"},
    {936, "GBK"},             {949, "windows-949"},     {950, "Big5"},            {1250, "windows-1250"},
    {1251, "windows-1251"},   {1252, "windows-1252"},   {1253, "windows-1253"},   {1254, "windows-1254"},
    {1255, "windows-1255"},   {1256, "windows-1256"},   {1257, "windows-1257"},   {1258, "windows-1258"},
    {10000, "macintosh"},     {10007, "x-mac-cyrillic"}, {65001, "UTF-8"},
};

} // namespace

std::span<const CharsetInfo> Charsets()
{
    return kCharsets;
}

const CharsetInfo* FindCharset(uint8_t charset)
{
    for (const CharsetInfo& info : kCharsets)
        if (info.Charset == charset)
            return &info;
    return nullptr;
}

const CharsetInfo* FindCharset(QStringView name)
{
    for (const CharsetInfo& info : kCharsets)
        if (name.compare(QLatin1StringView(info.Name), Qt::CaseInsensitive) == 0)
            return &info;
    return nullptr;
}

int ResolveCodePage(int codePage)
{
    switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
        return kSystemAnsiCodePage;
    case CP_OEMCP:
        return kSystemOemCodePage;
    case CP_MACCP:
        return kSystemMacCodePage;
    default:
        return codePage;
    }
}

const char* CodePageCodecName(int codePage)
{
    const int resolved = ResolveCodePage(codePage);
    const auto found = std::find_if(std::begin(kCodecNames), std::end(kCodecNames),
                                    [&](const CodecName& entry) { return entry.CodePage == resolved; });
    return found == std::end(kCodecNames) ? nullptr : found->Name;
}

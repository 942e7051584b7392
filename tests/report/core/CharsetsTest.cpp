// The character-set table of the report core.

#include "report/core/Charsets.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

#include <set>

namespace {

TEST(Charsets, NumbersNamesAndCodePages)
{
    EXPECT_EQ(FindCharset(RUSSIAN_CHARSET)->CodePage, 1251);
    EXPECT_EQ(FindCharset(DEFAULT_CHARSET)->CodePage, 1251);
    EXPECT_EQ(FindCharset(EASTEUROPE_CHARSET)->CodePage, 1250);
    EXPECT_EQ(FindCharset(ANSI_CHARSET)->CodePage, 1252);
    EXPECT_EQ(FindCharset(OEM_CHARSET)->CodePage, 866);
    EXPECT_EQ(FindCharset(u"russian_charset"), FindCharset(RUSSIAN_CHARSET));
    EXPECT_EQ(FindCharset(u"RUSSIAN"), nullptr);
    EXPECT_EQ(FindCharset(uint8_t{3}), nullptr);

    std::set<int> numbers;
    int previous = -1;
    for (const CharsetInfo& info : Charsets()) {
        EXPECT_GT(info.Charset, previous) << info.Name;
        previous = info.Charset;
        EXPECT_EQ(FindCharset(QString::fromLatin1(info.Name)), &info);
        // Every code page but the symbol mapping and Johab (which Qt has no codec for) decodes.
        if (info.CodePage != CP_SYMBOL && info.CodePage != 1361) {
            ASSERT_NE(CodePageCodecName(info.CodePage), nullptr) << info.Name;
            EXPECT_TRUE(QStringDecoder(CodePageCodecName(info.CodePage)).isValid()) << info.Name;
        }
    }
    EXPECT_EQ(Charsets().size(), 19u);
}

TEST(Charsets, SpecialCodePagesResolve)
{
    EXPECT_EQ(ResolveCodePage(CP_ACP), 1251);
    EXPECT_EQ(ResolveCodePage(CP_THREAD_ACP), 1251);
    EXPECT_EQ(ResolveCodePage(CP_OEMCP), 866);
    EXPECT_EQ(ResolveCodePage(CP_MACCP), 10007);
    EXPECT_EQ(ResolveCodePage(1253), 1253);
    EXPECT_STREQ(CodePageCodecName(CP_OEMCP), "IBM866");
    EXPECT_EQ(CodePageCodecName(CP_SYMBOL), nullptr);
    EXPECT_EQ(CodePageCodecName(12345), nullptr);
}

} // namespace

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

TEST(WinError, CarriesTheCodeAndTheSystemText)
{
    const win_error error(EACCES);
    EXPECT_EQ(error.ErrorCode(), EACCES);
    EXPECT_EQ(error.Message(), "System Error.  Code: 13.\r\n" + platform::SystemErrorText(EACCES));
    EXPECT_FALSE(platform::SystemErrorText(EACCES).empty());
    EXPECT_STREQ(error.what(), error.Message().c_str());
}

TEST(CurrentExceptionMessage, KeepsMessagesAndTextsAndEmptiesTheRest)
{
    auto messageOf = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return platform::CurrentExceptionMessage();
        }
        return std::string("not thrown");
    };
    EXPECT_EQ(messageOf([] { throw platform::Exception("Прибор не отвечает"); }), "Прибор не отвечает");
    EXPECT_EQ(messageOf([] { throw std::runtime_error("standard"); }), "standard");
    EXPECT_EQ(messageOf([] { throw std::string("text"); }), "text");
    EXPECT_EQ(messageOf([] { throw "literal"; }), "literal");
    EXPECT_EQ(messageOf([] { throw 42; }), "");
}

TEST(LocatedError, KeepsTheMessageExactAndThePlaceBesideIt)
{
    try {
        throw platform::ELocatedError("Identifier expected", "main.pas", 3, 14);
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "Identifier expected");
        const auto* located = dynamic_cast<const platform::ELocatedError*>(&error);
        ASSERT_NE(located, nullptr);
        EXPECT_EQ(located->Source(), "main.pas");
        EXPECT_EQ(located->Line(), 3);
        EXPECT_EQ(located->Column(), 14);
    }
}

} // namespace

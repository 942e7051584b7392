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

} // namespace

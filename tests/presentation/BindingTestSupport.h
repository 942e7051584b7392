#pragma once

// Helpers of the binding tests.
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>

namespace bindingtest {

// The message of the platform::Exception the action throws; empty when it throws nothing.
inline std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& failure) {
        return failure.Message();
    }
    return {};
}

// Runs each test under the C locale and under a Russian one, whose decimal separator is a
// comma: the texts must come out the same.
class UnderLocale : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        previous_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr) << GetParam() << " is not installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

inline std::string LocaleName(const testing::TestParamInfo<const char*>& info)
{
    return info.param[0] == 'C' ? "C" : "Russian";
}

} // namespace bindingtest

#define BINDING_INSTANTIATE_UNDER_LOCALES(Fixture)                                                         \
    INSTANTIATE_TEST_SUITE_P(Locales, Fixture, testing::Values("C", "ru_RU.UTF-8"), bindingtest::LocaleName)

#pragma once

#include "FakeTime.h"
#include "ScriptedChanel.h"
#include "device/Daxhelper.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

namespace testsupport {

struct PrintedText {
    std::string text;
    TInteractContainer* target;
};

// A DaxHelper over a scripted channel at device address 1, with recorded pauses and texts.
class DaxHelperFixture : public testing::Test {
protected:
    void SetUp() override
    {
        chanel_.SetAddress(1);
        helper_.SetChannel(&chanel_);
        helper_.SetPacer(&pacer_);
        helper_.SetLogCallback([this](const std::string& text, TInteractContainer* target) {
            printed_.push_back({text, target});
        });
    }

    std::vector<std::chrono::milliseconds> Pauses() const { return pacer_.Pauses(); }

    std::vector<std::string> PrintedTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& line : printed_)
            texts.push_back(line.text);
        return texts;
    }

    ScriptedChanel chanel_;
    RecordingPacer pacer_;
    DaxHelper helper_;
    std::vector<PrintedText> printed_;
};

// Runs the operation and returns the message of the exception it ends with, checking that the
// caller sees the ordinary exception class; "" when it returns.
inline std::string FailureText(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const platform::Exception& failure) {
        EXPECT_EQ(typeid(failure), typeid(platform::Exception)) << failure.Message();
        return failure.Message();
    }
    return {};
}

} // namespace testsupport

#pragma once

#include "FakeTime.h"
#include "Failures.h"
#include "LogRecorder.h"
#include "ScriptedChanel.h"
#include "device/Daxhelper.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

// A DaxHelper over a scripted channel at device address 1, with recorded pauses and texts.
class DaxHelperFixture : public testing::Test {
protected:
    void SetUp() override
    {
        chanel_.SetAddress(1);
        helper_.SetChannel(&chanel_);
        helper_.SetPacer(&pacer_);
        helper_.SetLogCallback(printed_.Callback());
    }

    std::vector<std::chrono::milliseconds> Pauses() const { return pacer_.Pauses(); }
    std::vector<std::string> PrintedTexts() const { return printed_.Texts(); }

    ScriptedChanel chanel_;
    RecordingPacer pacer_;
    DaxHelper helper_;
    LogRecorder printed_;
};

} // namespace testsupport

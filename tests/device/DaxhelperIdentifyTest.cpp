#include "DaxhelperFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testsupport;
using Bytes = std::vector<uint8_t>;

const char* const kModification = "Неизвестная модификация прибора";
const char* const kVersion = "Неизвестная версия прибора";

struct IdentifyCase {
    const char* name;
    Bytes answer;
    bool result;
    bool identified;
    int32_t model;
    const char* modelText;
    const char* firmware;     // nullptr: not looked at
    const char* modification;
    std::vector<std::string> printed;
};

class DaxHelperIdentify : public testsupport::DaxHelperFixture {};

TEST_F(DaxHelperIdentify, Table)
{
    const IdentifyCase cases[] = {
        {"Dax-02 1.3 silent", IdentificationAnswer("DAX-02", {2, 1, 1, 3}), true, true, 1, "Dax-02", "1.3", "2.1", {}},
        {"Dax-01 0.9 warns", IdentificationAnswer("DAX-01", {1, 0, 0, 9}), true, true, 0, "Dax-01", "0.9", "1.0",
         {kVersion}},
        {"1.4 warns", IdentificationAnswer("DAX-02", {1, 2, 1, 4}), true, true, 1, "Dax-02", "1.4", "1.2", {kVersion}},
        {"2.0 refused", IdentificationAnswer("DAX-02", {2, 1, 2, 0}), false, false, -1, "", "2.0", "2.1", {kVersion}},
        {"unknown model", IdentificationAnswer("DAX-03", {1, 0, 1, 0}), true, false, -1, "", "1.0", "1.0",
         {kModification}},
        {"unknown model, new version", IdentificationAnswer("XYZ-99", {1, 0, 1, 7}), true, false, -1, "", "1.7", "1.0",
         {kVersion, kModification}},
        {"byte count 8", WithCrc({0x01, 0x11, 8, 'D', 'A', 'X', '-', '0', '2', 1, 1}), true, false, -1, "", nullptr,
         nullptr, {kModification}},
        {"version 255.255", IdentificationAnswer("DAX-01", {255, 255, 255, 255}), false, false, -1, "", "255.255",
         "255.255", {kVersion}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        printed_.Clear();
        helper_.Reset();
        TInteractContainer progress(std::make_unique<TInteract>());
        chanel_.Queue(ScriptedReply::Answer(c.answer));
        EXPECT_EQ(helper_.Identify(&progress, 1), c.result);
        EXPECT_EQ(helper_.Identified(), c.identified);
        EXPECT_EQ(helper_.Model(), c.model);
        EXPECT_EQ(helper_.ModelText(), c.modelText);
        if (c.firmware) {
            EXPECT_EQ(helper_.FirmwareVersionText(), c.firmware);
            EXPECT_EQ(helper_.ModificationText(), c.modification);
        }
        EXPECT_EQ(PrintedTexts(), c.printed);
        for (const auto& line : printed_.Lines())
            EXPECT_EQ(line.target, &progress);
    }
    // Every request is the 4-byte report-slave-id frame.
    for (const auto& sent : chanel_.Transactions())
        EXPECT_EQ(sent.request, WithCrc({0x01, 0x11}));
}

TEST_F(DaxHelperIdentify, VersionBytesAreKept)
{
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-02", {2, 1, 1, 3})));
    ASSERT_TRUE(helper_.Identify(nullptr, 1));
    EXPECT_EQ(helper_.Version(), (std::array<uint8_t, 4>{2, 1, 1, 3}));
}

// An answer of an unknown modification or model leaves an instrument identified earlier
// identified, with its model text; only the model becomes -1.
TEST_F(DaxHelperIdentify, AnEarlierIdentificationSurvivesAnAnswerOfAnUnknownModel)
{
    const Bytes later[] = {IdentificationAnswer("DAX-03", {1, 0, 1, 0}), WithCrc({0x01, 0x11, 2, 0x00, 0x00})};
    for (const auto& answer : later) {
        chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-01", {1, 0, 1, 2})));
        ASSERT_TRUE(helper_.Identify(nullptr, 1));
        chanel_.Queue(ScriptedReply::Answer(answer));
        EXPECT_TRUE(helper_.Identify(nullptr, 1));
        EXPECT_TRUE(helper_.Identified());
        EXPECT_EQ(helper_.Model(), -1);
        EXPECT_EQ(helper_.ModelText(), "Dax-01");
    }
    // The byte count of 2 left the version as it was; the unknown model's answer set it.
    EXPECT_EQ(helper_.FirmwareVersionText(), "1.2");
}

// A refused software version forgets the earlier identification: kept, it would make the next
// data file claim the earlier model with a version the loader refuses.
TEST_F(DaxHelperIdentify, ARefusedVersionForgetsAnEarlierIdentification)
{
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-01", {1, 0, 1, 0})));
    ASSERT_TRUE(helper_.Identify(nullptr, 1));
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-01", {1, 0, 2, 0})));
    EXPECT_FALSE(helper_.Identify(nullptr, 1));
    EXPECT_FALSE(helper_.Identified());
    EXPECT_EQ(helper_.Model(), -1);
    EXPECT_EQ(helper_.ModelText(), "");
    EXPECT_EQ(helper_.FirmwareVersionText(), "2.0");
    DaxHelper other;
    other.SetLogCallback([](const std::string&, TInteractContainer*) {});
    EXPECT_NO_THROW(other.LoadDataFileBytes(helper_.DataFileBytes()));
}

TEST_F(DaxHelperIdentify, FailedExchangeLeavesItUnidentifiedWithTheFailureText)
{
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-02", {1, 0, 1, 0})));
    ASSERT_TRUE(helper_.Identify(nullptr, 1));
    ASSERT_TRUE(helper_.Identified());
    chanel_.Queue(ScriptedReply::Failure("Канал не открыт"));
    chanel_.Queue(ScriptedReply::Failure("Канал не открыт"));
    EXPECT_EQ(FailureText([&] { helper_.Identify(nullptr, 2); }), "Канал не открыт");
    EXPECT_FALSE(helper_.Identified());
}

TEST_F(DaxHelperIdentify, AnswersToAnotherRequestFail)
{
    const Bytes cases[] = {
        // right length, wrong function
        [] {
            Bytes a = IdentificationAnswer("DAX-02", {1, 0, 1, 0});
            a[1] = 0x03;
            return WithCrc(Bytes(a.begin(), a.end() - 2));
        }(),
        // byte count longer than what came
        WithCrc({0x01, 0x11, 10, 'D', 'A', 'X'}),
    };
    for (const auto& answer : cases) {
        chanel_.Queue(ScriptedReply::Answer(answer));
        EXPECT_EQ(FailureText([&] { helper_.Identify(nullptr, 1); }), "Недопустимый ответ от прибора");
        EXPECT_FALSE(helper_.Identified());
    }
}

TEST_F(DaxHelperIdentify, TextsGoToTheChannelLogWhenNoSinkIsSet)
{
    std::vector<std::string> channelLog;
    chanel_.SetLogCallback([&](const std::string& text, TInteractContainer*) { channelLog.push_back(text); });
    helper_.SetLogCallback(nullptr);
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-07", {1, 0, 1, 0})));
    helper_.Identify(nullptr, 1);
    EXPECT_EQ(channelLog, (std::vector<std::string>{kModification}));

    // With its own sink (set before any channel), the channel's log gets nothing.
    DaxHelper other;
    std::vector<std::string> own;
    other.SetLogCallback([&](const std::string& text, TInteractContainer*) { own.push_back(text); });
    other.SetPacer(&pacer_);
    other.SetChannel(&chanel_);
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-07", {1, 0, 1, 0})));
    other.Identify(nullptr, 1);
    EXPECT_EQ(own, (std::vector<std::string>{kModification}));
    EXPECT_EQ(channelLog.size(), 1u);
}

TEST_F(DaxHelperIdentify, ResetReturnsToTheUnidentifiedState)
{
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-01", {3, 4, 1, 2})));
    ASSERT_TRUE(helper_.Identify(nullptr, 1));
    helper_.Reset();
    EXPECT_FALSE(helper_.Identified());
    EXPECT_EQ(helper_.Model(), -1);
    EXPECT_EQ(helper_.ModelText(), "");
    EXPECT_EQ(helper_.FirmwareVersionText(), "");
    EXPECT_EQ(helper_.ModificationText(), "");
    EXPECT_EQ(helper_.Version(), (std::array<uint8_t, 4>{}));
}

} // namespace

// The device frame's option passes over the bindings.
#include "presentation/ExchangeKinds.h"
#include "presentation/ExchangeOptions.h"
#include "presentation/FakeControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class ExchangeInfoOptions : public testing::Test {
protected:
    ExchangeInfoOptions()
    {
        exact_ = container_.Add(1, std::make_unique<ExactExchangeInfo>(Field(8), &exactEdit_, "%013.3f"));
        duration_ = container_.Add(1, std::make_unique<TotalTimeExchangeInfo>(Field(4), &durationEdit_, false));
        pressure_ = container_.Add(0, std::make_unique<PressureExchangeInfo>(Field(2), &pressureEdit_));
        temperature_ = container_.Add(0, std::make_unique<TemperatureExchangeInfo>(Field(2), &temperatureEdit_));
        word_ = container_.Add(3, std::make_unique<WordExchangeInfo>(Field(2), &wordEdit_, "%u"));
    }

    std::span<uint8_t> Field(size_t size)
    {
        fields_.push_back(std::make_unique<std::vector<uint8_t>>(size));
        return *fields_.back();
    }

    std::vector<std::unique_ptr<std::vector<uint8_t>>> fields_;
    FakeControl exactEdit_{ControlClass::TEdit, "V1Current"};
    FakeControl durationEdit_{ControlClass::TEdit, "CWSTime1"};
    FakeControl pressureEdit_{ControlClass::TEdit, "P1Current"};
    FakeControl temperatureEdit_{ControlClass::TEdit, "t1Current"};
    FakeControl wordEdit_{ControlClass::TEdit, "Du1"};
    ExchangeInfoContainer container_;
    ExactExchangeInfo* exact_;
    TotalTimeExchangeInfo* duration_;
    PressureExchangeInfo* pressure_;
    TemperatureExchangeInfo* temperature_;
    WordExchangeInfo* word_;
};

TEST_F(ExchangeInfoOptions, ApplyOptionsSetsSeparatorsCounterFormatAndDays)
{
    DisplayOptions options;
    options.AccuracyCounters = true;
    options.CommaSeparator = 1;
    options.TimeFormat = 1;
    ApplyOptions(container_, options, '.');
    EXPECT_EQ(exact_->Format(), "%016.6f");
    EXPECT_TRUE(duration_->DaysSwitch());
    for (const auto& entry : container_.Entries())
        EXPECT_EQ(entry.Binding->Separator(), ',');
    container_.Show(-1);
    EXPECT_EQ(exactEdit_.Text(), "000000000,000000");
    EXPECT_EQ(durationEdit_.Text(), "0-сут 00:00");
    EXPECT_EQ(temperatureEdit_.Text(), "0,00");
    EXPECT_EQ(temperature_->Format(), "%.2f") << "only counters change their format";

    options = DisplayOptions{};
    ApplyOptions(container_, options, ',');
    EXPECT_EQ(exact_->Format(), "%013.3f");
    EXPECT_FALSE(duration_->DaysSwitch());
    EXPECT_EQ(word_->SeparatorMode(), 0);
    EXPECT_EQ(word_->Separator(), ',') << "mode 0 takes the system's separator from the caller";
    options.CommaSeparator = 2;
    ApplyOptions(container_, options, ',');
    EXPECT_EQ(word_->Separator(), '.');
}

TEST_F(ExchangeInfoOptions, PressureUnits)
{
    SetPressureUnits(container_, 1);
    EXPECT_TRUE(pressure_->UnitSwitch());
    SetPressureUnits(container_, 0);
    EXPECT_FALSE(pressure_->UnitSwitch());
    SetPressureUnits(container_, 0x80);
    EXPECT_TRUE(pressure_->UnitSwitch());
}

TEST_F(ExchangeInfoOptions, AveragingOfOneGroup)
{
    EnableGroupAveraging(container_, 0, true);
    EXPECT_TRUE(pressure_->AveragingEnabled());
    EXPECT_TRUE(temperature_->AveragingEnabled());
    EXPECT_FALSE(word_->AveragingEnabled());
    (*fields_[3])[1] = 100; // 1.00 degree: a zero would restart every time
    container_.Show(0);
    container_.Show(0);
    EXPECT_EQ(temperature_->Vault().Count(), 2u);
    ResetGroupAveraging(container_, 3);
    EXPECT_EQ(temperature_->Vault().Count(), 2u);
    ResetGroupAveraging(container_, 0);
    EXPECT_EQ(temperature_->Vault().Count(), 0u);
    EnableGroupAveraging(container_, -1, true);
    EXPECT_TRUE(word_->AveragingEnabled());
    EnableGroupAveraging(container_, 0, false);
    EXPECT_FALSE(temperature_->AveragingEnabled());
    EXPECT_EQ(temperatureEdit_.Hint(), "");
}

} // namespace

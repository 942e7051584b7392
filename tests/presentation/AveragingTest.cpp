// Averaging of shown current values: the restart rule, the shown mean, the hint, and the
// same results as a recomputation over every sample.

#include "comm/Sysutil.h"
#include "presentation/ExchangeKinds.h"
#include "presentation/FakeControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// A temperature binding (hundredths of a degree, "%.2f") over its own register.
struct Temperature {
    Temperature()
    {
        binding.EnableAveraging(true);
    }
    void Show(int16_t hundredths)
    {
        field[0] = static_cast<uint8_t>(static_cast<uint16_t>(hundredths) >> 8);
        field[1] = static_cast<uint8_t>(hundredths);
        binding.Show();
    }

    std::vector<uint8_t> field = std::vector<uint8_t>(2);
    FakeControl edit{ControlClass::TEdit, "t1Current"};
    TemperatureExchangeInfo binding{field, &edit};
};

struct Word {
    Word() { binding.EnableAveraging(true); }
    void Show(uint16_t value)
    {
        field[0] = static_cast<uint8_t>(value >> 8);
        field[1] = static_cast<uint8_t>(value);
        binding.Show();
    }

    std::vector<uint8_t> field = std::vector<uint8_t>(2);
    FakeControl edit{ControlClass::TEdit, "Counter"};
    WordExchangeInfo binding{field, &edit, "%u"};
};

TEST(AveragingVault, MeanOfTheSeriesUntilAValueMovesMoreThanFivePercent)
{
    AveragingVault<float> vault;
    EXPECT_EQ(vault.Sample(100), 100.0f);
    EXPECT_EQ(vault.Sample(104), 102.0f);
    EXPECT_EQ(vault.Sample(103), static_cast<float>(307.0 / 3));
    EXPECT_EQ(vault.Count(), 3u);
    EXPECT_EQ(vault.Sample(110), 110.0f) << "110 / 102.33 = 1.075 restarts";
    EXPECT_EQ(vault.Count(), 1u);
    EXPECT_EQ(vault.Spread(), 0.0);
}

TEST(AveragingVault, RestartRule)
{
    struct Case {
        double average;
        double value;
        bool restarts;
    };
    const Case cases[] = {
        {100, 105, false}, // exactly 1.05
        {100, 105.01, true},
        {105, 100, false},
        {105.01, 100, true},
        {100, 0, true},
        {0, 5, true},
        {0, 0, true},
        {-10, 10, false}, // same size, opposite sign: kept as specified
        {-100, -104, false},
        {-100, -106, true},
        {100, 96, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AveragingRestarts(c.average, c.value), c.restarts) << c.average << " → " << c.value;
}

TEST(AveragingVault, OppositeSignMovesTheAverageTowardZero)
{
    AveragingVault<float> vault;
    vault.Sample(-10);
    EXPECT_EQ(vault.Sample(10), 0.0f);
    EXPECT_EQ(vault.Count(), 2u);
    EXPECT_EQ(vault.Spread(), 200.0) << "never negative: (10 - -10) / |-10|";
}

TEST(AveragingVault, ZeroRestartsAndSoDoesTheNextValue)
{
    AveragingVault<uint16_t> vault;
    vault.Sample(100);
    vault.Sample(101);
    EXPECT_EQ(vault.Sample(0), 0);
    EXPECT_EQ(vault.Count(), 1u);
    EXPECT_EQ(vault.Spread(), 0.0) << "a minimum of 0 gives no spread";
    EXPECT_EQ(vault.Sample(100), 100);
    EXPECT_EQ(vault.Count(), 1u);
}

TEST(AveragingVault, ResetKeepsTheAverage)
{
    AveragingVault<float> vault;
    vault.Sample(50);
    vault.Reset();
    EXPECT_EQ(vault.Count(), 0u);
    EXPECT_EQ(vault.Average(), 50.0f);
    EXPECT_EQ(vault.Sample(51), 51.0f);
    EXPECT_EQ(vault.Count(), 1u);
}

TEST(AveragingBindings, TemperatureShowsTheMeanAndItsStatistics)
{
    Temperature t;
    t.Show(2010);
    t.Show(2030);
    t.Show(2020);
    EXPECT_EQ(t.edit.Text(), "20.20");
    EXPECT_EQ(t.edit.Hint(), "Значений - 3\nРазброс - 1.00 %\nМаксимальное - 20.30\nМинимальное - 20.10");
    EXPECT_TRUE(t.edit.HintShown());
}

TEST(AveragingBindings, SequenceWithRestart)
{
    Temperature t;
    const std::pair<int16_t, const char*> shows[] = {
        {10000, "100.00"}, {10400, "102.00"}, {10300, "102.33"}, {11000, "110.00"}};
    for (const auto& [value, text] : shows) {
        t.Show(value);
        EXPECT_EQ(t.edit.Text(), text) << value;
    }
    EXPECT_EQ(t.edit.Hint(), "Значений - 1\nРазброс - 0.00 %\nМаксимальное - 110.00\nМинимальное - 110.00");
}

TEST(AveragingBindings, WordsTruncateTheMean)
{
    Word w;
    w.Show(100);
    w.Show(101);
    EXPECT_EQ(w.edit.Text(), "100");
    EXPECT_EQ(w.edit.Hint(), "Значений - 2\nРазброс - 1.00 %\nМаксимальное - 101\nМинимальное - 100");
    w.Show(107);
    EXPECT_EQ(w.edit.Text(), "107");
    EXPECT_EQ(w.binding.Vault().Count(), 1u);
}

TEST(AveragingBindings, HintKeepsThePointWhateverTheSeparator)
{
    Temperature t;
    t.binding.SetSeparatorMode(1);
    t.Show(2010);
    EXPECT_EQ(t.edit.Text(), "20,10");
    EXPECT_EQ(t.edit.Hint(), "Значений - 1\nРазброс - 0.00 %\nМаксимальное - 20.10\nМинимальное - 20.10");
}

TEST(AveragingBindings, SwitchingOffClearsTheHintAndShowsTheValueRead)
{
    Temperature t;
    t.Show(2010);
    t.Show(2030);
    t.binding.EnableAveraging(false);
    EXPECT_EQ(t.edit.Hint(), "");
    EXPECT_FALSE(t.edit.HintShown());
    t.Show(2030);
    EXPECT_EQ(t.edit.Text(), "20.30");
    EXPECT_EQ(t.edit.Hint(), "");

    t.binding.EnableAveraging(true);
    t.Show(2040);
    EXPECT_EQ(t.edit.Text(), "20.40") << "switching on starts an empty series";
    EXPECT_EQ(t.binding.Vault().Count(), 1u);
}

TEST(AveragingBindings, AfterAResetTheNextShowHasCountOne)
{
    Temperature t;
    t.Show(2010);
    t.Show(2030);
    t.binding.ResetAveraging();
    t.Show(2030);
    EXPECT_EQ(t.edit.Text(), "20.30");
    EXPECT_EQ(t.binding.Vault().Count(), 1u);
}

TEST(AveragingBindings, OtherKindsIgnoreAveraging)
{
    std::vector<uint8_t> field = {0x00, 0x05};
    FakeControl edit(ControlClass::TEdit, "Edit");
    ShortExchangeInfo binding(field, &edit, "%d");
    binding.EnableAveraging(true);
    binding.Show();
    binding.ResetAveraging();
    EXPECT_EQ(edit.Text(), "5");
    EXPECT_EQ(edit.Hint(), "");
}

// ---------------------------------------------------------------------------------------
// The running statistics against a recomputation over every sample.

template <typename T>
struct NaiveAveraging {
    std::vector<T> samples;
    T average = 0;

    T Sample(T v)
    {
        if (AveragingRestarts(average, v))
            samples.clear();
        samples.push_back(v);
        double sum = 0;
        for (const T s : samples)
            sum += s;
        average = static_cast<T>(sum / static_cast<double>(samples.size()));
        return average;
    }

    std::string Hint(const char* format) const
    {
        double maximum = samples.front(), minimum = samples.front();
        for (const T s : samples) {
            maximum = std::max<double>(maximum, s);
            minimum = std::min<double>(minimum, s);
        }
        const double spread = minimum == 0 ? 0 : (maximum - minimum) / std::fabs(minimum) * 100;
        const auto formatted = [format](double value) {
            if constexpr (std::is_same_v<T, float>)
                return FormatFloat(format, value);
            else
                return FormatInt(format, static_cast<uint16_t>(value));
        };
        return FormatText("Значений - %u\nРазброс - %.2f %%\n", static_cast<unsigned>(samples.size()), spread) +
               "Максимальное - " + formatted(maximum) + "\nМинимальное - " + formatted(minimum);
    }
};

TEST(AveragingBindings, LongRandomSequencesMatchARecomputation)
{
    std::mt19937 random(4103);
    std::uniform_real_distribution<double> step(-0.03, 0.03);
    std::uniform_int_distribution<int> event(0, 199);

    Temperature t;
    NaiveAveraging<float> naiveFloat;
    double level = 2000;
    for (int i = 0; i < 20000; ++i) {
        const int e = event(random);
        if (e == 0)
            level = -level; // a change of sign
        else if (e == 1)
            level = 0;
        else if (e < 5 || level == 0)
            level = std::uniform_real_distribution<double>(-30000, 30000)(random);
        else
            level = std::clamp(level * (1 + step(random)), -32768.0, 32767.0);
        const auto raw = static_cast<int16_t>(std::lround(level));
        t.Show(raw);
        const float expected = naiveFloat.Sample(static_cast<float>(raw * 0.01));
        ASSERT_EQ(t.edit.Text(), FormatFloat("%.2f", expected)) << "show " << i;
        ASSERT_EQ(t.edit.Hint(), naiveFloat.Hint("%.2f")) << "show " << i;
    }

    Word w;
    NaiveAveraging<uint16_t> naiveWord;
    double wordLevel = 30000;
    for (int i = 0; i < 20000; ++i) {
        const int e = event(random);
        if (e == 1)
            wordLevel = 0;
        else if (e < 5 || wordLevel < 1)
            wordLevel = std::uniform_real_distribution<double>(1, 65535)(random);
        else
            wordLevel = std::clamp(wordLevel * (1 + step(random)), 0.0, 65535.0);
        const auto raw = static_cast<uint16_t>(std::lround(wordLevel));
        w.Show(raw);
        ASSERT_EQ(w.edit.Text(), FormatInt("%u", naiveWord.Sample(raw))) << "show " << i;
        ASSERT_EQ(w.edit.Hint(), naiveWord.Hint("%u")) << "show " << i;
    }
}

} // namespace

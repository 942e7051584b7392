// The heat-system setup page on real widgets: the free configuration's pipe limits, the
// formula line and the hot-water line of every kind of scheme, and the scheme list's colours.

#include "app/DaxSetupTSFrame.h"

#include <QBrush>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

class SetupPage {
public:
    explicit SetupPage(int heatSystem) { page_.SetHeatSystem(heatSystem); }

    QComboBox* Scheme() const { return Find<QComboBox>("SchemeComboBox"); }
    QSpinBox* Direct() const { return Find<QSpinBox>("DirectPipe"); }
    QSpinBox* Reverse() const { return Find<QSpinBox>("ReversePipe"); }
    QSpinBox* MakeUp() const { return Find<QSpinBox>("SupplyPipe"); }
    std::string Formula() const { return Find<QLineEdit>("QFormula")->text().toStdString(); }
    bool HotWaterShown() const { return !Find<QLineEdit>("QgvsFormula")->isHidden(); }
    bool PipesShown() const { return !Find<QGroupBox>("ConfigurationGroupBox")->isHidden(); }
    std::vector<int> Counts() const { return {Direct()->value(), Reverse()->value(), MakeUp()->value()}; }

    // The counts set while no free configuration is chosen, then the scheme.
    void Choose(int index, int direct, int reverse, int makeUp)
    {
        Scheme()->setCurrentIndex(0);
        Direct()->setValue(direct);
        Reverse()->setValue(reverse);
        MakeUp()->setValue(makeUp);
        Scheme()->setCurrentIndex(index);
    }

private:
    template <typename T>
    T* Find(const char* name) const
    {
        T* widget = page_.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    TDax_SetupTSFrame page_;
};

struct PipeStep {
    const char* Spin; // "D", "R" or "S"
    int Value;
};

struct PipeLimitCase {
    const char* Name;
    std::vector<int> Start; // D, R, S before the free configuration is chosen
    std::vector<PipeStep> Steps;
    std::vector<int> Expected;
};

void PrintTo(const PipeLimitCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PipeLimits : public testing::TestWithParam<PipeLimitCase> {};

TEST_P(PipeLimits, KeepFivePipesWithoutTouchingTheSupplyCount)
{
    const PipeLimitCase& c = GetParam();
    SetupPage page(0);
    page.Choose(24, c.Start[0], c.Start[1], c.Start[2]);
    for (const PipeStep& step : c.Steps) {
        QSpinBox* spin = std::string(step.Spin) == "D" ? page.Direct() : std::string(step.Spin) == "R" ? page.Reverse()
                                                                                                        : page.MakeUp();
        spin->setValue(step.Value);
    }
    EXPECT_EQ(page.Counts(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PipeLimits,
    testing::Values(PipeLimitCase{"FiveSupplyPipesLeaveNoRoom", {1, 2, 2}, {{"D", 5}}, {5, 0, 0}},
                    PipeLimitCase{"FourReturnPipesTakeTheMakeUpPipesRoom", {1, 0, 3}, {{"R", 4}}, {1, 4, 0}},
                    PipeLimitCase{"TwoReturnPipesTypedAfterThreeSupply", {1, 0, 2}, {{"D", 3}, {"R", 2}}, {3, 2, 0}},
                    PipeLimitCase{"TooManyPipesAtTheChoiceOfTheFreeConfiguration", {4, 4, 4}, {}, {4, 1, 0}},
                    PipeLimitCase{"CountsWithinTheLimitStay", {2, 2, 1}, {{"S", 1}}, {2, 2, 1}},
                    PipeLimitCase{"AMakeUpPipeTooManyIsCut", {2, 2, 0}, {{"S", 3}}, {2, 2, 1}}));

TEST(SetupPage, ACountChangedUnderAnotherSchemeChangesNothing)
{
    SetupPage page(0);
    page.Choose(1, 1, 0, 0);
    const std::string formula = page.Formula();
    page.Direct()->setValue(5);
    page.Reverse()->setValue(4);
    page.MakeUp()->setValue(4);
    EXPECT_EQ(page.Counts(), (std::vector<int>{5, 4, 4}));
    EXPECT_EQ(page.Formula(), formula);
    EXPECT_FALSE(page.PipesShown());
}

struct FormulaCase {
    int HeatSystem;
    int Index;
    std::vector<int> Pipes; // D, R, S
    const char* Formula;
    bool HotWater;
    bool PipeBox = false;
};

void PrintTo(const FormulaCase& c, std::ostream* out)
{
    *out << "heat system " << c.HeatSystem + 1 << ", scheme " << c.Index << ", pipes " << c.Pipes[0] << c.Pipes[1]
         << c.Pipes[2];
}

class Formulas : public testing::TestWithParam<FormulaCase> {};

TEST_P(Formulas, FollowTheSchemeAndThePipeCounts)
{
    const FormulaCase& c = GetParam();
    SetupPage page(c.HeatSystem);
    page.Choose(c.Index, c.Pipes[0], c.Pipes[1], c.Pipes[2]);
    EXPECT_EQ(page.Formula(), c.Formula);
    EXPECT_EQ(page.HotWaterShown(), c.HotWater);
    EXPECT_EQ(page.PipesShown(), c.PipeBox);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Formulas,
    testing::Values(FormulaCase{0, 24, {2, 1, 1}, "Q = M1·h1+M2·h2-M3·h3-M4·hх", false, true},
                    FormulaCase{0, 24, {1, 0, 0}, "Q = M1·h1", false, true},
                    FormulaCase{0, 24, {1, 0, 4}, "Q = M1·h1-M2·hх-M3·hх-M4·hх-M5·hх", false, true},
                    FormulaCase{0, 24, {3, 2, 0}, "Q = M1·h1+M2·h2+M3·h3-M4·h4-M5·h5", false, true},
                    FormulaCase{1, 24, {2, 1, 1}, "Q = 0", false, false},
                    FormulaCase{0, 0, {1, 0, 0}, "Q = 0", false, false},
                    FormulaCase{0, 1, {1, 0, 0}, "Q = M1(h1-h2)", false, false},
                    FormulaCase{1, 1, {1, 0, 0}, "Q = M3(h3-h4)", false, false},
                    FormulaCase{0, 8, {1, 0, 0}, "Q = 0", false, false},
                    FormulaCase{0, 9, {1, 0, 0}, "Q = M1(h1-h2)+M5(h2-hх)", true, false},
                    FormulaCase{0, 10, {1, 0, 0}, "Q = M2(h1-h2)+M5(h1-hх)", true, false},
                    FormulaCase{1, 9, {1, 0, 0}, "Q = M3(h3-h4)+M5(h4-hх)", true, false},
                    FormulaCase{1, 10, {1, 0, 0}, "Q = M4(h3-h4)+M5(h3-hх)", true, false},
                    FormulaCase{0, 19, {1, 0, 0}, "Q = M1·h1-M2·h2-M3·h4", false, false},
                    FormulaCase{1, 19, {1, 0, 0}, "Q = 0", false, false},
                    FormulaCase{1, 28, {1, 0, 0}, "Q = M3(h3-hх)-M4(h4-hх)+M5(h4-hх)", false, false}));

TEST(SetupPage, NoSchemeChosenEmptiesTheFormula)
{
    SetupPage page(0);
    page.Choose(9, 1, 0, 0);
    ASSERT_TRUE(page.HotWaterShown());
    page.Scheme()->setCurrentIndex(-1);
    EXPECT_EQ(page.Formula(), "");
    EXPECT_FALSE(page.HotWaterShown());
}

// The free configuration has no hot-water part: the line of the scheme before goes.
TEST(SetupPage, TheHotWaterLineGoesWithTheFreeConfiguration)
{
    SetupPage page(0);
    page.Scheme()->setCurrentIndex(9);
    ASSERT_TRUE(page.HotWaterShown());
    page.Scheme()->setCurrentIndex(24);
    EXPECT_FALSE(page.HotWaterShown());
    EXPECT_TRUE(page.PipesShown());
    page.Scheme()->setCurrentIndex(10);
    EXPECT_TRUE(page.HotWaterShown());
    EXPECT_FALSE(page.PipesShown());
}

TEST(SetupPage, TheSchemeListShowsItsGroupsInTurnAquaAndWindowColoured)
{
    // Groups: "Не использ.", "1.x", "2.x", "3.x", "4.x", "5.x", "6.x".
    const std::vector<int> aqua = {1, 2, 3, 4, 11, 12, 13, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    for (int heatSystem : {0, 1}) {
        SetupPage page(heatSystem);
        const QColor window = page.Scheme()->palette().color(QPalette::Base);
        ASSERT_EQ(page.Scheme()->count(), 29);
        for (int index = 0; index < 29; ++index) {
            const bool isAqua = std::find(aqua.begin(), aqua.end(), index) != aqua.end();
            const QColor shown = page.Scheme()->itemData(index, Qt::BackgroundRole).value<QBrush>().color();
            EXPECT_EQ(shown, isAqua ? QColor(0, 255, 255) : window)
                << "heat system " << heatSystem + 1 << ", item " << index;
        }
        EXPECT_EQ(page.Scheme()->itemText(24).toStdString(), "5.9");
    }
}

} // namespace

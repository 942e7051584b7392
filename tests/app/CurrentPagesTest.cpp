// The current-value pages laid out by scheme on real widgets, with crafted heat-system
// records: which boxes and rows a scheme shows, how the channel boxes close up on the design
// places, the captions of the difference rows and the outer box fitted to what is shown.

#include "app/DaxCurrentGeneralParamFrame.h"
#include "app/DaxCurrentTSParamFrame.h"
#include "app/DaxNotStaffTSFrame.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

HeatSystemConfig Record(uint8_t system, uint8_t scheme, uint8_t air = 5, uint8_t control = 5)
{
    HeatSystemConfig config;
    config.System = system;
    config.SchemeIndex = scheme;
    config.AirChannel = air;
    config.ControlChannel = control;
    return config;
}

QGroupBox* BoxOf(const QWidget& frame, const std::string& name)
{
    auto* box = frame.findChild<QGroupBox*>(QString::fromStdString(name));
    EXPECT_NE(box, nullptr) << name;
    return box;
}

bool Shown(const QWidget& frame, const std::string& name)
{
    const auto* widget = frame.findChild<QWidget*>(QString::fromStdString(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget != nullptr && !widget->isHidden();
}

std::string LabelText(const QWidget& frame, const std::string& name)
{
    const auto* label = frame.findChild<QLabel*>(QString::fromStdString(name));
    EXPECT_NE(label, nullptr) << name;
    return label != nullptr ? label->text().toStdString() : std::string();
}

// The boxes shown inside the outer box, by name.
std::vector<std::string> ShownBoxes(const QWidget& frame)
{
    std::vector<std::string> names;
    for (const QGroupBox* box : BoxOf(frame, "TSGroupBox")->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        if (!box->isHidden())
            names.push_back(box->objectName().toStdString());
    return names;
}

// The box's whole title fits inside it, as its style draws it.
void ExpectTitleFits(const QGroupBox* box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    EXPECT_GE(label.width(), box->fontMetrics().horizontalAdvance(box->title())) << box->title().toStdString();
    EXPECT_LE(label.right(), box->width() - 1) << box->title().toStdString();
}

// The outer box reaches just past the shown boxes, by the margin, or as far as its own title
// needs when that is further.
void ExpectOuterFits(const QWidget& frame, int margin, const std::string& outerName = "TSGroupBox")
{
    const QGroupBox* outer = BoxOf(frame, outerName);
    int right = 0;
    int bottom = 0;
    for (const QGroupBox* box : outer->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        if (box->isHidden())
            continue;
        right = std::max(right, box->x() + box->width());
        bottom = std::max(bottom, box->y() + box->height());
    }
    EXPECT_EQ(outer->width(), std::max(right + margin, outer->minimumSizeHint().width()));
    EXPECT_EQ(outer->height(), bottom + margin);
    ExpectTitleFits(outer);
}

// Every box's place and visibility.
std::map<std::string, std::pair<QRect, bool>> Geometry(const QWidget& frame)
{
    std::map<std::string, std::pair<QRect, bool>> geometry;
    for (const QGroupBox* box : frame.findChildren<QGroupBox*>())
        geometry[box->objectName().toStdString()] = {box->geometry(), box->isHidden()};
    return geometry;
}

// The lowest bottom edge of the named boxes that are shown; none when none is.
std::optional<int> LowestBottom(const QWidget& frame, const std::vector<std::string>& names)
{
    std::optional<int> bottom;
    for (const std::string& name : names) {
        const QGroupBox* box = BoxOf(frame, name);
        if (!box->isHidden())
            bottom = std::max(bottom.value_or(0), box->geometry().bottom());
    }
    return bottom;
}

const std::vector<std::string> kTopRowBoxes = {"QW1GroupBox", "QW2GroupBox", "TS1Params", "TS2Params", "TSOffGroupBox"};
const std::vector<std::string> kChanelBoxes = {"GroupBoxChanel1", "GroupBoxChanel2", "GroupBoxChanel3",
                                               "GroupBoxChanel4", "GroupBoxChanel5"};
const std::vector<std::string> kBottomRowBoxes = {"TS1TimeGroupBox", "TS2TimeGroupBox", "GroupBoxCW", "Air1GroupBox",
                                                  "Air2GroupBox"};

class CurrentTSPage : public testing::Test {
protected:
    void SetUp() override
    {
        first.SetHeatSystem(0);
        second.SetHeatSystem(1);
        for (int n = 1; n <= 5; ++n)
            design.push_back(BoxOf(first, "GroupBoxChanel" + std::to_string(n))->pos());
        margin = BoxOf(first, "QW1GroupBox")->x();
        gap = design[0].y() - 1 - *LowestBottom(first, {"QW1GroupBox", "TS1Params"});
    }

    // The channels stand the design gap below the lowest box of the first row shown, on the
    // design places moved by as much.
    QPoint ChanelPlace(const QWidget& frame, size_t place) const
    {
        const int top = *LowestBottom(frame, kTopRowBoxes) + 1 + gap;
        return {design[place].x(), top + design[place].y() - design[0].y()};
    }

    // The times, cold water and air stand the design gap below the lowest channel shown, or
    // on the first channel place when none is.
    int BottomRowTop(const QWidget& frame) const
    {
        const std::optional<int> chanels = LowestBottom(frame, kChanelBoxes);
        return chanels ? *chanels + 1 + gap : ChanelPlace(frame, 0).y();
    }

    TDax_CurrentTSParamFrame first;
    TDax_CurrentTSParamFrame second;
    std::vector<QPoint> design; // the channel boxes' design places
    int margin = 0;
    int gap = 0; // between the rows of boxes in the design
};

TEST_F(CurrentTSPage, NoSchemeShowsOnlyTheNotUsedBox)
{
    first.ApplyScheme(Record(0, 0));
    second.ApplyScheme(Record(1, 0));
    EXPECT_EQ(ShownBoxes(first), std::vector<std::string>{"TSOffGroupBox"});
    EXPECT_EQ(ShownBoxes(second), std::vector<std::string>{"TSOffGroupBox"});
    ExpectOuterFits(first, margin);
    ExpectOuterFits(second, margin);

    TDax_NotStaffTSParamFrame counters;
    counters.SetHeatSystem(1);
    const int countersMargin = BoxOf(counters, "TimeGroupBox")->x();
    counters.ApplyScheme(Record(1, 0));
    EXPECT_EQ(ShownBoxes(counters), std::vector<std::string>{"TSOffGroupBox"});
    ExpectOuterFits(counters, countersMargin);
    EXPECT_EQ(BoxOf(counters, "TSOffGroupBox")->pos(), BoxOf(counters, "TimeGroupBox")->pos());
}

TEST_F(CurrentTSPage, TheCountersShowEnergiesOnlyForSchemesThatComputeThem)
{
    TDax_NotStaffTSParamFrame counters;
    counters.SetHeatSystem(0);
    counters.ApplyScheme(Record(0, 8)); // "2.4": volumes only
    EXPECT_EQ(ShownBoxes(counters), std::vector<std::string>{"TimeGroupBox"});
    counters.ApplyScheme(Record(0, 1));
    EXPECT_EQ(ShownBoxes(counters), (std::vector<std::string>{"QGroupBox", "TimeGroupBox"}));
    ExpectOuterFits(counters, BoxOf(counters, "TimeGroupBox")->x());
    // A record of the other heat system changes nothing.
    counters.ApplyScheme(Record(1, 0));
    EXPECT_EQ(ShownBoxes(counters), (std::vector<std::string>{"QGroupBox", "TimeGroupBox"}));
}

TEST_F(CurrentTSPage, TheControlChannelShowsItsBoxWithoutAPointOfTheScheme)
{
    first.ApplyScheme(Record(0, 12, 5, 2)); // "3.2": t2, P2, V2; control channel t3
    EXPECT_FALSE(Shown(first, "GroupBoxChanel1"));
    EXPECT_TRUE(Shown(first, "GroupBoxChanel2"));
    EXPECT_TRUE(Shown(first, "GroupBoxChanel3"));
    EXPECT_EQ(BoxOf(first, "GroupBoxChanel2")->pos(), ChanelPlace(first, 0));
    EXPECT_EQ(BoxOf(first, "GroupBoxChanel3")->pos(), ChanelPlace(first, 1));
    EXPECT_TRUE(Shown(first, "t3Current"));
    EXPECT_FALSE(Shown(first, "V3Current"));
    EXPECT_FALSE(Shown(first, "P3Current"));
    EXPECT_TRUE(Shown(first, "V2Current") && Shown(first, "Gv2CurrentLabel") && Shown(first, "M2Current"));
    EXPECT_FALSE(Shown(first, "t1Current"));
    ExpectOuterFits(first, margin);
}

TEST_F(CurrentTSPage, UsedChannelsCloseUpInTheirOrder)
{
    second.ApplyScheme(Record(1, 9, 5, 5)); // heat system 2, "2.5": channels 3, 4 and 5
    std::vector<std::string> channels;
    for (int n = 1; n <= 5; ++n)
        if (Shown(second, "GroupBoxChanel" + std::to_string(n)))
            channels.push_back("GroupBoxChanel" + std::to_string(n));
    ASSERT_EQ(channels, (std::vector<std::string>{"GroupBoxChanel3", "GroupBoxChanel4", "GroupBoxChanel5"}));
    for (size_t place = 0; place < channels.size(); ++place)
        EXPECT_EQ(BoxOf(second, channels[place])->pos(), ChanelPlace(second, place)) << channels[place];
}

struct DifferenceCase {
    uint8_t System;
    uint8_t Scheme;
    bool Shown;
    const char* Amount;
    const char* Flow;
};

TEST_F(CurrentTSPage, DifferenceRowsOfMassesOrVolumes)
{
    const DifferenceCase cases[] = {
        {0, 8, true, "dV (м³)", "dGv (м³/ч)"},  // "2.4" of heat system 1: V1-V2
        {1, 8, true, "dV (м³)", "dGv (м³/ч)"},  // "2.4" of heat system 2: V3-V4
        {0, 3, true, "dM (т)", "dGm (т/ч)"},    // "1.3": M1-M2
        {0, 1, false, "dM (т)", "dGm (т/ч)"},   // "1.1": no difference
    };
    for (const DifferenceCase& c : cases) {
        TDax_CurrentTSParamFrame& frame = c.System == 0 ? first : second;
        frame.ApplyScheme(Record(c.System, c.Scheme));
        const std::string h = std::to_string(c.System + 1);
        EXPECT_EQ(Shown(frame, "dM" + h + "Current"), c.Shown) << int(c.Scheme);
        EXPECT_EQ(Shown(frame, "dGm" + h + "CurrentLabel"), c.Shown) << int(c.Scheme);
        EXPECT_EQ(LabelText(frame, "dM" + h + "CurrentLabel"), c.Amount) << int(c.Scheme);
        EXPECT_EQ(LabelText(frame, "dGm" + h + "CurrentLabel"), c.Flow) << int(c.Scheme);
    }
}

TEST_F(CurrentTSPage, HotWaterRowsAndTemperatureDifferencesFollowTheScheme)
{
    first.ApplyScheme(Record(0, 9)); // "2.5": hot-water part, t1-t2
    for (const char* row : {"Q1oCurrent", "W1oCurrentLabel", "Q1gvsCurrent", "W1gvsCurrent", "dt1Current", "dP1Current"})
        EXPECT_TRUE(Shown(first, row)) << row;
    EXPECT_TRUE(Shown(first, "QW1GroupBox"));
    EXPECT_TRUE(Shown(first, "GroupBoxCW"));
    first.ApplyScheme(Record(0, 12)); // "3.2": no hot water, no differences
    for (const char* row : {"Q1oCurrent", "W1oCurrentLabel", "Q1gvsCurrent", "W1gvsCurrent", "dt1Current", "dP1CurrentLabel"})
        EXPECT_FALSE(Shown(first, row)) << row;
    EXPECT_TRUE(Shown(first, "Q1Current"));
}

TEST_F(CurrentTSPage, WithoutHeatEnergyTheParametersTakeTheEnergiesPlace)
{
    const QPoint energies = BoxOf(first, "QW1GroupBox")->pos();
    first.ApplyScheme(Record(0, 8)); // "2.4": no heat energy
    EXPECT_FALSE(Shown(first, "QW1GroupBox"));
    EXPECT_TRUE(Shown(first, "TS1Params"));
    EXPECT_EQ(BoxOf(first, "TS1Params")->pos(), energies);
    first.ApplyScheme(Record(0, 1));
    EXPECT_TRUE(Shown(first, "QW1GroupBox"));
    EXPECT_NE(BoxOf(first, "TS1Params")->pos(), energies);
    ExpectOuterFits(first, margin);
}

TEST_F(CurrentTSPage, AirAndColdWaterBoxes)
{
    const QPoint airDesign = BoxOf(first, "Air1GroupBox")->pos();
    const QPoint coldWaterDesign = BoxOf(first, "GroupBoxCW")->pos();
    EXPECT_EQ(BoxOf(second, "Air2GroupBox")->pos(), airDesign);

    // Across, the boxes keep the design places; down, they follow the channels shown.
    first.ApplyScheme(Record(0, 1, 4)); // "1.1" without cold water, air on t5
    EXPECT_FALSE(Shown(first, "GroupBoxCW"));
    EXPECT_TRUE(Shown(first, "Air1GroupBox"));
    EXPECT_EQ(BoxOf(first, "Air1GroupBox")->pos(), QPoint(coldWaterDesign.x(), BottomRowTop(first)));
    first.ApplyScheme(Record(0, 9, 4)); // "2.5" with cold water
    EXPECT_TRUE(Shown(first, "GroupBoxCW"));
    EXPECT_EQ(BoxOf(first, "Air1GroupBox")->pos(), QPoint(airDesign.x(), BottomRowTop(first)));
    first.ApplyScheme(Record(0, 9, 5)); // no air channel
    EXPECT_FALSE(Shown(first, "Air1GroupBox"));

    second.ApplyScheme(Record(1, 1, 0)); // heat system 2 without cold water: its air box stays
    EXPECT_FALSE(Shown(second, "GroupBoxCW"));
    EXPECT_TRUE(Shown(second, "Air2GroupBox"));
    EXPECT_FALSE(Shown(second, "Air1GroupBox"));
    EXPECT_EQ(BoxOf(second, "Air2GroupBox")->pos(), QPoint(airDesign.x(), BottomRowTop(second)));
    ExpectOuterFits(second, margin);
}

// The energies and the parameters close around the rows a scheme shows, and what stands
// below them follows: no box keeps the room of rows the scheme hides.
TEST_F(CurrentTSPage, TheBoxesCloseAroundTheRowsShown)
{
    struct Case {
        uint8_t System;
        uint8_t Scheme;
        uint8_t Air;
    };
    const Case cases[] = {
        {0, 9, 4},  // "2.5": hot water, dt and dP, cold water, air
        {0, 12, 5}, // "3.2": no hot water, no differences
        {0, 8, 5},  // "2.4": no heat energy, volume differences
        {0, 1, 4},  // "1.1": two channels, no cold water
        {1, 9, 0},  // heat system 2, "2.5": channels 3 to 5
        {0, 0, 5},  // no scheme
    };
    for (const Case& c : cases) {
        TDax_CurrentTSParamFrame& frame = c.System == 0 ? first : second;
        frame.ApplyScheme(Record(c.System, c.Scheme, c.Air));
        frame.show();
        QApplication::processEvents();
        const std::string trace = "heat system " + std::to_string(c.System + 1) + ", scheme " + std::to_string(c.Scheme);

        for (const char* name : {"QW1GroupBox", "QW2GroupBox", "TS1Params", "TS2Params"}) {
            const QGroupBox* box = BoxOf(frame, name);
            if (box->isHidden())
                continue;
            int lastRow = 0;
            for (const QWidget* row : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!row->isHidden())
                    lastRow = std::max(lastRow, row->geometry().bottom());
            // Below the last row: the layout's margin and the box's frame, nothing more.
            const int below = box->height() - 1 - lastRow;
            const int edge = box->height() - 1 - box->contentsRect().bottom();
            EXPECT_GE(below, 0) << trace << " " << name;
            EXPECT_LE(below, box->layout()->contentsMargins().bottom() + edge + 1) << trace << " " << name;
        }
        size_t place = 0;
        for (const std::string& name : kChanelBoxes) {
            if (Shown(frame, name)) {
                EXPECT_EQ(BoxOf(frame, name)->pos(), ChanelPlace(frame, place++)) << trace << " " << name;
            }
        }
        for (const std::string& name : kBottomRowBoxes) {
            if (Shown(frame, name)) {
                EXPECT_EQ(BoxOf(frame, name)->y(), BottomRowTop(frame)) << trace << " " << name;
            }
        }
        ExpectOuterFits(frame, margin);
        frame.hide();
    }
}

TEST_F(CurrentTSPage, TheSameRecordGivesTheSamePageAndTheOtherHeatSystemsNothing)
{
    const HeatSystemConfig records[] = {Record(0, 12, 4, 2), Record(0, 0), Record(0, 24), Record(0, 9, 4, 1)};
    for (const HeatSystemConfig& record : records) {
        first.ApplyScheme(record);
        const auto once = Geometry(first);
        const QSize outer = BoxOf(first, "TSGroupBox")->size();
        first.ApplyScheme(record);
        EXPECT_EQ(Geometry(first), once) << int(record.SchemeIndex);
        EXPECT_EQ(BoxOf(first, "TSGroupBox")->size(), outer);
        first.ApplyScheme(Record(1, 5));
        EXPECT_EQ(Geometry(first), once) << int(record.SchemeIndex);
    }
}

TEST_F(CurrentTSPage, TheFreeConfigurationShowsThePipesOfItsCounts)
{
    HeatSystemConfig record = Record(0, 24);
    record.DirectPipes = 2;
    record.ReversePipes = 1;
    record.MakeUpPipes = 0;
    first.ApplyScheme(record);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(Shown(first, "GroupBoxChanel" + std::to_string(n)), n <= 3) << n;
    EXPECT_TRUE(Shown(first, "M3Current"));
    EXPECT_FALSE(Shown(first, "GroupBoxCW"));
    EXPECT_EQ(LabelText(first, "dM1CurrentLabel"), "dM (т)");
}

TEST(CurrentGeneralPage, SwitchedOnColdWaterChannelsCloseUp)
{
    TDax_CurrentGeneralParamFrame frame;
    frame.SetUp();
    std::vector<QPoint> design;
    for (int n = 1; n <= 6; ++n)
        design.push_back(BoxOf(frame, "GroupBoxChanel" + std::to_string(n))->pos());

    HeatSystemConfig record = Record(0, 1);
    record.ColdWaterSetup = {1, 0, 2, 0, 0, 1};
    record.GeneralSetting = 0;
    frame.LayoutChannels(record);
    const int shownBoxes[] = {1, 3, 6};
    for (int n = 1; n <= 6; ++n) {
        const std::string box = "GroupBoxChanel" + std::to_string(n);
        const bool shown = n == 1 || n == 3 || n == 6;
        EXPECT_EQ(Shown(frame, box), shown) << box;
        if (shown) {
            EXPECT_EQ(Shown(frame, "P" + std::to_string(n) + "Current"), n == 3) << box;
        }
    }
    for (size_t place = 0; place < 3; ++place)
        EXPECT_EQ(BoxOf(frame, "GroupBoxChanel" + std::to_string(shownBoxes[place]))->pos(), design[place]);
    EXPECT_FALSE(Shown(frame, "Q3Current"));
    EXPECT_FALSE(Shown(frame, "W3CurrentLabel"));
    EXPECT_TRUE(Shown(frame, "V3Current"));

    record.GeneralSetting = 1; // Q3 = Q1 - Q2
    record.ColdWaterSetup = {0, 0, 0, 0, 0, 2};
    frame.LayoutChannels(record);
    EXPECT_TRUE(Shown(frame, "Q3Current") && Shown(frame, "W3CurrentLabel"));
    EXPECT_TRUE(Shown(frame, "GroupBoxChanel6") && Shown(frame, "P6CurrentLabel"));
    EXPECT_EQ(BoxOf(frame, "GroupBoxChanel6")->pos(), design[0]);
    EXPECT_FALSE(Shown(frame, "GroupBoxChanel1"));
}

// The event times follow the last row of channel places in use, so that the page has no gap
// where switched-off channels would stand, and the outer box fits what is shown.
TEST(CurrentGeneralPage, TheEventTimesFollowTheChannelsShown)
{
    TDax_CurrentGeneralParamFrame frame;
    frame.SetUp();
    const QPoint firstRow = BoxOf(frame, "GroupBoxChanel1")->pos();
    const QPoint secondRow = BoxOf(frame, "GroupBoxChanel4")->pos();
    const QPoint eventsDesign = BoxOf(frame, "EventTimeGroupBox")->pos();
    const int margin = BoxOf(frame, "TotalGroupBox")->x();
    const int pitch = secondRow.y() - firstRow.y();
    ASSERT_GT(pitch, 0);
    ASSERT_EQ(eventsDesign.y(), secondRow.y() + pitch);

    struct Case {
        std::array<uint8_t, 6> Modes;
        int EventsTop; // the event times' top
    };
    const Case cases[] = {
        {{1, 1, 1, 1, 1, 1}, eventsDesign.y()},     // every channel: as designed
        {{0, 0, 0, 1, 2, 1}, firstRow.y() + pitch}, // three channels take the first row
        {{0, 0, 0, 0, 0, 2}, firstRow.y() + pitch}, // one channel: one row
        {{1, 0, 2, 1, 0, 1}, eventsDesign.y()},     // four channels: two rows
        {{0, 0, 0, 0, 0, 0}, firstRow.y()},         // none: the event times take the first row
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        HeatSystemConfig record = Record(0, 1);
        record.ColdWaterSetup = cases[i].Modes;
        frame.LayoutChannels(record);
        EXPECT_EQ(BoxOf(frame, "EventTimeGroupBox")->pos(), QPoint(eventsDesign.x(), cases[i].EventsTop)) << "case " << i;
        ExpectOuterFits(frame, margin, "GeneralGroupBox");
    }
}

} // namespace

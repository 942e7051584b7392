#include "RecordBuilders.h"
#include "UnderLocale.h"

#include "presentation/ArchiveSchemas.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::TotalArchiveStruct;

// The two register images of an instrument, set register by register.
struct Images {
    std::array<uint8_t, kCurrentImageBytes> current{};
    std::array<uint8_t, kSetupImageBytes> setup{};

    Images()
    {
        // Both heat systems unused, without air or control channel.
        for (uint32_t base : {40079u, 40129u}) {
            Set(base + 1, 5);
            Set(base + 2, 5);
        }
    }
    void Set(uint32_t reg, uint16_t value)
    {
        setup.at(2 * (reg - 40001)) = static_cast<uint8_t>(value >> 8);
        setup.at(2 * (reg - 40001) + 1) = static_cast<uint8_t>(value);
    }
    // Scheme code, air channel and control channel of heat system 1 or 2.
    void Scheme(int system, uint8_t code, uint8_t air = 5, uint8_t control = 5)
    {
        const uint32_t base = system == 1 ? 40079 : 40129;
        Set(base, code);
        Set(base + 1, air);
        Set(base + 2, control);
    }
    void ColdWater(std::array<uint8_t, 6> setup)
    {
        for (uint32_t i = 0; i < 6; ++i)
            Set(40203 + i, setup[i]);
    }
    SchemaInputs Inputs(uint32_t part, DisplayOptions options = {}, char system = '.') const
    {
        return MakeSchemaInputs(current, setup, part, options, system);
    }
};

struct Switches {
    bool mass = true, volume = true, pressure = true, hardware = false, modeFlags = false;
};

ArchiveTableExchangeContainer Build(const SchemaInputs& inputs, int32_t kind, uint32_t part, Switches s = {})
{
    ArchiveTableExchangeContainer container;
    BuildArchiveColumns(inputs, container, kind, part, s.mass, s.volume, s.pressure, s.hardware, s.modeFlags);
    return container;
}

std::vector<std::string> Names(const ArchiveTableExchangeContainer& container)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < container.Count(); ++i)
        names.push_back(container.Item(i)->GetName());
    return names;
}

using Column = std::tuple<std::string, int32_t, std::string>; // name, width, caption

Column Described(const ArchiveTableExchangeItem* column)
{
    if (!column)
        return {"(none)", 0, ""};
    return {column->GetName(), column->GetWidth(), column->GetCaption()};
}

Column Find(const ArchiveTableExchangeContainer& container, const std::string& name)
{
    return Described(container.FindByName(name));
}

template <typename Record>
std::string CellOf(const ArchiveTableExchangeContainer& container, const std::string& name, const Record& record)
{
    const ArchiveTableExchangeItem* column = container.FindByName(name);
    return column ? column->FormatCell(record.bytes) : "(no column " + name + ")";
}

constexpr uint8_t kScheme25 = 0x25; // "2.5": hot-water part, t1-t2 differences, cold water

TEST(ArchiveSchema, GeneralHourTable)
{
    Images images;
    const auto columns = Build(images.Inputs(ArchivePart::General), ArchiveKind::Hour, ArchivePart::General);
    const std::vector<std::string> expected = {
        "Date", "Time", "workTime_period", "offPowerTime_period", "hardwareNotStaff", "modeFlags", "eventFlags",
        "event1_period", "event2_period", "event3_period", "event4_period", "event5_period", "event6_period",
        "event7_period", "event8_period"};
    EXPECT_EQ(Names(columns), expected);
    EXPECT_EQ(Find(columns, "Date"), Column("Date", 75, "Дата"));
    EXPECT_EQ(Find(columns, "Time"), Column("Time", 45, "Час"));
    EXPECT_EQ(Find(columns, "workTime_period"), Column("workTime_period", 75, "Твкл"));
    EXPECT_EQ(Find(columns, "event8_period"), Column("event8_period", 75, "Тсоб.8"));

    images.Set(40179, 1);
    const auto withQ3 = Build(images.Inputs(ArchivePart::General), ArchiveKind::Hour, ArchivePart::General);
    ASSERT_EQ(withQ3.Count(), 16u);
    EXPECT_EQ(Described(withQ3.Item(2)), Column("Q3_period", 85, "Q3(Гкал)"));
}

TEST(ArchiveSchema, GeneralTotalDayTable)
{
    Images images;
    const std::vector<std::string> events = {"event1_total", "event2_total", "event3_total", "event4_total",
                                             "event5_total", "event6_total", "event7_total", "event8_total"};
    std::vector<std::string> expected = {"Date", "workTime_total", "offPowerTime_total"};
    expected.insert(expected.end(), events.begin(), events.end());
    EXPECT_EQ(Names(Build(images.Inputs(ArchivePart::General), ArchiveKind::TotalDay, ArchivePart::General)),
              expected);

    images.Set(40179, 0x0C);
    const auto columns = Build(images.Inputs(ArchivePart::General), ArchiveKind::TotalDay, ArchivePart::General);
    expected.insert(expected.begin() + 1, "Q3_total");
    EXPECT_EQ(Names(columns), expected);
    EXPECT_EQ(Find(columns, "Q3_total"), Column("Q3_total", 100, "Q3(Гкал)"));
    EXPECT_EQ(Find(columns, "workTime_total"), Column("workTime_total", 100, "Твкл"));
    EXPECT_EQ(Find(columns, "event1_total"), Column("event1_total", 75, "Тсоб.1"));

    TotalArchiveStruct record;
    record.WriteU32(TotalArchiveStruct::EventTimeOffset(1), 70000);
    record.WriteU32(TotalArchiveStruct::EventTimeOffset(8), 61);
    EXPECT_EQ(CellOf(columns, "event1_total", record), "1166:40");
    EXPECT_EQ(CellOf(columns, "event8_total", record), "01:01");
}

TEST(ArchiveSchema, OnlyTheDateWithoutSchemeOrKnownPart)
{
    Images images;
    for (uint32_t part : {ArchivePart::HeatSystem1, ArchivePart::HeatSystem2, 4u, 99u}) {
        SCOPED_TRACE(part);
        const Switches all{true, true, true, true, true};
        const DisplayOptions options{true, true, 1, 1, 1};
        EXPECT_EQ(Names(Build(images.Inputs(part, options), ArchiveKind::Hour, part, all)),
                  (std::vector<std::string>{"Date", "Time"}));
        EXPECT_EQ(Names(Build(images.Inputs(part, options), ArchiveKind::TotalMonth, part, all)),
                  std::vector<std::string>{"Date"});
    }
    // A kind outside 0..4 has no layout of its own.
    images.Scheme(1, kScheme25);
    EXPECT_EQ(Names(Build(images.Inputs(ArchivePart::HeatSystem1), 5, ArchivePart::HeatSystem1)),
              std::vector<std::string>{"Date"});
    EXPECT_EQ(Names(Build(images.Inputs(ArchivePart::General), -1, ArchivePart::General)),
              std::vector<std::string>{"Date"});
}

TEST(ArchiveSchema, HeatSystem1PeriodTable)
{
    Images images;
    images.Scheme(1, kScheme25, 0, 2); // air channel t1, control channel t3
    DisplayOptions options;
    options.ShowNotStaffQT = true;
    const auto columns = Build(images.Inputs(ArchivePart::HeatSystem1, options), ArchiveKind::Day,
                               ArchivePart::HeatSystem1, {true, true, true, true, true});
    const std::vector<std::string> expected = {
        "Date", "Q1_period", "Q1o_period", "Q1gvs_period", "Q1work_period", "Q1pow_period", "Q1f_period",
        "Q1dt_period", "Q1max_period", "Q1min_period", "M1_period", "M2_period", "M5_period", "V1_period",
        "V2_period", "V5_period", "t1", "t2", "t3", "t5", "dt", "P1", "P2", "P5", "dP", "tcold", "Pcold", "tair",
        "TS1work_period", "TS1stop_period", "TS1staff_period", "TS1pow_period", "TS1f_period", "TS1dt_period",
        "TS1max_period", "TS1min_period", "chanelNS1", "chanelNS2", "chanelNS5", "NS_TS1", "hardwareNotStaff",
        "modeFlags"};
    EXPECT_EQ(Names(columns), expected);
    EXPECT_EQ(Find(columns, "Q1work_period"), Column("Q1work_period", 85, "Qиз(Гкал)"));
    EXPECT_EQ(Find(columns, "M5_period"), Column("M5_period", 85, "M5(т)"));
    EXPECT_EQ(Find(columns, "V2_period"), Column("V2_period", 85, "V2(м³)"));
    EXPECT_EQ(Find(columns, "t3"), Column("t3", 60, "t3(°C)"));
    EXPECT_EQ(Find(columns, "dt"), Column("dt", 60, "dt(°C)"));
    EXPECT_EQ(Find(columns, "dP"), Column("dP", 70, "dP(МПа)"));
    EXPECT_EQ(Find(columns, "tcold"), Column("tcold", 65, "tхв(°C)"));
    EXPECT_EQ(Find(columns, "Pcold"), Column("Pcold", 75, "Pхв(МПа)"));
    EXPECT_EQ(Find(columns, "tair"), Column("tair", 75, "tвозд(°C)"));
    EXPECT_EQ(Find(columns, "TS1work_period"), Column("TS1work_period", 75, "Tсч"));
    EXPECT_EQ(Find(columns, "TS1min_period"), Column("TS1min_period", 75, "Tmin"));
    EXPECT_EQ(Find(columns, "chanelNS5"), Column("chanelNS5", 80, "Кан.НС5"));

    ArchiveStruct record;
    record.WriteF32(130, 1.5f);
    record.WriteF32(162, 2.5f);
    record.WriteI16(52, 2000);
    record.WriteI16(54, 500);
    record.WriteI16(64, 3000);
    record.WriteI16(66, 1000);
    record.WriteU16(166, 90);
    record.WriteU16(180, 30);
    record.WriteU8(114, 0x81);
    record.WriteU16(182, 0x4001);
    EXPECT_EQ(CellOf(columns, "Q1_period", record), "1.500");
    EXPECT_EQ(CellOf(columns, "Q1min_period", record), "2.500");
    EXPECT_EQ(CellOf(columns, "dt", record), "15.00");
    EXPECT_EQ(CellOf(columns, "dP", record), "0.2000");
    EXPECT_EQ(CellOf(columns, "tair", record), "20.00");
    EXPECT_EQ(CellOf(columns, "TS1work_period", record), "01:30");
    EXPECT_EQ(CellOf(columns, "TS1min_period", record), "00:30");
    EXPECT_EQ(CellOf(columns, "chanelNS5", record), "1------8");
    EXPECT_EQ(CellOf(columns, "NS_TS1", record), "1-------------F");
}

TEST(ArchiveSchema, HeatSystem2PeriodTable)
{
    Images images;
    images.Scheme(2, kScheme25);
    DisplayOptions options;
    options.ShowNotStaffQT = true;
    const auto columns = Build(images.Inputs(ArchivePart::HeatSystem2, options), ArchiveKind::Hour,
                               ArchivePart::HeatSystem2);
    const std::vector<std::string> expected = {
        "Date", "Time", "Q2_period", "Q2o_period", "Q2gvs_period", "Q2work_period", "Q2pow_period", "Q2f_period",
        "Q2dt_period", "Q2max_period", "Q2min_period", "M3_period", "M4_period", "M5_period", "V3_period",
        "V4_period", "V5_period", "t3", "t4", "t5", "dt", "P3", "P4", "P5", "dP", "tcold", "Pcold",
        "TS2work_period", "TS2stop_period", "TS12staff_period", "TS2pow_period", "TS2f_period", "TS2dt_period",
        "TS2max_period", "TS2min_period", "chanelNS3", "chanelNS4", "chanelNS5", "NS_TS2"};
    EXPECT_EQ(Names(columns), expected);
    EXPECT_EQ(Find(columns, "Q2gvs_period"), Column("Q2gvs_period", 90, "Q2гвс(Гкал)"));
    EXPECT_EQ(Find(columns, "NS_TS2"), Column("NS_TS2", 150, "НС ТС2"));

    ArchiveStruct record;
    record.WriteF32(192, 7.25f);
    record.WriteF32(224, 0.125f);
    record.WriteI16(56, 7000);
    record.WriteI16(58, 4000);
    record.WriteI16(68, 100);
    record.WriteI16(70, 50);
    record.WriteU16(232, 1500);
    record.WriteU16(244, 0x0003);
    EXPECT_EQ(CellOf(columns, "Q2_period", record), "7.250");
    EXPECT_EQ(CellOf(columns, "Q2min_period", record), "0.125");
    EXPECT_EQ(CellOf(columns, "dt", record), "30.00");
    EXPECT_EQ(CellOf(columns, "dP", record), "0.0050");
    EXPECT_EQ(CellOf(columns, "TS12staff_period", record), "25:00");
    EXPECT_EQ(CellOf(columns, "NS_TS2", record), "12-------------");
}

TEST(ArchiveSchema, HeatSystemTotalTables)
{
    Images images;
    images.Scheme(1, kScheme25);
    images.Scheme(2, kScheme25);
    DisplayOptions options;
    options.ShowNotStaffQT = true;
    const auto ts1 = Build(images.Inputs(ArchivePart::HeatSystem1, options), ArchiveKind::TotalMonth,
                           ArchivePart::HeatSystem1, {true, true, true, true, true});
    const std::vector<std::string> expected = {
        "Date", "Q1_total", "Q1o_total", "Q1gvs_total", "Q1work_total", "Q1pow_total", "Q1f_total", "Q1dt_total",
        "Q1max_total", "Q1min_total", "M1_total", "M2_total", "M5_total", "V1_total", "V21_total", "V5_total",
        "TS1work_total", "TS1stop_total", "TS1staff_total", "TS1pow_total", "TS1f_total", "TS1dt_total",
        "TS1max_total", "TS1min_total"};
    EXPECT_EQ(Names(ts1), expected);
    EXPECT_EQ(Find(ts1, "V21_total"), Column("V21_total", 100, "V2(м³)"));
    EXPECT_EQ(Find(ts1, "TS1work_total"), Column("TS1work_total", 100, "Tсч"));
    EXPECT_EQ(Find(ts1, "TS1staff_total"), Column("TS1staff_total", 75, "Tраб"));

    const auto ts2 = Build(images.Inputs(ArchivePart::HeatSystem2, options), ArchiveKind::TotalDay,
                           ArchivePart::HeatSystem2);
    EXPECT_EQ(Find(ts2, "TS2staff_total"), Column("TS2staff_total", 75, "Tраб"));
    EXPECT_EQ(Find(ts2, "TS12staff_total"), Described(nullptr));
    TotalArchiveStruct record;
    record.WriteF32(186, 3.5f);
    record.WriteF32(218, 4.5f);
    record.WriteU32(222, 100000);
    record.WriteU32(250, 59);
    EXPECT_EQ(CellOf(ts2, "Q2_total", record), "3.500");
    EXPECT_EQ(CellOf(ts2, "Q2min_total", record), "4.500");
    EXPECT_EQ(CellOf(ts2, "TS2work_total", record), "1666:40");
    EXPECT_EQ(CellOf(ts2, "TS2min_total", record), "00:59");
}

TEST(ArchiveSchema, ShowSwitchesAndNotStaffOption)
{
    Images images;
    images.Scheme(1, kScheme25);
    const auto columns = Build(images.Inputs(ArchivePart::HeatSystem1), ArchiveKind::Day, ArchivePart::HeatSystem1,
                               {false, false, false, false, false});
    const std::vector<std::string> expected = {
        "Date", "Q1_period", "Q1o_period", "Q1gvs_period", "t1", "t2", "t5", "dt", "tcold", "TS1work_period",
        "TS1stop_period", "chanelNS1", "chanelNS2", "chanelNS5", "NS_TS1"};
    EXPECT_EQ(Names(columns), expected);
}

TEST(ArchiveSchema, HeatEnergyNeedsAFormula)
{
    Images images;
    images.Scheme(1, 0x24); // "2.4": volumes V1, V2 and their difference, no heat energy
    DisplayOptions options;
    options.ShowNotStaffQT = true;
    const auto columns = Build(images.Inputs(ArchivePart::HeatSystem1, options), ArchiveKind::Day,
                               ArchivePart::HeatSystem1);
    const std::vector<std::string> expected = {
        "Date", "V1_period", "V2_period", "dV_period", "TS1work_period", "TS1stop_period", "TS1staff_period",
        "TS1pow_period", "TS1f_period", "TS1dt_period", "TS1max_period", "TS1min_period", "chanelNS1", "chanelNS2",
        "NS_TS1"};
    EXPECT_EQ(Names(columns), expected);
    ArchiveStruct record;
    record.WriteF32(4, 5.0f);
    record.WriteF32(8, 1.75f);
    EXPECT_EQ(CellOf(columns, "dV_period", record), "3.250");
}

TEST(ArchiveSchema, DifferencePairsAreExclusive)
{
    Images images;
    images.Scheme(1, kScheme25);
    ArchiveStruct record;
    for (size_t m = 1; m <= 4; ++m)
        record.WriteF32(ArchiveStruct::MassOffset(m), static_cast<float>(m * m * 10)); // 10, 40, 90, 160
    struct Case {
        const char* what;
        uint32_t flags;
        bool massSwitch;
        std::vector<std::string> cells; // of every "dM_period" column
    };
    const Case cases[] = {
        {"bits 9 and 11: M1 - M2 only", SchemeFlag::MassDifference12 | SchemeFlag::MassDifference34, true,
         {"-30.000"}},
        {"bit 11: M3 - M4", SchemeFlag::MassDifference34, true, {"-70.000"}},
        {"neither", 0, true, {}},
        {"mass switch off", SchemeFlag::MassDifference12, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SchemaInputs inputs = images.Inputs(ArchivePart::HeatSystem1);
        inputs.Descriptor.Flags = c.flags;
        const auto columns = Build(inputs, ArchiveKind::Month, ArchivePart::HeatSystem1, {c.massSwitch, true, true});
        std::vector<std::string> cells;
        for (size_t i = 0; i < columns.Count(); ++i)
            if (columns.Item(i)->GetName() == "dM_period")
                cells.push_back(columns.Item(i)->FormatCell(record.bytes));
        EXPECT_EQ(cells, c.cells);
    }
}

TEST(ArchiveSchema, AirChannel)
{
    ArchiveStruct record;
    for (size_t t = 1; t <= 5; ++t)
        record.WriteI16(ArchiveStruct::TemperatureOffset(t), static_cast<int16_t>(t * 111)); // 1.11 .. 5.55
    struct Case {
        uint8_t air;
        const char* cell;
    };
    for (const Case c : {Case{0, "1.11"}, Case{2, "3.33"}, Case{4, "5.55"}, Case{5, nullptr}, Case{200, nullptr}}) {
        SCOPED_TRACE(int(c.air));
        Images images;
        images.Scheme(1, kScheme25, c.air);
        const auto columns = Build(images.Inputs(ArchivePart::HeatSystem1), ArchiveKind::Hour,
                                   ArchivePart::HeatSystem1);
        if (c.cell)
            EXPECT_EQ(CellOf(columns, "tair", record), c.cell);
        else
            EXPECT_EQ(columns.FindByName("tair"), nullptr);
    }
}

TEST(ArchiveSchema, ColdWaterTables)
{
    Images images;
    images.ColdWater({2, 0, 1, 0, 0, 0});
    const auto inputs = images.Inputs(ArchivePart::ColdWater);
    const auto day = Build(inputs, ArchiveKind::Day, ArchivePart::ColdWater, {true, true, true, true, true});
    EXPECT_EQ(Names(day), (std::vector<std::string>{"Date", "V1_period", "P1", "Tcws1_period", "chanelNS1",
                                                    "V3_period", "Tcws3_period", "chanelNS3", "hardwareNotStaff",
                                                    "modeFlags"}));
    EXPECT_EQ(Find(day, "V1_period"), Column("V1_period", 85, "V1 (м³)"));
    EXPECT_EQ(Find(day, "P1"), Column("P1", 70, "P1(МПа)"));
    EXPECT_EQ(Find(day, "Tcws3_period"), Column("Tcws3_period", 75, "Тхвс3"));
    EXPECT_EQ(Find(day, "chanelNS3"), Column("chanelNS3", 80, "Кан.НС3"));
    EXPECT_EQ(Find(day, "hardwareNotStaff"), Column("hardwareNotStaff", 140, "Аппаратные НС"));

    EXPECT_EQ(Names(Build(inputs, ArchiveKind::Day, ArchivePart::ColdWater, {true, true, true, false, false})),
              (std::vector<std::string>{"Date", "V1_period", "P1", "Tcws1_period", "chanelNS1", "V3_period",
                                        "Tcws3_period", "chanelNS3"}));

    const auto total = Build(inputs, ArchiveKind::TotalDay, ArchivePart::ColdWater, {true, true, true, true, true});
    EXPECT_EQ(Names(total),
              (std::vector<std::string>{"Date", "V1_total", "Tcws1_total", "V3_total", "Tcws3_total"}));
    EXPECT_EQ(Find(total, "Tcws3_total"), Column("Tcws3_total", 100, "Тхвс3"));

    ArchiveStruct period;
    period.WriteF32(12, 33.0f);
    period.WriteI16(64, 1234);
    period.WriteU16(86, 45);
    period.WriteU8(112, 0x02);
    EXPECT_EQ(CellOf(day, "V3_period", period), "33.000");
    EXPECT_EQ(CellOf(day, "P1", period), "0.1234");
    EXPECT_EQ(CellOf(day, "Tcws3_period", period), "00:45");
    EXPECT_EQ(CellOf(day, "chanelNS3", period), "-2------");
    TotalArchiveStruct totals;
    totals.WriteF32(12, 44.0f);
    totals.WriteU32(68, 66000);
    EXPECT_EQ(CellOf(total, "V3_total", totals), "44.000");
    EXPECT_EQ(CellOf(total, "Tcws3_total", totals), "1100:00");

    // The sixth channel's fields lie at the end of each run.
    images.ColdWater({0, 0, 0, 0, 0, 2});
    const auto sixth = Build(images.Inputs(ArchivePart::ColdWater), ArchiveKind::Hour, ArchivePart::ColdWater);
    EXPECT_EQ(Names(sixth), (std::vector<std::string>{"Date", "Time", "V6_period", "P6", "Tcws6_period",
                                                      "chanelNS6"}));
    period.WriteF32(24, 6.5f);
    period.WriteI16(74, -6);
    period.WriteU16(92, 6);
    period.WriteU32(115, 0xFFFFFF20);
    EXPECT_EQ(CellOf(sixth, "V6_period", period), "6.500");
    EXPECT_EQ(CellOf(sixth, "P6", period), "-0.0006");
    EXPECT_EQ(CellOf(sixth, "Tcws6_period", period), "00:06");
    EXPECT_EQ(CellOf(sixth, "chanelNS6", period), "-----6--");
}

TEST(ArchiveSchema, HotWaterWidthsInPeriodAndTotalTables)
{
    Images images;
    images.Scheme(1, kScheme25);
    const auto inputs = images.Inputs(ArchivePart::HeatSystem1);
    EXPECT_EQ(Find(Build(inputs, ArchiveKind::TotalDay, ArchivePart::HeatSystem1), "Q1gvs_total"),
              Column("Q1gvs_total", 100, "Q1гвс(Гкал)"));
    EXPECT_EQ(Find(Build(inputs, ArchiveKind::Day, ArchivePart::HeatSystem1), "Q1gvs_period"),
              Column("Q1gvs_period", 90, "Q1гвс(Гкал)"));
    // Every float column of a total table is 100 wide, differences included.
    SchemaInputs differences = inputs;
    differences.Descriptor.Flags |= SchemeFlag::VolumeDifference12;
    const auto total = Build(differences, ArchiveKind::TotalMonth, ArchivePart::HeatSystem1);
    for (const char* name : {"Q1_total", "Q1o_total", "M1_total", "V1_total", "dV_total"})
        EXPECT_EQ(std::get<1>(Find(total, name)), 100) << name;
}

TEST(ArchiveSchema, TimeFormatWidensMonthAndTotalTimes)
{
    Images images;
    images.Scheme(1, kScheme25);
    DisplayOptions options;
    options.TimeFormat = 1;
    options.ShowNotStaffQT = true;
    struct Case {
        int32_t kind;
        uint32_t part;
        const char* name;
        int32_t width;
    };
    const Case cases[] = {
        {ArchiveKind::Hour, ArchivePart::HeatSystem1, "TS1work_period", 75},
        {ArchiveKind::Day, ArchivePart::General, "event1_period", 75},
        {ArchiveKind::Month, ArchivePart::HeatSystem1, "TS1work_period", 120},
        {ArchiveKind::Month, ArchivePart::General, "workTime_period", 120},
        {ArchiveKind::TotalDay, ArchivePart::HeatSystem1, "TS1min_total", 120},
        {ArchiveKind::TotalMonth, ArchivePart::General, "event8_total", 120},
    };
    ArchiveStruct record;
    record.WriteU16(166, 1500);
    record.WriteU16(94, 1500);
    record.WriteU16(78, 1500);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto columns = Build(images.Inputs(c.part, options), c.kind, c.part);
        EXPECT_EQ(std::get<1>(Find(columns, c.name)), c.width);
        if (c.kind < ArchiveKind::TotalDay) {
            EXPECT_EQ(CellOf(columns, c.name, record), c.width == 120 ? "1-сут 01:00" : "25:00");
        }
    }
}

TEST(ArchiveSchema, BitsFormatChoosesMaskOrList)
{
    Images images;
    images.Scheme(1, kScheme25);
    DisplayOptions options;
    const Switches all{true, true, true, true, true};
    const auto mask = Build(images.Inputs(ArchivePart::HeatSystem1, options), ArchiveKind::Day,
                            ArchivePart::HeatSystem1, all);
    EXPECT_EQ(Find(mask, "NS_TS1"), Column("NS_TS1", 150, "НС ТС1"));
    EXPECT_EQ(Find(mask, "modeFlags"), Column("modeFlags", 140, "Флаги реж.раб."));
    const auto general = Build(images.Inputs(ArchivePart::General, options), ArchiveKind::Day, ArchivePart::General);
    EXPECT_EQ(Find(general, "eventFlags"), Column("eventFlags", 80, "Флаги событий"));

    options.BitsFormat = 1;
    const auto list = Build(images.Inputs(ArchivePart::HeatSystem1, options), ArchiveKind::Day,
                            ArchivePart::HeatSystem1, all);
    EXPECT_EQ(Find(list, "NS_TS1"), Column("NS_TS1", 75, "НС ТС1"));
    EXPECT_EQ(Find(list, "hardwareNotStaff"), Column("hardwareNotStaff", 75, "Апп.НС"));
    EXPECT_EQ(Find(list, "modeFlags"), Column("modeFlags", 75, "Фл.реж."));
    const auto generalList =
        Build(images.Inputs(ArchivePart::General, options), ArchiveKind::Day, ArchivePart::General);
    EXPECT_EQ(Find(generalList, "eventFlags"), Column("eventFlags", 75, "Фл.соб."));

    // Only the low byte counts, for the captions as for the cells.
    options.BitsFormat = 0x100;
    const auto lowByteZero = Build(images.Inputs(ArchivePart::General, options), ArchiveKind::Day,
                                   ArchivePart::General);
    EXPECT_EQ(Find(lowByteZero, "eventFlags"), Column("eventFlags", 80, "Флаги событий"));
}

TEST(ArchiveSchema, UnitsFromTheLowBytesOf40180And40181)
{
    ArchiveStruct record;
    record.WriteI16(64, 1234);
    struct Case {
        uint16_t heat;
        uint16_t pressure;
        const char* q1;
        const char* p1;
        const char* cell;
    };
    const Case cases[] = {
        {1, 0, "Q1(ГДж)", "P1(МПа)", "0.1234"},
        {0, 1, "Q1(Гкал)", "P1(кгс/см²)", "1.234"},
        {0x0100, 0x0100, "Q1(Гкал)", "P1(МПа)", "0.1234"},
        {0x01FF, 0x0002, "Q1(ГДж)", "P1(кгс/см²)", "1.234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.q1);
        Images images;
        images.Scheme(1, kScheme25);
        images.Set(40180, c.heat);
        images.Set(40181, c.pressure);
        const auto columns = Build(images.Inputs(ArchivePart::HeatSystem1), ArchiveKind::Hour,
                                   ArchivePart::HeatSystem1);
        EXPECT_EQ(std::get<2>(Find(columns, "Q1_period")), c.q1);
        EXPECT_EQ(std::get<2>(Find(columns, "P1")), c.p1);
        EXPECT_EQ(CellOf(columns, "P1", record), c.cell);
    }
}

class ArchiveSchemaSeparators : public testsupport::UnderLocale {};

TEST_P(ArchiveSchemaSeparators, EveryColumnGetsTheMode)
{
    Images images;
    images.Scheme(1, kScheme25);
    ArchiveStruct record;
    record.WriteF32(130, 1.5f);
    record.WriteI16(52, 2050);
    record.WriteI16(64, 1234);
    struct Case {
        int32_t mode;
        char system;
        const char* q;
        const char* t;
        const char* p;
    };
    const Case cases[] = {
        {0, '.', "1.500", "20.50", "0.1234"},
        {0, ',', "1,500", "20,50", "0,1234"},
        {1, '.', "1,500", "20,50", "0,1234"},
        {2, ',', "1.500", "20.50", "0.1234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        DisplayOptions options;
        options.CommaSeparator = c.mode;
        const auto columns = Build(images.Inputs(ArchivePart::HeatSystem1, options, c.system), ArchiveKind::Hour,
                                   ArchivePart::HeatSystem1);
        for (size_t i = 0; i < columns.Count(); ++i)
            EXPECT_EQ(columns.Item(i)->GetSeparatorMode(), c.mode);
        EXPECT_EQ(CellOf(columns, "Q1_period", record), c.q);
        EXPECT_EQ(CellOf(columns, "t1", record), c.t);
        EXPECT_EQ(CellOf(columns, "P1", record), c.p);
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(ArchiveSchemaSeparators);

TEST(ArchiveSchema, RebuildingReplacesTheColumns)
{
    Images images;
    ArchiveTableExchangeContainer container;
    BuildArchiveColumns(images.Inputs(ArchivePart::General), container, ArchiveKind::Hour, ArchivePart::General,
                        true, true, true, false, false);
    EXPECT_EQ(container.Count(), 15u);
    BuildArchiveColumns(images.Inputs(ArchivePart::General), container, ArchiveKind::TotalDay, ArchivePart::General,
                        true, true, true, false, false);
    EXPECT_EQ(container.Count(), 11u);
    EXPECT_EQ(container.FindByName("Time"), nullptr);
}

} // namespace

#include "RecordBuilders.h"
#include "UnderLocale.h"

#include "presentation/ArchiveTableExchange.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::TotalArchiveStruct;

// A period record with the bytes given at the start and its check word stored.
ArchiveStruct Period(std::initializer_list<uint8_t> head, const std::function<void(ArchiveStruct&)>& fill = {})
{
    ArchiveStruct record;
    size_t i = 0;
    for (uint8_t b : head)
        record.bytes.at(i++) = b;
    if (fill)
        fill(record);
    record.StoreCheckWord();
    return record;
}

const std::initializer_list<uint8_t> kDate = {0x15, 0x03, 0x05, 0x00};

struct CellCase {
    const char* what;
    std::function<std::unique_ptr<ArchiveTableExchangeItem>()> column;
    ArchiveStruct record;
    std::string text;    // the cell, or the failure's message
    bool fails = false;
};

std::unique_ptr<ArchiveTableExchangeItem> WithMode(std::unique_ptr<ArchiveTableExchangeItem> column, int32_t mode,
                                                   char system)
{
    column->SetSeparatorMode(mode, system);
    return column;
}

std::vector<CellCase> CellCases()
{
    using std::make_unique;
    const auto withI16 = [](size_t offset, int16_t v) { return [=](ArchiveStruct& r) { r.WriteI16(offset, v); }; };
    const auto withU16 = [](size_t offset, uint16_t v) { return [=](ArchiveStruct& r) { r.WriteU16(offset, v); }; };
    const auto withU32 = [](size_t offset, uint32_t v) { return [=](ArchiveStruct& r) { r.WriteU32(offset, v); }; };
    const auto date = [] { return make_unique<DateArchiveItem>("Date", "Дата", 75); };
    const auto temperature = [] { return make_unique<TemperatureArchiveItem>("t1", 52, "t1(°C)", 60); };
    const auto pressure = [](bool kgf) { return make_unique<PressureArchiveItem>("P1", 64, "P1", kgf, 70); };
    const auto flags = [](bool list) { return make_unique<BitFlagsArchiveItem>("f", 116, "f", 10, list, 75); };
    const auto pressure4567 = withI16(64, 4567);
    return {
        {"date", date, Period(kDate), "05.03.21"},
        {"hour 0 is shown as 1", [] { return make_unique<TimeArchiveItem>("Time", "Час", 45); }, Period(kDate), "1"},
        {"hour 23 is shown as 24", [] { return make_unique<TimeArchiveItem>("Time", "Час", 45); },
         Period({0x15, 0x03, 0x05, 23}), "24"},
        {"skipped record", date, Period({0, 0, 0, 0}), "Пропущ.стр.", true},
        {"empty record", date, Period({0xFF, 0xFF, 0xFF, 0xFF}), "Пуст.стр.", true},
        {"30 February", date, Period({0x15, 0x02, 0x1E, 0x00}), "Некор.время", true},
        {"month 0 with hour 5 is no skipped record", date, Period({0, 0, 0, 5}), "Некор.время", true},
        {"three 0xFF bytes are no empty record", date, Period({0xFF, 0xFF, 0xFF, 0x00}), "Некор.время", true},
        {"temperature", temperature, Period(kDate, withI16(52, -1525)), "-15.25"},
        {"temperature difference wraps at 16 bits",
         [] { return make_unique<TemperatureArchiveItem>("dt", 52, 54, "dt(°C)", 60); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteI16(52, 30000); r.WriteI16(54, -30000); }), "-55.36"},
        {"pressure in MPa", [&] { return pressure(false); }, Period(kDate, pressure4567), "0.4567"},
        {"pressure in kgf/cm2", [&] { return pressure(true); }, Period(kDate, pressure4567), "4.567"},
        {"comma mode", [&] { return WithMode(pressure(false), 1, '.'); }, Period(kDate, pressure4567), "0,4567"},
        {"point mode over a comma system", [&] { return WithMode(pressure(false), 2, ','); },
         Period(kDate, pressure4567), "0.4567"},
        {"system mode with a comma system", [&] { return WithMode(pressure(false), 0, ','); },
         Period(kDate, pressure4567), "0,4567"},
        {"unknown mode is the system's", [&] { return WithMode(pressure(false), 7, ','); },
         Period(kDate, pressure4567), "0,4567"},
        {"pressure difference", [] { return make_unique<PressureArchiveItem>("dP", 64, 66, "dP", false, 70); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteI16(64, 100); r.WriteI16(66, 4667); }), "-0.4567"},
        {"period in days", [] { return make_unique<TimePeriodArchiveItem>("w", 78, "Твкл", true, 75); },
         Period(kDate, withU16(78, 1500)), "1-сут 01:00"},
        {"period in hours", [] { return make_unique<TimePeriodArchiveItem>("w", 78, "Твкл", false, 75); },
         Period(kDate, withU16(78, 1500)), "25:00"},
        {"total beyond 16 bits", [] { return make_unique<TimeTotalArchiveItem>("e", 84, "Тсоб.1", false, 75); },
         Period(kDate, withU32(84, 70000)), "1166:40"},
        {"total in days", [] { return make_unique<TimeTotalArchiveItem>("e", 84, "Тсоб.1", true, 75); },
         Period(kDate, withU32(84, 70000)), "48-сут 14:40"},
        {"flags as a list", [&] { return flags(true); }, Period(kDate, withU32(116, 0x205)), "1,3,A"},
        {"flags as a mask", [&] { return flags(false); }, Period(kDate, withU32(116, 0x205)), "1-3------A"},
        {"only the defined bits", [&] { return flags(true); }, Period(kDate, withU32(116, 0xFFFFFC00 | 0x205)),
         "1,3,A"},
        {"float", [] { return make_unique<FloatArchiveItem>("V1", 4, "V1", "%.3f", 85); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteF32(4, 12.5f); }), "12.500"},
        {"float with a comma", [] { return WithMode(make_unique<FloatArchiveItem>("V1", 4, "V1", "%.3f", 85), 1, '.'); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteF32(4, 12.5f); }), "12,500"},
        {"float difference", [] { return make_unique<FloatArchiveItem>("dV", 4, 8, "dV", "%.3f", 85); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteF32(4, 10.5f); r.WriteF32(8, 0.25f); }), "10.250"},
        {"difference in single precision",
         [] { return make_unique<FloatArchiveItem>("dV", 4, 8, "dV", "%.9f", 85); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteF32(4, 1.1f); r.WriteF32(8, 0.1f); }),
         "1.000000000"},
        {"float with an empty format", [] { return make_unique<FloatArchiveItem>("V1", 4, "V1", "", 85); },
         Period(kDate, [](ArchiveStruct& r) { r.WriteF32(4, 12.5f); }), ""},
        {"float past the record's end", [] { return make_unique<FloatArchiveItem>("x", 254, "x", "%.3f", 85); },
         Period(kDate), "Поле записи со смещением 254 и длиной 4 выходит за пределы записи длиной 256 байт", true},
        {"flags past the record's end", [] { return make_unique<BitFlagsArchiveItem>("x", 300, "x", 8, true, 75); },
         Period(kDate), "Поле записи со смещением 300 и длиной 4 выходит за пределы записи длиной 256 байт", true},
        {"difference past the record's end",
         [] { return make_unique<TemperatureArchiveItem>("x", 52, 255, "x", 60); }, Period(kDate),
         "Поле записи со смещением 255 и длиной 2 выходит за пределы записи длиной 256 байт", true},
    };
}

// Every cell text must be the same whatever the process locale says.
class ArchiveColumnCells : public testsupport::UnderLocale {};

TEST_P(ArchiveColumnCells, TextOrFailure)
{
    for (const CellCase& c : CellCases()) {
        SCOPED_TRACE(c.what);
        const auto column = c.column();
        if (c.fails) {
            try {
                column->FormatCell(c.record.bytes);
                ADD_FAILURE() << "no failure";
            } catch (const platform::Exception& e) {
                EXPECT_EQ(e.Message(), c.text);
            }
        } else {
            EXPECT_EQ(column->FormatCell(c.record.bytes), c.text);
        }
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(ArchiveColumnCells);

TEST(ArchiveColumn, TotalRecordsFormatThroughTheSameColumns)
{
    TotalArchiveStruct record;
    record.WriteU32(TotalArchiveStruct::kEventTime, 70000);
    const TimeTotalArchiveItem column("event1_total", 84, "Тсоб.1", false, 75);
    EXPECT_EQ(column.FormatCell(record.bytes), "1166:40");
}

TEST(ArchiveColumn, TypeCodes)
{
    EXPECT_EQ(ArchiveTableExchangeItem().GetType(), 0);
    EXPECT_EQ(DateArchiveItem("a", "a", 75).GetType(), 1);
    EXPECT_EQ(TimeArchiveItem("a", "a", 45).GetType(), 1);
    EXPECT_EQ(FloatArchiveItem("a", 4, "a", "%.3f", 85).GetType(), 2);
    EXPECT_EQ(TemperatureArchiveItem("a", 52, "a", 60).GetType(), 3);
    EXPECT_EQ(PressureArchiveItem("a", 64, "a", false, 70).GetType(), 4);
    EXPECT_EQ(TimePeriodArchiveItem("a", 78, "a", false, 75).GetType(), 5);
    EXPECT_EQ(TimeTotalArchiveItem("a", 52, "a", false, 75).GetType(), 6);
    EXPECT_EQ(BitFlagsArchiveItem("a", 116, "a", 14, true, 75).GetType(), 7);
}

TEST(ArchiveColumn, NewColumn)
{
    const ArchiveTableExchangeItem column("name", "caption");
    EXPECT_EQ(column.GetWidth(), 100);
    EXPECT_EQ(column.GetFormat(), "");
    EXPECT_EQ(column.GetName(), "name");
    EXPECT_EQ(column.GetCaption(), "caption");
    EXPECT_EQ(column.FormatCell(Period(kDate).bytes), "");
}

TEST(ArchiveColumn, WidthRules)
{
    struct Case {
        const char* what;
        std::unique_ptr<ArchiveTableExchangeItem> column;
        int32_t width;
    };
    Case cases[] = {
        {"period with days is raised", std::make_unique<TimePeriodArchiveItem>("a", 78, "a", true, 75), 120},
        {"period with days keeps more", std::make_unique<TimePeriodArchiveItem>("a", 78, "a", true, 130), 130},
        {"period in hours stays", std::make_unique<TimePeriodArchiveItem>("a", 78, "a", false, 75), 75},
        {"total with days is raised", std::make_unique<TimeTotalArchiveItem>("a", 52, "a", true, 100), 120},
        {"total in hours stays", std::make_unique<TimeTotalArchiveItem>("a", 52, "a", false, 100), 100},
        {"list keeps its width", std::make_unique<BitFlagsArchiveItem>("a", 116, "a", 10, true, 75), 75},
        {"mask is 10 per bit", std::make_unique<BitFlagsArchiveItem>("a", 116, "a", 10, false, 75), 100},
        {"mask of 15 bits", std::make_unique<BitFlagsArchiveItem>("a", 182, "a", 15, false, 300), 150},
        {"float keeps its width", std::make_unique<FloatArchiveItem>("a", 4, "a", "%.3f", 85), 85},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.column->GetWidth(), c.width) << c.what;
}

TEST(ArchiveColumn, Container)
{
    ArchiveTableExchangeContainer container;
    EXPECT_EQ(container.Count(), 0u);
    EXPECT_EQ(container.Item(0), nullptr);
    auto* first = container.Add(std::make_unique<DateArchiveItem>("Date", "Дата", 75));
    auto* twin = container.Add(std::make_unique<FloatArchiveItem>("V1", 4, "first V1", "%.3f", 85));
    container.Add(std::make_unique<FloatArchiveItem>("V1", 8, "second V1", "%.3f", 85));
    ASSERT_EQ(container.Count(), 3u);
    EXPECT_EQ(container.Item(0), first);
    EXPECT_EQ(container.Item(2)->GetCaption(), "second V1");
    EXPECT_EQ(container.Item(3), nullptr);
    EXPECT_EQ(container.FindByName("V1"), twin);
    EXPECT_EQ(container.FindByName("v1"), nullptr); // names compare exactly
    EXPECT_EQ(container.FindByName("Date"), first);
    container.Clear();
    EXPECT_EQ(container.Count(), 0u);
    EXPECT_EQ(container.FindByName("Date"), nullptr);
}

} // namespace

#include "RecordBuilders.h"
#include "UnderLocale.h"

#include "device/Records.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace {

using dax_namespace::ArchiveRecordMarker;
using dax_namespace::ArchiveStruct;
using dax_namespace::HeatEnergy;
using dax_namespace::HeatTime;
using dax_namespace::JournalStruct;
using dax_namespace::JournalTimeKind;
using dax_namespace::TotalArchiveStruct;
using testsupport::FilledJournal;
using testsupport::Journal;

static_assert(sizeof(ArchiveStruct) == 256);
static_assert(sizeof(TotalArchiveStruct) == 256);
static_assert(sizeof(JournalStruct) == 16);

ArchiveStruct PatternRecord()
{
    ArchiveStruct record;
    for (size_t i = 0; i < record.bytes.size(); ++i)
        record.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    record.bytes[0] = 24;
    record.bytes[1] = 10;
    record.bytes[2] = 31;
    record.bytes[3] = 5;
    return record;
}

TEST(ArchiveRecord, MarkersAndCheckWordsOfBlankRecords)
{
    ArchiveStruct empty;
    empty.bytes.fill(0xFF);
    EXPECT_EQ(empty.Marker(), ArchiveRecordMarker::Empty);
    EXPECT_EQ(empty.StoredCheckWord(), 0xFFFF);
    EXPECT_EQ(empty.ComputedCheckWord(), 0x0202);
    EXPECT_FALSE(empty.IsCheckWordValid());

    ArchiveStruct skipped;
    EXPECT_EQ(skipped.Marker(), ArchiveRecordMarker::Skipped);
    EXPECT_EQ(skipped.ComputedCheckWord(), 0x592D);
    EXPECT_FALSE(skipped.IsCheckWordValid());

    TotalArchiveStruct total;
    total.bytes.fill(0xFF);
    EXPECT_TRUE(total.IsEmpty());
    EXPECT_EQ(total.ComputedCheckWord(), 0x0202);

    // All four bytes take part in the markers.
    ArchiveStruct notSkipped;
    notSkipped.bytes[3] = 0x05;
    EXPECT_EQ(notSkipped.Marker(), ArchiveRecordMarker::None);
    EXPECT_THROW(notSkipped.Date(), EConvertError);
    ArchiveStruct notEmpty;
    notEmpty.bytes.fill(0xFF);
    notEmpty.bytes[2] = 0x01;
    EXPECT_EQ(notEmpty.Marker(), ArchiveRecordMarker::None);
}

TEST(ArchiveRecord, CheckWordPassesAndAnyFlippedByteFails)
{
    ArchiveStruct record = PatternRecord();
    record.StoreCheckWord();
    ASSERT_TRUE(record.IsCheckWordValid());
    for (size_t i = 0; i < record.bytes.size(); ++i) {
        ArchiveStruct damaged = record;
        damaged.bytes[i] ^= 0x01;
        EXPECT_FALSE(damaged.IsCheckWordValid()) << "byte " << i;
    }
    TotalArchiveStruct total;
    total.bytes = record.bytes;
    EXPECT_TRUE(total.IsCheckWordValid());
    total.bytes[100] ^= 0x80;
    EXPECT_FALSE(total.IsCheckWordValid());
}

TEST(ArchiveRecord, CheckWordIsStoredLowByteFirst)
{
    ArchiveStruct record;
    record.WriteU16(254, 0x1234);
    EXPECT_EQ(record.bytes[254], 0x34);
    EXPECT_EQ(record.bytes[255], 0x12);
    EXPECT_EQ(record.StoredCheckWord(), 0x1234);
}

TEST(ArchiveRecord, DateAndHour)
{
    ArchiveStruct record = PatternRecord();
    EXPECT_EQ(record.Date(), 45596); // 31 October 2024
    EXPECT_EQ(record.Hour(), 5);
    record.bytes[2] = 32;
    EXPECT_THROW(record.Date(), EConvertError);
}

TEST(ArchiveRecord, FieldsAreLittleEndianAtTheirOffsets)
{
    ArchiveStruct record;
    record.bytes[52] = 0x00; // t1 = -512 stored 0x00 0xFE
    record.bytes[53] = 0xFE;
    EXPECT_EQ(record.Temperature(1), -512);
    record.bytes[64 + 2] = 0xD2; // P2 = 1234
    record.bytes[64 + 3] = 0x04;
    EXPECT_EQ(record.Pressure(2), 1234);
    // 1.5f is 0x3FC00000.
    const uint8_t onePointFive[4] = {0x00, 0x00, 0xC0, 0x3F};
    std::copy(std::begin(onePointFive), std::end(onePointFive), record.bytes.begin() + 4 + 4 * 5);
    EXPECT_EQ(record.Volume(6), 1.5f);
    record.bytes[182] = 0xFF; // heat system 1 flags: 15 defined bits
    record.bytes[183] = 0xFF;
    EXPECT_EQ(record.HeatSystemFlags(1), 0x7FFF);
    record.bytes[244] = 0x01;
    EXPECT_EQ(record.HeatSystemFlags(2), 0x0001);
    record.WriteU16(116, 0xFFFF);
    EXPECT_EQ(record.HardwareFlags(), 0x3FFF);
    record.bytes[110 + 5] = 0xA5;
    EXPECT_EQ(record.ChannelFlags(6), 0xA5);
}

TEST(ArchiveRecord, OffsetsOfBothLayouts)
{
    struct Case {
        size_t offset;
        size_t expected;
    };
    const Case cases[] = {
        {ArchiveStruct::VolumeOffset(1), 4},
        {ArchiveStruct::VolumeOffset(6), 24},
        {ArchiveStruct::MassOffset(5), 44},
        {ArchiveStruct::TemperatureOffset(5), 60},
        {ArchiveStruct::PressureOffset(6), 74},
        {ArchiveStruct::ColdWaterTimeOffset(6), 92},
        {ArchiveStruct::EventTimeOffset(8), 108},
        {ArchiveStruct::ChannelFlagsOffset(6), 115},
        {ArchiveStruct::HeatEnergyOffset(1, HeatEnergy::Q), 130},
        {ArchiveStruct::HeatEnergyOffset(2, HeatEnergy::Min), 192 + 32},
        {ArchiveStruct::HeatTimeOffset(1, HeatTime::Work), 166},
        {ArchiveStruct::HeatTimeOffset(2, HeatTime::Staff), 192 + 40},
        {ArchiveStruct::HeatTimeOffset(2, HeatTime::Min), 192 + 50},
        {ArchiveStruct::HeatSystemFlagsOffset(1), 182},
        {ArchiveStruct::HeatSystemFlagsOffset(2), 244},
        // Totals: V, M, Q3 keep their offsets; minute counts widen to 32 bits.
        {TotalArchiveStruct::VolumeOffset(6), 24},
        {TotalArchiveStruct::MassOffset(1), 28},
        {TotalArchiveStruct::kQ3, ArchiveStruct::kQ3},
        {TotalArchiveStruct::ColdWaterTimeOffset(6), 80},
        {TotalArchiveStruct::EventTimeOffset(8), 112},
        {TotalArchiveStruct::HeatEnergyOffset(1, HeatEnergy::Q), 118},
        {TotalArchiveStruct::HeatEnergyOffset(2, HeatEnergy::Min), 186 + 32},
        {TotalArchiveStruct::HeatTimeOffset(1, HeatTime::Work), 118 + 36},
        {TotalArchiveStruct::HeatTimeOffset(2, HeatTime::Min), 186 + 64},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].offset, cases[i].expected) << "case " << i;
    // The last total field ends just before the check word.
    EXPECT_EQ(TotalArchiveStruct::HeatTimeOffset(2, HeatTime::Min) + 4, 254u);
}

TEST(ArchiveRecord, OutOfRangeFieldsAreErrors)
{
    ArchiveStruct record;
    EXPECT_NO_THROW(record.ReadU32(252));
    EXPECT_THROW(record.ReadU32(253), platform::Exception);
    EXPECT_THROW(record.ReadU8(256), platform::Exception);
    EXPECT_THROW(record.ReadU16(static_cast<size_t>(-1)), platform::Exception);
    EXPECT_THROW(record.Volume(0), platform::Exception);
    EXPECT_THROW(record.Volume(7), platform::Exception);
    EXPECT_THROW(record.HeatSystemFlags(3), platform::Exception);
    try {
        record.ReadU32(253);
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), "Поле записи со смещением 253 и длиной 4 выходит за пределы записи длиной 256 байт");
    }
    JournalStruct journal;
    EXPECT_THROW(journal.ReadU32(13), platform::Exception);
}

TEST(JournalRecord, Fields)
{
    const JournalStruct record = Journal({24, 2, 29, 23, 59, 59}, 0x1234, 0x04030201, 0xF0E0D0C0);
    EXPECT_EQ(record.bytes[6], 0x34);
    EXPECT_EQ(record.bytes[7], 0x12);
    EXPECT_EQ(record.EventCode(), 0x234);
    EXPECT_EQ(record.JournalValueType(), 1);
    EXPECT_EQ(record.OldValue(), 0x04030201u);
    EXPECT_EQ(record.NewValue(), 0xF0E0D0C0u);
    EXPECT_EQ(record.OldValueBytes()[0], 0x01);
    EXPECT_EQ(record.NewValueBytes()[3], 0xF0);
}

class JournalTimeUnderLocale : public testsupport::UnderLocale {};

TEST_P(JournalTimeUnderLocale, TimeStamps)
{
    struct Case {
        const char* what;
        JournalStruct record;
        JournalTimeKind kind;
        double time;
        const char* text;
    };
    const double endOfDay = 86399.0 / 86400.0;
    const double ninePast = (14 * 3600 + 7 * 60 + 9) / 86400.0;
    auto skippedWithData = FilledJournal(0x00);
    skippedWithData.bytes[4] = 0x11;
    skippedWithData.bytes[10] = 0x22;
    const Case cases[] = {
        {"valid", Journal({24, 3, 5, 14, 7, 9}, 0, 0, 0), JournalTimeKind::Valid, 45356 + ninePast, "05/03/24 14:07:09"},
        {"leap day", Journal({24, 2, 29, 23, 59, 59}, 0, 0, 0), JournalTimeKind::Valid, 45351 + endOfDay,
         "29/02/24 23:59:59"},
        {"day 30 of February", Journal({24, 2, 30, 0, 0, 0}, 0, 0, 0), JournalTimeKind::IncorrectTime, 0,
         "Некоректное время"},
        {"month 13", Journal({24, 13, 1, 0, 0, 0}, 6, 0, 1), JournalTimeKind::IncorrectTime, 0, "Некоректное время"},
        {"time invalid keeps the date", Journal({24, 2, 29, 24, 0, 0}, 0, 0, 0), JournalTimeKind::IncorrectTime, 45351,
         "Некоректное время"},
        {"second 60", Journal({24, 2, 29, 0, 0, 60}, 0, 0, 0), JournalTimeKind::IncorrectTime, 45351,
         "Некоректное время"},
        {"sixteen zeros", FilledJournal(0x00), JournalTimeKind::SkippedPage, 0, "Пропущ.страница"},
        {"sixteen 0xFF", FilledJournal(0xFF), JournalTimeKind::EmptyPage, 0, "Пустая страница"},
        {"zeros then data", skippedWithData, JournalTimeKind::SkippedPage, 0, "Пропущ.страница"},
        {"month 0 not a marker", Journal({0, 0, 0, 1}, 0, 0, 0), JournalTimeKind::IncorrectTime, 0,
         "Некоректное время"},
    };
    for (const auto& c : cases) {
        const auto stamp = dax_namespace::JournalTime(c.record);
        EXPECT_EQ(stamp.kind, c.kind) << c.what;
        EXPECT_DOUBLE_EQ(stamp.time, c.time) << c.what;
        EXPECT_EQ(stamp.text, c.text) << c.what;
        EXPECT_EQ(dax_namespace::JournalTimeText(c.record), c.text) << c.what;
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(JournalTimeUnderLocale);

} // namespace

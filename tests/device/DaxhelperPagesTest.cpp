#include "DaxhelperFixture.h"
#include "RecordBytes.h"

#include "comm/Crc16.h"

#include <gtest/gtest.h>

namespace {

using namespace testsupport;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

const char* const kLength = "Неверная длина ответа архивных данных";

// Record k of a page: every byte distinct from those of the other records.
Bytes Record(size_t size, uint8_t tag)
{
    Bytes record(size);
    for (size_t i = 0; i < size; ++i)
        record[i] = static_cast<uint8_t>(tag * 17 + i);
    return record;
}

// A page answer: the data part is exactly dataSize bytes, the records first, zero after them.
Bytes PageAnswer(uint16_t start, uint8_t carried, const std::vector<Bytes>& records, size_t dataSize,
                 uint8_t function = 0x41)
{
    Bytes body = {0x01, function, 0xAA, 0xBB, static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>(start >> 8),
                  carried};
    for (const auto& r : records)
        body.insert(body.end(), r.begin(), r.end());
    body.resize(7 + dataSize, 0);
    return WithCrc(body);
}

TEST(ArchiveDataSizeTest, Table)
{
    const struct {
        uint8_t type, count;
        int32_t size;
    } cases[] = {{0, 1, 256}, {4, 255, 256}, {5, 16, 256}, {6, 200, 256}, {6, 3, 48},
                 {2, 0, 0},   {7, 2, 32},    {5, 1, 16},   {255, 17, 256}};
    for (const auto& c : cases)
        EXPECT_EQ(ArchiveDataSize(c.type, c.count), c.size) << int(c.type) << " x " << int(c.count);
}

class DaxHelperPages : public testsupport::DaxHelperFixture {};

TEST_F(DaxHelperPages, RequestFrame)
{
    uint16_t start = 0x0102;
    uint8_t count = 16;
    chanel_.Queue(ScriptedReply::Answer(PageAnswer(0x0112, 16, {}, 256)));
    helper_.ReadArchivePage(5, 0, start, count, nullptr, 1);
    EXPECT_EQ(chanel_.Transactions()[0].request, (Bytes{0x01, 0x41, 0x05, 0x00, 0x02, 0x01, 0x10, 0x69, 0x4D}));
}

struct PageCase {
    const char* name;
    uint32_t type;
    uint8_t asked;
    uint8_t carried;
    size_t recordSize;
    size_t expectedLength;
};

TEST_F(DaxHelperPages, RecordsOfEachTypeGoToTheirListInOrder)
{
    const PageCase cases[] = {
        {"hour, 255 asked", 0, 255, 1, 256, 265},   {"day", 1, 1, 1, 256, 265},
        {"month", 2, 3, 1, 256, 265},               {"total day", 3, 1, 1, 256, 265},
        {"total month", 4, 9, 1, 256, 265},         {"not staff, full page", 5, 16, 16, 16, 265},
        {"operator, 5 asked", 6, 5, 5, 16, 89},     {"operator, 200 asked", 6, 200, 16, 16, 265},
        {"operator, fewer than asked", 6, 5, 2, 16, 89},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        helper_.ClearReadLists();
        std::vector<Bytes> records;
        for (uint8_t k = 0; k < c.carried; ++k)
            records.push_back(Record(c.recordSize, static_cast<uint8_t>(k + c.type)));
        chanel_.Queue(ScriptedReply::Answer(PageAnswer(0x3412, c.carried, records, c.expectedLength - 9)));
        uint16_t start = 7;
        uint8_t count = c.asked;
        ASSERT_TRUE(helper_.ReadArchivePage(c.type, 0, start, count, nullptr, 3));
        EXPECT_EQ(chanel_.Transactions().back().expectedLength, c.expectedLength);
        EXPECT_EQ(start, 0x3412);
        EXPECT_EQ(count, c.carried);
        const std::vector<Bytes> lists[] = {RecordBytes(helper_.HourArchiveList),       RecordBytes(helper_.DayArchiveList),
                                            RecordBytes(helper_.MonthArchiveList),      RecordBytes(helper_.TotalDayArchiveList),
                                            RecordBytes(helper_.TotalMonthArchiveList), RecordBytes(helper_.NotStaffJournalList),
                                            RecordBytes(helper_.OperatorJournalList)};
        for (uint32_t t = 0; t < 7; ++t)
            EXPECT_EQ(lists[t], t == c.type ? records : std::vector<Bytes>{}) << "list " << t;
    }
}

TEST_F(DaxHelperPages, ArgumentBitZeroPutsThePageInFront)
{
    const Bytes x = Record(16, 9), a = Record(16, 1), b = Record(16, 2), c = Record(16, 3);
    for (const int32_t argument : {0, 1, 2, 3}) {
        SCOPED_TRACE(argument);
        helper_.ClearReadLists();
        chanel_.Queue(ScriptedReply::Answer(PageAnswer(0, 1, {x}, 16)));
        uint16_t start = 0;
        uint8_t count = 1;
        ASSERT_TRUE(helper_.ReadArchivePage(6, 0, start, count, nullptr, 1));
        chanel_.Queue(ScriptedReply::Answer(PageAnswer(1, 3, {a, b, c}, 48)));
        count = 3;
        ASSERT_TRUE(helper_.ReadArchivePage(6, argument, start, count, nullptr, 1));
        EXPECT_EQ(chanel_.Transactions().back().request[3], argument);
        const std::vector<Bytes> expected = argument & 1 ? std::vector<Bytes>{c, b, a, x} : std::vector<Bytes>{x, a, b, c};
        EXPECT_EQ(RecordBytes(helper_.OperatorJournalList), expected);
    }
}

TEST_F(DaxHelperPages, NothingAskedNothingTaken)
{
    chanel_.Queue(ScriptedReply::Answer(PageAnswer(0x0005, 0, {}, 0)));
    uint16_t start = 5;
    uint8_t count = 0;
    EXPECT_TRUE(helper_.ReadArchivePage(1, 0, start, count, nullptr, 1));
    EXPECT_EQ(chanel_.Transactions()[0].expectedLength, 9u);
    EXPECT_TRUE(helper_.DayArchiveList.empty());
}

TEST_F(DaxHelperPages, UnknownTypeRecordsAreSkipped)
{
    chanel_.Queue(ScriptedReply::Answer(PageAnswer(3, 2, {Record(16, 1), Record(16, 2)}, 32)));
    uint16_t start = 0;
    uint8_t count = 2;
    EXPECT_TRUE(helper_.ReadArchivePage(7, 0, start, count, nullptr, 1));
    EXPECT_EQ(start, 3);
    for (const auto* list : {&helper_.NotStaffJournalList, &helper_.OperatorJournalList})
        EXPECT_TRUE(list->empty());
}

struct BadPageCase {
    const char* name;
    Bytes answer;
    const char* text;
    size_t attempts; // with tries 3
};

TEST_F(DaxHelperPages, BadPagesFailAndChangeNothing)
{
    // Asking 2 operator records: D = 32, answer 41 bytes.
    const Bytes r1 = Record(16, 1), r2 = Record(16, 2), r3 = Record(16, 3);
    Bytes shortByTwo = PageAnswer(9, 2, {r1, r2}, 30);
    const BadPageCase cases[] = {
        {"two bytes short", shortByTwo, kLength, 1},
        {"count beyond the data part", PageAnswer(9, 3, {r1, r2}, 32), kLength, 1},
        {"count 0 when records were asked", PageAnswer(9, 0, {}, 32), kLength, 1},
        {"another function", PageAnswer(9, 2, {r1, r2}, 32, 0x03), "Недопустимый ответ от прибора", 3},
        {"exception answer", WithCrc({0x01, 0xC1, 0x02}), "Недопустимый(неверный) номер регистра", 3},
        {"silence", {}, "Недопустимый ответ от прибора", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        helper_.ClearReadLists();
        helper_.OperatorJournalList.push_back({});
        testsupport::ScriptedChanel chanel;
        chanel.SetAddress(1);
        helper_.SetChannel(&chanel);
        for (int i = 0; i < 3; ++i)
            chanel.Queue(c.answer.empty() ? ScriptedReply::Silence() : ScriptedReply::Answer(c.answer));
        uint16_t start = 0x0444;
        uint8_t count = 2;
        EXPECT_EQ(FailureText([&] { helper_.ReadArchivePage(6, 0, start, count, nullptr, 3); }), c.text);
        EXPECT_EQ(chanel.Transactions().size(), c.attempts);
        EXPECT_EQ(start, 0x0444);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(helper_.OperatorJournalList.size(), 1u);
    }
}

TEST_F(DaxHelperPages, AnOverlongArchivePageIsCutByTheChannelAndRefused)
{
    // One hour record asked; the instrument claims 2 (512 bytes would not fit one page).
    uint16_t start = 0;
    uint8_t count = 1;
    chanel_.Queue(ScriptedReply::Answer(PageAnswer(0, 2, {Record(256, 1)}, 256)));
    EXPECT_EQ(FailureText([&] { helper_.ReadArchivePage(0, 0, start, count, nullptr, 1); }), kLength);
    EXPECT_TRUE(helper_.HourArchiveList.empty());
}

TEST_F(DaxHelperPages, CommitCopiesTheListsAsTheyAre)
{
    // An archive record whose check word is wrong goes through like any other.
    Bytes bad = Record(256, 4);
    const uint16_t crc = Crc16Ccitt(std::span<const uint8_t>(bad).first(254));
    bad[254] = static_cast<uint8_t>(~crc & 0xFF);
    bad[255] = static_cast<uint8_t>(crc >> 8);
    chanel_.Queue(ScriptedReply::Answer(PageAnswer(1, 1, {bad}, 256)));
    chanel_.Queue(ScriptedReply::Answer(PageAnswer(1, 2, {Record(16, 5), Record(16, 6)}, 32)));
    uint16_t start = 0;
    uint8_t count = 1;
    ASSERT_TRUE(helper_.ReadArchivePage(3, 0, start, count, nullptr, 1));
    count = 2;
    ASSERT_TRUE(helper_.ReadArchivePage(5, 0, start, count, nullptr, 1));
    {
        DaxHelperLocker lock(&helper_);
        helper_.HourArchive.resize(4); // replaced as a whole, not merged
    }
    for (int round = 0; round < 2; ++round) {
        helper_.CommitReadLists();
        DaxHelperLocker lock(&helper_);
        EXPECT_TRUE(helper_.HourArchive.empty());
        ASSERT_EQ(helper_.TotalDayArchive.size(), 1u);
        EXPECT_EQ(Bytes(helper_.TotalDayArchive[0].bytes.begin(), helper_.TotalDayArchive[0].bytes.end()), bad);
        ASSERT_EQ(helper_.NotStaffJournal.size(), 2u);
        EXPECT_EQ(Bytes(helper_.NotStaffJournal[1].bytes.begin(), helper_.NotStaffJournal[1].bytes.end()),
                  Record(16, 6));
    }
    EXPECT_EQ(helper_.NotStaffJournalList.size(), 2u); // the lists stay until cleared
    helper_.ClearReadLists();
    helper_.CommitReadLists();
    DaxHelperLocker lock(&helper_);
    EXPECT_TRUE(helper_.TotalDayArchive.empty());
    EXPECT_TRUE(helper_.NotStaffJournal.empty());
}

} // namespace

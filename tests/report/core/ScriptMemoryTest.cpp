// The memory account of scripts: when it counts, when it raises, and how a count treats
// shared texts and arrays.

#include "report/core/ScriptErrors.h"
#include "report/core/ScriptMemory.h"
#include "report/core/Variant.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

constexpr int64_t kMiB = int64_t{1} << 20;

// An account whose script holds what the test says.
class TestMemory : public ScriptMemory {
public:
    int64_t HeldNow = 0;
    int Counts = 0;
    int DueCalls = 0;

protected:
    void CountHeld(ScriptMemoryCounter& counter) const override
    {
        ++const_cast<TestMemory*>(this)->Counts;
        counter.AddBytes(HeldNow);
    }
    void OnCheckDue() noexcept override { ++DueCalls; }
};

TEST(ScriptMemory, ChargesCountOnlyPastWhatIsLeftAndRaiseOverTheLimit)
{
    TestMemory memory;
    memory.SetLimit(64 * kMiB);
    memory.Charge(60 * kMiB);
    EXPECT_EQ(memory.Counts, 0);
    // Past the limit by the charges, but the script let most of it go: a count settles it.
    memory.HeldNow = 10 * kMiB;
    memory.Charge(10 * kMiB);
    EXPECT_EQ(memory.Counts, 1);
    EXPECT_EQ(memory.Held(), 20 * kMiB);
    // What the script really holds plus the charge passes the limit: refused, nothing charged.
    memory.HeldNow = 60 * kMiB;
    EXPECT_THROW(memory.Charge(50 * kMiB), EOutOfMemory);
    EXPECT_EQ(memory.Held(), 60 * kMiB);
    // The handler gets a sixteenth of the limit; then the account raises again.
    memory.Charge(3 * kMiB);
    EXPECT_EQ(memory.Counts, 2);
    memory.HeldNow = 63 * kMiB;
    EXPECT_THROW(memory.Charge(2 * kMiB), EOutOfMemory);
    // Once the script freed enough, charges go through again.
    memory.HeldNow = 0;
    memory.Charge(32 * kMiB);
    EXPECT_EQ(memory.Held(), 32 * kMiB);
}

TEST(ScriptMemory, NotesMakeACheckDueThatRaisesAtTheCheck)
{
    TestMemory memory;
    memory.SetLimit(8 * kMiB);
    memory.Note(4 * kMiB);
    EXPECT_FALSE(memory.CheckDue());
    memory.HeldNow = 9 * kMiB;
    memory.Note(5 * kMiB);
    memory.Note(kMiB);
    EXPECT_TRUE(memory.CheckDue());
    EXPECT_EQ(memory.DueCalls, 1);
    EXPECT_EQ(memory.Counts, 0); // noting never counts or raises
    EXPECT_THROW(memory.Check(), EOutOfMemory);
    EXPECT_FALSE(memory.CheckDue());
    // A charge that counted after the check became due settles it.
    memory.HeldNow = 0;
    memory.Note(16 * kMiB);
    ASSERT_TRUE(memory.CheckDue());
    memory.Charge(1);
    const int counts = memory.Counts;
    memory.Check();
    EXPECT_EQ(memory.Counts, counts);
}

TEST(ScriptMemory, ActiveAccountTakesChargesOnlyWhileSet)
{
    TestMemory memory;
    memory.SetLimit(kScriptMemoryMinimumLimit);
    EXPECT_EQ(ActiveScriptMemory(), nullptr);
    ChargeScriptMemory(100 * kMiB); // no script runs: nothing to charge
    {
        ActiveScriptMemoryScope scope(&memory);
        EXPECT_EQ(ActiveScriptMemory(), &memory);
        ChargeScriptMemory(1000);
        const Variant text(QString(1000, u'x'));
        EXPECT_EQ(memory.Held(), 1000 + ScriptTextBytes(1000));
        EXPECT_THROW(Variant::CreateArray(std::array{VariantArrayBound{0, 100000}}), EOutOfMemory);
    }
    EXPECT_EQ(ActiveScriptMemory(), nullptr);
}

TEST(ScriptMemoryCounter, SharedTextsAndArraysCountOnce)
{
    const QString text(1000, u'a');
    const Variant a(text);
    const Variant b(text);
    ScriptMemoryCounter shared;
    shared.AddValue(a);
    shared.AddValue(b);
    EXPECT_EQ(shared.Total(), ScriptTextBytes(text.capacity()));

    ScriptMemoryCounter literal;
    literal.AddText(QStringLiteral("static text of the program"));
    EXPECT_EQ(literal.Total(), 0);

    Variant array = Variant::CreateArray(std::array{VariantArrayBound{0, 9}});
    const int32_t first[] = {0};
    const int32_t second[] = {1};
    array.SetArrayItem(first, a);
    array.SetArrayItem(second, Variant(QString(500, u'b')));
    const Variant copy = array; // shares the elements
    ScriptMemoryCounter arrays;
    arrays.AddValue(array);
    const int64_t once = arrays.Total();
    arrays.AddValue(copy);
    EXPECT_EQ(arrays.Total(), once);
    EXPECT_GE(once, 10 * static_cast<int64_t>(sizeof(Variant)) + ScriptTextBytes(1000) + ScriptTextBytes(500));
}

} // namespace

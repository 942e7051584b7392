#include "VariantCases.h"

#include "report/core/NumberText.h"
#include "report/core/ObjectHandles.h"
#include "report/core/Rounding.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Variant.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

using namespace variantcases;

class VariantTable : public testing::TestWithParam<Case> {};

TEST_P(VariantTable, GivesTheExpectedResult)
{
    EXPECT_EQ(Evaluate(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, VariantTable, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The results must not depend on the C library's locale.
TEST(VariantTable, SameResultsUnderARussianLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr);
    for (const Case& c : AllCases())
        EXPECT_EQ(Evaluate(c), c.expected) << c.name;
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(VariantConversion, UsesTheGivenSettings)
{
    FormatSettings russian;
    russian.DecimalSeparator = u',';
    EXPECT_EQ(Variant(1.5).ToString(russian), QStringLiteral("1,5"));
    EXPECT_EQ(Variant(-2.5e-7).ToString(russian), QStringLiteral("-2,5E-7"));
    EXPECT_EQ(Variant("2,25").ToDouble(russian), 2.25);
    EXPECT_THROW(Variant("2.25").ToDouble(russian), EVariantError);
    EXPECT_EQ(VariantAdd(Variant("1,5"), Variant(int32_t{1}), russian).ToString(russian), QStringLiteral("2,5"));
}

TEST(VariantConversion, DateValuesReadAsDateTimeOrTimeAlone)
{
    FormatSettings settings;
    settings.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    settings.DateSeparator = u'.';
    settings.LongTimeFormat = QStringLiteral("hh:nn:ss");
    settings.TimeSeparator = u':';
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.5, "12:00:00"},                 // a time of day, as a report's [Time] shows it
        {0.25 + 1.0 / 86400, "06:00:01"},
        {0, "30.12.1899"},                 // day 0 itself is a date
        {1, "31.12.1899"},
        {1.75, "31.12.1899 18:00:00"},
        {46367.5, "11.12.2026 12:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Variant::FromDateTime(c.value).ToString(settings), QString::fromLatin1(c.text)) << c.value;
}

TEST(VariantConversion, TextToInt64Limits)
{
    int64_t value = 0;
    EXPECT_TRUE(TextToInt64(u"-9223372036854775808", value));
    EXPECT_EQ(value, INT64_MIN);
    EXPECT_TRUE(TextToInt64(u"9223372036854775807", value));
    EXPECT_EQ(value, INT64_MAX);
    EXPECT_FALSE(TextToInt64(u"9223372036854775808", value));
    EXPECT_TRUE(TextToInt64(u"0x7fffFFFF", value));
    EXPECT_EQ(value, 0x7fffffff);
    EXPECT_FALSE(TextToInt64(u"$", value));
    EXPECT_FALSE(TextToInt64(u"12 ", value));
    EXPECT_FALSE(TextToInt64(u"", value));
}

TEST(VariantConversion, FloatTextRoundTripsEveryPowerOfTen)
{
    for (int e = -300; e <= 300; e += 7) {
        const double value = std::stod("1e" + std::to_string(e));
        double back = 0;
        ASSERT_EQ(TextToFloat(FloatToGeneralText(value, 17, FormatSettings::C()), FormatSettings::C(), back),
                  TextToFloatResult::Ok);
        EXPECT_EQ(back, value) << e;
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    const struct {
        double in;
        double out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, -0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    int64_t r = 0;
    EXPECT_FALSE(RoundHalfEvenToInt64(9.3e18, r));
    EXPECT_FALSE(RoundHalfEvenToInt64(std::nan(""), r));
    EXPECT_TRUE(RoundHalfEvenToInt64(-9223372036854775808.0, r));
    EXPECT_EQ(r, INT64_MIN);
}

TEST(Rounding, ClampedToARange)
{
    const struct {
        double in;
        int32_t out;
    } cases[] = {{10.5, 10}, {11.5, 12}, {-3.5, -4}, {1e300, 100}, {-1e300, -100}, {250, 100},
                 {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 100}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEvenClamped(c.in, -100, 100), c.out) << c.in;
    EXPECT_EQ(RoundHalfEvenClamped(std::nan(""), 5, 9), 5) << "NaN counts as 0, then clamped";
}

TEST(VariantArray, ElementsOfEveryDimensionCount)
{
    for (int dims = 1; dims <= 6; ++dims) {
        std::vector<VariantArrayBound> bounds(static_cast<size_t>(dims), VariantArrayBound{1, 3});
        Variant a = Variant::CreateArray(bounds);
        EXPECT_EQ(a.ArrayDimCount(), dims);
        std::vector<int32_t> index(static_cast<size_t>(dims), 2);
        a.SetArrayItem(index, Variant(int32_t{42}));
        EXPECT_EQ(a.ArrayItem(index).AsInt32(), 42);
        index.back() = 3;
        EXPECT_TRUE(a.ArrayItem(index).IsUnassigned());
        index.back() = 4;
        EXPECT_THROW(a.ArrayItem(index), EVariantBadIndexError);
        index.pop_back();
        if (!index.empty()) {
            EXPECT_THROW(a.ArrayItem(index), EVariantInvalidArgError);
        }
    }
}

TEST(VariantArray, CopiesOnWrite)
{
    const VariantArrayBound bounds[] = {{0, 2}};
    Variant a = Variant::CreateArray(bounds);
    const int32_t first[] = {0};
    a.SetArrayItem(first, Variant("a"));
    Variant b = a;
    b.SetArrayItem(first, Variant("b"));
    EXPECT_EQ(a.ArrayItem(first).AsString(), QStringLiteral("a"));
    EXPECT_EQ(b.ArrayItem(first).AsString(), QStringLiteral("b"));
}

TEST(VariantArray, StoringAnArrayIntoItselfKeepsTheOldElements)
{
    const VariantArrayBound bounds[] = {{0, 1}};
    Variant a = Variant::CreateArray(bounds);
    const int32_t first[] = {0};
    const int32_t second[] = {1};
    a.SetArrayItem(second, Variant(int32_t{7}));
    a.SetArrayItem(first, a);
    const Variant& inner = a.ArrayItem(first);
    ASSERT_TRUE(inner.IsArray());
    EXPECT_TRUE(inner.ArrayItem(first).IsUnassigned());
    EXPECT_EQ(inner.ArrayItem(second).AsInt32(), 7);
}

TEST(VariantArray, NestingIsBounded)
{
    const VariantArrayBound bounds[] = {{0, 0}};
    const int32_t first[] = {0};
    Variant a = Variant::CreateArray(bounds);
    int levels = 1;
    try {
        for (; levels < 10 * kMaxArrayNesting; ++levels) {
            Variant outer = Variant::CreateArray(bounds);
            outer.SetArrayItem(first, a);
            a = outer;
        }
        FAIL() << "no limit";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(levels, kMaxArrayNesting);
        EXPECT_EQ(e.Message(), "Out of memory");
    }
}

TEST(VariantArray, SizeIsCapped)
{
    const VariantArrayBound tooMany[] = {{0, 2047}, {0, 2047}, {0, 2}};
    EXPECT_THROW(Variant::CreateArray(tooMany), EOutOfMemory);
    const VariantArrayBound overflowing[] = {{INT32_MIN, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    EXPECT_THROW(Variant::CreateArray(overflowing), EOutOfMemory);
    const VariantArrayBound empty[] = {{5, 2}};
    EXPECT_EQ(Variant::CreateArray(empty).ArrayElementCount(), 0);
    const VariantArrayBound one[] = {{0, 0}};
    Variant a = Variant::CreateArray(one);
    EXPECT_THROW(a.ArrayRedim(static_cast<int32_t>(kMaxArrayElements)), EOutOfMemory);
    a.ArrayRedim(9);
    EXPECT_EQ(a.ArrayElementCount(), 10);
}

TEST(VariantString, ConcatenationIsCapped)
{
    Variant s(QString(static_cast<qsizetype>(kMaxStringLength / 2 + 1), u'x'));
    EXPECT_THROW(VariantAdd(s, s), EOutOfMemory);
    Variant half(QString(static_cast<qsizetype>(kMaxStringLength / 2), u'x'));
    EXPECT_EQ(VariantAdd(half, half).AsString().size(), kMaxStringLength);
}

namespace {

// A result exactly: the kind and the value (a real by its bits), or the error's class and text.
std::string Exactly(const std::function<Variant()>& compute)
{
    try {
        const Variant v = compute();
        if (v.Kind() == VariantKind::Double || v.Kind() == VariantKind::DateTime)
            return std::string(KindText(v.Kind())) + " " + std::to_string(std::bit_cast<uint64_t>(v.AsDouble()));
        return Describe(v);
    } catch (const EScriptError& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
}

std::vector<Variant> OperandsOfEveryKind()
{
    const VariantArrayBound bounds[] = {{0, 1}};
    return {Variant(), Variant::NullValue(), Variant(true), Variant(false), Variant(int32_t{0}), Variant(int32_t{1}),
            Variant(int32_t{-1}), Variant(int32_t{7}), Variant(int32_t{-7}), Variant(int32_t{INT32_MAX}),
            Variant(int32_t{INT32_MIN}), Variant(int64_t{5}), Variant(int64_t{INT64_MAX}), Variant(int64_t{INT64_MIN}),
            Variant(0.0), Variant(-0.0), Variant(2.5), Variant(-3.5), Variant(1e308), Variant(-1e308),
            Variant(std::numeric_limits<double>::infinity()), Variant(std::numeric_limits<double>::quiet_NaN()),
            Variant(4.9e-324), Variant::FromDateTime(1.5), Variant("12"), Variant("2.5"), Variant("abc"), Variant(""),
            Variant::FromObject(3), Variant::CreateArray(bounds)};
}

} // namespace

// The interpreter's inline arithmetic and comparisons against the operator tables, over every
// pair of kinds and the edges: integer results that widen to Int64, Null and Unassigned,
// reals out of range, divisions by zero.
TEST(VariantInline, SameResultsAsTheTables)
{
    using Fast = Variant (*)(const Variant&, const Variant&, const FormatSettings&);
    const struct {
        const char* name;
        Fast fast;
        VariantOp op;
    } arithmetic[] = {
        {"+", &VariantArithmetic<VariantOp::Add>, VariantOp::Add},
        {"-", &VariantArithmetic<VariantOp::Subtract>, VariantOp::Subtract},
        {"*", &VariantArithmetic<VariantOp::Multiply>, VariantOp::Multiply},
        {"/", &VariantArithmetic<VariantOp::Divide>, VariantOp::Divide},
        {"div", &VariantArithmetic<VariantOp::IntDivide>, VariantOp::IntDivide},
        {"mod", &VariantArithmetic<VariantOp::Modulus>, VariantOp::Modulus},
    };
    using Test = bool (*)(const Variant&, const Variant&, const FormatSettings&);
    const struct {
        const char* name;
        Test fast;
        VariantRelation relation;
    } relations[] = {
        {"=", &VariantRelationHolds<VariantRelation::Equal>, VariantRelation::Equal},
        {"<>", &VariantRelationHolds<VariantRelation::NotEqual>, VariantRelation::NotEqual},
        {"<", &VariantRelationHolds<VariantRelation::Less>, VariantRelation::Less},
        {"<=", &VariantRelationHolds<VariantRelation::LessOrEqual>, VariantRelation::LessOrEqual},
        {">", &VariantRelationHolds<VariantRelation::Greater>, VariantRelation::Greater},
        {">=", &VariantRelationHolds<VariantRelation::GreaterOrEqual>, VariantRelation::GreaterOrEqual},
    };
    FormatSettings russian;
    russian.DecimalSeparator = u',';
    const std::vector<Variant> operands = OperandsOfEveryKind();
    int compared = 0;
    for (const FormatSettings* settings : {&FormatSettings::C(), static_cast<const FormatSettings*>(&russian)}) {
        for (const Variant& a : operands) {
            for (const Variant& b : operands) {
                const std::string pair = Exactly([&] { return a; }) + " , " + Exactly([&] { return b; });
                for (const auto& op : arithmetic) {
                    EXPECT_EQ(Exactly([&] { return op.fast(a, b, *settings); }),
                              Exactly([&] { return VariantBinary(op.op, a, b, *settings); }))
                        << op.name << ": " << pair;
                    ++compared;
                }
                for (const auto& relation : relations) {
                    EXPECT_EQ(Exactly([&] { return Variant(relation.fast(a, b, *settings)); }),
                              Exactly([&] { return Variant(VariantCompare(relation.relation, a, b, *settings)); }))
                        << relation.name << ": " << pair;
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 2 * 12 * 30 * 30);
}

TEST(VariantValue, KeepsNullAndUnassignedApart)
{
    EXPECT_TRUE(Variant().IsUnassigned());
    EXPECT_FALSE(Variant().IsNull());
    EXPECT_TRUE(Variant::NullValue().IsNull());
    EXPECT_EQ(VarType(Variant()), varEmpty);
    EXPECT_EQ(VarType(Variant::NullValue()), varNull);
    EXPECT_EQ(VarToStr(Variant::NullValue()), QString());
    EXPECT_EQ(VarType(Variant("x")), varOleStr);
    EXPECT_EQ(VarType(Variant(int64_t{1})), varInt64);
    EXPECT_EQ(VarType(Variant::FromObject(5)), varInteger);
}

namespace {

const ScriptClassInfo kBase{QStringLiteral("TBase")};
const ScriptClassInfo kDerived{QStringLiteral("TDerived"), &kBase};
const ScriptClassInfo kOther{QStringLiteral("TOther")};

class TestObject : public ScriptObject {
public:
    explicit TestObject(const ScriptClassInfo& cls) : class_(cls) {}
    const ScriptClassInfo& ScriptClass() const override { return class_; }

private:
    const ScriptClassInfo& class_;
};

std::string ErrorOf(uint32_t handle, const ScriptClassInfo& expected)
{
    try {
        ObjectHandles::Resolve(handle, expected);
        return "ok";
    } catch (const EScriptError& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
}

} // namespace

TEST(ObjectHandles, ResolveLiveNilDestroyedForgedAndWrongClass)
{
    auto object = std::make_unique<TestObject>(kDerived);
    const Variant v = ObjectHandles::ToVariant(object.get());
    ASSERT_EQ(v.Kind(), VariantKind::Object);
    const uint32_t handle = v.AsObject();
    EXPECT_GE(handle, ObjectHandles::kFirstObjectHandle);
    EXPECT_EQ(object->Handle(), handle);
    EXPECT_EQ(&ObjectHandles::Resolve(handle, kBase), object.get());
    EXPECT_EQ(ErrorOf(handle, kDerived), "ok");
    EXPECT_EQ(ErrorOf(handle, kOther), "EInvalidCast: Invalid class typecast");
    EXPECT_EQ(ErrorOf(0, kBase), "EAccessViolation: Object reference is nil");
    EXPECT_EQ(ErrorOf(12345, kBase), "EAccessViolation: Invalid object reference");
    EXPECT_EQ(ErrorOf(0xFFFFFFF0u, kBase), "EAccessViolation: Invalid object reference");
    // Through an integer the script kept, identity survives.
    const Variant asInteger(v.ToInt32());
    EXPECT_EQ(ObjectHandles::HandleOf(asInteger), handle);
    EXPECT_EQ(ObjectHandles::HandleOf(Variant(int32_t{-5})), 0xFFFFFFFBu);
    EXPECT_EQ(ObjectHandles::HandleOf(Variant::NullValue()), 0u);
    EXPECT_THROW(ObjectHandles::HandleOf(Variant("x")), EInvalidCast);
    object.reset();
    EXPECT_EQ(ErrorOf(handle, kBase), "EAccessViolation: Object was destroyed");
    EXPECT_EQ(ObjectHandles::Find(handle), nullptr);
    // A new object never gets the old number.
    TestObject next(kBase);
    EXPECT_GT(next.Handle(), handle);
    EXPECT_EQ(ObjectHandles::ToVariant(nullptr).AsObject(), 0u);
}

TEST(ScriptErrors, ClassNamesOfForeignErrors)
{
    EXPECT_STREQ(ScriptErrorClassName(EDivByZero()), "EDivByZero");
    EXPECT_STREQ(ScriptErrorClassName(EScriptException("x")), "Exception");
    EXPECT_STREQ(ScriptErrorClassName(std::bad_alloc()), "EOutOfMemory");
    EXPECT_STREQ(ScriptErrorClassName(platform::Exception("x")), "Exception");
    std::string name;
    std::string message;
    try {
        throw std::bad_alloc();
    } catch (...) {
        ASSERT_TRUE(CurrentScriptError(name, message));
    }
    EXPECT_EQ(name, "EOutOfMemory");
    EXPECT_EQ(message, "Out of memory");
    try {
        throw 5;
    } catch (...) {
        EXPECT_FALSE(CurrentScriptError(name, message));
    }
}

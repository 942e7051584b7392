// The 68 functions of the system module, in the order and with the declarations scripts and
// the catalogue see. Each has its own callable: arguments come from the call's frame and var
// arguments go back through it, so no function depends on another call's state.
//
// Scripts are not trusted: every function checks its arguments (sizes against the value
// limits, ordinals against their ranges) and raises the run-time library's errors.

#include "sc_isysrtti.h"
#include "sc_iconsts.h"

#include "sc_iinterpreter_script.h"

#include "report/core/Conversions.h"
#include "report/core/Dispatch.h"
#include "report/core/Formats.h"
#include "report/core/NumberText.h"
#include "report/core/Rounding.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"

#include "platform/DateTime.h"

#include <cmath>
#include <vector>

namespace {

using Frame = TscCallFrame;

const FormatSettings& Settings()
{
    return ScActiveSettings();
}

QString Text(const Variant& value)
{
    return VarToStr(value, Settings());
}

double Real(const Variant& value)
{
    return value.ToDouble(Settings());
}

int64_t Whole(const Variant& value)
{
    return value.ToInt64(Settings());
}

// An integer that fits 32 bits as Int32, a larger one as Int64.
Variant IntegerValue(int64_t value)
{
    if (value >= INT32_MIN && value <= INT32_MAX)
        return Variant(static_cast<int32_t>(value));
    return Variant(value);
}

// A real that no integer holds (NaN, infinities, beyond 64 bits) is an invalid operation.
Variant RealToInteger(double value)
{
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        throw EInvalidOp();
    return IntegerValue(static_cast<int64_t>(value));
}

// The result of a mathematical function: NaN is an invalid operation, an infinity from a
// finite argument an overflow.
Variant CheckedResult(double argument, double result)
{
    if (std::isnan(result))
        throw EInvalidOp();
    if (std::isinf(result) && std::isfinite(argument))
        throw EOverflow();
    return Variant(result);
}

// Arguments of calendar functions: whole numbers in a sane range, so that they print as the
// library prints them.
int CalendarPart(const Variant& value)
{
    const int64_t number = Whole(value);
    if (number < INT32_MIN || number > INT32_MAX)
        throw ERangeError();
    return static_cast<int>(number);
}

QString Checked(QString text)
{
    CheckStringLength(text.size());
    return text;
}

// The 1-based position and count of Copy and Delete, clamped to the text.
void Clamp(qsizetype length, int64_t from, int64_t count, qsizetype& start, qsizetype& size)
{
    if (from < 1)
        from = 1;
    if (count < 0 || from > length) {
        start = 0;
        size = 0;
        return;
    }
    start = static_cast<qsizetype>(from - 1);
    size = static_cast<qsizetype>(std::min<int64_t>(count, length - start));
}

// The day of the week, 1 for Sunday to 7 for Saturday.
int DayOfWeekOf(double value)
{
    const double days = std::trunc(value);
    if (!std::isfinite(days))
        throw EInvalidOp();
    return static_cast<int>(std::fmod(std::fmod(days - 1, 7) + 7, 7)) + 1;
}

// Delete and DeleteStr: `count` characters from `from` go, and the text is written back.
Variant DeleteText(Frame& f)
{
    QString text = Text(f.Arg(0));
    const int64_t from = Whole(f.Arg(1));
    if (from >= 1) {
        qsizetype start = 0;
        qsizetype size = 0;
        Clamp(text.size(), from, Whole(f.Arg(2)), start, size);
        text.remove(start, size);
    }
    if (!f.Args.empty())
        f.Args[0] = Variant(text);
    return Variant::NullValue();
}

struct Function {
    const char* syntax;
    TscNativeCallable call;
};

} // namespace

void TscSysFunctions::AddFunctions(TscScript* script)
{
    auto add = [script](const QString& category, std::initializer_list<Function> functions) {
        for (const Function& function : functions)
            script->AddMethod(QString::fromLatin1(function.syntax), function.call, category);
    };
    add(FCatConv,
        {
            {"function IntToStr(i: Integer): String",
             [](Frame& f) { return Variant(QString::number(Whole(f.Arg(0)))); }},
            {"function FloatToStr(e: Extended): String",
             [](Frame& f) { return Variant(FloatToStr(Real(f.Arg(0)), Settings())); }},
            {"function DateToStr(e: Extended): String",
             [](Frame& f) { return Variant(DateToStr(Real(f.Arg(0)), Settings())); }},
            {"function TimeToStr(e: Extended): String",
             [](Frame& f) { return Variant(TimeToStr(Real(f.Arg(0)), Settings())); }},
            {"function DateTimeToStr(e: Extended): String",
             [](Frame& f) { return Variant(DateTimeToStr(Real(f.Arg(0)), Settings())); }},
            {"function BoolToStr(B: Boolean): string;",
             [](Frame& f) { return Variant(f.Arg(0).ToBoolean(Settings()) ? QStringLiteral("-1") : QStringLiteral("0")); }},
            {"function VarToStr(v: Variant): String", [](Frame& f) { return Variant(Text(f.Arg(0))); }},
            {"function StrToInt(s: String): Integer", [](Frame& f) { return Variant(StrToInt(Text(f.Arg(0)))); }},
            {"function StrToInt64(s: String): Int64", [](Frame& f) { return Variant(StrToInt64(Text(f.Arg(0)))); }},
            {"function StrToFloat(s: String): Extended",
             [](Frame& f) { return Variant(StrToFloat(Text(f.Arg(0)), Settings())); }},
            {"function StrToDate(s: String): Extended",
             [](Frame& f) { return Variant(StrToDate(Text(f.Arg(0)), Settings())); }},
            {"function StrToTime(s: String): Extended",
             [](Frame& f) { return Variant(StrToTime(Text(f.Arg(0)), Settings())); }},
            {"function StrToDateTime(s: String): Extended",
             [](Frame& f) { return Variant(StrToDateTime(Text(f.Arg(0)), Settings())); }},
            {"function StrToBool(const S: string): Boolean;",
             [](Frame& f) { return Variant(StrToBool(Text(f.Arg(0)), Settings())); }},
        });
    add(FCatFormat,
        {
            {"function Format(Fmt: String; Args: array): String",
             [](Frame& f) {
                 const Variant& args = f.Arg(1);
                 if (!args.IsArray())
                     return Variant(Format(Text(f.Arg(0)), std::span<const Variant>(&args, 1), Settings()));
                 if (args.ArrayDimCount() != 1)
                     throw EVariantInvalidArgError();
                 const VariantArrayBound bound = args.ArrayBound(0);
                 std::vector<Variant> list;
                 for (int32_t i = bound.Low; i <= bound.High; ++i) {
                     const int32_t index[] = {i};
                     list.push_back(args.ArrayItem(index));
                 }
                 return Variant(Format(Text(f.Arg(0)), list, Settings()));
             }},
            {"function FormatFloat(Fmt: String; Value: Extended): String",
             [](Frame& f) { return Variant(FormatFloat(Text(f.Arg(0)), Real(f.Arg(1)), Settings())); }},
            {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String",
             [](Frame& f) { return Variant(FormatDateTime(Text(f.Arg(0)), Real(f.Arg(1)), Settings())); }},
            {"function FormatMaskText(EditMask: string; Value: string): string",
             [](Frame& f) { return Variant(FormatMaskText(Text(f.Arg(0)), Text(f.Arg(1)), Settings())); }},
        });
    add(FCatDate,
        {
            {"function EncodeDate(Year, Month, Day: Word): TDateTime",
             [](Frame& f) {
                 const int year = CalendarPart(f.Arg(0));
                 const int month = CalendarPart(f.Arg(1));
                 const int day = CalendarPart(f.Arg(2));
                 DateTimeValue value = 0;
                 if (!TryEncodeDate(year, month, day, value))
                     throw EConvertError(ScErrorText(TscMessage::SInvalidDateParts,
                                                     {QString::number(year), QString::number(month), QString::number(day)}));
                 return Variant(value);
             }},
            {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)",
             [](Frame& f) {
                 const DateTimeParts parts = DecodeDateTime(Real(f.Arg(0)));
                 if (f.Args.size() >= 4) {
                     f.Args[1] = Variant(int32_t{parts.year});
                     f.Args[2] = Variant(int32_t{parts.month});
                     f.Args[3] = Variant(int32_t{parts.day});
                 }
                 return Variant::NullValue();
             }},
            {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime",
             [](Frame& f) {
                 const int hour = CalendarPart(f.Arg(0));
                 const int minute = CalendarPart(f.Arg(1));
                 const int second = CalendarPart(f.Arg(2));
                 const int ms = CalendarPart(f.Arg(3));
                 DateTimeValue value = 0;
                 if (!TryEncodeTime(hour, minute, second, ms, value))
                     throw EConvertError(ScErrorText(TscMessage::SInvalidTimeParts,
                                                     {QString::number(hour), QString::number(minute),
                                                      QString::number(second), QString::number(ms)}));
                 return Variant(value);
             }},
            {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)",
             [](Frame& f) {
                 const DateTimeParts parts = DecodeDateTime(Real(f.Arg(0)));
                 if (f.Args.size() >= 5) {
                     f.Args[1] = Variant(int32_t{parts.hour});
                     f.Args[2] = Variant(int32_t{parts.minute});
                     f.Args[3] = Variant(int32_t{parts.second});
                     f.Args[4] = Variant(int32_t{parts.millisecond});
                 }
                 return Variant::NullValue();
             }},
            {"function Date: TDateTime", [](Frame&) { return Variant(std::trunc(ReportServices::Clock().Now())); }},
            {"function Time: TDateTime",
             [](Frame&) {
                 const double now = ReportServices::Clock().Now();
                 return Variant(now - std::trunc(now));
             }},
            {"function Now: TDateTime", [](Frame&) { return Variant(ReportServices::Clock().Now()); }},
            {"function DayOfWeek(aDate: TDateTime): Integer",
             [](Frame& f) { return Variant(int32_t{DayOfWeekOf(Real(f.Arg(0)))}); }},
            {"function IsLeapYear(Year: Word): Boolean",
             [](Frame& f) { return Variant(IsLeapYear(CalendarPart(f.Arg(0)))); }},
            {"function DaysInMonth(nYear, nMonth: Integer): Integer",
             [](Frame& f) {
                 const int month = CalendarPart(f.Arg(1));
                 if (month < 1 || month > 12)
                     throw ERangeError();
                 return Variant(int32_t{DaysInMonth(CalendarPart(f.Arg(0)), month)});
             }},
        });
    add(FCatStr,
        {
            {"function Length(s: Variant): Integer",
             [](Frame& f) {
                 const Variant& value = f.Arg(0);
                 if (value.IsArray()) {
                     const VariantArrayBound bound = value.ArrayBound(0);
                     return Variant(static_cast<int32_t>(int64_t{bound.High} - bound.Low + 1));
                 }
                 return Variant(static_cast<int32_t>(Text(value).size()));
             }},
            {"function Copy(s: String; from, count: Integer): String",
             [](Frame& f) {
                 const QString text = Text(f.Arg(0));
                 qsizetype start = 0;
                 qsizetype size = 0;
                 Clamp(text.size(), Whole(f.Arg(1)), Whole(f.Arg(2)), start, size);
                 return Variant(text.mid(start, size));
             }},
            {"function Pos(substr, s: String): Integer",
             [](Frame& f) {
                 const QString part = Text(f.Arg(0));
                 if (part.isEmpty())
                     return Variant(int32_t{0});
                 return Variant(static_cast<int32_t>(Text(f.Arg(1)).indexOf(part) + 1));
             }},
            {"procedure Delete(var s: String; from, count: Integer)", DeleteText},
            {"procedure DeleteStr(var s: String; from, count: Integer)", DeleteText},
            {"procedure Insert(s: String; var s2: String; pos: Integer)",
             [](Frame& f) {
                 const QString piece = Text(f.Arg(0));
                 QString text = Text(f.Arg(1));
                 CheckStringLength(text.size() + piece.size());
                 const int64_t pos = std::clamp<int64_t>(Whole(f.Arg(2)), 1, text.size() + 1);
                 text.insert(static_cast<qsizetype>(pos - 1), piece);
                 if (f.Args.size() >= 2)
                     f.Args[1] = Variant(text);
                 return Variant::NullValue();
             }},
            {"function Uppercase(s: String): String", [](Frame& f) { return Variant(Checked(Text(f.Arg(0)).toUpper())); }},
            {"function Lowercase(s: String): String", [](Frame& f) { return Variant(Checked(Text(f.Arg(0)).toLower())); }},
            {"function Trim(s: String): String",
             [](Frame& f) {
                 const QString text = Text(f.Arg(0));
                 qsizetype first = 0;
                 qsizetype last = text.size();
                 while (first < last && text[first].unicode() <= u' ')
                     ++first;
                 while (last > first && text[last - 1].unicode() <= u' ')
                     --last;
                 return Variant(text.mid(first, last - first));
             }},
            {"function NameCase(s: String): String",
             [](Frame& f) {
                 QString text = Checked(Text(f.Arg(0)).toLower());
                 for (qsizetype i = 0; i < text.size(); ++i) {
                     if (i == 0 || text[i - 1] == u' ')
                         text[i] = text[i].toUpper();
                 }
                 return Variant(text);
             }},
            {"function CompareText(s, s1: String): Integer",
             [](Frame& f) {
                 const int order = QString::compare(Text(f.Arg(0)), Text(f.Arg(1)), Qt::CaseInsensitive);
                 return Variant(int32_t{order < 0 ? -1 : order > 0 ? 1 : 0});
             }},
            {"function Chr(i: Integer): Char",
             [](Frame& f) {
                 const int64_t code = Whole(f.Arg(0));
                 if (code < 0 || code > 0xFFFF)
                     throw ERangeError();
                 return Variant(QString(QChar(static_cast<char16_t>(code))));
             }},
            {"function Ord(ch: Char): Integer",
             [](Frame& f) {
                 const QString text = Text(f.Arg(0));
                 return Variant(int32_t{text.isEmpty() ? 0 : text[0].unicode()});
             }},
            {"procedure SetLength(var S: Variant; L: Integer)",
             [](Frame& f) {
                 if (f.Args.empty())
                     throw EVariantInvalidArgError();
                 Variant& target = f.Args[0];
                 const int64_t length = std::max<int64_t>(Whole(f.Arg(1)), 0);
                 if (target.IsString()) {
                     if (length > kMaxStringLength)
                         throw EOutOfMemory();
                     QString text = target.AsString();
                     // New characters are blanks, never leftovers of memory.
                     if (length > text.size())
                         text += QString(static_cast<qsizetype>(length) - text.size(), u' ');
                     else
                         text.truncate(static_cast<qsizetype>(length));
                     target = Variant(text);
                 } else if (target.IsArray()) {
                     if (length - 1 > INT32_MAX)
                         throw EOutOfMemory();
                     target.ArrayRedim(static_cast<int32_t>(target.ArrayBound(0).Low + length - 1));
                 } else {
                     throw EVariantInvalidArgError();
                 }
                 return Variant::NullValue();
             }},
        });
    add(FCatMath,
        {
            {"function Round(e: Extended): Integer",
             [](Frame& f) { return RealToInteger(RoundHalfEven(Real(f.Arg(0)))); }},
            {"function Trunc(e: Extended): Integer", [](Frame& f) { return RealToInteger(std::trunc(Real(f.Arg(0)))); }},
            {"function Int(e: Extended): Integer", [](Frame& f) { return Variant(std::trunc(Real(f.Arg(0)))); }},
            {"function Frac(X: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, x - std::trunc(x));
             }},
            {"function Sqrt(e: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, std::sqrt(x));
             }},
            {"function Abs(e: Extended): Extended", [](Frame& f) { return Variant(std::fabs(Real(f.Arg(0)))); }},
            {"function Sin(e: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, std::sin(x));
             }},
            {"function Cos(e: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, std::cos(x));
             }},
            {"function ArcTan(X: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, std::atan(x));
             }},
            {"function Tan(X: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, std::sin(x) / std::cos(x));
             }},
            {"function Exp(X: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 return CheckedResult(x, std::exp(x));
             }},
            {"function Ln(X: Extended): Extended",
             [](Frame& f) {
                 const double x = Real(f.Arg(0));
                 if (x == 0)
                     throw EZeroDivide();
                 return CheckedResult(x, std::log(x));
             }},
            {"function Pi: Extended", [](Frame&) { return Variant(3.14159265358979323846); }},
        });
    add(FCatOther,
        {
            {"procedure Inc(var i: Integer; incr: Integer = 1)",
             [](Frame& f) {
                 if (!f.Args.empty())
                     f.Args[0] = VariantAdd(f.Args[0], f.Args.size() > 1 ? f.Args[1] : Variant(int32_t{1}), Settings());
                 return Variant::NullValue();
             }},
            {"procedure Dec(var i: Integer; decr: Integer = 1)",
             [](Frame& f) {
                 if (!f.Args.empty())
                     f.Args[0] = VariantBinary(VariantOp::Subtract, f.Args[0],
                                               f.Args.size() > 1 ? f.Args[1] : Variant(int32_t{1}), Settings());
                 return Variant::NullValue();
             }},
            {"procedure RaiseException(Param: String)",
             [](Frame& f) -> Variant { throw EScriptException(Text(f.Arg(0)).toStdString()); }},
            {"procedure ShowMessage(Msg: Variant)",
             [](Frame& f) {
                 ReportServices::Ui().ShowMessage(Text(f.Arg(0)));
                 return Variant::NullValue();
             }},
            {"procedure Randomize",
             [](Frame&) {
                 ReportServices::Random().Randomize();
                 return Variant::NullValue();
             }},
            {"function Random: Extended", [](Frame&) { return Variant(ReportServices::Random().Next()); }},
            {"function ValidInt(cInt: String): Boolean",
             [](Frame& f) {
                 int64_t value = 0;
                 return Variant(TextToInt64(Text(f.Arg(0)).trimmed(), value) && value >= INT32_MIN && value <= INT32_MAX);
             }},
            {"function ValidFloat(cFlt: String): Boolean",
             [](Frame& f) {
                 double value = 0;
                 return Variant(TextToFloat(Text(f.Arg(0)).trimmed(), Settings(), value) == TextToFloatResult::Ok);
             }},
            {"function ValidDate(cDate: String): Boolean",
             [](Frame& f) {
                 const Variant& value = f.Arg(0);
                 const QString text = value.Kind() == VariantKind::DateTime ? DateToStr(value.AsDouble(), Settings())
                                                                            : Text(value);
                 try {
                     StrToDate(text, Settings());
                     return Variant(true);
                 } catch (const EConvertError&) {
                     return Variant(false);
                 }
             }},
            {"function ExtractFilePath(const FileName: string): string;",
             [](Frame& f) {
                 const QString name = Text(f.Arg(0));
                 const qsizetype last = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
                 return Variant(name.left(last + 1));
             }},
            {"function CreateOleObject(ClassName: String): Variant",
             [](Frame& f) { return Variant::FromDispatch(DispatchFactories::Create(Text(f.Arg(0)))); }},
            {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant",
             [](Frame& f) {
                 const Variant& bounds = f.Arg(0);
                 if (!bounds.IsArray() || bounds.ArrayDimCount() != 1)
                     throw EVariantInvalidArgError();
                 const VariantArrayBound range = bounds.ArrayBound(0);
                 const int64_t count = int64_t{range.High} - range.Low + 1;
                 if (count <= 0 || count % 2 != 0 || count / 2 > kMaxArrayDimensions)
                     throw EVariantInvalidArgError();
                 std::vector<VariantArrayBound> dimensions;
                 for (int32_t i = range.Low; i < range.High; i += 2) {
                     const int32_t low[] = {i};
                     const int32_t high[] = {i + 1};
                     dimensions.push_back({bounds.ArrayItem(low).ToInt32(Settings()), bounds.ArrayItem(high).ToInt32(Settings())});
                 }
                 return Variant::CreateArray(dimensions, f.Arg(1).ToInt32(Settings()));
             }},
            {"function VarType(V: Variant): Integer", [](Frame& f) { return Variant(int32_t{VarType(f.Arg(0))}); }},
        });
}

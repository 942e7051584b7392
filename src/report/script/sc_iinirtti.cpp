// The ini-file module. Numbers and dates are written and read through the script's format
// settings; a value that does not read as the type asked for gives the default, as the class
// library's ini files do.

#include "sc_iinirtti.h"
#include "report/core/Texts.h"
#include "sc_iconsts.h"

#include "ScriptBindings.h"
#include "ScriptIniFiles.h"
#include "ScriptStreams.h"
#include "ScriptStrings.h"

#include "report/core/Conversions.h"
#include "report/core/NumberText.h"
#include "report/core/TextCodes.h"

#include "platform/DateTime.h"

using namespace scbind;
using Frame = TscCallFrame;

namespace {

int32_t ReadInteger(const ScriptCustomIniFile& ini, const QString& section, const QString& key, int32_t def)
{
    const QString text = ini.ReadString(section, key, QString()).trimmed();
    int64_t value = 0;
    if (text.isEmpty() || !TextToInt64(text, value) || value < INT32_MIN || value > INT32_MAX)
        return def;
    return static_cast<int32_t>(value);
}

// A date, time or number read with a conversion that raises on bad text: the default then.
Variant ReadConverted(const ScriptCustomIniFile& ini, const QString& section, const QString& key, const Variant& def,
                      double (*convert)(QStringView, const FormatSettings&), const FormatSettings& settings,
                      bool asDate)
{
    const QString text = ini.ReadString(section, key, QString());
    if (text.isEmpty())
        return def;
    try {
        const double value = convert(text, settings);
        return asDate ? Variant::FromDateTime(value) : Variant(value);
    } catch (const EConvertError&) {
        return def;
    } catch (const EScriptError&) {
        return def;
    }
}

QString HexOf(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// The bytes of a hexadecimal text, up to the first pair that is not hexadecimal.
QByteArray BytesOfHex(const QString& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]);
        const int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

// The text lines of a stream from its position on.
QStringList StreamLines(ScriptStream& stream)
{
    const QByteArray bytes = stream.ReadBytes(ScriptCustomIniFile::kMaxFileBytes + 1);
    if (bytes.size() > ScriptCustomIniFile::kMaxFileBytes)
        throw EOutOfMemory();
    ScriptStringList lines;
    lines.LoadFromBytes(bytes);
    return lines.Lines();
}

template <class T>
void AddSectionMembers(TscClassVariable* c, const ScriptClassInfo& cls)
{
    const auto self = [&cls](Frame& f) -> T& { return Self<T>(f, cls); };
    c->AddMethod(QStringLiteral("procedure WriteString(const Section, Ident, Value: String)"), [self](Frame& f) {
        self(f).WriteString(Text(f, 0), Text(f, 1), Text(f, 2));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("function ReadString(const Section, Ident, Default: String): String;"),
                 [self](Frame& f) { return Variant(self(f).ReadString(Text(f, 0), Text(f, 1), Text(f, 2))); });
    c->AddMethod(QStringLiteral("procedure ReadSectionValuesEx(const Section: String; Strings: TStrings)"),
                 [self](Frame& f) {
                     T& ini = self(f);
                     ScriptStrings* strings = ObjectArg<ScriptStrings>(f, 1);
                     if (strings == nullptr)
                         return kNothing;
                     QStringList values;
                     for (const QString& line : ini.Current().SectionValues(Text(f, 0)))
                         values << line.mid(line.indexOf(u'=') + 1);
                     strings->SetLines(values);
                     return kNothing;
                 });
    c->AddMethod(QStringLiteral("procedure DeleteKey(const Section, Ident: String)"), [self](Frame& f) {
        self(f).DeleteKey(Text(f, 0), Text(f, 1));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure ReadSection(const Section: String; Strings: TStrings)"), [self](Frame& f) {
        T& ini = self(f);
        if (ScriptStrings* strings = ObjectArg<ScriptStrings>(f, 1))
            strings->SetLines(ini.Current().Keys(Text(f, 0)));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure ReadSections(Strings: TStrings)"), [self](Frame& f) {
        T& ini = self(f);
        if (ScriptStrings* strings = ObjectArg<ScriptStrings>(f, 0))
            strings->SetLines(ini.Current().Sections());
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure ReadSectionValues(const Section: String; Strings: TStrings)"),
                 [self](Frame& f) {
                     T& ini = self(f);
                     if (ScriptStrings* strings = ObjectArg<ScriptStrings>(f, 1))
                         strings->SetLines(ini.Current().SectionValues(Text(f, 0)));
                     return kNothing;
                 });
    c->AddMethod(QStringLiteral("procedure EraseSection(const Section: String)"), [self](Frame& f) {
        self(f).EraseSection(Text(f, 0));
        return kNothing;
    });
}

template <class T>
void AddStreamMembers(TscClassVariable* c, const ScriptClassInfo& cls)
{
    const auto self = [&cls](Frame& f) -> T& { return Self<T>(f, cls); };
    c->AddMethod(QStringLiteral("procedure SaveIniFileToStream(oStream: TStream)"), [self](Frame& f) {
        T& ini = self(f);
        ScriptStream* stream = ObjectArg<ScriptStream>(f, 0);
        if (stream == nullptr)
            return kNothing;
        const QByteArray bytes = ini.Current().Save().toUtf8();
        if (stream->WriteBytes(bytes) != bytes.size())
            throw EWriteError();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure LoadIniFileFromStream(oStream: TStream)"), [self](Frame& f) {
        T& ini = self(f);
        ScriptStream* stream = ObjectArg<ScriptStream>(f, 0);
        if (stream == nullptr)
            return kNothing;
        const QStringList lines = StreamLines(*stream);
        ini.Edit([&lines](IniText& text) { text.SetLines(lines); });
        return kNothing;
    });
}

// The constructor of every ini class: a TMemIniFile reads its file now, the others when asked.
Variant CreateIni(Frame& f)
{
    const ScriptClassInfo& cls = ConstructedClass(f);
    if (f.Script == nullptr)
        throw EInvalidOperation(ScErrorText(TscMessage::SNoOwningScript));
    const FileAccessPolicy& policy = f.Script->FileAccess();
    if (cls.InheritsFrom(ScriptMemIniFile::Class()))
        return Adopt(f, std::make_unique<ScriptMemIniFile>(Text(f, 0), policy));
    return Adopt(f, std::make_unique<ScriptIniFile>(Text(f, 0), policy));
}

void AddCustomIniFile(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptCustomIniFile::Class();
    const auto self = [&cls](Frame& f) -> ScriptCustomIniFile& { return Self<ScriptCustomIniFile>(f, cls); };
    TscClassVariable* c = script->AddClass(QStringLiteral("TCustomIniFile"), &cls, QStringLiteral("TObject"));
    c->AddConstructor(QStringLiteral("constructor Create(const FileName: String)"), CreateIni);
    c->AddMethod(QStringLiteral("function ReadInteger(const Section, Ident: String; Default: LongInt): LongInt"),
                 [self](Frame& f) { return Variant(ReadInteger(self(f), Text(f, 0), Text(f, 1), Int(f, 2))); });
    c->AddMethod(QStringLiteral("procedure WriteInteger(const Section, Ident: String; Value: LongInt)"),
                 [self](Frame& f) {
                     self(f).WriteString(Text(f, 0), Text(f, 1), QString::number(Int(f, 2)));
                     return kNothing;
                 });
    c->AddMethod(QStringLiteral("function ReadBool(const Section, Ident: String; Default: Boolean): Boolean"),
                 [self](Frame& f) {
                     return Variant(ReadInteger(self(f), Text(f, 0), Text(f, 1), Bool(f, 2) ? 1 : 0) != 0);
                 });
    c->AddMethod(QStringLiteral("procedure WriteBool(const Section, Ident: String; Value: Boolean)"),
                 [self](Frame& f) {
                     self(f).WriteString(Text(f, 0), Text(f, 1), Bool(f, 2) ? QStringLiteral("1") : QStringLiteral("0"));
                     return kNothing;
                 });
    struct Conversion {
        const char* read;
        const char* write;
        double (*parse)(QStringView, const FormatSettings&);
        QString (*print)(double, const FormatSettings&);
        bool date;
    };
    static const Conversion kConversions[] = {
        {"function ReadDate(const Section, Name: String; Default: TDateTime): TDateTime",
         "procedure WriteDate(const Section, Name: String; Value: TDateTime)", StrToDate, DateToStr, true},
        {"function ReadDateTime(const Section, Name: String; Default: TDateTime): TDateTime",
         "procedure WriteDateTime(const Section, Name: String; Value: TDateTime)", StrToDateTime, DateTimeToStr, true},
        {"function ReadFloat(const Section, Name: String; Default: Double): Double",
         "procedure WriteFloat(const Section, Name: String; Value: Double)", StrToFloat, FloatToStr, false},
        {"function ReadTime(const Section, Name: String; Default: TDateTime): TDateTime",
         "procedure WriteTime(const Section, Name: String; Value: TDateTime);", StrToTime, TimeToStr, true},
    };
    for (const Conversion& conversion : kConversions) {
        c->AddMethod(QString::fromLatin1(conversion.read), [self, conversion](Frame& f) {
            const Variant def = conversion.date ? Variant::FromDateTime(Real(f, 2)) : Variant(Real(f, 2));
            return ReadConverted(self(f), Text(f, 0), Text(f, 1), def, conversion.parse, Settings(f), conversion.date);
        });
        c->AddMethod(QString::fromLatin1(conversion.write), [self, conversion](Frame& f) {
            self(f).WriteString(Text(f, 0), Text(f, 1), conversion.print(Real(f, 2), Settings(f)));
            return kNothing;
        });
    }
    c->AddMethod(QStringLiteral("function ReadBinaryStream(const Section, Name: String; Value: TStream): Integer"),
                 [self](Frame& f) {
                     ScriptCustomIniFile& ini = self(f);
                     ScriptStream& stream = RequiredArg<ScriptStream>(f, 2);
                     const QByteArray bytes = BytesOfHex(ini.ReadString(Text(f, 0), Text(f, 1), QString()));
                     return Integer(stream.WriteBytes(bytes));
                 });
    c->AddMethod(QStringLiteral("procedure WriteBinaryStream(const Section, Name: String; Value: TStream)"),
                 [self](Frame& f) {
                     ScriptCustomIniFile& ini = self(f);
                     ScriptStream& stream = RequiredArg<ScriptStream>(f, 2);
                     const int64_t left = std::max<int64_t>(0, stream.Size() - stream.Position());
                     if (left * 2 > kMaxStringLength)
                         throw EOutOfMemory();
                     ini.WriteString(Text(f, 0), Text(f, 1), HexOf(stream.ReadBytes(left)));
                     return kNothing;
                 });
    c->AddMethod(QStringLiteral("function SectionExists(const Section: String): Boolean"),
                 [self](Frame& f) { return Variant(self(f).Current().SectionExists(Text(f, 0))); });
    c->AddMethod(QStringLiteral("function ValueExists(const Section, Ident: String): Boolean"),
                 [self](Frame& f) { return Variant(self(f).Current().ValueExists(Text(f, 0), Text(f, 1))); });
    c->AddMethod(
        QStringLiteral("procedure WriteTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True)"),
        [self](Frame& f) {
            ScriptCustomIniFile& ini = self(f);
            ScriptStrings& lines = RequiredArg<ScriptStrings>(f, 1);
            const QString section = Text(f, 0);
            const bool clear = f.Args.size() < 3 || Bool(f, 2);
            // One text, stored once: a TIniFile writes its file one time, not once a line.
            ini.Edit([&](IniText& text) {
                if (clear)
                    text.EraseSection(section);
                const int count = lines.Count();
                for (int i = 0; i < count; ++i)
                    text.Write(section, QStringLiteral("Items%1").arg(i), lines.Get(i));
                text.Write(section, QStringLiteral("Count"), QString::number(count));
            });
            return kNothing;
        });
    c->AddMethod(
        QStringLiteral("function ReadTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True): String;"),
        [self](Frame& f) {
            ScriptCustomIniFile& ini = self(f);
            ScriptStrings& lines = RequiredArg<ScriptStrings>(f, 1);
            const QString section = Text(f, 0);
            const IniText text = ini.Current();
            int64_t count = 0;
            if (!TextToInt64(text.Read(section, QStringLiteral("Count")).value_or(QString()).trimmed(), count) ||
                count < 0)
                count = 0;
            if (count > ScriptStrings::kMaxCount)
                throw EStringListError(
                    ScErrorText(TscMessage::SListCapacityError, {QString::number(ScriptStrings::kMaxCount)}));
            if (f.Args.size() < 3 || Bool(f, 2))
                lines.Clear();
            for (int64_t i = 0; i < count; ++i)
                lines.Add(text.Read(section, QStringLiteral("Items%1").arg(i)).value_or(QString()));
            // Declared as a string: an empty one.
            return Variant(QString());
        });
    c->AddProperty(QStringLiteral("FileName"), QStringLiteral("String"),
                   [self](Frame& f) { return Variant(self(f).FileName()); });
}

void AddMemIniFile(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptMemIniFile::Class();
    const auto self = [&cls](Frame& f) -> ScriptMemIniFile& { return Self<ScriptMemIniFile>(f, cls); };
    TscClassVariable* c = script->AddClass(QStringLiteral("TMemIniFile"), &cls, QStringLiteral("TCustomIniFile"));
    c->AddConstructor(QStringLiteral("constructor Create(const FileName: String)"), CreateIni);
    AddSectionMembers<ScriptMemIniFile>(c, cls);
    c->AddMethod(QStringLiteral("procedure Clear"), [self](Frame& f) {
        self(f).Clear();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure GetStrings(List: TStrings)"), [self](Frame& f) {
        ScriptMemIniFile& ini = self(f);
        RequiredArg<ScriptStrings>(f, 0).SetLines(ini.Text().Lines());
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure SetStrings(List: TStrings)"), [self](Frame& f) {
        ScriptMemIniFile& ini = self(f);
        ini.Text().SetLines(RequiredArg<ScriptStrings>(f, 0).Lines());
        return kNothing;
    });
    AddStreamMembers<ScriptMemIniFile>(c, cls);
}

void AddIniFile(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptIniFile::Class();
    TscClassVariable* c = script->AddClass(QStringLiteral("TIniFile"), &cls, QStringLiteral("TCustomIniFile"));
    AddSectionMembers<ScriptIniFile>(c, cls);
    AddStreamMembers<ScriptIniFile>(c, cls);
}

} // namespace

std::unique_ptr<TscRTTIModule> CreateIniFunctions(TscScript* script)
{
    return std::make_unique<TscIniFunctions>(script);
}

TscIniFunctions::TscIniFunctions(TscScript* script) : TscRTTIModule(script)
{
    AddCustomIniFile(script);
    AddMemIniFile(script);
    AddIniFile(script);
}

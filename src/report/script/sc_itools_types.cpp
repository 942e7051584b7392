#include "sc_itools_types.h"

#include "sc_iconsts.h"
#include "sc_iinterpreter_script.h"
#include "sc_iparser.h"

#include "platform/DateTime.h"
#include "report/core/Formats.h"
#include "report/core/NumberText.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Texts.h"

TscVarType LookupVarType(const QString& typeName, const TscScript* script)
{
    if (script != nullptr) {
        if (const TscCustomVariable* item = script->Find(typeName))
            return item->Typ;
    }
    return fvtClass;
}

bool AreClassesCompatible(const QString& className1, const QString& className2, const TscScript* script)
{
    if (script == nullptr)
        return false;
    const TscClassVariable* class1 = script->FindClass(className1);
    const TscClassVariable* class2 = script->FindClass(className2);
    return class1 != nullptr && class2 != nullptr && class2->InheritsFrom(class1);
}

bool AreTypesCompatible(const TscTypeRec& target, const TscTypeRec& value, const TscScript* script)
{
    const TscVarType v = value.Typ;
    switch (target.Typ) {
    case fvtInt:
    case fvtInt64:
        return v == fvtInt || v == fvtFloat || v == fvtVariant || v == fvtEnum || v == fvtInt64;
    case fvtBool:
        return v == fvtBool || v == fvtVariant;
    case fvtFloat:
        return v == fvtInt || v == fvtFloat || v == fvtVariant;
    case fvtChar:
    case fvtString:
        return v == fvtChar || v == fvtString || v == fvtVariant;
    case fvtClass:
        return v == fvtVariant || (v == fvtClass && AreClassesCompatible(target.TypeName, value.TypeName, script));
    case fvtArray:
        return v == fvtArray || v == fvtVariant;
    case fvtVariant:
        return true;
    case fvtEnum:
        return v == fvtInt || v == fvtVariant || v == fvtInt64 ||
               (v == fvtEnum && target.TypeName.compare(value.TypeName, Qt::CaseInsensitive) == 0);
    case fvtConstructor:
        return false;
    }
    return false;
}

bool IsAssignCompatible(const TscTypeRec& target, const TscTypeRec& value, const TscScript* script)
{
    if ((target.Typ == fvtInt || target.Typ == fvtInt64) && value.Typ == fvtFloat)
        return false;
    return AreTypesCompatible(target, value, script);
}

bool IsAssignCompatible(const TscCustomVariable* target, const TscCustomVariable* value, const TscScript* script)
{
    return IsAssignCompatible(TscTypeRec{target->Typ, target->TypeName}, TscTypeRec{value->Typ, value->TypeName},
                              script);
}

QString TypeRecName(const TscTypeRec& type)
{
    switch (type.Typ) {
    case fvtInt:
        return QStringLiteral("Integer");
    case fvtBool:
        return QStringLiteral("Boolean");
    case fvtFloat:
        return QStringLiteral("Extended");
    case fvtChar:
        return QStringLiteral("Char");
    case fvtString:
        return QStringLiteral("String");
    case fvtClass:
    case fvtEnum:
        return type.TypeName;
    case fvtArray:
        return QStringLiteral("Array");
    case fvtInt64:
        return QStringLiteral("Int64");
    default:
        return QStringLiteral("Variant");
    }
}

Variant TokenToValue(const QString& token)
{
    if (token.isEmpty())
        return Variant::NullValue();
    if (token.startsWith(u'\'')) {
        // A string token always carries both apostrophes; a lone one gives an empty text.
        return Variant(token.size() >= 2 ? token.mid(1, token.size() - 2) : QString());
    }
    if (token.size() <= 9) {
        // The usual number: a few decimal digits, which always make an Integer.
        int32_t small = 0;
        bool digits = true;
        for (const QChar c : token) {
            if (c.unicode() < '0' || c.unicode() > '9') {
                digits = false;
                break;
            }
            small = small * 10 + (c.unicode() - '0');
        }
        if (digits)
            return Variant(small);
    }
    int64_t integer = 0;
    if (!token.startsWith(u' ') && !token.startsWith(u'+') && !token.startsWith(u'-') &&
        TextToInt64(token, integer)) {
        if (integer >= 2147483648LL || integer < INT32_MIN)
            return Variant(integer);
        return Variant(static_cast<int32_t>(integer));
    }
    double real = 0;
    if (TextToFloat(token, FormatSettings::C(), real) == TextToFloatResult::Ok && !token.startsWith(u' '))
        return Variant(real);
    throw EConvertError(FormatText(coretexts::kInvalidFloatFormat, {Variant(token)}).toStdString());
}

QPoint PositionTextToPoint(const QString& position)
{
    if (position.isEmpty())
        return QPoint(0, 0);
    const qsizetype colon = position.indexOf(u':');
    bool rowOk = false;
    bool columnOk = false;
    const int row = colon < 0 ? 0 : position.left(colon).toInt(&rowOk);
    const int column = colon < 0 ? 0 : position.mid(colon + 1).toInt(&columnOk);
    if (!rowOk || !columnOk)
        throw EConvertError(FormatText(coretexts::kInvalidIntegerFormat, {Variant(position)}).toStdString());
    return QPoint(column, row);
}

namespace {

// The tokens of a declaration text, read with the engine's lexer in its default settings.
class DeclarationReader {
public:
    DeclarationReader(const QString& text, bool extendedCharset) : FText(text)
    {
        if (extendedCharset) {
            TscIdentifierCharset set = FLexer.IdentifierCharset();
            for (int code = 128; code < 256; ++code)
                set.set(static_cast<size_t>(code));
            FLexer.SetIdentifierCharset(set);
        }
        FLexer.SetText(text);
    }

    [[noreturn]] void Fail() const
    {
        throw EScriptException(FormatScMessage(TscMessage::SInvalidDeclaration, FText).toStdString());
    }

    bool AtEnd() { return FLexer.AtEndOfText(); }
    QString Name() { return FLexer.GetWord(); }
    QString RequireName()
    {
        QString name = Name();
        if (name.isEmpty())
            Fail();
        return name;
    }
    bool Mark(QChar mark)
    {
        FLexer.SkipSpaces();
        const int position = FLexer.Position();
        if (FLexer.GetChar() == QString(mark))
            return true;
        FLexer.SetPosition(position);
        return false;
    }
    void RequireMark(QChar mark)
    {
        if (!Mark(mark))
            Fail();
    }
    // A number or a text token at the position, empty when there is none.
    QString Literal()
    {
        QString token = FLexer.GetNumber();
        if (token.isEmpty())
            token = FLexer.GetString();
        return token;
    }

private:
    const QString& FText;
    TscParser FLexer;
};

} // namespace

std::unique_ptr<TscCustomVariable> ParseNativeDeclaration(const QString& text, TscScript* script)
{
    DeclarationReader reader(text, script != nullptr && script->ExtendedCharset);
    QString kind = reader.RequireName();
    bool macro = false;
    if (kind.startsWith(QLatin1String("macro"), Qt::CaseInsensitive)) {
        macro = true;
        kind = kind.mid(5);
    }
    const bool isFunc = kind.compare(QLatin1String("function"), Qt::CaseInsensitive) == 0;
    if (!isFunc && kind.compare(QLatin1String("procedure"), Qt::CaseInsensitive) != 0)
        reader.Fail();
    const QString name = reader.RequireName();

    std::vector<std::unique_ptr<TscParamItem>> params;
    if (reader.Mark(u'(')) {
        if (!reader.Mark(u')')) {
            for (;;) {
                bool byReference = false;
                QString first = reader.RequireName();
                if (first.compare(QLatin1String("var"), Qt::CaseInsensitive) == 0) {
                    byReference = true;
                    first = reader.RequireName();
                } else if (first.compare(QLatin1String("const"), Qt::CaseInsensitive) == 0) {
                    first = reader.RequireName();
                }
                QStringList names{first};
                while (reader.Mark(u','))
                    names << reader.RequireName();
                reader.RequireMark(u':');
                const QString typeName = reader.RequireName();
                Variant defaultValue = Variant::NullValue();
                if (reader.Mark(u'=')) {
                    const bool negative = reader.Mark(u'-');
                    const QString literal = reader.Literal();
                    if (!literal.isEmpty()) {
                        try {
                            defaultValue = TokenToValue(literal);
                        } catch (const EConvertError&) {
                            reader.Fail();
                        }
                        if (negative)
                            defaultValue = VariantNegate(defaultValue);
                    } else if (!negative) {
                        const QString constant = reader.RequireName();
                        TscCustomVariable* item = script != nullptr ? script->Find(constant) : nullptr;
                        defaultValue = item != nullptr ? item->PValue() : Variant::NullValue();
                    } else {
                        reader.Fail();
                    }
                }
                const TscVarType typ = LookupVarType(typeName, script);
                for (int i = 0; i < names.size(); ++i) {
                    const bool last = i + 1 == names.size();
                    const bool optional = last && !defaultValue.IsNull();
                    auto param = std::make_unique<TscParamItem>(names[i], typ, typeName, optional, byReference);
                    if (last)
                        param->DefValue = defaultValue;
                    params.push_back(std::move(param));
                }
                if (reader.Mark(u')'))
                    break;
                reader.RequireMark(u';');
            }
        }
    }
    QString resultType;
    if (isFunc) {
        reader.RequireMark(u':');
        resultType = reader.RequireName();
    }
    reader.Mark(u';');
    if (!reader.AtEnd())
        reader.Fail();

    auto declaration = std::make_unique<TscCustomVariable>(
        name, isFunc ? LookupVarType(resultType, script) : fvtVariant, resultType);
    declaration->IsMacro = macro;
    for (auto& param : params)
        declaration->AddParam(std::move(param));
    return declaration;
}

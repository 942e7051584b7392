#include "sc_iconsts.h"

#include <array>
#include <mutex>

namespace {

struct MessageEntry {
    const char* key;
    const char* text;
};

constexpr std::array<MessageEntry, static_cast<size_t>(TscMessage::Count)> kDefaults{{
    {"SLangNotFound", "Language '%s' not found"},
    {"SInvalidLanguage", "Invalid language definition"},
    {"SIdRedeclared", "Identifier redeclared: "},
    {"SUnknownType", "Unknown type: "},
    {"SIncompatibleTypes", "Incompatible types"},
    {"SIdUndeclared", "Undeclared identifier: "},
    {"SClassRequired", "Class type required"},
    {"SIndexRequired", "Index required"},
    {"SStringError", "Strings doesn't have properties or methods"},
    {"SClassError", "Class %s does not have a default property"},
    {"SArrayRequired", "Array type required"},
    {"SVarRequired", "Variable required"},
    {"SNotEnoughParams", "Not enough actual parameters"},
    {"STooManyParams", "Too many actual parameters"},
    {"SLeftCantAssigned", "Left side cannot be assigned to"},
    {"SForError", "For loop variable must be numeric variable"},
    {"SEventError", "Event handler must be a procedure"},
    {"SScInvalidFileFormat", "Invalid file format"},
    {"SScXMLTooDeep", "XML elements nested too deep (limit is %s)"},
    {"SScXMLTooLarge", "XML document too large (limit is %s bytes or elements)"},
    {"SScListIndexError", "List index (%s) out of bounds"},
    {"SScCannotOpenFile", "Cannot open file \"%s\". %s"},
    {"SScCannotCreateFile", "Cannot create file \"%s\". %s"},
    {"SScSyntaxError", "Syntax error"},
    {"SScScriptTooLarge", "Script too large (limit is %s characters)"},
    {"SScScriptTooDeep", "Script nested too deep (limit is %s levels)"},
    {"SScRulesTooDeep", "Script nested too deep for the parser (limit is %s grammar rules inside each other)"},
    {"SScStackTooShort", "Script nested too deep for the thread's stack"},
    {"SScScriptTooComplex", "Script too complex (limit is %s parsing steps)"},
    {"SScUnitNotAllowed", "Unit name not allowed: '%s'"},
    {"SScUnitsTooDeep", "Units nested too deep (limit is %s)"},
    {"SScTooManyUnits", "Too many units (limit is %s)"},
    {"SScInvalidProgramTree", "Invalid program tree"},
    {"SScExpressionTooDeep", "Expression nested too deep (limit is %s operators inside each other)"},
    {"SScClassNameAlone", "Class name used alone: '%s' (a constructor or a typecast expected)"},
    {"SScNotCompiled", "The script did not compile"},
    {"SScInvalidDeclaration", "Invalid declaration: %s"},
    {"SScNoAnswerLeft", "No answer left for %s"},
    {"SScAnswerDoesNotFit", "Answer \"%s\" does not fit %s"},
    {"SScOkAnswerDoesNotFit", "Answer \"ok %s\" does not fit %s"},
    {"SScNeedsWindows", "Controls need a running application with windows"},
    {"SScControlOwnParent", "A control cannot be its own parent"},
    {"SScCanvasNoDrawing", "Canvas does not allow drawing"},
    {"SScBitmapInvalid", "Bitmap image is not valid"},
    {"SScBitmapEmpty", "Cannot write an empty bitmap"},
    {"SScMetafileInvalid", "Metafile is not valid"},
    {"SScCannotFocus", "Cannot focus a disabled or invisible window"},
    {"SScCannotMakeModal", "Cannot make a visible window modal"},
    {"SScNoOwningScript", "No script to own the object"},
    {"SScItemInAnotherTree", "The item belongs to another tree"},
    {"SScScriptEnclosesItself", "A script cannot enclose itself"},
    {"SScRunningScriptParent", "A running script cannot change its parent"},
    {"SScSortedListOperation", "Operation not allowed on sorted list"},
    {"SScDuplicatesNotAllowed", "String list does not allow duplicates"},
    {"SScCannotCreateInstance", "Cannot create an instance of %s"},
    {"SScConstructorNeedsClass", "A constructor needs a class"},
    {"SScComponentOwnsItself", "A component cannot own itself or its owner"},
    {"SScInvalidStreamOrigin", "Invalid stream origin (%s)"},
    {"SScInvalidDateParts", "%s-%s-%s is not a valid date"},
    {"SScInvalidTimeParts", "%s:%s:%s.%s is not a valid time of day"},
    {"SScListCapacityError", "List capacity (%s) exceeded"},
    {"SScIniCannotWrite", "Cannot write [%s] %s: %s"},
    {"SScIniInvalidSection", "invalid section name"},
    {"SScIniInvalidKey", "invalid key"},
    {"SScIniValueOneLine", "a value must be one line"},
    {"SScCannotAssign", "Cannot assign a %s to a %s"},
}};

struct Table {
    std::mutex lock;
    std::array<QString, kDefaults.size()> texts;
    Table() { Reset(); }
    void Reset()
    {
        for (size_t i = 0; i < kDefaults.size(); ++i)
            texts[i] = QString::fromUtf8(kDefaults[i].text);
    }
};

Table& Messages()
{
    static Table table;
    return table;
}

size_t IndexOf(TscMessage id)
{
    const auto index = static_cast<size_t>(id);
    return index < kDefaults.size() ? index : 0;
}

QString Fill(const QString& text, const QStringList& arguments, bool& complete)
{
    QString result;
    qsizetype from = 0;
    complete = true;
    for (const QString& argument : arguments) {
        const qsizetype at = text.indexOf(QLatin1String("%s"), from);
        if (at < 0) {
            complete = false;
            break;
        }
        result += QStringView(text).mid(from, at - from);
        result += argument;
        from = at + 2;
    }
    result += QStringView(text).mid(from);
    return result;
}

} // namespace

QString ScMessage(TscMessage id)
{
    Table& table = Messages();
    std::lock_guard guard(table.lock);
    return table.texts[IndexOf(id)];
}

QString ScMessageKey(TscMessage id)
{
    return QString::fromLatin1(kDefaults[IndexOf(id)].key);
}

QString ScMessageDefault(TscMessage id)
{
    return QString::fromUtf8(kDefaults[IndexOf(id)].text);
}

bool SetScMessage(const QString& key, const QString& text)
{
    for (size_t i = 0; i < kDefaults.size(); ++i) {
        if (key == QLatin1String(kDefaults[i].key)) {
            SetScMessage(static_cast<TscMessage>(i), text);
            return true;
        }
    }
    return false;
}

void SetScMessage(TscMessage id, const QString& text)
{
    Table& table = Messages();
    std::lock_guard guard(table.lock);
    table.texts[IndexOf(id)] = text;
}

void ResetScMessages()
{
    Table& table = Messages();
    std::lock_guard guard(table.lock);
    table.Reset();
}

QString FormatScMessage(TscMessage id, const QStringList& arguments)
{
    bool complete = false;
    const QString text = Fill(ScMessage(id), arguments, complete);
    if (complete)
        return text;
    return Fill(ScMessageDefault(id), arguments, complete);
}

QString FormatScMessage(TscMessage id, const QString& argument)
{
    return FormatScMessage(id, QStringList{argument});
}

std::string ScErrorText(TscMessage id, const QStringList& arguments)
{
    return FormatScMessage(id, arguments).toStdString();
}

#include "ScriptDialogs.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"

#include <QRegularExpression>

namespace {

bool HasOption(int32_t options, int option)
{
    return (options & (int32_t{1} << option)) != 0;
}

} // namespace

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = i + 1 < parts.size() ? parts[i + 1] : description;
        QStringList list;
        for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts))
            list << pattern.trimmed();
        const QString joined = list.join(u' ');
        if (description.isEmpty() && joined.isEmpty())
            continue;
        const QString shown = QStringLiteral("(%1)").arg(joined);
        // "Text (*.txt)|*.txt" shows its patterns already: once is enough.
        if (description.endsWith(shown) || description.endsWith(QStringLiteral("(%1)").arg(patterns.trimmed())))
            entries << description.left(description.lastIndexOf(u'(')).trimmed() + u' ' + shown;
        else
            entries << (description.isEmpty() ? shown : description + u' ' + shown);
    }
    return entries.join(QStringLiteral(";;"));
}

// --- TCommonDialog --------------------------------------------------------------------------

const ScriptClassInfo& ScriptCommonDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TCommonDialog"), &ScriptComponent::Class()};
    return info;
}

// --- File dialogs ---------------------------------------------------------------------------

const ScriptClassInfo& ScriptOpenDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TOpenDialog"), &ScriptCommonDialog::Class()};
    return info;
}

const ScriptClassInfo& ScriptSaveDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TSaveDialog"), &ScriptOpenDialog::Class()};
    return info;
}

bool ScriptOpenDialog::Execute()
{
    UiFileDialog dialog;
    dialog.Title = Title;
    dialog.Filter = QtFileFilter(Filter);
    dialog.FilterIndex = FilterIndex;
    dialog.InitialDir = InitialDir;
    dialog.FileName = FileName;
    dialog.DefaultExt = DefaultExt;
    dialog.MultiSelect = HasOption(Options, ofAllowMultiSelect);
    dialog.FileMustExist = HasOption(Options, ofFileMustExist);
    dialog.OverwritePrompt = HasOption(Options, ofOverwritePrompt);
    IUiService& ui = ReportServices::Ui();
    const bool chosen = Saving() ? ui.SaveFileDialog(dialog) : ui.OpenFileDialog(dialog);
    if (!chosen)
        return false;
    FileName = dialog.FileName;
    FilterIndex = dialog.FilterIndex;
    QStringList files = dialog.Files;
    if (files.isEmpty() && !dialog.FileName.isEmpty())
        files << dialog.FileName;
    Files.SetLines(files);
    return true;
}

// --- Colour and font dialogs ----------------------------------------------------------------

const ScriptClassInfo& ScriptColorDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TColorDialog"), &ScriptCommonDialog::Class()};
    return info;
}

bool ScriptColorDialog::Execute()
{
    uint32_t rgb = ColorToRgb(Color);
    if (!ReportServices::Ui().ColorDialog(rgb))
        return false;
    Color = RgbToColor(rgb);
    return true;
}

const ScriptClassInfo& ScriptFontDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TFontDialog"), &ScriptCommonDialog::Class()};
    return info;
}

bool ScriptFontDialog::Execute()
{
    UiFont font;
    font.Name = Font.Name();
    font.Size = Font.Size();
    font.Bold = (Font.Style() & ScriptFont::kBold) != 0;
    font.Italic = (Font.Style() & ScriptFont::kItalic) != 0;
    font.Underline = (Font.Style() & ScriptFont::kUnderline) != 0;
    font.StrikeOut = (Font.Style() & ScriptFont::kStrikeOut) != 0;
    font.Rgb = ColorToRgb(Font.Color());
    if (!ReportServices::Ui().FontDialog(font))
        return false;
    Font.SetName(font.Name);
    Font.SetSize(font.Size);
    Font.SetStyle((font.Bold ? ScriptFont::kBold : 0) | (font.Italic ? ScriptFont::kItalic : 0) |
                  (font.Underline ? ScriptFont::kUnderline : 0) | (font.StrikeOut ? ScriptFont::kStrikeOut : 0));
    Font.SetColor(RgbToColor(font.Rgb));
    return true;
}

// --- Print dialogs --------------------------------------------------------------------------

const ScriptClassInfo& ScriptPrintDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TPrintDialog"), &ScriptCommonDialog::Class()};
    return info;
}

bool ScriptPrintDialog::Execute()
{
    UiPrintDialog dialog;
    dialog.Copies = Copies;
    dialog.Collate = Collate;
    dialog.FromPage = FromPage;
    dialog.ToPage = ToPage;
    dialog.MinPage = MinPage;
    dialog.MaxPage = MaxPage;
    dialog.PrintRange = PrintRange;
    dialog.PrintToFile = PrintToFile;
    if (!ReportServices::Ui().PrintDialog(dialog))
        return false;
    Copies = dialog.Copies;
    Collate = dialog.Collate;
    FromPage = dialog.FromPage;
    ToPage = dialog.ToPage;
    PrintRange = dialog.PrintRange;
    PrintToFile = dialog.PrintToFile;
    return true;
}

const ScriptClassInfo& ScriptPrinterSetupDialog::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TPrinterSetupDialog"), &ScriptCommonDialog::Class()};
    return info;
}

bool ScriptPrinterSetupDialog::Execute()
{
    return ReportServices::Ui().PrinterSetupDialog();
}

// --- Registration ---------------------------------------------------------------------------

namespace {

std::vector<QString> Names(const char* commaText)
{
    std::vector<QString> names;
    for (const QString& name :
         QString::fromLatin1(commaText).split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts))
        names.push_back(name);
    return names;
}

template <class T>
PropertyInfo& AddIntegerField(RegisteredClass& c, const char* name, int32_t T::*field, int32_t def = 0,
                              const char* typeName = "Integer")
{
    return c.AddInteger(
        QString::fromLatin1(name), GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
        SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToInt32(); }), def, QString::fromLatin1(typeName));
}

template <class T>
PropertyInfo& AddStringField(RegisteredClass& c, const char* name, QString T::*field, const char* typeName = "String")
{
    return c.AddString(
        QString::fromLatin1(name), GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
        SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToString(); }), QString::fromLatin1(typeName));
}

template <class T>
PropertyInfo& AddBooleanField(RegisteredClass& c, const char* name, bool T::*field)
{
    return c.AddBoolean(QString::fromLatin1(name), GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
                        SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToBoolean(); }));
}

template <class T>
PropertyInfo& AddSetField(RegisteredClass& c, const char* name, const char* typeName, const EnumTypeInfo& elements,
                          int32_t T::*field, int32_t def)
{
    return c.AddSet(QString::fromLatin1(name), QString::fromLatin1(typeName), elements,
                    GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
                    SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToInt32(); }), def);
}

template <class T>
PropertyInfo& AddEnumField(RegisteredClass& c, const char* name, const EnumTypeInfo& type, int32_t T::*field)
{
    return c.AddEnum(QString::fromLatin1(name), type, GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
                     SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToInt32(); }));
}

} // namespace

void RegisterScriptDialogClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(ScriptCommonDialog::Class()))
        return;
    ScriptComponent::RegisterClass();
    ScriptFont::RegisterClass(registry);

    const EnumTypeInfo& openOptions = registry.AddEnum(
        QStringLiteral("TOpenOption"),
        Names("ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, ofNoValidate, "
              "ofAllowMultiSelect,ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,ofShareAware, "
              "ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, ofOldStyleDialog, "
              "ofNoDereferenceLinks, ofEnableIncludeNotify,ofEnableSizing"));
    const EnumTypeInfo& colorOptions = registry.AddEnum(
        QStringLiteral("TColorDialogOption"), Names("cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor"));
    const EnumTypeInfo& fontOptions = registry.AddEnum(
        QStringLiteral("TFontDialogOption"),
        Names("fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,"
              "fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  fdNoVectorFonts,fdShowHelp, fdWysiwyg, fdLimitSize, "
              "fdScalableOnly, fdApplyButton"));
    const EnumTypeInfo& fontDevice =
        registry.AddEnum(QStringLiteral("TFontDialogDevice"), Names("fdScreen, fdPrinter, fdBoth"));
    const EnumTypeInfo& printRange =
        registry.AddEnum(QStringLiteral("TPrintRange"), Names("prAllPages, prSelection, prPageNums"));
    const EnumTypeInfo& printOptions = registry.AddEnum(
        QStringLiteral("TPrintDialogOption"),
        Names("poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile"));

    registry.Register(ScriptCommonDialog::Class());

    using Open = ScriptOpenDialog;
    RegisteredClass& open = registry.Register(Open::Class(), [] { return std::make_unique<ScriptOpenDialog>(); });
    AddStringField<Open>(open, "DefaultExt", &Open::DefaultExt);
    AddStringField<Open>(open, "FileName", &Open::FileName, "TFileName");
    open.AddObject(QStringLiteral("Files"), PropertyKind::StringList, ScriptStrings::Class(),
                   GetterOf<Open>([](const Open& o) {
                       return ObjectHandles::ToVariant(const_cast<ScriptStringList*>(&o.Files));
                   }));
    AddStringField<Open>(open, "Filter", &Open::Filter);
    AddIntegerField<Open>(open, "FilterIndex", &Open::FilterIndex, 1);
    AddStringField<Open>(open, "InitialDir", &Open::InitialDir);
    AddSetField<Open>(open, "Options", "TOpenOptions", openOptions, &Open::Options, Open().Options);
    AddStringField<Open>(open, "Title", &Open::Title);
    registry.Register(ScriptSaveDialog::Class(), [] { return std::make_unique<ScriptSaveDialog>(); });

    using Color = ScriptColorDialog;
    RegisteredClass& color = registry.Register(Color::Class(), [] { return std::make_unique<ScriptColorDialog>(); });
    AddIntegerField<Color>(color, "Color", &Color::Color, 0, "TColor");
    AddSetField<Color>(color, "Options", "TColorDialogOptions", colorOptions, &Color::Options, 0);

    using Font = ScriptFontDialog;
    RegisteredClass& font = registry.Register(Font::Class(), [] { return std::make_unique<ScriptFontDialog>(); });
    AddEnumField<Font>(font, "Device", fontDevice, &Font::Device);
    font.AddObject(QStringLiteral("Font"), PropertyKind::NestedObject, ScriptFont::Class(),
                   GetterOf<Font>([](const Font& o) { return ObjectHandles::ToVariant(const_cast<ScriptFont*>(&o.Font)); }),
                   SetterOf<Font>([](Font& o, const Variant& v) {
                       ScriptObject* source = ObjectHandles::Find(ObjectHandles::HandleOf(v));
                       auto* from = dynamic_cast<ScriptFont*>(source);
                       if (from == nullptr)
                           throw EInvalidCast();
                       o.Font.Assign(*from);
                   }));
    AddIntegerField<Font>(font, "MaxFontSize", &Font::MaxFontSize);
    AddIntegerField<Font>(font, "MinFontSize", &Font::MinFontSize);
    AddSetField<Font>(font, "Options", "TFontDialogOptions", fontOptions, &Font::Options, Font().Options);

    using Print = ScriptPrintDialog;
    RegisteredClass& print = registry.Register(Print::Class(), [] { return std::make_unique<ScriptPrintDialog>(); });
    AddBooleanField<Print>(print, "Collate", &Print::Collate);
    AddIntegerField<Print>(print, "Copies", &Print::Copies);
    AddIntegerField<Print>(print, "FromPage", &Print::FromPage);
    AddIntegerField<Print>(print, "MaxPage", &Print::MaxPage);
    AddIntegerField<Print>(print, "MinPage", &Print::MinPage);
    AddSetField<Print>(print, "Options", "TPrintDialogOptions", printOptions, &Print::Options, 0);
    AddEnumField<Print>(print, "PrintRange", printRange, &Print::PrintRange);
    AddBooleanField<Print>(print, "PrintToFile", &Print::PrintToFile);
    AddIntegerField<Print>(print, "ToPage", &Print::ToPage);

    registry.Register(ScriptPrinterSetupDialog::Class(), [] { return std::make_unique<ScriptPrinterSetupDialog>(); });
}

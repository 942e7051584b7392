#include "DesignerCommand.h"

#include "StandInDesignerTool.h"

#include "report/core/FormatSettings.h"
#include "report/core/NumberText.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpReportTree.h"
#include "report/designer/rpSynMemo.h"
#include "report/model/rpClass_report.h"
#include "report/script/sc_itools.h"

#include <QFile>

#include <QTreeWidgetItem>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;

void PrintTo(FILE* stream, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream);
}

int Start(const QString& locale)
{
    try {
        DesignerRuntime::init();
    } catch (const platform::Exception& failure) {
        PrintTo(stderr, QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    const FormatSettings* formats = FormatSettings::Named(locale);
    if (formats == nullptr)
        return kExitUsage;
    DesignerRuntime::SetFormats(*formats);
    return kExitDone;
}

int Load(TrpReport& report, const QString& fileName)
{
    report.EngineOptions().NewSilentMode = simSilent;
    try {
        report.LoadFromFile(fileName);
    } catch (const platform::Exception& failure) {
        PrintTo(stderr, QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    if (!report.Errors().isEmpty()) {
        for (const QString& error : report.Errors())
            PrintTo(stderr, error);
        return kExitBadContent;
    }
    return kExitDone;
}

QString AttributeLetters(TrpPropertyAttributes attributes)
{
    QString letters;
    const std::pair<TrpPropertyAttribute, char> table[] = {{paValueList, 'v'},     {paSortList, 's'},
                                                           {paDialog, 'd'},        {paMultiSelect, 'm'},
                                                           {paSubProperties, 'p'}, {paReadOnly, 'r'},
                                                           {paOwnerDraw, 'o'}};
    for (const auto& [attribute, letter] : table)
        if (attributes & attribute)
            letters += QLatin1Char(letter);
    return letters;
}

void PrintRow(int level, TrpPropertyEditor& editor)
{
    QString value;
    try {
        value = editor.GetValue();
    } catch (const std::exception& failure) {
        value = QString::fromUtf8(failure.what());
    }
    PrintTo(stdout, QStringLiteral("%1\t%2\t%3\t%4")
                        .arg(level)
                        .arg(editor.GetName(), value, AttributeLetters(editor.GetAttributes())));
}

// The editor of a dotted row name ("Font.Name"), or none.
TrpPropertyEditor* FindEditor(TrpPropertyList* list, const QString& dotted)
{
    TrpPropertyItem* item = nullptr;
    for (const QString& part : dotted.split(u'.')) {
        if (list == nullptr)
            return nullptr;
        item = list->Find(part);
        if (item == nullptr)
            return nullptr;
        list = item->SubProperty();
    }
    return item != nullptr ? item->Editor() : nullptr;
}

} // namespace

int RunProps(const QStringList& arguments)
{
    QStringList positional;
    QStringList sets;
    QString saveName;
    QString grabName;
    QString locale = QStringLiteral("C");
    bool events = false;
    std::optional<TrpDesignerUnits> units;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--events"))
            events = true;
        else if (argument == QLatin1String("--units") && i + 1 < arguments.size()) {
            const QString name = arguments[++i];
            const std::pair<const char*, TrpDesignerUnits> table[] = {
                {"cm", duCM}, {"in", duInches}, {"px", duPixels}, {"chars", duChars}};
            const auto found = std::find_if(std::begin(table), std::end(table),
                                            [&](const auto& entry) { return name == QLatin1String(entry.first); });
            if (found == std::end(table))
                return kExitUsage;
            units = found->second;
        }
        else if (argument == QLatin1String("--set") && i + 1 < arguments.size())
            sets.append(arguments[++i]);
        else if (argument == QLatin1String("--save") && i + 1 < arguments.size())
            saveName = arguments[++i];
        else if (argument == QLatin1String("--grab") && i + 1 < arguments.size())
            grabName = arguments[++i];
        else if (argument == QLatin1String("--locale") && i + 1 < arguments.size())
            locale = arguments[++i];
        else if (argument.startsWith(QLatin1String("--")))
            return kExitUsage;
        else
            positional.append(argument);
    }
    if (positional.size() != 2)
        return kExitUsage;
    if (const int status = Start(locale); status != kExitDone)
        return status;
    TrpReport report;
    if (const int status = Load(report, positional[0]); status != kExitDone)
        return status;
    std::vector<ScriptObject*> objects;
    for (const QString& name : positional[1].split(u',', Qt::SkipEmptyParts)) {
        TrpComponent* object = name.compare(u"Report", Qt::CaseInsensitive) == 0 ? &report : report.FindObject(name);
        if (object == nullptr) {
            PrintTo(stderr, QStringLiteral("No object named %1").arg(name));
            return kExitBadContent;
        }
        objects.push_back(object);
    }
    StandInDesignerTool designer(&report);
    designer.Units = units;
    TrpObjectInspector inspector(&designer);
    inspector.Inspect(objects);
    if (events)
        inspector.SetTab(1);

    for (const QString& assignment : sets) {
        const qsizetype equals = assignment.indexOf(u'=');
        if (equals <= 0)
            return kExitUsage;
        const QString name = assignment.left(equals);
        TrpPropertyEditor* editor = nullptr;
        // Rows of the current tab first; dotted names reach sub-rows.
        for (int row = 0; row < inspector.VisibleRowCount() && editor == nullptr; ++row)
            if (inspector.RowLevel(row) == 0) {
                TrpPropertyItem* item = inspector.RowItem(row);
                const QString head = name.section(u'.', 0, 0);
                if (item->Editor()->GetName() != head)
                    continue;
                if (head == name)
                    editor = item->Editor();
                else
                    editor = FindEditor(item->SubProperty(), name.section(u'.', 1));
            }
        if (editor == nullptr) {
            PrintTo(stderr, QStringLiteral("No property %1").arg(name));
            return kExitBadContent;
        }
        try {
            editor->SetValue(assignment.mid(equals + 1));
        } catch (const std::exception& failure) {
            PrintTo(stderr, QString::fromUtf8(failure.what()));
            return kExitBadContent;
        }
    }
    if (!sets.isEmpty())
        inspector.UpdateProperties();

    for (int row = 0; row < inspector.VisibleRowCount(); ++row) {
        if (inspector.RowLevel(row) != 0)
            continue;
        TrpPropertyItem* item = inspector.RowItem(row);
        PrintRow(0, *item->Editor());
        if (TrpPropertyList* sub = item->SubProperty())
            for (int i = 0; i < sub->Count(); ++i)
                PrintRow(1, *sub->Items(i).Editor());
    }

    if (!saveName.isEmpty()) {
        report.EngineOptions().NewSilentMode = simMessageBoxes;
        try {
            report.SaveToFile(saveName);
        } catch (const platform::Exception& failure) {
            PrintTo(stderr, QString::fromStdString(failure.Message()));
            return kExitFileError;
        }
    }
    if (!grabName.isEmpty()) {
        inspector.resize(198, 474);
        inspector.show();
        if (!inspector.grab().save(grabName, "PNG")) {
            PrintTo(stderr, QStringLiteral("Cannot write %1").arg(grabName));
            return kExitFileError;
        }
    }
    return kExitDone;
}

int RunTree(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return kExitUsage;
    if (const int status = Start(QStringLiteral("C")); status != kExitDone)
        return status;
    TrpReport report;
    if (const int status = Load(report, arguments[0]); status != kExitDone)
        return status;
    StandInDesignerTool designer(&report);
    TrpReportTreeForm tree(&designer);
    tree.UpdateItems();
    for (size_t i = 0; i < tree.Nodes().size(); ++i) {
        int depth = 0;
        for (QTreeWidgetItem* node = tree.Nodes()[i]->parent(); node != nullptr; node = node->parent())
            ++depth;
        TrpComponent* object = tree.Components()[i];
        QString line = QString(depth * 2, u' ') + tree.Nodes()[i]->text(0) + u' ' + object->ClassName();
        if (object->IsBand() || object->IsView())
            for (double value : {object->Left(), object->Top(), object->Width(), object->Height()})
                line += u' ' + FloatToFixedText(value, 2, u'.');
        PrintTo(stdout, line);
    }
    return kExitDone;
}

int RunSyntax(const QStringList& arguments)
{
    QString language, fileName, grab;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--lang") && i + 1 < arguments.size())
            language = arguments[++i];
        else if (arguments[i] == QLatin1String("--grab") && i + 1 < arguments.size())
            grab = arguments[++i];
        else if (fileName.isEmpty() && !arguments[i].startsWith(QLatin1String("--")))
            fileName = arguments[i];
        else
            return kExitUsage;
    }
    if (language.isEmpty() || fileName.isEmpty())
        return kExitUsage;
    // The language is checked before the designer's texts load, so the registry answers in
    // the command line's own words.
    InitScriptLanguages();
    if (language.compare(QLatin1String("SQL"), Qt::CaseInsensitive) != 0) {
        try {
            GetLanguageGrammar(language);
        } catch (const platform::Exception& failure) {
            PrintTo(stderr, QString::fromStdString(failure.Message()));
            return kExitBadContent;
        }
    }
    if (const int started = Start(QStringLiteral("ru_RU")); started != kExitDone)
        return started;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        PrintTo(stderr, QStringLiteral("Cannot open file %1").arg(fileName));
        return kExitFileError;
    }
    TrpSyntaxMemo memo;
    memo.SetSyntax(language);
    memo.SetText(QString::fromUtf8(file.readAll()));
    for (int y = 1; y <= memo.LineCount(); ++y) {
        PrintTo(stdout, memo.Line(y));
        QString codes = memo.ClassLine(y);
        for (QChar& c : codes) {
            if (c.unicode() >= 1 && c.unicode() <= 6)
                c = QChar(u'0' + c.unicode());
        }
        PrintTo(stdout, codes);
    }
    if (!grab.isEmpty()) {
        memo.resize(640, 480);
        memo.show();
        memo.grab().save(grab, "PNG");
    }
    return kExitDone;
}

#include "DesignerCommand.h"

#include "StandInDesignerTool.h"

#include "report/core/FormatSettings.h"
#include "report/core/NumberText.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpReportTree.h"
#include "report/model/rpClass_report.h"

#include <QTreeWidgetItem>

#include <cstdio>
#include <memory>

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
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--events"))
            events = true;
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

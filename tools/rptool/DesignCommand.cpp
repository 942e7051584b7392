#include "DesignCommand.h"

#include "CsvDBDataSet.h"
#include "DesignDialogOption.h"
#include "DesignNewOption.h"

#include "report/core/PropertyRegistry.h"
#include "report/designer/DesignerInput.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDesgnWorkspace1.h"
#include "report/desktop/ReportDesktop.h"
#include "report/engine/ui/EngineUi.h"

#include "report/designer/rpDesignerDialogs.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QTabBar>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitBadContent = 2;

void PrintError(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

bool ParsePoint(const QString& text, QPointF& point)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return false;
    bool okX = false;
    bool okY = false;
    point = QPointF(parts[0].toDouble(&okX), parts[1].toDouble(&okY));
    return okX && okY;
}

bool ParseModifiers(const QStringList& words, int from, Qt::KeyboardModifiers& modifiers)
{
    modifiers = Qt::NoModifier;
    for (int i = from; i < words.size(); ++i) {
        if (words[i] == QLatin1String("shift"))
            modifiers |= Qt::ShiftModifier;
        else if (words[i] == QLatin1String("ctrl"))
            modifiers |= Qt::ControlModifier;
        else if (words[i] == QLatin1String("alt"))
            modifiers |= Qt::AltModifier;
        else
            return false;
    }
    return true;
}

} // namespace

int RunDesign(const QStringList& givenArguments)
{
    QStringList arguments = givenArguments;
    QString newError;
    const DesignNewOptions created = TakeDesignNewOptions(arguments, newError);
    if (!newError.isEmpty()) {
        PrintError(newError);
        return kExitUsage;
    }
    QString dialogError;
    const std::optional<DesignDialogOptions> dialog = TakeDesignDialogOptions(arguments, dialogError);
    if (!dialogError.isEmpty()) {
        PrintError(dialogError);
        return kExitUsage;
    }
    QString fileName, select, save, grab, password, units;
    int pageNumber = 0;
    int tab = -1;
    double scale = 0;
    QSize size(1280, 800);
    bool state = false;
    QStringList actions;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        bool ok = true;
        if (a == QLatin1String("--page") && hasValue)
            pageNumber = arguments[++i].toInt(&ok);
        else if (a == QLatin1String("--scale") && hasValue)
            scale = arguments[++i].toDouble(&ok);
        else if (a == QLatin1String("--select") && hasValue)
            select = arguments[++i];
        else if (a == QLatin1String("--do") && hasValue)
            actions.append(arguments[++i]);
        else if (a == QLatin1String("--save") && hasValue)
            save = arguments[++i];
        else if (a == QLatin1String("--grab") && hasValue)
            grab = arguments[++i];
        else if (a == QLatin1String("--password") && hasValue)
            password = arguments[++i];
        else if (a == QLatin1String("--tab") && hasValue)
            tab = arguments[++i].toInt(&ok);
        else if (a == QLatin1String("--units") && hasValue)
            units = arguments[++i];
        else if (a == QLatin1String("--size") && hasValue) {
            const QStringList parts = arguments[++i].split(u'x');
            bool okHeight = false;
            ok = parts.size() == 2;
            if (ok)
                size = QSize(parts[0].toInt(&ok), parts[1].toInt(&okHeight));
            ok = ok && okHeight && size.width() > 0 && size.height() > 0;
        } else if (a == QLatin1String("--state"))
            state = true;
        else if (fileName.isEmpty() && !a.startsWith(QLatin1String("--")))
            fileName = a;
        else
            return kExitUsage;
        if (!ok || scale < 0 || scale > 20 || pageNumber < 0)
            return kExitUsage;
    }
    static const QStringList kUnits = {QStringLiteral("cm"), QStringLiteral("in"), QStringLiteral("px"),
                                       QStringLiteral("chars")};
    if (fileName.isEmpty() != created.New || (!units.isEmpty() && !kUnits.contains(units)))
        return kExitUsage;
    try {
        // Page defaults and printing never depend on the machine's printers here.
        ReportDesktop::start(TrpPdfFilePrinterMode::Forced);
    } catch (const platform::Exception& failure) {
        PrintError(QString::fromStdString(failure.Message()));
        return kExitUsage;
    }

    // Declared before the report: data sets outlive the reports that use them.
    const std::vector<std::unique_ptr<TrpCsvDBDataSet>> dataSets = LoadDesignDataSets(created, newError);
    if (!newError.isEmpty()) {
        PrintError(newError);
        return kExitUsage;
    }
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.ReportOptions().HiddenPassword = password;
    try {
        if (!created.New)
            report.LoadFromFile(fileName);
    } catch (const platform::Exception& failure) {
        PrintError(QString::fromStdString(failure.Message()));
        return kExitUsage;
    }
    if (!report.Errors().isEmpty()) {
        for (const QString& error : report.Errors())
            PrintError(error);
        return kExitBadContent;
    }
    TrpReportPage* page = nullptr;
    if (pageNumber > 0) {
        int counted = 0;
        for (int i = 0; i < report.PagesCount() && page == nullptr; ++i) {
            if (auto* reportPage = dynamic_cast<TrpReportPage*>(report.Pages(i));
                reportPage != nullptr && ++counted == pageNumber)
                page = reportPage;
        }
        if (page == nullptr) {
            PrintError(QStringLiteral("No report page %1 in %2").arg(pageNumber).arg(fileName));
            return kExitBadContent;
        }
    }

    // The designer window, as the preview's commands open it.
    auto* form = new TrpDesignerForm(&report, false);
    report.SetDesigner(form);
    form->Start();
    const bool forPerson = grab.isEmpty() && save.isEmpty() && !state && !dialog;
    // The given size wins over the remembered placement, maximized included.
    form->setWindowState(Qt::WindowNoState);
    form->resize(size);
    form->show();
    QApplication::processEvents();
    if (page != nullptr)
        form->SetPage(page);
    if (tab >= 0)
        form->SetTabIndex(tab);
    if (!units.isEmpty()) {
        form->SetUnits(static_cast<TrpDesignerUnits>(kUnits.indexOf(units)));
        form->SetOldUnits(form->Units());
    }
    if (scale > 0)
        form->SetScale(scale);
    QApplication::processEvents();
    const auto finish = [&](int code) {
        form->CloseNow();
        delete form;
        return code;
    };
    if (!created.Wizard.isEmpty() && RunDesignWizard(created, *form) != 0)
        return finish(kExitBadContent);
    TDesignerWorkspace* workspace = form->Workspace();
    if (!select.isEmpty()) {
        TrpComponent* shown = form->Page();
        auto& selected = form->SelectedObjects();
        selected.clear();
        for (const QString& name : select.split(u',')) {
            TrpComponent* object = shown != nullptr ? shown->FindObject(name.trimmed()) : nullptr;
            if (object == nullptr || object == shown) {
                PrintError(QStringLiteral("No object %1 on the page").arg(name.trimmed()));
                return finish(kExitBadContent);
            }
            selected.push_back(object);
        }
        workspace->AfterSelectionChange();
        form->SelectionChanged(nullptr);
    }
    // Without a person at the window no command may wait for one: every dialog a command opens
    // is cancelled and message boxes go to stderr.
    struct ScriptedUiScope {
        IUiService& previous = ReportServices::Ui();
        std::unique_ptr<DialogScriptUi> ui;
        ~ScriptedUiScope()
        {
            if (ui != nullptr)
                ReportServices::SetUi(&previous);
        }
    } uiScope;
    // A person answers the dialogs and message boxes the commands open: without a window service
    // every dialog was cancelled unseen (the memo editor, Save As, New…, Page Settings).
    struct PersonUiScope {
        IUiService& previous = ReportServices::Ui();
        QtPrintingUiService ui;
        ~PersonUiScope() { ReportServices::SetUi(&previous); }
    };
    std::optional<PersonUiScope> personUi;
    if (forPerson) {
        personUi.emplace();
        ReportServices::SetUi(&personUi->ui);
        // The report was read silently (its errors end the run above); from now on a person
        // sees the errors of what they do, a preview's run included.
        report.EngineOptions().NewSilentMode = simMessageBoxes;
    }
    if (!forPerson) {
        uiScope.ui = std::make_unique<DialogScriptUi>(QStringList(), QString(), false);
        uiScope.ui->OnMessage = PrintError;
        ReportServices::SetUi(uiScope.ui.get());
    }
    DesignerInput input(*workspace);
    for (const QString& action : actions) {
        const QString verb = action.section(u' ', 0, 0);
        const QString rest = action.section(u' ', 1);
        const QStringList words = rest.split(u' ', Qt::SkipEmptyParts);
        bool ok = true;
        Qt::KeyboardModifiers modifiers;
        QPointF from, to;
        try {
            if (verb == QLatin1String("click")) {
                ok = !words.isEmpty() && ParsePoint(words[0], from) && ParseModifiers(words, 1, modifiers);
                if (ok)
                    input.Click(from, modifiers);
            } else if (verb == QLatin1String("drag")) {
                ok = words.size() >= 2 && ParsePoint(words[0], from) && ParsePoint(words[1], to) &&
                     ParseModifiers(words, 2, modifiers);
                if (ok)
                    input.Drag(from, to, modifiers);
            } else if (verb == QLatin1String("key")) {
                const QKeySequence keys = QKeySequence::fromString(rest);
                ok = !rest.isEmpty() && keys.count() > 0 && keys[0].key() != Qt::Key_unknown;
                if (ok)
                    input.Key(keys);
            } else if (verb == QLatin1String("insert")) {
                const QString className = rest.section(u'/', 0, 0);
                const int flags = rest.contains(u'/') ? rest.section(u'/', 1).toInt(&ok) : 0;
                const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(className);
                ok = ok && cls != nullptr && cls->Info.InheritsFrom(TrpReportComponent::Class());
                if (ok) {
                    std::unique_ptr<TrpComponent> probe(
                        TrpComponent::CreateForDesign(*cls, nullptr, static_cast<uint16_t>(flags)));
                    double w = probe != nullptr ? probe->Width() : 0;
                    double h = probe != nullptr ? probe->Height() : 0;
                    if (w == 0 && h == 0) {
                        w = form->GetDefaultObjectSize().width();
                        h = form->GetDefaultObjectSize().height();
                    }
                    workspace->SetTool(dtSelect);
                    workspace->SetInsertion(&cls->Info, w, h, static_cast<uint16_t>(flags));
                }
            } else if (verb == QLatin1String("button")) {
                const QString className = rest.section(u'/', 0, 0);
                const int flags = rest.contains(u'/') ? rest.section(u'/', 1).toInt(&ok) : 0;
                ok = ok && flags >= 0 && flags <= 0xFFFF && form->PressObjectButton(className, static_cast<uint16_t>(flags));
            } else if (verb == QLatin1String("tool")) {
                static const std::pair<const char*, TrpDesignTool> kTools[] = {
                    {"select", dtSelect}, {"hand", dtHand}, {"zoom", dtZoom}, {"text", dtText}, {"format", dtFormat}};
                ok = false;
                for (const auto& [name, tool] : kTools) {
                    if (rest == QLatin1String(name)) {
                        workspace->SetInsertion(nullptr, 0, 0, 0);
                        workspace->SetTool(tool);
                        ok = true;
                    }
                }
            } else if (verb == QLatin1String("type")) {
                input.Type(rest);
            } else if (verb == QLatin1String("cmd")) {
                // A command of the window by its action's object name, as its menu item runs it.
                QAction* command = rest.isEmpty() ? nullptr : form->findChild<QAction*>(rest);
                ok = command != nullptr && command->isEnabled();
                if (ok)
                    command->trigger();
            } else if (verb == QLatin1String("tabdrag")) {
                bool okSource = false;
                bool okTarget = false;
                ok = words.size() == 2;
                if (ok) {
                    const int source = words[0].toInt(&okSource);
                    const int target = words[1].toInt(&okTarget);
                    ok = okSource && okTarget;
                    if (ok)
                        form->TabDrop(source, target);
                }
            } else {
                ok = false;
            }
        } catch (const platform::Exception& failure) {
            PrintError(QString::fromStdString(failure.Message()));
            return finish(kExitBadContent);
        }
        if (!ok) {
            PrintError(QStringLiteral("Invalid action: %1").arg(action));
            return finish(kExitBadContent);
        }
        QApplication::processEvents();
    }
    // An editor still open ends as a click elsewhere would end it.
    if (workspace->InplaceMemo()->isVisible())
        workspace->InplaceMemo()->EditDone();
    QApplication::processEvents();

    if (dialog) {
        // The dialog takes the grab: it shows the dialog, not the window behind it.
        const int result = RunDesignDialog(*dialog, *form, form, grab);
        if (result != kExitDone)
            return finish(result);
        grab.clear();
        QApplication::processEvents();
    }

    if (state) {
        static const char* const kUnitNames[] = {"cm", "in", "px", "chars"};
        TrpComponent* shown = form->Page();
        const QString line = QStringLiteral("scale=%1 units=%2 page=%3\n")
                                 .arg(QString::number(form->Scale(), 'f', 2))
                                 .arg(QLatin1String(kUnitNames[form->Units()]))
                                 .arg(shown != nullptr ? shown->Name() : QString());
        const QByteArray bytes = line.toUtf8();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    }
    if (!grab.isEmpty() && !form->grab().save(grab, "PNG")) {
        PrintError(QStringLiteral("Cannot write %1").arg(grab));
        return finish(kExitUsage);
    }
    if (!save.isEmpty()) {
        try {
            report.SaveToFile(save);
        } catch (const platform::Exception& failure) {
            PrintError(QString::fromStdString(failure.Message()));
            return finish(kExitUsage);
        }
    }
    if (forPerson) {
        // A person works in the window until it closes (asking about unsaved changes).
        QPointer<TrpDesignerForm> open(form);
        form->setAttribute(Qt::WA_DeleteOnClose, true);
        QApplication::exec();
        if (open != nullptr)
            delete open.data();
        return kExitDone;
    }
    return finish(kExitDone);
}

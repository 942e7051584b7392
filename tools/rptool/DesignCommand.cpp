#include "DesignCommand.h"

#include "StandInDesignerTool.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/designer/DesignerInput.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnWorkspace1.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>

#include <cstdio>
#include <memory>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitBadContent = 2;

void PrintError(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

int R(double value)
{
    return static_cast<int>(RoundHalfEvenClamped(value, -1000000000, 1000000000));
}

// The designer behind the command's workspace: what a designer window answers, without one.
class ToolHost : public ITrpWorkspaceHost {
public:
    explicit ToolHost(TDesignerWorkspace*& workspace) : workspace_(workspace) {}
    bool DropFields() const override { return true; }
    bool CheckOp(TrpDesignerRestriction) const override { return true; }
    QSizeF GetDefaultObjectSize() const override { return {2.5 * 37.7953, 0.5 * 37.7953}; }
    void ApplySample(TrpCustomMemoView&) override {}
    void ReloadPages(int) override {}
    double Scale() const override { return workspace_->Scale(); }
    void SetScale(double value) override
    {
        if (value == 0)
            value = 1;
        workspace_->SetScale(std::min(value, 20.0));
    }
    TrpDataTreeForm* DataTree() const override { return nullptr; }
    void InsertedObject(TrpComponent*) override {}

private:
    TDesignerWorkspace*& workspace_;
};

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

// Views a report page holds directly: the report reader refuses them, so they are not saved.
QStringList ObjectsOutsideBands(TrpReport& report)
{
    QStringList names;
    for (int i = 0; i < report.PagesCount(); ++i) {
        auto* page = dynamic_cast<TrpReportPage*>(report.Pages(i));
        if (page == nullptr)
            continue;
        for (TrpComponent* object : page->Objects()) {
            if (object->IsView())
                names.append(object->Name());
        }
    }
    return names;
}

} // namespace

int RunDesign(const QStringList& arguments)
{
    QString fileName, select, save, grab, password;
    int pageNumber = 1;
    double scale = 1;
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
        else if (fileName.isEmpty() && !a.startsWith(QLatin1String("--")))
            fileName = a;
        else
            return kExitUsage;
        if (!ok || scale <= 0 || scale > 20)
            return kExitUsage;
    }
    if (fileName.isEmpty())
        return kExitUsage;
    try {
        DesignerRuntime::init();
    } catch (const platform::Exception& failure) {
        PrintError(QString::fromStdString(failure.Message()));
        return kExitUsage;
    }
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.ReportOptions().HiddenPassword = password;
    try {
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
    int counted = 0;
    for (int i = 0; i < report.PagesCount() && page == nullptr; ++i) {
        if (auto* reportPage = dynamic_cast<TrpReportPage*>(report.Pages(i)); reportPage != nullptr && ++counted == pageNumber)
            page = reportPage;
    }
    if (page == nullptr) {
        PrintError(QStringLiteral("No report page %1 in %2").arg(pageNumber).arg(fileName));
        return kExitBadContent;
    }

    StandInDesignerTool designer(&report);
    designer.SetPage(page);
    TrpObjectList& objects = designer.Objects();
    TrpObjectList& selected = designer.SelectedObjects();
    for (TrpComponent* object : page->AllObjects())
        objects.push_back(object);
    objects.push_back(&report);
    objects.push_back(page);
    selected.push_back(page);

    // The bare designer: rulers above and left of a scroll box holding the sheet.
    QWidget window;
    window.resize(1200, 900);
    auto* topRuler = new TrpRuler(&window, false);
    auto* leftRuler = new TrpRuler(&window, true);
    auto* box = new TrpScrollBox(&window);
    topRuler->setGeometry(20, 0, 1180, 20);
    leftRuler->setGeometry(0, 20, 20, 880);
    box->setGeometry(20, 20, 1180, 880);
    auto* content = new QWidget;
    box->setWidget(content);
    TDesignerWorkspace* workspace = nullptr;
    ToolHost host(workspace);
    workspace = new TDesignerWorkspace(&host, content);
    workspace->SetParent(content);
    workspace->SetPage(page);
    workspace->SetObjects(&objects);
    workspace->SetSelectedObjects(&selected);
    workspace->SetShowBandCaptions(true);
    const bool dotMatrix = dynamic_cast<TrpDMPPage*>(page) != nullptr;
    if (dotMatrix) {
        workspace->SetGridX(rp1CharX);
        workspace->SetGridY(rp1CharY);
        workspace->SetGridType(gtChar);
    } else {
        workspace->SetGridType(gt1cm);
    }
    workspace->SetOrigin(QPoint(10, 10));
    const double pixels = 96 / 25.4;
    const int pageHeight = R(page->PaperHeight() * pixels) * (page->LargeDesignHeight ? 5 : 1);
    workspace->SetScale(scale);
    workspace->SetPageDimensions(R(page->PaperWidth() * pixels), pageHeight,
                                 QMargins(R(page->LeftMargin * pixels), R(page->TopMargin * pixels),
                                          R(page->RightMargin * pixels), R(page->BottomMargin * pixels)));
    content->resize(workspace->MarginsPanel()->width() + 20, workspace->MarginsPanel()->height() + 20);
    topRuler->SetScale(scale);
    leftRuler->SetScale(scale);
    workspace->OnModify = [&](TrpDesignerWorkspace*) { designer.SetModified(true); };
    workspace->OnInsert = [&](TrpDesignerWorkspace* sender) {
        const TrpInsertion& insertion = sender->Insertion();
        const RegisteredClass* cls = PropertyRegistry::Global().Find(*insertion.ComponentClass);
        if (insertion.Top < 0 || cls == nullptr) {
            sender->SetInsertion(nullptr, 0, 0, 0);
            return;
        }
        if (insertion.Width == 0 && insertion.Height == 0)
            return;
        TrpComponent* made = TrpComponent::CreateForDesign(*cls, page, insertion.Flags);
        if (made == nullptr)
            return;
        made->SetBounds(insertion.Left, insertion.Top, insertion.Width, insertion.Height);
        made->CreateUniqueName();
        objects.push_back(made);
        selected.clear();
        selected.push_back(made);
        if (!insertion.ComponentClass->InheritsFrom(TrpCustomLineView::Class()))
            sender->SetInsertion(nullptr, 0, 0, 0);
    };
    window.show();
    QApplication::processEvents();

    if (!select.isEmpty()) {
        selected.clear();
        for (const QString& name : select.split(u',')) {
            TrpComponent* object = page->FindObject(name.trimmed());
            if (object == nullptr || object == page) {
                PrintError(QStringLiteral("No object %1 on the page").arg(name.trimmed()));
                return kExitBadContent;
            }
            selected.push_back(object);
        }
        workspace->AfterSelectionChange();
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
                    std::unique_ptr<TrpComponent> probe(TrpComponent::CreateForDesign(*cls, nullptr, static_cast<uint16_t>(flags)));
                    double w = probe != nullptr ? probe->Width() : 0;
                    double h = probe != nullptr ? probe->Height() : 0;
                    if (w == 0 && h == 0) {
                        w = host.GetDefaultObjectSize().width();
                        h = host.GetDefaultObjectSize().height();
                    }
                    workspace->SetTool(dtSelect);
                    workspace->SetInsertion(&cls->Info, w, h, static_cast<uint16_t>(flags));
                }
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
            } else {
                ok = false;
            }
        } catch (const platform::Exception& failure) {
            PrintError(QString::fromStdString(failure.Message()));
            return kExitBadContent;
        }
        if (!ok) {
            PrintError(QStringLiteral("Invalid action: %1").arg(action));
            return kExitBadContent;
        }
        QApplication::processEvents();
    }
    // An editor still open ends as a click elsewhere would end it.
    if (workspace->InplaceMemo()->isVisible())
        workspace->InplaceMemo()->EditDone();

    if (!grab.isEmpty()) {
        TMarginsPanel* panel = workspace->MarginsPanel();
        QPixmap picture(panel->size());
        panel->render(&picture);
        workspace->render(&picture, workspace->pos() - panel->pos(), QRegion(), QWidget::DrawChildren);
        if (!picture.save(grab, "PNG")) {
            PrintError(QStringLiteral("Cannot write %1").arg(grab));
            return kExitUsage;
        }
    }
    if (!save.isEmpty()) {
        const QStringList outside = ObjectsOutsideBands(report);
        if (!outside.isEmpty()) {
            PrintError(GetResourcesInstance().Get(u"dsObjectsOutsideBands") + QStringLiteral(": ") +
                       outside.join(QStringLiteral(", ")));
            return kExitBadContent;
        }
        try {
            report.SaveToFile(save);
        } catch (const platform::Exception& failure) {
            PrintError(QString::fromStdString(failure.Message()));
            return kExitUsage;
        }
    }
    return kExitDone;
}

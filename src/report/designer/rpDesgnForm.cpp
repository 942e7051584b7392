// The designer window: made with its parts, started with its report, shown modal, modeless or
// embedded, and closed (asking to save the changes); the expression routine of its editors.

#include "rpDesgnForm.h"
#include "rpExprEditor.h"

#include "DesignerRuntime.h"
#include "rpDataTree.h"
#include "rpDesgnCtrls.h"
#include "rpInsp.h"
#include "rpSynMemo.h"
#include "rpWatchForm.h"

#include "report/core/Services.h"
#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/script/ScriptDialogs.h"
#include "report/script/sc_itools.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLayout>
#include <QTimer>
#include <QToolBar>

namespace {

// The message the report posts after creating the window: the start-up screen may follow.
const QEvent::Type kShowStartupEvent = static_cast<QEvent::Type>(QEvent::User + 1);

} // namespace

TrpDesignerForm::TrpDesignerForm(TrpReport* report, bool previewDesigner, QWidget* parent)
    : QMainWindow(parent), TrpCustomDesigner(report, previewDesigner)
{
    setObjectName(QStringLiteral("rpDesignerForm"));
    setProperty("designerWindow", true);
    setWindowTitle(QStringLiteral("Designer"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    const TrpDesigner* component = CurrentDesignerComponent();
    FTemplateExt = QStringLiteral("zi3");
    if (component != nullptr) {
        FTemplateExt = component->TemplatesExt;
        if (FTemplateExt.size() > 1 && FTemplateExt.startsWith(u'.'))
            FTemplateExt.remove(0, 1);
    }
    CreateStructure();
    resize(1024, 700);
}

TrpDesignerForm::~TrpDesignerForm()
{
    if (!closed_)
        Close();
}

void TrpDesignerForm::CreateStructure()
{
    CreateActions();
    CreateMenus();
    ConnectPagePopup();
    CreateToolBars();
    CreatePanels();
    CreateDocks();
    CreateStatusBar();
    ConnectScriptCommands();
    FTimer = new QTimer(this);
    FTimer->setObjectName(QStringLiteral("Timer"));
    FTimer->setInterval(1000);
    connect(FTimer, &QTimer::timeout, this, [this] { Guard([this] { TimerTimer(); }); });
    ConnectObjectTools();
}

void TrpDesignerForm::Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ErrorMessageBox(message); });
}

// --- life cycle ---

void TrpDesignerForm::Start()
{
    if (started_)
        return;
    started_ = true;
    TrpReport* report = Report();
    // The window sees every key of its controls first.
    qApp->installEventFilter(this);

    // 1, 2: images and the objects tool bar; gradients are not drawn here.
    CreateObjectsToolbar();
    // 3: the workspace, the script editor and the page tabs are in place; the editor takes the
    // report's script.
    FCodeWindow->SetLines(report->ScriptText());
    // 4: the side windows.
    FDataTree->SetReport(report);
    FWatchList->SetScript(&report->Script());
    FDataTree->UpdateItems();
    // 5: shared state.
    FScale = 1;
    auto* langCB = static_cast<QComboBox*>(Control(QStringLiteral("LangCB")));
    QStringList languages;
    GetLanguageList(languages);
    langCB->addItems(languages);
    FPictureCache = std::make_unique<TrpPictureCache>();
    FUndoBuffer = std::make_unique<TrpUndoBuffer>();
    FUndoBuffer->SetPictureCache(FPictureCache.get());
    FClipboard = std::make_unique<TrpClipboard>(this);
    FClipboard->SetPictureCache(FPictureCache.get());
    FTimer->start();
    FRecentFiles.clear();
    FSampleFormat = std::make_unique<TSampleFormat>();
    FPagePositions.fill(QString());
    if (IsPreviewDesigner()) {
        FOldDesignerComp = CurrentDesignerComponent();
        auto* temporary = new TrpDesigner(this);
        temporary->Restrictions =
            kPreviewDesignerRestrictions | (FOldDesignerComp != nullptr ? FOldDesignerComp->Restrictions : 0);
        FTempDesignerComp = temporary;
        Control(QStringLiteral("ObjectBandB"))->setEnabled(false);
        FInspector->SetTab(0);
    }
    report->SelectPrinter();
    Enable(QStringLiteral("NewReportCmd"), CheckOp(drDontCreateReport));
    Enable(QStringLiteral("NewItemCmd"), CheckOp(drDontCreateReport));
    Enable(QStringLiteral("NewPageCmd"), CheckOp(drDontCreatePage));
    Enable(QStringLiteral("NewDialogCmd"), CheckOp(drDontCreatePage));
    Enable(QStringLiteral("SaveAsCmd"), CheckOp(drDontSaveReport));
    Enable(QStringLiteral("OpenCmd"), CheckOp(drDontLoadReport));
    Enable(QStringLiteral("ReportOptionsCmd"), CheckOp(drDontChangeReportOptions));
    Enable(QStringLiteral("ReportStylesCmd"), CheckOp(drDontChangeReportOptions));
    Enable(QStringLiteral("ReportDataCmd"), CheckOp(drDontEditReportData));
    Enable(QStringLiteral("VariablesCmd"), CheckOp(drDontEditVariables));
    Enable(QStringLiteral("PreviewCmd"), CheckOp(drDontPreviewReport));
    // 6: no wizard is registered here. 7: texts.
    Localize();
    BuildLanguageMenu();
    // 8: the scale box.
    auto* scale = static_cast<QComboBox*>(Control(QStringLiteral("ScaleCB")));
    scale->clear();
    scale->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"), QStringLiteral("100%"),
                     QStringLiteral("150%"), QStringLiteral("200%"), ResourceText(u"zmPageWidth"),
                     ResourceText(u"zmWholePage")});
    // 9: the settings without the window's own placement.
    RestoreState(false, false);
    // 10: the wizard tool bar only with wizard buttons.
    const bool hasWizards = !ToolBar(QStringLiteral("ExtraToolsTB"))->actions().isEmpty();
    Action(QStringLiteral("ExtraTBCmd"))->setVisible(hasWizards);
    if (!hasWizards)
        ToolBar(QStringLiteral("ExtraToolsTB"))->hide();
    // 11, 12.
    ReloadReport();
    RestoreState(false, true);
    // 13, 14.
    TrpDesigner* component = CurrentDesignerComponent();
    findChild<QAction*>(QStringLiteral("ConnectionsMI"))->setVisible(component != nullptr && component->Standalone);
    if (component != nullptr) {
        FTemplatePath = component->TemplateDir;
        if (component->OnShow)
            component->OnShow(this);
    }
    if (FTemplatePath.isEmpty())
        FTemplatePath = report->GetApplicationFolder();
    // The report's posted message: the start-up screen may follow once the window runs.
    if (!IsPreviewDesigner())
        QCoreApplication::postEvent(this, new QEvent(kShowStartupEvent));
}

void TrpDesignerForm::customEvent(QEvent* event)
{
    if (event->type() != kShowStartupEvent)
        return;
    Guard([this] {
        TrpDesigner* component = CurrentDesignerComponent();
        if (FShowStartup && component != nullptr && component->OnShowStartupScreen)
            component->OnShowStartupScreen(this);
    });
}

void TrpDesignerForm::ShowModal()
{
    if (!started_)
        Start();
    modal_ = true;
    setAttribute(Qt::WA_DeleteOnClose, false);
    ReportServices::Ui().RunModal(*this, objectName());
    if (!closed_)
        Close();
}

void TrpDesignerForm::ShowModeless()
{
    if (!started_)
        Start();
    setAttribute(Qt::WA_DeleteOnClose, true);
    show();
}

void TrpDesignerForm::EmbedIn(QObject* panel)
{
    auto* host = qobject_cast<QWidget*>(panel);
    if (host == nullptr)
        return;
    if (!started_)
        Start();
    setParent(host, Qt::Widget);
    if (host->layout() != nullptr)
        host->layout()->addWidget(this);
    setAttribute(Qt::WA_DeleteOnClose, true);
    show();
}

bool TrpDesignerForm::CloseQuery()
{
    if (FScriptRunning)
        return false;
    Report()->SetScriptText(FCodeWindow->Lines().List());
    const TrpDesigner* component = CurrentDesignerComponent();
    const bool ask = (component == nullptr || component->CloseQuery) && Modified() && CheckOp(drDontSaveReport);
    if (!ask)
        return true;
    const int answer = AskSaveChanges();
    if (answer == mrCancel || answer == mrNone)
        return false;
    if (IsPreviewDesigner()) {
        // Yes keeps the changes for the preview to take back; No drops them.
        if (answer == mrNo)
            TrpCustomDesigner::SetModified(false);
        return true;
    }
    if (answer == mrYes && !SaveFile(false, true))
        return false;
    modified_ = answer != mrNo;
    return true;
}

int TrpDesignerForm::AskSaveChanges()
{
    const QString text = IsPreviewDesigner()
                             ? ResourceText(u"dsSavePreviewChanges")
                             : ResourceText(u"dsSaveChangesTo") + u' ' + GetReportDisplayName() + u'?';
    return ConfirmMessageBox(text, UiButtons({mbYes, mbNo, mbCancel}));
}

QString TrpDesignerForm::GetReportDisplayName() const
{
    const QString fileName = Report()->FileName();
    if (fileName.isEmpty())
        return QStringLiteral("Untitled.") + FTemplateExt;
    return QFileInfo(fileName).fileName();
}

void TrpDesignerForm::closeEvent(QCloseEvent* event)
{
    if (closed_) {
        event->accept();
        return;
    }
    bool allow = false;
    Guard([&] { allow = CloseQuery(); });
    if (!allow) {
        event->ignore();
        return;
    }
    event->accept();
    Close();
}

void TrpDesignerForm::CloseNow()
{
    Close();
    hide();
}

void TrpDesignerForm::Close()
{
    if (closed_)
        return;
    closed_ = true;
    qApp->removeEventFilter(this);
    for (auto& [name, control] : controls_) {
        if (control != nullptr)
            control->disconnect(this);
    }
    FTimer->stop();
    Guard([this] {
        if (started_)
            SaveState();
    });
    DetachDialogForm();
    if (FTempDesignerComp != nullptr) {
        delete FTempDesignerComp.data();
        SetCurrentDesignerComponent(FOldDesignerComp.data());
    }
    FPictureCache.reset();
    FUndoBuffer.reset();
    FClipboard.reset();
    FSampleFormat.reset();
    FRecentFiles.clear();
    Report()->SetModified(Modified());
    if (Report()->Designer() == this)
        Report()->SetDesigner(nullptr);
    if (OnClosed)
        OnClosed();
}

QString TrpDesignerForm::InsertExpression(const QString& expression)
{
    // The expression editor with its data tree of fields, variables and functions, on the text;
    // Cancel answers an empty text, which the callers leave unused.
    return RunExpressionEditor(this, this, expression);
}

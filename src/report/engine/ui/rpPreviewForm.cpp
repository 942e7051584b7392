#include "rpPreviewForm.h"

#include "report/core/Rounding.h"
#include "report/core/Conversions.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace {

QString Res(const char16_t* name)
{
    return GetResourcesInstance().Get(QStringView(name));
}

void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) {
        ReportServices::Ui().ShowMessage(message);
    });
}

bool HasDrillDown(TrpReport* report)
{
    if (report == nullptr)
        return false;
    bool found = false;
    std::function<void(TrpComponent*)> walk = [&](TrpComponent* component) {
        if (found || component == nullptr)
            return;
        if (auto* header = dynamic_cast<TrpGroupHeader*>(component); header != nullptr && header->DrillDown) {
            found = true;
            return;
        }
        for (TrpComponent* child : component->Objects())
            walk(child);
    };
    walk(report);
    return found;
}

void SetDrillDown(TrpReport* report, bool expand)
{
    std::function<void(TrpComponent*)> walk = [&](TrpComponent* component) {
        if (component == nullptr)
            return;
        if (auto* header = dynamic_cast<TrpGroupHeader*>(component); header != nullptr && header->DrillDown)
            header->ExpandDrillDown = expand;
        for (TrpComponent* child : component->Objects())
            walk(child);
    };
    walk(report);
}

} // namespace

// --- icons -----------------------------------------------------------------------------------

QIcon PreviewButtonIcon(int index)
{
    if (index < 0 || index > 24)
        return QIcon();
    return QIcon(QStringLiteral(":/report/engine/ui/btn%1.png").arg(index, 2, 10, QChar(u'0')));
}

// --- TrpPreviewForm --------------------------------------------------------------------------

TrpPreviewForm::TrpPreviewForm(TrpReport*) : QMainWindow(nullptr)
{
    setObjectName(QStringLiteral("TrpPreviewForm"));
    setWindowTitle(Res(u"100"));
    resize(803, 584);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    toolBar_ = addToolBar(QStringLiteral("ToolBar"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);

    preview_ = new TrpPreview(this);
    setCentralWidget(preview_);
    preview_->OnPageChanged = [this](int pageNo) { PageChanged(pageNo); };
    preview_->OnZoomChanged = [this] { ShowZoom(); };
    preview_->OnRunningChanged = [this] { UpdateButtons(); };
    preview_->OnHint = [this](const QString& hint) { SetMessageText(hint, true); };
    preview_->OnDblClick = [this] {
        if (fullScreen_)
            SwitchToFullScreen();
    };

    exportPopup_ = new QMenu(this);
    exportPopup_->setObjectName(QStringLiteral("ExportPopup"));

    AddButton("PrintB", 2, u"101", u"102", [this] { preview_->Print(); setEnabled(true); });
    AddButton("OpenB", 0, u"103", u"104", [this] {
        preview_->LoadFromFile();
        if (Report() != nullptr) {
            const QString name = Report()->ReportOptions().Name;
            setWindowTitle(name.isEmpty() ? Res(u"100") : name);
        }
    });
    AddButton("SaveB", 1, u"105", u"106", [this] { preview_->SaveToFile(); });
    QAction* exportB = AddButton("ExportB", 3, u"107", u"108", nullptr);
    exportB->setMenu(exportPopup_);
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(exportB)))
        button->setPopupMode(QToolButton::InstantPopup);
    QAction* pdfB = AddButton("PdfB", 24, nullptr, u"151", [this] { ExportWith(pdfExport_.data()); });
    pdfB->setVisible(false);
    QAction* emailB = AddButton("EmailB", 23, nullptr, u"152", nullptr);
    emailB->setVisible(false);
    AddButton("FindB", 4, u"109", u"110", [this] { preview_->Find(); });
    AddSeparator("Sep1");
    AddButton("ZoomPlusB", 15, u"124", u"125", [this] { preview_->SetZoom(preview_->Zoom() + 0.25); });
    auto* sep3 = new QWidget(toolBar_);
    auto* sep3Layout = new QHBoxLayout(sep3);
    sep3Layout->setContentsMargins(3, 0, 3, 0);
    zoomCB_ = new TrpComboBox(sep3);
    zoomCB_->setObjectName(QStringLiteral("ZoomCB"));
    zoomCB_->setFixedWidth(80);
    zoomCB_->SetListWidth(140);
    zoomCB_->setToolTip(Res(u"119"));
    zoomCB_->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"), QStringLiteral("100%"),
                       QStringLiteral("150%"), QStringLiteral("200%"), Res(u"zmPageWidth"), Res(u"zmWholePage")});
    zoomCB_->setEditText(QStringLiteral("100%"));
    sep3Layout->addWidget(zoomCB_);
    QAction* sep3Action = toolBar_->addWidget(sep3);
    sep3Action->setObjectName(QStringLiteral("Sep3"));
    buttons_[QStringLiteral("Sep3")] = sep3Action;
    connect(zoomCB_, QOverload<int>::of(&QComboBox::activated), this, [this] { ZoomCBClick(); });
    connect(zoomCB_->lineEdit(), &QLineEdit::returnPressed, this, [this] { ZoomCBClick(); });
    AddButton("ZoomMinusB", 16, u"126", u"127", [this] { preview_->SetZoom(preview_->Zoom() - 0.25); });
    AddButton("FullScreenBtn", 22, nullptr, u"150", [this] { SwitchToFullScreen(); });
    AddSeparator("Sep2");
    QAction* outlineB = AddButton("OutlineB", 12, u"128", u"129", nullptr);
    outlineB->setCheckable(true);
    connect(outlineB, &QAction::triggered, this, [this](bool on) { Guard([&] { preview_->SetOutlineVisible(on); }); });
    QAction* thumbB = AddButton("ThumbB", 5, u"130", u"131", nullptr);
    thumbB->setCheckable(true);
    connect(thumbB, &QAction::triggered, this, [this](bool on) { Guard([&] { preview_->SetThumbnailVisible(on); }); });
    AddButton("PageSettingsB", 7, u"120", u"121", [this] { preview_->PageSetupDlg(); });
    QAction* designerB = AddButton("DesignerB", 21, u"132", u"133", [this] { preview_->Edit(); });
    hiddenMenu_ = new QMenu(this);
    hiddenMenu_->setObjectName(QStringLiteral("HiddenMenu"));
    QAction* showTemplate = hiddenMenu_->addAction(QStringLiteral("Show template"));
    showTemplate->setObjectName(QStringLiteral("Showtemplate1"));
    connect(showTemplate, &QAction::triggered, this, [this] { Guard([&] { preview_->ShowTemplate(); }); });
    if (QWidget* button = toolBar_->widgetForAction(designerB)) {
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, button](const QPoint&) { hiddenMenu_->popup(button->mapToGlobal(QPoint(0, 0))); });
    }
    AddSeparator("Sep5");
    AddButton("FirstB", 8, u"134", u"135", [this] { preview_->First(); });
    AddButton("PriorB", 9, u"136", u"137", [this] { preview_->Prior(); });
    auto* sep4 = new QWidget(toolBar_);
    auto* sep4Layout = new QHBoxLayout(sep4);
    sep4Layout->setContentsMargins(3, 0, 3, 0);
    pageE_ = new QLineEdit(QStringLiteral("1"), sep4);
    pageE_->setObjectName(QStringLiteral("PageE"));
    pageE_->setFixedWidth(45);
    pageE_->setValidator(new QIntValidator(0, 999999999, pageE_));
    pageE_->setToolTip(Res(u"142"));
    sep4Layout->addWidget(pageE_);
    QAction* sep4Action = toolBar_->addWidget(sep4);
    sep4Action->setObjectName(QStringLiteral("Sep4"));
    buttons_[QStringLiteral("Sep4")] = sep4Action;
    connect(pageE_, &QLineEdit::returnPressed, this, [this] {
        Guard([&] {
            preview_->SetPageNo(pageE_->text().toInt());
            preview_->setFocus();
        });
    });
    AddButton("NextB", 10, u"138", u"139", [this] { preview_->Next(); });
    AddButton("LastB", 11, u"140", u"141", [this] { preview_->Last(); });
    auto* spacer = new QWidget(toolBar_);
    spacer->setFixedWidth(35);
    toolBar_->addWidget(spacer)->setObjectName(QStringLiteral("rpTBPanel1"));
    QAction* cancelB = AddButton("CancelB", -1, nullptr, nullptr, [this] {
        if (preview_->Running())
            preview_->Cancel();
        else
            close();
    });
    cancelB->setText(Res(u"clClose"));
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(cancelB))) {
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(68);
    }

    rightMenu_ = new QMenu(this);
    rightMenu_->setObjectName(QStringLiteral("RightMenu"));
    collapseMI_ = rightMenu_->addAction(PreviewButtonIcon(13), Res(u"601"));
    collapseMI_->setObjectName(QStringLiteral("CollapseMI"));
    connect(collapseMI_, &QAction::triggered, this, [this] {
        Guard([&] {
            if (Report() == nullptr)
                return;
            SetDrillDown(Report(), false);
            Report()->DrillState.clear();
            preview_->RefreshReport();
            preview_->SetPageNo(1);
        });
    });
    expandMI_ = rightMenu_->addAction(PreviewButtonIcon(14), Res(u"600"));
    expandMI_->setObjectName(QStringLiteral("ExpandMI"));
    connect(expandMI_, &QAction::triggered, this, [this] {
        Guard([&] {
            if (Report() == nullptr)
                return;
            SetDrillDown(Report(), true);
            Report()->DrillState.clear();
            preview_->RefreshReport();
        });
    });
    n1_ = rightMenu_->addSeparator();
    n1_->setObjectName(QStringLiteral("N1"));

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(status);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        status->addWidget(panels_[i], i == 0 ? 0 : 1);
    }
    panels_[0]->setMinimumWidth(200);
    // Esc and F11 reach the window wherever the focus is (the zoom and page boxes included).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        Guard([&] {
            if (preview_->Running())
                preview_->Cancel();
            else
                close();
        });
    });
    auto* f11 = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(f11, &QShortcut::activated, this, [this] { SwitchToFullScreen(); });
    preview_->setFocus();
}

TrpPreviewForm::~TrpPreviewForm()
{
    // The report forgets its control before the control goes.
    if (TrpReport* report = preview_->Report(); report != nullptr && report->Preview() == preview_)
        report->SetPreview(nullptr);
}

QAction* TrpPreviewForm::AddButton(const char* name, int image, const char16_t* caption, const char16_t* hint,
                                   std::function<void()> onClick)
{
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    if (image >= 0)
        action->setIcon(PreviewButtonIcon(image));
    const QString hintText = hint != nullptr ? Res(hint) : QString();
    action->setText(caption != nullptr ? Res(caption) : hintText);
    action->setToolTip(hintText);
    action->setProperty("hint", hintText);
    if (onClick) {
        connect(action, &QAction::triggered, this, [onClick] { Guard(onClick); });
    }
    toolBar_->addAction(action);
    buttons_[QString::fromLatin1(name)] = action;
    return action;
}

QAction* TrpPreviewForm::AddSeparator(const char* name)
{
    QAction* action = toolBar_->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    buttons_[QString::fromLatin1(name)] = action;
    return action;
}

QAction* TrpPreviewForm::Button(const QString& name) const
{
    const auto found = buttons_.find(name);
    return found != buttons_.end() ? found->second : nullptr;
}

void TrpPreviewForm::Initialize(bool maximized)
{
    Init();
    if (maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TrpPreviewForm::Init()
{
    TrpReport* report = Report();
    if (report == nullptr)
        return;
    const TrpPreviewOptions& options = report->PreviewOptions();
    const auto has = [&](TrpPreviewButton button) { return (options.Buttons & (1u << button)) != 0; };
    if (options.ZoomMode != zmDefault)
        preview_->SetZoomMode(options.ZoomMode);
    else
        preview_->SetZoom(options.Zoom);
    preview_->Workspace()->RTLLanguage = options.RTLPreview;
    Button(QStringLiteral("PrintB"))->setVisible(has(pbPrint));
    Button(QStringLiteral("OpenB"))->setVisible(has(pbLoad));
    Button(QStringLiteral("SaveB"))->setVisible(has(pbSave));
    Button(QStringLiteral("ExportB"))->setVisible(has(pbExport));
    Button(QStringLiteral("FindB"))->setVisible(has(pbFind));
    Button(QStringLiteral("ZoomPlusB"))->setVisible(has(pbZoom));
    Button(QStringLiteral("ZoomMinusB"))->setVisible(has(pbZoom));
    Button(QStringLiteral("Sep3"))->setVisible(has(pbZoom));
    Button(QStringLiteral("FullScreenBtn"))->setVisible(has(pbZoom) && !has(pbNoFullScreen));
    Button(QStringLiteral("Sep1"))->setVisible(has(pbZoom));
    Button(QStringLiteral("OutlineB"))->setVisible(has(pbOutline));
    Button(QStringLiteral("ThumbB"))->setVisible(has(pbOutline));
    Button(QStringLiteral("PageSettingsB"))->setVisible(has(pbPageSetup));
    Button(QStringLiteral("DesignerB"))->setVisible(has(pbEdit));
    Button(QStringLiteral("DesignerB"))->setEnabled(options.AllowEdit);
    Button(QStringLiteral("Sep2"))->setVisible(has(pbPageSetup) || has(pbEdit));
    for (const char* name : {"FirstB", "PriorB", "NextB", "LastB", "Sep4"})
        Button(QString::fromLatin1(name))->setVisible(has(pbNavigator));
    Button(QStringLiteral("Sep5"))->setVisible(has(pbNavigator));
    Button(QStringLiteral("CancelB"))->setVisible(!has(pbNoClose));
    Button(QStringLiteral("PdfB"))->setVisible(false);
    Button(QStringLiteral("EmailB"))->setVisible(false);
    toolBar_->setToolButtonStyle(options.ShowCaptions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);

    // The export menu: one item per registered filter.
    exportPopup_->clear();
    pdfExport_ = nullptr;
    TrpExportFilterCollection& filters = GetExportFilterRegistry();
    if (filters.Count() == 0)
        Button(QStringLiteral("ExportB"))->setVisible(false);
    for (int i = 0; i < filters.Count(); ++i) {
        auto* filter = dynamic_cast<TrpCustomExportFilter*>(filters.Items(i));
        if (filter == nullptr)
            continue;
        QPointer<TrpCustomExportFilter> guarded(filter);
        exportPopup_->addAction(filter->GetDescription() + QStringLiteral("..."), this,
                                [this, guarded] { ExportWith(guarded.data()); });
        if (filter->ClassName() == QLatin1String("TrpPDFExport")) {
            pdfExport_ = filter;
            if (has(pbExportQuick))
                Button(QStringLiteral("PdfB"))->setVisible(true);
        }
    }
    if (!report->ReportOptions().Name.isEmpty())
        setWindowTitle(report->ReportOptions().Name);

    // The context menu mirrors the buttons from print to full screen.
    for (QAction* action : mirrored_)
        rightMenu_->removeAction(action);
    mirrored_.clear();
    for (QAction* action : toolBar_->actions()) {
        if (action->objectName() == QLatin1String("Sep2"))
            break;
        if (action->isSeparator()) {
            QAction* separator = rightMenu_->addSeparator();
            mirrored_.push_back(separator);
            continue;
        }
        if (!action->isVisible() || action->isCheckable() || action->toolTip().isEmpty()
            || action->property("hint").toString().isEmpty())
            continue;
        rightMenu_->addAction(action);
        mirrored_.push_back(action);
    }
    UpdateButtons();
}

void TrpPreviewForm::UpdateButtons()
{
    const bool idle = !preview_->Running();
    const bool pages = preview_->PageCount() > 0;
    for (const char* name : {"PrintB", "OpenB", "SaveB", "ExportB", "PdfB", "EmailB", "FindB", "PageSettingsB"})
        Button(QString::fromLatin1(name))->setEnabled(idle && pages);
    // Opening a file needs no pages.
    Button(QStringLiteral("OpenB"))->setEnabled(idle);
    const bool allowEdit = Report() != nullptr && Report()->PreviewOptions().AllowEdit;
    Button(QStringLiteral("DesignerB"))->setEnabled(idle && allowEdit);
    Button(QStringLiteral("OutlineB"))->setChecked(preview_->OutlineVisible());
    Button(QStringLiteral("ThumbB"))->setChecked(preview_->ThumbnailVisible());
    const bool drill = idle && HasDrillDown(Report());
    collapseMI_->setVisible(drill);
    expandMI_->setVisible(drill);
    n1_->setVisible(drill);
    Button(QStringLiteral("CancelB"))->setText(Res(idle ? u"clClose" : u"clCancel"));
    if (idle)
        panels_[1]->clear();
}

void TrpPreviewForm::ExportWith(TrpCustomExportFilter* filter)
{
    if (filter == nullptr)
        return;
    Guard([&] { preview_->Export(filter); });
    setEnabled(true);
}

void TrpPreviewForm::ZoomCBClick()
{
    Guard([&] {
        preview_->setFocus();
        const int index = zoomCB_->currentIndex();
        const QString text = zoomCB_->currentText();
        if (index == 6 && text == zoomCB_->itemText(6)) {
            preview_->SetZoomMode(zmPageWidth);
        } else if (index == 7 && text == zoomCB_->itemText(7)) {
            preview_->SetZoomMode(zmWholePage);
        } else {
            QString number = text;
            number.replace(u'%', u' ');
            number.remove(u' ');
            if (!number.isEmpty()) {
                bool ok = false;
                const double value = number.replace(u',', u'.').toDouble(&ok);
                // A text that is no number is ignored: the box shows the zoom again.
                if (ok && std::isfinite(value) && value > 0)
                    preview_->SetZoom(value / 100);
            }
        }
    });
    QTimer::singleShot(0, this, [this] { ShowZoom(); });
}

void TrpPreviewForm::ShowZoom()
{
    const QSignalBlocker block(zoomCB_);
    zoomCB_->setEditText(QString::number(static_cast<qint64>(RoundHalfEven(preview_->Zoom() * 100))) + u'%');
}

void TrpPreviewForm::PageChanged(int pageNo)
{
    TrpReport* report = Report();
    TrpCustomEngine* engine = report != nullptr ? report->Engine() : nullptr;
    if (preview_->Running() && engine != nullptr && engine->DoublePass() && !engine->FinalPass) {
        panels_[0]->setText(Res(u"clFirstPass") + u' ' + QString::number(preview_->PageCount()));
    } else {
        panels_[0]->setText(FormatResource(Res(u"clPageOf"), {Variant(pageNo), Variant(preview_->PageCount())}));
    }
    pageE_->setText(QString::number(pageNo));
}

void TrpPreviewForm::SetMessageText(const QString& value, bool isHint)
{
    if (!isHint)
        panels_[1]->setText(value);
    else if (!(value.isEmpty() && panels_[2]->text().isEmpty()))
        panels_[2]->setText(value);
    ReportServices::Ui().ProcessEvents();
}

void TrpPreviewForm::SwitchToFullScreen()
{
    fullScreen_ = !fullScreen_;
    if (fullScreen_) {
        statusBar()->hide();
        toolBar_->hide();
        oldState_ = windowState();
        showFullScreen();
    } else {
        setWindowState(oldState_);
        toolBar_->show();
        statusBar()->show();
    }
}

void TrpPreviewForm::ShowModal()
{
    ReportServices::Ui().RunModal(*this, objectName());
}

void TrpPreviewForm::ShowModeless(bool)
{
    FreeOnClose = true;
    show();
}

void TrpPreviewForm::Close()
{
    close();
}

void TrpPreviewForm::closeEvent(QCloseEvent* event)
{
    // A report being built keeps its window: Cancel first.
    if (preview_->Running()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (closedOnce_)
        return;
    closedOnce_ = true;
    const QPointer<TrpPreviewForm> self(this);
    TrpReport* report = Report();
    if (report != nullptr && report->OnClosePreview)
        Guard([&] { report->OnClosePreview(*report, this); });
    if (self == nullptr)
        return;
    if (OnClosed)
        OnClosed();
    if (self != nullptr && FreeOnClose) {
        if (report != nullptr && report->Preview() == preview_)
            report->SetPreview(nullptr);
        deleteLater();
    }
}

void TrpPreviewForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        Guard([&] {
            if (preview_->Running())
                preview_->Cancel();
            else
                close();
        });
        return;
    case Qt::Key_F11:
        SwitchToFullScreen();
        return;
    case Qt::Key_F1:
        ReportServices::Ui().ShowHelp(QString(), QString());
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

void TrpPreviewForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
}

void TrpPreviewForm::contextMenuEvent(QContextMenuEvent* event)
{
    rightMenu_->popup(event->globalPos());
}

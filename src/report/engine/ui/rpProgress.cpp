#include "rpProgress.h"

#include "report/core/gui/QtConversions.h"
#include "report/model/rpRes.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QString Res(const char16_t* name)
{
    return GetResourcesInstance().Get(QStringView(name));
}

QString& LastSearchText()
{
    static QString text;
    return text;
}

} // namespace

// --- TrpProgress -----------------------------------------------------------------------------

TrpProgress::TrpProgress(QWidget* activeWindow)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool), activeForm_(activeWindow)
{
    setObjectName(QStringLiteral("TrpProgress"));
    setFixedSize(271, 101);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(0, 0, 271, 101);
    label_ = new QLabel(panel);
    label_->setObjectName(QStringLiteral("LMessage"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setGeometry(8, 15, 255, 17);
    bar_ = new QProgressBar(panel);
    bar_->setObjectName(QStringLiteral("Bar"));
    bar_->setGeometry(12, 38, 247, 16);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    cancel_ = new QPushButton(Res(u"2"), panel);
    cancel_->setObjectName(QStringLiteral("CancelB"));
    cancel_->setGeometry(98, 64, 75, 25);
    connect(cancel_, &QPushButton::clicked, this, [this] { SetTerminated(true); });
    if (activeForm_ != nullptr)
        activeForm_->setEnabled(false);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TrpProgress::~TrpProgress()
{
    EnableActive();
}

void TrpProgress::EnableActive()
{
    if (activeForm_ != nullptr)
        activeForm_->setEnabled(true);
}

void TrpProgress::hideEvent(QHideEvent* event)
{
    EnableActive();
    QWidget::hideEvent(event);
}

void TrpProgress::mousePressEvent(QMouseEvent* event)
{
    // The window has no caption: any point of it drags it.
    if (windowHandle() != nullptr)
        windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

void TrpProgress::Execute(int maxValue, const QString& message, bool canceled, bool progress)
{
    terminated_ = false;
    cancel_->setVisible(canceled);
    SetShowProgress(progress);
    bar_->setRange(0, std::max(0, maxValue));
    SetPosition(0);
    SetMessage(message);
    if (activeForm_ != nullptr && activeForm_->screen() != nullptr) {
        const QRect area = activeForm_->screen()->availableGeometry();
        QRect frame = geometry();
        frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width())));
        frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height())));
        setGeometry(frame);
    }
    show();
    ReportServices::Ui().ProcessInputEvents();
}

void TrpProgress::Tick()
{
    if (position_ < bar_->maximum() && position_ >= bar_->minimum())
        SetPosition(position_ + 1);
}

void TrpProgress::SetPosition(int value)
{
    position_ = value;
    bar_->setValue(std::max(bar_->minimum(), std::min(value, bar_->maximum())));
    if (isVisible())
        raise();
    // Keeps the window and its cancel button alive during a long loop.
    ReportServices::Ui().ProcessInputEvents();
}

void TrpProgress::SetMessage(const QString& value)
{
    message_ = value;
    label_->setText(value);
    label_->repaint();
}

void TrpProgress::SetShowProgress(bool value)
{
    progress_ = value;
    bar_->setVisible(value);
    label_->move(label_->x(), value ? 15 : 35);
}

void TrpProgress::SetTerminated(bool value)
{
    terminated_ = value;
    if (value)
        close();
}

TrpProgressWindow::TrpProgressWindow() = default;

TrpProgressWindow::~TrpProgressWindow()
{
    delete window_.data();
}

void TrpProgressWindow::Start(const QString& caption)
{
    if (window_ == nullptr)
        window_ = new TrpProgress(QApplication::activeWindow());
    window_->setWindowTitle(caption);
    window_->Execute(100, caption, true, false);
}

void TrpProgressWindow::Progress(const QString& message, int32_t percent)
{
    if (window_ == nullptr)
        return;
    window_->SetMessage(message);
    if (percent >= 0)
        window_->SetPosition(percent);
    else
        ReportServices::Ui().ProcessInputEvents();
}

void TrpProgressWindow::Stop()
{
    if (window_ != nullptr)
        window_->hide();
}

bool TrpProgressWindow::Cancelled() const
{
    return window_ != nullptr && window_->Terminated();
}

// --- TrpSearchDialog -------------------------------------------------------------------------

TrpSearchDialog::TrpSearchDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrpSearchDialog"));
    setWindowTitle(Res(u"300"));
    auto* layout = new QVBoxLayout(this);
    auto* textRow = new QHBoxLayout;
    auto* textLabel = new QLabel(Res(u"301"), this);
    textLabel->setObjectName(QStringLiteral("TextL"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("TextE"));
    text_->setText(LastSearchText());
    text_->selectAll();
    textRow->addWidget(textLabel);
    textRow->addWidget(text_);
    layout->addLayout(textRow);
    replacePanel_ = new QWidget(this);
    replacePanel_->setObjectName(QStringLiteral("ReplacePanel"));
    auto* replaceRow = new QHBoxLayout(replacePanel_);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    auto* replaceLabel = new QLabel(Res(u"303"), replacePanel_);
    replaceLabel->setObjectName(QStringLiteral("ReplaceL"));
    replace_ = new QLineEdit(replacePanel_);
    replace_->setObjectName(QStringLiteral("ReplaceE"));
    replaceRow->addWidget(replaceLabel);
    replaceRow->addWidget(replace_);
    replacePanel_->hide();
    layout->addWidget(replacePanel_);
    auto* group = new QGroupBox(Res(u"302"), this);
    group->setObjectName(QStringLiteral("SearchL"));
    auto* groupLayout = new QVBoxLayout(group);
    top_ = new QCheckBox(Res(u"304"), group);
    top_->setObjectName(QStringLiteral("TopCB"));
    case_ = new QCheckBox(Res(u"305"), group);
    case_->setObjectName(QStringLiteral("CaseCB"));
    groupLayout->addWidget(top_);
    groupLayout->addWidget(case_);
    layout->addWidget(group);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(Res(u"1"), this);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Res(u"2"), this);
    cancel->setObjectName(QStringLiteral("CancelB"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

QString TrpSearchDialog::Text() const
{
    return text_->text();
}

bool TrpSearchDialog::CaseSensitive() const
{
    return case_->isChecked();
}

bool TrpSearchDialog::FromTop() const
{
    return top_->isChecked();
}

QString TrpSearchDialog::ReplaceText() const
{
    return replace_->text();
}

void TrpSearchDialog::SetReplacing(bool on)
{
    replacePanel_->setVisible(on);
}

void TrpSearchDialog::FormHide(bool ok)
{
    if (ok)
        LastSearchText() = text_->text();
}

QString TrpSearchDialog::LastText()
{
    return LastSearchText();
}

void TrpSearchDialog::SetLastText(const QString& text)
{
    LastSearchText() = text;
}

// --- TrpDialogForm ---------------------------------------------------------------------------

TrpDialogForm::TrpDialogForm() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("TrpDialogForm"));
    setWindowTitle(QStringLiteral(" "));
    resize(115, 59);
    // Moves and resizes by the user arrive in bursts: report them once they settle.
    boundsTimer_.setSingleShot(true);
    boundsTimer_.setInterval(200);
    connect(&boundsTimer_, &QTimer::timeout, this, [this] {
        if (events_.BoundsChanged)
            ReportServices::Guarded(events_.BoundsChanged, [](const QString&, const QString& message) {
                ReportServices::Ui().ShowMessage(message);
            });
    });
}

void TrpDialogForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    const bool was = shown_;
    shown_ = false; // our own change is no user move
    setGeometry(left, top, width, height);
    shown_ = was;
}

void TrpDialogForm::SetColor(int32_t color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(static_cast<TColor>(color), palette.color(QPalette::Window)));
    setPalette(palette);
}

void TrpDialogForm::SetFont(const TrpFont&) {}

void TrpDialogForm::SetWindowState(TWindowState state)
{
    setWindowState(state == wsMaximized ? Qt::WindowMaximized : state == wsMinimized ? Qt::WindowMinimized
                                                                                    : Qt::WindowNoState);
}

void TrpDialogForm::SetModalResult(int32_t result)
{
    modalResult_ = result;
    if (result != mrNone)
        done(result);
}

int32_t TrpDialogForm::ShowModal()
{
    modalResult_ = mrNone;
    const int result = ReportServices::Ui().RunModal(*this, windowTitle());
    if (modalResult_ == mrNone)
        modalResult_ = result;
    return modalResult_;
}

void TrpDialogForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    if (events_.CloseQuery)
        events_.CloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    // The close box means Cancel: a page without buttons would otherwise trap the user.
    modalResult_ = mrCancel;
    QDialog::closeEvent(event);
    done(mrCancel);
}

void TrpDialogForm::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    if (shown_)
        boundsTimer_.start();
}

void TrpDialogForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (events_.Resize)
        events_.Resize();
    if (shown_)
        boundsTimer_.start();
}

void TrpDialogForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (events_.Show)
        events_.Show();
    shown_ = true;
}

void TrpDialogForm::hideEvent(QHideEvent* event)
{
    shown_ = false;
    QDialog::hideEvent(event);
    if (events_.Hide)
        events_.Hide();
}

void TrpDialogForm::keyPressEvent(QKeyEvent* event)
{
    QDialog::keyPressEvent(event);
}

#include "ScriptForm.h"
#include "report/script/sc_iconsts.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>

namespace {

const QString kOnActivate = QStringLiteral("ONACTIVATE");
const QString kOnCreate = QStringLiteral("ONCREATE");
const QString kOnDestroy = QStringLiteral("ONDESTROY");
const QString kOnDeactivate = QStringLiteral("ONDEACTIVATE");
const QString kOnHide = QStringLiteral("ONHIDE");
const QString kOnPaint = QStringLiteral("ONPAINT");
const QString kOnShow = QStringLiteral("ONSHOW");
const QString kOnClose = QStringLiteral("ONCLOSE");
const QString kOnCloseQuery = QStringLiteral("ONCLOSEQUERY");

enum Position : int { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter };

} // namespace

// --- TForm ----------------------------------------------------------------------------------

const ScriptClassInfo& ScriptForm::CustomClass()
{
    static const ScriptClassInfo info{QStringLiteral("TCustomForm"), &ScriptControl::ScrollingWinControlClass()};
    return info;
}

const ScriptClassInfo& ScriptForm::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TForm"), &CustomClass()};
    return info;
}

ScriptForm::ScriptForm()
{
    resize(320, 240);
    ScriptControl::SetVisible(false);
    FCanvas.AttachPainter(nullptr);
}

ScriptForm::~ScriptForm()
{
    FireNotify(kOnDestroy);
    FCanvas.Detach();
}

void ScriptForm::FireCreate()
{
    FireNotify(kOnCreate);
}

void ScriptForm::ScriptEventBound(const QString& event, bool bound)
{
    ScriptControl::ScriptEventBound(event, bound);
    if (event == kOnPaint)
        update();
}

void ScriptForm::SetVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

void ScriptForm::Show()
{
    show();
    activateWindow();
}

void ScriptForm::Hide()
{
    hide();
}

void ScriptForm::Close()
{
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    int action = caHide;
    if (QueryClose(action))
        FinishClose(action);
}

bool ScriptForm::QueryClose(int& action)
{
    bool canClose = true;
    if (auto* bridge = ScriptEvents().Find<TscCloseQueryEvent>(kOnCloseQuery))
        bridge->DoEvent(canClose);
    if (!canClose)
        return false;
    action = caHide;
    auto* closeBridge = ScriptEvents().Find<TscCloseEvent>(kOnClose);
    TscScript* program = closeBridge != nullptr ? closeBridge->Program() : nullptr;
    if (closeBridge != nullptr)
        closeBridge->DoEvent(action);
    switch (action) {
    case caNone:
        return false;
    case caMinimize:
        if (!FModal) {
            showMinimized();
            return false;
        }
        return true;
    case caFree:
        FFreeBy = program;
        return true;
    default:
        return true;
    }
}

void ScriptForm::FinishClose(int action)
{
    hide();
    if (action == caFree)
        FreeAfterClose();
}

void ScriptForm::FreeAfterClose()
{
    // Only a form its script created is the script's to free; any other is only hidden.
    TscScript* program = FFreeBy;
    FFreeBy = nullptr;
    if (program != nullptr && program->CreatedObject(Handle()))
        program->FreeObject(Handle()); // the last use of this object
}

void ScriptForm::SetModalResult(int result)
{
    FModalResult = result;
    if (!FModal || result == 0)
        return;
    int action = caHide;
    if (!QueryClose(action)) {
        FModalResult = 0;
        return;
    }
    FModal = false;
    FFinishing = true;
    done(result);
    FFinishing = false;
}

int ScriptForm::ShowModal()
{
    if (FModal || isVisible())
        throw EInvalidOperation(ScErrorText(TscMessage::SCannotMakeModal));
    FModalResult = 0;
    FModal = true;
    setModal(true);
    int answer = mrNone;
    try {
        answer = ReportServices::Ui().RunModal(*this, windowTitle());
    } catch (...) {
        FModal = false;
        setModal(false);
        hide();
        throw;
    }
    FModal = false;
    setModal(false);
    hide();
    // Without a user the service answers for the form.
    if (FModalResult == 0)
        FModalResult = answer;
    const int result = FModalResult;
    if (FFreeBy != nullptr)
        FreeAfterClose();
    return result;
}

void ScriptForm::SetBorderStyle(int style)
{
    if (style < 0 || style > 5)
        throw ERangeError();
    FBorderStyle = style;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::FramelessWindowHint, style == 0);
    flags.setFlag(Qt::Tool, style == 4 || style == 5);
    const bool shown = isVisible();
    setWindowFlags(flags);
    if (shown)
        show();
}

void ScriptForm::SetPosition(int position)
{
    if (position < poDesigned || position > poDesktopCenter)
        throw ERangeError();
    FPosition = position;
}

void ScriptForm::paintEvent(QPaintEvent* event)
{
    TscDispatchScope scope(this);
    QDialog::paintEvent(event);
    if (!ScriptEvents().Has(kOnPaint))
        return;
    QPainter painter(this);
    FCanvas.AttachPainter(&painter);
    FireNotify(kOnPaint);
    FCanvas.AttachPainter(nullptr);
}

void ScriptForm::showEvent(QShowEvent* event)
{
    TscDispatchScope scope(this);
    if (!FPlaced) {
        FPlaced = true;
        if ((FPosition == poScreenCenter || FPosition == poDesktopCenter) && screen() != nullptr) {
            const QRect available = screen()->availableGeometry();
            move(available.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QDialog::showEvent(event);
    FireNotify(kOnShow);
}

void ScriptForm::hideEvent(QHideEvent* event)
{
    TscDispatchScope scope(this);
    QDialog::hideEvent(event);
    FireNotify(kOnHide);
}

void ScriptForm::closeEvent(QCloseEvent* event)
{
    TscDispatchScope scope(this);
    // The dialog closing itself (done) goes through; any other request asks the handlers.
    if (FFinishing || !isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    Close();
}

void ScriptForm::changeEvent(QEvent* event)
{
    TscDispatchScope scope(this);
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        FireNotify(isActiveWindow() ? kOnActivate : kOnDeactivate);
}

void ScriptForm::reject()
{
    TscDispatchScope scope(this);
    Close();
}

// --- TDataModule, TApplication --------------------------------------------------------------

const ScriptClassInfo& ScriptDataModule::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TDataModule"), &ScriptComponent::Class()};
    return info;
}

const ScriptClassInfo& ScriptApplication::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TApplication"), &ScriptComponent::Class()};
    return info;
}

ScriptApplication& ScriptApplication::Instance()
{
    static auto* application = new ScriptApplication; // lives as long as the program
    return *application;
}

QString ScriptApplication::ExeName() const
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

namespace {

QWidget* MainWindow()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) != nullptr)
            return widget;
    }
    return nullptr;
}

} // namespace

void ScriptApplication::Minimize()
{
    if (QWidget* window = MainWindow())
        window->showMinimized();
}

void ScriptApplication::Restore()
{
    if (QWidget* window = MainWindow())
        window->showNormal();
}

void ScriptApplication::ProcessMessages()
{
    ReportServices::Ui().ProcessEvents();
}

// --- Registration ---------------------------------------------------------------------------

void RegisterScriptFormClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(ScriptForm::Class()))
        return;
    RegisterScriptControlClasses();
    const EnumTypeInfo& positions = registry.AddEnum(
        QStringLiteral("TPosition"), {QStringLiteral("poDesigned"), QStringLiteral("poDefault"),
                                      QStringLiteral("poDefaultPosOnly"), QStringLiteral("poDefaultSizeOnly"),
                                      QStringLiteral("poScreenCenter"), QStringLiteral("poDesktopCenter")});
    const EnumTypeInfo& states = registry.AddEnum(
        QStringLiteral("TWindowState"),
        {QStringLiteral("wsNormal"), QStringLiteral("wsMinimized"), QStringLiteral("wsMaximized")});

    using F = ScriptForm;
    registry.Register(F::CustomClass());
    RegisteredClass& form = registry.Register(F::Class(), []() -> std::unique_ptr<ScriptObject> {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            throw EInvalidOperation(ScErrorText(TscMessage::SNeedsWindows));
        return std::make_unique<ScriptForm>();
    });
    form.AddInteger(QStringLiteral("BorderStyle"), GetterOf<F>([](const F& o) { return Variant(int32_t{o.BorderStyle()}); }),
                    SetterOf<F>([](F& o, const Variant& v) { o.SetBorderStyle(v.ToInt32()); }), 2,
                    QStringLiteral("TFormBorderStyle"));
    form.AddString(QStringLiteral("Caption"), GetterOf<F>([](const F& o) { return Variant(o.windowTitle()); }),
                   SetterOf<F>([](F& o, const Variant& v) { o.setWindowTitle(v.ToString()); }), QStringLiteral("TCaption"));
    form.AddInteger(QStringLiteral("ClientHeight"),
                    GetterOf<F>([](const F& o) { return Variant(int32_t{o.contentsRect().height()}); }),
                    SetterOf<F>([](F& o, const Variant& v) { o.SetBounds(o.Left(), o.Top(), o.Width(), v.ToInt32()); }));
    form.AddInteger(QStringLiteral("ClientWidth"),
                    GetterOf<F>([](const F& o) { return Variant(int32_t{o.contentsRect().width()}); }),
                    SetterOf<F>([](F& o, const Variant& v) { o.SetBounds(o.Left(), o.Top(), v.ToInt32(), o.Height()); }));
    form.AddEnum(QStringLiteral("Position"), positions,
                 GetterOf<F>([](const F& o) { return Variant(int32_t{o.Position()}); }),
                 SetterOf<F>([](F& o, const Variant& v) { o.SetPosition(v.ToInt32()); }));
    form.AddEnum(QStringLiteral("WindowState"), states, GetterOf<F>([](const F& o) {
                     return Variant(int32_t{o.isMinimized() ? 1 : o.isMaximized() ? 2 : 0});
                 }),
                 SetterOf<F>([](F& o, const Variant& v) {
                     const int32_t state = v.ToInt32();
                     if (state < 0 || state > 2)
                         throw ERangeError();
                     o.setWindowState(state == 1 ? Qt::WindowMinimized : state == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
                 }));

    registry.Register(ScriptDataModule::Class(), [] { return std::make_unique<ScriptDataModule>(); });
    registry.Register(ScriptApplication::Class());
}

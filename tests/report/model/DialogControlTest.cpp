// Dialog controls over native widgets: what follows the object (bounds, caption after a
// rename, font, state), where the widget lives (another control, the dialog page's window, the
// hidden parent widget) and the designer's picture of the control.

#include "ReportFakes.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"
#include "report/model/rpRes.h"
#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/ui/ModelUi.h"
#include "report/model/ui/rpClass_dialogcontrol.h"
#include "report/model/ui/rpPasswordForm.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// A button, as the concrete controls would be: it shows its name until its caption is edited.
class TestButtonControl : public TrpDialogControl {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TrpButtonControl"), &TrpDialogControl::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TestButtonControl() { SetControl(std::make_unique<QPushButton>()); }
    explicit TestButtonControl(TrpComponent* owner) : TestButtonControl() { AttachTo(owner); }

    bool CaptionFollowsName() const override { return true; }
};

// A dialog page's window with a widget for the controls.
class WidgetDialogWindow : public reporttest::FakeDialogWindow {
public:
    QObject* NativeWindow() const override { return &widget; }
    mutable QWidget widget;
};

class DialogControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        ModelUi::init();
        PropertyRegistry& registry = PropertyRegistry::Global();
        if (!registry.Contains(TestButtonControl::Class()))
            registry.Register(TestButtonControl::Class(), [] { return std::make_unique<TestButtonControl>(); });
    }
};

TEST_F(DialogControlTest, ARenameCarriesACaptionThatStillShowsTheName)
{
    TrpReport report;
    auto* page = new TrpDialogPage(&report);
    auto* button = new TestButtonControl(page);
    EXPECT_EQ(button->BaseName(), "Button");
    button->CreateUniqueName();
    EXPECT_EQ(button->Name(), "Button1");
    button->SetCaption(button->Name());
    button->SetName(QStringLiteral("OkButton"));
    EXPECT_EQ(button->Caption(), "OkButton");
    button->SetCaption(QStringLiteral("ОК"));
    button->SetName(QStringLiteral("AcceptButton"));
    EXPECT_EQ(button->Caption(), "ОК") << "an edited caption stays";
    button->SetLoading(true);
    button->SetCaption(QStringLiteral("AcceptButton"));
    button->SetName(QStringLiteral("Loaded"));
    EXPECT_EQ(button->Caption(), "AcceptButton") << "not while loading";
}

TEST_F(DialogControlTest, BoundsAndStateFollowTheObject)
{
    TestButtonControl button;
    QWidget* control = button.Control();
    ASSERT_NE(control, nullptr);
    button.SetLeft(10.6);
    button.SetTop(2.5);
    button.SetWidth(75.5);
    button.SetHeight(24.4);
    EXPECT_EQ(control->geometry(), QRect(11, 2, 76, 24)) << "rounded half to even";
    button.SetVisible(false);
    EXPECT_FALSE(control->isVisibleTo(control->parentWidget()));
    button.SetEnabled(false);
    EXPECT_FALSE(control->isEnabled());
    EXPECT_FALSE(button.Enabled());
    button.SetHint(QStringLiteral("Подсказка"));
    EXPECT_EQ(control->toolTip(), "Подсказка");
    TrpFont font;
    font.SetName(QStringLiteral("DejaVu Sans"));
    font.SetHeight(-16);
    font.SetStyle(kFontStyleBold);
    button.SetFont(font);
    EXPECT_EQ(control->font().pixelSize(), 16);
    EXPECT_TRUE(control->font().bold());
    EXPECT_TRUE(button.TabStop());
    button.SetTabStop(false);
    EXPECT_FALSE(button.TabStop());
}

TEST_F(DialogControlTest, TheWidgetLivesWhereTheObjectIs)
{
    TestButtonControl loose;
    EXPECT_EQ(loose.Control()->parentWidget(), HiddenParentWidget());

    TrpModelServices services;
    WidgetDialogWindow* window = nullptr;
    services.CreateDialogWindow = [&](TrpDialogPage&) {
        auto made = std::make_unique<WidgetDialogWindow>();
        window = made.get();
        return made;
    };
    ModelServicesScope scope(services);
    TrpReport report;
    auto* page = new TrpDialogPage(&report);
    ASSERT_NE(window, nullptr);
    auto* panel = new TestButtonControl(page);
    EXPECT_EQ(panel->Control()->parentWidget(), &window->widget);
    auto* inner = new TestButtonControl(panel);
    EXPECT_EQ(inner->Control()->parentWidget(), panel->Control());
    inner->SetParent(nullptr);
    EXPECT_EQ(inner->Control()->parentWidget(), HiddenParentWidget());
    delete inner;
}

TEST_F(DialogControlTest, ControlsGoOnDialogPagesAndInOtherControlsOnly)
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    const RegisteredClass* dialogPage = registry.FindByName(u"TrpDialogPage");
    const RegisteredClass* dataPage = registry.FindByName(u"TrpDataPage");
    const RegisteredClass* control = registry.FindByName(u"TrpButtonControl");
    ASSERT_NE(control, nullptr);
    TrpDialogPage dialog;
    TrpDataPage data;
    TestButtonControl button;
    EXPECT_TRUE(dialogPage->Accepts(dialog, TestButtonControl::Class()));
    EXPECT_FALSE(dataPage->Accepts(data, TestButtonControl::Class()));
    const RegisteredClass* reportPage = registry.FindByName(u"TrpReportPage");
    TrpReportPage sheet;
    EXPECT_FALSE(reportPage->Accepts(sheet, TestButtonControl::Class())) << "a report page prints, it shows no controls";
    EXPECT_TRUE(control->Accepts(button, TestButtonControl::Class()));
    EXPECT_FALSE(control->Accepts(button, TrpDialogPage::Class()));
}

TEST_F(DialogControlTest, TheDesignerSeesTheControlsOwnPicture)
{
    TestButtonControl button;
    static_cast<QPushButton*>(button.Control())->setText(QStringLiteral("Кнопка"));
    button.SetBounds(10, 20, 80, 30);
    QImage canvas(120, 80, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        button.Draw(painter, 1, 1, 0, 0, TrpDrawContext{});
    }
    int changed = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const bool inside = x >= 10 && x < 90 && y >= 20 && y < 50;
            if (canvas.pixel(x, y) != qRgb(255, 255, 255)) {
                EXPECT_TRUE(inside) << x << "," << y;
                ++changed;
            }
        }
    }
    EXPECT_GT(changed, 80 * 30 / 2) << "the control's picture fills its place";
}

TEST_F(DialogControlTest, ShutdownDetachesTheControlsFromTheHiddenParent)
{
    auto button = std::make_unique<TestButtonControl>();
    QPointer<QWidget> control = button->Control();
    ModelUi::shutdown();
    ASSERT_FALSE(control.isNull()) << "the control belongs to its object";
    EXPECT_EQ(control->parentWidget(), nullptr);
    button.reset();
    EXPECT_TRUE(control.isNull());
    ModelUi::init();
}

// Plays the user of modal windows: types into the password edit and confirms or cancels.
class PasswordUser : public IUiService {
public:
    PasswordUser() { ReportServices::SetUi(this); }
    ~PasswordUser() override { ReportServices::SetUi(nullptr); }
    void ShowMessage(const QString&) override {}
    int RunModal(QObject& dialog, const QString& caption) override
    {
        Captions << caption;
        auto* form = qobject_cast<QWidget*>(&dialog);
        Label = form->findChild<QLabel*>(QStringLiteral("PasswordL"))->text();
        Ok = form->findChild<QPushButton*>(QStringLiteral("OkB"))->text();
        Cancel = form->findChild<QPushButton*>(QStringLiteral("CancelB"))->text();
        auto* edit = form->findChild<QLineEdit*>(QStringLiteral("PasswordE"));
        EchoHidden = edit->echoMode() == QLineEdit::Password;
        edit->setText(Typed);
        return Confirm ? mrOk : mrCancel;
    }
    QString Typed;
    bool Confirm = true;
    QStringList Captions;
    QString Label;
    QString Ok;
    QString Cancel;
    bool EchoHidden = false;
};

TEST_F(DialogControlTest, ThePasswordPromptOfAProtectedReport)
{
    QByteArray saved;
    {
        TrpReport report;
        report.ReportOptions().Password = QStringLiteral("Тайна");
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        report.SaveToStream(buffer);
        saved = buffer.data();
    }
    const auto load = [&](TrpReport& report) {
        report.EngineOptions().NewSilentMode = simSilent;
        QBuffer buffer;
        buffer.setData(saved);
        buffer.open(QIODevice::ReadOnly);
        report.LoadFromStream(buffer);
    };
    {
        TrpReport report;
        load(report);
        EXPECT_EQ(report.PagesCount(), 0) << "headless, without a user, the prompt refuses";
    }
    PasswordUser user;
    user.Typed = QStringLiteral("Тайна");
    TrpReport opened;
    load(opened);
    EXPECT_EQ(opened.PagesCount(), 1);
    EXPECT_EQ(user.Captions, QStringList{QStringLiteral("Пароль")});
    EXPECT_EQ(user.Label, "Введите пароль:");
    EXPECT_EQ(user.Ok, GetResourcesInstance().Get(u"1"));
    EXPECT_EQ(user.Cancel, "Отмена");
    EXPECT_TRUE(user.EchoHidden);
    user.Confirm = false;
    TrpReport cancelled;
    load(cancelled);
    EXPECT_EQ(cancelled.PagesCount(), 0);
    EXPECT_EQ(cancelled.Errors(), QStringList{QStringLiteral("Invalid password")});
}

} // namespace

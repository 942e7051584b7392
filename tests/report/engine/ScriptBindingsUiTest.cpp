// A report script focusing a dialog control: the module declares TrpDialogControl once the
// widget library has registered it, and SetFocus reaches the control's widget.

#include "report/core/PropertyRegistry.h"
#include "report/engine/EngineRuntime.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/ui/ModelUi.h"
#include "report/model/ui/rpClass_dialogcontrol.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TestEditControl : public TrpDialogControl {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TrpEditControl"), &TrpDialogControl::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TestEditControl() { SetControl(std::make_unique<QLineEdit>()); }
    explicit TestEditControl(TrpComponent* owner) : TestEditControl() { AttachTo(owner); }
};

} // namespace

TEST(ScriptBindingsUi, SetFocusFocusesTheControlsWidget)
{
    ModelUi::init();
    EngineRuntime::init();
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (!registry.Contains(TestEditControl::Class()))
        registry.Register(TestEditControl::Class(), [] { return std::make_unique<TestEditControl>(); });

    TrpReport report;
    auto* page = new TrpDialogPage(&report);
    page->SetName(QStringLiteral("Dialog1"));
    auto* first = new TestEditControl(page);
    first->SetName(QStringLiteral("First"));
    auto* second = new TestEditControl(page);
    second->SetName(QStringLiteral("Second"));

    // The two edits in one shown, active window.
    QWidget window;
    first->Control()->setParent(&window);
    second->Control()->setParent(&window);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    first->Control()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(first->Control()->hasFocus());

    report.SetScriptText({QStringLiteral("begin"), QStringLiteral("  Second.SetFocus"), QStringLiteral("end.")});
    ASSERT_TRUE(report.PrepareScript()) << report.Errors().join(u'\n').toStdString();
    report.Script().Execute();
    QApplication::processEvents();
    EXPECT_TRUE(second->Control()->hasFocus());
    EXPECT_FALSE(first->Control()->hasFocus());
}

// Event bridges between native events and script procedures: argument order and write-back of
// each kind, a handler that does not re-enter itself and writes nothing when skipped, handlers
// with fewer or more parameters than the event has, errors going to the error sink, and one
// bridge per (object, event) that goes when either side goes.

#include "ScriptTestSupport.h"

#include "report/script/ScriptObjects.h"
#include "report/script/sc_iclassesrtti.h"
#include "report/script/sc_ievents.h"

#include <gtest/gtest.h>

namespace {

const ScriptClassInfo kEventObjClass{QStringLiteral("TEventObj"), &ScriptComponent::Class()};

// A native object with one event of each kind, and methods that fire them from native code
// (for handlers that re-enter their own event).
class EventObj : public ScriptComponent {
public:
    const ScriptClassInfo& ScriptClass() const override { return kEventObjClass; }

    template <class Bridge>
    Bridge* Event(const char* name)
    {
        return ScriptEvents().Find<Bridge>(QString::fromLatin1(name));
    }
    bool FireCloseQuery()
    {
        bool canClose = true;
        if (auto* bridge = Event<TscCloseQueryEvent>("ONCLOSEQUERY"))
            bridge->DoEvent(canClose);
        return canClose;
    }
};

class EventBridges : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterClassLibraryModules();
        script_ = scripttest::NewScript(QStringLiteral("RireroRidoze"));
        // Registered as a binding module registers: the class and "Obj" survive Clear.
        script_->AddedBy = kScLibraryOwner;
        TscClassVariable* c = script_->AddClass(QStringLiteral("TEventObj"), &kEventObjClass, QStringLiteral("TComponent"));
        c->AddEvent(QStringLiteral("OnClick"), ScEventBinder<TscNotifyEvent>());
        c->AddEvent(QStringLiteral("OnMouseDown"), ScEventBinder<TscMouseEvent>());
        c->AddEvent(QStringLiteral("OnMouseMove"), ScEventBinder<TscMouseMoveEvent>());
        c->AddEvent(QStringLiteral("OnKeyDown"), ScEventBinder<TscKeyEvent>());
        c->AddEvent(QStringLiteral("OnKeyPress"), ScEventBinder<TscKeyPressEvent>());
        c->AddEvent(QStringLiteral("OnClose"), ScEventBinder<TscCloseEvent>());
        c->AddEvent(QStringLiteral("OnCloseQuery"), ScEventBinder<TscCloseQueryEvent>());
        c->AddEvent(QStringLiteral("OnCanResize"), ScEventBinder<TscCanResizeEvent>());
        c->AddMethod(QStringLiteral("function FireCloseQuery: Boolean"), [](TscCallFrame& f) {
            return Variant(static_cast<EventObj&>(f.Object(kEventObjClass)).FireCloseQuery());
        });
        object_ = std::make_unique<EventObj>();
        script_->AddObject(QStringLiteral("Obj"), object_.get());
        script_->AddedBy = nullptr;
        script_->SetErrorSink([this](const QString& className, const QString& message) {
            errors_ << className + QStringLiteral(": ") + message;
        });
        ReportServices::SetUi(&ui_);
    }
    void TearDown() override { ReportServices::SetUi(nullptr); }

    // Compiles and runs the program (which binds the handlers); false with the error otherwise.
    void Bind(const QString& source)
    {
        scripttest::SetSource(*script_, source);
        ASSERT_TRUE(script_->Compile()) << script_->ErrorPos.toStdString() << ": " << script_->ErrorMsg.toStdString();
        script_->Execute();
    }
    // A fresh program in the same script: its routines and variables go.
    void Reset() { script_->Clear(); }
    int Bridges() const
    {
        int count = 0;
        for (int i = 0; i < script_->Count(); ++i)
            count += dynamic_cast<TscCustomEvent*>(script_->Item(i)) != nullptr ? 1 : 0;
        return count;
    }

    scripttest::RecordingUi ui_;
    std::unique_ptr<TscScript> script_;
    std::unique_ptr<EventObj> object_;
    QStringList errors_;
};

TEST_F(EventBridges, ArgumentsComeInTheEventsOrder)
{
    Bind("procedure Down(Sender: TObject; Button, Shift, X, Y: Integer);\n"
         "begin ShowMessage(TEventObj(Sender).Name + ' ' + IntToStr(Button) + ' ' + IntToStr(Shift) + ' ' +\n"
         "  IntToStr(X) + ' ' + IntToStr(Y)); end;\n"
         "procedure Move(Sender: TObject; Shift, X, Y: Integer);\n"
         "begin ShowMessage(IntToStr(Shift) + ' ' + IntToStr(X) + ' ' + IntToStr(Y)); end;\n"
         "procedure Click(Sender: TObject); begin ShowMessage(Sender = Obj); end;\n"
         "begin Obj.Name := 'B1'; Obj.OnMouseDown := 'Down'; Obj.OnMouseMove := 'Move'; Obj.OnClick := 'Click'; end.");
    object_->Event<TscMouseEvent>("ONMOUSEDOWN")->DoEvent(1, 0x108, 5, 7);
    object_->Event<TscMouseMoveEvent>("ONMOUSEMOVE")->DoEvent(1 | 8, -3, 4);
    object_->Event<TscNotifyEvent>("ONCLICK")->DoEvent();
    // The shift state travels as its low byte.
    EXPECT_EQ(ui_.Lines, QStringList({"B1 1 8 5 7", "9 -3 4", "True"}));
}

TEST_F(EventBridges, VarArgumentsAreWrittenBack)
{
    Bind("procedure Key(Sender: TObject; var Key: Integer; Shift: Integer); begin if Key = 65 then Key := 0; end;\n"
         "procedure Press(Sender: TObject; var Key: Char); begin if Key = 'a' then Key := 'X' else Key := ''; end;\n"
         "procedure Close(Sender: TObject; var Action: Integer); begin Action := Action + 2; end;\n"
         "procedure Query(Sender: TObject; var CanClose: Boolean); begin CanClose := False; end;\n"
         "procedure Size(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);\n"
         "begin if NewWidth > 100 then NewWidth := 100; Resize := NewHeight < 1000; end;\n"
         "begin Obj.OnKeyDown := 'Key'; Obj.OnKeyPress := 'Press'; Obj.OnClose := 'Close';\n"
         "  Obj.OnCloseQuery := 'Query'; Obj.OnCanResize := 'Size'; end.");
    uint16_t key = 65;
    object_->Event<TscKeyEvent>("ONKEYDOWN")->DoEvent(key, 0);
    EXPECT_EQ(key, 0);
    key = 66;
    object_->Event<TscKeyEvent>("ONKEYDOWN")->DoEvent(key, 0);
    EXPECT_EQ(key, 66);
    QChar ch(u'a');
    object_->Event<TscKeyPressEvent>("ONKEYPRESS")->DoEvent(ch);
    EXPECT_EQ(ch, QChar(u'X'));
    // An empty text gives #0, which swallows the key.
    ch = QChar(u'b');
    object_->Event<TscKeyPressEvent>("ONKEYPRESS")->DoEvent(ch);
    EXPECT_TRUE(ch.isNull());
    int action = 1;
    object_->Event<TscCloseEvent>("ONCLOSE")->DoEvent(action);
    EXPECT_EQ(action, 3);
    EXPECT_FALSE(object_->FireCloseQuery());
    int width = 300;
    int height = 50;
    bool resize = true;
    object_->Event<TscCanResizeEvent>("ONCANRESIZE")->DoEvent(width, height, resize);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 50);
    EXPECT_TRUE(resize);
    height = 2000;
    object_->Event<TscCanResizeEvent>("ONCANRESIZE")->DoEvent(width, height, resize);
    EXPECT_FALSE(resize);
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(EventBridges, ASkippedReentrantCallWritesNothing)
{
    Bind("var Inner: Boolean; Calls: Integer;\n"
         "procedure Query(Sender: TObject; var CanClose: Boolean);\n"
         "begin Calls := Calls + 1; CanClose := False; Inner := Obj.FireCloseQuery; end;\n"
         "begin Calls := 0; Obj.OnCloseQuery := 'Query'; end.");
    EXPECT_FALSE(object_->FireCloseQuery());
    EXPECT_EQ(script_->Evaluate(QStringLiteral("Calls")).ToInt32(), 1);
    // The inner call did not run, so its CanClose stayed as the native code passed it.
    EXPECT_TRUE(script_->Evaluate(QStringLiteral("Inner")).ToBoolean());
}

TEST_F(EventBridges, HandlersWithFewerOrMoreParameters)
{
    Bind("procedure Short(Sender: TObject); begin ShowMessage('short'); end;\n"
         "begin Obj.OnKeyPress := 'Short'; end.");
    QChar ch(u'q');
    object_->Event<TscKeyPressEvent>("ONKEYPRESS")->DoEvent(ch);
    EXPECT_EQ(ch, QChar(u'q'));
    Reset();
    Bind("procedure Long(Sender: TObject; var Key: Char; Extra: Variant; More: Integer);\n"
         "begin ShowMessage(VarType(Extra)); ShowMessage(More); Key := 'z'; end;\n"
         "begin Obj.OnKeyPress := 'Long'; end.");
    object_->Event<TscKeyPressEvent>("ONKEYPRESS")->DoEvent(ch);
    EXPECT_EQ(ch, QChar(u'z'));
    // Surplus parameters hold Null (an Integer parameter takes it as 0).
    EXPECT_EQ(ui_.Lines, QStringList({"short", "1", "0"}));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(EventBridges, AnErrorInAHandlerGoesToTheErrorSinkAndWritesNothing)
{
    Bind("procedure Query(Sender: TObject; var CanClose: Boolean); var i: Integer;\n"
         "begin CanClose := False; i := 0; i := 1 div i; end;\n"
         "begin Obj.OnCloseQuery := 'Query'; end.");
    EXPECT_TRUE(object_->FireCloseQuery());
    EXPECT_EQ(errors_, QStringList({"EDivByZero: Division by zero"}));
}

TEST_F(EventBridges, AssigningBindsClearsOrRefuses)
{
    Bind("procedure A(Sender: TObject); begin ShowMessage('A'); end;\n"
         "function F(Sender: TObject): Integer; begin ShowMessage('F'); Result := 1; end;\n"
         "begin Obj.OnClick := 'A'; Obj.OnClick := 'F'; end.");
    // The second assignment replaced the first bridge.
    EXPECT_EQ(Bridges(), 1);
    object_->Event<TscNotifyEvent>("ONCLICK")->DoEvent();
    EXPECT_EQ(ui_.Lines, QStringList({"F"}));
    Reset();
    Bind("procedure A(Sender: TObject); begin ShowMessage('A'); end;\n"
         "begin Obj.OnClick := 'A'; Obj.OnClick := '0'; end.");
    EXPECT_EQ(object_->Event<TscNotifyEvent>("ONCLICK"), nullptr);
    EXPECT_EQ(Bridges(), 0);
    Reset();
    scripttest::SetSource(*script_, QStringLiteral("var Counter: Integer; begin Obj.OnClick := 'Counter'; end."));
    ASSERT_TRUE(script_->Compile());
    try {
        script_->Execute();
        FAIL() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "Event handler must be a procedure");
    }
}

TEST_F(EventBridges, EitherSideGoingDisconnectsTheOther)
{
    Bind("procedure A(Sender: TObject); begin ShowMessage('A'); end;\n"
         "begin Obj.OnClick := 'A'; end.");
    EXPECT_EQ(Bridges(), 1);
    // The script goes: the native event is empty again.
    script_.reset();
    EXPECT_EQ(object_->ScriptEvents().Count(), 0u);

    SetUp();
    Bind("procedure A(Sender: TObject); begin ShowMessage('A'); end;\n"
         "begin Obj.OnClick := 'A'; end.");
    // The native object goes: its bridge leaves the script.
    object_.reset();
    EXPECT_EQ(Bridges(), 0);

    SetUp();
    Bind("procedure A(Sender: TObject); begin ShowMessage('A'); end;\n"
         "begin Obj.OnClick := 'A'; end.");
    // A cleared script frees its procedures: the event no longer calls them.
    Reset();
    EXPECT_EQ(object_->ScriptEvents().Count(), 0u);
    EXPECT_EQ(Bridges(), 0);
}

TEST_F(EventBridges, AHandlerMayRebindItsOwnEvent)
{
    Bind("procedure B(Sender: TObject); begin ShowMessage('B'); end;\n"
         "procedure A(Sender: TObject); begin ShowMessage('A'); Obj.OnClick := 'B'; end;\n"
         "begin Obj.OnClick := 'A'; end.");
    object_->Event<TscNotifyEvent>("ONCLICK")->DoEvent();
    object_->Event<TscNotifyEvent>("ONCLICK")->DoEvent();
    object_->Event<TscNotifyEvent>("ONCLICK")->DoEvent();
    EXPECT_EQ(ui_.Lines, QStringList({"A", "B", "B"}));
    EXPECT_EQ(object_->ScriptEvents().Count(), 1u);
}

} // namespace

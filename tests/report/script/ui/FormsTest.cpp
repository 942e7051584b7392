// Script forms and controls on the offscreen platform, worked with QTest: events reach their
// handlers with the right arguments, written-back keys and close flags act on the widgets, a
// modal result closes a modal form, and errors in handlers go to the error sink.

#include "ScriptUiTestSupport.h"

#include "report/script/ui/ScriptControls.h"
#include "report/script/ui/ScriptForm.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

using FormsTest = scripttest::ScriptUiTest;

// A form with a button; the program calls Build first.
const char* const kFormWithButton = "var F: TForm; B: TButton;\n"
                                    "procedure Build;\n"
                                    "begin F := TForm.Create(nil); F.Caption := 'Test';\n"
                                    "  B := TButton.Create(F); B.Parent := F; B.Name := 'B1'; B.Caption := 'OK';\n"
                                    "  B.SetBounds(10, 10, 80, 25); end;\n";

TEST_F(FormsTest, OnClickRunsWithTheButtonAsSender)
{
    Run(QString::fromUtf8(kFormWithButton) +
        "procedure Click(Sender: TObject); begin ShowMessage(Sender = B); ShowMessage(TButton(Sender).Name); end;\n"
        "begin Build; B.OnClick := 'Click'; F.Show; end.");
    ASSERT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    auto* button = qobject_cast<QPushButton*>(Widget(QStringLiteral("B")));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->objectName(), "B1");
    EXPECT_EQ(button->text(), "OK");
    EXPECT_EQ(Widget(QStringLiteral("F"))->findChild<QPushButton*>(QStringLiteral("B1")), button);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Lines(), "True\nB1");
}

TEST_F(FormsTest, ModalResultSetInOnClickClosesTheModalForm)
{
    ui_.OnModal = [this](QObject& dialog, const QString& caption) {
        EXPECT_EQ(caption, "Test");
        auto* form = qobject_cast<QDialog*>(&dialog);
        form->show();
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("B1")), Qt::LeftButton);
        EXPECT_FALSE(form->isVisible());
        return form->result();
    };
    Run(QString::fromUtf8(kFormWithButton) +
        "procedure Click(Sender: TObject); begin F.ModalResult := mrOk; end;\n"
        "begin Build; B.OnClick := 'Click'; ShowMessage(F.ShowModal); ShowMessage(F.Visible); ShowMessage(F.ModalResult); end.");
    EXPECT_EQ(Lines(), "1\nFalse\n1");
}

TEST_F(FormsTest, AButtonsModalResultClosesItsForm)
{
    ui_.OnModal = [](QObject& dialog, const QString&) {
        auto* form = qobject_cast<QDialog*>(&dialog);
        form->show();
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("B1")), Qt::LeftButton);
        return form->result();
    };
    Run(QString::fromUtf8(kFormWithButton) + "begin Build; B.ModalResult := mrYes; ShowMessage(F.ShowModal); end.");
    EXPECT_EQ(Lines(), "6");
}

TEST_F(FormsTest, ShowModalWithoutAUserTakesTheAnswer)
{
    ui_ = ScriptedUi({QStringLiteral("mrCancel")});
    Run(QString::fromUtf8(kFormWithButton) + "begin Build; ShowMessage(F.ShowModal); F.ShowModal; end.");
    EXPECT_EQ(Lines(), "2\nException: No answer left for ShowModal \"Test\"");
}

TEST_F(FormsTest, KeyWrittenBackInOnKeyPressReachesTheEdit)
{
    Run("var F: TForm; E: TEdit;\n"
        "procedure Press(Sender: TObject; var Key: Char);\n"
        "begin if Key = 'a' then Key := 'X'; if Key = 'q' then Key := ''; end;\n"
        "procedure Down(Sender: TObject; var Key: Integer; Shift: Integer);\n"
        "begin if Key = VK_DELETE then Key := 0; end;\n"
        "begin F := TForm.Create(nil); E := TEdit.Create(F); E.Parent := F; E.OnKeyPress := 'Press';\n"
        "  E.OnKeyDown := 'Down'; F.Show; end.");
    auto* edit = qobject_cast<QLineEdit*>(Widget(QStringLiteral("E")));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("abqc"));
    EXPECT_EQ(edit->text(), "Xbc");
    // OnKeyDown swallows Delete; Backspace goes through.
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "Xbc");
    edit->setCursorPosition(3);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "Xb");
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(FormsTest, CanCloseFalseKeepsTheFormVisible)
{
    Run("var F: TForm; Allow: Boolean; Action: Integer;\n"
        "procedure Query(Sender: TObject; var CanClose: Boolean); begin CanClose := Allow; end;\n"
        "procedure Closing(Sender: TObject; var A: Integer); begin ShowMessage(A); A := Action; end;\n"
        "begin F := TForm.Create(nil); F.OnCloseQuery := 'Query'; F.OnClose := 'Closing'; Allow := False;\n"
        "  Action := caNone; F.Show; F.Close; ShowMessage(F.Visible); end.");
    QWidget* form = Widget(QStringLiteral("F"));
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    form->close(); // the window's close button
    EXPECT_TRUE(form->isVisible());
    script_->SetVariable(QStringLiteral("Allow"), Variant(true));
    form->close();
    EXPECT_TRUE(form->isVisible()); // OnClose answered caNone
    script_->SetVariable(QStringLiteral("Action"), Variant(int32_t{1}));
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Lines(), "True\n1\n1");
}

TEST_F(FormsTest, CaFreeFreesTheFormTheScriptCreated)
{
    Run("var F: TForm;\n"
        "procedure Closing(Sender: TObject; var A: Integer); begin A := caFree; end;\n"
        "begin F := TForm.Create(nil); F.OnClose := 'Closing'; F.Show; F.Close; ShowMessage(F.Visible); end.");
    EXPECT_EQ(Lines(), "EAccessViolation: Object was destroyed");
}

TEST_F(FormsTest, AnOnChangeThatChangesItsOwnControlRunsOnce)
{
    Run("var F: TForm; C: TComboBox; Calls: Integer;\n"
        "procedure Changed(Sender: TObject); begin Calls := Calls + 1; C.Text := 'changed'; end;\n"
        "procedure PickSecond; begin C.ItemIndex := 1; end;\n"
        "begin F := TForm.Create(nil); C := TComboBox.Create(F); C.Parent := F; C.Items.Add('one');\n"
        "  C.Items.Add('two'); Calls := 0; C.OnChange := 'Changed'; F.Show; end.");
    auto* combo = qobject_cast<QComboBox*>(Widget(QStringLiteral("C")));
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Z);
    EXPECT_EQ(script_->Evaluate(QStringLiteral("Calls")).ToInt32(), 1);
    EXPECT_EQ(combo->currentText(), "changed");
    // A script setting ItemIndex is no change; the user picking an entry is.
    script_->SetVariable(QStringLiteral("Calls"), Variant(int32_t{0}));
    Variant none;
    script_->CallFunction(QStringLiteral("PickSecond"), none);
    EXPECT_EQ(combo->currentText(), "two");
    EXPECT_EQ(script_->Evaluate(QStringLiteral("Calls")).ToInt32(), 0);
    emit combo->activated(0);
    EXPECT_EQ(script_->Evaluate(QStringLiteral("Calls")).ToInt32(), 1);
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(FormsTest, ALeftClickGivesButtonZeroAndShiftLeft)
{
    Run("var F: TForm; L: TLabel;\n"
        "procedure Down(Sender: TObject; Button, Shift, X, Y: Integer);\n"
        "begin ShowMessage(VarToStr(Sender = L) + ' ' + IntToStr(Button) + ' ' + IntToStr(Shift) + ' ' +\n"
        "  IntToStr(X) + ' ' + IntToStr(Y)); end;\n"
        "procedure Up(Sender: TObject; Button, Shift, X, Y: Integer); begin ShowMessage('up ' + IntToStr(Shift)); end;\n"
        "procedure Click(Sender: TObject); begin ShowMessage('click'); end;\n"
        "begin F := TForm.Create(nil); L := TLabel.Create(F); L.Parent := F; L.Caption := 'A long label';\n"
        "  L.OnMouseDown := 'Down'; L.OnMouseUp := 'Up'; L.OnClick := 'Click'; F.Show; end.");
    QWidget* label = Widget(QStringLiteral("L"));
    ASSERT_NE(label, nullptr);
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
    QTest::mouseClick(label, Qt::RightButton, Qt::ShiftModifier, QPoint(2, 3));
    EXPECT_EQ(Lines(), "True 0 8 5 7\nclick\nup 0\nTrue 1 17 2 3\nup 1");
}

TEST_F(FormsTest, SelectedSelectsAListBoxItem)
{
    Run("var F: TForm; L: TListBox;\n"
        "begin F := TForm.Create(nil); L := TListBox.Create(F); L.Parent := F; L.Items.CommaText := 'a,b,c';\n"
        "  L.Selected[2] := True; ShowMessage(L.SelCount); ShowMessage(L.Selected[2]); ShowMessage(L.Selected[0]);\n"
        "  L.ItemIndex := 1; ShowMessage(L.Items[L.ItemIndex]); L.Selected[3] := True; end.");
    auto* list = qobject_cast<QListWidget*>(Widget(QStringLiteral("L")));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_EQ(Lines(), "1\nTrue\nFalse\nb\nEListError: List index (3) out of bounds");
}

TEST_F(FormsTest, AnErrorInOnClickReachesTheErrorSink)
{
    Run(QString::fromUtf8(kFormWithButton) +
        "procedure Click(Sender: TObject); begin ShowMessage('before'); RaiseException('boom'); end;\n"
        "begin Build; B.OnClick := 'Click'; F.Show; end.");
    QTest::mouseClick(qobject_cast<QPushButton*>(Widget(QStringLiteral("B"))), Qt::LeftButton);
    QTest::mouseClick(qobject_cast<QPushButton*>(Widget(QStringLiteral("B"))), Qt::LeftButton);
    EXPECT_EQ(errors_, QStringList({"Exception: boom", "Exception: boom"}));
    EXPECT_EQ(Lines(), "before\nbefore");
}

TEST_F(FormsTest, TwoAssignmentsLeaveOneBridge)
{
    Run(QString::fromUtf8(kFormWithButton) +
        "procedure First(Sender: TObject); begin ShowMessage('first'); end;\n"
        "procedure Second(Sender: TObject); begin ShowMessage('second'); end;\n"
        "begin Build; B.OnClick := 'First'; B.OnClick := 'Second'; F.Show; end.");
    auto* button = Object<ScriptButton>(QStringLiteral("B"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->ScriptEvents().Count(), 1u);
    EXPECT_EQ(Bridges(), 1);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Lines(), "second");
}

TEST_F(FormsTest, AHandlerMayFreeItsOwnForm)
{
    Run(QString::fromUtf8(kFormWithButton) +
        "procedure Click(Sender: TObject); begin F.Free; ShowMessage('freed'); end;\n"
        "begin Build; B.OnClick := 'Click'; F.Show; end.");
    QPointer<QWidget> form = Widget(QStringLiteral("F"));
    QTest::mouseClick(qobject_cast<QPushButton*>(Widget(QStringLiteral("B"))), Qt::LeftButton);
    EXPECT_EQ(Lines(), "freed");
    // The reference is stale at once; the window goes when the click has been delivered.
    try {
        script_->Evaluate(QStringLiteral("F.Caption"));
        ADD_FAILURE() << "no error";
    } catch (const EAccessViolation& error) {
        EXPECT_EQ(error.Message(), "Object was destroyed");
    }
    EXPECT_FALSE(form.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

TEST_F(FormsTest, OnCanResizeClampsTheSize)
{
    Run("var F: TForm;\n"
        "procedure Can(Sender: TObject; var W, H: Integer; var Resize: Boolean);\n"
        "begin if W > 300 then W := 300; Resize := H <> 111; end;\n"
        "procedure Sized(Sender: TObject); begin ShowMessage('resized ' + IntToStr(F.Width)); end;\n"
        "begin F := TForm.Create(nil); F.Show; F.OnCanResize := 'Can'; F.OnResize := 'Sized'; F.Width := 500;\n"
        "  ShowMessage(F.Width); F.Height := 111; ShowMessage(F.Height); end.");
    EXPECT_EQ(Lines(), "resized 300\n300\n240");
    // A size the window system makes is answered the same way.
    QWidget* form = Widget(QStringLiteral("F"));
    form->resize(640, 200);
    EXPECT_EQ(form->width(), 300);
    EXPECT_EQ(form->height(), 200);
}

TEST_F(FormsTest, PublishedPropertiesReachTheWidgets)
{
    Run("var F: TForm; M: TMemo; K: TCheckBox;\n"
        "begin F := TForm.Create(nil); F.Caption := 'Props'; M := TMemo.Create(F); M.Parent := F;\n"
        "  M.Lines.Add('one'); M.Lines.Add('two'); ShowMessage(M.Lines.Count); M.Lines[0] := 'ONE';\n"
        "  M.Font.Size := 14; M.Font.Style := [fsBold]; M.Color := clYellow; M.Align := alClient;\n"
        "  K := TCheckBox.Create(F); K.Parent := F; K.Checked := True; K.Caption := 'Check';\n"
        "  F.Width := 200; F.Height := 100; F.Show; ShowMessage(M.Width); ShowMessage(K.Checked); end.");
    EXPECT_EQ(Lines(), "2\n200\nTrue");
    auto* memo = Widget(QStringLiteral("M"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(static_cast<QPlainTextEdit*>(memo)->toPlainText(), "ONE\ntwo");
    EXPECT_EQ(memo->font().pixelSize(), 19);
    EXPECT_TRUE(memo->font().bold());
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(memo->geometry(), Widget(QStringLiteral("F"))->contentsRect());
    EXPECT_EQ(Widget(QStringLiteral("F"))->windowTitle(), "Props");
}

TEST_F(FormsTest, TheApplicationObject)
{
    Run("begin ShowMessage(Application.ExeName); Application.ProcessMessages; Application.Minimize;\n"
        "  Application.Restore; Application.Free; end.");
    EXPECT_EQ(Lines(), QApplication::applicationFilePath().toStdString() + "\nEInvalidPointer: Invalid pointer operation");
    EXPECT_EQ(ui_.ProcessEventsCalls, 1);
}

} // namespace

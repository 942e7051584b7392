// Every button that inserts an expression, reached through the designer window as a person
// reaches it, opens the expression editor (with its data tree) on the current text, and OK
// there puts the edited expression in place; Cancel leaves the text alone.
#include "DialogTestSupport.h"

#include "report/designer/rpDataTree.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDsgnIntfEditors.h"
#include "report/designer/rpExprEditor.h"
#include "report/designer/rpGroupEditor.h"
#include "report/designer/rpHighlightEditor.h"
#include "report/designer/rpMemoEditor.h"
#include "report/designer/rpSysMemoEditor.h"
#include "report/engine/ui/rpCtrls.h"

#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ExpressionCallers : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        group = new TrpGroupHeader(page);
        group->SetName(QStringLiteral("GroupHeader1"));
        group->SetBounds(0, 20, 700, 20);
        group->Condition = QStringLiteral("Old");
        band = new TrpMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 60, 700, 100);
        memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(10, 10, 100, 18);
        memo->Highlight().Condition = QStringLiteral("Value > 0");
        sysMemo = new TrpSysMemoView(band);
        sysMemo->SetName(QStringLiteral("SysMemo1"));
        sysMemo->SetBounds(200, 10, 100, 18);
        form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->resize(1000, 700);
        form->show();
        form->SetTabIndex(2);
        QApplication::processEvents();
    }

    void TearDown() override { report.SetDesigner(nullptr); }

    // The expression editor's step: checks the text it was opened on and that its data tree
    // lists the report's variables and functions, then closes with the new text (OK) or cancels.
    void ExpressionEditorAnswers(const QString& incoming, const QString& answer, bool ok = true)
    {
        modal.Then<TrpExprEditorForm>([incoming, answer, ok, this](TrpExprEditorForm& editor) {
            EXPECT_EQ(editor.ExprMemo->toPlainText(), incoming);
            auto* tree = editor.findChild<QTreeWidget*>();
            EXPECT_NE(tree, nullptr);
            seenEditor = true;
            editor.ExprMemo->setPlainText(answer);
            if (ok)
                editor.OkB->click();
            else
                editor.reject();
        });
    }

    void Select(TrpComponent* object)
    {
        form->SelectedObjects().assign({QPointer<TrpComponent>(object)});
        form->SelectionChanged(nullptr);
        QApplication::processEvents();
    }

    bool EditInWindow(TrpComponent* object)
    {
        auto editor = GetComponentEditor(object, form.get(), nullptr);
        return editor != nullptr && editor->Edit();
    }

    ModalScript modal;
    QTemporaryDir folder;
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpGroupHeader* group = nullptr;
    TrpMasterData* band = nullptr;
    TrpMemoView* memo = nullptr;
    TrpSysMemoView* sysMemo = nullptr;
    std::unique_ptr<TrpDesignerForm> form;
    bool seenEditor = false;
};

TEST_F(ExpressionCallers, MemoEditorsFirstButtonInsertsTheExpressionInItsDelimiters)
{
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& editor) {
        editor.Editor()->setPlainText(QStringLiteral("Сумма: "));
        QTextCursor cursor = editor.Editor()->textCursor();
        cursor.movePosition(QTextCursor::End);
        editor.Editor()->setTextCursor(cursor);
        editor.ExprB->click();
        editor.OkB->click();
    });
    ExpressionEditorAnswers(QString(), QStringLiteral("SUM(Value)"));
    ASSERT_TRUE(EditInWindow(memo));
    EXPECT_TRUE(seenEditor);
    EXPECT_TRUE(memo->Text().startsWith(QStringLiteral("Сумма: [SUM(Value)]"))) << memo->Text().toStdString();
}

TEST_F(ExpressionCallers, MemoEditorKeepsItsTextWhenTheExpressionEditorIsCancelled)
{
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& editor) {
        editor.Editor()->setPlainText(QStringLiteral("Итог"));
        editor.ExprB->click();
        EXPECT_EQ(editor.Editor()->toPlainText(), QStringLiteral("Итог"));
        editor.OkB->click();
    });
    ExpressionEditorAnswers(QString(), QStringLiteral("Ignored"), false);
    ASSERT_TRUE(EditInWindow(memo));
    EXPECT_TRUE(seenEditor);
    EXPECT_TRUE(memo->Text().startsWith(QStringLiteral("Итог"))) << memo->Text().toStdString();
}

TEST_F(ExpressionCallers, HighlightConditionsButtonEditsTheCondition)
{
    Select(memo);
    modal.Then<TrpHighlightEditorForm>([](TrpHighlightEditorForm& editor) {
        editor.ConditionE->Button()->click();
        EXPECT_EQ(editor.ConditionE->currentText(), QStringLiteral("Value > 100"));
        editor.OKB->click();
    });
    ExpressionEditorAnswers(QStringLiteral("Value > 0"), QStringLiteral("Value > 100"));
    QObject* button = form->findChild<QObject*>(QStringLiteral("HighlightB"));
    ASSERT_NE(button, nullptr);
    if (auto* action = qobject_cast<QAction*>(button))
        action->trigger();
    else
        qobject_cast<QAbstractButton*>(button)->click();
    EXPECT_TRUE(seenEditor);
    EXPECT_EQ(memo->Highlight().Condition, QStringLiteral("Value > 100"));
}

TEST_F(ExpressionCallers, GroupEditorsExpressionButtonSetsTheCondition)
{
    modal.Then<TrpGroupEditorForm>([](TrpGroupEditorForm& editor) {
        editor.ExpressionRB->click();
        editor.ExpressionE->Button()->click();
        EXPECT_EQ(editor.ExpressionE->currentText(), QStringLiteral("Customers.\"Region\""));
        editor.OKB->click();
    });
    ExpressionEditorAnswers(QStringLiteral("Old"), QStringLiteral("Customers.\"Region\""));
    ASSERT_TRUE(EditInWindow(group));
    EXPECT_TRUE(seenEditor);
    EXPECT_EQ(group->Condition, QStringLiteral("Customers.\"Region\""));
}

TEST_F(ExpressionCallers, SystemTextEditorsExpressionButtonMakesTheAggregate)
{
    modal.Then<TrpSysMemoEditorForm>([](TrpSysMemoEditorForm& editor) {
        editor.AggregateRB->click();
        editor.ExpressionE->setEditText(QStringLiteral("Amount"));
        editor.ExpressionE->Button()->click();
        EXPECT_EQ(editor.ExpressionE->currentText(), QStringLiteral("Amount * 2"));
        editor.OkB->click();
    });
    ExpressionEditorAnswers(QStringLiteral("Amount"), QStringLiteral("Amount * 2"));
    ASSERT_TRUE(EditInWindow(sysMemo));
    EXPECT_TRUE(seenEditor);
    EXPECT_TRUE(sysMemo->Text().startsWith(QStringLiteral("[SUM(Amount * 2)]"))) << sysMemo->Text().toStdString();
}

} // namespace

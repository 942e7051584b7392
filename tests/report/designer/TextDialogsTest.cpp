#include "DialogTestSupport.h"

#include "report/designer/rpEvaluateForm.h"
#include "report/designer/rpExprEditor.h"
#include "report/designer/rpFormatEditor.h"
#include "report/designer/rpHighlightEditor.h"
#include "report/designer/rpMemoEditor.h"
#include "report/designer/rpStringsEditor.h"
#include "report/designer/rpSysMemoEditor.h"
#include "report/designer/rpDataTree.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class TextDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        customers.SetUserName(QStringLiteral("Customers"));
        customers.SetFields({"Company", "Amount"});
        report.DataSets().Add(&customers);
        page = TrpComponent::CreateByName(u"TrpReportPage").release();
        page->AttachTo(&report);
        page->SetName(QStringLiteral("Page1"));
        band = new TrpDataBand();
        band->AttachTo(page);
        band->SetName(QStringLiteral("MasterData1"));
        memo = new TrpMemoView();
        memo->AttachTo(band);
        memo->SetName(QStringLiteral("Memo1"));
        designer.SetPage(page);
        designer.Objects().push_back(band);
        designer.Objects().push_back(memo);
    }

    ModalScript modal;
    TrpReport report;
    TrpUserDataSet customers;
    TrpComponent* page = nullptr;
    TrpDataBand* band = nullptr;
    TrpMemoView* memo = nullptr;
    ExpressionDesigner designer{&report};
};

TEST_F(TextDialogs, MemoEditorInsertsExpressionsByTheBracketRules)
{
    struct Case {
        const char* delimiters;
        const char* expression;
        const char* inserted;
    };
    const Case cases[] = {
        {"[,]", "<Name>", "[Name]"},
        {"[,]", "<a><b>", "[<a><b>]"},
        {"[,]", "X", "[X]"},
        {"<%,%>", "<Customers.\"Company\">", "<%Customers.\"Company\"%>"},
        {"{", "Y", "{Y"},
    };
    for (const Case& c : cases) {
        memo->ExpressionDelimiters = QString::fromUtf8(c.delimiters);
        memo->SetText(QString());
        designer.Answer = QString::fromUtf8(c.expression);
        modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
            form.ExprB->click();
            form.OkB->click();
        });
        TrpMemoEditorForm form(nullptr, &designer);
        form.SetMemoView(memo);
        ASSERT_EQ(form.Execute(), mrOk);
        EXPECT_EQ(form.Text(), QString::fromUtf8(c.inserted)) << c.expression;
    }
    // An empty answer (the expression editor cancelled) inserts nothing.
    designer.Answer.clear();
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        form.ExprB->click();
        form.OkB->click();
    });
    TrpMemoEditorForm form(nullptr, &designer);
    form.SetMemoView(memo);
    form.Execute();
    EXPECT_EQ(form.Text(), QString());
}

TEST_F(TextDialogs, FormatSuffixesAndTheClosingBracket)
{
    TrpFormat format;
    format.Kind = fkNumeric;
    format.FormatStr = QStringLiteral("%2.2n");
    format.DecimalSeparator = QStringLiteral(",");
    EXPECT_EQ(TrpMemoEditorForm::FormatSuffix(format, QStringLiteral(".")), QStringLiteral(" #n%2,2n"));
    format.DecimalSeparator.clear();
    EXPECT_EQ(TrpMemoEditorForm::FormatSuffix(format, QStringLiteral(",")), QStringLiteral(" #n%2,2n"));
    format.Kind = fkDateTime;
    format.FormatStr = QStringLiteral("dd.mm.yyyy");
    EXPECT_EQ(TrpMemoEditorForm::FormatSuffix(format, QStringLiteral(",")), QStringLiteral(" #ddd.mm.yyyy"));
    format.Kind = fkBoolean;
    format.FormatStr = QStringLiteral("Нет,Да");
    EXPECT_EQ(TrpMemoEditorForm::FormatSuffix(format, QStringLiteral(",")), QStringLiteral(" #bНет,Да"));
    format.Kind = fkText;
    EXPECT_EQ(TrpMemoEditorForm::FormatSuffix(format, QStringLiteral(",")), QString());

    // Through the dialogs: the caret just after "]" puts the suffix inside the bracket.
    memo->SetText(QStringLiteral("[Sum]"));
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        QTextCursor cursor = form.Editor()->textCursor();
        cursor.movePosition(QTextCursor::EndOfBlock);
        form.Editor()->setTextCursor(cursor);
        form.LocalFormatB->click();
        form.OkB->click();
    });
    modal.Then<TrpFormatEditorForm>([](TrpFormatEditorForm& form) {
        form.CategoryLB->setCurrentRow(1);
        form.FormatE->setText(QStringLiteral("%2.2n"));
        form.SeparatorE->setText(QStringLiteral(","));
        form.OkB->click();
    });
    TrpMemoEditorForm form(nullptr, &designer);
    form.SetMemoView(memo);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Text(), QStringLiteral("[Sum #n%2,2n]\r\n"));
    EXPECT_EQ(modal.Shown, (QStringList{"TrpMemoEditorForm", "TrpFormatEditorForm"}));
}

TEST_F(TextDialogs, MemoEditorKeepsUnicodeWordWrapAndClosesOnCtrlEnter)
{
    const QString text = QStringLiteral("Ж€😀 שלום\r\nвторая строка\r\n");
    memo->SetText(text);
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        EXPECT_TRUE(form.IsUnicode());
        EXPECT_FALSE(form.WordWrapB->isChecked());
        form.WordWrapB->click();
        EXPECT_EQ(form.Editor()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QTest::keyClick(form.Editor(), Qt::Key_Return, Qt::ControlModifier);
    });
    {
        TrpMemoEditorForm form(nullptr, &designer);
        form.SetMemoView(memo);
        ASSERT_EQ(form.Execute(), mrOk);
        EXPECT_EQ(form.Text(), text);
    }
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        EXPECT_TRUE(form.WordWrapB->isChecked());
        EXPECT_EQ(form.Editor()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QTest::keyClick(form.Editor(), Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(form.Editor()->textCursor().hasSelection());
        QTest::keyClick(form.Editor(), Qt::Key_Escape);
    });
    TrpMemoEditorForm form(nullptr, &designer);
    form.SetMemoView(memo);
    EXPECT_EQ(form.Execute(), mrCancel);
    // Put back for the other tests of the run.
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        form.WordWrapB->click();
        form.OkB->click();
    });
    TrpMemoEditorForm again(nullptr, &designer);
    again.SetMemoView(memo);
    again.Execute();
}

TEST_F(TextDialogs, MemoEditorAppliesFormatAndHighlightOnlyOnOk)
{
    memo->SetText(QStringLiteral("[Amount]\r\n"));
    for (const bool ok : {false, true}) {
        modal.Then<TrpMemoEditorForm>([ok](TrpMemoEditorForm& form) {
            form.FormatEditor()->CategoryLB->setCurrentRow(1);
            form.FormatEditor()->FormatLB->setCurrentRow(1);
            form.HighlightEditor()->BoldCB->setChecked(true);
            form.HighlightEditor()->ConditionE->setEditText(QStringLiteral("Value > 0"));
            if (ok) {
                SaveScreenshot(form, QStringLiteral("memo-editor"));
                form.PageControl1->setCurrentIndex(1);
                SaveScreenshot(form, QStringLiteral("memo-editor-format"));
                form.PageControl1->setCurrentIndex(2);
                SaveScreenshot(form, QStringLiteral("memo-editor-highlight"));
            }
            (ok ? form.OkB : form.CancelB)->click();
        });
        TrpMemoEditorForm form(nullptr, &designer);
        form.SetMemoView(memo);
        form.Execute();
        if (!ok) {
            EXPECT_EQ(memo->DisplayFormat().Kind, fkText);
            EXPECT_TRUE(memo->Highlight().Condition.isEmpty());
        } else {
            EXPECT_EQ(memo->DisplayFormat().Kind, fkNumeric);
            EXPECT_EQ(memo->DisplayFormat().FormatStr, QStringLiteral("%2.2f"));
            EXPECT_EQ(memo->Highlight().Condition, QStringLiteral("Value > 0"));
            EXPECT_EQ(memo->Highlight().Font().Style(), kFontStyleBold);
        }
    }
}

TEST_F(TextDialogs, MemoEditorInsertsAnAggregate)
{
    memo->SetText(QStringLiteral("Итого: \r\n"));
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        QTextCursor cursor = form.Editor()->textCursor();
        cursor.movePosition(QTextCursor::EndOfBlock);
        form.Editor()->setTextCursor(cursor);
        form.AggregateB->click();
        form.OkB->click();
    });
    modal.Then<TrpSysMemoEditorForm>([](TrpSysMemoEditorForm& form) {
        EXPECT_TRUE(form.AggregateOnly());
        form.FunctionCB->setCurrentText(QStringLiteral("COUNT"));
        form.DataBandCB->setCurrentText(QStringLiteral("MasterData1"));
        form.OkB->click();
    });
    TrpMemoEditorForm form(nullptr, &designer);
    form.SetMemoView(memo);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Text(), QStringLiteral("Итого: [COUNT(MasterData1)]\r\n"));
}

TEST_F(TextDialogs, SystemTextAggregates)
{
    struct Case {
        const char* function;
        bool band;
        bool invisible;
        bool running;
        const char* text;
    };
    const Case cases[] = {
        {"SUM", true, false, true, "[SUM(<Customers.\"Amount\">,MasterData1,2)]"},
        {"COUNT", true, true, false, "[COUNT(MasterData1,1)]"},
        {"COUNT", false, false, false, "[COUNT()]"},
        {"MAX", false, true, true, "[MAX(<Customers.\"Amount\">,3)]"},
    };
    for (const Case& c : cases) {
        modal.Then<TrpSysMemoEditorForm>([&c](TrpSysMemoEditorForm& form) {
            EXPECT_EQ(form.DataBandCB->findText(QStringLiteral("MasterData1")), 1);
            form.AggregateRB->setChecked(true);
            form.DataSetCB->setCurrentText(QStringLiteral("Customers"));
            EXPECT_EQ(form.DataFieldCB->count(), 2);
            form.DataFieldCB->setCurrentText(QStringLiteral("Amount"));
            form.FunctionCB->setCurrentText(QString::fromUtf8(c.function));
            form.DataBandCB->setCurrentText(c.band ? QStringLiteral("MasterData1") : QString());
            if (c.invisible)
                form.CountInvisibleCB->click();
            if (c.running)
                form.RunningTotalCB->click();
            const QString inner = QString::fromUtf8(c.text).mid(1).chopped(1);
            EXPECT_EQ(form.SampleL->text(), inner);
            form.OkB->click();
        });
        TrpSysMemoEditorForm form(nullptr, &designer);
        ASSERT_EQ(form.Execute(), mrOk);
        EXPECT_EQ(form.Text(), QString::fromUtf8(c.text));
    }
}

TEST_F(TextDialogs, SystemTextSelectsVariableOrTextAndAggregateOnlyLayout)
{
    modal.Then<TrpSysMemoEditorForm>([](TrpSysMemoEditorForm& form) {
        EXPECT_TRUE(form.SysVariableRB->isChecked());
        EXPECT_EQ(form.SysVariableCB->currentText(), QStringLiteral("[PAGE#]"));
        EXPECT_EQ(form.SysVariableCB->count(), 6);
        EXPECT_EQ(form.SysVariableCB->itemText(4), QStringLiteral("[PAGE#] из [TOTALPAGES#]"));
        EXPECT_TRUE(form.SampleL->text().isEmpty());
        SaveScreenshot(form, QStringLiteral("system-text"));
        form.OkB->click();
    });
    TrpSysMemoEditorForm variable(nullptr, &designer);
    variable.SetText(QStringLiteral("[PAGE#]\r\n"));
    ASSERT_EQ(variable.Execute(), mrOk);
    EXPECT_EQ(variable.Text(), QStringLiteral("[PAGE#]"));

    modal.Then<TrpSysMemoEditorForm>([](TrpSysMemoEditorForm& form) {
        EXPECT_TRUE(form.TextRB->isChecked());
        EXPECT_EQ(form.TextE->text(), QStringLiteral("Итого"));
        form.TextE->setText(QStringLiteral("Всего"));
        form.CancelB->click();
    });
    TrpSysMemoEditorForm text(nullptr, &designer);
    text.SetText(QStringLiteral("Итого\r\n"));
    EXPECT_EQ(text.Execute(), mrCancel);
    EXPECT_EQ(text.Text(), QStringLiteral("Итого\r\n"));

    modal.Then<TrpSysMemoEditorForm>([](TrpSysMemoEditorForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Вставить агрегатную функцию"));
        EXPECT_TRUE(form.AggregateRB->isChecked());
        EXPECT_TRUE(form.GroupBox1->isHidden());
        EXPECT_TRUE(form.GroupBox2->isHidden());
        EXPECT_TRUE(form.TextRB->isHidden());
        EXPECT_FALSE(form.AggregatePanel->isHidden());
        form.FunctionCB->setCurrentText(QStringLiteral("COUNT"));
        SaveScreenshot(form, QStringLiteral("system-text-aggregate"));
        form.OkB->click();
    });
    TrpSysMemoEditorForm aggregate(nullptr, &designer);
    aggregate.SetAggregateOnly(true);
    ASSERT_EQ(aggregate.Execute(), mrOk);
    EXPECT_EQ(aggregate.Text(), QStringLiteral("[COUNT()]"));
}

TEST_F(TextDialogs, FormatEditorCategoriesSamplesAndHosting)
{
    TrpFormat format;
    format.Kind = fkNumeric;
    format.FormatStr = QStringLiteral("%2.2n");
    format.DecimalSeparator = QStringLiteral(",");
    format.ThousandSeparator = QStringLiteral(" ");
    modal.Then<TrpFormatEditorForm>([](TrpFormatEditorForm& form) {
        EXPECT_EQ(form.CategoryLB->count(), 4);
        EXPECT_EQ(form.CategoryLB->currentRow(), 1);
        EXPECT_EQ(form.FormatLB->count(), 4);
        EXPECT_EQ(form.FormatLB->currentRow(), 2);
        EXPECT_EQ(form.FormatLB->item(2)->text(), QStringLiteral("1,234.50"));
        EXPECT_TRUE(form.SeparatorE->isEnabled());
        SaveScreenshot(form, QStringLiteral("format-editor"));
        form.CategoryLB->setCurrentRow(0);
        EXPECT_FALSE(form.SeparatorE->isEnabled());
        EXPECT_EQ(form.FormatLB->count(), 0);
        form.OkB->click();
    });
    TrpFormatEditorForm form(nullptr, &designer);
    form.SetFormat(format);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Format().Kind, fkText);
    EXPECT_TRUE(form.Format().FormatStr.isEmpty());
    EXPECT_TRUE(form.Format().DecimalSeparator.isEmpty());
    EXPECT_TRUE(form.Format().ThousandSeparator.isEmpty());

    modal.Then<TrpFormatEditorForm>([](TrpFormatEditorForm& form) {
        const int number = form.CategoryLB->findItems(QStringLiteral("Число"), Qt::MatchExactly).isEmpty()
                               ? -1
                               : form.CategoryLB->row(form.CategoryLB->findItems(QStringLiteral("Число"),
                                                                                 Qt::MatchExactly)[0]);
        ASSERT_EQ(number, 1);
        form.CategoryLB->setCurrentRow(number);
        EXPECT_TRUE(form.SeparatorE->isEnabled());
        EXPECT_TRUE(form.SeparatorL->isEnabled());
        form.FormatLB->setCurrentRow(1);
        EXPECT_EQ(form.FormatE->text(), QStringLiteral("%2.2f"));
        form.CategoryLB->setCurrentRow(2);
        EXPECT_FALSE(form.SeparatorE->isEnabled());
        EXPECT_EQ(form.FormatLB->count(), 7);
        form.FormatLB->setCurrentRow(0);
        EXPECT_EQ(form.FormatE->text(), QStringLiteral("dd.mm.yyyy"));
        form.CancelB->click();
    });
    TrpFormatEditorForm cancelled(nullptr, &designer);
    cancelled.Execute();

    // Hosted on another window's page and back, the values stay.
    QWidget host;
    TrpFormatEditorForm hosted(nullptr, &designer);
    format.Kind = fkDateTime;
    format.FormatStr = QStringLiteral("hh:mm");
    format.DecimalSeparator.clear();
    hosted.SetFormat(format);
    hosted.HostControls(&host);
    EXPECT_EQ(hosted.CategoryLB->window(), &host);
    EXPECT_EQ(hosted.CategoryLB->currentRow(), 2);
    EXPECT_EQ(hosted.FormatLB->currentItem()->text(), QStringLiteral("02:14"));
    hosted.UnhostControls();
    EXPECT_EQ(hosted.Format().Kind, fkDateTime);
    EXPECT_EQ(hosted.Format().FormatStr, QStringLiteral("hh:mm"));
    EXPECT_TRUE(hosted.Format().DecimalSeparator.isEmpty());
}

TEST_F(TextDialogs, EvaluateShowsValuesAndErrorsWithoutRaising)
{
    TscScript script;
    script.AddRTTI();
    script.Lines = QStringList{"var Done: Boolean; Name: String; Nothing: Variant; N: Integer;", "begin",
                               "  Done := True; Name := 'Пётр'; Nothing := Null; N := 41;", "  Stop;", "end."};
    struct Case {
        const char* expression;
        const char* result;
    };
    const Case cases[] = {
        {"Done", "True"}, {"not Done", "False"}, {"Name", "'Пётр'"}, {"Nothing", "Null"}, {"N + 1", "42"},
    };
    QStringList results;
    QString syntaxError;
    QString runError;
    script.AddMethod(QStringLiteral("procedure Stop"), [&](TscCallFrame&) {
        TrpEvaluateForm form(nullptr, &designer);
        form.SetScript(&script);
        for (const Case& c : cases) {
            form.ExpressionE->setText(QString::fromUtf8(c.expression));
            QTest::keyClick(form.ExpressionE, Qt::Key_Return);
            results.append(form.ResultM->toPlainText());
        }
        form.ExpressionE->setText(QStringLiteral("N +* 1"));
        QTest::keyClick(form.ExpressionE, Qt::Key_Return);
        syntaxError = form.ResultM->toPlainText();
        form.ExpressionE->setText(QStringLiteral("N div 0"));
        QTest::keyClick(form.ExpressionE, Qt::Key_Return);
        runError = form.ResultM->toPlainText();
        SaveScreenshot(form, QStringLiteral("evaluate"));
        return Variant();
    });
    ASSERT_TRUE(script.Compile()) << script.ErrorMsg.toStdString();
    script.Execute();
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(results.value(static_cast<int>(i)), QString::fromUtf8(cases[i].result)) << cases[i].expression;
    EXPECT_FALSE(syntaxError.isEmpty());
    EXPECT_FALSE(runError.isEmpty());
    EXPECT_NE(runError, QStringLiteral("'"));
}

TEST_F(TextDialogs, EvaluateInWatchModeOnlyAsksForAnExpression)
{
    modal.Then<TrpEvaluateForm>([](TrpEvaluateForm& form) {
        EXPECT_TRUE(form.IsWatch());
        EXPECT_TRUE(form.ResultM->isHidden());
        EXPECT_TRUE(form.Label2->isHidden());
        EXPECT_FALSE(form.OkB->isHidden());
        EXPECT_EQ(form.ExpressionE->text(), QStringLiteral("Total"));
        form.ExpressionE->setText(QStringLiteral("Total * 2"));
        QTest::keyClick(form.ExpressionE, Qt::Key_Return);
        SaveScreenshot(form, QStringLiteral("evaluate-watch"));
    });
    EXPECT_EQ(AskWatchExpression(nullptr, &designer, QStringLiteral("Total")), QStringLiteral("Total * 2"));
    modal.Then<TrpEvaluateForm>([](TrpEvaluateForm& form) { form.CancelB->click(); });
    EXPECT_EQ(AskWatchExpression(nullptr, &designer, QStringLiteral("Total")), QString());
}

TEST_F(TextDialogs, ExpressionEditorInsertsFieldsAndAnswersEmptyOnCancel)
{
    modal.Then<TrpExprEditorForm>([](TrpExprEditorForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Редактор выражений"));
        EXPECT_EQ(form.ExprMemo->toPlainText(), QStringLiteral("1 + "));
        QTextCursor cursor = form.ExprMemo->textCursor();
        cursor.movePosition(QTextCursor::End);
        form.ExprMemo->setTextCursor(cursor);
        QTreeWidget* tree = form.DataTree()->DataTree;
        const auto found = tree->findItems(QStringLiteral("Amount"), Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty());
        tree->setCurrentItem(found.first());
        form.InsertFieldName();
        form.resize(640, 546);
        SaveScreenshot(form, QStringLiteral("expression-editor"));
        form.OkB->click();
    });
    EXPECT_EQ(RunExpressionEditor(nullptr, &designer, QStringLiteral("1 + ")),
              QStringLiteral("1 + <Customers.\"Amount\">"));
    modal.Then<TrpExprEditorForm>([](TrpExprEditorForm& form) {
        form.ExprMemo->setPlainText(QStringLiteral("changed"));
        form.CancelB->click();
    });
    EXPECT_EQ(RunExpressionEditor(nullptr, &designer, QStringLiteral("x")), QString());
}

TEST_F(TextDialogs, StringsEditorLinesAndKeys)
{
    modal.Then<TrpStringsEditorForm>([](TrpStringsEditorForm& form) {
        EXPECT_EQ(form.Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        form.Memo->appendPlainText(QStringLiteral("три"));
        SaveScreenshot(form, QStringLiteral("strings-editor"));
        QTest::keyClick(form.Memo, Qt::Key_Return, Qt::ControlModifier);
    });
    TrpStringsEditorForm form(nullptr, &designer);
    form.SetLines({"один", "два"});
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Lines(), (QStringList{"один", "два", "три"}));
    modal.Then<TrpStringsEditorForm>([](TrpStringsEditorForm& form) { QTest::keyClick(form.Memo, Qt::Key_Escape); });
    TrpStringsEditorForm cancelled(nullptr, &designer);
    EXPECT_EQ(cancelled.Execute(), mrCancel);
}

} // namespace

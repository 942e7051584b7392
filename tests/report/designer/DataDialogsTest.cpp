#include "DialogTestSupport.h"

#include "report/designer/rpDataBandEditor.h"
#include "report/designer/rpGroupEditor.h"
#include "report/designer/rpInheritErrorForm.h"
#include "report/designer/rpReportDataForm.h"
#include "report/designer/rpStringsEditor.h"
#include "report/designer/rpTabOrderEditor.h"
#include "report/designer/rpVarEditor.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpVariables.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include "platform/RegistryStore.h"
#include "report/core/PropertyRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

class TestEditControl : public TrpDialogControl {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TrpDialogTestEdit"), &TrpDialogControl::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestEditControl() { SetControl(std::make_unique<QLineEdit>()); }
};

QStringList Names(const TrpVariables& variables)
{
    QStringList names;
    for (int i = 0; i < variables.Count(); ++i)
        names.append(variables.Items(i)->Name);
    return names;
}

class DataDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        customers.SetUserName(QStringLiteral("Customers"));
        customers.SetFields({"Company", "Amount"});
        orders.SetUserName(QStringLiteral("Orders"));
        orders.SetFields({"Total"});
        report.DataSets().Add(&customers);
        report.DataSets().Add(&orders);
        page = TrpComponent::CreateByName(u"TrpReportPage").release();
        page->AttachTo(&report);
        page->SetName(QStringLiteral("Page1"));
        designer.SetPage(page);
    }

    ModalScript modal;
    TrpReport report;
    TrpUserDataSet customers;
    TrpUserDataSet orders;
    TrpComponent* page = nullptr;
    ExpressionDesigner designer{&report};
};

TEST_F(DataDialogs, VariablesRenameRulesNewItemsAndOk)
{
    TrpVariables& vars = report.Variables();
    vars.Add()->Name = QStringLiteral(" Cat");
    vars.AddVariable(QStringLiteral("Cat"), QStringLiteral("Var"), Variant(QStringLiteral("1 + 1")));
    vars.AddVariable(QStringLiteral("Cat"), QStringLiteral("Other"), Variant(QStringLiteral("2")));
    modal.Then<TrpVarEditorForm>([this](TrpVarEditorForm& form) {
        EXPECT_EQ(form.Root()->text(0), QStringLiteral("Переменные"));
        QTreeWidgetItem* var = form.FindNode(QStringLiteral("Var"));
        ASSERT_NE(var, nullptr);
        form.VarTree->setCurrentItem(var);
        EXPECT_EQ(form.ExprMemo->toPlainText(), QStringLiteral("1 + 1"));
        form.ExprMemo->setPlainText(QStringLiteral("[Total] * 2"));
        // A variable renamed to another's name is refused; a category may take a variable's.
        form.RenameNode(var, QStringLiteral("Other"));
        EXPECT_EQ(var->text(0), QStringLiteral("Var"));
        EXPECT_EQ(modal.ui.Errors, QStringList{"Переменная с таким именем уже существует"});
        form.RenameNode(form.FindNode(QStringLiteral("Cat")), QStringLiteral("Var"));
        EXPECT_EQ(form.Variables().IndexOf(QStringLiteral(" Var")), 0);
        form.NewCategoryBClick();
        form.NewCategoryBClick();
        EXPECT_NE(form.FindNode(QStringLiteral("New Category2")), nullptr);
        form.NewVarBClick();
        EXPECT_EQ(form.VarTree->currentItem()->text(0), QStringLiteral("New Variable1"));
        EXPECT_EQ(form.VarTree->currentItem()->parent()->text(0), QStringLiteral("New Category2"));
        form.VarTree->setCurrentItem(form.FindNode(QStringLiteral("Other")));
        form.DeleteBClick();
        form.resize(640, 420);
        SaveScreenshot(form, QStringLiteral("variables-editor"));
        form.OkB->click();
    });
    TrpVarEditorForm form(nullptr, &designer);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(Names(vars), (QStringList{" Var", "Var", " New Category1", " New Category2", "New Variable1"}));
    EXPECT_EQ(vars.GetValue(QStringLiteral("Var")).ToString(), QStringLiteral("[Total] * 2"));

    // Saved and loaded, the report keeps them.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("vars.zi3"));
    report.SaveToFile(file);
    TrpReport loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(Names(loaded.Variables()), Names(vars));
    EXPECT_EQ(loaded.Variables().GetValue(QStringLiteral("Var")).ToString(), QStringLiteral("[Total] * 2"));
}

TEST_F(DataDialogs, VariablesListEditorFilesAndCancel)
{
    TrpVariables& vars = report.Variables();
    vars.Add()->Name = QStringLiteral(" Old");
    vars.AddVariable(QStringLiteral("Old"), QStringLiteral("Var"), Variant(QStringLiteral("'kept'")));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.fd3"));
    modal.ui.Files = QStringList{file, file};
    modal.Then<TrpVarEditorForm>([](TrpVarEditorForm& form) { form.EditListB->click(); });
    modal.Then<TrpStringsEditorForm>([](TrpStringsEditorForm& form) {
        EXPECT_EQ(form.Lines(), (QStringList{"Old", " Var"}));
        form.SetLines({"Cat", " Var", "", " Fresh"});
        form.OkB->click();
    });
    TrpVarEditorForm form(nullptr, &designer);
    // The list step runs inside the first one: queue order is the order of showing.
    modal.Steps.front() = [&](QDialog& dialog) {
        auto& editor = dynamic_cast<TrpVarEditorForm&>(dialog);
        editor.EditListB->click();
        EXPECT_EQ(Names(editor.Variables()), (QStringList{" Cat", "Var", "Fresh"}));
        EXPECT_EQ(editor.Variables().GetValue(QStringLiteral("Var")).ToString(), QStringLiteral("'kept'"));
        EXPECT_EQ(editor.Variables().GetValue(QStringLiteral("Fresh")).ToString(), QString());
        EXPECT_EQ(editor.VarTree->currentItem(), editor.Root());
        editor.SaveB->click();
        editor.NewCategoryBClick();
        editor.LoadB->click();
        EXPECT_EQ(Names(editor.Variables()), (QStringList{" Cat", "Var", "Fresh"}));
        editor.CancelB->click();
    };
    EXPECT_EQ(form.Execute(), mrCancel);
    EXPECT_EQ(Names(vars), (QStringList{" Old", "Var"}));
    ASSERT_EQ(modal.ui.Filters.size(), 2);
    EXPECT_EQ(modal.ui.Filters[0], QStringLiteral("Список переменных (*.fd3)"));
}

TEST_F(DataDialogs, DataBandNoDataSetWithACount)
{
    auto* band = new TrpDataBand();
    band->AttachTo(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetDataSet(&orders);
    modal.Then<TrpDataBandEditorForm>([](TrpDataBandEditorForm& form) {
        ASSERT_EQ(form.DatasetsLB->count(), 3);
        EXPECT_EQ(form.DatasetsLB->item(0)->text(), QStringLiteral("[не назначен]"));
        EXPECT_EQ(form.DatasetsLB->currentItem()->text(), QStringLiteral("Orders"));
        form.DatasetsLB->setCurrentRow(0);
        form.RecordsE->setValue(5);
        SaveScreenshot(form, QStringLiteral("data-band-editor"));
        form.OkB->click();
    });
    TrpDataBandEditorForm form(nullptr, &designer);
    form.SetDataBand(band);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_EQ(band->RowCount(), 5);

    modal.Then<TrpDataBandEditorForm>([](TrpDataBandEditorForm& form) {
        form.DatasetsLB->setCurrentRow(1);
        EXPECT_EQ(form.RecordsE->value(), 0);
        form.OkB->click();
    });
    TrpDataBandEditorForm again(nullptr, &designer);
    again.SetDataBand(band);
    again.Execute();
    EXPECT_EQ(band->DataSet(), &customers);
}

TEST_F(DataDialogs, GroupFieldModeExpressionModeAndOptions)
{
    auto* group = new TrpGroupHeader();
    group->AttachTo(page);
    group->SetName(QStringLiteral("GroupHeader1"));
    group->Condition = QStringLiteral("Customers.\"Company\"");
    modal.Then<TrpGroupEditorForm>([](TrpGroupEditorForm& form) {
        EXPECT_TRUE(form.DataFieldRB->isChecked());
        EXPECT_EQ(form.DataSetCB->currentText(), QStringLiteral("Customers"));
        EXPECT_EQ(form.DataFieldCB->currentText(), QStringLiteral("Company"));
        EXPECT_FALSE(form.ExpressionE->isEnabled());
        form.DataFieldCB->setCurrentText(QStringLiteral("Amount"));
        form.OutlineCB->setChecked(true);
        form.StartNewPageCB->setChecked(true);
        SaveScreenshot(form, QStringLiteral("group-editor"));
        form.OKB->click();
    });
    TrpGroupEditorForm form(nullptr, &designer);
    form.SetGroupHeader(group);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(group->Condition, QStringLiteral("Customers.\"Amount\""));
    EXPECT_EQ(group->OutlineText, group->Condition);
    EXPECT_TRUE(group->StartNewPage);

    group->Condition = QStringLiteral("[Total] > 0");
    designer.Answer = QStringLiteral("[Total] > 10");
    modal.Then<TrpGroupEditorForm>([](TrpGroupEditorForm& form) {
        EXPECT_TRUE(form.ExpressionRB->isChecked());
        EXPECT_EQ(form.ExpressionE->currentText(), QStringLiteral("[Total] > 0"));
        EXPECT_FALSE(form.DataSetCB->isEnabled());
        form.ExpressionE->Button()->click();
        form.OutlineCB->setChecked(false);
        form.OKB->click();
    });
    TrpGroupEditorForm expression(nullptr, &designer);
    expression.SetGroupHeader(group);
    ASSERT_EQ(expression.Execute(), mrOk);
    EXPECT_EQ(group->Condition, QStringLiteral("[Total] > 10"));
    EXPECT_TRUE(group->OutlineText.isEmpty());
}

TEST_F(DataDialogs, TabOrderMovesRenumbersUniquelyAndCancelRestores)
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (!registry.Contains(TestEditControl::Class()))
        registry.Register(TestEditControl::Class(), [] { return std::make_unique<TestEditControl>(); });
    auto* dialog = TrpComponent::CreateByName(u"TrpDialogPage").release();
    dialog->AttachTo(&report);
    dialog->SetName(QStringLiteral("Dialog1"));
    std::vector<TestEditControl*> edits;
    for (const char* name : {"EditA", "EditB", "EditC"}) {
        auto* edit = new TestEditControl();
        edit->AttachTo(dialog);
        edit->SetName(QString::fromLatin1(name));
        edit->SetTabOrder(static_cast<int>(edits.size()));
        edits.push_back(edit);
    }
    designer.SetPage(dialog);
    auto order = [&] {
        QStringList names;
        for (TrpComponent* child : dialog->Objects())
            names.append(child->Name());
        return names;
    };
    for (const bool ok : {false, true}) {
        modal.Then<TrpTabOrderEditorForm>([&](TrpTabOrderEditorForm& form) {
            ASSERT_EQ(form.ControlsLB->count(), 3);
            EXPECT_TRUE(form.ControlsLB->item(0)->text().startsWith(QStringLiteral("EditA: ")));
            int checks = 0;
            form.OnRenumbered = [&] {
                std::set<int> seen;
                for (TestEditControl* edit : edits)
                    seen.insert(edit->TabOrder());
                EXPECT_EQ(seen.size(), 3u);
                ++checks;
            };
            form.ControlsLB->setCurrentRow(0);
            form.UpBClick(); // already first: nothing
            EXPECT_EQ(checks, 0);
            form.ControlsLB->setCurrentRow(2);
            form.UpBClick();
            form.DownBClick();
            form.UpBClick();
            form.ControlsLB->setCurrentRow(2);
            form.DownBClick(); // already last: nothing
            EXPECT_EQ(order(), (QStringList{"EditA", "EditC", "EditB"}));
            EXPECT_EQ(form.ControlsLB->currentRow(), 2);
            EXPECT_EQ(form.ControlsLB->item(1)->text().left(7), QStringLiteral("EditC: "));
            EXPECT_EQ(checks, 18);
            EXPECT_EQ(edits[0]->TabOrder(), 0);
            EXPECT_EQ(edits[2]->TabOrder(), 1);
            EXPECT_EQ(edits[1]->TabOrder(), 2);
            // The native Tab chain follows: A, then C, then B.
            auto nextEdit = [&](QWidget* from) -> QWidget* {
                for (QWidget* w = from->nextInFocusChain(); w != nullptr && w != from; w = w->nextInFocusChain())
                    for (TestEditControl* edit : edits)
                        if (edit->Control() == w)
                            return w;
                return nullptr;
            };
            EXPECT_EQ(nextEdit(edits[0]->Control()), edits[2]->Control());
            EXPECT_EQ(nextEdit(edits[2]->Control()), edits[1]->Control());
            SaveScreenshot(form, QStringLiteral("tab-order-editor"));
            (ok ? form.OkB : form.CancelB)->click();
        });
        TrpTabOrderEditorForm form(nullptr, &designer);
        form.Execute();
        if (!ok)
            EXPECT_EQ(order(), (QStringList{"EditA", "EditB", "EditC"}));
        else
            EXPECT_EQ(order(), (QStringList{"EditA", "EditC", "EditB"}));
    }
}

TEST_F(DataDialogs, ReportDataChecksAndWritesOnOk)
{
    TrpUserDataSet spare;
    spare.SetUserName(QStringLiteral("Archive"));
    report.EnabledDataSets().Add(&orders);
    report.EnabledDataSets().Add(&spare);
    report.EnabledDataSets().Add(&customers);
    modal.Then<TrpReportDataForm>([](TrpReportDataForm& form) {
        ASSERT_EQ(form.DatasetsLB->count(), 3);
        EXPECT_EQ(form.DatasetsLB->item(0)->text(), QStringLiteral("Archive"));
        EXPECT_EQ(form.DatasetsLB->item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(form.DatasetsLB->item(1)->checkState(), Qt::Checked);
        form.DatasetsLB->item(0)->setCheckState(Qt::Checked);
        form.DatasetsLB->item(2)->setCheckState(Qt::Unchecked);
        SaveScreenshot(form, QStringLiteral("report-data"));
        form.OKB->click();
    });
    TrpReportDataForm form(nullptr, &designer);
    ASSERT_EQ(form.Execute(), mrOk);
    ASSERT_EQ(report.DataSets().Count(), 2);
    EXPECT_EQ(report.DataSets().Items(0)->DataSet(), &spare);
    EXPECT_EQ(report.DataSets().Items(1)->DataSet(), &customers);
    report.DataSets().Clear();
}

TEST_F(DataDialogs, ReportDataStandAloneListsConnectionsOfBothStores)
{
    const char key[] = "\\Software\\Zuvo Dideziz\\Connections";
    auto user = platform::RegistryStore::CurrentUser();
    ASSERT_TRUE(user.WriteString(key, "Shared", "db=user"));
    ASSERT_TRUE(user.WriteString(key, "Mine", "db=mine"));
    QTemporaryDir dir;
    platform::RegistryStore system(std::filesystem::path(dir.filePath(QStringLiteral("system.json")).toStdString()));
    ASSERT_TRUE(system.WriteString(key, "Shared", "db=system"));
    setenv("DAXCONFIG_SYSTEM_FILE", system.File().c_str(), 1);
    report.ReportOptions().SetConnectionName(QStringLiteral("mine"));
    modal.Then<TrpReportDataForm>([](TrpReportDataForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Соединения"));
        ASSERT_EQ(form.DatasetsLB->count(), 3);
        EXPECT_EQ(form.DatasetsLB->item(0)->text(), QStringLiteral("Shared"));
        EXPECT_EQ(form.DatasetsLB->item(2)->text(), QStringLiteral("Shared"));
        EXPECT_EQ(form.DatasetsLB->item(1)->checkState(), Qt::Checked);
        form.DatasetsLB->item(2)->setCheckState(Qt::Checked);
        EXPECT_EQ(form.DatasetsLB->item(1)->checkState(), Qt::Unchecked);
        form.OKB->click();
    });
    TrpReportDataForm form(nullptr, &designer, true);
    ASSERT_EQ(form.Execute(), mrOk);
    unsetenv("DAXCONFIG_SYSTEM_FILE");
    EXPECT_EQ(report.ReportOptions().ConnectionName(), QStringLiteral("Shared"));
}

TEST_F(DataDialogs, InheritanceConflictDeleteRenameAndCancel)
{
    QTemporaryDir dir;
    const QString baseFile = dir.filePath(QStringLiteral("base.zi3"));
    {
        TrpReport base;
        auto* basePage = TrpComponent::CreateByName(u"TrpReportPage").release();
        basePage->AttachTo(&base);
        basePage->SetName(QStringLiteral("Page1"));
        for (const char* name : {"Title", "Footer"}) {
            auto* memo = new TrpMemoView();
            memo->AttachTo(basePage);
            memo->SetName(QString::fromLatin1(name));
        }
        base.SaveToFile(baseFile);
    }
    auto makeReport = [](TrpReport& child) {
        auto* childPage = TrpComponent::CreateByName(u"TrpReportPage").release();
        childPage->AttachTo(&child);
        childPage->SetName(QStringLiteral("Page1"));
        for (const char* name : {"Title", "Footer", "Own"}) {
            auto* memo = new TrpMemoView();
            memo->AttachTo(childPage);
            memo->SetName(QString::fromLatin1(name));
            memo->SetText(QStringLiteral("child"));
        }
    };
    struct Case {
        const char* name;
        int answer; // 0 delete, 1 rename, 2 cancel
    };
    for (const Case c : {Case{"delete", 0}, Case{"rename", 1}, Case{"cancel", 2}}) {
        TrpReport child;
        makeReport(child);
        modal.Then<TrpInheritErrorForm>([&c](TrpInheritErrorForm& form) {
            EXPECT_TRUE(form.DeleteRB->isChecked());
            if (c.answer == 0)
                SaveScreenshot(form, QStringLiteral("inherit-error"));
            if (c.answer == 1)
                form.RenameRB->setChecked(true);
            (c.answer == 2 ? form.CancelB : form.OkB)->click();
        });
        const bool changed = child.InheritFromTemplate(baseFile);
        int objects = 0;
        for (TrpComponent* object : child.AllObjects())
            if (!object->IsPage())
                ++objects;
        SCOPED_TRACE(c.name);
        switch (c.answer) {
        case 0:
            EXPECT_TRUE(changed);
            EXPECT_EQ(objects, 3);
            break;
        case 1:
            EXPECT_TRUE(changed);
            EXPECT_EQ(objects, 5);
            break;
        default:
            EXPECT_FALSE(changed);
            EXPECT_EQ(objects, 3);
            EXPECT_TRUE(child.ParentReport().isEmpty());
            break;
        }
    }
    EXPECT_EQ(modal.Shown, (QStringList{"TrpInheritErrorForm", "TrpInheritErrorForm", "TrpInheritErrorForm"}));
}

} // namespace

namespace {

TEST_F(DataDialogs, F1OpensTheHelpTopicAndRightToLeftMirrors)
{
    QWidget owner;
    owner.setLayoutDirection(Qt::RightToLeft);
    modal.Then<TrpVarEditorForm>([](TrpVarEditorForm& form) {
        QTest::keyClick(&form, Qt::Key_F1);
        form.CancelB->click();
    });
    TrpVarEditorForm form(&owner, &designer);
    EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(form.VarTree->layoutDirection(), Qt::RightToLeft);
    form.Execute();
    bool helped = false;
    for (const ScriptedUi::Prompt& prompt : modal.ui.Prompts)
        if (prompt.Kind == u"ShowHelp" && prompt.Text.endsWith(QStringLiteral("Variables.htm")))
            helped = true;
    EXPECT_TRUE(helped);
    TrpGroupEditorForm ltr(nullptr, &designer);
    EXPECT_EQ(ltr.layoutDirection(), Qt::LeftToRight);
}

} // namespace

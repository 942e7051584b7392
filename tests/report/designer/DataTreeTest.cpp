#include "StandInDesigner.h"

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDataTree.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_report.h"

#include "platform/Exceptions.h"

#include <QCheckBox>
#include <QDir>
#include <QDrag>
#include <QMimeData>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Gives one field, then fails.
class BrokenDataSet : public TrpUserDataSet {
public:
    void GetFieldList(QStringList& list) override
    {
        list.append(QStringLiteral("First"));
        throw platform::Exception("cannot open");
    }
};

QStringList Children(QTreeWidgetItem* item)
{
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i)
        names.append(item->child(i)->text(0));
    return names;
}

QTreeWidgetItem* Find(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

void Shot(QWidget& form, const char* name)
{
    if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty())
        form.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QString::fromLatin1(name)));
}

class DataTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        orders.SetUserName(QStringLiteral("Orders"));
        orders.SetFields({"Total", "Name", "Amount"});
        broken.SetUserName(QStringLiteral("Broken"));
        report.DataSets().Add(&orders);
        report.DataSets().Add(&broken);
        report.Variables().SetValue(QStringLiteral("Total"), Variant(1));
    }
    TrpReport report;
    TrpUserDataSet orders;
    BrokenDataSet broken;
};

TEST_F(DataTree, DataSetsFieldsSortingAndFieldNames)
{
    TrpDataTreeForm form(nullptr, false);
    form.resize(260, 400);
    form.SetReport(&report);
    form.UpdateItems();
    ASSERT_EQ(form.DataTree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = form.DataTree->topLevelItem(0);
    EXPECT_EQ(Children(root), (QStringList{"Orders", "Broken"}));
    EXPECT_EQ(Children(root->child(0)), (QStringList{"Total", "Name", "Amount"}));
    EXPECT_EQ(Children(root->child(1)), QStringList{"First"});
    form.SortCB->setChecked(true);
    root = form.DataTree->topLevelItem(0);
    EXPECT_EQ(Children(root), (QStringList{"Broken", "Orders"}));
    EXPECT_EQ(Children(root->child(1)), (QStringList{"Amount", "Name", "Total"}));

    form.DataTree->setCurrentItem(Find(form.DataTree, QStringLiteral("Name")));
    EXPECT_EQ(form.GetFieldName(), QStringLiteral("<Orders.\"Name\">"));
    form.show();
    Shot(form, "datatree-data.png");

    const std::unique_ptr<QDrag> drag(form.CreateFieldDrag());
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->mimeData()->text(), QStringLiteral("<Orders.\"Name\">"));
    EXPECT_EQ(drag->source(), form.DataTree);

    form.ShowTab(1);
    form.VariablesTree->setCurrentItem(Find(form.VariablesTree, QStringLiteral("Total")));
    EXPECT_EQ(form.GetFieldName(), QStringLiteral("<Total>"));
    form.VariablesTree->setCurrentItem(form.VariablesTree->topLevelItem(0));
    EXPECT_EQ(form.CreateFieldDrag(), nullptr) << "a node with children gives no text";
    EXPECT_NE(Find(form.VariablesTree, QStringLiteral("CopyName#")), nullptr);
    Shot(form, "datatree-variables.png");
}

TEST_F(DataTree, NoDataPanel)
{
    TrpReport empty;
    TrpDataTreeForm form(nullptr, false);
    form.SetReport(&empty);
    form.UpdateItems();
    EXPECT_FALSE(form.NoDataPn->isHidden());
    EXPECT_TRUE(form.NoDataL->text().startsWith(QStringLiteral("Нет данных.\n\n")));
}

TEST_F(DataTree, CollapsedDataSetKeptForTheNextDesigner)
{
    {
        TrpDataTreeForm form;
        form.SetReport(&report);
        form.UpdateItems();
        form.DataTree->topLevelItem(0)->child(0)->setExpanded(false);
    }
    EXPECT_EQ(TrpDataTreeForm::CollapsedDataSets(), QStringLiteral("Orders,"));
    TrpDataTreeForm again;
    again.SetReport(&report);
    again.UpdateItems();
    EXPECT_FALSE(again.DataTree->topLevelItem(0)->child(0)->isExpanded());
    EXPECT_TRUE(again.DataTree->topLevelItem(0)->child(1)->isExpanded());
}

TEST_F(DataTree, FunctionsAndClassesFromTheCatalogue)
{
    std::vector<bool> designing;
    for (TrpComponent* object : report.AllObjects())
        designing.push_back(object->IsDesigning());
    TrpDataTreeForm form(nullptr, false);
    form.resize(300, 500);
    form.SetReport(&report);
    form.UpdateItems();
    form.show();
    form.ShowTab(2);
    QTreeWidgetItem* copy = nullptr;
    QTreeWidgetItem* date = nullptr;
    QTreeWidgetItem* sum = nullptr;
    for (QTreeWidgetItemIterator it(form.FunctionsTree); *it; ++it) {
        const QString text = (*it)->text(0);
        if (text.startsWith(QLatin1String("Copy(")))
            copy = *it;
        if (text.startsWith(QLatin1String("Date:")))
            date = *it;
        if (text.startsWith(QLatin1String("SUM(")))
            sum = *it;
    }
    ASSERT_NE(copy, nullptr);
    form.FunctionsTree->setCurrentItem(copy);
    EXPECT_EQ(form.GetFieldName(), QStringLiteral("Copy(,,)"));
    if (date != nullptr) {
        form.FunctionsTree->setCurrentItem(date);
        EXPECT_EQ(form.GetFieldName(), QStringLiteral("Date"));
    }
    ASSERT_NE(sum, nullptr) << "the aggregate category is listed";
    Shot(form, "datatree-functions.png");

    form.ShowTab(3);
    QTreeWidgetItem* classes = form.ClassesTree->topLevelItem(0);
    ASSERT_GT(classes->childCount(), 0);
    QTreeWidgetItem* first = classes->child(0);
    EXPECT_EQ(Children(first), QStringList{"more..."});
    first->setExpanded(true);
    const QStringList members = Children(first);
    EXPECT_NE(members, QStringList{"more..."});
    first->setExpanded(false);
    first->setExpanded(true);
    EXPECT_EQ(Children(first), members) << "filled once";
    Shot(form, "datatree-classes.png");

    std::vector<bool> after;
    for (TrpComponent* object : report.AllObjects())
        after.push_back(object->IsDesigning());
    EXPECT_EQ(after, designing);
}

TEST_F(DataTree, CheckBoxPanelHiddenWithItsDefaults)
{
    TrpDataTreeForm form(nullptr, false);
    EXPECT_TRUE(form.CBPanel->isHidden());
    EXPECT_TRUE(form.InsFieldCB->isChecked());
    EXPECT_FALSE(form.InsCaptionCB->isChecked());
    EXPECT_FALSE(form.SortCB->isChecked());
    for (QCheckBox* box : {form.InsFieldCB, form.InsCaptionCB, form.SortCB})
        EXPECT_FALSE(box->text().isEmpty());
    EXPECT_EQ(form.InsFieldCB->parentWidget(), form.CBPanel);
}

TEST_F(DataTree, SelectionFollowsTheDesignersOnlySelectedDataSet)
{
    StandInDesigner designer(&report);
    report.SetDesigner(&designer);
    TrpDataTreeForm form(nullptr, false);
    form.SetReport(&report);
    form.UpdateItems();
    QTreeWidgetItem* root = form.DataTree->topLevelItem(0);

    struct Case {
        const char* name;
        std::vector<TrpComponent*> selected;
        QTreeWidgetItem* expected;
    };
    const Case cases[] = {
        {"one data set", {&orders}, root->child(0)},
        {"the other one", {&broken}, root->child(1)},
        {"two data sets", {&orders, &broken}, nullptr},
        {"nothing", {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.DataTree->setCurrentItem(root->child(0)->child(1)); // a field
        designer.SelectedObjects().clear();
        for (TrpComponent* object : c.selected)
            designer.SelectedObjects().emplace_back(object);
        form.UpdateSelection();
        EXPECT_EQ(form.DataTree->currentItem(), c.expected);
        EXPECT_EQ(form.DataTree->selectedItems().size(), c.expected != nullptr ? 1 : 0);
    }

    // Other tabs are left alone.
    designer.SelectedObjects().assign({QPointer<TrpComponent>(&orders)});
    form.ShowTab(1);
    QTreeWidgetItem* variable = Find(form.VariablesTree, QStringLiteral("Total"));
    form.VariablesTree->setCurrentItem(variable);
    form.UpdateSelection();
    EXPECT_EQ(form.VariablesTree->currentItem(), variable);
    report.SetDesigner(nullptr);
}

TEST_F(DataTree, FunctionsDeclaredByTheProgramAreListed)
{
    report.AddFunction(QStringLiteral("function HeatOf(Channel: Integer; Hour: Integer): Double"),
                       QStringLiteral("ctOther"), QStringLiteral("HeatOf description"));
    TrpDataTreeForm form(nullptr, false);
    form.SetReport(&report);
    form.UpdateItems();
    form.ShowTab(2);
    QTreeWidgetItem* heat = nullptr;
    for (QTreeWidgetItemIterator it(form.FunctionsTree); *it; ++it) {
        if ((*it)->text(0).startsWith(QLatin1String("HeatOf(")))
            heat = *it;
    }
    ASSERT_NE(heat, nullptr);
    form.FunctionsTree->setCurrentItem(heat);
    EXPECT_EQ(form.GetFieldName(), QStringLiteral("HeatOf(,)"));
    int copies = 0;
    for (QTreeWidgetItemIterator it(form.FunctionsTree); *it; ++it)
        copies += (*it)->text(0).startsWith(QLatin1String("HeatOf(")) ? 1 : 0;
    EXPECT_EQ(copies, 1);
}

} // namespace

// Report variables with their categories and files, arrays, the data-set list, styles, style
// sets and style sheets.

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpVariables.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class VariablesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ModelRuntime::init();
        // Info: Serial, Model; Period: Begin.
        variables.SetValue(QStringLiteral(" Info"), Variant::NullValue());
        variables.SetValue(QStringLiteral("Serial"), Variant(QStringLiteral("'0042'")));
        variables.SetValue(QStringLiteral("Model"), Variant(QStringLiteral("'Dax-01'")));
        variables.SetValue(QStringLiteral(" Period"), Variant::NullValue());
        variables.SetValue(QStringLiteral("Begin"), Variant(QStringLiteral("Date")));
    }

    QString Names() const
    {
        QStringList names;
        for (int i = 0; i < variables.Count(); ++i)
            names << variables.Items(i)->Name;
        return names.join(u',');
    }

    TrpVariables variables;
};

TEST_F(VariablesTest, CategoriesAndTheirVariables)
{
    QStringList list{QStringLiteral("kept")};
    variables.GetCategoriesList(list, false);
    EXPECT_EQ(list.join(u','), "kept,Info,Period");
    variables.GetCategoriesList(list);
    EXPECT_EQ(list.join(u','), "Info,Period");
    variables.GetVariablesList(QStringLiteral("Info"), list);
    EXPECT_EQ(list.join(u','), "Serial,Model");
    variables.GetVariablesList(QString(), list);
    EXPECT_TRUE(list.isEmpty()) << "nothing before the first category";
    variables.GetVariablesList(QStringLiteral("Nope"), list);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(VariablesTest, AddVariablePlacesANewVariableAtTheEndOfItsCategory)
{
    variables.AddVariable(QStringLiteral("Info"), QStringLiteral("Owner"), Variant(QStringLiteral("'Ж'")));
    EXPECT_EQ(Names(), " Info,Serial,Model,Owner, Period,Begin");
    variables.AddVariable(QStringLiteral("Period"), QStringLiteral("Serial"), Variant(int32_t{7}));
    EXPECT_EQ(Names(), " Info,Serial,Model,Owner, Period,Begin") << "an existing variable is not moved";
    EXPECT_EQ(variables.GetValue(QStringLiteral("Serial")).ToInt32(), 7);
    variables.AddVariable(QStringLiteral("Period"), QStringLiteral("End"), Variant(QStringLiteral("Date")));
    EXPECT_EQ(Names(), " Info,Serial,Model,Owner, Period,Begin,End");
    variables.AddVariable(QStringLiteral("Nope"), QStringLiteral("X"), Variant(int32_t{1}));
    EXPECT_EQ(variables.IndexOf(QStringLiteral("X")), -1);
}

TEST_F(VariablesTest, NamesIgnoreLetterCase)
{
    EXPECT_EQ(variables.GetValue(QStringLiteral("serial")).ToString(), "'0042'");
    EXPECT_EQ(variables.IndexOf(QStringLiteral("info")), -1) << "a category only with its blank";
    EXPECT_EQ(variables.IndexOf(QStringLiteral(" INFO")), 0);
    EXPECT_TRUE(variables.GetValue(QStringLiteral("Nope")).IsNull());
    variables.SetValue(QStringLiteral("Added"), Variant(int32_t{3}));
    EXPECT_EQ(Names(), " Info,Serial,Model, Period,Begin,Added") << "appended outside any category";
}

TEST_F(VariablesTest, DeletingCategoriesAndVariables)
{
    variables.DeleteVariable(QStringLiteral("MODEL"));
    variables.DeleteVariable(QStringLiteral("Nope"));
    EXPECT_EQ(Names(), " Info,Serial, Period,Begin");
    variables.DeleteCategory(QStringLiteral("Info"));
    EXPECT_EQ(Names(), " Period,Begin");
    variables.DeleteCategory(QStringLiteral("Nope"));
    EXPECT_EQ(Names(), " Period,Begin");
}

TEST_F(VariablesTest, AFileKeepsOrderCategoriesAndValues)
{
    variables.SetValue(QStringLiteral("Text"), Variant(QStringLiteral("a\r\nb \"q\" &<>")));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    variables.SaveToStream(buffer);
    const QByteArray saved = buffer.data();
    EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n<variables>\r\n"
                                 "  <item Name=\" Info\"/>\r\n  <item Name=\"Serial\" Value=\"'0042'\"/>\r\n"))
        << saved.toStdString();
    TrpVariables loaded;
    buffer.setData(saved);
    buffer.open(QIODevice::ReadOnly);
    loaded.LoadFromStream(buffer);
    ASSERT_EQ(loaded.Count(), variables.Count());
    for (int i = 0; i < loaded.Count(); ++i) {
        EXPECT_EQ(loaded.Items(i)->Name, variables.Items(i)->Name);
        if (variables.Items(i)->Value.IsNull())
            EXPECT_TRUE(loaded.Items(i)->Value.IsNull()) << "Null reads back as Null";
        else
            EXPECT_EQ(loaded.Items(i)->Value.ToString(), variables.Items(i)->Value.ToString());
    }
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("v.xml"));
    variables.SaveToFile(fileName);
    TrpVariables fromFile;
    fromFile.LoadFromFile(fileName);
    EXPECT_EQ(fromFile.Count(), variables.Count());
}

TEST_F(VariablesTest, ReadingAcceptsAnyLetterCaseAndIgnoresOtherElements)
{
    const QByteArray text = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n<VARIABLES>"
                            "<Item Name=\"A\" Value=\"1\"/><other Name=\"B\"/><ITEM Name=\"C\"/></VARIABLES>";
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    variables.LoadFromStream(buffer);
    ASSERT_EQ(variables.Count(), 2);
    EXPECT_EQ(variables.Items(1)->Name, "C");
    buffer.close();
    buffer.setData("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n<style Name=\"x\"/>");
    buffer.open(QIODevice::ReadOnly);
    variables.LoadFromStream(buffer);
    EXPECT_EQ(variables.Count(), 0) << "another root leaves the list empty";
}

TEST(ReportArray, KeyedByTheTextOfAValue)
{
    TrpArray array;
    array.SetValue(Variant(int32_t{1}), Variant(QStringLiteral("one")));
    array.SetValue(Variant(QStringLiteral("Key")), Variant(2.5));
    array.SetValue(Variant(int32_t{1}), Variant(QStringLiteral("uno")));
    EXPECT_EQ(array.Count(), 2);
    EXPECT_EQ(array.GetValue(Variant(QStringLiteral("1"))).ToString(), "uno");
    EXPECT_EQ(array.IndexOf(Variant(QStringLiteral("KEY"))), 1);
    EXPECT_TRUE(array.GetValue(Variant(int32_t{3})).IsNull());
}

// --- styles

class StylesTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_F(StylesTest, UniqueNamesAndDuplicates)
{
    TrpStyles styles;
    styles.Add()->SetName(QStringLiteral("Style1"));
    styles.Add()->SetName(QStringLiteral("Style3"));
    TrpStyleItem* fresh = styles.Add();
    fresh->CreateUniqueName();
    EXPECT_EQ(fresh->Name(), "Style2");
    styles.Items(0)->SetName(QStringLiteral("style1"));
    EXPECT_EQ(styles.Items(0)->Name(), "style1") << "its own name in other letters";
    try {
        styles.Items(1)->SetName(QStringLiteral("STYLE1"));
        ADD_FAILURE() << "accepted a duplicate";
    } catch (const platform::Exception& refused) {
        EXPECT_EQ(refused.Message(), "Duplicate name");
    }
    EXPECT_EQ(styles.Items(1)->Name(), "Style3");
    EXPECT_EQ(styles.Find(QStringLiteral("STYLE3")), styles.Items(1));
    QStringList names;
    styles.GetList(names);
    EXPECT_EQ(names.join(u','), "style1,Style3,Style2");
}

TEST_F(StylesTest, AStyleSetFileReappliesItsStylesToTheReportsMemos)
{
    TrpReport report;
    auto* band = new TrpReportTitle(new TrpReportPage(&report));
    auto* memo = new TrpMemoView(band);
    auto* orphan = new TrpMemoView(band);
    orphan->SetStyle(QStringLiteral("Gone"));
    memo->SetStyle(QStringLiteral("Heading"));

    TrpStyles set;
    set.Name = QStringLiteral("Набор");
    TrpStyleItem* heading = set.Add();
    heading->SetName(QStringLiteral("Heading"));
    heading->Color = 0x00FFFF;
    TrpFont font;
    font.SetName(QStringLiteral("Times New Roman"));
    heading->SetFont(font);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    set.SaveToStream(buffer);
    const QByteArray saved = buffer.data();
    EXPECT_TRUE(saved.contains("<style Name=\"Набор\">\r\n  <item Name=\"Heading\" Color=\"65535\" Font.Charset=\"1\" "
                               "Font.Color=\"0\" Font.Height=\"-13\" Font.Name=\"Times New Roman\" Font.Style=\"0\"/>"))
        << saved.toStdString();
    buffer.setData(saved);
    buffer.open(QIODevice::ReadOnly);
    report.Styles().LoadFromStream(buffer);
    EXPECT_EQ(report.Styles().Name, "Набор");
    EXPECT_EQ(memo->Color, 0x00FFFF);
    EXPECT_EQ(memo->Font().Name(), "Times New Roman");
    EXPECT_EQ(orphan->Style(), "");
}

TEST_F(StylesTest, AStyleSheetKeepsItsSetsAndStylesInOrder)
{
    TrpStyleSheet sheet;
    for (const char* name : {"Первый", "Второй"}) {
        TrpStyles* set = sheet.Add();
        set->Name = QString::fromUtf8(name);
        set->Add()->SetName(QStringLiteral("A"));
        set->Add()->SetName(QStringLiteral("B"));
    }
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("sheet.xml"));
    sheet.SaveToFile(fileName);
    TrpStyleSheet loaded;
    loaded.LoadFromFile(fileName);
    QStringList names;
    loaded.GetList(names);
    EXPECT_EQ(names.join(u','), "Первый,Второй");
    EXPECT_EQ(loaded.IndexOf(QStringLiteral("второй")), 1);
    QStringList styles;
    loaded.Find(QStringLiteral("Второй"))->GetList(styles);
    EXPECT_EQ(styles.join(u','), "A,B");
    loaded.Delete(0);
    EXPECT_EQ(loaded.Count(), 1);
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<stylesheet>\r\n  <style Name=\"Первый\">\r\n    <item Name=\"A\""));
}

TEST_F(StylesTest, TheDataSetListFindsByUserName)
{
    TrpReport report;
    TrpUserDataSet dataSet;
    dataSet.SetName(QStringLiteral("Component"));
    dataSet.SetUserName(QStringLiteral("Days"));
    TrpReportDataSets& list = report.DataSets();
    list.Add(&dataSet);
    EXPECT_EQ(list.Find(QStringLiteral("days")), list.Items(0));
    EXPECT_EQ(list.Find(QStringLiteral("Component")), nullptr) << "the user name, not the component name";
    EXPECT_EQ(list.Find(&dataSet), list.Items(0));
    TrpDataSetItem* unknown = static_cast<TrpDataSetItem*>(list.AddItem());
    unknown->SetDataSetName(QStringLiteral("Unknown"));
    EXPECT_EQ(unknown->DataSet(), nullptr);
    EXPECT_EQ(unknown->DataSetName(), "Unknown");
    list.Delete(QStringLiteral("DAYS"));
    EXPECT_EQ(list.Count(), 1);
    TrpUserDataSet later;
    later.SetUserName(QStringLiteral("Unknown"));
    list.Rebind();
    EXPECT_EQ(unknown->DataSet(), &later) << "rebinding by name";
    list.Initialize();
    EXPECT_EQ(later.ReportRef(), &report);
}

} // namespace

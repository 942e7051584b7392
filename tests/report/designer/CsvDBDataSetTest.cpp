// The CSV table behind the database data-set interface: fields in header order, display widths
// from the longest cell, values at the record number, one entry in the process-wide list.

#include "CsvDBDataSet.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(CsvDBDataSet, FieldsWidthsAndValues)
{
    TrpCsvDBDataSet data;
    data.LoadFromText("Name,Town,Sum\r\nAl,Rivertown,5\r\n\"Bo, Jr\",,12345\r\n", QStringLiteral("inline"));
    data.SetUserName(QStringLiteral("People"));
    QStringList fields;
    data.GetFieldList(fields);
    EXPECT_EQ(fields, QStringList({"Name", "Town", "Sum"}));
    EXPECT_EQ(data.FieldsCount(), 3);
    EXPECT_EQ(data.RecordCount(), 2);
    const struct {
        const char* field;
        int32_t width;
    } widths[] = {{"Name", 6}, {"town", 9}, {"Sum", 5}, {"Missing", 10}};
    for (const auto& w : widths)
        EXPECT_EQ(data.GetDisplayWidth(QString::fromLatin1(w.field)), w.width) << w.field;
    EXPECT_EQ(data.GetFieldType(QStringLiteral("Sum")), fftNumeric);
    EXPECT_EQ(data.GetFieldType(QStringLiteral("Name")), fftString);

    data.First();
    EXPECT_EQ(data.GetDisplayText(QStringLiteral("Name")), QStringLiteral("Al"));
    data.Next();
    EXPECT_FALSE(data.Eof());
    EXPECT_EQ(data.GetDisplayText(QStringLiteral("NAME")), QStringLiteral("Bo, Jr"));
    EXPECT_TRUE(data.GetValue(QStringLiteral("Town")).IsNull());
    EXPECT_EQ(data.GetValue(QStringLiteral("Sum")).ToString(), QStringLiteral("12345"));
    data.Next();
    EXPECT_TRUE(data.Eof());
    EXPECT_TRUE(data.CanStepBack());
    data.Prior();
    EXPECT_EQ(data.GetDisplayText(QStringLiteral("Name")), QStringLiteral("Al"));
}

TEST(CsvDBDataSet, OnlyItselfIsListedForReports)
{
    TrpCsvDBDataSet data;
    data.LoadFromText("A\n1\n", QStringLiteral("inline"));
    data.SetUserName(QStringLiteral("Listed"));
    QStringList names;
    std::vector<TrpDataSet*> dataSets;
    TrpGlobalDataSetList::Instance().GetUsable(names, dataSets);
    EXPECT_EQ(names.count(QStringLiteral("Listed")), 1);
    EXPECT_EQ(std::count(dataSets.begin(), dataSets.end(), &data), 1);
    EXPECT_EQ(names.size(), static_cast<qsizetype>(dataSets.size()));
    EXPECT_FALSE(names.contains(QString())) << "the table inside has no name";
}

TEST(CsvDBDataSet, RefusedTables)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "inline: line 1: no header row"},
        {"A,,C\n", "inline: line 1: a field without a name"},
        {"A,B\n1\n", "inline: line 2: 1 cells, the header has 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TrpCsvDBDataSet data;
        try {
            data.LoadFromText(c.text, QStringLiteral("inline"));
            ADD_FAILURE() << "accepted";
        } catch (const platform::Exception& failure) {
            EXPECT_EQ(failure.Message(), c.error);
        }
    }
}

} // namespace

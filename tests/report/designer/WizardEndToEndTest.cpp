// The standard wizard over a CSV table offered as a database data set, from Finish through the
// engine's preparation to the texts of the prepared pages.

#include "CsvDBDataSet.h"
#include "StandInDesigner.h"

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpWizardStd.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/script/ScriptedUi.h"

#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

QString Customers()
{
    return QFileInfo(QStringLiteral(DAX_DESIGNER_DATA "/customers.csv")).absoluteFilePath();
}

// Every memo line of the prepared pages, macros expanded, page by page.
std::vector<QStringList> PreparedTexts(TrpReport& report)
{
    std::vector<QStringList> pages;
    TrpCustomPreviewPages* prepared = report.PreviewPages();
    const int32_t count = prepared->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        QStringList lines;
        for (TrpComponent* object : prepared->GetPage(i)->AllObjects()) {
            auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
            if (memo == nullptr)
                continue;
            memo->TotalPages = count;
            memo->CopyNo = 1;
            memo->ExtractMacros();
            QString text = memo->Text();
            if (text.endsWith(QStringLiteral("\r\n")))
                text.chop(2);
            lines += text.split(QStringLiteral("\r\n"));
        }
        pages.push_back(lines);
    }
    return pages;
}

TEST(WizardEndToEnd, CsvTableGroupedByCompanyPrepares)
{
    DesignerRuntime::init();
    TrpCsvDBDataSet customers;
    customers.LoadFromFile(Customers());
    customers.SetUserName(QStringLiteral("Customers"));
    QStringList fields;
    customers.GetFieldList(fields);
    ASSERT_EQ(fields, QStringList({"Company", "City", "Amount"}));
    ASSERT_EQ(customers.RecordCount(), 20);

    TrpReport report;
    StandInDesigner designer(&report);
    ScriptedUi ui;
    ReportServices::SetUi(&ui);
    ui.OnModal = [](QObject& dialog, const QString&) {
        auto& form = static_cast<TrpStdWizardForm&>(dialog);
        form.DatasetsCB->setCurrentIndex(form.DatasetsCB->findText(QStringLiteral("Customers")));
        form.DatasetsCBClick();
        form.AddAllFieldsB->click();
        form.Pages->setCurrentWidget(form.GroupsTab);
        form.AddGroupB->click(); // the first field, Company
        form.FinishB->click();
        return form.result();
    };
    TrpStdWizard wizard(&designer);
    const bool changed = wizard.Execute();
    ReportServices::SetUi(nullptr);
    ASSERT_TRUE(changed);

    ASSERT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
    const std::vector<QStringList> pages = PreparedTexts(report);
    ASSERT_FALSE(pages.empty());
    const QStringList& first = pages.front();
    EXPECT_TRUE(first.contains(QStringLiteral("Report")));
    for (const char* caption : {"City", "Amount"})
        EXPECT_TRUE(first.contains(QString::fromLatin1(caption))) << caption;
    EXPECT_TRUE(first.contains(QStringLiteral("Page 1")));

    // Every company heads its group once, every row's city and amount shows, in file order.
    QStringList all;
    for (const QStringList& page : pages)
        all += page;
    for (const char* company : {"Amber Kettle", "Bright Furrow", "Copper Lantern", "Dune Harbour", "Evergrain Mill"})
        EXPECT_EQ(all.count(QString::fromLatin1(company)), 1) << company;
    customers.First();
    qsizetype from = 0;
    for (int row = 0; row < 20; ++row, customers.Next()) {
        const QString amount = customers.GetDisplayText(QStringLiteral("Amount"));
        const qsizetype at = all.indexOf(amount, from);
        ASSERT_GE(at, 0) << "row " << row << " amount " << amount.toStdString();
        EXPECT_EQ(all.value(at - 1), customers.GetDisplayText(QStringLiteral("City"))) << "row " << row;
        from = at + 1;
    }
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Page %1").arg(i + 1))) << i;
}

} // namespace

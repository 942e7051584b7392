// rptool design from an empty report: --new, a wizard run with its window answered, and a CSV
// table offered to the wizard as a database data set.

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "RptoolRun.h"

#include <gtest/gtest.h>

namespace {

QString Customers()
{
    return QFileInfo(QStringLiteral(DAX_DESIGNER_DATA "/customers.csv")).absoluteFilePath();
}

int CountLines(const QString& text, const QString& part)
{
    int count = 0;
    for (const QString& line : text.split(u'\n'))
        count += line.contains(part) ? 1 : 0;
    return count;
}

TEST(RptoolDesignNew, EmptyWizardGivesDataPageAndOnePage)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("e.zi3"));
    const ToolRun design = Rptool({QStringLiteral("design"), QStringLiteral("--new"), QStringLiteral("--wizard"),
                                   QStringLiteral("TrpStdEmptyWizard"), QStringLiteral("--save"), saved},
                                  home.path());
    ASSERT_EQ(design.exitCode, 0) << design.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), saved}, home.path());
    ASSERT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    EXPECT_EQ(tree.out, QStringLiteral("Report TrpReport\n  Data TrpDataPage\n  Page1 TrpReportPage\n"));

    // --new alone opens the same empty report.
    const QString plain = home.filePath(QStringLiteral("n.zi3"));
    ASSERT_EQ(Rptool({QStringLiteral("design"), QStringLiteral("--new"), QStringLiteral("--save"), plain}, home.path())
                  .exitCode,
              0);
    EXPECT_EQ(Rptool({QStringLiteral("tree"), plain}, home.path()).out, tree.out);
}

TEST(RptoolDesignNew, StandardWizardOverCsvTable)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("w.zi3"));
    const ToolRun design =
        Rptool({QStringLiteral("design"), QStringLiteral("--new"), QStringLiteral("--csv-db"),
                QStringLiteral("Rows=") + Customers(), QStringLiteral("--wizard"), QStringLiteral("TrpStdWizard"),
                QStringLiteral("--in-dialog"), QStringLiteral("click AddAllFieldsB"), QStringLiteral("--answer"),
                QStringLiteral("ok"), QStringLiteral("--save"), saved},
               home.path());
    ASSERT_EQ(design.exitCode, 0) << design.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), saved}, home.path());
    ASSERT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    // Title, header line, three captions, three fields, three footer memos.
    EXPECT_EQ(CountLines(tree.out, QStringLiteral(" TrpMemoView")), 11) << tree.out.toStdString();
    for (const char* band : {" TrpReportTitle", " TrpPageHeader", " TrpMasterData", " TrpPageFooter"})
        EXPECT_EQ(CountLines(tree.out, QString::fromLatin1(band)), 1) << band;

    // Cancelled, the wizard leaves the empty report it started from.
    const QString cancelled = home.filePath(QStringLiteral("c.zi3"));
    const ToolRun cancel = Rptool({QStringLiteral("design"), QStringLiteral("--new"), QStringLiteral("--csv-db"),
                                   QStringLiteral("Rows=") + Customers(), QStringLiteral("--wizard"),
                                   QStringLiteral("TrpStdWizard"), QStringLiteral("--save"), cancelled},
                                  home.path());
    ASSERT_EQ(cancel.exitCode, 0) << cancel.err.toStdString();
    EXPECT_EQ(CountLines(Rptool({QStringLiteral("tree"), cancelled}, home.path()).out, QStringLiteral(" TrpMemoView")),
              0);
}

TEST(RptoolDesignNew, GroupedWizardReportPreparesFromTheSameTable)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("g.zi3"));
    const QString prepared = home.filePath(QStringLiteral("g.zp3"));
    const ToolRun design =
        Rptool({QStringLiteral("design"), QStringLiteral("--new"), QStringLiteral("--csv-db"),
                QStringLiteral("Rows=") + Customers(), QStringLiteral("--wizard"), QStringLiteral("TrpStdWizard"),
                QStringLiteral("--in-dialog"), QStringLiteral("click AddAllFieldsB"), QStringLiteral("--in-dialog"),
                QStringLiteral("click NextB"), QStringLiteral("--in-dialog"), QStringLiteral("click NextB"),
                QStringLiteral("--in-dialog"), QStringLiteral("click AddGroupB"), QStringLiteral("--answer"),
                QStringLiteral("ok"), QStringLiteral("--save"), saved},
               home.path());
    ASSERT_EQ(design.exitCode, 0) << design.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), saved}, home.path());
    EXPECT_EQ(CountLines(tree.out, QStringLiteral(" TrpGroupHeader")), 1) << tree.out.toStdString();
    // Title, header line, two captions, the group's company, two fields, three footer memos.
    EXPECT_EQ(CountLines(tree.out, QStringLiteral(" TrpMemoView")), 10) << tree.out.toStdString();

    const ToolRun prepare = Rptool({QStringLiteral("prepare"), saved, QStringLiteral("--csv"),
                                    QStringLiteral("Rows=") + Customers(), QStringLiteral("--out"), prepared},
                                   home.path());
    ASSERT_EQ(prepare.exitCode, 0) << prepare.err.toStdString();
    const ToolRun text = Rptool({QStringLiteral("zp3-text"), prepared, QStringLiteral("--page"), QStringLiteral("1")},
                                home.path());
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const QStringList lines = text.out.split(u'\n');
    for (const char* line : {"Report", "City", "Amount", "Page 1"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line;
    for (const char* company : {"Amber Kettle", "Bright Furrow", "Copper Lantern", "Dune Harbour", "Evergrain Mill"})
        EXPECT_EQ(lines.count(QString::fromLatin1(company)), 1) << company;
}

TEST(RptoolDesignNew, RefusedOptions)
{
    QTemporaryDir home;
    struct Case {
        const char* name;
        QStringList arguments;
        int exitCode;
        const char* error; // part of stderr
    };
    const Case cases[] = {
        {"new with a file", {"--new", "x.zi3"}, 1, ""},
        {"neither file nor new", {"--wizard", "TrpStdEmptyWizard"}, 1, ""},
        {"csv without a name", {"--new", "--csv-db", "rows.csv"}, 1, "--csv-db takes NAME=FILE"},
        {"missing csv file", {"--new", "--csv-db", "Rows=/nonexistent/rows.csv"}, 1, "/nonexistent/rows.csv"},
        {"in-dialog without wizard or dialog", {"--new", "--in-dialog", "click OkB"}, 1, ""},
        {"wizard with dialog", {"--new", "--wizard", "TrpStdWizard", "--dialog", "TrpMemoEditorForm"}, 1,
         "do not go together"},
        {"bad answer", {"--new", "--wizard", "TrpStdWizard", "--answer", "yes"}, 1, "--answer takes ok or cancel"},
        {"unknown wizard", {"--new", "--wizard", "TrpNoSuchWizard", "--save", "x.zi3"}, 2, "No wizard TrpNoSuchWizard"},
        {"unknown control", {"--new", "--wizard", "TrpStdWizard", "--in-dialog", "click NoSuchB", "--save", "x.zi3"},
         2, "No control named NoSuchB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList arguments = {QStringLiteral("design")};
        for (const QString& argument : c.arguments)
            arguments.append(argument == u"x.zi3" ? home.filePath(argument) : argument);
        const ToolRun run = Rptool(arguments, home.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.error))) << run.err.toStdString();
    }
}

} // namespace

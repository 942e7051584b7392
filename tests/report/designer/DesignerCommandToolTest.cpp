// rptool design runs the window's commands by name: copy and paste placed by a click, undo and
// redo of a deletion, and a command that is unknown or not available now.

#include "report/designer/DesignerRuntime.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode;
    QString err;
};

ToolRun Design(const QStringList& arguments, const QString& home)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DAXCONFIG_HOME"), home);
    process.setProcessEnvironment(environment);
    const QString views = QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")).absoluteFilePath();
    process.start(QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath(),
                  QStringList{QStringLiteral("design"), views, QStringLiteral("--page"), QStringLiteral("1")} +
                      arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QStringList MemoNames(const QString& fileName)
{
    DesignerRuntime::init();
    TrpReport report;
    report.LoadFromFile(fileName);
    QStringList names;
    for (TrpComponent* object : report.AllObjects())
        if (dynamic_cast<TrpMemoView*>(object) != nullptr)
            names << object->Parent()->Name() + u'/' + object->Name();
    return names;
}

TEST(RptoolDesignCommands, CopyPasteThenAClickPlacesTheCopyUnderAFreeName)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("c.zi3"));
    const ToolRun run = Design({QStringLiteral("--select"), QStringLiteral("AlignMemo2"), QStringLiteral("--do"),
                                QStringLiteral("cmd CopyCmd"), QStringLiteral("--do"), QStringLiteral("cmd PasteCmd"),
                                QStringLiteral("--do"), QStringLiteral("click 400,150"), QStringLiteral("--save"),
                                saved},
                               home.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList memos = MemoNames(saved);
    EXPECT_EQ(memos.size(), 21);
    EXPECT_TRUE(memos.contains(QStringLiteral("Header1/Memo1"))) << memos.join(u' ').toStdString();
}

TEST(RptoolDesignCommands, UndoAndRedoOfADeletion)
{
    QTemporaryDir home;
    const struct {
        QStringList commands;
        int memos;
    } cases[] = {{{}, 19},
                 {{QStringLiteral("cmd UndoCmd")}, 20},
                 {{QStringLiteral("cmd UndoCmd"), QStringLiteral("cmd RedoCmd")}, 19}};
    for (const auto& row : cases) {
        const QString saved = home.filePath(QStringLiteral("u.zi3"));
        QStringList arguments{QStringLiteral("--select"), QStringLiteral("AlignMemo2"), QStringLiteral("--do"),
                              QStringLiteral("key Delete")};
        for (const QString& command : row.commands)
            arguments << QStringLiteral("--do") << command;
        arguments << QStringLiteral("--save") << saved;
        const ToolRun run = Design(arguments, home.path());
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(MemoNames(saved).size(), row.memos) << row.commands.join(u',').toStdString();
    }
}

TEST(RptoolDesignCommands, UnknownOrUnavailableCommandsAreInvalidActions)
{
    QTemporaryDir home;
    for (const char* command : {"cmd NoSuchCmd", "cmd RedoCmd", "cmd"}) {
        const ToolRun run = Design({QStringLiteral("--do"), QString::fromLatin1(command)}, home.path());
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_TRUE(run.err.contains(QStringLiteral("Invalid action: ") + QString::fromLatin1(command)))
            << run.err.toStdString();
    }
}

TEST(RptoolDesignCommands, CommandsThatOpenDialogsDoNotWaitForAPerson)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("d.zi3"));
    for (const char* command : {"cmd FindCmd", "cmd OpenCmd", "cmd VariablesCmd", "cmd PreviewCmd"}) {
        const ToolRun run = Design({QStringLiteral("--do"), QString::fromLatin1(command), QStringLiteral("--save"), saved},
                                   home.path());
        EXPECT_EQ(run.exitCode, 0) << command << ": " << run.err.toStdString();
        EXPECT_EQ(MemoNames(saved).size(), 20) << command;
    }
}

} // namespace


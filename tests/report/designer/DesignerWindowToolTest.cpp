// rptool design opens the designer window: its size, the remembered scale, tab drags saved,
// and the workspace's keys as before.

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "RptoolRun.h"

#include <gtest/gtest.h>

namespace {

QString Report(const char* name)
{
    return QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/") + QString::fromLatin1(name)).absoluteFilePath();
}

TEST(RptoolDesignWindow, GrabThenStateRemembersTheScale)
{
    QTemporaryDir home;
    const QString png = home.filePath(QStringLiteral("d.png"));
    const ToolRun grab = Rptool({QStringLiteral("design"), Report("device-like.zi3"), QStringLiteral("--password"),
                                 QStringLiteral("secret"), QStringLiteral("--page"), QStringLiteral("2"),
                                 QStringLiteral("--scale"), QStringLiteral("1.5"), QStringLiteral("--grab"), png},
                                home.path());
    ASSERT_EQ(grab.exitCode, 0) << grab.err.toStdString();
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(1280, 800));
    const ToolRun state = Rptool({QStringLiteral("design"), Report("device-like.zi3"), QStringLiteral("--password"),
                                  QStringLiteral("secret"), QStringLiteral("--state")},
                                 home.path());
    ASSERT_EQ(state.exitCode, 0) << state.err.toStdString();
    EXPECT_EQ(state.out, QStringLiteral("scale=1.50 units=cm page=Page1\n"));
    const ToolRun units = Rptool({QStringLiteral("design"), Report("views.zi3"), QStringLiteral("--units"),
                                  QStringLiteral("in"), QStringLiteral("--state"), QStringLiteral("--size"),
                                  QStringLiteral("800x600")},
                                 home.path());
    EXPECT_EQ(units.out, QStringLiteral("scale=1.50 units=in page=Page1\n"));
}

TEST(RptoolDesignWindow, TabDragIsSavedAndKeysStillMoveObjects)
{
    QTemporaryDir home;
    const QString views = Report("views.zi3");
    const QString moved = home.filePath(QStringLiteral("a.zi3"));
    const ToolRun keys = Rptool({QStringLiteral("design"), views, QStringLiteral("--select"), QStringLiteral("AlignMemo2"),
                                 QStringLiteral("--do"), QStringLiteral("key Ctrl+Shift+Right"), QStringLiteral("--save"),
                                 moved},
                                home.path());
    ASSERT_EQ(keys.exitCode, 0) << keys.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), moved}, home.path());
    EXPECT_TRUE(tree.out.contains(QStringLiteral("      AlignMemo2 TrpMemoView 125.78 0.00 118.00 58.00\n")))
        << tree.out.toStdString();

    // The tab of Page2 dropped onto that of Page1: the pages change places in the file.
    QFile source(Report("device-like.zi3"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(source.readAll());
    text.remove(QRegularExpression(QStringLiteral(" ReportOptions.Password=\"[^\"]*\"")));
    const QString open = home.filePath(QStringLiteral("open.zi3"));
    QFile copy(open);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(text.toUtf8());
    copy.close();
    const QString swapped = home.filePath(QStringLiteral("t.zi3"));
    const ToolRun drag = Rptool({QStringLiteral("design"), open, QStringLiteral("--do"), QStringLiteral("tabdrag 3 2"),
                                 QStringLiteral("--save"), swapped},
                                home.path());
    ASSERT_EQ(drag.exitCode, 0) << drag.err.toStdString();
    QStringList pages;
    for (const QString& line : Rptool({QStringLiteral("tree"), swapped}, home.path()).out.split(u'\n')) {
        if (line.startsWith(QLatin1String("  Page")))
            pages << line;
    }
    EXPECT_EQ(pages, (QStringList{QStringLiteral("  Page2 TrpReportPage"), QStringLiteral("  Page1 TrpReportPage")}));

    const ToolRun bad = Rptool({QStringLiteral("design"), views, QStringLiteral("--do"), QStringLiteral("tabdrag x")},
                               home.path());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Invalid action: tabdrag x")));
}

TEST(RptoolDesignWindow, DialogEditsTheSelectionOnlyOnOk)
{
    QTemporaryDir home;
    const QString views = Report("views.zi3");
    const QString edited = home.filePath(QStringLiteral("m.zi3"));
    const QString png = home.filePath(QStringLiteral("dialog.png"));
    const ToolRun ok = Rptool({QStringLiteral("design"), views, QStringLiteral("--select"), QStringLiteral("AlignMemo2"),
                               QStringLiteral("--dialog"), QStringLiteral("TrpMemoEditorForm"),
                               QStringLiteral("--in-dialog"), QStringLiteral("set Memo=Новый текст"),
                               QStringLiteral("--answer"), QStringLiteral("ok"), QStringLiteral("--grab"), png,
                               QStringLiteral("--save"), edited},
                              home.path());
    ASSERT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    QFile saved(edited);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(saved.readAll()).contains(QStringLiteral("Новый текст")));
    // The grab shows the dialog, not the whole window.
    const QImage image(png);
    EXPECT_FALSE(image.isNull());
    EXPECT_NE(image.size(), QSize(1280, 800));

    const QString cancelled = home.filePath(QStringLiteral("c.zi3"));
    const ToolRun cancel = Rptool({QStringLiteral("design"), views, QStringLiteral("--select"),
                                   QStringLiteral("AlignMemo2"), QStringLiteral("--dialog"),
                                   QStringLiteral("TrpMemoEditorForm"), QStringLiteral("--in-dialog"),
                                   QStringLiteral("set Memo=Новый текст"), QStringLiteral("--save"), cancelled},
                                  home.path());
    ASSERT_EQ(cancel.exitCode, 0) << cancel.err.toStdString();
    QFile kept(cancelled);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QString::fromUtf8(kept.readAll()).contains(QStringLiteral("Новый текст")));

    const struct {
        QStringList arguments;
        int exitCode;
        const char* message;
    } errors[] = {
        {{"--dialog", "TrpNoSuchForm", "--select", "AlignMemo2"}, 2, "Unknown dialog class TrpNoSuchForm"},
        {{"--dialog", "TrpMemoEditorForm", "--select", "AlignMemo2", "--in-dialog", "click Nothing"}, 2,
         "No control named Nothing"},
        {{"--answer", "ok"}, 1, "--in-dialog and --answer need --dialog"},
        {{"--dialog", "TrpMemoEditorForm", "--answer", "maybe"}, 1, "--answer takes ok or cancel"},
        {{"--dialog"}, 1, "--dialog needs a value"},
    };
    for (const auto& error : errors) {
        const ToolRun run = Rptool(QStringList{QStringLiteral("design"), views} + error.arguments, home.path());
        EXPECT_EQ(run.exitCode, error.exitCode) << error.message;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(error.message))) << run.err.toStdString();
    }
}

} // namespace

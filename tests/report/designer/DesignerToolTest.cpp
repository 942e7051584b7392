#include "report/model/rpClass.h"
#include "report/designer/rpDesgnCtrls.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "RptoolRun.h"

#include <gtest/gtest.h>

namespace {

// Records the keys that reach it.
class KeySink : public QWidget {
public:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
    std::vector<int> keys;
};

TEST(ScrollBox, TabAndArrowsReachTheWorkspace)
{
    TrpScrollBox box;
    auto* sink = new KeySink;
    sink->resize(500, 500);
    box.setWidget(sink);
    box.show();
    for (int key : {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Down, Qt::Key_Delete}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&box, &press);
    }
    EXPECT_EQ(sink->keys, (std::vector<int>{Qt::Key_Tab, Qt::Key_Left, Qt::Key_Down, Qt::Key_Delete}));
}

QString Views()
{
    return QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")).absoluteFilePath();
}

TEST(RptoolDesigner, TreeAndPropsAsTheCommandLineShowsThem)
{
    const ToolRun tree = Rptool({QStringLiteral("tree"), Views()});
    ASSERT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    const QStringList lines = tree.out.split(u'\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("Report TrpReport"));
    EXPECT_EQ(lines[3], QStringLiteral("    ReportTitle1 TrpReportTitle 0.00 20.00 718.00 44.00"));
    EXPECT_EQ(lines[4], QStringLiteral("      TitleMemo TrpMemoView 0.00 0.00 718.00 36.00"));

    const ToolRun one = Rptool({QStringLiteral("props"), Views(), QStringLiteral("AlignMemo2")});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.contains(QStringLiteral("\n1\tCharset\tDEFAULT_CHARSET\tvsm\n")));
    EXPECT_TRUE(one.out.contains(QStringLiteral("\n1\tName\tArial\tvsm\n")));
    const ToolRun two = Rptool({QStringLiteral("props"), Views(), QStringLiteral("AlignMemo1,AlignMemo2")});
    EXPECT_FALSE(two.out.contains(QStringLiteral("\n0\tName\t")));
}

TEST(RptoolDesigner, SetSaveAndGrab)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("p.zi3"));
    const QString picture = dir.filePath(QStringLiteral("i.png"));
    const ToolRun set = Rptool({QStringLiteral("props"), Views(), QStringLiteral("AlignMemo2"), QStringLiteral("--set"),
                            QStringLiteral("GapX=2,5"), QStringLiteral("--save"), saved, QStringLiteral("--grab"),
                            picture});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    const ToolRun again = Rptool({QStringLiteral("props"), saved, QStringLiteral("AlignMemo2")});
    EXPECT_TRUE(again.out.contains(QStringLiteral("\n0\tGapX\t2.5\tm\n")));
    const QImage image(picture);
    EXPECT_EQ(image.size(), QSize(198, 474));
    const ToolRun russian = Rptool({QStringLiteral("props"), saved, QStringLiteral("AlignMemo2"), QStringLiteral("--locale"),
                                QStringLiteral("ru_RU")});
    EXPECT_TRUE(russian.out.contains(QStringLiteral("\n0\tGapX\t2,5\tm\n")));

    const QString refused = dir.filePath(QStringLiteral("q.zi3"));
    const ToolRun bad = Rptool({QStringLiteral("props"), Views(), QStringLiteral("AlignMemo2"), QStringLiteral("--set"),
                            QStringLiteral("GapX=abc"), QStringLiteral("--save"), refused});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Поле 'GapX': 'abc' не является числом"))) << bad.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(refused));
    const ToolRun letter = Rptool({QStringLiteral("props"), Views(), QStringLiteral("AlignMemo2"), QStringLiteral("--set"),
                               QStringLiteral("HAlign=haNowhere")});
    EXPECT_EQ(letter.exitCode, 2);
    EXPECT_TRUE(letter.err.contains(QStringLiteral("Неверное значение свойства")));
}

} // namespace

namespace {

QString TreeLine(const QString& file, const QString& name)
{
    const ToolRun tree = Rptool({QStringLiteral("tree"), file});
    EXPECT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    for (const QString& line : tree.out.split(u'\n')) {
        if (line.contains(u' ' + name + u' '))
            return line;
    }
    return {};
}

TEST(RptoolDesign, KeysAndDragsAsTheWorkspaceTakesThem)
{
    QTemporaryDir dir;
    struct Case {
        QStringList actions;
        QString line;
    };
    const Case cases[] = {
        {{QStringLiteral("--select"), QStringLiteral("AlignMemo2"), QStringLiteral("--do"),
          QStringLiteral("key Ctrl+Shift+Right")},
         QStringLiteral("      AlignMemo2 TrpMemoView 125.78 0.00 118.00 58.00")},
        // 9 units snap to two 1 mm steps.
        {{QStringLiteral("--do"), QStringLiteral("drag 150,140 159,140")},
         QStringLiteral("      AlignMemo2 TrpMemoView 129.56 0.00 118.00 58.00")},
    };
    for (const Case& c : cases) {
        const QString out = dir.filePath(QStringLiteral("out.zi3"));
        const ToolRun run = Rptool(QStringList{QStringLiteral("design"), Views(), QStringLiteral("--page"),
                                               QStringLiteral("1")} +
                                   c.actions + QStringList{QStringLiteral("--save"), out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(TreeLine(out, QStringLiteral("AlignMemo2")), c.line);
    }
}

TEST(RptoolDesign, GrabsTheWindowAndKeepsObjectsOutsideBands)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("w.png"));
    const QString deviceLike =
        QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/device-like.zi3")).absoluteFilePath();
    const ToolRun grab = Rptool({QStringLiteral("design"), deviceLike, QStringLiteral("--password"),
                                 QStringLiteral("secret"), QStringLiteral("--page"), QStringLiteral("1"),
                                 QStringLiteral("--scale"), QStringLiteral("1"), QStringLiteral("--grab"), picture});
    ASSERT_EQ(grab.exitCode, 0) << grab.err.toStdString();
    // The designer window at its default size (the sheet alone went with the bare workspace).
    EXPECT_EQ(QImage(picture).size(), QSize(1280, 800));

    // A memo dragged below every band stays on the page, and the file keeps it there.
    const QString out = dir.filePath(QStringLiteral("outside.zi3"));
    const ToolRun outside = Rptool({QStringLiteral("design"), Views(), QStringLiteral("--do"),
                                    QStringLiteral("drag 150,140 150,1000"), QStringLiteral("--save"), out});
    ASSERT_EQ(outside.exitCode, 0) << outside.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), out});
    ASSERT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    EXPECT_TRUE(tree.out.contains(QStringLiteral("\n    AlignMemo2 TrpMemoView "))) << tree.out.toStdString();

    const ToolRun bad = Rptool({QStringLiteral("design"), Views(), QStringLiteral("--do"), QStringLiteral("wave 1,2")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("wave 1,2")));
    const ToolRun noPage = Rptool({QStringLiteral("design"), Views(), QStringLiteral("--page"), QStringLiteral("7")});
    EXPECT_EQ(noPage.exitCode, 2);
}

} // namespace

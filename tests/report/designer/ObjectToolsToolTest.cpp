// rptool design presses the objects tool bar's buttons as a person does: a memo drawn into a
// band, a shape through its category's menu, a line tool that stays armed.

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "RptoolRun.h"

#include <gtest/gtest.h>

namespace {

QString Views()
{
    return QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")).absoluteFilePath();
}

// The tree's lines of a class, and the band each lies under (the last line two blanks less
// indented).
struct TreeLine {
    QString name;
    QString parent;
};

std::vector<TreeLine> LinesOf(const QString& tree, const QString& className)
{
    std::vector<TreeLine> result;
    const QStringList lines = tree.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList words = lines[i].trimmed().split(u' ');
        if (words.size() < 2 || words[1] != className)
            continue;
        const qsizetype indent = lines[i].indexOf(words[0]);
        QString parent;
        for (int j = i - 1; j >= 0 && parent.isEmpty(); --j) {
            if (lines[j].indexOf(lines[j].trimmed()) == indent - 2)
                parent = lines[j].trimmed().section(u' ', 0, 0);
        }
        result.push_back({words[0], parent});
    }
    return result;
}

TEST(RptoolDesignButton, AMemoDrawnIntoHeader1)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("n.zi3"));
    const ToolRun design =
        Rptool({QStringLiteral("design"), Views(), QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("--do"),
                QStringLiteral("button TrpMemoView"), QStringLiteral("--do"), QStringLiteral("drag 20,200 100,220"),
                QStringLiteral("--save"), saved},
               home.path());
    ASSERT_EQ(design.exitCode, 0) << design.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), saved}, home.path());
    ASSERT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    const std::vector<TreeLine> memos = LinesOf(tree.out, QStringLiteral("TrpMemoView"));
    EXPECT_EQ(memos.size(), 21u);
    int drawn = 0;
    for (const TreeLine& memo : memos) {
        if (memo.name == QLatin1String("Memo1")) {
            ++drawn;
            EXPECT_EQ(memo.parent, QStringLiteral("Header1"));
        }
    }
    EXPECT_EQ(drawn, 1);
}

TEST(RptoolDesignButton, AShapeThroughItsCategoryAndTwoLinesFromOnePress)
{
    QTemporaryDir home;
    const QString saved = home.filePath(QStringLiteral("s.zi3"));
    const ToolRun design = Rptool(
        {QStringLiteral("design"), Views(), QStringLiteral("--do"), QStringLiteral("button TrpShapeView/2"),
         QStringLiteral("--do"), QStringLiteral("drag 20,200 100,220"), QStringLiteral("--do"),
         QStringLiteral("button TrpLineView"), QStringLiteral("--do"), QStringLiteral("drag 120,200 200,200"),
         QStringLiteral("--do"), QStringLiteral("drag 120,210 200,210"), QStringLiteral("--save"), saved},
        home.path());
    ASSERT_EQ(design.exitCode, 0) << design.err.toStdString();
    const ToolRun tree = Rptool({QStringLiteral("tree"), saved}, home.path());
    const ToolRun before = Rptool({QStringLiteral("tree"), Views()}, home.path());
    EXPECT_EQ(LinesOf(tree.out, QStringLiteral("TrpShapeView")).size(),
              LinesOf(before.out, QStringLiteral("TrpShapeView")).size() + 1);
    EXPECT_EQ(LinesOf(tree.out, QStringLiteral("TrpLineView")).size(),
              LinesOf(before.out, QStringLiteral("TrpLineView")).size() + 2);
}

TEST(RptoolDesignButton, AClassWithoutAButtonIsAnInvalidAction)
{
    QTemporaryDir home;
    for (const char* action : {"button TrpNothing", "button TrpMemoView/x", "button TrpDMPMemoView"}) {
        const ToolRun design = Rptool({QStringLiteral("design"), Views(), QStringLiteral("--do"),
                                       QString::fromLatin1(action), QStringLiteral("--save"),
                                       home.filePath(QStringLiteral("x.zi3"))},
                                      home.path());
        EXPECT_EQ(design.exitCode, 2) << action;
        EXPECT_TRUE(design.err.contains(QStringLiteral("Invalid action: ") + QString::fromLatin1(action))) << action;
    }
}

} // namespace

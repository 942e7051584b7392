// The device frame's skeleton: the page tree, page selection and its reads, and the wiring.
#include "app/DaxFrame.h"

#include "AppTestSupport.h"
#include "app/MainFrame.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QSplitter>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

namespace {

using apptest::Child;

// The page tree as the device frame shows it: node text, page id, depth, picture, expanded.
struct TreeRow {
    const char* text;
    int pageId;
    int depth;
    int image;
    bool expanded;
};

const TreeRow kTree[] = {
    {"Текущие параметры", 4, 0, 1, true},
    {"ТС1", 0, 1, 2, false},
    {"ТС1 (Счетчики НС)", 1, 2, 8, false},
    {"ТС2", 2, 1, 2, false},
    {"ТС2 (Счетчики НС)", 3, 2, 8, false},
    {"Архивы", 5, 0, 3, false},
    {"ТС1", 6, 1, 2, false},
    {"ТС2", 7, 1, 2, false},
    {"ХВС", 8, 1, 4, false},
    {"Журнал НС", 9, 1, 5, false},
    {"Журнал оператора", 10, 1, 5, false},
    {"Настройки", 21, 0, 6, true},
    {"Конфигурация", 15, 1, 7, false},
    {"ТС1", 11, 2, 2, false},
    {"Реакции", 12, 3, 8, false},
    {"ТС2", 13, 2, 2, false},
    {"Реакции", 14, 3, 8, false},
    {"ХВС", 16, 2, 4, false},
    {"Каналы V", 18, 2, 9, false},
    {"Каналы t, P", 19, 2, 10, false},
    {"Входы/Выход", 29, 1, 19, false},
    {"Интерфейсы", 23, 1, 13, false},
    {"Интернет", 24, 2, 16, false},
    {"Сигналы 1..8", 25, 1, 17, false},
    {"Сигналы 9..C", 26, 2, 17, false},
    {"Сигналы D..G", 27, 2, 17, false},
    {"События 1..8", 28, 1, 18, false},
    {"Сервис", -1, 0, 11, true},
    {"Калибровка", 20, 1, 12, false},
    {"Каналы измерения", 17, 1, 1, false},
};

struct Visited {
    QTreeWidgetItem* node;
    int depth;
};

void Walk(QTreeWidgetItem* node, int depth, std::vector<Visited>& out)
{
    out.push_back({node, depth});
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), depth + 1, out);
}

std::vector<Visited> Nodes(QTreeWidget& tree)
{
    std::vector<Visited> nodes;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        Walk(tree.topLevelItem(i), 0, nodes);
    return nodes;
}

QTreeWidgetItem* NodeOf(QTreeWidget& tree, int pageId)
{
    for (const Visited& visited : Nodes(tree))
        if (visited.node->data(0, TDax_Frame::kPageIdRole).toInt() == pageId)
            return visited.node;
    return nullptr;
}

class Frame : public testing::Test {
protected:
    void SetUp() override
    {
        frame.BuildPageTree();
        tree = Child<QTreeWidget>(frame, "SelectTree");
    }

    void Select(int pageId)
    {
        QTreeWidgetItem* node = NodeOf(*tree, pageId);
        ASSERT_NE(node, nullptr) << pageId;
        tree->setCurrentItem(node);
    }

    QWidget* Shown() { return Child<QStackedWidget>(frame, "PageControl")->currentWidget(); }

    TDax_Frame frame;
    QTreeWidget* tree = nullptr;
};

TEST_F(Frame, TreeOfThePageTable)
{
    const std::vector<Visited> nodes = Nodes(*tree);
    ASSERT_EQ(nodes.size(), std::size(kTree));
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TreeRow& row = kTree[i];
        QTreeWidgetItem* node = nodes[i].node;
        EXPECT_EQ(node->text(0).toStdString(), row.text) << i;
        EXPECT_EQ(node->data(0, TDax_Frame::kPageIdRole).toInt(), row.pageId) << row.text;
        EXPECT_EQ(nodes[i].depth, row.depth) << row.text;
        EXPECT_EQ(node->isExpanded(), row.expanded) << row.text;
        EXPECT_FALSE(node->icon(0).isNull()) << row.text;
    }
    EXPECT_EQ(tree->indentation(), 27);
    EXPECT_EQ(tree->iconSize(), QSize(24, 24));
    // Every node with sub-pages shows its arrow, "Архивы" and the other top nodes too.
    EXPECT_TRUE(tree->rootIsDecorated());
}

// In the main window's font, the tree is wide enough for its longest item at its depth:
// no text is cut, whichever nodes are expanded; the splitter keeps it adjustable.
TEST(FrameTree, EveryItemShowsWholeInTheWindowsFont)
{
    TMainForm form;
    form.show();
    auto* tree = Child<QTreeWidget>(form, "SelectTree");
    tree->expandAll();
    QApplication::processEvents();
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.font = tree->font();
    option.decorationSize = tree->iconSize();
    const QAbstractItemModel* model = tree->model();
    std::vector<QModelIndex> pending = {QModelIndex()};
    int checked = 0;
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex index = model->index(row, 0, parent);
            pending.push_back(index);
            const QSize needed = tree->itemDelegate()->sizeHint(option, index);
            EXPECT_LE(tree->visualRect(index).left() + needed.width(), tree->viewport()->width())
                << index.data().toString().toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 30);
    auto* splitter = Child<QSplitter>(*form.Frame(), "Splitter1");
    EXPECT_TRUE(splitter->isEnabled());
    EXPECT_FALSE(splitter->isCollapsible(0));
}

TEST_F(Frame, EveryPageButTwentyTwoIsBuiltAndPageFourIsShown)
{
    for (int id = 0; id < 30; ++id) {
        if (id == 22)
            EXPECT_EQ(frame.Page(id), nullptr);
        else
            EXPECT_NE(frame.Page(id), nullptr) << id;
    }
    EXPECT_EQ(frame.CurrentPageId(), 4);
    EXPECT_EQ(Shown(), frame.Page(4));
    EXPECT_EQ(frame.HelpKeyword().toStdString(), "dax_current_params");
    EXPECT_FALSE(frame.AutoRequestFlag());
}

struct SelectionCase {
    const char* name;
    bool autoRequest;
    int from;
    int to;
    int readPage; // -1: no read
};

TEST_F(Frame, SelectionShowsThePageAndReadsItWhenAutoRequestIsOn)
{
    const SelectionCase cases[] = {
        {"auto off", false, 0, 2, -1},     {"0 to 1 share a read", true, 0, 1, -1},
        {"1 to 0", true, 1, 0, -1},        {"2 to 3", true, 2, 3, -1},
        {"0 to 2", true, 0, 2, 2},         {"1 to 2", true, 1, 2, 2},
        {"4 to 18", true, 4, 18, 18},      {"an archive", true, 4, 6, -1},
        {"Сервис", true, 4, -1, -1},       {"Сервис to 20", true, -1, 20, 20},
    };
    QSignalSpy reads(&frame, &TDax_Frame::PageReadRequested);
    for (const auto& c : cases) {
        frame.SetAutoRequestFlag(false);
        Select(c.from);
        frame.SetAutoRequestFlag(c.autoRequest);
        reads.clear();
        Select(c.to);
        EXPECT_EQ(frame.CurrentPageId(), c.to) << c.name;
        if (c.to < 0)
            EXPECT_EQ(Shown()->objectName().toStdString(), "NoPage") << c.name;
        else
            EXPECT_EQ(Shown(), frame.Page(c.to)) << c.name;
        if (c.readPage < 0) {
            EXPECT_EQ(reads.count(), 0) << c.name;
        } else {
            ASSERT_EQ(reads.count(), 1) << c.name;
            EXPECT_EQ(reads.front().at(0).toInt(), c.readPage) << c.name;
            EXPECT_EQ(reads.front().at(1).toInt(), 0) << c.name;
            EXPECT_FALSE(reads.front().at(2).toBool()) << c.name;
        }
    }
}

TEST_F(Frame, HelpKeywordFollowsThePageAndF1AsksForIt)
{
    QSignalSpy help(&frame, &TDax_Frame::HelpRequested);
    QTest::keyClick(tree, Qt::Key_F1);
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.front().at(0).toString().toStdString(), "dax_current_params");
    Select(15);
    EXPECT_TRUE(frame.HelpKeyword().isEmpty());
    // "Сервис" shows no page and keeps the keyword it had.
    Select(4);
    Select(-1);
    EXPECT_EQ(frame.HelpKeyword().toStdString(), "dax_current_params");
}

TEST_F(Frame, ThePollReadsOnlyCurrentValuePagesWithThePollFlag)
{
    QSignalSpy reads(&frame, &TDax_Frame::PageReadRequested);
    for (int id : {0, 1, 2, 3, 4, 5, 9, 11, 15, 17, 20, 21, 29}) {
        Select(id);
        reads.clear();
        frame.SetAutoRequestFlag(false);
        frame.AutoRequest();
        EXPECT_EQ(reads.count(), 0) << id;
        frame.SetAutoRequestFlag(true);
        frame.AutoRequest();
        const bool polled = id <= 4 || id == 17 || id == 21;
        ASSERT_EQ(reads.count(), polled ? 1 : 0) << id;
        if (polled) {
            EXPECT_EQ(reads.front().at(0).toInt(), id);
            EXPECT_TRUE(reads.front().at(2).toBool());
        }
    }
}

class ChanelStub : public TChanelHelperBase {
public:
    ChanelKind Kind() const override { return ChanelKind::Tcp; }
};

TEST_F(Frame, ChannelGoesToTheFrameAndItsInstrument)
{
    ChanelStub chanel;
    frame.SetChannel(&chanel);
    EXPECT_EQ(frame.Channel(), &chanel);
    EXPECT_EQ(frame.Helper().GetChannel(), &chanel);
    std::vector<std::string> logged;
    frame.SetLogCallback([&](const std::string& text, TInteractContainer*) { logged.push_back(text); });
    frame.Log("строка");
    EXPECT_EQ(logged, std::vector<std::string>{"строка"});
    frame.SetChannel(nullptr);
    EXPECT_EQ(frame.Helper().GetChannel(), nullptr);
}

// The frame is built and torn down many times over (under the sanitizers too).
TEST(FrameLifetime, ConstructedAndDestroyedRepeatedly)
{
    for (int i = 0; i < 20; ++i) {
        TDax_Frame frame;
        frame.BuildPageTree();
        frame.SetAutoRequestFlag(true);
        Child<QTreeWidget>(frame, "SelectTree")->setCurrentItem(nullptr);
    }
}

} // namespace

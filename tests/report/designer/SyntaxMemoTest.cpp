#include "report/designer/rpSynMemo.h"
#include "report/script/sc_itools.h"

#include "RecordingPaintDevice.h"

#include <QClipboard>
#include <QDir>
#include <QPainter>
#include <QFontMetrics>
#include <QImage>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "RptoolRun.h"

#include <gtest/gtest.h>

namespace {

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text = {};
};

Key Ctrl(int key) { return {key, Qt::ControlModifier}; }
Key Char(char c) { return {0, Qt::NoModifier, QString(QLatin1Char(c))}; }

void Press(TrpSyntaxMemo& memo, const Key& key)
{
    QKeyEvent event(QEvent::KeyPress, key.key, key.modifiers, key.text);
    QApplication::sendEvent(&memo, &event);
}

void Press(TrpSyntaxMemo& memo, const std::vector<Key>& keys)
{
    for (const Key& key : keys)
        Press(memo, key);
}

struct EditRow {
    const char* name;
    QStringList lines;
    QPoint caret;
    QPoint selStart, selEnd; // (0, 0): none
    std::vector<Key> keys;
    QStringList expected;
    QPoint expectedCaret;
};

TEST(SyntaxMemo, EditingByKeys)
{
    const EditRow rows[] = {
        {"enter in an indented line carries the indentation", {"    abc def"}, {9, 1}, {}, {},
         {{Qt::Key_Return}}, {"    abc ", "    def"}, {5, 2}},
        {"enter on a blank line indents to the caret", {""}, {4, 1}, {}, {}, {{Qt::Key_Return}}, {"   ", "   "}, {4, 2}},
        {"backspace on the first non-blank jumps to the enclosing level",
         {"begin", "  if x then", "      y;"}, {7, 3}, {}, {}, {{Qt::Key_Backspace}},
         {"begin", "  if x then", "  y;"}, {3, 3}},
        {"backspace inside text deletes one character", {"abc"}, {3, 1}, {}, {}, {{Qt::Key_Backspace}}, {"ac"}, {2, 1}},
        {"backspace at column 1 joins the trimmed previous line", {"ab  ", "cd"}, {1, 2}, {}, {},
         {{Qt::Key_Backspace}}, {"abcd"}, {3, 1}},
        {"ctrl+i indents the selected lines by two", {"a", "b", "c"}, {1, 1}, {1, 1}, {2, 2}, {Ctrl(Qt::Key_I)},
         {"  a", "  b", "c"}, {1, 1}},
        {"ctrl+u removes one blank of one-blank indentation", {" a", "  b"}, {1, 1}, {1, 1}, {3, 2},
         {Ctrl(Qt::Key_U)}, {"a", " b"}, {1, 1}},
        {"a selection ending in column 1 leaves its last line", {"  a", "  b"}, {1, 1}, {1, 1}, {1, 2},
         {Ctrl(Qt::Key_U)}, {"a", "  b"}, {1, 1}},
        {"tab inserts eight minus the column mod eight blanks", {"ab"}, {3, 1}, {}, {}, {{Qt::Key_Tab}}, {"ab     "}, {8, 1}},
        {"tab in column 1 inserts seven blanks", {"ab"}, {1, 1}, {}, {}, {{Qt::Key_Tab}}, {"       ab"}, {8, 1}},
        {"tab in column 8 inserts eight blanks", {"abcdefg"}, {8, 1}, {}, {}, {{Qt::Key_Tab}}, {"abcdefg        "},
         {16, 1}},
        {"tab in column 9 inserts seven blanks", {"abcdefgh"}, {9, 1}, {}, {}, {{Qt::Key_Tab}}, {"abcdefgh       "},
         {16, 1}},
        {"ctrl+y on the last line empties it", {"a", "b"}, {2, 2}, {}, {}, {Ctrl(Qt::Key_Y)}, {"a", ""}, {1, 2}},
        {"ctrl+y above the last line deletes it", {"a", "b"}, {2, 1}, {}, {}, {Ctrl(Qt::Key_Y)}, {"b"}, {1, 1}},
        {"ctrl+left stops at the start of the line", {"ab", "  cd"}, {3, 2}, {}, {}, {Ctrl(Qt::Key_Left)},
         {"ab", "  cd"}, {1, 2}},
        {"ctrl+right at a line's end goes to the next line", {"ab", "cd"}, {3, 1}, {}, {}, {Ctrl(Qt::Key_Right)},
         {"ab", "cd"}, {1, 2}},
        {"ctrl+right to the next word", {"ab cd"}, {1, 1}, {}, {}, {Ctrl(Qt::Key_Right)}, {"ab cd"}, {4, 1}},
        {"home and end", {"  ab  "}, {3, 1}, {}, {}, {{Qt::Key_End}}, {"  ab  "}, {5, 1}},
        {"ctrl+end goes after the last line's text", {"a", "bc "}, {1, 1}, {}, {}, {Ctrl(Qt::Key_End)},
         {"a", "bc "}, {3, 2}},
        {"pgup at the top goes to line 1", {"a", "b", "c"}, {1, 3}, {}, {}, {{Qt::Key_PageUp}}, {"a", "b", "c"},
         {1, 1}},
        {"pgdn at the bottom goes to the last line", {"a", "b", "c"}, {1, 1}, {}, {}, {{Qt::Key_PageDown}},
         {"a", "b", "c"}, {1, 3}},
        {"delete beyond a line's end pads and joins", {"ab", "  cd"}, {5, 1}, {}, {}, {{Qt::Key_Delete}},
         {"ab    cd"}, {5, 1}},
        {"ctrl+backspace deletes the word at the caret", {"one two"}, {6, 1}, {}, {},
         {{Qt::Key_Backspace, Qt::ControlModifier}}, {"one "}, {5, 1}},
        {"ctrl+delete deletes the word right of the caret", {"one two"}, {5, 1}, {}, {},
         {{Qt::Key_Delete, Qt::ControlModifier}}, {"one "}, {5, 1}},
        {"typing beyond a line's end pads", {"ab"}, {5, 1}, {}, {}, {Char('x')}, {"ab  x"}, {6, 1}},
        {"typing replaces the selection", {"abcd"}, {2, 1}, {2, 1}, {4, 1}, {Char('x')}, {"axd"}, {3, 1}},
    };
    for (const EditRow& row : rows) {
        SCOPED_TRACE(row.name);
        TrpSyntaxMemo memo;
        memo.SetLines(row.lines);
        memo.SetPos(row.caret.x(), row.caret.y());
        if (row.selStart.x() != 0)
            memo.SetSelection(row.selStart, row.selEnd);
        Press(memo, row.keys);
        QStringList lines;
        for (int y = 1; y <= memo.LineCount(); ++y)
            lines.append(memo.Line(y));
        EXPECT_EQ(lines, row.expected);
        EXPECT_EQ(memo.GetPos(), row.expectedCaret);
    }
}

TEST(SyntaxMemo, CtrlShiftDeleteCutsTheWordRightOfTheCaret)
{
    TrpSyntaxMemo memo;
    memo.SetLines({"one two"});
    memo.SetPos(5, 1);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    Press(memo, Key{Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier});
    EXPECT_EQ(memo.Line(1), QStringLiteral("one "));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("two"));
}

TEST(SyntaxMemo, PageKeysScrollByAPageLessOneLine)
{
    TrpSyntaxMemo memo;
    QStringList lines;
    for (int i = 1; i <= 100; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    memo.SetLines(lines);
    memo.resize(300, 200);
    memo.show();
    const int page = memo.VertPage();
    ASSERT_GT(page, 2);
    ASSERT_LT(3 * page, 100);

    const auto placeAt = [&memo](int top, int line) {
        memo.SetVertPosition(top);
        memo.SetPos(1, line);
        ASSERT_EQ(memo.VertPosition(), top);
    };
    struct Row {
        const char* name;
        int top, line;
        int key;
        int expectedTop, expectedLine;
    };
    const Row rows[] = {
        {"pgup far from the top", 2 * page, 2 * page + 2, Qt::Key_PageUp, page + 1, page + 3},
        {"pgup with the top line near the start", 2, 5, Qt::Key_PageUp, 0, 3},
        {"pgdn in the middle", page, page + 1, Qt::Key_PageDown, 2 * page - 1, 2 * page},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        placeAt(row.top, row.line);
        Press(memo, Key{row.key});
        EXPECT_EQ(memo.VertPosition(), row.expectedTop);
        EXPECT_EQ(memo.GetPos().y(), row.expectedLine);
    }

    // Near the end the caret goes to the last line, which becomes the top line of the view.
    placeAt(100 - page, 100 - page + 1);
    Press(memo, Key{Qt::Key_PageDown});
    EXPECT_EQ(memo.GetPos().y(), 100);
    RecordingPaintDevice device(QSize(300, 200));
    {
        QPainter painter(&device);
        memo.PaintTo(painter);
    }
    QString shown;
    for (const RecordedOperation& op : device.GlyphRuns())
        shown += op.Text;
    EXPECT_EQ(shown.trimmed(), QStringLiteral("line 100"));
}

TEST(SyntaxMemo, UndoStepsAndTheirLimit)
{
    TrpSyntaxMemo memo;
    Press(memo, {Char('a'), Char('b'), Char('c'), {Qt::Key_Left}, Char('d')});
    EXPECT_EQ(memo.Text(), QStringLiteral("abdc"));
    EXPECT_EQ(memo.UndoCount(), 2);
    memo.Undo();
    EXPECT_EQ(memo.Text(), QStringLiteral("abc"));
    EXPECT_EQ(memo.GetPos(), QPoint(3, 1));
    memo.Undo();
    EXPECT_EQ(memo.Text(), QString());

    TrpSyntaxMemo many;
    for (int i = 0; i < 33; ++i)
        Press(many, {Char('x'), {Qt::Key_Left}, {Qt::Key_Right}});
    EXPECT_EQ(many.UndoCount(), 32);
    for (int i = 0; i < 32; ++i)
        many.Undo();
    // The oldest snapshot (the empty text) was dropped: one character remains.
    EXPECT_EQ(many.Text(), QStringLiteral("x"));
}

TEST(SyntaxMemo, SettingLinesResetsCaretAndUndo)
{
    TrpSyntaxMemo memo;
    Press(memo, {Char('a'), {Qt::Key_Return}, Char('b')});
    ASSERT_GT(memo.UndoCount(), 0);
    memo.SetLines({QStringLiteral("x"), QStringLiteral("y")});
    EXPECT_EQ(memo.GetPos(), QPoint(1, 1));
    EXPECT_EQ(memo.UndoCount(), 0);
    memo.SetPos(1, 2);
    memo.Lines().Add(QStringLiteral("z"));
    EXPECT_EQ(memo.GetPos(), QPoint(1, 1));
    memo.Lines().Clear();
    EXPECT_EQ(memo.LineCount(), 1);
}

TEST(SyntaxMemo, BookmarksByKeysAndMarksFollowingLines)
{
    TrpSyntaxMemo memo;
    memo.SetLines({"a", "b", "c", "d"});
    memo.AddBookmark(1, 3);
    memo.AddBookmark(2, 5);
    memo.SetPos(1, 2);
    Press(memo, Key{Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier});
    EXPECT_EQ(memo.IsBookmark(1), -1);
    memo.SetPos(1, 3);
    Press(memo, Key{Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier});
    EXPECT_EQ(memo.IsBookmark(2), 5);
    memo.SetPos(1, 4);
    Press(memo, Key{Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier});
    EXPECT_EQ(memo.IsBookmark(3), 3);
    Press(memo, Ctrl(Qt::Key_5));
    EXPECT_EQ(memo.GetPos(), QPoint(1, 3));

    memo.AddBreakPoint(4, QStringLiteral("i > 2"));
    memo.AddBreakPoint(1, QStringLiteral("F4"));
    memo.SetPos(2, 1);
    Press(memo, std::vector<Key>{{Qt::Key_Return}, {Qt::Key_Return}}); // two lines inserted after line 1
    EXPECT_EQ(memo.IsBookmark(4), 5);
    EXPECT_EQ(memo.IsBookmark(5), 3);
    EXPECT_TRUE(memo.IsBreakPoint(6));
    EXPECT_EQ(memo.GetBreakPointCondition(6), QStringLiteral("i > 2"));
    EXPECT_TRUE(memo.IsBreakPoint(1));
    memo.SetPos(1, 2);
    Press(memo, Ctrl(Qt::Key_Y));
    EXPECT_EQ(memo.IsBookmark(3), 5);
    EXPECT_TRUE(memo.IsBreakPoint(5));
    memo.DeleteF4BreakPoints();
    EXPECT_FALSE(memo.IsBreakPoint(1));
    memo.ToggleBreakPoint(5, QString());
    EXPECT_TRUE(memo.BreakPoints().isEmpty());
}

TEST(SyntaxMemo, FindContinuesAndSearchesOneLineTexts)
{
    TrpSyntaxMemo memo;
    memo.SetLines({"Memo1 x", "memo1 y"});
    int from = 0;
    ASSERT_TRUE(memo.Find(QStringLiteral("MEMO1"), false, from));
    EXPECT_EQ(memo.GetPos(), QPoint(1, 1));
    ASSERT_TRUE(memo.Find(QStringLiteral("MEMO1"), false, from));
    EXPECT_EQ(memo.GetPos(), QPoint(1, 2));
    EXPECT_EQ(memo.SelText(), QStringLiteral("memo1"));
    EXPECT_FALSE(memo.Find(QStringLiteral("MEMO1"), false, from));

    TrpSyntaxMemo one;
    one.SetLines({"abc"});
    int start = 0;
    EXPECT_TRUE(one.Find(QStringLiteral("c"), true, start));
    EXPECT_EQ(one.GetPos(), QPoint(3, 1));
}

TEST(SyntaxMemo, ColouringFollowsEdits)
{
    InitScriptLanguages();
    TrpSyntaxMemo memo;
    memo.SetSyntax(QStringLiteral("RireroRidoze"));
    memo.SetLines({"{ begin", "x := 1;", "y"});
    EXPECT_EQ(memo.ClassLine(1), QStringLiteral("3333333").replace(u'3', QChar(3)));
    EXPECT_EQ(memo.ClassLine(3), QString(QChar(3)));
    // Typing the comment's end reclassifies the lines below.
    memo.SetPos(8, 1);
    Press(memo, Char('}'));
    EXPECT_EQ(memo.ClassLine(2).at(0), QChar(1));
    EXPECT_EQ(memo.ClassLine(2).at(5), QChar(6));
    EXPECT_EQ(memo.ClassLine(3), QString(QChar(1)));

    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines.append(QStringLiteral("begin x%1 end;").arg(i));
    memo.SetLines(lines);
    memo.ClassLine(12);
    memo.SetPos(1, 10);
    Press(memo, Char('{'));
    EXPECT_EQ(memo.ClassLine(8).at(0), QChar(4));
    EXPECT_EQ(memo.ClassLine(11).at(0), QChar(3));
}

TEST(SyntaxMemo, MouseTogglesBreakPointsInTheGutterAndSelectsWords)
{
    TrpSyntaxMemo memo;
    memo.resize(400, 300);
    memo.SetLines({"alpha beta", "gamma"});
    memo.show();
    const int h = memo.CharHeight();
    const int w = memo.CharWidth();
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, h + 2));
    EXPECT_TRUE(memo.IsBreakPoint(2));
    EXPECT_EQ(memo.GetPos(), QPoint(1, 2));
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, h + 2));
    EXPECT_FALSE(memo.IsBreakPoint(2));
    const QPoint inBeta(memo.GutterWidth() + 7 * w + 1, 2);
    QTest::mouseDClick(memo.viewport(), Qt::LeftButton, Qt::NoModifier, inBeta);
    EXPECT_EQ(memo.SelText(), QStringLiteral("beta"));
    QTest::mouseRelease(memo.viewport(), Qt::LeftButton, Qt::NoModifier, inBeta);
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(memo.GutterWidth() + 1, h + 2));
    EXPECT_EQ(memo.GetPos(), QPoint(1, 2)) << "the press after a double-click is not lost";
    EXPECT_FALSE(memo.HasSelection());
}

TEST(SyntaxMemo, CompletionNameBeforeTheCaret)
{
    const struct {
        const char* line;
        int column;
        const char* name;
    } rows[] = {
        // Blanks belong to the name; the character at the caret's left is left out.
        {"  Report.", 9, "Report"},
        {"x := Memo1.Font.", 17, " Memo1.Font"},
        {"x := Memo1.Fo", 13, " Memo1.F"},
        {"a := Copy('x.y', 1, 2).Len", 27, " Copy.Le"},
        {"a := Items[Sel(1)].Na", 22, " Items.N"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        TrpSyntaxMemo memo;
        memo.SetLines({QString::fromUtf8(row.line)});
        memo.SetPos(row.column, 1);
        EXPECT_EQ(memo.CompletionName(), QString::fromUtf8(row.name));
    }
}

TEST(SyntaxMemo, CompletionListAndPicking)
{
    TrpSyntaxMemo memo;
    memo.resize(400, 300);
    memo.show();
    memo.SetLines({"Report."});
    memo.SetPos(8, 1);
    QString handed;
    memo.OnCodeCompletion = [&handed](QObject*, const QString& name, QListWidget& list) {
        handed = name;
        const char* items[] = {"Title: String", "Name: String", "ShowReport()", "Calc(Expr: String): Variant",
                               "Create: Constructor"};
        for (int i = 0; i < 5; ++i) {
            auto* item = new QListWidgetItem(QString::fromLatin1(items[i]), &list);
            item->setData(Qt::UserRole, i == 4 ? 3 : i < 2 ? i : i);
        }
    };
    Press(memo, Key{Qt::Key_Space, Qt::ControlModifier});
    EXPECT_EQ(handed, QStringLiteral("Report"));
    ASSERT_NE(memo.CompletionList(), nullptr);
    EXPECT_EQ(memo.CompletionList()->count(), 5);
    EXPECT_EQ(memo.CompletionList()->item(0)->text(), QStringLiteral("Calc(Expr: String): Variant"));
    EXPECT_EQ(memo.CompletionForm()->size(), QSize(300, 100));
    if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty())
        memo.CompletionForm()->grab().save(QDir(QString::fromLocal8Bit(shots)).filePath("syntax-completion.png"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(memo.CompletionList(), &enter);
    EXPECT_EQ(memo.Line(1), QStringLiteral("Report.Calc()"));
    EXPECT_EQ(memo.GetPos(), QPoint(13, 1));
    memo.PickCompletion(QStringLiteral("Title: String"));
    EXPECT_EQ(memo.Line(1), QStringLiteral("Report.Calc(Title)"));
}

TEST(SyntaxMemo, CompletionItemsDrawnWithTheirKindWords)
{
    TrpSyntaxMemo memo;
    memo.resize(400, 300);
    memo.show();
    memo.SetLines({"x"});
    memo.SetPos(2, 1);
    memo.OnCodeCompletion = [](QObject*, const QString&, QListWidget& list) {
        const struct {
            const char* text;
            int kind;
        } items[] = {{"Alpha: Integer", 0}, {"Bravo: String", 1}, {"Charlie(X: Integer)", 2},
                     {"Delta: Double", 3}, {"Echo: Constructor", 3}};
        for (const auto& item : items)
            (new QListWidgetItem(QString::fromLatin1(item.text), &list))->setData(Qt::UserRole, item.kind);
    };
    Press(memo, Key{Qt::Key_Space, Qt::ControlModifier});
    QListWidget* list = memo.CompletionList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 5);
    list->setCurrentRow(-1);
    list->clearSelection();

    const QColor blue(Qt::blue), fuchsia(255, 0, 255), black(Qt::black), white(Qt::white);
    struct Row {
        const char* text;
        bool selected;
        QStringList pieces; // kind word, identifier, rest
        QColor wordColour, textColour;
    };
    const Row rows[] = {
        {"Alpha: Integer", false, {"var", "Alpha", ": Integer"}, blue, black},
        {"Bravo: String", false, {"property", "Bravo", ": String"}, blue, black},
        {"Charlie(X: Integer)", false, {"procedure", "Charlie", "(X: Integer)"}, fuchsia, black},
        {"Delta: Double", false, {"function", "Delta", ": Double"}, fuchsia, black},
        {"Echo: Constructor", false, {"constructor", "Echo", ""}, blue, black},
        {"Delta: Double", true, {"function", "Delta", ": Double"}, white, white},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + (row.selected ? " selected" : ""));
        const QList<QListWidgetItem*> found = list->findItems(QString::fromLatin1(row.text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        const QModelIndex index = list->indexFromItem(found.first());
        QStyleOptionViewItem option;
        option.initFrom(list->viewport());
        option.font = list->font();
        option.rect = QRect(0, 0, 300, 20);
        option.state = row.selected ? QStyle::State_Selected : QStyle::State_None;
        RecordingPaintDevice device(QSize(300, 20));
        {
            QPainter painter(&device);
            list->itemDelegate()->paint(&painter, option, index);
        }
        QStringList drawn;
        std::vector<RecordedOperation> runs;
        for (const RecordedOperation& op : device.GlyphRuns()) {
            if (!op.Text.isEmpty()) {
                drawn.append(op.Text);
                runs.push_back(op);
            }
        }
        QStringList expected;
        for (const QString& piece : row.pieces)
            if (!piece.isEmpty())
                expected.append(piece);
        ASSERT_EQ(drawn, expected);
        EXPECT_EQ(runs[0].TextColor, row.wordColour);
        EXPECT_EQ(runs[1].TextColor, row.textColour);
        // The identifiers line up after the widest kind word.
        EXPECT_EQ(runs[1].GlyphPositions.first().x(),
                  QFontMetrics(option.font).horizontalAdvance(QStringLiteral("constructor")) + 6);
    }
}

TEST(SyntaxMemo, InputMethodComposition)
{
    TrpSyntaxMemo memo;
    memo.SetLines({"ab"});
    memo.SetPos(3, 1);
    const int steps = memo.UndoCount();
    QInputMethodEvent preedit(QStringLiteral("ни"), {});
    QApplication::sendEvent(&memo, &preedit);
    EXPECT_EQ(memo.Preedit(), QStringLiteral("ни"));
    EXPECT_EQ(memo.Line(1), QStringLiteral("ab"));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("нив"));
    QApplication::sendEvent(&memo, &commit);
    EXPECT_EQ(memo.Preedit(), QString());
    EXPECT_EQ(memo.Line(1), QStringLiteral("abнив"));
    EXPECT_EQ(memo.UndoCount(), steps + 1);
    memo.Undo();
    EXPECT_EQ(memo.Line(1), QStringLiteral("ab"));
}

TEST(SyntaxMemo, MarksActiveLineAndFontsDrawn)
{
    InitScriptLanguages();
    const QString samples = QFileInfo(QStringLiteral(DAX_SCRIPT_SAMPLES)).absoluteFilePath();
    const struct {
        const char* language;
        const char* file;
    } cases[] = {{"RireroRidoze", "report.pas"}, {"R++Idirud", "report.cpp"}, {"JScript", "report.js"},
                 {"ZuvivUradur", "report.vb"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        TrpSyntaxMemo memo;
        memo.resize(640, 480);
        memo.SetSyntax(QString::fromLatin1(c.language));
        QFile file(samples + u'/' + QLatin1String(c.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        memo.SetText(QString::fromUtf8(file.readAll()));
        memo.show();
        memo.AddBookmark(1, 1);
        memo.AddBookmark(4, 7);
        memo.AddBreakPoint(6, QString());
        for (int line : {5, 6, 7, 8})
            memo.MarkExecutableLine(line, true);
        memo.SetActiveLine(7);
        memo.SetPos(3, 3);
        const QImage image = memo.viewport()->grab().toImage();
        const int h = memo.CharHeight();
        // The active line's highlight reaches the right edge; the breakpoint is a red dot.
        EXPECT_EQ(image.pixelColor(image.width() - 2, 6 * h + h / 2), memo.BlockColor);
        EXPECT_EQ(image.pixelColor(7, 5 * h + 9), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(12, 1 * h + 5), QColor(0, 128, 0)); // bookmark box
        if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty())
            memo.grab().save(QDir(QString::fromLocal8Bit(shots))
                                 .filePath(QStringLiteral("syntax-%1.png").arg(QLatin1String(c.file))));
    }

    // Any font other than the fixed one draws one cell per character: the cell stays the width of "W".
    TrpSyntaxMemo memo;
    QFont proportional(QStringLiteral("DejaVu Sans"), 10);
    memo.SetEditorFont(proportional);
    EXPECT_FALSE(memo.IsMonoType());
    QFont bold = proportional;
    bold.setBold(true);
    EXPECT_EQ(memo.CharWidth(), QFontMetrics(bold).horizontalAdvance(QLatin1Char('W')));

    // Each character is written in its own cell, so columns line up whatever the font.
    memo.resize(400, 200);
    memo.SetLines({"iiWW.i"});
    memo.SetActiveLine(-1);
    RecordingPaintDevice device(QSize(400, 200));
    {
        QPainter painter(&device);
        memo.PaintTo(painter);
    }
    std::vector<double> starts;
    QString text;
    for (const RecordedOperation& op : device.GlyphRuns()) {
        if (op.Text.trimmed().isEmpty())
            continue;
        text += op.Text;
        starts.push_back(op.GlyphPositions.first().x());
    }
    ASSERT_EQ(text, QStringLiteral("iiWW.i"));
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_DOUBLE_EQ(starts[i] - starts[i - 1], memo.CharWidth()) << i;
}

TEST(SyntaxMemo, ActiveLineAndSelectionPaintedToTheRightEdge)
{
    TrpSyntaxMemo memo;
    memo.resize(400, 200);
    memo.show();
    memo.SetLines({"short", "x", "other"});
    memo.SetActiveLine(2);
    RecordingPaintDevice device(QSize(400, 200));
    {
        QPainter painter(&device);
        memo.PaintTo(painter);
    }
    // The block-coloured rectangles of line 2 reach the visible width.
    const int h = memo.CharHeight();
    double right = 0;
    const std::vector<RecordedOperation> ops = device.Operations();
    QBrush brush;
    for (const RecordedOperation& op : ops) {
        if (op.What == RecordedOperation::BrushChange)
            brush = op.Brush;
        if (op.What == RecordedOperation::Rectangle && brush.color() == memo.BlockColor &&
            op.DeviceRect.top() >= h - 0.5 && op.DeviceRect.bottom() <= 2 * h + 0.5)
            right = std::max(right, op.DeviceRect.right());
    }
    EXPECT_GE(right, memo.viewport()->width() - memo.CharWidth());
}

QString ReadFile(const QString& name)
{
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(file.readAll());
}

TEST(RptoolSyntax, ClassCodesEqualTheGoldens)
{
    const QString samples = QFileInfo(QStringLiteral(DAX_SCRIPT_SAMPLES)).absoluteFilePath();
    const QString goldens = QFileInfo(QStringLiteral(DAX_SYNTAX_DATA)).absoluteFilePath();
    const struct {
        const char* language;
        QString file;
        QString golden;
    } cases[] = {
        {"RireroRidoze", samples + "/report.pas", goldens + "/report.pas.classes"},
        {"R++Idirud", samples + "/report.cpp", goldens + "/report.cpp.classes"},
        {"JScript", samples + "/report.js", goldens + "/report.js.classes"},
        {"ZuvivUradur", samples + "/report.vb", goldens + "/report.vb.classes"},
        {"SQL", goldens + "/sample.sql", goldens + "/sample.sql.classes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        const ToolRun run = Rptool({QStringLiteral("syntax"), QStringLiteral("--lang"), c.language, c.file});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, ReadFile(c.golden));
    }
    const ToolRun pas = Rptool({QStringLiteral("syntax"), QStringLiteral("--lang"), QStringLiteral("RireroRidoze"),
                                samples + "/report.pas"});
    const QStringList lines = pas.out.split(u'\n');
    ASSERT_GT(lines.size(), 12);
    EXPECT_EQ(lines[1], QString(50, u'3'));
    EXPECT_EQ(lines[3], QStringLiteral("4444355555555551"));
    EXPECT_EQ(lines[11], QStringLiteral("33111113136661"));

    const ToolRun unknown = Rptool({QStringLiteral("syntax"), QStringLiteral("--lang"), QStringLiteral("Nope"),
                                    samples + "/report.js"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Language 'Nope' not found")));

    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("s.png"));
    const ToolRun grab = Rptool({QStringLiteral("syntax"), QStringLiteral("--lang"), QStringLiteral("JScript"),
                                 samples + "/report.js", QStringLiteral("--grab"), picture});
    ASSERT_EQ(grab.exitCode, 0);
    const QImage image(picture);
    EXPECT_EQ(image.size(), QSize(640, 480));
    if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty())
        QFile::copy(picture, QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("syntax-js.png")));
}

} // namespace

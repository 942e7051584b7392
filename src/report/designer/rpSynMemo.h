#pragma once

// The code editor of the designer's script page: a custom-drawn control holding the report
// script as a list of lines, with a character-cell caret, a stream selection, keyboard editing
// with automatic indentation, whole-text undo snapshots, clipboard, find, ten numbered
// bookmarks, breakpoints with conditions and lazy syntax colouring from the script lexer.
//
// Positions: X is a 1-based column (1..1024), Y a 1-based line. Two positions compare as
// Y * 1024 + X. The plain position of (X, Y) counts over the lines joined with CR LF.

#include "report/designer/rpPopupForm.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/script/sc_iparser.h"

#include <QFont>
#include <QPoint>
#include <QStringList>
#include <QVector>

#include <QPointer>

#include <array>
#include <functional>

// The line list of the editor. Every line may carry a small integer object (1: executable).
// Changes made from outside while the editor's guard is armed reset the editor (caret, undo).
class TrpMemoLines {
public:
    int Count() const { return static_cast<int>(lines_.size()); }
    const QString& operator[](int index) const { return lines_[index]; }
    QString Text() const { return lines_.join(QStringLiteral("\r\n")); }
    const QStringList& List() const { return lines_; }
    int Object(int index) const { return index >= 0 && index < objects_.size() ? objects_[index] : 0; }

    void SetText(const QString& text);
    void SetList(const QStringList& lines);
    void Add(const QString& line);
    void Insert(int index, const QString& line);
    void Delete(int index);
    void Put(int index, const QString& line);
    void Clear();
    void SetObject(int index, int value);

    std::function<void()> OnChange;

private:
    friend class TrpSyntaxMemo;
    void Changed() { if (OnChange) OnChange(); }
    QStringList lines_;
    QVector<int> objects_;
};

struct TrpBreakPoint {
    QString condition;
    int line = 0; // 1-based
};

class QListWidget;
class QListWidgetItem;



// Fills the completion list for the expression before the caret; each item's kind (data of
// Qt::UserRole): 0 variable, 1 property, 2 procedure, 3 function.
using TrpCodeCompletionEvent = std::function<void(QObject* sender, const QString& name, QListWidget& list)>;

class TrpSyntaxMemo : public TrpScrollWin {
public:
    static constexpr int kMaxLength = 1024;

    explicit TrpSyntaxMemo(QWidget* parent = nullptr);
    ~TrpSyntaxMemo() override;

    // The line list; reading it arms the reaction to changes made from outside.
    TrpMemoLines& Lines();
    void SetLines(const QStringList& lines);
    void SetText(const QString& text);
    QString Text() const { return FText.Text(); }
    int LineCount() const { return FText.Count(); }
    QString Line(int y) const { return FText[y - 1]; } // 1-based
    void MarkExecutableLine(int line, bool flag);

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void SelectAll();
    void SetPos(int x, int y);
    QPoint GetPos() const { return FPos; }
    int GetPlainPos() const { return PlainIndex(FPos); }
    void Undo();
    int UndoCount() const { return FUndo.size(); }
    bool Find(const QString& searchText, bool caseSensitive, int& searchFrom);

    QString SelText() const;
    void SetSelText(const QString& text);
    bool TextSelected() const { return true; }
    bool HasSelection() const { return FSelStart.x() != 0; }
    QPoint SelStart() const { return FSelStart; }
    QPoint SelEnd() const { return FSelEnd; }
    void SetSelection(QPoint start, QPoint end) { FSelStart = start; FSelEnd = end; viewport()->update(); }
    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }

    int IsBookmark(int line) const;
    void AddBookmark(int line, int number);
    void DeleteBookmark(int number);
    void GotoBookmark(int number);

    void AddBreakPoint(int number, const QString& condition);
    void ToggleBreakPoint(int number, const QString& condition);
    void DeleteBreakPoint(int number);
    bool IsBreakPoint(int number) const;
    QString GetBreakPointCondition(int number) const;
    void DeleteF4BreakPoints();
    const QVector<TrpBreakPoint>& BreakPoints() const { return FBreakPoints; }

    // Syntax colouring.
    QString Syntax() const { return FSyntax; }
    void SetSyntax(const QString& name);
    // The class line of a 1-based line, classified on demand: 1 text, 3 blank or comment,
    // 4 keyword, 5 string, 6 number; characters below 32 keep their own code.
    QString ClassLine(int y);
    int ActiveLine() const { return FActiveLine; }
    void SetActiveLine(int line) { FActiveLine = line; viewport()->update(); }
    bool ShowGutter() const { return FGutterWidth > 0; }
    void SetShowGutter(bool on) { FGutterWidth = on ? 30 : 0; viewport()->update(); }
    int GutterWidth() const { return FGutterWidth; }
    void ShowMessage(const QString& text) { FMessage = text; viewport()->update(); }
    QString Message() const { return FMessage; }
    void UpdateView() { viewport()->update(); }
    void SetEditorFont(const QFont& font);
    int CharWidth() const { return FCharWidth; }
    int CharHeight() const { return FCharHeight; }
    bool IsMonoType() const { return FIsMonoType; }

    QFont TextAttr, CommentAttr, KeywordAttr, StringAttr, NumberAttr;
    QColor BlockColor, BlockFontColor;

    // The expression before the caret handed to the completion handler.
    QString CompletionName() const;

    // Code completion (Ctrl+Space, only with a handler).
    TrpCodeCompletionEvent OnCodeCompletion;
    void ShowCompletion();
    QListWidget* CompletionList() const { return FCompletionLB; }
    TrpPopupForm* CompletionForm() const { return FCompletionForm; }
    // Inserts the leading identifier of an item (with "()" and the caret inside when a "("
    // follows it) and closes the drop-down.
    void PickCompletion(const QString& item);
    // The text being composed by the input method, shown at the caret.
    QString Preedit() const { return FPreedit; }

    std::function<void()> OnChangePos;
    std::function<void()> OnChangeText;

    // Draws the visible part into a painter (the paint event uses it too).
    void PaintTo(QPainter& painter);

protected:
    void HorzScrollChanged() override;
    void VertScrollChanged() override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleKey(QKeyEvent* event);
    void TypeText(const QString& text);
    void LinesChangedOutside();
    void SetLinesQuietly(const QString& text);
    void AddUndo();
    void Changed();
    void RestartColouring(int line);
    void ClassifyUpTo(int n);
    int PlainIndex(QPoint p) const;
    QPoint PosOfPlain(int index) const;
    int Compare(QPoint p) const { return p.y() * kMaxLength + p.x(); }
    void OrderedSelection(QPoint& a, QPoint& b) const;
    void ClearSelection() { FSelStart = QPoint(0, 0); FSelEnd = QPoint(0, 0); }
    void ExtendSelection();
    void SelectWordAt(int x, int y);
    void MoveMarks(int afterLine, int delta); // afterLine 1-based
    void Unindent();
    void BlockIndent(bool indent);
    void DeleteLine();
    void CtrlLeft();
    void CtrlRight();
    void UpdateScrollBars();
    void UpdateWindowSize();
    QPoint MousePos(const QPoint& pt) const;
    static bool IsWordChar(QChar c);
    static QString TrimRight(const QString& s);

    TrpMemoLines FText;
    QPoint FPos{1, 1};
    QPoint FOffset{0, 0};
    QPoint FSelStart{0, 0}, FSelEnd{0, 0};
    QPoint FTempPos{1, 1};
    QSize FWindowSize{0, 0};
    int FCharWidth = 8, FCharHeight = 16;
    bool FIsMonoType = true;
    QStringList FUndo;
    bool FMoved = true;
    bool FModified = false;
    std::array<int, 10> FBookmarks;
    QVector<TrpBreakPoint> FBreakPoints;
    bool FAllowLinesChange = false;
    bool FDown = false, FDoubleClicked = false, FToggleBreakPointDown = false;
    QString FMessage;
    QString FSyntax;
    TscParser FParser;
    QStringList FSynStrings;
    bool FUpdatingSyntax = false;
    int FActiveLine = -1;
    int FGutterWidth = 30;
    QFont FFont;
    QPointer<TrpPopupForm> FCompletionForm;
    QListWidget* FCompletionLB = nullptr;
    QString FPreedit;
};

#include "report/designer/rpSynMemo.h"

#include "report/designer/rpPopupForm.h"
#include "report/model/rpFontResolver.h"
#include "report/model/rpXML.h"
#include "report/script/sc_itools.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const char kSqlKeywords[] =
    "active,after,all,alter,and,any,as,asc,ascending,at,auto,base_name,before,begin,between,by,cache,call,cast,"
    "check,column,commit,committed,computed,conditional,constraint,containing,count,create,current,cursor,"
    "database,debug,declare,default,delete,desc,descending,distinct,do,domain,drop,else,end,entry_point,escape,"
    "exception,execute,exists,exit,external,extract,filter,for,foreign,from,full,function,generator,grant,group,"
    "having,if,in,inactive,index,inner,insert,into,is,isolation,join,key,left,level,like,merge,names,no,not,null,"
    "of,on,only,or,order,outer,parameter,password,plan,position,primary,privileges,procedure,protected,read,"
    "retain,returns,revoke,right,rollback,schema,select,set,shadow,shared,snapshot,some,suspend,table,then,to,"
    "transaction,trigger,uncommitted,union,unique,update,user,using,values,view,wait,when,where,while,with,work";

// Lines of a text joined with CR LF (CR LF, a lone CR or a lone LF end a line).
QStringList SplitLines(const QString& text)
{
    QStringList result;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            result.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    result.append(current);
    return result;
}

} // namespace

// ---- line list -------------------------------------------------------------------------------

void TrpMemoLines::SetText(const QString& text)
{
    SetList(SplitLines(text));
}

void TrpMemoLines::SetList(const QStringList& lines)
{
    lines_ = lines;
    objects_ = QVector<int>(lines_.size(), 0);
    Changed();
}

void TrpMemoLines::Add(const QString& line)
{
    Insert(Count(), line);
}

void TrpMemoLines::Insert(int index, const QString& line)
{
    lines_.insert(index, line);
    objects_.insert(index, 0);
    Changed();
}

void TrpMemoLines::Delete(int index)
{
    lines_.removeAt(index);
    objects_.removeAt(index);
    Changed();
}

void TrpMemoLines::Put(int index, const QString& line)
{
    lines_[index] = line;
    Changed();
}

void TrpMemoLines::Clear()
{
    lines_.clear();
    objects_.clear();
    Changed();
}

void TrpMemoLines::SetObject(int index, int value)
{
    if (index >= 0 && index < objects_.size())
        objects_[index] = value;
}

// ---- construction ----------------------------------------------------------------------------

TrpSyntaxMemo::TrpSyntaxMemo(QWidget* parent) : TrpScrollWin(parent)
{
    FBookmarks.fill(-1);
    FText.lines_.append(QString());
    FText.objects_.append(0);
    FText.OnChange = [this] { LinesChangedOutside(); };
    FParser.SetSkipSpace(false);
    FParser.SetUseY(false);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    const QPalette pal = palette();
    BlockColor = pal.color(QPalette::Highlight);
    BlockFontColor = pal.color(QPalette::HighlightedText);
    QFont font(ReportFontFamily(u"Courier New"));
    font.setPointSize(10);
    SetEditorFont(font);
    FIsMonoType = true;
    CommentAttr.setItalic(true);
    KeywordAttr.setBold(true);
    SetHorzRange(kMaxLength);
}

TrpSyntaxMemo::~TrpSyntaxMemo()
{
    FText.OnChange = nullptr;
}

void TrpSyntaxMemo::SetEditorFont(const QFont& font)
{
    FFont = font;
    for (QFont* attr : {&TextAttr, &CommentAttr, &KeywordAttr, &StringAttr, &NumberAttr}) {
        attr->setFamily(font.family());
        attr->setPointSizeF(font.pointSizeF());
    }
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    FCharHeight = metrics.height() + 1;
    FCharWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('W')));
    FIsMonoType = font.family().toUpper().contains(QLatin1String("COURIER NEW"))
        || font.family() == ReportFontFamily(u"Courier New");
    UpdateWindowSize();
    viewport()->update();
}

// ---- lines -----------------------------------------------------------------------------------

TrpMemoLines& TrpSyntaxMemo::Lines()
{
    FAllowLinesChange = true;
    return FText;
}

void TrpSyntaxMemo::SetLines(const QStringList& lines)
{
    FAllowLinesChange = true;
    FText.SetList(lines);
}

void TrpSyntaxMemo::SetText(const QString& text)
{
    SetLines(SplitLines(text));
}

void TrpSyntaxMemo::LinesChangedOutside()
{
    if (!FAllowLinesChange)
        return;
    FAllowLinesChange = false;
    if (FText.Count() == 0) {
        FText.lines_.append(QString());
        FText.objects_.append(0);
    }
    RestartColouring(1);
    FUndo.clear();
    FMoved = true;
    FPos = QPoint(1, 1);
    FOffset = QPoint(0, 0);
    ClearSelection();
    SetPos(1, 1);
}

void TrpSyntaxMemo::SetLinesQuietly(const QString& text)
{
    FAllowLinesChange = false;
    const QStringList lines = SplitLines(text);
    // Keep the executable marks of the lines that stay where they were.
    QVector<int> objects(lines.size(), 0);
    for (int i = 0; i < lines.size() && i < FText.objects_.size(); ++i)
        objects[i] = FText.objects_[i];
    FText.lines_ = lines;
    FText.objects_ = objects;
}

void TrpSyntaxMemo::MarkExecutableLine(int line, bool flag)
{
    if (line < 1 || line > FText.Count())
        return;
    FText.SetObject(line - 1, flag ? 1 : 0);
    viewport()->update();
}

// ---- positions -------------------------------------------------------------------------------

int TrpSyntaxMemo::PlainIndex(QPoint p) const
{
    int index = 0;
    for (int i = 0; i < p.y() - 1 && i < FText.Count(); ++i)
        index += FText[i].size() + 2;
    return index + p.x();
}

QPoint TrpSyntaxMemo::PosOfPlain(int index) const
{
    // index is 1-based over the joined text.
    int y = 1;
    int rest = index;
    while (y < FText.Count() && rest > FText[y - 1].size() + 2) {
        rest -= FText[y - 1].size() + 2;
        ++y;
    }
    // An index on the CR LF of a line's end lands after its last character.
    if (y < FText.Count() && rest > FText[y - 1].size() + 1) {
        rest -= FText[y - 1].size() + 2;
        ++y;
    }
    return QPoint(std::max(1, rest), y);
}

QString TrpSyntaxMemo::TrimRight(const QString& s)
{
    int n = s.size();
    while (n > 0 && s[n - 1].unicode() <= 32)
        --n;
    return s.left(n);
}

bool TrpSyntaxMemo::IsWordChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 127;
}

void TrpSyntaxMemo::OrderedSelection(QPoint& a, QPoint& b) const
{
    a = FSelStart;
    b = FSelEnd;
    if (Compare(a) > Compare(b))
        std::swap(a, b);
}

void TrpSyntaxMemo::SetPos(int x, int y)
{
    FMessage.clear();
    x = std::clamp(x, 1, kMaxLength);
    y = std::clamp(y, 1, FText.Count());
    FPos = QPoint(x, y);
    if (FWindowSize.width() > 0 && FWindowSize.height() > 0) {
        QPoint offset = FOffset;
        if (offset.y() > FText.Count() - 1)
            offset.setY(std::max(0, FText.Count() - 1));
        if (x > offset.x() + FWindowSize.width())
            offset.setX(x - FWindowSize.width());
        else if (x <= offset.x())
            offset.setX(x - 1);
        if (y > offset.y() + FWindowSize.height())
            offset.setY(y - FWindowSize.height());
        else if (y <= offset.y())
            offset.setY(y - 1);
        FOffset = offset;
    }
    viewport()->update();
    UpdateScrollBars();
    if (OnChangePos)
        OnChangePos();
}

void TrpSyntaxMemo::UpdateScrollBars()
{
    SetVertRange(FText.Count());
    SetHorzRange(kMaxLength);
    LargeChange = std::max(1, FWindowSize.height());
    SetVertPage(std::max(1, FWindowSize.height()));
    SetHorzPage(std::max(1, FWindowSize.width()));
    SetVertPosition(FOffset.y());
    SetHorzPosition(FOffset.x());
}

void TrpSyntaxMemo::UpdateWindowSize()
{
    const QSize size = viewport()->size();
    FWindowSize = QSize(std::max(0, (size.width() - FGutterWidth) / FCharWidth), size.height() / FCharHeight);
}

void TrpSyntaxMemo::resizeEvent(QResizeEvent* event)
{
    TrpScrollWin::resizeEvent(event);
    UpdateWindowSize();
    UpdateScrollBars();
}

void TrpSyntaxMemo::HorzScrollChanged()
{
    FOffset.setX(std::clamp(HorzPosition(), 0, kMaxLength));
    viewport()->update();
    if (OnChangePos)
        OnChangePos();
}

void TrpSyntaxMemo::VertScrollChanged()
{
    FOffset.setY(std::clamp(VertPosition(), 0, FText.Count()));
    viewport()->update();
    if (OnChangePos)
        OnChangePos();
}

// ---- editing ---------------------------------------------------------------------------------

void TrpSyntaxMemo::AddUndo()
{
    if (!FMoved)
        return;
    FUndo.append(QString::asprintf("%5d%5d", FPos.x(), FPos.y()) + FText.Text());
    while (FUndo.size() > 32)
        FUndo.removeFirst();
    FMoved = false;
}

void TrpSyntaxMemo::Changed()
{
    FModified = true;
    viewport()->update();
    if (OnChangeText)
        OnChangeText();
}

void TrpSyntaxMemo::Undo()
{
    if (FUndo.isEmpty())
        return;
    const QString entry = FUndo.takeLast();
    const int x = entry.mid(0, 5).trimmed().toInt();
    const int y = entry.mid(5, 5).trimmed().toInt();
    SetLinesQuietly(entry.mid(10));
    FMoved = true;
    ClearSelection();
    SetPos(x, y);
    RestartColouring(1);
    Changed();
}

QString TrpSyntaxMemo::SelText() const
{
    if (!HasSelection())
        return QString();
    QPoint a, b;
    OrderedSelection(a, b);
    if (a.y() <= FText.Count() && a.x() > TrimRight(FText[a.y() - 1]).size() + 1 && a.y() < FText.Count())
        a = QPoint(1, a.y() + 1);
    if (b.y() <= FText.Count() && b.x() - 1 > TrimRight(FText[b.y() - 1]).size())
        b = QPoint(TrimRight(FText[b.y() - 1]).size() + 1, b.y());
    const int from = PlainIndex(a);
    const int to = PlainIndex(b);
    if (to <= from)
        return QString();
    return FText.Text().mid(from - 1, to - from);
}

void TrpSyntaxMemo::SetSelText(const QString& text)
{
    AddUndo();
    FAllowLinesChange = false;
    QPoint a = FPos, b = FPos;
    if (HasSelection())
        OrderedSelection(a, b);
    a.setY(std::clamp(a.y(), 1, FText.Count()));
    b.setY(std::clamp(b.y(), 1, FText.Count()));
    // Pad the start line so that text can go anywhere right of a line's end.
    QString startLine = FText[a.y() - 1];
    if (a.x() > startLine.size() + 1) {
        startLine += QString(a.x() - 1 - startLine.size(), u' ');
        FText.lines_[a.y() - 1] = startLine;
    }
    if (b.y() == a.y() && b.x() > startLine.size() + 1)
        b.setX(startLine.size() + 1);
    else if (b.x() > FText[b.y() - 1].size() + 1)
        b.setX(FText[b.y() - 1].size() + 1);
    const int oldCount = FText.Count();
    QString joined = FText.Text();
    const int from = PlainIndex(a);
    const int to = PlainIndex(b);
    joined.remove(from - 1, std::max(0, to - from));
    joined.insert(from - 1, text);
    // Rebuild, keeping line objects before the edit point and shifting those after it.
    const QStringList lines = SplitLines(joined);
    QVector<int> objects(lines.size(), 0);
    const int delta = lines.size() - oldCount;
    for (int i = 0; i < FText.objects_.size(); ++i) {
        int target = i;
        if (i + 1 > a.y())
            target = i + delta;
        if (i + 1 > a.y() && i + 1 <= b.y())
            continue;
        if (target >= 0 && target < objects.size())
            objects[target] = FText.objects_[i];
    }
    FText.lines_ = lines;
    FText.objects_ = objects;
    if (delta != 0)
        MoveMarks(a.y(), delta);
    const QPoint end = PosOfPlain(from + text.size());
    ClearSelection();
    RestartColouring(a.y());
    SetPos(end.x(), end.y());
    Changed();
}

void TrpSyntaxMemo::MoveMarks(int afterLine, int delta)
{
    for (int& bookmark : FBookmarks) {
        if (bookmark >= 0 && bookmark + 1 > afterLine)
            bookmark = std::max(afterLine - 1, bookmark + delta);
    }
    for (TrpBreakPoint& point : FBreakPoints) {
        if (point.line > afterLine)
            point.line = std::max(afterLine, point.line + delta);
    }
}

void TrpSyntaxMemo::TypeText(const QString& text)
{
    const bool moved = FMoved;
    SetSelText(text);
    Q_UNUSED(moved);
    FMoved = false;
}

void TrpSyntaxMemo::ExtendSelection()
{
    if (!HasSelection())
        FSelStart = FTempPos;
    FSelEnd = FPos;
    viewport()->update();
}

void TrpSyntaxMemo::SelectWordAt(int x, int y)
{
    const QString line = FText[y - 1];
    int start = x - 1; // 0-based
    if (start >= line.size() || start < 0 || !IsWordChar(line[start])) {
        ClearSelection();
        return;
    }
    int end = start;
    while (start > 0 && IsWordChar(line[start - 1]))
        --start;
    while (end < line.size() && IsWordChar(line[end]))
        ++end;
    FSelStart = QPoint(start + 1, y);
    FSelEnd = QPoint(end + 1, y);
    SetPos(end + 1, y);
}

void TrpSyntaxMemo::Unindent()
{
    int column = 1;
    for (int y = FPos.y() - 1; y >= 1; --y) {
        const QString line = FText[y - 1];
        if (line.trimmed().isEmpty())
            continue;
        int first = 0;
        while (first < line.size() && line[first] == u' ')
            ++first;
        if (first + 1 < FPos.x()) {
            column = first + 1;
            break;
        }
    }
    FSelStart = QPoint(column, FPos.y());
    FSelEnd = FPos;
    SetSelText(QString());
}

void TrpSyntaxMemo::BlockIndent(bool indent)
{
    if (!HasSelection())
        return;
    AddUndo();
    QPoint a, b;
    OrderedSelection(a, b);
    int last = b.y();
    if (b.x() == 1)
        --last;
    last = std::min(last, FText.Count());
    if (indent) {
        for (int y = a.y(); y <= last; ++y)
            FText.lines_[y - 1].prepend(QStringLiteral("  "));
    } else {
        int width = 2;
        for (int y = a.y(); y <= last; ++y) {
            const QString& line = FText[y - 1];
            if (line.trimmed().isEmpty())
                continue;
            int first = 0;
            while (first < line.size() && line[first] == u' ')
                ++first;
            width = std::min(width, first);
        }
        for (int y = a.y(); y <= last; ++y) {
            if (!FText[y - 1].trimmed().isEmpty())
                FText.lines_[y - 1].remove(0, width);
        }
    }
    FMoved = true;
    RestartColouring(a.y());
    Changed();
}

void TrpSyntaxMemo::DeleteLine()
{
    AddUndo();
    FAllowLinesChange = false;
    const int y = FPos.y();
    if (y < FText.Count()) {
        FText.lines_.removeAt(y - 1);
        FText.objects_.removeAt(y - 1);
        for (int& bookmark : FBookmarks) {
            if (bookmark == y - 1)
                bookmark = -1;
            else if (bookmark > y - 1)
                --bookmark;
        }
        for (int i = FBreakPoints.size() - 1; i >= 0; --i) {
            if (FBreakPoints[i].line == y)
                FBreakPoints.removeAt(i);
            else if (FBreakPoints[i].line > y)
                --FBreakPoints[i].line;
        }
        SetPos(1, y);
    } else {
        FText.lines_[y - 1].clear();
        SetPos(1, y);
    }
    ClearSelection();
    FMoved = true;
    RestartColouring(y);
    Changed();
}

void TrpSyntaxMemo::CtrlLeft()
{
    const QString line = FText[FPos.y() - 1];
    int x = std::min(FPos.x(), static_cast<int>(line.size()) + 1) - 1; // 0-based index of the caret
    while (x > 0 && !IsWordChar(line[x - 1]))
        --x;
    while (x > 0 && IsWordChar(line[x - 1]))
        --x;
    SetPos(x + 1, FPos.y());
}

void TrpSyntaxMemo::CtrlRight()
{
    const QString line = FText[FPos.y() - 1];
    const QString trimmed = TrimRight(line);
    int x = FPos.x() - 1;
    if (x >= trimmed.size()) {
        if (FPos.y() < FText.Count())
            SetPos(1, FPos.y() + 1);
        return;
    }
    while (x < line.size() && IsWordChar(line[x]))
        ++x;
    while (x < line.size() && !IsWordChar(line[x]))
        ++x;
    if (x >= line.size())
        x = trimmed.size();
    SetPos(x + 1, FPos.y());
}

void TrpSyntaxMemo::keyPressEvent(QKeyEvent* event)
{
    if (HandleKey(event)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool altGr = event->modifiers() & Qt::GroupSwitchModifier;
    if (!text.isEmpty()) {
        const QChar c = text[0];
        if ((c == u' ' && (!ctrl || altGr)) || c.unicode() >= 33) {
            if (c.unicode() != 127) {
                TypeText(text);
                event->accept();
                return;
            }
        }
    }
    TrpScrollWin::keyPressEvent(event);
}

bool TrpSyntaxMemo::HandleKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const int key = event->key();
    const QPoint before = FPos;
    bool navigation = true;
    switch (key) {
    case Qt::Key_Left:
        if (ctrl)
            CtrlLeft();
        else
            SetPos(FPos.x() - 1, FPos.y());
        break;
    case Qt::Key_Right:
        if (ctrl)
            CtrlRight();
        else
            SetPos(FPos.x() + 1, FPos.y());
        break;
    case Qt::Key_Up: SetPos(FPos.x(), FPos.y() - 1); break;
    case Qt::Key_Down: SetPos(FPos.x(), FPos.y() + 1); break;
    case Qt::Key_Home: SetPos(1, ctrl ? 1 : FPos.y()); break;
    case Qt::Key_End: {
        const int y = ctrl ? FText.Count() : FPos.y();
        SetPos(TrimRight(FText[y - 1]).size() + 1, y);
        break;
    }
    case Qt::Key_PageUp: {
        const int page = std::max(1, FWindowSize.height());
        if (FOffset.y() > page) {
            FOffset.setY(FOffset.y() - (page - 1));
            SetPos(FPos.x(), FPos.y() - (page - 1));
        } else if (FOffset.y() == 0) {
            SetPos(FPos.x(), 1);
        } else {
            const int up = FOffset.y();
            FOffset.setY(0);
            SetPos(FPos.x(), FPos.y() - up);
        }
        break;
    }
    case Qt::Key_PageDown: {
        const int page = std::max(1, FWindowSize.height());
        if (FOffset.y() + page < FText.Count()) {
            FOffset.setY(FOffset.y() + (page - 1));
            SetPos(FPos.x(), FPos.y() + (page - 1));
        } else {
            FOffset.setY(FText.Count() - 1);
            SetPos(FPos.x(), FText.Count());
        }
        break;
    }
    default:
        navigation = false;
    }
    if (navigation) {
        FTempPos = before;
        if (shift)
            ExtendSelection();
        else
            ClearSelection();
        FMoved = true;
        viewport()->update();
        return true;
    }

    if (ctrl && key >= Qt::Key_0 && key <= Qt::Key_9 && !shift) {
        GotoBookmark(key - Qt::Key_0);
        return true;
    }
    if (ctrl && shift) {
        // With Shift the digit keys report their shifted symbols on most layouts: map them back.
        static const QString kShifted = QStringLiteral(")!@#$%^&*(");
        int digit = -1;
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            digit = key - Qt::Key_0;
        else if (key < 128 && kShifted.indexOf(QChar(key)) >= 0)
            digit = kShifted.indexOf(QChar(key));
        if (digit >= 0) {
            const int line = FPos.y() - 1;
            const int current = IsBookmark(line);
            if (current == -1)
                AddBookmark(line, digit);
            else if (current == digit)
                DeleteBookmark(digit);
            return true;
        }
    }

    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (mods & ~Qt::KeypadModifier)
            return true;
        const QString line = FText[FPos.y() - 1];
        int indent = FPos.x() - 1;
        if (!line.trimmed().isEmpty()) {
            indent = 0;
            while (indent < line.size() && line[indent] == u' ')
                ++indent;
        }
        SetSelText(kCrLf);
        if (indent > 0)
            SetSelText(QString(indent, u' '));
        FMoved = true;
        return true;
    }
    case Qt::Key_Tab:
        if (ctrl)
            return false;
        SetSelText(QString(8 - (FPos.x() % 8), u' '));
        FMoved = true;
        return true;
    case Qt::Key_Backspace: {
        if (ctrl) {
            SelectWordAt(FPos.x(), FPos.y());
            if (HasSelection())
                SetSelText(QString());
            FMoved = true;
            return true;
        }
        if (HasSelection()) {
            SetSelText(QString());
        } else if (FPos.x() > 1) {
            const QString line = FText[FPos.y() - 1];
            int first = 0;
            while (first < line.size() && line[first] == u' ')
                ++first;
            if (line.trimmed().isEmpty() || first + 1 == FPos.x()) {
                Unindent();
            } else {
                FSelStart = QPoint(FPos.x() - 1, FPos.y());
                FSelEnd = FPos;
                SetSelText(QString());
            }
        } else if (FPos.y() > 1) {
            const int y = FPos.y();
            const QString previous = TrimRight(FText[y - 2]);
            FSelStart = QPoint(previous.size() + 1, y - 1);
            FSelEnd = QPoint(1, y);
            AddUndo();
            FText.lines_[y - 2] = previous;
            SetSelText(QString());
        }
        FMoved = true;
        return true;
    }
    case Qt::Key_Delete: {
        if (ctrl) {
            const QString line = FText[FPos.y() - 1];
            int start = FPos.x(); // 0-based index of the column right of the caret
            if (start < line.size() && IsWordChar(line[start])) {
                int s = start, e = start;
                while (s > 0 && IsWordChar(line[s - 1]))
                    --s;
                while (e < line.size() && IsWordChar(line[e]))
                    ++e;
                if (FPos.x() - 1 >= e)
                    FSelStart = QPoint(FPos.x() - 1, FPos.y()), FSelEnd = FPos;
                else
                    FSelStart = QPoint(s + 1, FPos.y()), FSelEnd = QPoint(e + 1, FPos.y());
            } else if (FPos.x() > 1) {
                FSelStart = QPoint(FPos.x() - 1, FPos.y());
                FSelEnd = FPos;
            }
            if (HasSelection()) {
                if (shift)
                    CutToClipboard();
                else
                    SetSelText(QString());
            }
            FMoved = true;
            return true;
        }
        if (shift) {
            CutToClipboard();
            return true;
        }
        const QString line = FText[FPos.y() - 1];
        if (HasSelection()) {
            SetSelText(QString());
        } else if (FPos.x() <= line.size()) {
            FSelStart = FPos;
            FSelEnd = QPoint(FPos.x() + 1, FPos.y());
            SetSelText(QString());
        } else if (FPos.y() < FText.Count()) {
            AddUndo();
            const int y = FPos.y();
            const QString next = TrimRight(FText[y]);
            FText.lines_[y - 1] = line + QString(FPos.x() - 1 - line.size(), u' ');
            FSelStart = FPos;
            FSelEnd = QPoint(1, y + 1);
            const QPoint caret = FPos;
            FText.lines_[y] = next;
            SetSelText(QString());
            SetPos(caret.x(), caret.y());
        }
        FMoved = true;
        return true;
    }
    case Qt::Key_Insert:
        if (ctrl)
            CopyToClipboard();
        else if (shift)
            PasteFromClipboard();
        FMoved = true;
        return true;
    default:
        break;
    }
    if (!ctrl)
        return false;
    switch (key) {
    case Qt::Key_C: CopyToClipboard(); return true;
    case Qt::Key_V: PasteFromClipboard(); return true;
    case Qt::Key_X: CutToClipboard(); return true;
    case Qt::Key_A: SelectAll(); return true;
    case Qt::Key_Z: Undo(); return true;
    case Qt::Key_Y: DeleteLine(); return true;
    case Qt::Key_Space:
        if (!OnCodeCompletion)
            return false;
        ShowCompletion();
        return true;
    case Qt::Key_I: BlockIndent(true); return true;
    case Qt::Key_U: BlockIndent(false); return true;
    default: return false;
    }
}

void TrpSyntaxMemo::CopyToClipboard()
{
    if (HasSelection())
        QApplication::clipboard()->setText(SelText());
}

void TrpSyntaxMemo::CutToClipboard()
{
    if (!HasSelection())
        return;
    CopyToClipboard();
    SetSelText(QString());
    viewport()->update();
}

void TrpSyntaxMemo::PasteFromClipboard()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        SetSelText(text);
}

void TrpSyntaxMemo::SelectAll()
{
    FSelStart = QPoint(1, 1);
    FSelEnd = QPoint(FText[FText.Count() - 1].size() + 1, FText.Count());
    viewport()->update();
}

bool TrpSyntaxMemo::Find(const QString& searchText, bool caseSensitive, int& searchFrom)
{
    // A one-line text is searched too.
    if (searchText.isEmpty())
        return false;
    if (searchFrom == 0)
        searchFrom = 1;
    QString text = FText.Text();
    QString needle = searchText;
    if (!caseSensitive) {
        text = text.toUpper();
        needle = needle.toUpper();
    }
    const int found = text.indexOf(needle, searchFrom - 1);
    if (found < 0)
        return false;
    const QPoint start = PosOfPlain(found + 1);
    SetPos(start.x(), start.y());
    FSelStart = start;
    FSelEnd = QPoint(start.x() + searchText.size(), start.y());
    searchFrom = found + 1 + searchText.size();
    viewport()->update();
    return true;
}

// ---- bookmarks and breakpoints ---------------------------------------------------------------

int TrpSyntaxMemo::IsBookmark(int line) const
{
    for (int i = 0; i < 10; ++i) {
        if (FBookmarks[i] == line)
            return i;
    }
    return -1;
}

void TrpSyntaxMemo::AddBookmark(int line, int number)
{
    if (number < 0 || number >= 10)
        return;
    FBookmarks[number] = line;
    viewport()->update();
}

void TrpSyntaxMemo::DeleteBookmark(int number)
{
    if (number < 0 || number >= 10)
        return;
    FBookmarks[number] = -1;
    viewport()->update();
}

void TrpSyntaxMemo::GotoBookmark(int number)
{
    if (number < 0 || number > 9 || FBookmarks[number] == -1)
        return;
    FTempPos = FPos;
    ClearSelection();
    FMoved = true;
    SetPos(1, FBookmarks[number] + 1);
}

void TrpSyntaxMemo::AddBreakPoint(int number, const QString& condition)
{
    FBreakPoints.append({condition, number});
    viewport()->update();
}

void TrpSyntaxMemo::ToggleBreakPoint(int number, const QString& condition)
{
    if (IsBreakPoint(number))
        DeleteBreakPoint(number);
    else
        AddBreakPoint(number, condition);
}

void TrpSyntaxMemo::DeleteBreakPoint(int number)
{
    for (int i = 0; i < FBreakPoints.size(); ++i) {
        if (FBreakPoints[i].line == number) {
            FBreakPoints.removeAt(i);
            break;
        }
    }
    viewport()->update();
}

bool TrpSyntaxMemo::IsBreakPoint(int number) const
{
    for (const TrpBreakPoint& point : FBreakPoints) {
        if (point.line == number)
            return true;
    }
    return false;
}

QString TrpSyntaxMemo::GetBreakPointCondition(int number) const
{
    for (const TrpBreakPoint& point : FBreakPoints) {
        if (point.line == number)
            return point.condition;
    }
    return QString();
}

void TrpSyntaxMemo::DeleteF4BreakPoints()
{
    for (int i = FBreakPoints.size() - 1; i >= 0; --i) {
        if (FBreakPoints[i].condition == QLatin1String("F4"))
            FBreakPoints.removeAt(i);
    }
    viewport()->update();
}

// ---- syntax ----------------------------------------------------------------------------------

void TrpSyntaxMemo::SetSyntax(const QString& name)
{
    FSyntax = name;
    FParser.SetKeywords(QStringList());
    if (name.compare(QLatin1String("SQL"), Qt::CaseInsensitive) == 0) {
        FParser.SetKeywords(QString::fromLatin1(kSqlKeywords).split(u','));
        FParser.SetCommentLine1(QStringLiteral("--"));
        FParser.SetCommentLine2(QString());
        FParser.SetCommentBlock1(QStringLiteral("/*,*/"));
        FParser.SetCommentBlock2(QString());
        FParser.SetStringQuotes(QStringLiteral("\""));
        FParser.SetHexSequence(QStringLiteral("0x"));
    } else {
        QStringList languages;
        GetLanguageList(languages);
        bool known = false;
        for (const QString& language : languages)
            known = known || language.compare(name, Qt::CaseInsensitive) == 0;
        if (known) {
            QByteArray bytes = GetLanguageGrammar(name).toUtf8();
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            TrpXMLDocument document;
            document.LoadFromStream(buffer);
            TrpXMLItem* parser = document.Root()->FindItem(QStringLiteral("parser"));
            for (int i = 0; parser && i < parser->Count(); ++i) {
                TrpXMLItem* item = parser->Items(i);
                const QString tag = item->Name().toLower();
                const QString value = item->Prop(u"text");
                if (tag == QLatin1String("keywords")) {
                    for (int k = 0; k < item->Count(); ++k)
                        FParser.AddKeyword(item->Items(k)->Name());
                } else if (tag == QLatin1String("identchars")) {
                    FParser.ConstructCharset(value);
                } else if (tag == QLatin1String("commentline1")) {
                    FParser.SetCommentLine1(value);
                } else if (tag == QLatin1String("commentline2")) {
                    FParser.SetCommentLine2(value);
                } else if (tag == QLatin1String("commentblock1")) {
                    FParser.SetCommentBlock1(value);
                } else if (tag == QLatin1String("commentblock2")) {
                    FParser.SetCommentBlock2(value);
                } else if (tag == QLatin1String("stringquotes")) {
                    FParser.SetStringQuotes(value);
                } else if (tag == QLatin1String("hexsequence")) {
                    FParser.SetHexSequence(value);
                }
            }
        }
    }
    RestartColouring(1);
}

void TrpSyntaxMemo::RestartColouring(int line)
{
    FUpdatingSyntax = true;
    const int keep = line < 2 ? 0 : line - 2;
    while (FSynStrings.size() > keep)
        FSynStrings.removeLast();
    FUpdatingSyntax = false;
    viewport()->update();
}

void TrpSyntaxMemo::ClassifyUpTo(int n)
{
    n = std::min(n, FText.Count() - 1);
    if (n < FSynStrings.size())
        return;
    FUpdatingSyntax = true;
    for (int i = FSynStrings.size(); i <= n; ++i)
        FSynStrings.append(FText[i]);
    QString p = FSynStrings.join(kCrLf);
    FParser.SetText(FText.Text());
    int start = 1;
    const int last = p.lastIndexOf(QChar(1));
    if (last >= 0) {
        int first = last;
        while (first > 0 && p[first - 1] == QChar(1))
            --first;
        start = first + 1;
    }
    FParser.SetPosition(start);
    const int end = p.size();
    auto mark = [&p](int from, int to, ushort code) { // 1-based, to exclusive
        for (int i = from; i < to && i <= p.size(); ++i) {
            if (p[i - 1].unicode() > 31)
                p[i - 1] = QChar(code);
        }
    };
    while (FParser.Position() <= end) {
        int from = FParser.Position();
        FParser.SkipSpaces();
        mark(from, FParser.Position(), 3);
        from = FParser.Position();
        if (from > end)
            break;
        const QString word = FParser.GetWord();
        if (!word.isEmpty()) {
            mark(from, FParser.Position(), FParser.IsKeyWord(word) ? 4 : 1);
        } else if (FParser.SetPosition(from), !FParser.GetNumber().isEmpty()) {
            mark(from, FParser.Position(), 6);
        } else if (FParser.SetPosition(from), !FParser.GetString().isEmpty()) {
            mark(from, FParser.Position(), 5);
        } else {
            FParser.SetPosition(from + 1);
            mark(from, from + 1, 1);
        }
        if (FParser.Position() <= from)
            FParser.SetPosition(from + 1);
    }
    FSynStrings = SplitLines(p);
    while (FSynStrings.size() > n + 1)
        FSynStrings.removeLast();
    FUpdatingSyntax = false;
}

QString TrpSyntaxMemo::ClassLine(int y)
{
    ClassifyUpTo(y - 1);
    return y - 1 < FSynStrings.size() ? FSynStrings[y - 1] : QString();
}

// ---- completion ------------------------------------------------------------------------------

QString TrpSyntaxMemo::CompletionName() const
{
    const QString text = TrimRight(FText[FPos.y() - 1]).left(FPos.x()).trimmed();
    QString name;
    bool single = false, dbl = false;
    int level = 0;
    for (int i = text.size() - 2; i >= 0; --i) {
        const QChar c = text[i];
        if (c == u'\'' && !dbl) {
            single = !single;
            continue;
        }
        if (c == u'"' && !single) {
            dbl = !dbl;
            continue;
        }
        if (single || dbl)
            continue;
        if (c == u')' || c == u']') {
            ++level;
            continue;
        }
        if ((c == u'(' || c == u'[') && level > 0) {
            --level;
            continue;
        }
        if (level > 0)
            continue;
        if (c == u' ' || c == u'.' || IsWordChar(c))
            name.prepend(c);
        else
            break;
    }
    return name;
}

// ---- painting --------------------------------------------------------------------------------

void TrpSyntaxMemo::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PaintTo(painter);
}

void TrpSyntaxMemo::PaintTo(QPainter& painter)
{
    const QSize client = viewport()->size();
    const QPalette pal = palette();
    painter.fillRect(QRect(QPoint(0, 0), client), pal.color(QPalette::Base));
    if (FGutterWidth > 0) {
        painter.fillRect(QRect(0, 0, FGutterWidth - 1, client.height()), pal.color(QPalette::Button));
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(FGutterWidth - 4, 0, FGutterWidth - 4, client.height());
    }
    if (FUpdatingSyntax)
        return;
    const int lines = client.height() / FCharHeight + 1;
    const int columns = (client.width() - FGutterWidth) / FCharWidth + 1;
    const int lastLine = std::min(FText.Count(), FOffset.y() + lines);
    ClassifyUpTo(lastLine - 1);
    QPoint selA, selB;
    OrderedSelection(selA, selB);
    auto selected = [&](int x, int y) {
        if (!HasSelection())
            return false;
        const int v = y * kMaxLength + x;
        return v >= Compare(selA) && v < Compare(selB);
    };
    const QFont* fonts[7] = {&TextAttr, &TextAttr, &TextAttr, &CommentAttr, &KeywordAttr, &StringAttr, &NumberAttr};
    const QColor fontColours[7] = {pal.color(QPalette::Text), pal.color(QPalette::Text), pal.color(QPalette::Text),
                                   QColor(0, 0, 128), pal.color(QPalette::Text), QColor(0, 0, 128),
                                   QColor(0, 128, 0)};
    for (int y = FOffset.y() + 1; y <= lastLine; ++y) {
        const QString line = FText[y - 1];
        const QString classes = y - 1 < FSynStrings.size() ? FSynStrings[y - 1] : QString();
        const int top = (y - FOffset.y() - 1) * FCharHeight;
        const bool active = y == FActiveLine;
        int x = FGutterWidth;
        auto drawRun = [&](const QString& run, int cls, bool block) {
            if (run.isEmpty())
                return;
            const int width = run.size() * FCharWidth;
            const QRect rect(x, top, width, FCharHeight);
            painter.fillRect(rect, block ? BlockColor : pal.color(QPalette::Base));
            const int style = cls >= 1 && cls <= 6 ? cls : 1;
            painter.setFont(*fonts[style]);
            painter.setPen(block ? BlockFontColor : fontColours[style]);
            const int baseline = top + QFontMetrics(*fonts[style]).ascent();
            if (FIsMonoType) {
                painter.drawText(x, baseline, run);
            } else {
                for (int i = 0; i < run.size(); ++i)
                    painter.drawText(x + i * FCharWidth, baseline, QString(run[i]));
            }
            x += width;
        };
        QString run;
        int runClass = -1;
        bool runBlock = false;
        for (int col = FOffset.x() + 1; col <= line.size() && col <= FOffset.x() + columns; ++col) {
            const int cls = col - 1 < classes.size() ? classes[col - 1].unicode() : 1;
            const bool block = active || selected(col, y);
            if (!run.isEmpty() && (cls != runClass || block != runBlock)) {
                drawRun(run, runClass, runBlock);
                run.clear();
            }
            runClass = cls;
            runBlock = block;
            run.append(line[col - 1].unicode() < 32 ? QChar(u' ') : line[col - 1]);
        }
        drawRun(run, runClass, runBlock);
        if (active || selected(1, y) || (HasSelection() && Compare(QPoint(line.size() + 1, y)) >= Compare(selA)
                                         && Compare(QPoint(line.size() + 1, y)) < Compare(selB))) {
            const int blanks = columns - line.size() + FOffset.x() + 3;
            if (blanks > 0)
                painter.fillRect(QRect(x, top, blanks * FCharWidth, FCharHeight), BlockColor);
        }
        if (FGutterWidth > 0) {
            const int bookmark = IsBookmark(y - 1);
            if (bookmark >= 0) {
                painter.fillRect(QRect(13, top + 3, 10, 11), Qt::black);
                painter.fillRect(QRect(12, top + 4, 10, 11), QColor(0, 128, 0));
                QFont small(QStringLiteral("Tahoma"), 7);
                small.setBold(true);
                painter.setFont(small);
                painter.setPen(Qt::white);
                painter.drawText(QRect(12, top + 4, 10, 11), Qt::AlignCenter, QString::number(bookmark));
            }
            if (FText.Object(y - 1) == 1) {
                painter.setPen(Qt::black);
                painter.setBrush(Qt::blue);
                painter.drawEllipse(QRect(4, top + 7, 4, 4));
                painter.setPen(Qt::cyan);
                painter.drawPoint(5, top + 7);
                painter.drawPoint(4, top + 8);
                painter.setBrush(Qt::NoBrush);
            }
            if (IsBreakPoint(y)) {
                painter.setPen(Qt::red);
                painter.setBrush(Qt::red);
                painter.drawEllipse(QRect(2, top + 4, 11, 11));
                painter.setBrush(Qt::NoBrush);
            }
        }
    }
    // The text being composed, underlined at the caret.
    if (!FPreedit.isEmpty() && FPos.x() > FOffset.x()) {
        const QRect rect(FGutterWidth + (FPos.x() - FOffset.x() - 1) * FCharWidth,
                         (FPos.y() - FOffset.y() - 1) * FCharHeight, FPreedit.size() * FCharWidth, FCharHeight);
        painter.fillRect(rect, pal.color(QPalette::Base));
        painter.setFont(TextAttr);
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(rect.left(), rect.top() + QFontMetrics(TextAttr).ascent(), FPreedit);
        painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    }
    // The caret: a 2-pixel bar one cell high.
    if (hasFocus() && FPos.x() > FOffset.x()) {
        const QString line = FText[FPos.y() - 1];
        const int cx = FGutterWidth + (FPos.x() - FOffset.x() - 1) * FCharWidth;
        const int cy = (FPos.y() - FOffset.y() - 1) * FCharHeight;
        Q_UNUSED(line);
        painter.fillRect(QRect(cx, cy, 2, FCharHeight), pal.color(QPalette::Text));
    }
    if (!FMessage.isEmpty()) {
        QFont bar(QStringLiteral("Tahoma"), 8);
        bar.setBold(true);
        const int h = QFontMetrics(bar).height() + 6;
        painter.fillRect(QRect(0, client.height() - h, client.width(), h), QColor(128, 0, 0));
        painter.setFont(bar);
        painter.setPen(Qt::white);
        painter.drawText(6, client.height() - h + 3 + QFontMetrics(bar).ascent(), FMessage);
    }
}

// ---- mouse -----------------------------------------------------------------------------------

QPoint TrpSyntaxMemo::MousePos(const QPoint& pt) const
{
    return QPoint((pt.x() - FGutterWidth) / FCharWidth + FOffset.x() + 1, pt.y() / FCharHeight + FOffset.y() + 1);
}

void TrpSyntaxMemo::mousePressEvent(QMouseEvent* event)
{
    if (FDoubleClicked) {
        FDoubleClicked = false;
        return;
    }
    FMoved = true;
    setFocus();
    FDown = true;
    FToggleBreakPointDown = event->position().x() < FGutterWidth;
    const QPoint p = MousePos(event->position().toPoint());
    FTempPos = FPos;
    SetPos(p.x(), p.y());
    if (event->modifiers() & Qt::ShiftModifier)
        ExtendSelection();
    else
        ClearSelection();
}

void TrpSyntaxMemo::mouseMoveEvent(QMouseEvent* event)
{
    viewport()->setCursor(event->position().x() < FGutterWidth ? Qt::ArrowCursor : Qt::IBeamCursor);
    if (!FDown)
        return;
    const QPoint p = MousePos(event->position().toPoint());
    if (!HasSelection())
        FSelStart = FPos;
    SetPos(p.x(), p.y());
    FSelEnd = FPos;
    viewport()->update();
}

void TrpSyntaxMemo::mouseReleaseEvent(QMouseEvent* event)
{
    // Qt sends no second press for a double-click: the next press is a new one.
    FDoubleClicked = false;
    FDown = false;
    if (FToggleBreakPointDown && event->position().x() < FGutterWidth)
        ToggleBreakPoint(FPos.y(), QString());
    FToggleBreakPointDown = false;
}

void TrpSyntaxMemo::mouseDoubleClickEvent(QMouseEvent* event)
{
    FDoubleClicked = true;
    FDown = false;
    // The press before has placed the caret there already; a lone double-click event does too.
    const QPoint p = MousePos(event->position().toPoint());
    SetPos(p.x(), p.y());
    SelectWordAt(FPos.x(), FPos.y());
}

void TrpSyntaxMemo::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    SetVertPosition(std::clamp(VertPosition() - steps * SmallChange, 0, FText.Count()));
    FOffset.setY(VertPosition());
    viewport()->update();
    event->accept();
}

// ---- completion and input method -------------------------------------------------------------

namespace {

const int kKindRole = Qt::UserRole;

// The leading identifier of a completion item: its first character and the word characters after it.
int LeadingIdentifierLength(const QString& item)
{
    if (item.isEmpty())
        return 0;
    int n = 1;
    while (n < item.size()) {
        const ushort u = item[n].unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 127))
            break;
        ++n;
    }
    return n;
}

// Draws an item as its kind word, the identifier in bold and the rest plain.
class CompletionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.color(QPalette::Highlight)
                                                : option.palette.color(QPalette::Base));
        const QString text = index.data(Qt::DisplayRole).toString();
        const int kind = index.data(kKindRole).toInt();
        QString word;
        QColor colour;
        if (text.contains(QLatin1String("Constructor"))) {
            word = QStringLiteral("constructor");
            colour = Qt::blue;
        } else if (kind <= 1) {
            word = kind == 0 ? QStringLiteral("var") : QStringLiteral("property");
            colour = Qt::blue;
        } else {
            word = kind == 2 ? QStringLiteral("procedure") : QStringLiteral("function");
            colour = Qt::magenta;
        }
        QFont font = option.font;
        const QFontMetrics metrics(font);
        const int baseline = option.rect.top() + 2 + metrics.ascent();
        painter->setFont(font);
        painter->setPen(selected ? QColor(Qt::white) : colour);
        painter->drawText(option.rect.left() + 2, baseline, word);
        const int x = option.rect.left() + metrics.horizontalAdvance(QStringLiteral("constructor")) + 6;
        const int n = LeadingIdentifierLength(text);
        QFont bold = font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(selected ? QColor(Qt::white) : QColor(Qt::black));
        const QString ident = text.left(n);
        painter->drawText(x, baseline, ident);
        const int rx = x + QFontMetrics(bold).horizontalAdvance(ident);
        QString rest = text.mid(n);
        const int cut = rest.indexOf(QLatin1String(": Constructor"));
        if (cut >= 0)
            rest = rest.left(cut);
        painter->setFont(font);
        painter->drawText(rx, baseline, rest);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(QFontMetrics(option.font).height() + 2);
        return size;
    }
};

} // namespace

void TrpSyntaxMemo::ShowCompletion()
{
    if (!OnCodeCompletion)
        return;
    if (FCompletionForm)
        FCompletionForm->close();
    FCompletionForm = new TrpPopupForm(this, platform::Clock::System());
    FCompletionLB = new QListWidget(FCompletionForm);
    FCompletionLB->setFrameShape(QFrame::NoFrame);
    FCompletionLB->setSortingEnabled(true);
    FCompletionLB->setItemDelegate(new CompletionDelegate(FCompletionLB));
    auto* layout = new QVBoxLayout(FCompletionForm);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FCompletionLB);
    OnCodeCompletion(this, CompletionName(), *FCompletionLB);
    FCompletionLB->sortItems();
    if (FCompletionLB->count() > 0)
        FCompletionLB->setCurrentRow(0);
    QListWidget* list = FCompletionLB;
    QObject::connect(list, &QListWidget::itemDoubleClicked, this,
                     [this](QListWidgetItem* item) { PickCompletion(item->text()); });
    list->installEventFilter(this);
    const QPoint cell((FPos.x() - FOffset.x() - 1) * FCharWidth + FGutterWidth,
                      (FPos.y() - FOffset.y()) * FCharHeight);
    FCompletionForm->setGeometry(QRect(viewport()->mapToGlobal(cell), QSize(300, 100)));
    FCompletionForm->show();
    list->setFocus();
}

bool TrpSyntaxMemo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FCompletionLB && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (QListWidgetItem* item = FCompletionLB->currentItem())
                PickCompletion(item->text());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            FCompletionForm->close();
            setFocus();
            return true;
        }
    }
    return TrpScrollWin::eventFilter(watched, event);
}

void TrpSyntaxMemo::PickCompletion(const QString& item)
{
    const int n = LeadingIdentifierLength(item);
    const QString ident = item.left(n);
    if (n < item.size() && item[n] == u'(') {
        SetSelText(ident + QStringLiteral("()"));
        SetPos(FPos.x() - 1, FPos.y());
    } else {
        SetSelText(ident);
    }
    if (FCompletionForm)
        FCompletionForm->close();
    setFocus();
}

void TrpSyntaxMemo::inputMethodEvent(QInputMethodEvent* event)
{
    // The commit replaces the composition as one insertion: one undo step.
    if (!event->commitString().isEmpty()) {
        FMoved = true;
        SetSelText(event->commitString());
        FMoved = true;
    }
    FPreedit = event->preeditString();
    viewport()->update();
    event->accept();
}

QVariant TrpSyntaxMemo::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle:
        return QRect(FGutterWidth + (FPos.x() - FOffset.x() - 1) * FCharWidth,
                     (FPos.y() - FOffset.y() - 1) * FCharHeight, 2, FCharHeight);
    case Qt::ImFont:
        return FFont;
    case Qt::ImCursorPosition:
        return FPos.x() - 1;
    case Qt::ImSurroundingText:
        return FText[FPos.y() - 1];
    case Qt::ImEnabled:
        return true;
    default:
        return TrpScrollWin::inputMethodQuery(query);
    }
}

void TrpSyntaxMemo::focusInEvent(QFocusEvent* event)
{
    TrpScrollWin::focusInEvent(event);
    viewport()->update();
}

void TrpSyntaxMemo::focusOutEvent(QFocusEvent* event)
{
    TrpScrollWin::focusOutEvent(event);
    viewport()->update();
}

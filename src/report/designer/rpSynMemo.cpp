// The script editor's text and caret: the line list, the editor's lines and positions, scrolling,
// editing with undo snapshots, bookmarks and breakpoints.

#include "report/designer/rpSynMemo.h"
#include "report/designer/rpSynMemo_internal.h"

#include "report/model/rpFontResolver.h"

#include <QFontMetrics>

namespace SynMemoText {

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

} // namespace SynMemoText

using SynMemoText::SplitLines;

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

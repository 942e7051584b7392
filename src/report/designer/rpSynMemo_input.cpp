// The script editor's input: keys, the clipboard, find, the mouse, the input method and focus.

#include "report/designer/rpSynMemo.h"
#include "report/designer/rpSynMemo_internal.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

using SynMemoText::kCrLf;

// ---- keys ------------------------------------------------------------------------------------

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

// ---- input method and focus -----------------------------------------------------------------

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

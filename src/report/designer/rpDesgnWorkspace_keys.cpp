// The workspace's keyboard handling, its object commands (delete, edit, group, ungroup) and
// the in-place text editor.

#include "rpDesgnWorkspace.h"

#include "platform/Exceptions.h"
#include "report/core/Rounding.h"
#include "report/core/gui/QtConversions.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpGraphicUtils.h"

#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

int R(double value)
{
    return static_cast<int>(RoundHalfEvenClamped(value, -1000000000, 1000000000));
}

struct Box {
    double L, T, R, B;
};

Box AbsBox(const TrpComponent* c)
{
    return Box{c->AbsLeft(), c->AbsTop(), c->AbsLeft() + c->Width(), c->AbsTop() + c->Height()};
}

// Rectangles meet when they overlap or touch.
bool Meet(const Box& a, const Box& b)
{
    return a.L <= b.R && b.L <= a.R && a.T <= b.B && b.T <= a.B;
}

bool HasLine(const TrpComponent* c, TrpFrameType side)
{
    const auto* view = dynamic_cast<const TrpView*>(c);
    return view != nullptr && (view->Frame().Typ & SetBit(side)) != 0;
}

} // namespace

void TrpDesignerWorkspace::keyPressEvent(QKeyEvent* event)
{
    KeyDown(event->key(), event->modifiers());
}

void TrpDesignerWorkspace::keyReleaseEvent(QKeyEvent* event)
{
    KeyUp(event->key(), event->modifiers());
}

bool TrpDesignerWorkspace::focusNextPrevChild(bool)
{
    // Tab selects the next object instead of leaving the workspace.
    return false;
}

void TrpDesignerWorkspace::KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (FDisableUpdate || FObjects == nullptr || FSelectedObjects == nullptr)
        return;
    if (shift & Qt::AltModifier) {
        const QPoint p = mapFromGlobal(QCursor::pos());
        MouseMove(shift, p.x(), p.y());
    }
    int dx = 0;
    int dy = 0;
    switch (key) {
    case Qt::Key_Tab:
        SelectNext();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EditObject();
        return;
    case Qt::Key_Delete:
        DeleteObjects();
        return;
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        return;
    }
    if (shift & Qt::ControlModifier)
        MoveSelection(dx, dy, shift);
    else if (shift & Qt::ShiftModifier)
        ResizeSelection(dx, dy);
    else if (shift & Qt::AltModifier)
        DockToNeighbour(dx, dy);
    else
        SelectNeighbour(dx, dy);
    AdjustBands(true);
}

void TrpDesignerWorkspace::KeyUp(int, Qt::KeyboardModifiers)
{
    if (!FDisableUpdate)
        FlushModified();
}

void TrpDesignerWorkspace::MoveSelection(int dx, int dy, Qt::KeyboardModifiers shift)
{
    if (SelectionCount() == 0)
        return;
    double sx = dx;
    double sy = dy;
    if ((shift & Qt::ShiftModifier) || FGridType == gtChar) {
        sx = dx * FGridX;
        sy = dy * FGridY;
    }
    for (TrpComponent* c : CountedSelection()) {
        c->SetLeft(c->Left() + sx);
        c->SetTop(c->Top() + sy);
    }
    FModifyFlag = true;
    NotifyPosition(SelectionBounds());
    update();
}

void TrpDesignerWorkspace::ResizeSelection(int dx, int dy)
{
    if (SelectionCount() == 0)
        return;
    for (TrpComponent* c : CountedSelection()) {
        c->SetWidth(c->Width() + dx * FGridX);
        if (c->Width() < 0)
            c->SetWidth(c->Width() - dx * FGridX);
        c->SetHeight(c->Height() + dy * FGridY);
        if (c->Height() < 0)
            c->SetHeight(c->Height() - dy * FGridY);
    }
    FModifyFlag = true;
    NotifyPosition(SelectionBounds());
    update();
}

TrpComponent* TrpDesignerWorkspace::FindNeighbour(TrpComponent* p, int dx, int dy, bool stripOnly) const
{
    const Box pb = AbsBox(p);
    const double big = 1e10;
    Box strip{};
    Box half{};
    if (dx > 0) {
        strip = {pb.L, pb.T, big, pb.B};
        half = {pb.L, 0, big, big};
    } else if (dx < 0) {
        strip = {-big, pb.T, pb.R, pb.B};
        half = {0, 0, pb.R, big};
    } else if (dy > 0) {
        strip = {pb.L, pb.T, pb.R, big};
        half = {0, pb.T, big, big};
    } else {
        strip = {pb.L, -big, pb.R, pb.B};
        half = {0, 0, big, pb.B};
    }
    const bool horizontal = dx != 0;
    TrpComponent* best = nullptr;
    double bestDistance = big;
    for (TrpComponent* c : LiveObjects()) {
        if (c == p || c->IsBand() || dynamic_cast<TrpReportComponent*>(c) == nullptr)
            continue;
        const Box s = AbsBox(c);
        double gx = 0;
        double gy = 0;
        if (dx > 0)
            gx = s.L - pb.R;
        else if (dx < 0)
            gx = pb.L - s.R;
        else
            gx = s.L <= pb.L ? pb.L - s.R : s.L - pb.R;
        if (dy > 0)
            gy = s.T - pb.B;
        else if (dy < 0)
            gy = pb.T - s.B;
        else
            gy = s.T <= pb.T ? pb.T - s.B : s.T - pb.B;
        double distance = big;
        if (Meet(s, strip)) {
            if (dx > 0)
                distance = s.L - pb.L;
            else if (dx < 0)
                distance = pb.R - s.R;
            else if (dy > 0)
                distance = s.T - pb.T;
            else
                distance = pb.B - s.B;
        } else if (!stripOnly && Meet(s, half) &&
                   ((horizontal && gx < gy) || (!horizontal && gy < gx) || (gx == 0 && gy == 0))) {
            distance = std::sqrt(gx * gx + gy * gy) * (width() + height());
        } else {
            continue;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}

void TrpDesignerWorkspace::SelectNeighbour(int dx, int dy)
{
    const std::vector<TrpComponent*> selected = CountedSelection();
    if (selected.size() != 1)
        return;
    TrpComponent* found = FindNeighbour(selected[0], dx, dy, false);
    if (found == nullptr)
        return;
    SelectOnly(found);
    NotifyPosition(SelectionBounds());
    AfterSelectionChange();
}

void TrpDesignerWorkspace::DockToNeighbour(int dx, int dy)
{
    const std::vector<TrpComponent*> selected = CountedSelection();
    if (selected.size() != 1)
        return;
    TrpComponent* p = selected[0];
    TrpComponent* n = FindNeighbour(p, dx, dy, true);
    if (n == nullptr)
        return;
    const bool dotMatrix = dynamic_cast<TrpDMPMemoView*>(p) != nullptr && dynamic_cast<TrpDMPMemoView*>(n) != nullptr;
    double gap = 0;
    if (dotMatrix) {
        if (dx < 0 && (HasLine(p, ftLeft) || HasLine(n, ftRight)))
            gap = rp1CharX;
        else if (dx > 0 && (HasLine(p, ftRight) || HasLine(n, ftLeft)))
            gap = rp1CharX;
        else if (dy < 0 && (HasLine(p, ftTop) || HasLine(n, ftBottom)))
            gap = rp1CharY;
        else if (dy > 0 && (HasLine(p, ftBottom) || HasLine(n, ftTop)))
            gap = rp1CharY;
    }
    if (dx > 0)
        p->SetLeft(n->Left() - p->Width() - gap);
    else if (dx < 0)
        p->SetLeft(n->Left() + n->Width() + gap);
    else if (dy > 0)
        p->SetTop(n->Top() - p->Height() - gap);
    else
        p->SetTop(n->Top() + n->Height() + gap);
    FModifyFlag = true;
    NotifyPosition(SelectionBounds());
    update();
}

void TrpDesignerWorkspace::SelectNext()
{
    const std::vector<TrpComponent*> selected = CountedSelection();
    if (selected.size() != 1)
        return;
    TrpComponent* c = selected[0];
    if (c->IsBand()) {
        if (!c->Objects().empty())
            SelectOnly(c->Objects().front());
    } else if (c->IsView() && c->Parent() != nullptr) {
        const std::vector<TrpComponent*>& siblings = c->Parent()->Objects();
        const auto at = std::find(siblings.begin(), siblings.end(), c);
        if (at != siblings.end())
            SelectOnly(std::next(at) != siblings.end() ? *std::next(at) : siblings.front());
    }
    NotifyPosition(SelectionBounds());
    AfterSelectionChange();
}

void TrpDesignerWorkspace::EditObject()
{
    if (FSelectedObjects != nullptr && FSelectedObjects->size() == 1 && OnEdit)
        OnEdit(this);
}

void TrpDesignerWorkspace::DeleteObjects()
{
    if (SelectionCount() == 0)
        return;
    auto removeFromLists = [&](const TrpComponent* object) {
        for (TrpObjectList* list : {FObjects, FSelectedObjects}) {
            list->erase(std::remove_if(list->begin(), list->end(),
                                       [&](const QPointer<TrpComponent>& p) { return p.data() == object; }),
                        list->end());
        }
    };
    auto finish = [&] {
        FSelectedObjects->erase(std::remove_if(FSelectedObjects->begin(), FSelectedObjects->end(),
                                               [](const QPointer<TrpComponent>& p) { return p == nullptr; }),
                                FSelectedObjects->end());
        if (FSelectedObjects->empty())
            ClearSelectionToPage();
        AdjustBands(true);
        FModifyFlag = true;
        FlushModified();
        AfterSelectionChange();
    };
    const TrpObjectList walk = *FSelectedObjects;
    for (const QPointer<TrpComponent>& pointer : walk) {
        TrpComponent* object = pointer.data();
        if (object == nullptr || object == FPage || object->IsReport() || object->IsPage())
            continue;
        if ((object->Restrictions() & SetBit(rfDontDelete)) != 0)
            continue;
        if (object->IsAncestor()) {
            const QString message = QStringLiteral("Could not delete ") + object->Name() +
                                    QStringLiteral(", it was introduced in the ancestor report");
            finish();
            throw platform::Exception(message.toStdString());
        }
        // Every descendant leaves both lists before anything is freed.
        for (TrpComponent* descendant : object->AllObjects())
            removeFromLists(descendant);
        removeFromLists(object);
        delete object;
    }
    finish();
}

void TrpDesignerWorkspace::GroupObjects()
{
    const std::vector<TrpComponent*> selected = CountedSelection();
    for (TrpComponent* c : selected)
        c->SetGroupIndex(0);
    std::set<int32_t> used;
    for (TrpComponent* c : LiveObjects())
        used.insert(c->GroupIndex());
    int32_t n = 1;
    while (used.count(n) != 0)
        ++n;
    for (TrpComponent* c : selected)
        c->SetGroupIndex(n);
}

void TrpDesignerWorkspace::UngroupObjects()
{
    for (TrpComponent* c : CountedSelection())
        c->SetGroupIndex(0);
}

// --- TInplaceMemo

TInplaceMemo::TInplaceMemo(TrpDesignerWorkspace* workspace) : TUnicodeMemo(workspace), FDesigner(workspace)
{
    hide();
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
    setObjectName(QStringLiteral("InplaceMemo"));
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (editing_)
            AutoGrow();
    });
}

void TInplaceMemo::Edit(TrpCustomMemoView* c)
{
    if (c == nullptr)
        return;
    FObject = c;
    QString text = c->Text();
    if (!text.isEmpty() && text.back() == u'\n')
        text.chop(2);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const double s = FDesigner->Scale();
    editing_ = false;
    setPlainText(text);
    setGeometry(R(c->AbsLeft() * s), R(c->AbsTop() * s), R(c->Width() * s + 1), R(c->Height() * s + 1));
    FOriginalSize = size();
    setFont(ReportQFont(c->Font(), s));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, c->Color == clNone ? QColor(Qt::white) : ToQColor(c->Color));
    setPalette(palette);
    document()->setModified(false);
    editing_ = true;
    show();
    raise();
    setFocus();
    selectAll();
}

void TInplaceMemo::AutoGrow()
{
    const double h = -std::max(1, font().pixelSize() > 0 ? font().pixelSize() : QFontMetrics(font()).height());
    const int n = std::max(1, document()->blockCount());
    const double needed = n * (3 - h) + 4;
    if (needed > height() - h)
        resize(width(), static_cast<int>(needed));
    const QFontMetrics metrics(font());
    int widest = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        widest = std::max(widest, metrics.horizontalAdvance(block.text()));
    if (width() < widest + 6)
        resize(widest + 6, height());
}

void TInplaceMemo::EditDone()
{
    TrpCustomMemoView* c = FObject.data();
    editing_ = false;
    if (c != nullptr) {
        bool changed = false;
        const double s = FDesigner->Scale();
        if (document()->isModified()) {
            c->Memo().SetText(toPlainText());
            changed = true;
        }
        if (width() != FOriginalSize.width()) {
            c->SetWidth((width() + 5) / s);
            changed = true;
        }
        if (height() != FOriginalSize.height()) {
            c->SetHeight((height() + 5) / s);
            changed = true;
        }
        if (changed) {
            FDesigner->FModifyFlag = true;
            FDesigner->FlushModified();
        }
    }
    document()->setModified(false);
    hide();
    FDesigner->update();
    FDesigner->SetCursorCode(0);
}

void TInplaceMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        document()->setModified(false);
        resize(FOriginalSize);
        EditDone();
        return;
    }
    TUnicodeMemo::keyPressEvent(event);
}

void TInplaceMemo::mousePressEvent(QMouseEvent* event)
{
    if (!rect().contains(event->position().toPoint())) {
        TUnicodeMemo::mousePressEvent(event);
        return;
    }
    EditDone();
}

// The workspace's mouse editing: hover state, press (hit test), drag (move, size, scale, band
// sizing, rubber band, insertion), release and double click.

#include "rpDesgnWorkspace.h"

#include "report/core/Cursors.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass_pages.h"

#include <QAbstractScrollArea>
#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

int R(double value)
{
    return static_cast<int>(RoundHalfEvenClamped(value, -1000000000, 1000000000));
}

// The designer's own cursors, drawn here: the pencil of line insertion, the hand, the zoom
// glass and the format brush.
QCursor OwnCursor(int code)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    int hotX = 0;
    int hotY = 0;
    switch (code) {
    case crPencil:
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({{1, 1}, {5, 3}, {18, 16}, {16, 18}, {3, 5}}));
        p.drawLine(QPointF(14, 16), QPointF(16, 14));
        break;
    case crHand:
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 10, 14, 14), 4, 4);
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(6 + i * 3.5, 3 + (i % 3), 3.5, 10), 1.5, 1.5);
        hotX = 13;
        hotY = 13;
        break;
    case crZoom:
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1, 1, 13, 13));
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(QPointF(12, 12), QPointF(19, 19));
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(4.5, 7.5), QPointF(10.5, 7.5));
        p.drawLine(QPointF(7.5, 4.5), QPointF(7.5, 10.5));
        hotX = 7;
        hotY = 7;
        break;
    case crFormat:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 1, 12, 7));
        p.drawLine(QPointF(12, 8), QPointF(12, 12));
        p.setBrush(Qt::black);
        p.drawRect(QRectF(10.5, 12, 3, 9));
        hotX = 12;
        hotY = 21;
        break;
    default:
        break;
    }
    p.end();
    return QCursor(pixmap, hotX, hotY);
}

bool IsContainer(const TrpComponent* c)
{
    return (c->rpComponentStyle() & SetBit(csContainer)) != 0;
}

} // namespace

void TrpDesignerWorkspace::SetCursorCode(int code)
{
    FCursorCode = code;
    if (code == crPencil || code == crHand || code == crZoom || code == crFormat)
        setCursor(OwnCursor(code));
    else
        setCursor(QCursor(static_cast<Qt::CursorShape>(QtCursorShapeOf(code))));
}

void TrpDesignerWorkspace::ApplyCursorForType()
{
    static const int kCursors[] = {crDefault, -8, -8, -6, -6, -9, -9, -7, -7, -3, -3};
    SetCursorCode(kCursors[FCT]);
}

QWidget* TrpDesignerWorkspace::ScrollingParent() const
{
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (qobject_cast<QAbstractScrollArea*>(w) != nullptr)
            return w;
    }
    return nullptr;
}

// --- Qt event handlers

void TrpDesignerWorkspace::mousePressEvent(QMouseEvent* event)
{
    // Alt held while the mouse rested: the hover state follows Alt first, as a key press of Alt
    // has it do, so that a plain Alt+click opens the in-place editor.
    if ((event->modifiers() & Qt::AltModifier) && !FMouseDown && FMode1 != dmInplaceEdit)
        MouseMove(event->modifiers(), event->position().x(), event->position().y());
    MouseDown(event->button(), event->modifiers(), event->position().x(), event->position().y());
}

void TrpDesignerWorkspace::mouseMoveEvent(QMouseEvent* event)
{
    MouseMove(event->modifiers(), event->position().x(), event->position().y());
}

void TrpDesignerWorkspace::mouseReleaseEvent(QMouseEvent* event)
{
    MouseUp(event->button(), event->modifiers(), event->position().x(), event->position().y());
}

void TrpDesignerWorkspace::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The double click stands for the second press, which DblClick has the press swallow.
    DblClick();
    MouseDown(event->button(), event->modifiers(), event->position().x(), event->position().y());
}

void TrpDesignerWorkspace::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    ClearInsertionMarks();
}

// --- insertion

void TrpDesignerWorkspace::ParkInsertion()
{
    if (FMode1 == dmInsertLine) {
        const double d = FGridType == gtChar ? 2 : 1;
        FInsertion.Left = -FGridX / d;
        FInsertion.Top = -FGridY / d;
    } else {
        FInsertion.Left = -1000 * FGridX;
        FInsertion.Top = -1000 * FGridY;
    }
}

void TrpDesignerWorkspace::SetInsertion(const ScriptClassInfo* AClass, double AWidth, double AHeight, uint16_t AFlag)
{
    FInsertion.ComponentClass = AClass;
    FInsertion.Width = FInsertion.OriginalWidth = AWidth;
    FInsertion.Height = FInsertion.OriginalHeight = AHeight;
    FInsertion.Flags = AFlag;
    if (AClass == nullptr) {
        FMode = dmSelect;
        FMode1 = dmNone;
        SetCursorCode(crDefault);
        update();
        return;
    }
    FMode = dmInsert;
    if (AClass->InheritsFrom(TrpCustomLineView::Class())) {
        SetCursorCode(crPencil);
        FMode1 = dmInsertLine;
    } else {
        SetCursorCode(-3);
        FMode1 = dmInsertObject;
    }
    ParkInsertion();
    update();
}

void TrpDesignerWorkspace::ClearInsertionMarks()
{
    if (!FMouseDown && (FMode1 == dmInsertObject || FMode1 == dmInsertLine)) {
        ParkInsertion();
        update();
    }
    if (FMode == dmDrag)
        SetInsertion(nullptr, 0, 0, 0);
}

// --- movement adjustment and hit test

void TrpDesignerWorkspace::SnapToGuides(double&, double&, bool&)
{
}

void TrpDesignerWorkspace::AdjustDelta(Qt::KeyboardModifiers shift, double& kx, double& ky, bool& skip)
{
    skip = false;
    bool align = FGridAlign;
    if (shift & Qt::AltModifier)
        align = !align;
    if (align) {
        if (std::fabs(kx) < FGridX && std::fabs(ky) < FGridY) {
            skip = true;
        } else {
            kx = std::trunc(kx / FGridX) * FGridX;
            ky = std::trunc(ky / FGridY) * FGridY;
        }
    }
    if (!skip && kx == 0 && ky == 0)
        skip = true;
    SnapToGuides(kx, ky, skip);
}

bool TrpDesignerWorkspace::HitTest(TrpComponent* c, double X, double Y) const
{
    const double x = X / FScale;
    const double y = Y / FScale;
    double left = c->AbsLeft();
    double top = c->AbsTop();
    double right = left + c->Width();
    double bottom = top + c->Height();
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (c->Width() == 0) {
        left -= 4;
        right += 4;
    } else if (c->Height() == 0) {
        top -= 4;
        bottom += 4;
    }
    if (auto* band = dynamic_cast<TrpBand*>(c)) {
        if (band->Vertical)
            left -= FBandHeader;
        else
            top -= FBandHeader;
    }
    auto* line = dynamic_cast<TrpLineView*>(c);
    if (line != nullptr && line->Diagonal && c->Width() != 0 && c->Height() != 0) {
        if (x < left - 5 || x > right + 5 || y < top - 5 || y > bottom + 5)
            return false;
        const double k = c->Height() / c->Width();
        const double distance = std::fabs(std::cos(std::atan(k)) * (k * (x - c->AbsLeft()) - (y - c->AbsTop())));
        return distance < 5;
    }
    return x >= left && x <= right && y >= top && y <= bottom;
}

// --- press

void TrpDesignerWorkspace::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y)
{
    if (FDisableUpdate || FMouseDown || FObjects == nullptr || FSelectedObjects == nullptr)
        return;
    if (FDblClicked) {
        FDblClicked = false;
        return;
    }
    if (FInplaceMemo->isVisible())
        FInplaceMemo->EditDone();
    const TrpObjectList copy = SelectionCopy();
    setFocus(Qt::MouseFocusReason);
    FMouseDown = true;
    FLastMousePointX = X / FScale;
    FLastMousePointY = Y / FScale;

    if (FMode1 == dmNone && (shift & Qt::ControlModifier)) {
        ClearSelectionToPage();
        FMode1 = dmSelectionRect;
        FSelectionRect = TrpRect{X, Y, X, Y};
    }
    if (FMode1 == dmNone) {
        TrpComponent* picked = nullptr;
        const std::vector<TrpComponent*> objects = LiveObjects();
        for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
            TrpComponent* c = *it;
            if (dynamic_cast<TrpReportComponent*>(c) == nullptr || !HitTest(c, X, Y))
                continue;
            if (!IsContainer(c)) {
                picked = c;
            } else if (c->ContainerMouseDown(c, R(X), R(Y))) {
                picked = c;
                FMode1 = dmContainer;
            } else {
                const std::vector<TrpComponent*> inner = c->ContainerObjects();
                for (auto jt = inner.rbegin(); jt != inner.rend() && picked == nullptr; ++jt) {
                    if ((*jt)->Visible() && HitTest(*jt, X, Y))
                        picked = *jt;
                }
                if (picked == nullptr)
                    picked = c;
            }
            break;
        }
        if (picked == nullptr) {
            ClearSelectionToPage();
            FMode1 = dmSelectionRect;
            FSelectionRect = TrpRect{X, Y, X, Y};
        } else {
            if (!(shift & Qt::ShiftModifier)) {
                if (!IsSelected(picked))
                    SelectOnly(picked);
            } else if (IsSelected(picked)) {
                FSelectedObjects->erase(std::remove_if(FSelectedObjects->begin(), FSelectedObjects->end(),
                                                       [&](const QPointer<TrpComponent>& p) { return p.data() == picked; }),
                                        FSelectedObjects->end());
            } else {
                FSelectedObjects->push_back(picked);
            }
            // The page never stays selected with objects.
            FSelectedObjects->erase(std::remove_if(FSelectedObjects->begin(), FSelectedObjects->end(),
                                                   [&](const QPointer<TrpComponent>& p) {
                                                       return p == nullptr || p.data() == FPage;
                                                   }),
                                    FSelectedObjects->end());
            if (!FSelectedObjects->empty()) {
                if (FMode1 != dmContainer)
                    FMode1 = dmMove;
            } else {
                ClearSelectionToPage();
                FMode1 = dmNone;
            }
        }
    }
    const std::vector<TrpComponent*> selected = CountedSelection();
    if (FMode1 == dmMove && selected.size() == 1 && selected[0]->IsBand() && (shift & Qt::AltModifier))
        AdjustBands(false);
    if (FMode1 == dmScale) {
        const TrpRect b = SelectionBounds();
        FScaleRect = TrpRect{b.Left, b.Top, b.Left + b.Right, b.Top + b.Bottom};
        FScaleRect1 = FScaleRect;
        for (TrpComponent* c : selected)
            c->SetOriginalRect(TrpRect{c->AbsLeft(), c->AbsTop(), c->Width(), c->Height()});
    }
    if (FMode1 == dmInsertLine) {
        FInsertion.Width = 0;
        FInsertion.Height = 0;
    }
    if (SelectionDiffers(copy))
        AfterSelectionChange();
    else
        update();
    if (button == Qt::RightButton && OnPopupMenu) {
        FMode1 = dmNone;
        FMouseDown = false;
        update();
        OnPopupMenu(this, mapToGlobal(QPoint(R(X), R(Y))));
        return;
    }
    if (FMode1 == dmMove) {
        FSavedAlign.clear();
        for (TrpComponent* c : CountedSelection()) {
            if (auto* view = dynamic_cast<TrpView*>(c)) {
                FSavedAlign.push_back(view->Align);
                view->Align = baNone;
            }
        }
    }
}

// --- move

void TrpDesignerWorkspace::MouseMove(Qt::KeyboardModifiers shift, double X, double Y)
{
    if (FDisableUpdate || FObjects == nullptr || FSelectedObjects == nullptr)
        return;
    const double S = FScale;
    const double x = X / S;
    const double y = Y / S;
    bool haveRect = false;
    TrpRect reported;

    if (!FMouseDown) {
        // 1. Handles of the selection.
        if (FMode == dmSelect) {
            const std::vector<TrpComponent*> selected = CountedSelection();
            auto inZone = [&](double hx, double hy) { return x >= hx - 2 && x <= hx + 3 && y >= hy - 2 && y <= hy + 3; };
            if (selected.size() == 1) {
                TrpComponent* c = selected[0];
                const double L = c->AbsLeft();
                const double T = c->AbsTop();
                const double Rt = L + c->Width();
                const double B = T + c->Height();
                const std::pair<double, double> handles[] = {{L, T},          {Rt, B},          {Rt, T},
                                                             {L, B},          {Rt, (T + B) / 2}, {L, (T + B) / 2},
                                                             {(L + Rt) / 2, T}, {(L + Rt) / 2, B}};
                FCT = ct0;
                for (int i = 0; i < 8; ++i) {
                    if (inZone(handles[i].first, handles[i].second)) {
                        FCT = static_cast<TrpCursorType>(i + 1);
                        break;
                    }
                }
                if (auto* line = dynamic_cast<TrpCustomLineView*>(c)) {
                    if (line->Diagonal) {
                        FCT = FCT == ct1 ? ct9 : (FCT == ct2 ? ct10 : ct0);
                    } else {
                        if (c->Width() == 0)
                            FCT = (FCT == ct1 || FCT == ct3) ? ct7 : ((FCT == ct2 || FCT == ct4) ? ct8 : ct0);
                        if (c->Height() == 0)
                            FCT = (FCT == ct1 || FCT == ct4) ? ct6 : ((FCT == ct2 || FCT == ct3) ? ct5 : ct0);
                    }
                }
                FMode1 = FCT == ct0 ? dmNone : dmSize;
                ApplyCursorForType();
            } else if (selected.empty()) {
                SetCursorCode(crDefault);
            } else {
                TrpComponent* handle = ScaleHandleObject();
                if (handle != nullptr &&
                    inZone(handle->AbsLeft() + handle->Width(), handle->AbsTop() + handle->Height())) {
                    FMode1 = dmScale;
                    SetCursorCode(-8);
                } else {
                    FMode1 = dmNone;
                    SetCursorCode(crDefault);
                }
            }
        }
        // 2. Band edges.
        if (FMode == dmSelect) {
            if (FMode1 != dmSize && FMode1 != dmScale) {
                SetCursorCode(crDefault);
                FMode1 = dmNone;
                for (TrpComponent* object : LiveObjects()) {
                    auto* band = dynamic_cast<TrpBand*>(object);
                    if (band == nullptr)
                        continue;
                    const bool onEdge = band->Vertical ? std::fabs(x - (band->Left() + band->Width())) <= 2
                                                       : std::fabs(y - (band->Top() + band->Height())) <= 2;
                    if (onEdge) {
                        FMode1 = dmSizeBand;
                        SetCursorCode(band->Vertical ? -14 : -15);
                        FSizedBand = band;
                        break;
                    }
                }
            }
        }
        // 3. Alt: in-place editing of the memo under the mouse.
        if (shift & Qt::AltModifier) {
            SetCursorCode(crDefault);
            FMode1 = dmNone;
            for (TrpComponent* object : LiveObjects()) {
                auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
                if (memo == nullptr)
                    continue;
                const double tx = memo->Width() == 0 ? 4 : 0;
                const double ty = memo->Width() == 0 ? 0 : 4;
                if (x >= memo->AbsLeft() - tx && x <= memo->AbsLeft() + memo->Width() + tx &&
                    y >= memo->AbsTop() - ty && y <= memo->AbsTop() + memo->Height() + ty) {
                    FInplaceObject = memo;
                    SetCursorCode(-4);
                    FMode1 = dmInplaceEdit;
                    break;
                }
            }
        }
        // 4. The insertion follows the mouse.
        if (FMode1 == dmInsertLine || FMode1 == dmInsertObject) {
            double kx = x - FInsertion.Left;
            double ky = y - FInsertion.Top;
            bool skip = false;
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FInsertion.Left += kx;
            FInsertion.Top += ky;
            update();
            haveRect = true;
            reported = TrpRect{FInsertion.Left, FInsertion.Top, FInsertion.Width, FInsertion.Height};
        }
        // 5. Containers under the mouse.
        if (FMode == dmSelect && FMode1 != dmSize && FMode1 != dmScale) {
            for (TrpComponent* object : LiveObjects()) {
                if (!IsContainer(object))
                    continue;
                if (x >= object->AbsLeft() && x <= object->AbsLeft() + object->Width() && y >= object->AbsTop() - 4 &&
                    y <= object->AbsTop() + object->Height() + 4)
                    object->ContainerMouseMove(object, R(X), R(Y));
            }
        }
    } else {
        double kx = x - FLastMousePointX;
        double ky = y - FLastMousePointY;
        bool skip = false;
        switch (FMode1) {
        case dmSizeBand: {
            TrpBand* band = FSizedBand.data();
            if (band == nullptr)
                break;
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FModifyFlag = true;
            if (band->Vertical)
                band->SetWidth(band->Width() + kx);
            else
                band->SetHeight(band->Height() + ky);
            FitBandToObjects(band);
            AdjustBands(true);
            FLastMousePointX += kx;
            FLastMousePointY += ky;
            haveRect = true;
            reported = TrpRect{band->Left(), band->Top(), band->Width(), band->Height()};
            update();
            break;
        }
        case dmMove: {
            if (shift & Qt::ShiftModifier)
                break;
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            std::vector<TrpComponent*> selected = CountedSelection();
            if (!FModifyFlag && selected.size() == 1) {
                auto* band = dynamic_cast<TrpBand*>(selected[0]);
                if (band != nullptr && band->Vertical) {
                    for (TrpComponent* object : LiveObjects()) {
                        if (object->IsView() && object->Left() >= band->Left() - 0.0001 &&
                            object->Left() + object->Width() <= band->Left() + band->Width() + 0.0001 &&
                            !IsSelected(object))
                            FSelectedObjects->push_back(object);
                    }
                    selected = CountedSelection();
                }
            }
            if (!selected.empty()) {
                auto* first = dynamic_cast<TrpBand*>(selected[0]);
                if (first != nullptr && first->Vertical)
                    ky = 0;
            }
            FModifyFlag = true;
            for (TrpComponent* c : selected) {
                c->SetLeft(c->Left() + kx);
                if (c->Parent() != nullptr && IsSelected(c->Parent()))
                    continue;
                const double newTop = c->Top() + ky;
                if (c->IsAncestor() && c->IsView() && c->Parent() != nullptr &&
                    (newTop < -0.0001 || newTop > c->Parent()->Height()))
                    continue;
                c->SetTop(newTop);
            }
            FLastMousePointX += kx;
            FLastMousePointY += ky;
            haveRect = true;
            reported = SelectionBounds();
            update();
            break;
        }
        case dmSize: {
            const std::vector<TrpComponent*> selected = CountedSelection();
            if (selected.size() != 1)
                break;
            TrpComponent* o = selected[0];
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FModifyFlag = true;
            const double savedLeft = o->Left();
            const double savedTop = o->Top();
            const double savedWidth = o->Width();
            const double savedHeight = o->Height();
            switch (FCT) {
            case ct1:
            case ct9:
                o->SetBounds(o->Left() + kx, o->Top() + ky, o->Width() - kx, o->Height() - ky);
                break;
            case ct2:
            case ct10:
                o->SetWidth(o->Width() + kx);
                o->SetHeight(o->Height() + ky);
                break;
            case ct3:
                o->SetTop(o->Top() + ky);
                o->SetWidth(o->Width() + kx);
                o->SetHeight(o->Height() - ky);
                break;
            case ct4:
                o->SetLeft(o->Left() + kx);
                o->SetWidth(o->Width() - kx);
                o->SetHeight(o->Height() + ky);
                break;
            case ct5:
                o->SetWidth(o->Width() + kx);
                break;
            case ct6:
                o->SetLeft(o->Left() + kx);
                o->SetWidth(o->Width() - kx);
                break;
            case ct7:
                o->SetTop(o->Top() + ky);
                o->SetHeight(o->Height() - ky);
                break;
            case ct8:
                o->SetHeight(o->Height() + ky);
                break;
            default:
                break;
            }
            auto* line = dynamic_cast<TrpLineView*>(o);
            if (line == nullptr || !line->Diagonal) {
                const bool negativeWidth = o->Width() < 0;
                const bool negativeHeight = o->Height() < 0;
                if (negativeWidth || negativeHeight) {
                    static const TrpCursorType kWidth[] = {ct0, ct3, ct4, ct1, ct2, ct6, ct5, ct0, ct0, ct0, ct0};
                    static const TrpCursorType kHeight[] = {ct0, ct4, ct3, ct2, ct1, ct0, ct0, ct8, ct7, ct0, ct0};
                    static const TrpCursorType kBoth[] = {ct0, ct2, ct1, ct4, ct3, ct0, ct0, ct0, ct0, ct0, ct0};
                    FCT = negativeWidth && negativeHeight ? kBoth[FCT] : (negativeWidth ? kWidth[FCT] : kHeight[FCT]);
                    if (negativeWidth) {
                        o->SetLeft(o->Left() + o->Width());
                        o->SetWidth(-o->Width());
                    }
                    if (negativeHeight) {
                        o->SetTop(o->Top() + o->Height());
                        o->SetHeight(-o->Height());
                    }
                    ApplyCursorForType();
                }
            }
            if (o->Left() < 0)
                o->SetLeft(0);
            if (o->IsAncestor() && o->IsView() && o->Parent() != nullptr &&
                (o->Top() < -0.0001 || o->Top() > o->Parent()->Height()))
                o->SetBounds(savedLeft, savedTop, savedWidth, savedHeight);
            if (auto* band = dynamic_cast<TrpBand*>(o)) {
                if (FCT == ct1 || FCT == ct3 || FCT == ct7) {
                    for (TrpComponent* child : band->Objects())
                        child->SetTop(child->Top() - ky);
                }
                FitBandToObjects(band);
                AdjustBands(true);
            }
            FLastMousePointX += kx;
            FLastMousePointY += ky;
            haveRect = true;
            reported = TrpRect{o->Left(), o->Top(), o->Width(), o->Height()};
            update();
            break;
        }
        case dmScale: {
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FModifyFlag = true;
            if (FScaleRect.Right + kx >= FScaleRect.Left && FScaleRect.Bottom + ky >= FScaleRect.Top) {
                FScaleRect.Right += kx;
                FScaleRect.Bottom += ky;
            }
            const double w1 = FScaleRect1.Right - FScaleRect1.Left;
            const double h1 = FScaleRect1.Bottom - FScaleRect1.Top;
            const double fx = w1 != 0 ? (FScaleRect.Right - FScaleRect.Left) / w1 : 1;
            const double fy = h1 != 0 ? (FScaleRect.Bottom - FScaleRect.Top) / h1 : 1;
            for (TrpComponent* c : CountedSelection()) {
                const TrpRect& saved = c->OriginalRect();
                double top = (saved.Top - FScaleRect1.Top) * fy + FScaleRect1.Top;
                if (c->Parent() != nullptr && c->Parent()->IsBand())
                    top -= c->Parent()->Top();
                c->SetBounds((saved.Left - FScaleRect1.Left) * fx + FScaleRect1.Left, top, saved.Right * fx,
                             saved.Bottom * fy);
            }
            FLastMousePointX += kx;
            FLastMousePointY += ky;
            haveRect = true;
            reported = TrpRect{FScaleRect.Right - FScaleRect.Left, FScaleRect.Bottom - FScaleRect.Top, fx, fy};
            update();
            break;
        }
        case dmSelectionRect:
            FSelectionRect.Right = X;
            FSelectionRect.Bottom = Y;
            update();
            break;
        case dmInsertLine: {
            kx = x - (FInsertion.Left + FInsertion.Width);
            ky = y - (FInsertion.Top + FInsertion.Height);
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FInsertion.Width += kx;
            FInsertion.Height += ky;
            haveRect = true;
            reported = TrpRect{FInsertion.Left, FInsertion.Top, FInsertion.Width, FInsertion.Height};
            update();
            break;
        }
        case dmInsertObject: {
            kx = x - FInsertion.Left;
            ky = y - FInsertion.Top;
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FInsertion.Width = kx;
            FInsertion.Height = ky;
            haveRect = true;
            reported = TrpRect{FInsertion.Left, FInsertion.Top, FInsertion.Width, FInsertion.Height};
            update();
            break;
        }
        case dmContainer: {
            AdjustDelta(shift, kx, ky, skip);
            if (skip)
                return;
            FModifyFlag = true;
            const std::vector<TrpComponent*> selected = CountedSelection();
            if (!selected.empty())
                selected[0]->ContainerMouseMove(selected[0], R(X), R(Y));
            FLastMousePointX += kx;
            FLastMousePointY += ky;
            update();
            break;
        }
        default:
            break;
        }
        if (FCursorCode != crHand)
            ScrollIntoView(X, Y);
    }

    if (FMouseDown || SelectionCount() == 0) {
        if (!haveRect)
            reported = SelectionCount() > 0 ? SelectionBounds() : TrpRect{x, y, 0, 0};
        NotifyPosition(reported);
    }
}

void TrpDesignerWorkspace::ScrollIntoView(double X, double Y)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(ScrollingParent());
    if (area == nullptr)
        return;
    const double px = X + R(FMargins.left() * FScale);
    const double py = Y + R(FMargins.top() * FScale);
    auto bring = [](QScrollBar* bar, double point, int client) {
        const int p = bar->value();
        if (point > client + p)
            bar->setValue(p + R(point - client - p));
        else if (point < p)
            bar->setValue(R(point));
    };
    bring(area->horizontalScrollBar(), px, area->viewport()->width());
    bring(area->verticalScrollBar(), py, area->viewport()->height());
}

void TrpDesignerWorkspace::FitBandToObjects(TrpBand* band)
{
    double bottom = 0;
    double top = 0;
    for (TrpComponent* c : band->Objects()) {
        if (c->IsView() && (c->GetAlign() == baBottom || c->GetAlign() == baClient))
            continue;
        bottom = std::max(bottom, c->Top() + c->Height());
        top = std::min(top, c->Top());
    }
    if (bottom - top > band->Height())
        band->SetHeight(bottom - top);
    if (top < 0) {
        for (TrpComponent* c : band->Objects())
            c->SetTop(c->Top() - top);
    }
}

// --- release

void TrpDesignerWorkspace::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y)
{
    Q_UNUSED(shift);
    if (FDisableUpdate || FObjects == nullptr || FSelectedObjects == nullptr)
        return;
    if (button != Qt::LeftButton) {
        // A press of another button started no gesture that a left release would end.
        if (FMouseDown) {
            FMouseDown = false;
            if (FMode != dmInsert)
                FMode1 = dmNone;
            update();
        }
        return;
    }
    const TrpObjectList copy = SelectionCopy();
    FMouseDown = false;
    const double S = FScale;

    if (FMode == dmInsert && FInsertion.ComponentClass != nullptr) {
        const double L = FInsertion.Left;
        const double T = FInsertion.Top;
        const double W = FInsertion.Width;
        const double H = FInsertion.Height;
        double left = L;
        double top = T;
        double right = L + W;
        double bottom = T + H;
        const ScriptClassInfo* cls = FInsertion.ComponentClass;
        if (cls->InheritsFrom(TrpCustomLineView::Class()) && FInsertion.Flags == 0) {
            if (W < 0)
                right = L - W;
            if (H < 0)
                bottom = T - H;
            if (W < 0 && -W > std::fabs(H)) {
                left = L + W;
                right = L;
            }
            if (H < 0 && -H > std::fabs(W)) {
                top = T + H;
                bottom = T;
            }
        } else if (!cls->InheritsFrom(TrpLineView::Class())) {
            if ((W >= 0 && W < 4) || (H > 0 && H < 4)) {
                right = L + FInsertion.OriginalWidth;
                bottom = T + FInsertion.OriginalHeight;
            }
            if (left > right)
                std::swap(left, right);
            if (top > bottom)
                std::swap(top, bottom);
        }
        FInsertion.Left = RoundTo8Decimals(left);
        FInsertion.Top = RoundTo8Decimals(top);
        FInsertion.Width = RoundTo8Decimals(right - left);
        FInsertion.Height = RoundTo8Decimals(bottom - top);
        if (OnInsert)
            OnInsert(this);
    }
    if (FMode1 == dmSelectionRect) {
        const double l = std::min(FSelectionRect.Left, FSelectionRect.Right) / S;
        const double r = std::max(FSelectionRect.Left, FSelectionRect.Right) / S;
        const double t = std::min(FSelectionRect.Top, FSelectionRect.Bottom) / S;
        const double b = std::max(FSelectionRect.Top, FSelectionRect.Bottom) / S;
        FSelectionRect = TrpRect{l * S, t * S, r * S, b * S};
        auto touches = [&](TrpComponent* c) {
            double cl = c->AbsLeft();
            double ct = c->AbsTop();
            double cr = cl + c->Width();
            double cb = ct + c->Height();
            if (cl > cr)
                std::swap(cl, cr);
            if (ct > cb)
                std::swap(ct, cb);
            if (cr < l || cl > r || cb < t || ct > b)
                return false;
            auto* line = dynamic_cast<TrpLineView*>(c);
            if (line != nullptr && line->Diagonal && c->Width() != 0 && c->Height() != 0) {
                const double x0 = c->AbsLeft();
                const double y0 = c->AbsTop();
                auto side = [&](double px, double py) {
                    const double cross = c->Width() * (py - y0) - c->Height() * (px - x0);
                    return cross > 0 ? 1 : (cross < 0 ? -1 : 0);
                };
                const int s1 = side(l, t);
                const int s2 = side(r, t);
                const int s3 = side(l, b);
                const int s4 = side(r, b);
                if (s1 == s2 && s2 == s3 && s3 == s4 && s1 != 0)
                    return false;
            }
            return true;
        };
        FSelectedObjects->clear();
        for (TrpComponent* c : LiveObjects()) {
            if (dynamic_cast<TrpReportComponent*>(c) == nullptr || c->IsBand())
                continue;
            if (IsContainer(c)) {
                for (TrpComponent* inner : c->ContainerObjects()) {
                    if (inner->Visible() && touches(inner) && !IsSelected(inner))
                        FSelectedObjects->push_back(inner);
                }
            } else if (touches(c) && !IsSelected(c)) {
                FSelectedObjects->push_back(c);
            }
        }
        if (FSelectedObjects->empty())
            ClearSelectionToPage();
    }
    if (FMode1 == dmInplaceEdit && FInplaceObject != nullptr) {
        SelectOnly(FInplaceObject.data());
        AfterSelectionChange();
        FInplaceMemo->Edit(FInplaceObject.data());
        FMode1 = dmNone;
    }
    if (FMode1 == dmMove || FMode1 == dmSize) {
        size_t aligned = 0;
        for (TrpComponent* c : CountedSelection()) {
            if (FMode1 == dmMove) {
                if (auto* view = dynamic_cast<TrpView*>(c)) {
                    if (aligned < FSavedAlign.size())
                        view->Align = FSavedAlign[aligned++];
                }
            }
            c->SetBounds(RoundTo8Decimals(c->Left()), RoundTo8Decimals(c->Top()), RoundTo8Decimals(c->Width()),
                         RoundTo8Decimals(c->Height()));
        }
        FSavedAlign.clear();
    }
    if (FMode1 == dmSizeBand && FSizedBand != nullptr)
        FSizedBand->SetHeight(RoundTo8Decimals(FSizedBand->Height()));
    if (FMode1 == dmContainer) {
        const std::vector<TrpComponent*> selected = CountedSelection();
        if (!selected.empty())
            selected[0]->ContainerMouseUp(selected[0], R(X), R(Y));
    }
    AdjustBands(true);
    if (SelectionDiffers(copy))
        AfterSelectionChange();
    else
        update();
    FlushModified();
    FCT = ct0;
    if (!(FMode == dmInsert && FInsertion.ComponentClass != nullptr))
        FMode1 = dmNone;
    NotifyPosition(SelectionCount() > 0 ? SelectionBounds() : TrpRect{X / S, Y / S, 0, 0});
}

void TrpDesignerWorkspace::DblClick()
{
    if (FDisableUpdate)
        return;
    EditObject();
    FDblClicked = true;
}

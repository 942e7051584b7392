#include "rpDesgnWorkspace.h"

#include "rpDsgnImages.h"

#include "report/core/NumberText.h"
#include "report/core/Rounding.h"
#include "report/core/gui/QtConversions.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

int R(double value)
{
    return static_cast<int>(RoundHalfEvenClamped(value, -1000000000, 1000000000));
}

QColor Colour(TColor colour)
{
    return ToQColor(colour);
}

bool IsLine(const TrpComponent* c)
{
    return dynamic_cast<const TrpCustomLineView*>(c) != nullptr;
}

bool IsDialogObject(const TrpComponent* c)
{
    return dynamic_cast<const TrpDialogControl*>(c) != nullptr ||
           dynamic_cast<const TrpDialogComponent*>(c) != nullptr;
}

// The key bands are sorted by: numeric order of their two-decimal text.
double BandSortKey(const TrpBand* band, bool titleBeforeHeader)
{
    if (dynamic_cast<const TrpPageHeader*>(band) != nullptr)
        return titleBeforeHeader ? 0.01 : 0;
    if (dynamic_cast<const TrpReportTitle*>(band) != nullptr)
        return titleBeforeHeader ? 0 : 0.01;
    if (dynamic_cast<const TrpColumnHeader*>(band) != nullptr)
        return 0.02;
    if (dynamic_cast<const TrpColumnFooter*>(band) != nullptr)
        return 99999;
    if (dynamic_cast<const TrpReportSummary*>(band) != nullptr)
        return 100000;
    if (dynamic_cast<const TrpPageFooter*>(band) != nullptr)
        return 100001;
    return std::fabs(band->Top());
}

enum class Placement { None, Top, Middle, Bottom };

Placement PlacementOf(const TrpBand* band)
{
    if (dynamic_cast<const TrpPageHeader*>(band) != nullptr || dynamic_cast<const TrpReportTitle*>(band) != nullptr ||
        dynamic_cast<const TrpColumnHeader*>(band) != nullptr)
        return Placement::Top;
    if (dynamic_cast<const TrpPageFooter*>(band) != nullptr ||
        dynamic_cast<const TrpReportSummary*>(band) != nullptr ||
        dynamic_cast<const TrpColumnFooter*>(band) != nullptr)
        return Placement::Bottom;
    return Placement::Middle;
}

// Moves an object to another parent keeping its place on the page; its restrictions are
// lifted for the move.
void Reparent(TrpComponent* object, TrpComponent* parent, double top)
{
    const TrpRestrictions saved = object->Restrictions();
    object->SetRestrictions(0);
    object->SetTop(top);
    object->SetParent(parent);
    object->SetRestrictions(saved);
}

QImage ButtonImage(int index)
{
    const std::vector<QImage>& images = MainButtonImages();
    if (index >= 0 && index < static_cast<int>(images.size()))
        return images[static_cast<size_t>(index)];
    return {};
}

} // namespace

// --- TMarginsPanel

TMarginsPanel::TMarginsPanel(QWidget* parent, TrpDesignerWorkspace* workspace) : QWidget(parent), FWorkspace(workspace)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAutoFillBackground(false);
}

void TMarginsPanel::PaintTo(QPainter& painter)
{
    const int w = width();
    const int h = height();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour(FWorkspace->Color()));
    painter.drawRect(0, 0, w, h);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Colour(0x505050), 1));
    painter.drawRect(0, 0, w - 2, h - 2);
    painter.drawLine(1, h - 1, w - 1, h - 1);
    painter.drawLine(w - 1, h - 1, w - 1, 0);
    painter.setPen(QPen(Colour(0x808080), 1));
    painter.drawPoint(0, h - 1);
    painter.drawPoint(w - 1, 0);
    const double s = FWorkspace->Scale();
    const QMargins& m = FWorkspace->Margins();
    const int l = R(m.left() * s);
    const int t = R(m.top() * s);
    const int r = w - R(m.right() * s) + 1;
    const int b = h - R(m.bottom() * s) + 1;
    painter.setPen(QPen(Colour(0xC0C0C0), 1, Qt::DotLine));
    const QPoint outline[] = {{l - 1, t - 1}, {l - 1, b}, {r, b}, {r, t - 1}, {l - 1, t - 1}};
    painter.drawPolyline(outline, 5);
}

void TMarginsPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintTo(painter);
}

QPointF TMarginsPanel::ToWorkspace(const QPointF& point) const
{
    return point + QPointF(x() - FWorkspace->x(), y() - FWorkspace->y());
}

void TMarginsPanel::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = ToWorkspace(event->position());
    FWorkspace->MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TMarginsPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (FWorkspace->DesignMode() != dmSelect) {
        FWorkspace->ClearInsertionMarks();
    } else {
        const QPointF p = ToWorkspace(event->position());
        FWorkspace->MouseMove(event->modifiers(), p.x(), p.y());
    }
    setCursor(FWorkspace->cursor());
}

void TMarginsPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF p = ToWorkspace(event->position());
    FWorkspace->MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

// --- TrpDesignerWorkspace: construction and properties

TrpDesignerWorkspace::TrpDesignerWorkspace(QWidget* owner) : QWidget(owner)
{
    FMarginsPanel = new TMarginsPanel(owner, this);
    FInplaceMemo = new TInplaceMemo(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("Workspace"));
}

TrpDesignerWorkspace::~TrpDesignerWorkspace()
{
    // The margins panel belongs to the owner; it must not outlive the workspace it calls.
    delete FMarginsPanel.data();
}

void TrpDesignerWorkspace::SetParent(QWidget* parent)
{
    FMarginsPanel->setParent(parent);
    FMarginsPanel->show();
    setParent(parent);
    show();
    raise();
}

void TrpDesignerWorkspace::SetColor(TColor value)
{
    FColor = value;
    update();
    FMarginsPanel->update();
}

void TrpDesignerWorkspace::SetGridType(TrpGridType value)
{
    FGridType = value;
    RecalcBandHeader();
    if (FSelectedObjects != nullptr && !FSelectedObjects->empty())
        MouseMove(Qt::NoModifier, 0, 0);
    AdjustBands(true);
    update();
}

void TrpDesignerWorkspace::SetShowBandCaptions(bool value)
{
    FShowBandCaptions = value;
    RecalcBandHeader();
    AdjustBands(true);
    update();
}

void TrpDesignerWorkspace::SetShowGrid(bool value)
{
    FShowGrid = value;
    update();
}

void TrpDesignerWorkspace::RecalcBandHeader()
{
    switch (FGridType) {
    case gt1pt:
    case gtDialog:
        FBandHeader = 16;
        break;
    case gt1cm:
        FBandHeader = rp01cm * 5;
        break;
    case gt1in:
        FBandHeader = rp01in * 2;
        break;
    case gtChar:
        FBandHeader = rp1CharY;
        break;
    case gtNone:
        break;
    }
    if (!FShowBandCaptions)
        FBandHeader = 0;
}

QPoint TrpDesignerWorkspace::Origin() const
{
    return FMarginsPanel->pos();
}

void TrpDesignerWorkspace::SetOrigin(const QPoint& value)
{
    FMarginsPanel->move(value);
    SetScale(FScale);
}

void TrpDesignerWorkspace::SetScale(double value)
{
    FScale = value;
    const double s = value;
    FMarginsPanel->resize(R(FPageWidth * s), R(FPageHeight * s));
    const int left = R(FMargins.left() * s) + FMarginsPanel->x();
    const int top = R(FMargins.top() * s) + FMarginsPanel->y();
    const int width = FMarginsPanel->width() - R((FMargins.left() + FMargins.right() - 1) * s);
    const int height = FMarginsPanel->height() - R((FMargins.top() + FMargins.bottom() - 1) * s);
    setGeometry(left, top, std::max(width, 0), std::max(height, 0));
    update();
    FMarginsPanel->update();
}

void TrpDesignerWorkspace::SetPageDimensions(int AWidth, int AHeight, const QMargins& AMargins)
{
    FPageWidth = AWidth;
    FPageHeight = AHeight;
    FMargins = AMargins;
    SetScale(FScale);
    AdjustBands(true);
}

void TrpDesignerWorkspace::DisableUpdate()
{
    FDisableUpdate = true;
    FMode = dmSelect;
    FMode1 = dmNone;
}

void TrpDesignerWorkspace::EnableUpdate()
{
    FDisableUpdate = false;
}

void TrpDesignerWorkspace::UpdateView()
{
    RepaintNow();
    NotifyPosition(SelectionCount() > 0 ? SelectionBounds() : TrpRect{});
}

void TrpDesignerWorkspace::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void TrpDesignerWorkspace::NotifyPosition(const TrpRect& rect)
{
    if (OnNotifyPosition)
        OnNotifyPosition(this, rect);
}

void TrpDesignerWorkspace::RepaintNow()
{
    update();
}

// --- lists and selection

std::vector<TrpComponent*> TrpDesignerWorkspace::LiveObjects() const
{
    std::vector<TrpComponent*> result;
    if (FObjects == nullptr)
        return result;
    result.reserve(FObjects->size());
    for (const QPointer<TrpComponent>& object : *FObjects) {
        if (object != nullptr)
            result.push_back(object.data());
    }
    return result;
}

std::vector<TrpComponent*> TrpDesignerWorkspace::LiveSelection() const
{
    std::vector<TrpComponent*> result;
    if (FSelectedObjects == nullptr)
        return result;
    for (const QPointer<TrpComponent>& object : *FSelectedObjects) {
        if (object != nullptr)
            result.push_back(object.data());
    }
    return result;
}

int TrpDesignerWorkspace::SelectionCount() const
{
    const std::vector<TrpComponent*> selection = LiveSelection();
    if (selection.size() == 1 && (selection[0]->IsPage() || selection[0]->IsReport()))
        return 0;
    return static_cast<int>(selection.size());
}

std::vector<TrpComponent*> TrpDesignerWorkspace::CountedSelection() const
{
    std::vector<TrpComponent*> selection = LiveSelection();
    selection.resize(static_cast<size_t>(SelectionCount()));
    return selection;
}

bool TrpDesignerWorkspace::IsSelected(const TrpComponent* object) const
{
    if (FSelectedObjects == nullptr)
        return false;
    return std::any_of(FSelectedObjects->begin(), FSelectedObjects->end(),
                       [&](const QPointer<TrpComponent>& p) { return p.data() == object; });
}

TrpRect TrpDesignerWorkspace::SelectionBounds() const
{
    const std::vector<TrpComponent*> selection = CountedSelection();
    if (selection.size() == 1) {
        const TrpComponent* c = selection[0];
        return TrpRect{c->Left(), c->Top(), c->Width(), c->Height()};
    }
    double left = 1e10;
    double top = 1e10;
    double right = -1e10;
    double bottom = -1e10;
    for (const TrpComponent* c : selection) {
        left = std::min(left, c->AbsLeft());
        top = std::min(top, c->AbsTop());
        right = std::max(right, c->AbsLeft() + c->Width());
        bottom = std::max(bottom, c->AbsTop() + c->Height());
    }
    return TrpRect{left, top, right - left, bottom - top};
}

TrpComponent* TrpDesignerWorkspace::ScaleHandleObject() const
{
    TrpComponent* result = nullptr;
    double right = 0;
    double bottom = 0;
    for (TrpComponent* c : CountedSelection()) {
        const double r = c->AbsLeft() + c->Width();
        const double b = c->AbsTop() + c->Height();
        if (r > right || (r == right && b > bottom)) {
            result = c;
            right = r;
            bottom = b;
        }
    }
    return result;
}

void TrpDesignerWorkspace::FlushModified()
{
    if (FModifyFlag && OnModify)
        OnModify(this);
    FModifyFlag = false;
}

void TrpDesignerWorkspace::AfterSelectionChange()
{
    if (FSelectedObjects != nullptr && FObjects != nullptr) {
        for (size_t i = 0; i < FSelectedObjects->size(); ++i) {
            auto* c = dynamic_cast<TrpReportComponent*>((*FSelectedObjects)[i].data());
            if (c == nullptr || c->GroupIndex() == 0)
                continue;
            for (TrpComponent* other : LiveObjects()) {
                if (dynamic_cast<TrpReportComponent*>(other) != nullptr && other->GroupIndex() == c->GroupIndex() &&
                    !IsSelected(other))
                    FSelectedObjects->push_back(other);
            }
        }
    }
    if (OnSelectionChanged)
        OnSelectionChanged(this);
    repaint();
}

void TrpDesignerWorkspace::SelectOnly(TrpComponent* object)
{
    if (FSelectedObjects == nullptr)
        return;
    FSelectedObjects->clear();
    FSelectedObjects->push_back(object);
}

void TrpDesignerWorkspace::ClearSelectionToPage()
{
    SelectOnly(FPage);
}

TrpObjectList TrpDesignerWorkspace::SelectionCopy() const
{
    return FSelectedObjects != nullptr ? *FSelectedObjects : TrpObjectList{};
}

bool TrpDesignerWorkspace::SelectionDiffers(const TrpObjectList& copy) const
{
    const TrpObjectList now = SelectionCopy();
    if (now.size() != copy.size())
        return true;
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i].data() != copy[i].data())
            return true;
    }
    return false;
}

// --- band layout

void TrpDesignerWorkspace::AdjustBands(bool AttachObjects)
{
    if (FObjects == nullptr)
        return;
    const std::vector<TrpComponent*> objects = LiveObjects();
    auto* reportPage = dynamic_cast<TrpReportPage*>(FPage);
    const bool titleBeforeHeader = reportPage != nullptr && reportPage->TitleBeforeHeader;

    // 1. Sort keys; a band whose key equals keys already present goes before them.
    struct Entry {
        TrpBand* Band;
        double Key;
        Placement Class;
    };
    std::vector<Entry> list;
    for (TrpComponent* object : objects) {
        auto* band = dynamic_cast<TrpBand*>(object);
        if (band == nullptr || band->Vertical)
            continue;
        // Keys compare as their two-decimal texts do.
        const double key = FloatToFixedText(BandSortKey(band, titleBeforeHeader), 2, u'.').toDouble();
        const auto at = std::find_if(list.begin(), list.end(), [&](const Entry& e) { return e.Key >= key; });
        list.insert(at, Entry{band, key, Placement::None});
    }
    auto indexOf = [&](const TrpBand* band) -> int {
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].Band == band)
                return static_cast<int>(i);
        }
        return -1;
    };

    // 2. Child bands right after their parents.
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        list[static_cast<size_t>(i)].Class = Placement::None;
        TrpBand* child = list[static_cast<size_t>(i)].Band->Child();
        const int j = child != nullptr ? indexOf(child) : -1;
        if (j < 0 || j == i + 1 || j == i)
            continue;
        const Entry moved = list[static_cast<size_t>(j)];
        list.erase(list.begin() + j);
        if (j < i)
            --i;
        list.insert(list.begin() + i + 1, moved);
    }

    // 3. Placement classes; a child belongs to its parent's class.
    for (Entry& entry : list) {
        if (entry.Class == Placement::None)
            entry.Class = PlacementOf(entry.Band);
        int guard = 0;
        for (TrpBand* child = entry.Band->Child(); child != nullptr && guard < 10000; child = child->Child(), ++guard) {
            const int j = indexOf(child);
            if (j >= 0)
                list[static_cast<size_t>(j)].Class = entry.Class;
        }
    }

    // 4. The gap between groups of bands.
    double gap = 0;
    switch (FGridType) {
    case gt1pt:
        gap = 40;
        break;
    case gt1cm:
        gap = rp1cm;
        break;
    case gt1in:
        gap = rp1in * 0.4;
        break;
    case gtChar:
        gap = rp1CharY;
        break;
    case gtDialog:
    case gtNone:
        break;
    }

    // 5. Stacking.
    if (!FFreeBandsPlacement) {
        for (size_t i = 0; i < list.size(); ++i) {
            TrpBand* band = list[i].Band;
            double top = FBandHeader;
            if (i > 0) {
                const Entry& previous = list[i - 1];
                const double step = FGridY > 0 ? FGridY : 1;
                const double raw = previous.Band->Top() + previous.Band->Height() + FBandHeader + FGapBetweenBands;
                top = RoundHalfEven(raw / step) * step;
                const bool afterTop = previous.Class == Placement::Top && list[i].Class != Placement::Top;
                const bool beforeBottom = list[i].Class == Placement::Bottom && previous.Class != Placement::Bottom;
                if (afterTop || beforeBottom)
                    top += gap;
            }
            band->SetTop(RoundTo8Decimals(top));
        }
    }

    // 6. Objects follow the bands.
    std::vector<TrpBand*> bands;
    for (TrpComponent* object : objects) {
        auto* band = dynamic_cast<TrpBand*>(object);
        if (band != nullptr && !band->Vertical)
            bands.push_back(band);
    }
    for (TrpBand* band : bands) {
        const std::vector<TrpComponent*> children = band->Objects();
        for (TrpComponent* child : children)
            Reparent(child, band->Parent(), child->AbsTop());
    }
    if (AttachObjects) {
        for (TrpBand* band : bands) {
            const double top = band->Top();
            const double bottom = band->Top() + band->Height();
            for (TrpComponent* object : objects) {
                if (!object->IsView() || object->IsBand())
                    continue;
                TrpComponent* parent = object->Parent();
                if (parent == nullptr || !(parent->IsPage() || (parent->IsBand() && !static_cast<TrpBand*>(parent)->Vertical)))
                    continue;
                if (parent == band)
                    continue;
                const double absTop = object->AbsTop();
                if (absTop >= top - 0.0001 && absTop < bottom + 0.0001)
                    Reparent(object, band, absTop - top);
            }
        }
    }

    // 7. Dialog controls into the controls that accept them.
    for (size_t i = 0; i < objects.size(); ++i) {
        auto* control = dynamic_cast<TrpDialogControl*>(objects[i]);
        if (control == nullptr)
            continue;
        const double x = control->AbsLeft();
        const double y = control->AbsTop();
        TrpDialogControl* container = nullptr;
        for (size_t j = i; j-- > 0;) {
            auto* other = dynamic_cast<TrpDialogControl*>(objects[j]);
            if (other == nullptr || !other->AcceptsControls())
                continue;
            const double l = other->AbsLeft();
            const double t = other->AbsTop();
            if (x >= l && x < l + other->Width() && y >= t && y < t + other->Height()) {
                container = other;
                break;
            }
        }
        if (container != nullptr) {
            if (control->Parent() != container) {
                const TrpRestrictions saved = control->Restrictions();
                control->SetRestrictions(0);
                control->SetParent(container);
                control->SetLeft(x - container->AbsLeft());
                control->SetTop(y - container->AbsTop());
                control->SetRestrictions(saved);
            }
        } else if (FPage != nullptr && control->Parent() != FPage) {
            const TrpRestrictions saved = control->Restrictions();
            control->SetRestrictions(0);
            control->SetParent(FPage);
            control->SetLeft(x - (FPage->IsDialogPage() ? 0 : FPage->AbsLeft()));
            control->SetTop(y - (FPage->IsDialogPage() ? 0 : FPage->AbsTop()));
            control->SetRestrictions(saved);
            raise();
        }
    }

    // 8. Bands first, then every other object, each in its order.
    std::stable_partition(FObjects->begin(), FObjects->end(),
                          [](const QPointer<TrpComponent>& p) { return p != nullptr && p->IsBand(); });
}

// --- painting

void TrpDesignerWorkspace::paintEvent(QPaintEvent* event)
{
    const QRect clip = event->rect();
    QImage image(clip.size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.translate(-clip.topLeft());
        PaintTo(painter);
    }
    QPainter window(this);
    window.drawImage(clip.topLeft(), image);
}

void TrpDesignerWorkspace::PaintTo(QPainter& painter)
{
    FCanvas = &painter;
    PaintBackground();
    if (!FDisableUpdate) {
        if (auto* page = dynamic_cast<TrpReportPage*>(FPage)) {
            TrpDrawContext context;
            page->Draw(painter, FScale, FScale, -FMargins.left() * FScale, -FMargins.top() * FScale, context);
        }
        PaintObjects();
        PaintOverlays();
    }
    FCanvas = nullptr;
}

void TrpDesignerWorkspace::PaintBackground()
{
    QPainter& canvas = *FCanvas;
    const int w = width();
    const int h = height();
    canvas.setPen(Qt::NoPen);
    canvas.setBrush(Colour(FColor));
    canvas.drawRect(0, 0, w, h);
    canvas.setBrush(Qt::NoBrush);
    if (!FShowGrid)
        return;
    if (FGridType == gt1pt || FGridType == gtDialog || FGridType == gtChar) {
        const double stepX = FGridX * FScale;
        const double stepY = FGridY * FScale;
        if (stepX <= 2 || stepY <= 2)
            return;
        QImage row(std::max(w, 1), 1, QImage::Format_RGB32);
        row.fill(Colour(FColor));
        const QRgb dot = FGridType == gtDialog ? qRgb(0, 0, 0) : qRgb(0x80, 0x80, 0x80);
        for (int k = 0;; ++k) {
            const int x = R(k * stepX);
            if (x >= w)
                break;
            row.setPixel(x, 0, dot);
        }
        for (int k = 0;; ++k) {
            const int y = R(k * stepY);
            if (y >= h)
                break;
            canvas.drawImage(0, y, row);
        }
        return;
    }
    if (FGridType != gt1cm && FGridType != gt1in)
        return;
    const TColor base = FGridLCD ? 0xE2E2E2 : 0xE8E8E8;
    const double step = (FGridType == gt1cm ? rp01cm : rp01in) * FScale;
    if (step <= 0)
        return;
    const int limit = std::max(w, h);
    for (int k = 0; k * step < limit; ++k) {
        if (FGridType == gt1cm && k % 5 != 0)
            continue;
        canvas.setPen(QPen(Colour(k % 10 == 0 ? base : base + 0x101010), 1));
        const int at = R(k * step);
        canvas.drawLine(at, 0, at, h);
        canvas.drawLine(0, at, w, at);
    }
}

void TrpDesignerWorkspace::PaintObjects()
{
    if (auto* page = dynamic_cast<TrpReportPage*>(FPage))
        page->AlignChildren();
    for (TrpComponent* object : LiveObjects()) {
        if (auto* c = dynamic_cast<TrpReportComponent*>(object))
            PaintObject(c);
    }
    if (!FMouseDown) {
        for (TrpComponent* c : CountedSelection())
            PaintHandles(c);
    }
}

void TrpDesignerWorkspace::PaintObject(TrpReportComponent* c)
{
    QPainter& canvas = *FCanvas;
    const double s = FScale;
    c->SetDesigning(true);
    canvas.save();
    TrpDrawContext context;
    c->Draw(canvas, s, s, FOffsetX, FOffsetY, context);
    canvas.restore();
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);

    auto* band = dynamic_cast<TrpBand*>(c);
    auto* reportPage = dynamic_cast<TrpReportPage*>(FPage);
    QFont captionFont(QStringLiteral("Tahoma"));
    const int fontSize = R(8 * s);
    if (fontSize > 0)
        captionFont.setPointSize(fontSize);
    const QString typeText =
        band != nullptr ? GetResourcesInstance().Get(band->BandName()) : QString();

    if (band != nullptr && !band->Vertical) {
        const TrpRestrictions saved = band->Restrictions();
        band->SetRestrictions(0);
        band->SetLeft(0);
        if (reportPage != nullptr && reportPage->Columns() > 1 && band->BandNumber() >= 4 && band->BandNumber() <= 16)
            band->SetWidth(reportPage->ColumnWidth * rp01cm);
        band->SetRestrictions(saved);
        const int y0 = R((band->Top() - FBandHeader) * s);
        const int right = R(band->Width() * s) + 1;
        const int bottom = R((band->Top() + band->Height()) * s) + 1;
        canvas.setPen(QPen(Colour(0x808080), 1));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(QRect(0, y0, right - 1, bottom - y0 - 1));
        auto* dataBand = dynamic_cast<TrpDataBand*>(band);
        if (FShowBandCaptions) {
            const QRect strip(QPoint(1, y0 + 1), QPoint(R(band->Width() * s) - 1, R(band->Top() * s) - 1));
            canvas.fillRect(strip, dataBand != nullptr ? Colour(0x30A7E0) : Colour(clBtnFace));
            if (fontSize > 0) {
                QFont bold = captionFont;
                bold.setBold(true);
                canvas.setPen(Qt::black);
                canvas.setFont(bold);
                const QFontMetrics boldMetrics(bold, canvas.device());
                canvas.drawText(QPointF(6, y0 + 2 + boldMetrics.ascent()), typeText);
                const double typeWidth = boldMetrics.horizontalAdvance(typeText);
                canvas.setFont(captionFont);
                const QFontMetrics metrics(captionFont, canvas.device());
                canvas.drawText(QPointF(6 + typeWidth, y0 + 2 + metrics.ascent()), QStringLiteral(": ") + band->Name());
                QString rightText;
                if (dataBand != nullptr) {
                    auto* report = dynamic_cast<TrpReport*>(band->Report());
                    if (dataBand->DataSet() != nullptr && report != nullptr)
                        rightText = report->GetAlias(dataBand->DataSet());
                    else if (dataBand->RowCount() != 0)
                        rightText = QString::number(dataBand->RowCount());
                } else if (auto* group = dynamic_cast<TrpGroupHeader*>(band)) {
                    rightText = group->Condition;
                }
                if (!rightText.isEmpty()) {
                    const int textWidth = metrics.horizontalAdvance(rightText);
                    canvas.drawText(QPointF(R(band->Width() * s - textWidth - 3), y0 + 3 + metrics.ascent()), rightText);
                    if (dataBand != nullptr && s > 0.7) {
                        const QImage image = ButtonImage(53);
                        if (!image.isNull())
                            canvas.drawImage(QPoint(R(band->Width() * s - textWidth - 24), y0 + R(2 * s)), image);
                    }
                }
            }
        }
        if (dataBand != nullptr && dataBand->Columns() > 1) {
            canvas.setPen(QPen(Qt::black, 1, Qt::DotLine));
            canvas.setBrush(Qt::NoBrush);
            for (int i = 0; i < dataBand->Columns(); ++i) {
                const double left = i * (dataBand->ColumnWidth + dataBand->ColumnGap);
                const QPoint a(R(left * s), R(band->Top() * s));
                const QPoint b(R((left + dataBand->ColumnWidth) * s), R((band->Top() + band->Height()) * s));
                canvas.drawRect(QRect(a, b - QPoint(1, 1)));
            }
        }
    } else if (band != nullptr) {
        const TrpRestrictions saved = band->Restrictions();
        band->SetRestrictions(0);
        band->SetTop(0);
        band->SetRestrictions(saved);
        const int x0 = R((band->Left() - FBandHeader) * s);
        const int right = R((band->Left() + band->Width()) * s) + 1;
        const int bottom = R(band->Height() * s);
        canvas.setPen(QPen(Colour(0x808080), 1));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(QRect(x0, 0, right - x0 - 1, bottom - 1));
        if (FShowBandCaptions) {
            const QRect strip(QPoint(x0 + 1, 1), QPoint(R(band->Left() * s) - 1, bottom - 1));
            canvas.fillRect(strip, dynamic_cast<TrpDataBand*>(band) != nullptr ? Colour(0xEEBB00) : Colour(clBtnFace));
            if (fontSize > 0) {
                QFont bold = captionFont;
                bold.setBold(true);
                const QFontMetrics metrics(captionFont, canvas.device());
                const QFontMetrics boldMetrics(bold, canvas.device());
                const int w1 = metrics.horizontalAdvance(band->Name());
                const int w2 = boldMetrics.horizontalAdvance(typeText + QStringLiteral(": "));
                canvas.setPen(Qt::black);
                // Reading upwards: the type first (lower on the strip), then the name above it.
                canvas.save();
                canvas.translate(x0 + 2, 0);
                canvas.rotate(-90);
                canvas.setFont(bold);
                canvas.drawText(QPointF(-(w1 + w2 + 6), boldMetrics.ascent()), typeText + QStringLiteral(": "));
                canvas.setFont(captionFont);
                canvas.drawText(QPointF(-(w1 + 4), metrics.ascent()), band->Name());
                canvas.restore();
            }
        }
    } else if (!IsLine(c) && !IsDialogObject(c)) {
        auto* view = dynamic_cast<TrpView*>(c);
        const bool fullFrame = view != nullptr && (view->Frame().Typ & 15u) == 15u;
        if (FShowEdges && dynamic_cast<TrpDataPage*>(FPage) == nullptr && view != nullptr && !fullFrame) {
            const double L = c->AbsLeft();
            const double T = c->AbsTop();
            const double Rt = L + c->Width();
            const double B = T + c->Height();
            canvas.setPen(QPen(Qt::black, 1));
            auto line = [&](double x1, double y1, double x2, double y2) {
                canvas.drawLine(R(x1 * s), R(y1 * s), R(x2 * s), R(y2 * s));
            };
            line(L, T + 3, L, T);
            line(L, T, L + 4, T);
            line(L, B - 3, L, B);
            line(L, B, L + 4, B);
            line(Rt - 3, T, Rt, T);
            line(Rt, T, Rt, T + 4);
            line(Rt - 3, B, Rt, B);
            line(Rt, B, Rt, B - 4);
        }
    }

    // The event marker: a small red triangle where the object has a script handler.
    bool hasEvent = !c->OnBeforePrint.isEmpty() || !c->OnAfterPrint.isEmpty() || !c->OnAfterData.isEmpty() ||
                    !c->OnPreviewClick.isEmpty();
    if (auto* control = dynamic_cast<TrpDialogControl*>(c)) {
        for (const QString* handler : {&control->OnClick, &control->OnDblClick, &control->OnEnter, &control->OnExit,
                                       &control->OnKeyDown, &control->OnKeyPress, &control->OnKeyUp,
                                       &control->OnMouseDown, &control->OnMouseMove, &control->OnMouseUp})
            hasEvent = hasEvent || !handler->isEmpty();
    }
    if (band != nullptr && !band->OnAfterCalcHeight.isEmpty())
        hasEvent = true;
    if (hasEvent) {
        const bool inStrip = band != nullptr && !band->Vertical;
        const int x0 = R(c->AbsLeft() * s) + 2;
        const int y0 = inStrip ? R((c->AbsTop() - FBandHeader) * s) + 3 : R(c->AbsTop() * s) + 1;
        canvas.setPen(QPen(Colour(0x0000FF), 1));
        const int lengths[] = {7, 5, 3, 1};
        for (int k = 0; k < 4; ++k)
            canvas.drawLine(x0 + k, y0 + k, x0 + k, y0 + k + lengths[k] - 1);
    }
    if (c->IsAncestor()) {
        const QImage image = ButtonImage(99);
        if (!image.isNull())
            canvas.drawImage(QPoint(R((c->AbsLeft() + 2) * s), R((c->AbsTop() + 1) * s)), image);
    }
}

void TrpDesignerWorkspace::PaintHandles(TrpComponent* c)
{
    QPainter& canvas = *FCanvas;
    const double s = FScale;
    const int side = s < 0.7 ? 3 : (s > 1.7 ? 7 : 5);
    canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    auto handle = [&](double x, double y, const QColor& colour) {
        const int cx = R(x * s);
        const int cy = R(y * s);
        canvas.fillRect(QRect(cx - side / 2, cy - side / 2, side, side), colour);
    };
    const double L = c->AbsLeft();
    const double T = c->AbsTop();
    const double Rt = L + c->Width();
    const double B = T + c->Height();
    const bool line = IsLine(c);
    const QColor white(Qt::white);
    handle(L, T, white);
    if (!line) {
        handle(Rt, T, white);
        handle(L, B, white);
    }
    const bool teal = SelectionCount() > 1 && ScaleHandleObject() == c;
    handle(Rt, B, teal ? Colour(0x808000) : white);
    if (SelectionCount() == 1 && !line) {
        handle((L + Rt) / 2, T, white);
        handle((L + Rt) / 2, B, white);
        handle(L, (T + B) / 2, white);
        handle(Rt, (T + B) / 2, white);
    }
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TrpDesignerWorkspace::PaintOverlays()
{
    QPainter& canvas = *FCanvas;
    const double s = FScale;
    if (FMode1 == dmSelectionRect && FMouseDown) {
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        canvas.setPen(QPen(Colour(0xC0C0C0), 1, Qt::DotLine));
        canvas.setBrush(Qt::NoBrush);
        const QRectF r = QRectF(QPointF(FSelectionRect.Left, FSelectionRect.Top),
                                QPointF(FSelectionRect.Right, FSelectionRect.Bottom))
                             .normalized();
        canvas.drawRect(QRect(QPoint(R(r.left()), R(r.top())), QPoint(R(r.right()), R(r.bottom()))));
        canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (FMode == dmInsert && FMode1 == dmInsertObject && FInsertion.ComponentClass != nullptr) {
        const QRectF r = QRectF(QPointF(FInsertion.Left, FInsertion.Top),
                                QSizeF(FInsertion.Width, FInsertion.Height))
                             .normalized();
        canvas.setPen(QPen(Qt::black, 1, Qt::DotLine));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(QRect(QPoint(R(r.left() * s), R(r.top() * s)), QPoint(R(r.right() * s), R(r.bottom() * s))));
    }
    if (FMode == dmInsert && FMode1 == dmInsertLine && FInsertion.ComponentClass != nullptr) {
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        canvas.setPen(QPen(Colour(0xC0C0C0), 1));
        double w = FInsertion.Width;
        double h = FInsertion.Height;
        if (FInsertion.Flags == 0) {
            if (std::fabs(w) > std::fabs(h))
                h = 0;
            else
                w = 0;
        }
        const int x = R((FInsertion.Left + w) * s);
        const int y = R((FInsertion.Top + h) * s);
        canvas.drawLine(x - 4, y, x + 5, y);
        canvas.drawLine(x, y - 4, x, y + 5);
        if (FMouseDown)
            canvas.drawLine(R(FInsertion.Left * s), R(FInsertion.Top * s), x, y);
        canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

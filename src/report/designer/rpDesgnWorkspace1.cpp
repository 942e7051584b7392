#include "rpDesgnWorkspace1.h"

#include "rpDataTree.h"
#include "rpDesgnCtrls.h"
#include "rpDsgnImages.h"
#include "rpPopupForm.h"

#include "report/core/Conversions.h"
#include "report/core/Cursors.h"
#include "report/core/FormatSettings.h"
#include "report/core/NumberText.h"
#include "report/core/Rounding.h"
#include "report/core/gui/QtConversions.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

int R(double value)
{
    return static_cast<int>(RoundHalfEvenClamped(value, -1000000000, 1000000000));
}

bool Contains(const TrpComponent* c, double x, double y)
{
    return x >= c->AbsLeft() && x <= c->AbsLeft() + c->Width() && y >= c->AbsTop() && y <= c->AbsTop() + c->Height();
}

// A component name made of the field text's Latin letters, digits and underscores; "Memo"
// when less than two thirds of the text would remain.
QString NameFromFieldText(const QString& text)
{
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        const bool letter = (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z') || ch == u'_';
        const bool digit = ch >= u'0' && ch <= u'9';
        if (letter || (digit && i > 0))
            name += ch;
    }
    if (name.size() < text.size() * 2 / 3)
        return QStringLiteral("Memo");
    return name;
}

} // namespace

TDesignerWorkspace::TDesignerWorkspace(ITrpWorkspaceHost* designer, QWidget* owner)
    : TrpDesignerWorkspace(owner), FDesigner(designer)
{
    setAcceptDrops(true);
}

TDesignerWorkspace::~TDesignerWorkspace()
{
    delete FPopupForm.data();
}

void TDesignerWorkspace::SetShowGuides(bool value)
{
    FShowGuides = value;
    update();
}

std::vector<double> TDesignerWorkspace::HorizontalGuides() const
{
    std::vector<double> result;
    if (auto* page = dynamic_cast<TrpReportPage*>(FPage)) {
        for (const QString& line : page->HGuides())
            result.push_back(ParseLocaleFloat(line));
    }
    return result;
}

std::vector<double> TDesignerWorkspace::VerticalGuides() const
{
    std::vector<double> result;
    if (auto* page = dynamic_cast<TrpReportPage*>(FPage)) {
        for (const QString& line : page->VGuides())
            result.push_back(ParseLocaleFloat(line));
    }
    return result;
}

void TDesignerWorkspace::WriteGuide(bool vertical, int index, double value)
{
    auto* page = dynamic_cast<TrpReportPage*>(FPage);
    if (page == nullptr)
        return;
    QStringList lines = vertical ? page->VGuides() : page->HGuides();
    // Written in the C locale, so that the file reads the same everywhere.
    const QString text = FloatToGeneralText(value, 15, FormatSettings::C());
    if (index < 0 || index >= lines.size())
        lines.append(text);
    else
        lines[index] = text;
    if (vertical)
        page->SetVGuides(lines);
    else
        page->SetHGuides(lines);
}

void TDesignerWorkspace::DeleteGuide(bool vertical, int index)
{
    auto* page = dynamic_cast<TrpReportPage*>(FPage);
    if (page == nullptr)
        return;
    QStringList lines = vertical ? page->VGuides() : page->HGuides();
    if (index >= 0 && index < lines.size())
        lines.removeAt(index);
    if (vertical)
        page->SetVGuides(lines);
    else
        page->SetHGuides(lines);
}

void TDesignerWorkspace::SetInsertion(const ScriptClassInfo* AClass, double AWidth, double AHeight, uint16_t AFlag)
{
    TrpDesignerWorkspace::SetInsertion(AClass, AWidth, AHeight, AFlag);
    FVirtualGuideObjects.assign(FObjects != nullptr ? FObjects->begin() : TrpObjectList::iterator{},
                                FObjects != nullptr ? FObjects->end() : TrpObjectList::iterator{});
}

void TDesignerWorkspace::DeleteObjects()
{
    bool subreport = false;
    for (TrpComponent* c : CountedSelection())
        subreport = subreport || dynamic_cast<TrpSubreport*>(c) != nullptr;
    FMemo = nullptr;
    TrpDesignerWorkspace::DeleteObjects();
    if (subreport && FDesigner != nullptr && FPage != nullptr && FPage->Parent() != nullptr) {
        const std::vector<TrpComponent*>& pages = FPage->Parent()->Objects();
        const auto at = std::find(pages.begin(), pages.end(), FPage);
        FDesigner->ReloadPages(at != pages.end() ? static_cast<int>(at - pages.begin()) : 0);
    }
}

void TDesignerWorkspace::SimulateMove()
{
    FMode1 = dmMove;
    const TrpRect b = SelectionBounds();
    MouseDown(Qt::LeftButton, Qt::NoModifier, R(b.Left * FScale) + 20, R(b.Top * FScale) + 20);
    FSimulateMove = true;
}

void TDesignerWorkspace::KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Escape && FSimulateMove) {
        MouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
        key = Qt::Key_Delete;
    }
    TrpDesignerWorkspace::KeyDown(key, shift);
}

void TDesignerWorkspace::DblClick()
{
    if (FTool == dtSelect)
        TrpDesignerWorkspace::DblClick();
}

// --- press

void TDesignerWorkspace::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y)
{
    if (FDisableUpdate)
        return;
    const double S = FScale;
    if (FTool == dtHand) {
        FMode1 = dmNone;
        FMouseDown = true;
        FLastMousePointX = X;
        FLastMousePointY = Y;
        return;
    }
    if (FTool == dtZoom || FTool == dtText) {
        FMode1 = dmSelectionRect;
        FSelectionRect = TrpRect{X, Y, X, Y};
    } else if (FTool == dtFormat) {
        FMode1 = dmNone;
        return;
    }
    if (FMode == dmSelect && FMemo != nullptr && FDesigner != nullptr && FDesigner->DropFields()) {
        TrpMemoView* memo = FMemo.data();
        const double x = X / S;
        const double y = Y / S;
        if (x >= memo->Left() + memo->Width() - 16 && x <= memo->Left() + memo->Width() && y >= memo->AbsTop() &&
            y <= memo->AbsTop() + 16) {
            ShowFieldDropDown();
            FMode1 = dmNone;
            FMouseDown = false;
            return;
        }
    }
    if (!(button == Qt::RightButton && FTool == dtZoom))
        TrpDesignerWorkspace::MouseDown(button, shift, X, Y);
    if (FTool == dtZoom && button == Qt::RightButton)
        FMouseDown = true;
    FVirtualGuideObjects.assign(FObjects != nullptr ? FObjects->begin() : TrpObjectList::iterator{},
                                FObjects != nullptr ? FObjects->end() : TrpObjectList::iterator{});
}

void TDesignerWorkspace::ShowFieldDropDown()
{
    TrpMemoView* memo = FMemo.data();
    auto* band = memo != nullptr ? dynamic_cast<TrpDataBand*>(memo->Parent()) : nullptr;
    if (band == nullptr || band->DataSet() == nullptr)
        return;
    delete FPopupForm.data();
    auto* popup = new TrpPopupForm(this, platform::Clock::System());
    FPopupForm = popup;
    QObject::connect(popup, &QObject::destroyed, this, [this] { FPopupFormVisible = false; });
    auto* list = new QListWidget(popup);
    list->setObjectName(QStringLiteral("FieldList"));
    list->setFrameStyle(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    FListBox = list;
    QStringList fields;
    band->DataSet()->GetFieldList(fields);
    const std::vector<QImage>& images = MainButtonImages();
    const QIcon icon = images.size() > 54 ? QIcon(QPixmap::fromImage(images[54])) : QIcon();
    for (const QString& field : fields)
        list->addItem(new QListWidgetItem(icon, field));
    const int at = static_cast<int>(fields.indexOf(memo->DataField));
    list->setCurrentRow(at);
    const double S = FScale;
    const int right = R((memo->Left() + memo->Width()) * S);
    int left = right - 140;
    if (left < 0)
        left = 0;
    const QPoint topLeft = mapToGlobal(QPoint(left, R(memo->AbsTop() * S) + 18));
    popup->setGeometry(topLeft.x(), topLeft.y(), 140, 162);
    QObject::connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem* item) {
        ChooseField(list->row(item));
    });
    popup->show();
    FPopupFormVisible = true;
}

void TDesignerWorkspace::ChooseField(int row)
{
    TrpMemoView* memo = FMemo.data();
    QListWidget* list = FListBox.data();
    if (memo == nullptr || list == nullptr || row < 0 || row >= list->count())
        return;
    auto* band = dynamic_cast<TrpDataBand*>(memo->Parent());
    if (band != nullptr)
        memo->SetDataSet(band->DataSet());
    memo->DataField = list->item(row)->text();
    if (FPopupForm != nullptr)
        FPopupForm->hide();
    FPopupFormVisible = false;
    FModifyFlag = true;
    FlushModified();
    update();
}

// --- move

void TDesignerWorkspace::UpdateDropDownMemo(double X, double Y)
{
    const double x = X / FScale;
    const double y = Y / FScale;
    TrpMemoView* found = nullptr;
    for (TrpComponent* c : LiveObjects()) {
        auto* memo = dynamic_cast<TrpMemoView*>(c);
        if (memo == nullptr)
            continue;
        if (!(x >= memo->Left() && x <= memo->Left() + memo->Width() - 4 && y >= memo->AbsTop() &&
              y <= memo->AbsTop() + memo->Height()))
            continue;
        auto* band = dynamic_cast<TrpDataBand*>(memo->Parent());
        if (band != nullptr && band->DataSet() != nullptr && band->DataSet()->FieldsCount() > 0)
            found = memo;
    }
    if (found != FMemo.data()) {
        FMemo = found;
        update();
    }
}

void TDesignerWorkspace::MouseMove(Qt::KeyboardModifiers shift, double X, double Y)
{
    if (FDisableUpdate)
        return;
    TrpDesignerWorkspace::MouseMove(shift, X, Y);
    const double S = FScale;
    switch (FTool) {
    case dtHand: {
        SetCursorCode(crHand);
        auto* area = qobject_cast<QAbstractScrollArea*>(ScrollingParent());
        if (FMouseDown && area != nullptr) {
            const double dx = X - FLastMousePointX;
            const double dy = Y - FLastMousePointY;
            QScrollBar* h = area->horizontalScrollBar();
            QScrollBar* v = area->verticalScrollBar();
            const int oldH = h->value();
            const int oldV = v->value();
            h->setValue(oldH - R(dx));
            v->setValue(oldV - R(dy));
            if (h->value() == oldH)
                FLastMousePointX = X;
            if (v->value() == oldV)
                FLastMousePointY = Y;
        }
        break;
    }
    case dtZoom:
        SetCursorCode(crZoom);
        break;
    case dtText:
        SetCursorCode(-4);
        break;
    case dtFormat:
        SetCursorCode(crFormat);
        break;
    case dtSelect:
        break;
    }
    if (!FMouseDown && FMode == dmSelect && (FMode1 == dmNone || FMode1 == dmMoveGuide) && !FPopupFormVisible) {
        if (FMode1 == dmMoveGuide)
            FMode1 = dmNone;
        if (dynamic_cast<TrpReportPage*>(FPage) != nullptr) {
            const std::vector<double> horizontal = HorizontalGuides();
            for (size_t i = 0; i < horizontal.size(); ++i) {
                if (horizontal[i] - 5 < Y / S && Y / S < horizontal[i] + 5) {
                    FMode1 = dmMoveGuide;
                    SetCursorCode(-15);
                    FGuide = static_cast<int>(i);
                    FGuideVertical = false;
                }
            }
            const std::vector<double> vertical = VerticalGuides();
            for (size_t i = 0; i < vertical.size(); ++i) {
                if (vertical[i] - 5 < X / S && X / S < vertical[i] + 5) {
                    FMode1 = dmMoveGuide;
                    SetCursorCode(-14);
                    FGuide = static_cast<int>(i);
                    FGuideVertical = true;
                }
            }
        }
        if (FMode1 == dmNone)
            UpdateDropDownMemo(X, Y);
    } else if (FMouseDown && FMode1 == dmMoveGuide) {
        double kx = FGuideVertical ? X / S - FLastMousePointX : 0;
        double ky = FGuideVertical ? 0 : Y / S - FLastMousePointY;
        bool apply = true;
        if (FGridAlign) {
            if (std::fabs(kx) < FGridX && std::fabs(ky) < FGridY) {
                apply = false;
            } else {
                kx = std::trunc(kx / FGridX) * FGridX;
                ky = std::trunc(ky / FGridY) * FGridY;
            }
        }
        if (apply && (kx != 0 || ky != 0)) {
            FModifyFlag = true;
            const std::vector<double> guides = FGuideVertical ? VerticalGuides() : HorizontalGuides();
            if (FGuide >= 0 && FGuide < static_cast<int>(guides.size()))
                WriteGuide(FGuideVertical, FGuide,
                           RoundTo8Decimals(guides[static_cast<size_t>(FGuide)] + (FGuideVertical ? kx : ky)));
            FLastMousePointX += kx;
            FLastMousePointY += ky;
            update();
        }
    }
}

// --- release

void TDesignerWorkspace::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y)
{
    if (FDisableUpdate)
        return;
    FSimulateMove = false;
    FVirtualGuideObjects.clear();
    const double S = FScale;
    auto normalise = [this] {
        const double l = std::min(FSelectionRect.Left, FSelectionRect.Right);
        const double r = std::max(FSelectionRect.Left, FSelectionRect.Right);
        const double t = std::min(FSelectionRect.Top, FSelectionRect.Bottom);
        const double b = std::max(FSelectionRect.Top, FSelectionRect.Bottom);
        FSelectionRect = TrpRect{l, t, r, b};
    };
    switch (FTool) {
    case dtZoom: {
        FMode1 = dmNone;
        FMouseDown = false;
        normalise();
        if (FDesigner == nullptr)
            break;
        const double s0 = FScale;
        auto* area = qobject_cast<QAbstractScrollArea*>(ScrollingParent());
        auto* page = dynamic_cast<TrpReportPage*>(FPage);
        const double leftMargin = page != nullptr ? page->LeftMargin : 0;
        const double topMargin = page != nullptr ? page->TopMargin : 0;
        const double rw = FSelectionRect.Right - FSelectionRect.Left;
        const double rh = FSelectionRect.Bottom - FSelectionRect.Top;
        if (rw > 5 && rh > 5) {
            const double W = (area != nullptr ? area->viewport()->width() : width()) - 16;
            const double H = (area != nullptr ? area->viewport()->height() : height()) - 16;
            const double scale = rw / W >= rh / H ? W / rw * s0 : H / rh * s0;
            FDesigner->SetScale(scale);
            if (area != nullptr) {
                area->horizontalScrollBar()->setValue(R((FSelectionRect.Left / s0 + leftMargin * rp01cm) * FScale));
                area->verticalScrollBar()->setValue(R((FSelectionRect.Top / s0 + topMargin * rp01cm) * FScale));
            }
        } else {
            double scale = FDesigner->Scale();
            if (button == Qt::LeftButton)
                scale += scale >= 1 ? 1 : 0.25;
            else if (scale >= 2)
                scale -= 1;
            else if (scale > 0.4)
                scale -= 0.25;
            FDesigner->SetScale(scale);
            if (area != nullptr) {
                area->horizontalScrollBar()->setValue(
                    R((X / s0 + leftMargin * rp01cm) * FScale - area->viewport()->width() * 0.5));
                area->verticalScrollBar()->setValue(
                    R((Y / s0 + topMargin * rp01cm) * FScale - area->viewport()->height() * 0.5));
            }
        }
        break;
    }
    case dtText: {
        if (!FMouseDown)
            return;
        FMode1 = dmNone;
        FMouseDown = false;
        normalise();
        if (FInplaceMemo->isVisible())
            FInplaceMemo->EditDone();
        FInplaceObject = nullptr;
        const double rw = FSelectionRect.Right - FSelectionRect.Left;
        const double rh = FSelectionRect.Bottom - FSelectionRect.Top;
        if (rw >= 5 && rh >= 5) {
            double l = FSelectionRect.Left / S;
            double t = FSelectionRect.Top / S;
            double r = FSelectionRect.Right / S;
            double b = FSelectionRect.Bottom / S;
            if (FGridAlign) {
                l = std::trunc(l / FGridX) * FGridX;
                r = std::trunc(r / FGridX) * FGridX;
                t = std::trunc(t / FGridY) * FGridY;
                b = std::trunc(b / FGridY) * FGridY;
            }
            FInsertion.ComponentClass = dynamic_cast<TrpDMPPage*>(FPage) != nullptr ? &TrpDMPMemoView::Class()
                                                                                      : &TrpMemoView::Class();
            FInsertion.Left = l;
            FInsertion.Top = t;
            FInsertion.Width = r - l;
            FInsertion.Height = b - t;
            if (OnInsert)
                OnInsert(this);
            AdjustBands(true);
            const std::vector<TrpComponent*> selected = LiveSelection();
            if (!selected.empty())
                FInplaceObject = dynamic_cast<TrpCustomMemoView*>(selected[0]);
        } else {
            const double x = X / S;
            const double y = Y / S;
            for (TrpComponent* c : LiveObjects()) {
                if (auto* memo = dynamic_cast<TrpCustomMemoView*>(c); memo != nullptr && Contains(memo, x, y))
                    FInplaceObject = memo;
            }
        }
        if (FInplaceObject != nullptr) {
            SelectOnly(FInplaceObject.data());
            AfterSelectionChange();
            FInplaceMemo->Edit(FInplaceObject.data());
        }
        return;
    }
    case dtFormat: {
        FSelectionRect = TrpRect{X, Y, X + 1, Y + 1};
        const std::vector<TrpComponent*> selected = LiveSelection();
        auto* source = selected.empty() ? nullptr : dynamic_cast<TrpCustomMemoView*>(selected[0]);
        if (source == nullptr)
            break;
        const std::vector<TrpComponent*> objects = LiveObjects();
        for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
            auto* target = dynamic_cast<TrpMemoView*>(*it);
            if (target == nullptr || target == source || !Contains(target, X / S, Y / S) ||
                (target->Restrictions() & SetBit(rfDontModify)) != 0)
                continue;
            target->Color = source->Color;
            target->SetFont(source->Font());
            target->SetFrame(source->Frame());
            target->BrushStyle = source->BrushStyle;
            target->HAlign = source->HAlign;
            target->VAlign = source->VAlign;
            FModifyFlag = true;
            break;
        }
        break;
    }
    default:
        break;
    }
    if (FMode1 == dmMoveGuide) {
        const std::vector<double> guides = FGuideVertical ? VerticalGuides() : HorizontalGuides();
        const double limit = (FGuideVertical ? width() : height()) / S - 3;
        if (FGuide >= 0 && FGuide < static_cast<int>(guides.size())) {
            const double value = guides[static_cast<size_t>(FGuide)];
            if (value < 3 || value > limit) {
                DeleteGuide(FGuideVertical, FGuide);
                FModifyFlag = true;
            }
        }
        update();
    }
    TrpDesignerWorkspace::MouseUp(button, shift, X, Y);
}

// --- guides and alignment lines

void TDesignerWorkspace::SnapX(double x, double& kx)
{
    for (double g : VerticalGuides()) {
        if (std::fabs(x + kx - g) < 6) {
            kx = g - x;
            return;
        }
    }
}

void TDesignerWorkspace::SnapY(double y, double& ky)
{
    for (double g : HorizontalGuides()) {
        if (std::fabs(y + ky - g) < 6) {
            ky = g - y;
            return;
        }
    }
}

void TDesignerWorkspace::LinesAtHorizontalEdge(TrpComponent* moving, double left, double y, double ky)
{
    for (const QPointer<TrpComponent>& pointer : FVirtualGuideObjects) {
        TrpComponent* o = pointer.data();
        if (o == nullptr || o == moving || o->IsPage() || o->IsReport() || o->IsBand())
            continue;
        for (double edge : {o->AbsTop(), o->AbsTop() + o->Height()}) {
            if (std::fabs(y + ky - edge) < 0.001)
                FVirtualGuides.Add(left, y + ky, o->AbsLeft(), y + ky);
        }
    }
}

void TDesignerWorkspace::LinesAtVerticalEdge(TrpComponent* moving, double top, double x, double kx)
{
    for (const QPointer<TrpComponent>& pointer : FVirtualGuideObjects) {
        TrpComponent* o = pointer.data();
        if (o == nullptr || o == moving || o->IsPage() || o->IsReport() || o->IsBand())
            continue;
        for (double edge : {o->AbsLeft(), o->AbsLeft() + o->Width()}) {
            if (std::fabs(x + kx - edge) < 0.001)
                FVirtualGuides.Add(x + kx, o->AbsTop(), x + kx, top);
        }
    }
}

void TDesignerWorkspace::SnapToGuides(double& kx, double& ky, bool& skip)
{
    if (!FShowGuides)
        return;
    FVirtualGuides.Clear();
    const double startX = kx;
    const double startY = ky;
    if (FMouseDown && FMode1 == dmSizeBand && FSizedBand != nullptr) {
        SnapY(FSizedBand->Top() + FSizedBand->Height(), ky);
    } else if (!FMouseDown && (FMode1 == dmInsertObject || FMode1 == dmInsertLine)) {
        SnapX(FInsertion.Left, kx);
        SnapY(FInsertion.Top, ky);
        LinesAtVerticalEdge(nullptr, FInsertion.Top + ky, FInsertion.Left, kx);
        LinesAtHorizontalEdge(nullptr, FInsertion.Left + kx, FInsertion.Top, ky);
        SnapX(FInsertion.Left + FInsertion.Width, kx);
        SnapY(FInsertion.Top + FInsertion.Height, ky);
        LinesAtVerticalEdge(nullptr, FInsertion.Top + ky, FInsertion.Left + FInsertion.Width, kx);
        LinesAtHorizontalEdge(nullptr, FInsertion.Left + kx, FInsertion.Top + FInsertion.Height, ky);
    } else if (FMouseDown && (FMode1 == dmInsertObject || FMode1 == dmInsertLine)) {
        SnapX(FInsertion.Left, kx);
        SnapY(FInsertion.Top, ky);
        LinesAtVerticalEdge(nullptr, FInsertion.Top, FInsertion.Left, kx);
        LinesAtHorizontalEdge(nullptr, FInsertion.Left, FInsertion.Top, ky);
    } else if (FMouseDown && FMode1 == dmMove) {
        for (TrpComponent* c : CountedSelection()) {
            SnapX(c->Left(), kx);
            LinesAtVerticalEdge(c, c->AbsTop() + ky, c->AbsLeft(), kx);
            LinesAtHorizontalEdge(c, c->AbsLeft() + kx, c->AbsTop(), ky);
            SnapY(c->AbsTop(), ky);
            SnapY(c->Top(), ky);
            SnapX(c->Left() + c->Width(), kx);
            LinesAtVerticalEdge(c, c->AbsTop() + ky, c->AbsLeft() + c->Width(), kx);
            LinesAtHorizontalEdge(c, c->AbsLeft() + kx, c->AbsTop() + c->Height(), ky);
            SnapY(c->AbsTop() + c->Height(), ky);
        }
    } else if (FMouseDown && FMode1 == dmSize) {
        const std::vector<TrpComponent*> selected = CountedSelection();
        if (selected.size() == 1) {
            TrpComponent* c = selected[0];
            if (FCT == ct1 || FCT == ct4 || FCT == ct6) {
                SnapX(c->Left(), kx);
                LinesAtVerticalEdge(c, c->AbsTop(), c->AbsLeft(), kx);
            }
            if (FCT == ct1 || FCT == ct3 || FCT == ct7) {
                SnapY(c->AbsTop(), ky);
                LinesAtHorizontalEdge(c, c->AbsLeft(), c->AbsTop(), ky);
            }
            if (FCT == ct2 || FCT == ct3 || FCT == ct5) {
                SnapX(c->Left() + c->Width(), kx);
                LinesAtVerticalEdge(c, c->AbsTop(), c->AbsLeft() + c->Width(), kx);
            }
            if (FCT == ct2 || FCT == ct4 || FCT == ct8) {
                SnapY(c->AbsTop() + c->Height(), ky);
                LinesAtHorizontalEdge(c, c->AbsLeft(), c->AbsTop() + c->Height(), ky);
            }
        }
    }
    // A snap that changed the step decides on its own whether anything moves.
    if (kx != startX || ky != startY)
        skip = kx == 0 && ky == 0;
}

void TDesignerWorkspace::PaintObjects()
{
    QPainter& canvas = *FCanvas;
    const double S = FScale;
    auto* page = dynamic_cast<TrpReportPage*>(FPage);
    if (page != nullptr && page->Columns() > 1) {
        canvas.setPen(QPen(ToQColor(0xC0C0C0), 1));
        for (const QString& entry : page->ColumnPositions()) {
            const int x = R(ParseLocaleFloat(entry) * rp01cm * S);
            if (x != 0)
                canvas.drawLine(x, 0, x, height());
        }
    }
    if (FShowGuides && page != nullptr) {
        canvas.setPen(QPen(ToQColor(0xFFCC00), 1, Qt::SolidLine));
        for (double g : HorizontalGuides())
            canvas.drawLine(0, R(g * S), width(), R(g * S));
        for (double g : VerticalGuides())
            canvas.drawLine(R(g * S), 0, R(g * S), height());
    }
    TrpDesignerWorkspace::PaintObjects();
    if (FMemo != nullptr && FDesigner != nullptr && FDesigner->DropFields()) {
        const int left = R((FMemo->Left() + FMemo->Width()) * S) - 16;
        const int top = R(FMemo->AbsTop() * S) + 2;
        canvas.fillRect(QRect(left, top, 16, 16), palette().button());
        canvas.setPen(QPen(palette().dark().color(), 1));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(QRect(left, top, 15, 15));
        canvas.setPen(Qt::black);
        canvas.setBrush(Qt::black);
        const QPoint triangle[] = {{left + 4, top + 6}, {left + 7, top + 9}, {left + 10, top + 6}};
        canvas.drawPolygon(triangle, 3);
        canvas.setBrush(Qt::NoBrush);
    }
    if (FVirtualGuides.Count() > 0 && (FMouseDown || FMode1 == dmInsertObject || FMode1 == dmInsertLine)) {
        canvas.setPen(QPen(ToQColor(0xFFCC00), 1));
        for (int i = 0; i < FVirtualGuides.Count(); ++i) {
            const TrpGuideItem& g = FVirtualGuides.Items(i);
            canvas.drawLine(R(g.Left * S), R(g.Top * S), R(g.Right * S), R(g.Bottom * S));
        }
    }
    if (FGuidePreview >= 0) {
        canvas.setPen(QPen(Qt::black, 1));
        if (FGuidePreviewVertical)
            canvas.drawLine(FGuidePreview, 0, FGuidePreview, height());
        else
            canvas.drawLine(0, FGuidePreview, width(), FGuidePreview);
    }
}

// --- drag and drop

bool TDesignerWorkspace::IsRuler(QObject* source, bool* left) const
{
    auto* ruler = qobject_cast<TrpRuler*>(source);
    if (ruler != nullptr && left != nullptr)
        *left = ruler->IsLeft();
    return ruler != nullptr;
}

bool TDesignerWorkspace::IsDataTree(QObject* source) const
{
    TrpDataTreeForm* tree = FDesigner != nullptr ? FDesigner->DataTree() : nullptr;
    return tree != nullptr && source != nullptr && (source == tree->DataTree || source == tree->VariablesTree ||
                                                    source == tree->FunctionsTree || source == tree->ClassesTree);
}

bool TDesignerWorkspace::DragOverFrom(QObject* source, double X, double Y)
{
    if (dynamic_cast<TrpReportPage*>(FPage) == nullptr || FDesigner == nullptr)
        return false;
    bool leftRuler = false;
    const bool ruler = IsRuler(source, &leftRuler);
    TrpDataTreeForm* tree = FDesigner->DataTree();
    const bool fromTree = IsDataTree(source) && FDesigner->CheckOp(drDontInsertObject) && tree != nullptr &&
                          !tree->GetFieldName().isEmpty();
    if (!(fromTree || (ruler && FShowGuides)))
        return false;
    FMode = dmDrag;
    const double S = FScale;
    if (ruler) {
        double x = X;
        double y = Y;
        if (FGridAlign) {
            x = R(std::trunc(X / (FGridX * S)) * FGridX * S);
            y = R(std::trunc(Y / (FGridY * S)) * FGridY * S);
        }
        FGuidePreviewVertical = leftRuler;
        FGuidePreview = leftRuler ? R(x) : R(y);
        update();
        TrpDesignerWorkspace::MouseMove(Qt::NoModifier, x, y);
        return true;
    }
    const bool insField = tree->InsFieldCB != nullptr && tree->InsFieldCB->isChecked();
    const bool insCaption = tree->InsCaptionCB != nullptr && tree->InsCaptionCB->isChecked();
    if (FInsertion.ComponentClass == nullptr && (insField || insCaption || !tree->IsDataField())) {
        const QString text = tree->GetFieldName();
        TrpDataSet* dataSet = nullptr;
        QString field;
        if (auto* report = dynamic_cast<TrpReport*>(FPage->Report()))
            report->GetDatasetAndField(text.mid(1, text.size() - 2), dataSet, field);
        int characters = 10;
        if (dataSet != nullptr && !field.isEmpty()) {
            try {
                characters = dataSet->GetDisplayWidth(field);
            } catch (...) {
                characters = 10;
            }
        }
        characters = std::min(characters, 50);
        double w = characters * 8;
        w = RoundHalfEven(w / FGridX) * FGridX;
        TrpDesignerWorkspace::SetInsertion(&TrpMemoView::Class(), w, FDesigner->GetDefaultObjectSize().height(), 0);
        FMode = dmDrag;
        FVirtualGuideObjects.assign(FObjects != nullptr ? FObjects->begin() : TrpObjectList::iterator{},
                                    FObjects != nullptr ? FObjects->end() : TrpObjectList::iterator{});
    }
    TrpDesignerWorkspace::MouseMove(Qt::NoModifier, X - 8, Y - 8);
    return true;
}

void TDesignerWorkspace::DropFrom(QObject* source, double X, double Y)
{
    if (FObjects == nullptr || FSelectedObjects == nullptr || FDesigner == nullptr)
        return;
    const double S = FScale;
    bool leftRuler = false;
    FGuidePreview = -1;
    if (IsRuler(source, &leftRuler)) {
        if (dynamic_cast<TrpReportPage*>(FPage) == nullptr)
            return;
        double x = X / S;
        double y = Y / S;
        if (FGridAlign) {
            x = std::trunc(x / FGridX) * FGridX;
            y = std::trunc(y / FGridY) * FGridY;
        }
        WriteGuide(leftRuler, -1, RoundTo8Decimals(leftRuler ? x : y));
        FMode = dmSelect;
    } else if (IsDataTree(source)) {
        TrpDataTreeForm* tree = FDesigner->DataTree();
        const bool insField = tree->InsFieldCB != nullptr && tree->InsFieldCB->isChecked();
        const bool insCaption = tree->InsCaptionCB != nullptr && tree->InsCaptionCB->isChecked();
        const bool dataField = tree->IsDataField();
        if (!(insField || insCaption || !dataField))
            return;
        auto* report = dynamic_cast<TrpReport*>(FPage->Report());
        const bool dotMatrix = dynamic_cast<TrpDMPPage*>(FPage) != nullptr;
        auto makeMemo = [&]() -> TrpCustomMemoView* {
            if (dotMatrix)
                return new TrpDMPMemoView(FPage);
            return new TrpMemoView(FPage);
        };
        FSelectedObjects->clear();
        const QString text = tree->GetFieldName();
        TrpCustomMemoView* last = nullptr;
        TrpCustomMemoView* memo = makeMemo();
        const QString name = NameFromFieldText(text);
        if (name == QStringLiteral("Memo") || (report != nullptr && report->FindObject(name) != nullptr)) {
            memo->SetBaseName(name);
            memo->CreateUniqueName();
        } else {
            memo->SetName(name);
        }
        memo->SetDesigning(true);
        const QString inner = text.mid(1, text.size() - 2);
        TrpDataSet* dataSet = nullptr;
        QString field;
        if (report != nullptr)
            report->GetDatasetAndField(inner, dataSet, field);
        if (!(dataField && !insField)) {
            memo->SetDataSet(dataSet);
            memo->DataField = field;
            if (dataSet == nullptr && field.isEmpty()) {
                const QString expression = text.startsWith(u'<') ? QStringLiteral("[") + inner + u']'
                                                                  : QStringLiteral("[") + text + u']';
                memo->Memo().SetText(expression);
            }
            memo->SetBounds(RoundTo8Decimals(FInsertion.Left), RoundTo8Decimals(FInsertion.Top),
                            RoundTo8Decimals(FInsertion.Width), RoundTo8Decimals(FInsertion.Height));
            FDesigner->ApplySample(*memo);
            FObjects->push_back(memo);
            FSelectedObjects->push_back(memo);
            FInsertion.Top -= FInsertion.Height;
            last = memo;
        } else {
            delete memo;
        }
        if (dataField && insCaption) {
            TrpCustomMemoView* caption = makeMemo();
            caption->CreateUniqueName();
            caption->SetDesigning(true);
            caption->Memo().SetText(field.isEmpty() ? inner : field);
            caption->SetBounds(RoundTo8Decimals(FInsertion.Left), RoundTo8Decimals(FInsertion.Top),
                               RoundTo8Decimals(FInsertion.Width), RoundTo8Decimals(FInsertion.Height));
            FDesigner->ApplySample(*caption);
            FObjects->push_back(caption);
            FSelectedObjects->push_back(caption);
            last = caption;
        }
        if (last != nullptr)
            FDesigner->InsertedObject(last);
        TrpDesignerWorkspace::SetInsertion(nullptr, 0, 0, 0);
    } else {
        return;
    }
    FMode = dmSelect;
    FMode1 = dmNone;
    FModifyFlag = true;
    FMouseDown = true;
    MouseUp(Qt::LeftButton, Qt::NoModifier, X, Y);
    AfterSelectionChange();
}

void TDesignerWorkspace::dragEnterEvent(QDragEnterEvent* event)
{
    if (DragOverFrom(event->source(), event->position().x(), event->position().y()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDesignerWorkspace::dragMoveEvent(QDragMoveEvent* event)
{
    if (DragOverFrom(event->source(), event->position().x(), event->position().y()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDesignerWorkspace::dragLeaveEvent(QDragLeaveEvent* event)
{
    Q_UNUSED(event);
    FGuidePreview = -1;
    ClearInsertionMarks();
}

void TDesignerWorkspace::dropEvent(QDropEvent* event)
{
    DropFrom(event->source(), event->position().x(), event->position().y());
    event->acceptProposedAction();
}

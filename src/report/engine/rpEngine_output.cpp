// Band output: preparing a band (data, stretching, shifting), placing it, splitting it across
// pages, page and column breaks with their headers and footers, and keep-together blocks.

#include "rpDMPClass.h"
#include "rpEngine.h"

#include "rpPreviewPages.h"

#include "report/core/NumberText.h"
#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace {

int32_t RoundedTop(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded > std::numeric_limits<int32_t>::min()) || !(rounded < std::numeric_limits<int32_t>::max()))
        return 0;
    return static_cast<int32_t>(rounded);
}

std::vector<TrpComponent*> ObjectsByTop(const TrpComponent& parent)
{
    std::vector<TrpComponent*> objects = parent.Objects();
    std::stable_sort(objects.begin(), objects.end(),
                     [](const TrpComponent* a, const TrpComponent* b) { return a->Top() < b->Top(); });
    return objects;
}

TrpRectArea AreaOf(const TrpComponent& object)
{
    return TrpRectArea(object.Left(), object.Top(), object.Left() + object.Width(), object.Top() + object.Height());
}

} // namespace

// --- showing a band ----------------------------------------------------------------------------

void TrpEngine::ShowBand(TrpBand* band)
{
    if (band == nullptr)
        return;
    const QPointer<TrpBand> guard(band);
    if (band->KeepChild)
        StartKeep(band);
    OutputBand(band);
    auto* dataBand = dynamic_cast<TrpDataBand*>(band);
    if ((band->Visible() || band->PrintChildIfInvisible) && !(dataBand != nullptr && dataBand->CurColumn() > 1))
        ShowBand(band->Child());
    if (band->KeepChild)
        EndKeep(band);
    if (dataBand != nullptr && !band->Vertical)
        aggregates_.AddValue(dataBand, 0);
}

bool TrpEngine::IsPageHeaderBand(const TrpBand* band) const
{
    return dynamic_cast<const TrpPageHeader*>(band) != nullptr;
}

void TrpEngine::PlaceAndAdd(TrpBand* band)
{
    TrpCustomPreviewPages* store = PreviewPages();
    if (callFromAddPage_) {
        if (!store->BandExists(band))
            store->AddObject(band);
    } else {
        store->AddObject(band);
    }
    CurY += band->Height();
}

void TrpEngine::OutputBand(TrpBand* band)
{
    if (band->Vertical) {
        OutputVerticalBand(band);
        return;
    }
    TrpCustomPreviewPages* store = PreviewPages();
    auto* dataBand = dynamic_cast<TrpDataBand*>(band);
    auto* groupHeader = dynamic_cast<TrpGroupHeader*>(band);

    // A data band or group header breaks before its second and later records or groups.
    if (band->Visible() && band->StartNewPage && !callFromAddPage_ && outputTo_ == nullptr
        && ((dataBand == nullptr && groupHeader == nullptr) || band->LineN != 1)) {
        if (groupHeader != nullptr && groupHeader->ResetPageNumbers)
            store->ResetLogicalPageNumber();
        startNewPageBand_ = band;
        NewPage();
        startNewPageBand_ = nullptr;
    }

    const bool verticalMaster = band->HasVBands && !IsPageHeaderBand(band) && vMasterBand_ == nullptr;
    const double savedX = CurX;
    if (verticalMaster)
        RunVerticalBands(band);

    PrepareBand(band);
    band->StretchedHeight = band->Height();

    bool split = false;
    const bool multiColumn = dataBand != nullptr && dataBand->Columns() > 1;
    const bool overlay = dynamic_cast<TrpOverlay*>(band) != nullptr;
    // Bands printed again at the top of a new page do not break it: a header list higher than
    // a page would otherwise start new pages for ever; it runs off the page instead.
    if (band->Visible() && !multiColumn && !overlay && !band->IsNullBand() && outputTo_ == nullptr
        && !callFromAddPage_ && FreeSpace() < band->Height()) {
        const double pageSpace = PageHeight() - FooterHeight();
        if ((band->AllowSplit && !keeping_) || (band->Height() > pageSpace && !band->HasVBands)) {
            if (!band->AllowSplit && band->LineThrough > 1 && !band->StartNewPage) {
                NewColumn();
                curBand_ = band;
            }
            if (keeping_ && keepBand_ == band)
                EndKeep(band);
            SplitBand(band);
            split = true;
        } else {
            if (!keeping_)
                CheckSuppress(band);
            if (!(dynamic_cast<TrpChild*>(band) != nullptr && callFromPHeader_)) {
                NewColumn();
                curBand_ = band;
            }
        }
    }

    if (!split) {
        if (!band->IsNullBand()) {
            band->SetLeft(multiColumn ? band->Left() + CurX : CurX);
            band->SetTop(CurY);
        }
        if (band->Visible() && outputTo_ != nullptr) {
            // A subreport printed on its parent band: the band goes to the collector.
            std::unique_ptr<TrpComponent> copy = TrpComponent::CreateByName(band->ClassName());
            if (copy != nullptr) {
                copy->AssignAll(*band);
                copy->SetLeft(band->Left());
                copy->SetTop(band->Top());
                copy->SetHeight(band->Height());
                copy.release()->SetParent(outputTo_);
            }
            CurY += band->Height();
        } else if (band->Visible()) {
            if (verticalMaster) {
                band->SetLeft(0);
                AddVerticalSlices(band);
                CurY += band->Height();
            } else {
                PlaceAndAdd(band);
            }
        }
    }
    FinishBand(band);
    if (verticalMaster) {
        CurX = savedX;
        vMasterBand_ = nullptr;
    }
    aggregates_.Reset(band);
    if (band->Visible())
        ShowSubreports(band);
}

// --- preparing a band --------------------------------------------------------------------------

void TrpEngine::PrepareBand(TrpBand* band)
{
    TrpReport* report = Report();
    curBand_ = band;
    if (band->ShiftChildren.empty())
        BuildShiftTree(band);
    const bool master = band == vMasterBand_;
    if (!master) {
        report->CurObject = band->Name();
        band->BeforePrint();
        report->DoBeforePrint(band);
    }

    const std::vector<TrpComponent*> objects = band->Objects();
    for (size_t i = 0; i < objects.size(); ++i) {
        if (master && band->OriginalObjectsCount >= 0 && static_cast<int32_t>(i) >= band->OriginalObjectsCount)
            break;
        TrpComponent* object = objects[i];
        auto* component = dynamic_cast<TrpReportComponent*>(object);
        if (component == nullptr)
            continue;
        report->CurObject = object->Name();
        component->BeforePrint();
        if (band->Visible())
            report->DoBeforePrint(object);
        if (object->Visible()) {
            component->GetData();
            report->DoNotifyEvent(object, component->OnAfterData);
        }
    }

    bool grew = false;
    if (band->Visible()) {
        for (TrpComponent* object : objects) {
            auto* stretchable = dynamic_cast<TrpStretcheable*>(object);
            if (stretchable == nullptr || !stretchable->Visible() || stretchable->StretchMode == smDontStretch)
                continue;
            const double height = stretchable->CalcHeight();
            if (height > stretchable->Height()) {
                stretchable->ShiftAmount = height - stretchable->Height();
                stretchable->SetHeight(height);
                grew = true;
            } else {
                stretchable->ShiftAmount = 0;
            }
        }
    }
    if (!band->Visible())
        return;
    if (grew)
        ShiftObjects(band, 0);
    if (outputTo_ == nullptr)
        CollectParentSubreports(band);

    // A dot-matrix text's bottom frame line lies half a line below its text: the band keeps a
    // line for it.
    double bottom = 0;
    const TrpComponent* lowest = nullptr;
    for (TrpComponent* object : band->Objects()) {
        if (lowest == nullptr || object->Top() + object->Height() > bottom) {
            bottom = object->Top() + object->Height();
            lowest = object;
        }
    }
    if (IsDMPMemoWithBottomLine(lowest))
        bottom += kDotMatrixRow;
    if (band->Stretched)
        band->SetHeight(bottom);
    report->CurObject = band->Name();
    report->DoNotifyEvent(band, band->OnAfterCalcHeight);
    for (TrpComponent* object : band->Objects()) {
        auto* stretchable = dynamic_cast<TrpStretcheable*>(object);
        if (stretchable != nullptr && stretchable->StretchMode == smMaxHeight)
            stretchable->SetHeight(bottom - stretchable->Top() - (IsDMPMemoWithBottomLine(object) ? kDotMatrixRow : 0));
    }
}

void TrpEngine::BuildShiftTree(TrpBand* band)
{
    // Sorted by top numerically and stably (page order among equal tops); an auxiliary area
    // above everything stands for the band, whose shift children are the objects it moves.
    const std::vector<TrpComponent*> objects = ObjectsByTop(*band);
    std::vector<TrpRectArea> areas;
    areas.reserve(objects.size() + 1);
    areas.emplace_back(0, -2, band->Width(), -1);
    for (TrpComponent* object : objects) {
        areas.push_back(AreaOf(*object));
        if (auto* component = dynamic_cast<TrpReportComponent*>(object))
            component->ShiftChildren.clear();
    }
    const size_t count = areas.size();
    for (size_t i = 0; i < count; ++i) {
        const TrpRectArea& a = areas[i];
        std::vector<QPointer<TrpComponent>> children;
        for (size_t j = i + 1; j < count; ++j) {
            const TrpRectArea& b = areas[j];
            if (a.InterceptsY(b) || !(a.Y < b.Y) || !a.InterceptsX(b))
                continue;
            const std::unique_ptr<TrpRectArea> across = a.InterceptX(b);
            bool nearer = false;
            for (size_t k = i + 1; k < j && !nearer; ++k) {
                const TrpRectArea& c = areas[k];
                nearer = !c.InterceptsY(a) && !c.InterceptsY(b) && across != nullptr && c.InterceptsX(*across);
            }
            if (!nearer)
                children.emplace_back(objects[j - 1]);
        }
        if (i == 0) {
            band->ShiftChildren = std::move(children);
        } else if (auto* component = dynamic_cast<TrpReportComponent*>(objects[i - 1])) {
            component->ShiftChildren = std::move(children);
        }
    }
}

void TrpEngine::ShiftObjects(TrpComponent* parent, double distance)
{
    // Every object takes the largest move any of its shifters asks for: an object below two
    // growing neighbours follows the taller growth once, not the sum of both. Parents come
    // before their children in top order, so one pass in that order settles everything.
    struct Move {
        double top = 0;
        double pass = 0;
        bool set = false;
    };
    std::map<TrpComponent*, Move> moves;
    const auto offer = [&](TrpComponent* parentObject, double parentPass) {
        auto* component = dynamic_cast<TrpReportComponent*>(parentObject);
        if (component == nullptr)
            return;
        const double parentBottom = parentObject->Top() + parentObject->Height();
        for (const QPointer<TrpComponent>& childPointer : component->ShiftChildren) {
            TrpComponent* child = childPointer.data();
            auto* childComponent = dynamic_cast<TrpReportComponent*>(child);
            if (child == nullptr || childComponent == nullptr)
                continue;
            const auto* view = dynamic_cast<TrpView*>(child);
            const TrpShiftMode mode = view != nullptr ? view->ShiftMode : smAlways;
            Move move;
            move.set = true;
            switch (mode) {
            case smAlways:
                move.top = child->Top() + parentPass;
                move.pass = parentPass + childComponent->ShiftAmount;
                break;
            case smDontShift:
                move.top = child->Top();
                move.pass = parentPass + childComponent->ShiftAmount;
                break;
            case smWhenOverlapped:
                if (parentObject->IsBand() || child->Top() >= parentBottom) {
                    move.top = child->Top();
                    move.pass = childComponent->ShiftAmount;
                } else {
                    move.top = parentBottom;
                    move.pass = parentBottom - child->Top() + childComponent->ShiftAmount;
                }
                break;
            }
            Move& best = moves[child];
            if (!best.set || move.pass > best.pass || (move.pass == best.pass && move.top > best.top))
                best = move;
        }
    };
    const std::vector<TrpComponent*> order = ObjectsByTop(*parent);
    offer(parent, distance);
    for (TrpComponent* object : order) {
        const auto it = moves.find(object);
        if (it == moves.end())
            continue;
        object->SetTop(it->second.top);
        offer(object, it->second.pass);
    }
    for (TrpComponent* object : order) {
        if (auto* component = dynamic_cast<TrpReportComponent*>(object))
            component->ShiftAmount = 0;
    }
}

void TrpEngine::FinishBand(TrpBand* band)
{
    TrpReport* report = Report();
    const std::vector<TrpComponent*> objects = band->Objects();
    if (band->Visible()) {
        for (TrpComponent* object : objects) {
            report->CurObject = object->Name();
            report->DoAfterPrint(object);
        }
    }
    // Objects added during the run (vertical copies, subreports on the parent) go below.
    for (size_t i = 0; i < objects.size(); ++i) {
        if (band->OriginalObjectsCount >= 0 && static_cast<int32_t>(i) >= band->OriginalObjectsCount)
            break;
        if (auto* component = dynamic_cast<TrpReportComponent*>(objects[i]))
            component->AfterPrint();
    }
    report->DoAfterPrint(band);
    band->AfterPrint();
    if (band->OriginalObjectsCount != -1) {
        while (static_cast<int32_t>(band->Objects().size()) > band->OriginalObjectsCount)
            band->Objects().back()->Detach();
        band->OriginalObjectsCount = -1;
    }
}

// --- splitting a band across pages -------------------------------------------------------------

void TrpEngine::SplitBand(TrpBand* band)
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    struct Piece {
        TrpComponent* object;
        TrpStretcheable* stretchable;
        double fullHeight;
        bool printedAny = false;
    };
    const std::vector<TrpComponent*> all = band->Objects();
    std::vector<bool> wasVisible;
    for (TrpComponent* object : all)
        wasVisible.push_back(object->Visible());
    std::vector<Piece> remaining;
    for (TrpComponent* object : ObjectsByTop(*band)) {
        if (dynamic_cast<TrpSubreport*>(object) != nullptr)
            continue;
        Piece piece{object, dynamic_cast<TrpStretcheable*>(object), object->Height()};
        if (piece.stretchable != nullptr) {
            piece.stretchable->InitPart();
            piece.stretchable->SaveHeight = object->Height();
        }
        remaining.push_back(piece);
    }
    const auto restoreVisibility = [&] {
        for (size_t i = 0; i < all.size(); ++i)
            all[i]->SetVisible(wasVisible[i]);
    };

    const double savedHeight = band->Height();
    bool freshColumn = false;
    int32_t parts = 0;
    try {
        while (!remaining.empty() && !Terminated()) {
            if (++parts > kMaxSplitParts)
                throw EEngineError(ResourceText(u"enSplitNoProgress", {Variant(band->Name()),
                                                                        Variant(remaining.front().object->Name())})
                                       .toStdString());
            const double space = FreeSpace();
            const double pageSpace = PageHeight() - FooterHeight();
            std::vector<TrpComponent*> printed;
            std::vector<TrpComponent*> moved;
            const auto moveBelow = [&](const TrpComponent& above, double by) {
                const TrpRectArea area = AreaOf(above);
                for (Piece& other : remaining) {
                    TrpComponent* object = other.object;
                    if (object == &above || object->Top() <= above.Top()
                        || std::find(moved.begin(), moved.end(), object) != moved.end())
                        continue;
                    if (!area.InterceptsX(AreaOf(*object)))
                        continue;
                    object->SetTop(object->Top() + by);
                    moved.push_back(object);
                }
            };
            std::vector<Piece> next;
            for (Piece& piece : remaining) {
                TrpComponent* object = piece.object;
                const double top = object->Top();
                double full = piece.fullHeight;
                double unused = 0;
                bool more = false;
                if (piece.stretchable != nullptr) {
                    piece.stretchable->SavedTop = top;
                    full = piece.stretchable->SaveHeight;
                    if (top < space) {
                        piece.stretchable->SetHeight(space - top);
                        unused = piece.stretchable->DrawPart();
                        more = piece.stretchable->HasNextDataPart();
                    }
                }
                if (top + full <= space + kRectAreaTolerance && !more) {
                    object->SetHeight(full);
                    printed.push_back(object);
                    continue;
                }
                if (piece.stretchable != nullptr && top < space) {
                    moveBelow(*object, unused);
                    if (std::fabs(unused - (space - top)) < kRectAreaTolerance) {
                        object->SetTop(space);
                        object->SetHeight(full);
                    } else {
                        printed.push_back(object);
                        piece.stretchable->SaveHeight = full - ((space - top) - unused);
                        piece.printedAny = true;
                    }
                    next.push_back(piece);
                    continue;
                }
                object->SetHeight(full);
                if (full <= pageSpace) {
                    if (top < space) {
                        moveBelow(*object, space - top);
                        object->SetTop(space);
                    }
                    next.push_back(piece);
                } else {
                    printed.push_back(object);
                }
            }

            // A part on a fresh page or column that prints nothing would repeat for ever.
            if (printed.empty() && freshColumn && !next.empty())
                throw EEngineError(ResourceText(u"enSplitNoProgress", {Variant(band->Name()),
                                                                        Variant(next.front().object->Name())})
                                       .toStdString());

            double bottom = 0;
            for (TrpComponent* object : all)
                object->SetVisible(false);
            for (TrpComponent* object : printed) {
                const size_t index = static_cast<size_t>(std::find(all.begin(), all.end(), object) - all.begin());
                object->SetVisible(index < wasVisible.size() && wasVisible[index]);
                bottom = std::max(bottom, object->Top() + object->Height());
            }
            band->SetHeight(bottom);
            if (next.empty()) {
                for (TrpComponent* object : printed) {
                    if (object->GetAlign() == baBottom)
                        object->SetTop(bottom - object->Height());
                    auto* stretchable = dynamic_cast<TrpStretcheable*>(object);
                    if (stretchable != nullptr && stretchable->StretchMode == smMaxHeight)
                        stretchable->SetHeight(bottom - stretchable->Top());
                }
            }
            band->SetLeft(CurX);
            band->SetTop(CurY);
            if (!printed.empty())
                store->AddObject(band);
            CurY += bottom;
            remaining = std::move(next);
            if (!remaining.empty()) {
                if (!report->EngineOptions().EnableThreadSafe)
                    ReportServices::Ui().ProcessEvents();
                NewColumn();
                curBand_ = band;
                freshColumn = true;
                for (Piece& piece : remaining) {
                    TrpComponent* object = piece.object;
                    object->SetTop(std::max(0.0, object->Top() - space));
                    if (piece.stretchable != nullptr)
                        object->SetHeight(piece.stretchable->SaveHeight);
                }
            }
        }
    } catch (...) {
        restoreVisibility();
        band->SetHeight(savedHeight);
        throw;
    }
    restoreVisibility();
}

void TrpEngine::CheckSuppress(TrpBand* band)
{
    bool any = false;
    for (TrpComponent* object : band->Objects()) {
        auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
        if (memo != nullptr && memo->SuppressRepeated) {
            memo->ResetSuppress();
            any = true;
        }
    }
    if (!any || band->HasVBands)
        return;
    FinishBand(band);
    CurLine = band->LineN;
    CurLineThrough = band->LineThrough;
    SecondScriptCall = true;
    try {
        PrepareBand(band);
    } catch (...) {
        SecondScriptCall = false;
        throw;
    }
    SecondScriptCall = false;
    band->StretchedHeight = band->Height();
}

// --- pages and columns -------------------------------------------------------------------------

void TrpEngine::AddPage()
{
    TrpCustomPreviewPages* store = PreviewPages();
    prevFooterHeight_ = 0;
    store->AddPage(page_);
    CurY = 0;
    auto* overlay = dynamic_cast<TrpOverlay*>(PageBand(TrpOverlay::Class()));
    if (overlay != nullptr && !overlay->PrintOnTop) {
        ShowBand(overlay);
        CurY = 0;
    }
    firstColumnY_ = 0;
    const double savedX = CurX;
    for (int i = 0; i < headerList_.Count(); ++i) {
        TrpHeaderListItem& entry = headerList_.Items(i);
        TrpBand* band = entry.Band.data();
        CurX = entry.Left;
        if (band == nullptr || band == startNewPageBand_)
            continue;
        if (auto* pageHeader = dynamic_cast<TrpPageHeader*>(band)) {
            if (isFirstPage_ && !pageHeader->PrintOnFirstPage) {
                if (!pageHeader->PrintChildIfInvisible)
                    continue;
                band = pageHeader->Child();
                if (band == nullptr)
                    continue;
            }
        }
        const bool isHeader = dynamic_cast<TrpHeader*>(band) != nullptr;
        if (((isHeader && keepHeader_) || entry.IsInKeepList) && !keepFooter_)
            continue;
        if (isHeader && (dontShowHeaders_ || band == lastBandOnPage_))
            continue;
        if (dynamic_cast<TrpGroupHeader*>(band) != nullptr && dontShowHeaders_)
            continue;
        const bool isPageHeader = IsPageHeaderBand(band);
        band->Overflow = true;
        CurLine = band->LineN;
        CurLineThrough = band->LineThrough;
        const bool savedFromAddPage = callFromAddPage_;
        const bool savedFromPHeader = callFromPHeader_;
        callFromAddPage_ = true;
        callFromPHeader_ = isPageHeader;
        try {
            ShowBand(band);
        } catch (...) {
            callFromAddPage_ = savedFromAddPage;
            callFromPHeader_ = savedFromPHeader;
            band->Overflow = false;
            throw;
        }
        callFromAddPage_ = savedFromAddPage;
        callFromPHeader_ = savedFromPHeader;
        band->Overflow = false;
        if (dynamic_cast<TrpReportTitle*>(band) != nullptr) {
            headerList_.Items(i).Band = nullptr;
            if (isFirstBand_)
                titlePrinted_ = true;
        }
        if (isPageHeader)
            firstColumnY_ = band->StretchedHeight;
    }
    CurX = savedX;
}

void TrpEngine::EndPage()
{
    TrpCustomPreviewPages* store = PreviewPages();
    if (!callFromEndPage_)
        ShowColumnFooter();
    if (!isLastPage_) {
        CurX = pageCurX_;
        CurColumn = 1;
    }
    if (isLastPage_ && !callFromEndPage_) {
        callFromEndPage_ = true;
        try {
            ShowBand(PageBand(TrpReportSummary::Class()));
        } catch (...) {
            callFromEndPage_ = false;
            throw;
        }
        callFromEndPage_ = false;
        if (page_ != nullptr && page_->EndlessHeight) {
            ResizeCurrentPage(PageWidth + (page_->LeftMargin + page_->RightMargin) * kPixelsPerMillimetre,
                              PageHeight() + (page_->TopMargin + page_->BottomMargin) * kPixelsPerMillimetre);
        }
    }

    if (auto* footer = dynamic_cast<TrpPageFooter*>(PageBand(TrpPageFooter::Class()))) {
        CurY = PageHeight() - footer->Height();
        prevFooterHeight_ =
            isLastPage_ && footer->PrintOnLastPage && !callFromEndPage_ ? footer->Height() : 0;
        PrepareBand(footer);
        if (footer->Visible()) {
            const bool notHere = (isFirstPage_ && !footer->PrintOnFirstPage)
                                 || (isLastPage_ && !footer->PrintOnLastPage && !callFromEndPage_);
            if (notHere) {
                FinishBand(footer);
            } else {
                footer->SetLeft(0);
                footer->SetTop(CurY);
                if (!store->BandExists(footer))
                    store->AddObject(footer);
                CurY += footer->Height();
                FinishBand(footer);
                aggregates_.Reset(footer);
            }
        } else {
            FinishBand(footer);
        }
    }

    if (auto* overlay = dynamic_cast<TrpOverlay*>(PageBand(TrpOverlay::Class())); overlay != nullptr && overlay->PrintOnTop) {
        const double savedY = CurY;
        CurY = 0;
        PrepareBand(overlay);
        if (overlay->Visible()) {
            overlay->SetLeft(0);
            overlay->SetTop(0);
            store->AddObject(overlay);
        }
        FinishBand(overlay);
        CurY = savedY;
    }
    isFirstPage_ = false;
}

void TrpEngine::NewPage()
{
    TrpCustomPreviewPages* store = PreviewPages();
    TrpCustomOutline* outline = store->Outline();
    const QPointer<TrpBand> band = curBand_;
    const double bandHeight = band != nullptr ? band->Height() : 0;
    if (keeping_ && CurY - keepCurY_ + bandHeight > PageHeight() - FooterHeight()) {
        // Higher than a page: the block is given up and breaks where it stands.
        keeping_ = false;
        keepHeader_ = false;
        aggregates_.EndKeep();
    }
    TrpBand* takenHeader = nullptr;
    auto* keptDataBand = dynamic_cast<TrpDataBand*>(keepBand_.data());
    if (keeping_) {
        if (keepFooter_ && keptDataBand != nullptr)
            aggregates_.DeleteValue(keptDataBand);
        store->CutObjects(keepPosition_);
        auto* dataBand = dynamic_cast<TrpDataBand*>(band.data());
        if (dataBand != nullptr && dataBand->Header != nullptr && std::fabs(store->GetLastY(0) - CurY) >= 1e-4) {
            takenHeader = dataBand->Header;
            headerList_.RemoveItem(takenHeader);
        }
    }
    lastBandOnPage_ = band;
    EndPage();
    if (page_ != nullptr && page_->EndlessHeight) {
        ResizeCurrentPage(PageWidth + (page_->LeftMargin + page_->RightMargin) * kPixelsPerMillimetre,
                          FooterHeight() + CurY + (page_->TopMargin + page_->BottomMargin) * kPixelsPerMillimetre);
    }
    AddPage();
    lastBandOnPage_ = nullptr;
    if (keeping_) {
        aggregates_.EndKeep();
        store->PasteObjects(0, CurY);
        outline->ShiftItems(keepOutline_, RoundedTop(CurY));
        store->ShiftAnchors(keepAnchor_, RoundedTop(CurY));
        CurY = store->GetLastY(0);
        if (keepFooter_ && keptDataBand != nullptr)
            aggregates_.AddValue(keptDataBand, 0);
        auto* header = dynamic_cast<TrpHeader*>(takenHeader);
        if (header != nullptr && header->ReprintOnNewPage)
            headerList_.AddItem(header, false, pageCurX_);
    }
    keeping_ = false;
    keepHeader_ = false;
    keepCurY_ = 0;
    if (page_ != nullptr && !page_->OutlineText.trimmed().isEmpty()) {
        TrpReport* report = Report();
        report->CurObject = page_->Name();
        outline->LevelRoot();
        outline->AddItem(report->Calc(page_->OutlineText).ToString(), 0);
    }
    curBand_ = band;
}

void TrpEngine::NewColumn()
{
    const int32_t columns = page_ != nullptr ? page_->Columns() : 0;
    if (CurColumn >= columns) {
        NewPage();
        return;
    }
    TrpCustomPreviewPages* store = PreviewPages();
    TrpCustomOutline* outline = store->Outline();
    const QPointer<TrpBand> band = curBand_;
    auto* keptDataBand = dynamic_cast<TrpDataBand*>(keepBand_.data());
    if (keeping_) {
        if (keepFooter_ && keptDataBand != nullptr)
            aggregates_.DeleteValue(keptDataBand);
        store->CutObjects(keepPosition_);
        CurY = store->GetLastY(CurX);
    }
    lastBandOnPage_ = band;
    ShowColumnFooter();
    StartColumn();
    lastBandOnPage_ = nullptr;
    if (keeping_) {
        aggregates_.EndKeep();
        store->PasteObjects(CurX, CurY);
        outline->ShiftItems(keepOutline_, RoundedTop(CurY));
        store->ShiftAnchors(keepAnchor_, RoundedTop(CurY));
        CurY = store->GetLastY(CurX);
        if (keepFooter_ && keptDataBand != nullptr)
            aggregates_.AddValue(keptDataBand, 0);
    }
    keeping_ = false;
    keepHeader_ = false;
    curBand_ = band;
}

void TrpEngine::StartColumn()
{
    TrpCustomPreviewPages* store = PreviewPages();
    ++CurColumn;
    double x = 0;
    const QStringList& positions = page_->ColumnPositions();
    if (CurColumn - 1 < positions.size()) {
        QString text = positions[CurColumn - 1].trimmed();
        text.replace(u',', u'.');
        bool ok = false;
        const double millimetres = text.toDouble(&ok);
        if (ok && std::isfinite(millimetres))
            x = millimetres * kPixelsPerMillimetre;
    }
    CurY = firstColumnY_;
    for (int i = 0; i < headerList_.Count(); ++i) {
        TrpHeaderListItem& entry = headerList_.Items(i);
        TrpBand* band = entry.Band.data();
        CurX = entry.Left + x;
        if (band == nullptr || IsPageHeaderBand(band) || band == lastBandOnPage_ || entry.IsInKeepList || keepHeader_)
            continue;
        for (int depth = 0; band != nullptr && depth < 1000; ++depth) {
            band->Overflow = true;
            PrepareBand(band);
            if (band->Visible()) {
                band->SetLeft(CurX);
                band->SetTop(CurY);
                store->AddObject(band);
                CurY += band->Height();
            }
            FinishBand(band);
            band->Overflow = false;
            band = band->Visible() || band->PrintChildIfInvisible ? band->Child() : nullptr;
        }
    }
    CurX = pageCurX_ + x;
}

void TrpEngine::ShowColumnFooter()
{
    TrpBand* footer = PageBand(TrpColumnFooter::Class());
    if (footer == nullptr)
        return;
    PrepareBand(footer);
    if (footer->Visible()) {
        footer->SetLeft(CurX - pageCurX_);
        footer->SetTop(CurY);
        PreviewPages()->AddObject(footer);
        CurY += footer->Height();
    }
    FinishBand(footer);
    aggregates_.Reset(footer);
}

// --- keep-together -----------------------------------------------------------------------------

void TrpEngine::StartKeep(TrpBand* band, int32_t position)
{
    if (keeping_ || isFirstBand_)
        return;
    TrpCustomPreviewPages* store = PreviewPages();
    keepCurY_ = CurY;
    keepBand_ = band;
    keepPosition_ = position != 0 ? position : store->GetCurPosition();
    keepOutline_ = store->Outline()->GetCurPosition();
    keepAnchor_ = store->GetAnchorCurPosition();
    keeping_ = true;
    aggregates_.StartKeep();
}

void TrpEngine::EndKeep(TrpBand* band)
{
    if (!keeping_ || keepBand_ != band)
        return;
    keeping_ = false;
    keepHeader_ = false;
    aggregates_.EndKeep();
}

void TrpEngine::BreakAllKeep()
{
    if (!keeping_)
        return;
    keeping_ = false;
    keepHeader_ = false;
    aggregates_.EndKeep();
}

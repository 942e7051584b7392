// A prepared page drawn on any painter, and the loop that hands every page and object to an
// export filter.

#include "rpPreviewPages.h"

#include "report/core/Services.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpGraphicUtils.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QPaintDevice>
#include <QPainter>

#include <exception>
#include <utility>

namespace {

// Views this far outside what can be seen are not drawn.
constexpr int kCullMargin = 20;

// Swaps a page's left and right margins for as long as it lives (a mirrored odd page).
class MirroredMargins {
public:
    MirroredMargins(TrpReportPage& page, bool mirror) : page_(page), mirror_(mirror)
    {
        if (mirror_)
            std::swap(page_.LeftMargin, page_.RightMargin);
    }
    ~MirroredMargins()
    {
        if (mirror_)
            std::swap(page_.LeftMargin, page_.RightMargin);
    }
    MirroredMargins(const MirroredMargins&) = delete;
    MirroredMargins& operator=(const MirroredMargins&) = delete;

private:
    TrpReportPage& page_;
    bool mirror_;
};

// What the painter can show, in its own coordinates: the device, within its clip.
QRectF VisibleArea(const QPainter& painter)
{
    QRectF area(-1e9, -1e9, 2e9, 2e9);
    if (const QPaintDevice* device = painter.device()) {
        const QRectF deviceRect(0, 0, device->width(), device->height());
        bool invertible = false;
        const QTransform toLogical = painter.combinedTransform().inverted(&invertible);
        if (invertible)
            area = toLogical.mapRect(deviceRect);
    }
    if (painter.hasClipping())
        area = area.intersected(painter.clipBoundingRect());
    return area;
}

QString ErrorText(const platform::Exception& error)
{
    return QString::fromStdString(error.Message());
}

} // namespace

// --- drawing -----------------------------------------------------------------------------------

void TrpPreviewPages::DrawPage(int32_t index, QPainter& painter, double scaleX, double scaleY, double offsetX,
                               double offsetY, const TrpDrawContext& context)
{
    TrpReportPage* page = GetPage(index);
    if (page == nullptr)
        return;
    const MirroredMargins margins(*page, page->MirrorMargins && index % 2 == 1);
    const bool printing = context.Printing;
    painter.save();
    struct Restore {
        QPainter& painter;
        ~Restore() { painter.restore(); }
    } restore{painter};
    if (!printing) {
        // The paper: nothing is drawn beyond it.
        const int left = RoundToDevice(offsetX);
        const int top = RoundToDevice(offsetY);
        const int right = RoundToDevice(page->PaperWidth() * kPixelsPerMillimetre * scaleX + offsetX) - 1;
        const int bottom = RoundToDevice(page->PaperHeight() * kPixelsPerMillimetre * scaleY + offsetY) - 1;
        painter.setClipRect(QRect(left, top, right - left, bottom - top), Qt::IntersectClip);
    }
    page->SetPrinting(printing);
    page->Draw(painter, scaleX, scaleY, offsetX, offsetY, context);
    page->SetPrinting(false);
    const double originX = offsetX + page->LeftMargin * kPixelsPerMillimetre * scaleX;
    const double originY = offsetY + page->TopMargin * kPixelsPerMillimetre * scaleY;
    const QRectF visible = VisibleArea(painter);
    for (TrpComponent* object : page->AllObjects()) {
        auto* view = dynamic_cast<TrpView*>(object);
        if (view == nullptr)
            continue;
        const QRectF bounds(QPointF(RoundToDevice(view->AbsLeft() * scaleX - kCullMargin) + originX,
                                    RoundToDevice(view->AbsTop() * scaleY - kCullMargin) + originY),
                            QPointF(RoundToDevice((view->AbsLeft() + view->Width()) * scaleX + kCullMargin) + originX,
                                    RoundToDevice((view->AbsTop() + view->Height()) * scaleY + kCullMargin) + originY));
        if (!bounds.intersects(visible))
            continue;
        if (printing && !view->Printable)
            continue;
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(view)) {
            memo->TotalPages = GetCount();
            memo->CopyNo = copyNo_;
        }
        view->SetPrinting(printing);
        view->Draw(painter, scaleX, scaleY, originX, originY, context);
        view->SetPrinting(false);
    }
}

// --- exporting ---------------------------------------------------------------------------------

bool TrpPreviewPages::Export(TrpCustomExportFilter* filter)
{
    copyNo_ = 0;
    if (filter == nullptr)
        return false;
    TrpReport* report = Report();
    filter->CreationTime = ReportServices::Clock().Now();
    filter->Report = report;
    if (filter->ShowDialog && filter->ShowModal() != mrOk)
        return false;
    TrpCustomPreview* preview = report != nullptr ? report->Preview() : nullptr;
    if (filter->CurPage)
        filter->PageNumbers = preview != nullptr ? QString::number(CurPreviewPage) : QStringLiteral("1");

    if (report != nullptr)
        report->SetTerminated(false);
    bool started = false;
    bool failed = false;
    QString error;
    std::exception_ptr passThrough;
    try {
        QList<int> pageNumbers;
        ParsePageNumbers(filter->PageNumbers, pageNumbers, GetCount());
        if (filter->OnBeginExport)
            filter->OnBeginExport(*filter);
        if (!filter->Start())
            return true;
        started = true;
        if (preview != nullptr) {
            preview->Lock();
            preview->RefreshReport();
        }
        if (filter->ShowProgress && report != nullptr)
            report->InternalOnProgressStart(ptExporting);
        for (int32_t i = 0; i < GetCount(); ++i) {
            ExportPage(*filter, i, pageNumbers);
            ReportServices::Ui().ProcessEvents();
        }
    } catch (const EExportTerminated&) {
        // The user stopped it: what was exported stands.
    } catch (const platform::Exception& failure) {
        failed = true;
        error = ErrorText(failure);
    } catch (...) {
        passThrough = std::current_exception();
    }
    if (started) {
        try {
            if (report != nullptr)
                preview = report->Preview();
            if (preview != nullptr) {
                preview->Unlock();
                preview->RefreshReport();
            }
            if (filter->ShowProgress && report != nullptr)
                report->InternalOnProgressStop(ptExporting);
            filter->Finish();
        } catch (const platform::Exception& failure) {
            if (!failed && !passThrough) {
                failed = true;
                error = ErrorText(failure);
            }
        }
    }
    if (passThrough)
        std::rethrow_exception(passThrough);
    if (!failed)
        return true;
    if (report != nullptr) {
        report->AddError(error);
        HandleReportError(*report, GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n")
                                       + report->Errors().join(QStringLiteral("\r\n")));
    }
    return false;
}

void TrpPreviewPages::ExportPage(TrpCustomExportFilter& filter, int32_t index, const QList<int>& pageNumbers)
{
    if (!pageNumbers.isEmpty() && !pageNumbers.contains(index + 1))
        return;
    TrpReportPage* page = GetPage(index);
    if (page == nullptr)
        return;
    TrpReport* report = Report();
    if (filter.ShowProgress && report != nullptr)
        report->InternalOnProgress(ptExporting, index + 1);
    filter.StartPage(page, index);
    const QPointer<TrpReportPage> watched = page;
    // With a preview the page stays in the cache and goes back to its place; without one the
    // cache is emptied, so an export of a large report keeps no pages.
    const auto putBack = [&] {
        if (report != nullptr && report->Preview() != nullptr) {
            if (watched != nullptr) {
                watched->SetLeft(0);
                watched->SetTop(0);
            }
        } else {
            ClearPageCache();
        }
    };
    try {
        ExportPageObjects(filter, *page, index);
    } catch (...) {
        // FinishPage comes also after a failure; the first failure is the one reported.
        try {
            filter.FinishPage(watched, index);
        } catch (...) {
        }
        putBack();
        throw;
    }
    try {
        filter.FinishPage(watched, index);
    } catch (...) {
        putBack();
        throw;
    }
    putBack();
}

void TrpPreviewPages::ExportPageObjects(TrpCustomExportFilter& filter, TrpReportPage& page, int32_t index)
{
    // The page moves to its printable area, so that its objects' absolute positions include
    // the margins.
    const double leftMargin = page.MirrorMargins && index % 2 == 1 ? page.RightMargin : page.LeftMargin;
    page.SetLeft(leftMargin * kPixelsPerMillimetre);
    page.SetTop(page.TopMargin * kPixelsPerMillimetre);

    {
        TrpPictureView background;
        background.SetName(QStringLiteral("_pagebackground"));
        background.Color = page.Color();
        background.SetFrame(page.Frame());
        background.SetPicture(page.BackPicture());
        background.Stretched = true;
        background.KeepAspectRatio = false;
        background.SetBounds(page.Left(), page.Top(),
                             page.Width() - (page.LeftMargin + page.RightMargin) * kPixelsPerMillimetre,
                             page.Height() - (page.TopMargin + page.BottomMargin) * kPixelsPerMillimetre);
        ExportObject(filter, &background);
    }

    const int32_t last = GetCount() - 1;
    const std::vector<TrpComponent*> bands = page.Objects();
    for (TrpComponent* band : bands) {
        if (filter.SuppressPageHeadersFooters) {
            if (dynamic_cast<TrpPageHeader*>(band) != nullptr && index != 0)
                continue;
            if (dynamic_cast<TrpPageFooter*>(band) != nullptr && index != last)
                continue;
        }
        ExportObject(filter, band);
        const std::vector<TrpComponent*> children = band->Objects();
        for (TrpComponent* child : children)
            ExportObject(filter, child);
    }
}

void TrpPreviewPages::ExportObject(TrpCustomExportFilter& filter, TrpComponent* object)
{
    if (filter.DataOnly && dynamic_cast<TrpDataBand*>(object->Parent()) == nullptr)
        return;
    if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object)) {
        if (memo->Highlight().Active)
            memo->SetFont(memo->Highlight().Font());
        memo->TotalPages = GetCount();
        memo->CopyNo = 1;
        memo->ExtractMacros();
        memo->ApplyAutoWidth();
    }
    filter.ExportObject(object);
    if (const TrpReport* report = Report(); report != nullptr && report->Terminated())
        throw EExportTerminated();
}

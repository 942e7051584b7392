#include "rpPreview.h"

#include "rpPreviewPageSettings.h"
#include "rpProgress.h"

#include "report/core/Cursors.h"
#include "report/engine/rpDMPClass.h"
#include "report/core/gui/QtConversions.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpRes.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPixelsPerMm = 3.77953;
// Pages considered for painting around the first visible one.
constexpr int kPaintReach = 40;
// Pages shown one by one while a report is built.
constexpr int kPagesDuringRun = 50;
// What an outline node carries: its page (from 1) and its top in pixels.
constexpr int kOutlinePageRole = Qt::UserRole + 1;
constexpr int kOutlineTopRole = Qt::UserRole + 2;

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

QString Res(const char16_t* name)
{
    return GetResourcesInstance().Get(QStringView(name));
}

void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) {
        ReportServices::Ui().ShowMessage(message);
    });
}

// Keeps every text run a page drawing hands over, in drawing order.
class RunCollector : public ITrpTextSink {
public:
    explicit RunCollector(std::vector<TrpFoundRun>& runs) : runs_(runs) {}
    void TextRun(const QString& text, const QRectF& deviceRect) override { runs_.push_back({text, deviceRect}); }

private:
    std::vector<TrpFoundRun>& runs_;
};

} // namespace

// --- TrpPageList -----------------------------------------------------------------------------

void TrpPageList::AddPage(int width, int height, double zoom)
{
    items_.push_back(TrpPageItem{Round(width * zoom), Round(height * zoom), 0, 0});
}

void TrpPageList::CalcBounds(int clientWidth)
{
    maxWidth_ = 0;
    size_t i = 0;
    int y = 10;
    while (i < items_.size()) {
        const size_t first = i;
        int rowWidth = 0;
        int rowHeight = 0;
        while (i < items_.size() && (i == first || rowWidth + items_[i].Width <= clientWidth)) {
            items_[i].OffsetX = rowWidth;
            items_[i].OffsetY = y;
            rowHeight = std::max(rowHeight, items_[i].Height);
            rowWidth += items_[i].Width + 10;
            ++i;
        }
        maxWidth_ = std::max(maxWidth_, rowWidth);
        int c = (clientWidth - rowWidth + 10) / 2;
        c = c < 0 ? 10 : c + 10;
        for (size_t k = first; k < i; ++k)
            items_[k].OffsetX += c;
        y += rowHeight + 10;
    }
}

int TrpPageList::FindPage(int offsetY, int offsetX) const
{
    int low = 0;
    int high = Count() - 1;
    int result = -1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const TrpPageItem& item = items_[static_cast<size_t>(middle)];
        const int e = offsetX != 0 ? 0 : Round(item.Height / 5.0);
        if (offsetY + e < item.OffsetY) {
            high = middle - 1;
        } else {
            result = middle;
            low = middle + 1;
        }
    }
    if (offsetX == 0)
        return result;
    for (int i = std::max(0, result - 20); i <= std::min(Count() - 1, result + 20); ++i) {
        const TrpPageItem& item = items_[static_cast<size_t>(i)];
        if (QRect(item.OffsetX, item.OffsetY, item.Width, item.Height).contains(offsetX, offsetY))
            return i;
    }
    return result;
}

QRect TrpPageList::GetPageBounds(int index, int clientWidth, double scale, bool rtl) const
{
    if (index >= 0 && index < Count()) {
        const TrpPageItem& item = items_[static_cast<size_t>(index)];
        const int left = rtl ? clientWidth - item.Width - item.OffsetX : item.OffsetX;
        return QRect(QPoint(left, item.OffsetY), QPoint(left + item.Width, item.OffsetY + item.Height));
    }
    const double width = 794 * scale;
    const int left = clientWidth >= width ? Round((clientWidth - width) / 2) : 10;
    const int top = Round(10 * scale);
    return QRect(QPoint(left, top), QPoint(left + Round(width), top + Round(1123 * scale)));
}

QPoint TrpPageList::GetMaxBounds() const
{
    if (items_.empty())
        return QPoint(0, 0);
    return QPoint(maxWidth_, items_.back().OffsetY + items_.back().Height);
}

// --- TrpPreviewWorkspace ---------------------------------------------------------------------

TrpPreviewWorkspace::TrpPreviewWorkspace(TrpPreview* preview, QWidget* parent)
    : TrpScrollWin(parent), DefaultCursor(crHand), preview_(preview)
{
    LargeChange = 300;
    SmallChange = 8;
    viewport()->setMouseTracking(true);
    viewport()->setCursor(QCursor(static_cast<Qt::CursorShape>(QtCursorShapeOf(DefaultCursor))));
}

QRect TrpPreviewWorkspace::PageBounds(int index) const
{
    return pageList_.GetPageBounds(index, viewport()->width(), Zoom, RTLLanguage);
}

void TrpPreviewWorkspace::UpdateScrollRanges()
{
    const QPoint max = pageList_.GetMaxBounds();
    SetHorzRange(max.x() + 10);
    SetVertRange(max.y() + 10);
}

void TrpPreviewWorkspace::ScrollToPage(int pageNo)
{
    if (!DisableUpdate)
        SetVertPosition(PageBounds(pageNo - 1).top() - 10);
}

void TrpPreviewWorkspace::SetPosition(int pageN, int top)
{
    if (pageN < 1 || pageN > pageList_.Count() || PreviewPages == nullptr)
        return;
    int y = 0;
    if (top != 0) {
        double topMargin = 0;
        if (TrpReportPage* page = PreviewPages->GetPage(pageN - 1))
            topMargin = page->TopMargin;
        y = Round((topMargin * kPixelsPerMm + top) * Zoom);
    }
    SetVertPosition(PageBounds(pageN - 1).top() + y - 10);
}

int TrpPreviewWorkspace::GetTopPosition()
{
    const int index = preview_->PageNo() - 1;
    if (index < 0 || index >= pageList_.Count() || PreviewPages == nullptr)
        return 0;
    double topMargin = 0;
    if (TrpReportPage* page = PreviewPages->GetPage(index))
        topMargin = page->TopMargin;
    return Round((VertPosition() - PageBounds(index).top() + 10) / Zoom - topMargin * kPixelsPerMm);
}

void TrpPreviewWorkspace::resizeEvent(QResizeEvent* event)
{
    TrpScrollWin::resizeEvent(event);
    // The rows depend on the width (the splitter moved, the window was resized).
    if (!IsThumbnail)
        preview_->RebuildPageList();
}

void TrpPreviewWorkspace::HorzScrollChanged()
{
    viewport()->update();
}

void TrpPreviewWorkspace::VertScrollChanged()
{
    viewport()->update();
    if (IsThumbnail || pageList_.Count() == 0)
        return;
    DisableUpdate = true;
    preview_->SetPageNo(pageList_.FindPage(VertPosition(), 0) + 1);
    DisableUpdate = false;
}

void TrpPreviewWorkspace::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    painter.fillRect(client, ToQColor(BackColor));
    if (Locked || pageList_.Count() == 0 || PreviewPages == nullptr)
        return;
    const QPoint offset(-HorzPosition(), -VertPosition());
    const int e = std::max(0, pageList_.FindPage(VertPosition(), 0));
    // The current page's frame.
    if (PageNo >= 1 && PageNo <= pageList_.Count()) {
        const QRect r = PageBounds(PageNo - 1).translated(offset);
        painter.setPen(QPen(ToQColor(ActiveFrameColor), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(-1, -1, 1, 1));
    }
    const TrpDrawContext context;
    for (int i = std::max(0, e - kPaintReach); i <= std::min(pageList_.Count() - 1, e + kPaintReach); ++i) {
        const QRect r = PageBounds(i).translated(offset);
        if (r.top() > client.height() || r.bottom() < 0 || !r.intersects(client))
            continue;
        painter.setPen(QPen(ToQColor(FrameColor), 1));
        painter.setBrush(Qt::white);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.save();
        PreviewPages->DrawPage(i, painter, Zoom, Zoom, r.left(), r.top(), context);
        painter.restore();
        if (IsThumbnail) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(8);
            const QFontMetrics metrics(font);
            const QString number = QStringLiteral(" %1 ").arg(i + 1);
            painter.setFont(font);
            painter.fillRect(QRect(r.left() + 1, r.top() + 1, metrics.horizontalAdvance(number), metrics.height()),
                             ToQColor(BackColor));
            painter.setPen(Qt::white);
            painter.drawText(QPoint(r.left() + 1, r.top() + 1 + metrics.ascent()), number);
        }
        if (found_ && lastFoundPage_ == i) {
            const QRect hit(QPoint(r.left() + Round(foundRect_.left() * Zoom) - 1, r.top() + Round(foundRect_.top() * Zoom)),
                            QPoint(r.left() + Round(foundRect_.right() * Zoom) + 1, r.top() + Round(foundRect_.bottom() * Zoom)));
            painter.setCompositionMode(QPainter::CompositionMode_Difference);
            painter.fillRect(hit, Qt::white);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
}

void TrpPreviewWorkspace::ObjectOverAt(const QPoint& point, bool click, bool doubleClick, int button)
{
    if (PreviewPages == nullptr)
        return;
    const int index = pageList_.FindPage(point.y() + VertPosition(), point.x() + HorzPosition());
    if (index < 0)
        return;
    const QRect r = PageBounds(index);
    int cursor = DefaultCursor;
    PreviewPages->ObjectOver(index, point.x(), point.y(), button, 0, Zoom, r.left() - HorzPosition(),
                             r.top() - VertPosition(), click, cursor, doubleClick);
    viewport()->setCursor(QCursor(static_cast<Qt::CursorShape>(QtCursorShapeOf(cursor))));
}

void TrpPreviewWorkspace::mousePressEvent(QMouseEvent* event)
{
    if (pageList_.Count() > 0 && !Locked && event->button() == Qt::LeftButton) {
        down_ = true;
        lastPoint_ = event->position().toPoint();
    }
}

void TrpPreviewWorkspace::mouseMoveEvent(QMouseEvent* event)
{
    if (IsThumbnail || Locked || pageList_.Count() == 0)
        return;
    const QPoint point = event->position().toPoint();
    if (down_) {
        const QPoint delta = point - lastPoint_;
        SetHorzPosition(HorzPosition() - delta.x());
        SetVertPosition(VertPosition() - delta.y());
        lastPoint_ = point;
        return;
    }
    Guard([&] { ObjectOverAt(point, false, false, 1); });
}

void TrpPreviewWorkspace::mouseReleaseEvent(QMouseEvent* event)
{
    if (pageList_.Count() == 0 || Locked)
        return;
    down_ = false;
    const QPoint point = event->position().toPoint();
    int x = point.x() + HorzPosition();
    if (RTLLanguage)
        x = viewport()->width() - point.x() + HorzPosition();
    const int index = pageList_.FindPage(point.y() + VertPosition(), x);
    const QPointer<TrpPreviewWorkspace> self(this);
    Guard([&] {
        if (index >= 0) {
            DisableUpdate = !IsThumbnail;
            preview_->SetPageNo(index + 1);
            if (self != nullptr)
                DisableUpdate = false;
        }
        if (self == nullptr || IsThumbnail || event->button() == Qt::RightButton)
            return;
        const bool doubleClick =
            lastClick_.isValid() && lastClick_.elapsed() <= QApplication::doubleClickInterval();
        if (doubleClick)
            lastClick_.invalidate();
        else
            lastClick_.start();
        ObjectOverAt(point, true, doubleClick, 1);
    });
}

void TrpPreviewWorkspace::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt reports the second press as a double click; the release above counts it.
    mousePressEvent(event);
    if (!IsThumbnail && preview_->OnDblClick)
        Guard([&] { preview_->OnDblClick(); });
}

void TrpPreviewWorkspace::StartSearch(const QString& text, bool caseSensitive, int fromPage)
{
    searchText_ = text;
    caseSensitive_ = caseSensitive;
    lastFoundPage_ = fromPage;
    lastHit_ = -1;
    found_ = false;
}

void TrpPreviewWorkspace::ClearSearch()
{
    found_ = false;
    lastFoundPage_ = 0;
    lastHit_ = -1;
    viewport()->update();
}

bool TrpPreviewWorkspace::FindNext()
{
    found_ = false;
    if (PreviewPages == nullptr)
        return false;
    const QString needle = caseSensitive_ ? searchText_ : searchText_.toUpper();
    const int count = PreviewPages->GetCount();
    while (!needle.isEmpty() && lastFoundPage_ < count) {
        if (searchPage_ != lastFoundPage_) {
            runs_.clear();
            const QPoint size = PreviewPages->GetPageSize(lastFoundPage_);
            QImage image(std::max(1, size.x()), std::max(1, size.y()), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            RunCollector collector(runs_);
            TrpDrawContext context;
            context.Sink = &collector;
            PreviewPages->DrawPage(lastFoundPage_, painter, 1, 1, 0, 0, context);
            searchPage_ = lastFoundPage_;
        }
        for (int i = lastHit_ + 1; i < static_cast<int>(runs_.size()); ++i) {
            const QString text = caseSensitive_ ? runs_[static_cast<size_t>(i)].Text
                                                : runs_[static_cast<size_t>(i)].Text.toUpper();
            if (text.contains(needle)) {
                found_ = true;
                foundRect_ = runs_[static_cast<size_t>(i)].Rect;
                lastHit_ = i;
                break;
            }
        }
        if (found_) {
            const QRect page = PageBounds(lastFoundPage_);
            const QRect hit(page.left() + Round(foundRect_.left() * Zoom), page.top() + Round(foundRect_.top() * Zoom),
                            Round(foundRect_.width() * Zoom), Round(foundRect_.height() * Zoom));
            const QRect view(HorzPosition(), VertPosition(), viewport()->width(), viewport()->height());
            if (hit.top() < view.top() || hit.bottom() > view.bottom())
                SetVertPosition(hit.bottom() - view.height() + 20);
            if (hit.left() < view.left() || hit.right() > view.right())
                SetHorzPosition(hit.right() - view.width() + 20);
            viewport()->update();
            return true;
        }
        lastHit_ = -1;
        ++lastFoundPage_;
    }
    viewport()->update();
    return false;
}

// --- TrpPreview ------------------------------------------------------------------------------

TrpPreview::TrpPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TrpPreview"));
    setFocusPolicy(Qt::StrongFocus);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter"));
    splitter_->setHandleWidth(4);
    auto* leftPane = new QWidget(splitter_);
    auto* leftLayout = new QVBoxLayout(leftPane);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    outline_ = new QTreeWidget(leftPane);
    outline_->setObjectName(QStringLiteral("OutlineTree"));
    outline_->setHeaderHidden(true);
    outline_->setFrameShape(QFrame::NoFrame);
    outline_->setContextMenuPolicy(Qt::CustomContextMenu);
    thumbnail_ = new TrpPreviewWorkspace(this, leftPane);
    thumbnail_->setObjectName(QStringLiteral("Thumbnail"));
    thumbnail_->IsThumbnail = true;
    thumbnail_->Zoom = 0.1;
    leftLayout->addWidget(outline_);
    leftLayout->addWidget(thumbnail_);
    outline_->hide();
    thumbnail_->hide();
    leftPane->hide();
    workspace_ = new TrpPreviewWorkspace(this, splitter_);
    workspace_->setObjectName(QStringLiteral("Workspace"));
    splitter_->addWidget(leftPane);
    splitter_->addWidget(workspace_);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { RebuildPageList(); });

    outlinePopup_ = new QMenu(this);
    outlinePopup_->setObjectName(QStringLiteral("OutlinePopup"));
    outlinePopup_->addAction(Res(u"601"), this, [this] {
        outline_->collapseAll();
        workspace_->setFocus();
    });
    outlinePopup_->addAction(Res(u"600"), this, [this] {
        outline_->expandAll();
        outline_->scrollToTop();
        workspace_->setFocus();
    });
    connect(outline_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& point) { outlinePopup_->popup(outline_->viewport()->mapToGlobal(point)); });
    connect(outline_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        Guard([&] {
            SetPosition(item->data(0, kOutlinePageRole).toInt(), item->data(0, kOutlineTopRole).toInt());
            setFocus();
        });
    });

    messagePanel_ = new QFrame(this);
    messagePanel_->setObjectName(QStringLiteral("MessagePanel"));
    static_cast<QFrame*>(messagePanel_)->setFrameShape(QFrame::Panel);
    messagePanel_->setAutoFillBackground(true);
    messageLabel_ = new QLabel(messagePanel_);
    messageLabel_->setObjectName(QStringLiteral("MessageLabel"));
    messageLabel_->setAlignment(Qt::AlignCenter);
    messageLabel_->setGeometry(4, 20, 255, 20);
    cancelButton_ = new QPushButton(Res(u"clCancel"), messagePanel_);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cancelButton_->setGeometry(92, 44, 75, 25);
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, [this] { Cancel(); });
    messagePanel_->hide();
    resize(100, 100);
}

TrpPreview::~TrpPreview() = default;

void TrpPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    splitter_->setGeometry(rect());
    RebuildPageList();
}

int TrpPreview::PageCount() const
{
    return PreviewPages() != nullptr ? PreviewPages()->GetCount() : 0;
}

int TrpPreview::ScrollBarWidth() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

bool TrpPreview::HasButton(TrpPreviewButton button) const
{
    return Report() != nullptr && (Report()->PreviewOptions().Buttons & (1u << button)) != 0;
}

void TrpPreview::PageChanged()
{
    if (OnPageChanged)
        OnPageChanged(pageNo_);
}

void TrpPreview::SetPageNo(int32_t value)
{
    const int old = pageNo_;
    value = std::max(1, value);
    value = std::min(value, PageCount());
    pageNo_ = value;
    workspace_->PageNo = value;
    thumbnail_->PageNo = value;
    if (old != value) {
        workspace_->Repaint();
        thumbnail_->Repaint();
    }
    workspace_->ScrollToPage(value);
    if (thumbnail_->isVisible())
        thumbnail_->ScrollToPage(value);
    PageChanged();
}

void TrpPreview::SetPosition(int32_t pageN, int32_t top)
{
    pageN = std::max(1, std::min(pageN, PageCount()));
    workspace_->SetPosition(pageN, top);
}

void TrpPreview::SetObjectHint(const QString& hint, bool)
{
    if (OnHint)
        OnHint(hint);
}

void TrpPreview::InvalidatePage()
{
    workspace_->Repaint();
}

void TrpPreview::SetZoom(double value)
{
    zoom_ = std::max(0.25, value);
    zoomMode_ = zmDefault;
    RebuildPageList();
}

void TrpPreview::SetZoomMode(TrpZoomMode value)
{
    zoomMode_ = value;
    RebuildPageList();
}

void TrpPreview::MouseWheelScroll(int delta, bool horz, bool zoom)
{
    if (delta == 0)
        return;
    const int sign = delta > 0 ? 1 : -1;
    if (zoom) {
        SetZoom(std::max(0.3, zoom_ + sign / 10.0));
    } else if (horz) {
        workspace_->SetHorzPosition(workspace_->HorzPosition() - sign * 20);
    } else {
        workspace_->SetVertPosition(workspace_->VertPosition() - sign * 20);
    }
}

void TrpPreview::SetOutlineVisible(bool value)
{
    const bool changed = value != outlineVisible_;
    outlineVisible_ = value;
    if (value)
        thumbnailVisible_ = false;
    outline_->setVisible(value);
    thumbnail_->setVisible(thumbnailVisible_);
    outline_->parentWidget()->setVisible(outlineVisible_ || thumbnailVisible_);
    if (changed)
        RebuildPageList();
    if (OnRunningChanged)
        OnRunningChanged();
}

void TrpPreview::SetThumbnailVisible(bool value)
{
    const bool changed = value != thumbnailVisible_;
    thumbnailVisible_ = value;
    if (value)
        outlineVisible_ = false;
    outline_->setVisible(outlineVisible_);
    thumbnail_->setVisible(value);
    outline_->parentWidget()->setVisible(outlineVisible_ || thumbnailVisible_);
    if (changed)
        RebuildPageList();
    if (value)
        thumbnail_->ScrollToPage(pageNo_);
    if (OnRunningChanged)
        OnRunningChanged();
}

void TrpPreview::SetOutlineWidth(int value)
{
    splitter_->setSizes({value, std::max(1, width() - value)});
}

void TrpPreview::ShowMessage(const QString& text)
{
    messagePanel_->setGeometry((width() - 260) / 2, (height() - 75) / 3, 260, 75);
    messageLabel_->setText(text);
    messagePanel_->show();
    messagePanel_->raise();
    messagePanel_->repaint();
}

void TrpPreview::HideMessage()
{
    messagePanel_->hide();
    cancelButton_->hide();
}

void TrpPreview::Lock()
{
    locked_ = true;
    workspace_->Locked = true;
    thumbnail_->Locked = true;
}

void TrpPreview::Unlock()
{
    HideMessage();
    locked_ = false;
    workspace_->Locked = false;
    thumbnail_->Locked = false;
    RebuildPageList();
    workspace_->Repaint();
    thumbnail_->Repaint();
}

void TrpPreview::Init()
{
    workspace_->PreviewPages = PreviewPages();
    thumbnail_->PreviewPages = PreviewPages();
    workspace_->StartSearch(QString(), false, 0);
    workspace_->ForgetSearchImage();
    allowF3_ = false;
    if (Report() != nullptr) {
        if (reportGuard_ != Report()) {
            reportGuard_ = Report();
            // A report that goes takes its pages with it.
            connect(Report(), &QObject::destroyed, this, [this] { ForgetReport(); });
        }
        const TrpPreviewOptions& options = Report()->PreviewOptions();
        SetOutlineWidth(options.OutlineWidth);
        outlineVisible_ = options.OutlineVisible;
        thumbnailVisible_ = options.ThumbnailVisible && !outlineVisible_;
        outline_->setVisible(outlineVisible_);
        thumbnail_->setVisible(thumbnailVisible_);
        outline_->parentWidget()->setVisible(outlineVisible_ || thumbnailVisible_);
        zoomMode_ = options.ZoomMode;
        zoom_ = std::max(0.25, options.Zoom);
    }
    RebuildPageList();
    RebuildOutline();
    First();
}

void TrpPreview::ForgetReport()
{
    workspace_->PreviewPages = nullptr;
    thumbnail_->PreviewPages = nullptr;
    workspace_->ClearPageList();
    thumbnail_->ClearPageList();
    outline_->clear();
    SetPreviewPages(nullptr);
    running_ = false;
}

void TrpPreview::RebuildPageList()
{
    if (locked_ || PageCount() == 0) {
        if (PageCount() == 0) {
            workspace_->ClearPageList();
            thumbnail_->ClearPageList();
            workspace_->UpdateScrollRanges();
            workspace_->Repaint();
        }
        return;
    }
    allowF3_ = false;
    workspace_->ForgetSearchImage();
    const QPoint size = PreviewPages()->GetPageSize(std::max(0, pageNo_ - 1));
    const int w = size.x();
    const int h = size.y();
    if (h == 0 || w == 0)
        return;
    const int areaWidth = workspace_->viewport()->width() + (workspace_->verticalScrollBar()->isVisible() ? ScrollBarWidth() : 0);
    const int areaHeight = workspace_->height();
    switch (zoomMode_) {
    case zmWholePage:
        if (static_cast<double>(h) / std::max(1, height()) >= static_cast<double>(w) / std::max(1, width()))
            zoom_ = (areaHeight - 26.0) / h;
        else
            zoom_ = (areaWidth - ScrollBarWidth() - 26.0) / w;
        break;
    case zmPageWidth:
        zoom_ = (areaWidth - ScrollBarWidth() - 26.0) / w;
        break;
    default:
        break;
    }
    zoom_ = std::max(0.01, zoom_);
    workspace_->Zoom = zoom_;
    thumbnail_->Zoom = 0.1;
    workspace_->ClearPageList();
    thumbnail_->ClearPageList();
    const int count = running_ ? std::min(PageCount(), kPagesDuringRun) : PageCount();
    for (int i = 0; i < count; ++i) {
        const QPoint pageSize = PreviewPages()->GetPageSize(i);
        workspace_->AddPage(pageSize.x(), pageSize.y());
        if (!running_)
            thumbnail_->AddPage(pageSize.x(), pageSize.y());
    }
    workspace_->CalcPageBounds(areaWidth - ScrollBarWidth() - 26);
    workspace_->UpdateScrollRanges();
    if (!running_) {
        thumbnail_->CalcPageBounds(thumbnail_->viewport()->width());
        thumbnail_->UpdateScrollRanges();
    }
    workspace_->SetHorzPosition(workspace_->HorzPosition());
    workspace_->SetVertPosition(workspace_->VertPosition());
    if (zoomMode_ == zmWholePage)
        workspace_->SetPosition(pageNo_, 0);
    if (!refreshing_) {
        workspace_->Repaint();
        thumbnail_->Repaint();
    }
    if (OnZoomChanged)
        OnZoomChanged();
}

void TrpPreview::RebuildOutline()
{
    outline_->clear();
    if (PreviewPages() == nullptr || PreviewPages()->Outline() == nullptr)
        return;
    TrpCustomOutline* outline = PreviewPages()->Outline();
    std::function<void(QTreeWidgetItem*, int)> add = [&](QTreeWidgetItem* parent, int depth) {
        const int count = outline->GetCount();
        for (int i = 0; i < count; ++i) {
            QString text;
            int page = 0;
            int top = 0;
            outline->GetItem(i, text, page, top);
            auto* node = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(outline_);
            node->setText(0, text);
            node->setData(0, kOutlinePageRole, page + 1);
            node->setData(0, kOutlineTopRole, top);
            if (depth < 64) {
                outline->LevelDown(i);
                add(node, depth + 1);
                outline->LevelUp();
            }
        }
    };
    outline->LevelRoot();
    add(nullptr, 0);
    if (Report() != nullptr && Report()->PreviewOptions().OutlineExpand)
        outline_->expandAll();
    outline_->scrollToTop();
}

void TrpPreview::RefreshReport()
{
    if (Report() == nullptr)
        return;
    const int h = workspace_->HorzPosition();
    const int v = workspace_->VertPosition();
    const int page = pageNo_;
    Lock();
    refreshing_ = true;
    const QPointer<QObject> self(this);
    try {
        Report()->PrepareReport(true);
    } catch (...) {
        if (self != nullptr) {
            refreshing_ = false;
            Unlock();
        }
        throw;
    }
    if (self == nullptr)
        return;
    locked_ = false;
    thumbnail_->Locked = false;
    pageNo_ = page <= PageCount() ? page : 1;
    RebuildPageList();
    RebuildOutline();
    refreshing_ = false;
    workspace_->SetHorzPosition(h);
    workspace_->SetVertPosition(v);
    workspace_->Locked = false;
    workspace_->Repaint();
    thumbnail_->Repaint();
    SetPageNo(pageNo_);
}

void TrpPreview::InternalOnProgressStart(TrpReport& sender, TrpProgressType, int32_t)
{
    if (refreshing_)
        return;
    Clear();
    sender.DrillState.clear();
    running_ = true;
    cancelButton_->setText(Res(u"clCancel"));
    if (OnRunningChanged)
        OnRunningChanged();
}

void TrpPreview::InternalOnProgress(TrpReport& sender, TrpProgressType, int32_t progress)
{
    if (refreshing_) {
        PageChanged();
        return;
    }
    const bool finalPass = sender.Engine() == nullptr || sender.Engine()->FinalPass;
    if (finalPass && progress < kPagesDuringRun && progress >= 0 && PageCount() > progress) {
        const QPoint size = PreviewPages()->GetPageSize(progress);
        workspace_->Zoom = zoom_;
        workspace_->AddPage(size.x(), size.y());
        workspace_->CalcPageBounds(workspace_->viewport()->width() - 26);
    }
    if (progress == 0) {
        pageNo_ = 1;
        if (finalPass)
            RebuildPageList();
        tick_.start();
    } else if (progress == 1) {
        const qint64 took = tick_.isValid() ? tick_.elapsed() : 10;
        interval_ = took <= 4 ? 50 : took > 9 ? 5 : 20;
        pageNo_ = 1;
        if (finalPass)
            RebuildPageList();
    } else if (progress > 0 && progress % interval_ == 0) {
        PageChanged();
        if (finalPass)
            workspace_->UpdateScrollRanges();
    }
    // The user may press Cancel or close the window here.
    ReportServices::Ui().ProcessInputEvents();
}

void TrpPreview::InternalOnProgressStop(TrpReport&, TrpProgressType, int32_t)
{
    if (refreshing_)
        return;
    running_ = false;
    PageChanged();
    RebuildPageList();
    workspace_->UpdateScrollRanges();
    thumbnail_->UpdateScrollRanges();
    RebuildOutline();
    cancelButton_->setText(Res(u"clClose"));
    if (OnRunningChanged)
        OnRunningChanged();
}

// --- commands --------------------------------------------------------------------------------

void TrpPreview::Print()
{
    if (running_ || PreviewPages() == nullptr)
        return;
    PreviewPages()->CurPreviewPage = pageNo_;
    try {
        PreviewPages()->Print();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

void TrpPreview::Export(TrpCustomExportFilter* filter)
{
    if (running_ || PreviewPages() == nullptr || filter == nullptr)
        return;
    PreviewPages()->CurPreviewPage = pageNo_;
    try {
        PreviewPages()->Export(filter);
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

void TrpPreview::SaveToFile()
{
    if (running_ || PreviewPages() == nullptr)
        return;
    UiFileDialog dialog;
    dialog.Filter = Res(u"clZP3files") + QStringLiteral(" (*.zp3)");
    dialog.DefaultExt = QStringLiteral("zp3");
    dialog.OverwritePrompt = true;
    if (!ReportServices::Ui().SaveFileDialog(dialog))
        return;
    workspace_->Repaint();
    QString name = dialog.FileName;
    const int dot = name.lastIndexOf(u'.');
    if (dot > name.lastIndexOf(u'/'))
        name.truncate(dot);
    SaveToFile(name + QStringLiteral(".zp3"));
}

void TrpPreview::SaveToFile(const QString& fileName)
{
    if (running_ || PreviewPages() == nullptr)
        return;
    Lock();
    ShowMessage(Res(u"clSaving"));
    try {
        PreviewPages()->SaveToFile(fileName);
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

void TrpPreview::LoadFromFile()
{
    if (running_ || PreviewPages() == nullptr)
        return;
    UiFileDialog dialog;
    dialog.Filter = Res(u"clZP3files") + QStringLiteral(" (*.zp3)");
    dialog.FileMustExist = true;
    if (!ReportServices::Ui().OpenFileDialog(dialog))
        return;
    workspace_->Repaint();
    LoadFromFile(dialog.FileName);
}

void TrpPreview::LoadFromFile(const QString& fileName)
{
    if (running_ || PreviewPages() == nullptr)
        return;
    Lock();
    ShowMessage(Res(u"clLoading"));
    const int oldPage = pageNo_;
    try {
        PreviewPages()->LoadFromFile(fileName, false);
    } catch (...) {
        // The store keeps the pages it had: stay where we were.
        pageNo_ = std::min(oldPage, std::max(1, PageCount()));
        RebuildOutline();
        Unlock();
        SetPageNo(pageNo_);
        throw;
    }
    pageNo_ = 1;
    RebuildOutline();
    Unlock();
    SetPageNo(1);
}

void TrpPreview::Clear()
{
    if (running_ || PreviewPages() == nullptr)
        return;
    Lock();
    PreviewPages()->Clear();
    Unlock();
    workspace_->ClearPageList();
    thumbnail_->ClearPageList();
    RebuildOutline();
    pageNo_ = 1;
    SetPageNo(1);
    workspace_->SetHorzRange(0);
    workspace_->SetVertRange(0);
    thumbnail_->SetHorzRange(0);
    thumbnail_->SetVertRange(0);
}

void TrpPreview::AddPage()
{
    if (running_ || PreviewPages() == nullptr)
        return;
    PreviewPages()->AddEmptyPage(pageNo_ - 1);
    RebuildPageList();
    SetPageNo(pageNo_);
}

void TrpPreview::DeletePage()
{
    if (running_ || PreviewPages() == nullptr || PageCount() == 0)
        return;
    PreviewPages()->DeletePage(pageNo_ - 1);
    if (pageNo_ >= PageCount())
        pageNo_ = std::max(1, pageNo_ - 1);
    RebuildPageList();
    SetPageNo(pageNo_);
}

void TrpPreview::PageSetupDlg()
{
    if (running_ || PreviewPages() == nullptr || Report() == nullptr)
        return;
    TrpReportPage* page = PreviewPages()->GetPage(pageNo_ - 1);
    if (page == nullptr)
        return;
    TrpPageSettingsForm dialog(Report(), page, QApplication::activeWindow());
    if (ReportServices::Ui().RunModal(dialog, dialog.objectName()) != mrOk)
        return;
    dialog.FormHide(true);
    if (dialog.NeedRebuild()) {
        for (int i = 0; i < Report()->PagesCount(); ++i) {
            auto* templatePage = dynamic_cast<TrpReportPage*>(Report()->Pages(i));
            if (templatePage == nullptr)
                continue;
            templatePage->SetOrientation(page->Orientation());
            templatePage->SetPaperWidth(page->PaperWidth());
            templatePage->SetPaperHeight(page->PaperHeight());
            templatePage->SetPaperSize(page->PaperSize());
            templatePage->LeftMargin = page->LeftMargin;
            templatePage->TopMargin = page->TopMargin;
            templatePage->RightMargin = page->RightMargin;
            templatePage->BottomMargin = page->BottomMargin;
        }
        Report()->PrepareReport(true);
    } else {
        Lock();
        PreviewPages()->ModifyPage(pageNo_ - 1, page);
        Unlock();
    }
}

void TrpPreview::Edit()
{
    // The designer edits a copy of the current page in a report of its own; the page comes
    // back in place of the prepared one only when the designer answers that it changed.
    if (Report() == nullptr || running_ || PreviewPages() == nullptr || PageCount() == 0)
        return;
    try {
        TrpReportPage* source = PreviewPages()->GetPage(pageNo_ - 1);
        if (source == nullptr)
            return;
        QByteArray bytes;
        {
            QBuffer out(&bytes);
            out.open(QIODevice::WriteOnly);
            source->SaveToStream(out, true, false, false);
        }
        TrpReport temporary;
        temporary.IniFile = Report()->IniFile;
        TrpReportPage* copy = dynamic_cast<TrpDMPPage*>(source) != nullptr ? new TrpDMPPage(&temporary)
                                                                           : new TrpReportPage(&temporary);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        copy->LoadFromStream(in);
        if (!temporary.DesignPreviewPage())
            return;
        auto* edited = temporary.PagesCount() > 0 ? dynamic_cast<TrpReportPage*>(temporary.Pages(0)) : nullptr;
        if (edited == nullptr)
            return;
        Lock();
        PreviewPages()->ModifyPage(pageNo_ - 1, edited);
        Unlock();
        SetPageNo(pageNo_);
    } catch (...) {
    }
}

void TrpPreview::ShowTemplate()
{
    // The designer works on a report holding the previewed report's own pages; they go back
    // to it afterwards, whatever the designer did with them.
    if (Report() == nullptr || running_)
        return;
    TrpReport* report = Report();
    TrpReport temporary;
    temporary.IniFile = report->IniFile;
    temporary.SetFileName(report->FileName());
    temporary.SetScriptText(report->ScriptText());
    temporary.ScriptLanguage = report->ScriptLanguage;
    std::vector<TrpComponent*> pages;
    for (int i = 0; i < report->PagesCount(); ++i)
        pages.push_back(report->Pages(i));
    for (TrpComponent* page : pages)
        page->SetParent(&temporary);
    try {
        temporary.DesignReport(true);
    } catch (...) {
    }
    std::vector<TrpComponent*> back;
    for (int i = 0; i < temporary.PagesCount(); ++i)
        back.push_back(temporary.Pages(i));
    for (TrpComponent* page : back)
        page->SetParent(report);
    if (temporary.Modified()) {
        report->SetScriptText(temporary.ScriptText());
        report->SetModified(true);
    }
}

void TrpPreview::Find()
{
    // A half-built report is not searched.
    if (running_)
        return;
    TrpSearchDialog dialog(QApplication::activeWindow());
    if (ReportServices::Ui().RunModal(dialog, dialog.objectName()) == mrOk) {
        dialog.FormHide(true);
        workspace_->StartSearch(dialog.Text(), dialog.CaseSensitive(), dialog.FromTop() ? 0 : pageNo_ - 1);
        FindNext();
    }
    allowF3_ = true;
}

void TrpPreview::FindNext()
{
    if (running_)
        return;
    if (workspace_->FindNext()) {
        allowF3_ = true;
        workspace_->DisableUpdate = true;
        SetPageNo(workspace_->FoundPage() + 1);
        workspace_->DisableUpdate = false;
    } else {
        ReportServices::Ui().ShowMessage(Res(u"clStrNotFound"));
    }
}

bool TrpPreview::FindText(const QString& text, bool fromTop, bool caseSensitive)
{
    workspace_->StartSearch(text, caseSensitive, fromTop ? 0 : pageNo_ - 1);
    const bool found = workspace_->FindNext();
    allowF3_ = true;
    if (found) {
        workspace_->DisableUpdate = true;
        SetPageNo(workspace_->FoundPage() + 1);
        workspace_->DisableUpdate = false;
    }
    return found;
}

void TrpPreview::FindTextClear()
{
    workspace_->ClearSearch();
}

void TrpPreview::Cancel()
{
    if (running_ && Report() != nullptr)
        Report()->SetTerminated(true);
}

void TrpPreview::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    Guard([&] {
        switch (event->key()) {
        case Qt::Key_Up: workspace_->SetVertPosition(workspace_->VertPosition() - 8); break;
        case Qt::Key_Down: workspace_->SetVertPosition(workspace_->VertPosition() + 8); break;
        case Qt::Key_Left: workspace_->SetHorzPosition(workspace_->HorzPosition() - 8); break;
        case Qt::Key_Right: workspace_->SetHorzPosition(workspace_->HorzPosition() + 8); break;
        case Qt::Key_PageUp:
            if (ctrl) Prior(); else workspace_->SetVertPosition(workspace_->VertPosition() - 300);
            break;
        case Qt::Key_PageDown:
            if (ctrl) Next(); else workspace_->SetVertPosition(workspace_->VertPosition() + 300);
            break;
        case Qt::Key_Home: First(); break;
        case Qt::Key_End: Last(); break;
        case Qt::Key_F3:
            if (HasButton(pbFind) && allowF3_)
                FindNext();
            break;
        case Qt::Key_P: if (ctrl && HasButton(pbPrint)) Print(); break;
        case Qt::Key_S: if (ctrl && HasButton(pbSave)) SaveToFile(); break;
        case Qt::Key_F: if (ctrl && HasButton(pbFind)) Find(); break;
        case Qt::Key_O: if (ctrl && HasButton(pbLoad)) LoadFromFile(); break;
        default: event->ignore(); return;
        }
        event->accept();
    });
}

void TrpPreview::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    MouseWheelScroll(delta, event->angleDelta().y() == 0, (event->modifiers() & Qt::ControlModifier) != 0);
    event->accept();
}

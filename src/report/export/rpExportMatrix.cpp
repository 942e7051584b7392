#include "rpExportMatrix.h"

#include "report/core/Charsets.h"
#include "report/core/Colors.h"
#include "report/core/Rounding.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpFontResolver.h"
#include "report/model/rpRes.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QString kPageBackground = QStringLiteral("_pagebackground");

bool IsClass(const TrpView& view, const char* name)
{
    return view.ClassName() == QLatin1String(name);
}

// A horizontal or vertical line: a cell whose frame side draws it.
bool IsFlatLine(const TrpView& view)
{
    return dynamic_cast<const TrpCustomLineView*>(&view) != nullptr && (view.Width() == 0 || view.Height() == 0);
}

bool IsPlainRectangle(const TrpView& view)
{
    const auto* shape = dynamic_cast<const TrpShapeView*>(&view);
    return shape != nullptr && shape->Shape == skRectangle;
}

QStringList LinesOf(const QString& text)
{
    if (text.isEmpty())
        return {};
    return text.split(QStringLiteral("\r\n"));
}

// Where a drawn picture starts relative to the object: overhangs (arrow heads, a thick frame)
// spread to the side that is not flush with the object.
double DrawnOffset(double drawn, double size, double absStart, double realStart, double realEnd, double absEnd)
{
    if (drawn == size || absStart == realStart)
        return 0;
    if (absEnd == realEnd)
        return drawn - size;
    return (drawn - size) / 2;
}

} // namespace

// --- progress

TrpExportProgress::TrpExportProgress(TrpReport* report) : report_(report) {}

TrpExportProgress::~TrpExportProgress()
{
    Stop();
}

void TrpExportProgress::Execute(int32_t maxValue, const QString& message, bool /*showCancel*/, bool /*showBar*/)
{
    Stop();
    message_ = message;
    maxValue_ = std::max<int32_t>(maxValue, 0);
    position_ = 0;
    terminated_ = false;
    const auto& create = ModelServices().CreateProgressWindow;
    if (report_ == nullptr || !create)
        return;
    window_ = create(*report_);
    if (window_)
        window_->Start(message_);
}

void TrpExportProgress::Tick()
{
    if (position_ < maxValue_)
        ++position_;
    if (window_)
        window_->Progress(message_, maxValue_ > 0 ? int32_t(int64_t(position_) * 100 / maxValue_) : 100);
}

bool TrpExportProgress::Terminated() const
{
    return terminated_ || (window_ && window_->Cancelled());
}

void TrpExportProgress::Stop()
{
    if (!window_)
        return;
    terminated_ = terminated_ || window_->Cancelled();
    window_->Stop();
    window_.reset();
}

// --- style

TrpIEMStyle::TrpIEMStyle() = default;

void TrpIEMStyle::Assign(const TrpIEMStyle& source)
{
    Font.Assign(source.Font);
    LineSpacing = source.LineSpacing;
    VAlign = source.VAlign;
    HAlign = source.HAlign;
    FrameTyp = source.FrameTyp;
    FrameWidth = source.FrameWidth;
    FrameColor = source.FrameColor;
    FrameStyle = source.FrameStyle;
    Color = source.Color;
    Rotation = source.Rotation;
    BrushStyle = source.BrushStyle;
    ParagraphGap = source.ParagraphGap;
    GapX = source.GapX;
    GapY = source.GapY;
    CharSpacing = source.CharSpacing;
    WordBreak = source.WordBreak;
    Charset = source.Charset;
    displayFormat_.Assign(source.displayFormat_);
    WordWrap = source.WordWrap;
}

bool TrpIEMStyle::SameAs(const TrpIEMStyle& other) const
{
    return Font.Size() == other.Font.Size() && HAlign == other.HAlign && VAlign == other.VAlign &&
           Font.Color() == other.Font.Color() && Font.Name() == other.Font.Name() &&
           Font.Style() == other.Font.Style() && FrameTyp == other.FrameTyp && FrameWidth == other.FrameWidth &&
           FrameColor == other.FrameColor && FrameStyle == other.FrameStyle && Color == other.Color &&
           displayFormat_.Kind == other.displayFormat_.Kind &&
           displayFormat_.DecimalSeparator == other.displayFormat_.DecimalSeparator &&
           displayFormat_.FormatStr == other.displayFormat_.FormatStr && LineSpacing == other.LineSpacing &&
           GapX == other.GapX && GapY == other.GapY && ParagraphGap == other.ParagraphGap &&
           CharSpacing == other.CharSpacing && Charset == other.Charset && WordBreak == other.WordBreak &&
           Rotation == other.Rotation && WordWrap == other.WordWrap && BrushStyle == other.BrushStyle;
}

// --- matrix

TrpIEMatrix::TrpIEMatrix(bool /*useFileCache*/, const QString& /*tempDir*/) {}

TrpIEMatrix::~TrpIEMatrix()
{
    Clear();
}

void TrpIEMatrix::Clear()
{
    objects_.clear();
    styles_.clear();
    xPos_.clear();
    yPos_.clear();
    pages_.clear();
    fontList_.clear();
    matrix_.clear();
    matrix_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
    deltaY_ = 0;
}

bool TrpIEMatrix::IsTextView(const TrpView& view) const
{
    const auto* memo = dynamic_cast<const TrpCustomMemoView*>(&view);
    return memo != nullptr && !(memo->BrushStyle > bsClear && BrushAsBitmap) &&
           !(memo->Rotation() != 0 && RotatedAsImage);
}

void TrpIEMatrix::AddObject(TrpView& view)
{
    // An object of a damaged or hostile file without a place of its own has no cell either.
    if (!std::isfinite(view.AbsLeft()) || !std::isfinite(view.AbsTop()) || !std::isfinite(view.Width()) ||
        !std::isfinite(view.Height()))
        return;
    // 1. The page background takes part only when asked for.
    if (view.Name() == kPageBackground && !(Background || (!Printable && !view.Printable)))
        return;

    // 2. A drop shadow becomes two strips beside the shrunken memo.
    if (view.Frame().DropShadow) {
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(&view)) {
            AddShadowedMemo(*memo);
            return;
        }
    }

    // 3. Rich text wanted as plain text: a memo with its text in its place.
    if (IsClass(view, "TrpRichView") && RichText && PlainRich) {
        view.PlainText = true;
        TrpMemoView plain;
        plain.SetName(view.Name());
        plain.SetText(view.GetComponentText());
        plain.SetLeft(view.AbsLeft());
        plain.SetTop(view.AbsTop());
        plain.SetWidth(view.Width());
        plain.SetHeight(view.Height());
        view.PlainText = false;
        AddObject(plain);
        return;
    }

    // 8. A plain rectangle is four line cells, or one framed cell when it is filled.
    if (IsPlainRectangle(view) || IsClass(view, "TrpGradientView")) {
        AddRectangle(view);
        return;
    }

    // 4.
    auto obj = std::make_unique<TrpIEMObject>();
    obj->Name = view.Name();
    obj->StyleIndex = MakeStyle(view);
    obj->Style = GetStyleById(obj->StyleIndex);
    obj->URL = ResolveAnchor(view.URL);
    const double absLeft = view.AbsLeft();
    const double absTop = view.AbsTop();
    obj->Left = absLeft < 0 ? 0 : absLeft;
    obj->Top = absTop < 0 ? deltaY_ : absTop + deltaY_;
    obj->Width = view.Width();
    obj->Height = view.Height();

    if (IsTextView(view)) {
        // 5.
        auto& memo = static_cast<TrpCustomMemoView&>(view);
        if ((DeleteHTMLTags && memo.AllowHTMLTags) || WrapText) {
            obj->Memo = LinesOf(memo.WrapText(true));
        } else {
            memo.Memo().AssignTo(obj->Memo);
        }
        if (!DeleteHTMLTags)
            obj->HTMLTags = memo.AllowHTMLTags;
        // Text is Unicode here whatever the font's charset says: an OEM font's text is kept.
        obj->IsText = true;
        obj->IsRichText = false;
        obj->RTL = memo.RTLReading;
    } else if (IsClass(view, "TrpRichView") && RichText && !PlainRich) {
        // 6.
        obj->IsText = true;
        obj->IsRichText = true;
        obj->Memo = LinesOf(view.GetComponentText());
    } else if (IsFlatLine(view)) {
        // 7.
        obj->IsText = true;
        if (obj->Width < 0) {
            obj->Left += obj->Width;
            obj->Width = -obj->Width;
        }
        if (obj->Height < 0) {
            obj->Top += obj->Height;
            obj->Height = -obj->Height;
        }
        if (obj->Width == 0)
            obj->Width = 1;
        if (obj->Height == 0)
            obj->Height = 1;
    } else {
        // 9.
        if (!((view.Name() != kPageBackground || BackgroundImage) && Images))
            return;
        RenderPicture(view, *obj);
    }
    FinishObject(view, std::move(obj));
}

void TrpIEMatrix::AddShadowedMemo(TrpCustomMemoView& memo)
{
    TrpFrame& frame = memo.Frame();
    const double shadow = frame.ShadowWidth;
    const double width = memo.Width();
    const double height = memo.Height();
    const double left = memo.AbsLeft();
    const double top = memo.AbsTop();
    memo.SetWidth(width - shadow);
    memo.SetHeight(height - shadow);
    frame.DropShadow = false;
    struct Restore {
        TrpCustomMemoView& memo;
        double width, height;
        ~Restore()
        {
            memo.SetWidth(width);
            memo.SetHeight(height);
            memo.Frame().DropShadow = true;
        }
    } restore{memo, width, height};
    AddObject(memo);

    const auto strip = [&](double x, double y, double w, double h) {
        TrpMemoView shadowMemo;
        shadowMemo.SetName(QStringLiteral("Shadow"));
        shadowMemo.Font().SetSize(1);
        shadowMemo.Color = frame.ShadowColor;
        shadowMemo.Frame().Typ = 0;
        shadowMemo.SetLeft(x);
        shadowMemo.SetTop(y);
        shadowMemo.SetWidth(w);
        shadowMemo.SetHeight(h);
        AddObject(shadowMemo);
    };
    strip(left + width - shadow, top + shadow, shadow, height - shadow);
    strip(left + shadow, top + height - shadow, width - shadow, shadow);
}

void TrpIEMatrix::AddRectangle(TrpView& view)
{
    const double left = view.AbsLeft();
    const double top = view.AbsTop();
    const double width = view.Width();
    const double height = view.Height();
    if (view.Color == clNone) {
        const auto line = [&](double x, double y, double w, double h) {
            TrpLineView edge;
            edge.SetName(QStringLiteral("Line"));
            edge.SetFrame(view.Frame());
            edge.Printable = view.Printable;
            edge.SetLeft(x);
            edge.SetTop(y);
            edge.SetWidth(w);
            edge.SetHeight(h);
            AddObject(edge);
        };
        line(left, top, width, 0);
        line(left, top, 0, height);
        line(left, top + height, width, 0);
        line(left + width, top, 0, height);
        return;
    }
    TrpMemoView rect;
    rect.SetName(QStringLiteral("Rect"));
    rect.Color = view.Color;
    rect.SetFrame(view.Frame());
    rect.Frame().Typ = 15;
    rect.Font().SetSize(1);
    rect.Printable = view.Printable;
    rect.SetLeft(left);
    rect.SetTop(top);
    rect.SetWidth(width);
    rect.SetHeight(height);
    AddObject(rect);
}

QString TrpIEMatrix::ResolveAnchor(const QString& url) const
{
    if (Report == nullptr || !url.startsWith(u'#'))
        return url;
    QString name = url;
    name.remove(u'#');
    int32_t page = 1;
    if (auto* pages = dynamic_cast<TrpPreviewPages*>(Report->PreviewPages()))
        page = pages->GetAnchorPage(name);
    return QStringLiteral("@") + QString::number(page);
}

void TrpIEMatrix::RenderPicture(TrpView& view, TrpIEMObject& obj)
{
    // The frame goes out through the style; a line is its frame and is drawn with it.
    TrpFrame& frame = view.Frame();
    const bool line = dynamic_cast<TrpCustomLineView*>(&view) != nullptr;
    const bool zeroFrame = frame.Typ != 0 && frame.Width() > 0 && !line;
    TrpFrame saved;
    if (zeroFrame) {
        saved.Assign(frame);
        frame.SetWidth(0);
    }
    struct Restore {
        TrpFrame& frame;
        const TrpFrame& saved;
        bool active;
        ~Restore()
        {
            if (active)
                frame.Assign(saved);
        }
    } restore{frame, saved, zeroFrame};

    obj.IsText = false;
    obj.IsRichText = false;
    const double absLeft = view.AbsLeft();
    const double absTop = view.AbsTop();
    const TrpRect real = view.GetRealBounds();
    double dx = real.Right - real.Left;
    double dy = real.Bottom - real.Top;
    const double ox = DrawnOffset(dx, view.Width(), absLeft, real.Left, real.Right, absLeft + view.Width());
    const double oy = DrawnOffset(dy, view.Height(), absTop, real.Top, real.Bottom, absTop + view.Height());
    obj.Left -= ox;
    obj.Top -= oy;
    double originX = absLeft - ox;
    double originY = absTop - oy;
    if (RoundHalfEven(dx) == 0)
        dx = 1;
    if (dx < 0) {
        dx = -dx;
        obj.Left -= dx;
        originX -= dx;
    }
    if (RoundHalfEven(dy) == 0)
        dy = 1;
    if (dy < 0) {
        dy = -dy;
        obj.Top -= dy;
        originY -= dy;
    }
    obj.Width = dx;
    obj.Height = dy;

    const double w = RoundHalfEven(dx) + 1;
    const double h = RoundHalfEven(dy) + 1;
    // A picture larger than any page is not drawn: its cell stays empty.
    if (w > 32767 || h > 32767)
        return;
    QImage image(int(w), int(h), QImage::Format_RGB888);
    if (image.isNull())
        return;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        try {
            view.Draw(painter, 1, 1, -RoundHalfEven(originX), -RoundHalfEven(originY), TrpDrawContext{});
        } catch (...) {
            // The picture keeps what was drawn.
        }
    }
    obj.Image = std::move(image);
}

void TrpIEMatrix::FinishObject(TrpView& view, std::unique_ptr<TrpIEMObject> obj)
{
    // 10.
    if ((header_ != nullptr || footer_ != nullptr) && view.Parent() != nullptr) {
        obj->Header = view.Parent() == header_;
        obj->Footer = view.Parent() == footer_;
    }
    maxHeight_ = std::max(maxHeight_, obj->Top + obj->Height);
    maxWidth_ = std::max(maxWidth_, obj->Left + obj->Width);
    minLeft_ = std::min(minLeft_, obj->Left);
    minTop_ = std::min(minTop_, obj->Top);
    if (obj->Left < left_ || left_ == 0)
        left_ = obj->Left;
    if (obj->Top < top_ || top_ == 0)
        top_ = obj->Top;
    AddPosition(xPos_, obj->Left);
    AddPosition(xPos_, obj->Left + obj->Width);
    AddPosition(yPos_, obj->Top);
    AddPosition(yPos_, obj->Top + obj->Height);
    AddCellObject(std::move(obj));
}

void TrpIEMatrix::AddPosition(std::vector<double>& list, double value)
{
    const size_t count = list.size();
    const size_t stop = count > 100 ? count - 100 : 0;
    for (size_t i = count; i > stop; --i)
        if (list[i - 1] == value)
            return;
    list.push_back(value);
}

void TrpIEMatrix::AddCellObject(std::unique_ptr<TrpIEMObject> obj)
{
    TrpIEMObjectList placement;
    placement.Obj = std::move(obj);
    placement.dx = 1;
    placement.dy = 1;
    objects_.push_back(std::move(placement));
}

void TrpIEMatrix::AddPage(TPrinterOrientation orientation, double width, double height, double leftMargin,
                          double topMargin, double rightMargin, double bottomMargin, bool mirrorMargins, int32_t index)
{
    deltaY_ = maxHeight_;
    TrpIEMPage page;
    page.Value = maxHeight_;
    page.Orientation = orientation;
    page.Width = width;
    page.Height = height;
    page.TopMargin = topMargin;
    page.BottomMargin = bottomMargin;
    const bool mirror = mirrorMargins && (index % 2) != 0;
    page.LeftMargin = mirror ? rightMargin : leftMargin;
    page.RightMargin = mirror ? leftMargin : rightMargin;
    page.MirrorMargin = mirror;
    pages_.push_back(page);
}

void TrpIEMatrix::Prepare()
{
    // 1.
    TrpExportProgress progress(ShowProgress ? Report : nullptr);
    if (ShowProgress)
        progress.Execute(11, GetResourcesInstance().Get(u"ProgressWait"), false, true);

    // 2. A white frameless object under everything.
    if (AreaFill) {
        auto style = std::make_unique<TrpIEMStyle>();
        style->FrameTyp = 0;
        style->Color = 0xFFFFFF;
        auto fill = std::make_unique<TrpIEMObject>();
        fill->StyleIndex = FindOrAddStyle(std::move(style));
        fill->Style = GetStyleById(fill->StyleIndex);
        fill->IsText = true;
        // Cropped, it covers exactly the objects' extent (nothing added: it starts at 0).
        const bool crop = CropAreaFill && minLeft_ <= maxWidth_ && minTop_ <= maxHeight_;
        fill->Left = crop ? minLeft_ : 0;
        fill->Top = crop ? minTop_ : 0;
        fill->Width = crop ? maxWidth_ - minLeft_ : maxWidth_;
        fill->Height = crop ? maxHeight_ - minTop_ : maxHeight_;
        AddPosition(xPos_, 0);
        AddPosition(yPos_, 0);
        TrpIEMObjectList placement;
        placement.Obj = std::move(fill);
        placement.dx = 1;
        placement.dy = 1;
        objects_.insert(objects_.begin(), std::move(placement));
    }

    // 3.
    SortAndMergePositions(xPos_, false, progress);
    SortAndMergePositions(yPos_, true, progress);
    PlaceObjects();
    progress.Tick();

    // 4.
    CheckCellCount(int64_t(xPos_.size()) * int64_t(yPos_.size()));
    width_ = int32_t(xPos_.size());
    height_ = int32_t(yPos_.size());

    // 5.
    BuildCellMap();
    progress.Tick();

    // 6. Rows without any object go; the last row is never looked at.
    if (!EmptyLines) {
        std::vector<bool> empty(size_t(height_), false);
        bool any = false;
        for (int32_t y = 0; y < height_ - 1; ++y) {
            const auto row = matrix_.begin() + ptrdiff_t(y) * width_;
            empty[size_t(y)] = std::all_of(row, row + width_, [](int32_t cell) { return cell == -1; });
            any = any || empty[size_t(y)];
        }
        if (any)
            DeleteMatrixLines(empty);
    }

    // 7.
    SplitObjects();
    progress.Tick();

    // 8.
    if (FramesOptimization)
        OptimizeFrames();
    progress.Stop();
}

void TrpIEMatrix::CheckCellCount(int64_t cells) const
{
    if (cells <= kMaxCells)
        return;
    QString text = GetResourcesInstance().Get(u"ieMatrixTooLarge");
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0)
        text.replace(at, 2, QString::number(kMaxCells));
    throw EReportError(text.toStdString());
}

void TrpIEMatrix::SortAndMergePositions(std::vector<double>& list, bool rows, TrpExportProgress& progress)
{
    std::sort(list.begin(), list.end());
    progress.Tick();

    // Of a run of close edges the last one survives. Equal edges always merge: the check
    // while adding sees only the newest entries.
    const auto merge = [this](std::vector<double>& edges) {
        if (edges.empty())
            return;
        size_t kept = 0;
        for (size_t i = 1; i < edges.size(); ++i) {
            const double gap = edges[i] - edges[kept];
            if (Inaccuracy > gap || gap == 0)
                edges[kept] = edges[i];
            else
                edges[++kept] = edges[i];
        }
        edges.resize(kept + 1);
    };
    merge(list);
    progress.Tick();

    const double maximum = rows ? MaxCellHeight : MaxCellWidth;
    if (maximum > 0 && list.size() > 1) {
        const size_t pairs = list.size() - 1;
        int64_t added = 0;
        for (size_t i = 0; i < pairs; ++i) {
            const double start = list[i];
            const double gap = list[i + 1] - start;
            if (!(gap > maximum))
                continue;
            const double n = std::trunc(gap / maximum);
            added += int64_t(n);
            // Every added edge is a column or row of the map: refuse before adding them.
            CheckCellCount(int64_t(list.size()) + added);
            for (int64_t k = 1; k <= int64_t(n); ++k)
                AddPosition(list, start + double(k) * maximum);
        }
        if (list.size() > pairs + 1) {
            std::sort(list.begin(), list.end());
            list.erase(std::unique(list.begin(), list.end()), list.end());
        }
    }
    progress.Tick();
    progress.Tick();
}

void TrpIEMatrix::PlaceObjects()
{
    const auto place = [](const std::vector<double>& edges, double start, double size, int32_t& at, int32_t& count) {
        const size_t first = size_t(std::lower_bound(edges.begin(), edges.end(), start) - edges.begin());
        at = int32_t(first);
        count = 0;
        double running = start;
        for (size_t i = first; running < start + size && i + 1 < edges.size();) {
            ++i;
            running = edges[i];
            ++count;
        }
    };
    for (TrpIEMObjectList& placement : objects_) {
        place(xPos_, placement.Obj->Left, placement.Obj->Width, placement.x, placement.dx);
        place(yPos_, placement.Obj->Top, placement.Obj->Height, placement.y, placement.dy);
    }
}

void TrpIEMatrix::SetCell(int32_t x, int32_t y, int32_t value)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    matrix_[size_t(x) + size_t(y) * size_t(width_)] = value;
}

void TrpIEMatrix::BuildCellMap()
{
    matrix_.assign(size_t(width_) * size_t(height_), -1);
    for (size_t i = 0; i < objects_.size(); ++i) {
        TrpIEMObjectList& placement = objects_[i];
        TrpIEMObject& obj = *placement.Obj;
        // A transparent object takes the colour of what it lies on, unless its text would
        // vanish in it.
        if (obj.Style != nullptr && obj.Style->Color == clNone) {
            const TrpIEMStyle* under = GetStyle(placement.x, placement.y);
            if (under != nullptr && under->Color != clNone && under->Color != obj.Style->Font.Color()) {
                auto style = std::make_unique<TrpIEMStyle>();
                style->Assign(*obj.Style);
                style->Color = under->Color;
                obj.StyleIndex = FindOrAddStyle(std::move(style));
                obj.Style = GetStyleById(obj.StyleIndex);
            }
        }
        const int32_t x0 = std::max(placement.x, 0);
        const int32_t y0 = std::max(placement.y, 0);
        const int32_t x1 = std::min(placement.x + placement.dx, width_);
        const int32_t y1 = std::min(placement.y + placement.dy, height_);
        for (int32_t y = y0; y < y1; ++y)
            std::fill(matrix_.begin() + ptrdiff_t(y) * width_ + x0, matrix_.begin() + ptrdiff_t(y) * width_ + x1,
                      int32_t(i));
    }
}

void TrpIEMatrix::DeleteMatrixLine(int32_t index)
{
    if (index < 0 || index >= height_)
        return;
    std::vector<bool> rows(size_t(height_), false);
    rows[size_t(index)] = true;
    DeleteMatrixLines(rows);
}

void TrpIEMatrix::DeleteMatrixLines(const std::vector<bool>& rows)
{
    // Each deleted row's height comes off every later row edge and every later page break (a
    // break inside a deleted row moves to its top), so breaks stay on the rows they were on.
    // All rows go in one pass over the map.
    const size_t count = size_t(height_);
    std::vector<double> shiftBefore(count, 0);   // heights deleted above each row
    double shift = 0;
    for (size_t r = 0; r < count; ++r) {
        shiftBefore[r] = shift;
        if (rows[r])
            shift += r + 1 < count ? yPos_[r + 1] - yPos_[r] : 0;
    }
    for (TrpIEMPage& page : pages_) {
        const auto after = std::upper_bound(yPos_.begin(), yPos_.end(), page.Value);
        if (after == yPos_.begin())
            continue;
        const size_t r = size_t(after - yPos_.begin()) - 1;
        page.Value = rows[r] ? yPos_[r] - shiftBefore[r] : page.Value - shiftBefore[r];
    }
    size_t kept = 0;
    for (size_t r = 0; r < count; ++r) {
        if (rows[r])
            continue;
        yPos_[kept] = yPos_[r] - shiftBefore[r];
        if (kept != r)
            std::copy(matrix_.begin() + ptrdiff_t(r * size_t(width_)), matrix_.begin() + ptrdiff_t((r + 1) * size_t(width_)),
                      matrix_.begin() + ptrdiff_t(kept * size_t(width_)));
        ++kept;
    }
    yPos_.resize(kept);
    matrix_.resize(kept * size_t(width_));
    height_ = int32_t(kept);
}

void TrpIEMatrix::MeasureCellArea(int32_t x, int32_t y, int32_t& width, int32_t& height) const
{
    const int32_t obj = GetCell(x, y);
    const auto run = [&](int32_t row) {
        int32_t n = 0;
        while (x + n < width_ && GetCell(x + n, row) == obj)
            ++n;
        return n;
    };
    width = run(y);
    height = 0;
    while (y + height < height_ && GetCell(x, y + height) == obj && run(y + height) >= width)
        ++height;
}

void TrpIEMatrix::SplitObjects()
{
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            const int32_t index = GetCell(x, y);
            if (index < 0 || objects_[size_t(index)].Exist)
                continue;
            int32_t width = 0;
            int32_t height = 0;
            MeasureCellArea(x, y, width, height);
            TrpIEMObjectList& placement = objects_[size_t(index)];
            if (width == placement.dx && height == placement.dy) {
                placement.x = x;
                placement.y = y;
            }
            if (placement.x == x && placement.y == y && placement.dx == width && placement.dy == height)
                placement.Exist = true;
            else
                SplitObject(index, x, y, width, height);
        }
    }
}

void TrpIEMatrix::SplitObject(int32_t objIndex, int32_t x, int32_t y, int32_t width, int32_t height)
{
    TrpIEMObject& whole = *objects_[size_t(objIndex)].Obj;
    auto piece = std::make_unique<TrpIEMObject>();
    piece->StyleIndex = whole.StyleIndex;
    piece->Style = whole.Style;
    piece->Name = whole.Name;
    piece->Left = GetXPosById(x);
    piece->Top = GetYPosById(y);
    piece->Width = GetXPosById(x + width) - piece->Left;
    piece->Height = GetYPosById(y + height) - piece->Top;
    piece->Parent = &whole;
    piece->IsText = whole.IsText;
    piece->IsRichText = whole.IsRichText;
    piece->HTMLTags = whole.HTMLTags;
    // The content goes with the first piece that holds most of the object's lower right.
    if (whole.Top + whole.Height - piece->Top > whole.Height / 3 &&
        whole.Left + whole.Width - piece->Left > whole.Width / 3) {
        piece->Image = whole.Image;
        piece->Link = whole.Link;
        piece->IsText = whole.IsText;
        piece->Memo = whole.Memo;
        // A link belongs to the content: it goes where the text goes.
        piece->URL = whole.URL;
        piece->RTL = whole.RTL;
        whole.Memo.clear();
        whole.IsText = true;
        whole.Link = nullptr;
        whole.Image = QImage();
        whole.URL.clear();
    }
    AdjustPieceFrame(whole, *piece);
    const int32_t pieceIndex = int32_t(objects_.size());
    TrpIEMObjectList placement;
    placement.Obj = std::move(piece);
    placement.x = x;
    placement.y = y;
    placement.dx = width;
    placement.dy = height;
    placement.Exist = true;
    objects_.push_back(std::move(placement));
    ReplaceCellArea(x, y, width, height, objIndex, pieceIndex);
}

void TrpIEMatrix::ReplaceCellArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t oldIndex,
                                  int32_t newIndex)
{
    for (int32_t row = y; row < y + height; ++row)
        for (int32_t column = x; column < x + width; ++column)
            if (GetCell(column, row) == oldIndex)
                SetCell(column, row, newIndex);
}

void TrpIEMatrix::SetStyleOf(TrpIEMObject& obj, const TrpIEMStyle& base, uint8_t frameTyp)
{
    auto style = std::make_unique<TrpIEMStyle>();
    style->Assign(base);
    style->FrameTyp = frameTyp;
    obj.StyleIndex = FindOrAddStyle(std::move(style));
    obj.Style = GetStyleById(obj.StyleIndex);
}

void TrpIEMatrix::AdjustPieceFrame(TrpIEMObject& whole, TrpIEMObject& piece)
{
    if (whole.Style == nullptr || piece.Style == nullptr)
        return;
    const uint8_t sides = whole.Style->FrameTyp;
    uint8_t kept = 0;
    if (piece.Top == whole.Top)
        kept |= sides & TrpIEMStyle::kFrameTop;
    if (piece.Left == whole.Left)
        kept |= sides & TrpIEMStyle::kFrameLeft;
    if (piece.Top + piece.Height == whole.Top + whole.Height)
        kept |= sides & TrpIEMStyle::kFrameBottom;
    if (piece.Left + piece.Width == whole.Left + whole.Width)
        kept |= sides & TrpIEMStyle::kFrameRight;
    if (kept != piece.Style->FrameTyp)
        SetStyleOf(piece, *whole.Style, kept);
}

void TrpIEMatrix::OptimizeFrames()
{
    const auto sameLine = [](const TrpIEMStyle& a, const TrpIEMStyle& b) {
        return a.FrameWidth == b.FrameWidth && a.FrameColor == b.FrameColor;
    };
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            const int32_t index = GetCell(x, y);
            TrpIEMObject* obj = GetObjectById(index);
            if (obj == nullptr || obj->Style == nullptr)
                continue;
            const TrpIEMStyle& style = *obj->Style;
            uint8_t sides = style.FrameTyp;
            if ((sides & TrpIEMStyle::kFrameTop) != 0 && y > 0) {
                const int32_t above = GetCell(x, y - 1);
                const TrpIEMStyle* other = GetStyle(x, y - 1);
                if (above >= 0 && above != index && other != nullptr &&
                    (other->FrameTyp & TrpIEMStyle::kFrameBottom) != 0 && sameLine(*other, style))
                    sides &= uint8_t(~TrpIEMStyle::kFrameTop);
            }
            if ((sides & TrpIEMStyle::kFrameLeft) != 0 && x > 0) {
                const int32_t left = GetCell(x - 1, y);
                const TrpIEMStyle* other = GetStyle(x - 1, y);
                if (left >= 0 && left != index && other != nullptr &&
                    (other->FrameTyp & TrpIEMStyle::kFrameRight) != 0 && sameLine(*other, style))
                    sides &= uint8_t(~TrpIEMStyle::kFrameLeft);
            }
            if (sides != style.FrameTyp)
                SetStyleOf(*obj, style, sides);
        }
    }
}

int32_t TrpIEMatrix::FindOrAddStyle(std::unique_ptr<TrpIEMStyle> candidate)
{
    for (size_t i = 0; i < styles_.size(); ++i)
        if (styles_[i]->SameAs(*candidate))
            return int32_t(i);
    styles_.push_back(std::move(candidate));
    return int32_t(styles_.size() - 1);
}

int32_t TrpIEMatrix::MakeStyle(TrpView& view)
{
    if (IsPlainRectangle(view))
        return -1;
    auto style = std::make_unique<TrpIEMStyle>();
    const TrpFrame& frame = view.Frame();
    if (IsTextView(view)) {
        auto& memo = static_cast<TrpCustomMemoView&>(view);
        if (memo.Highlight().Active) {
            style->Font.Assign(memo.Highlight().Font());
            style->Color = memo.Highlight().Color;
        } else {
            style->Font.Assign(memo.Font());
            style->Color = memo.Color;
        }
        style->SetDisplayFormat(memo.DisplayFormat());
        style->HAlign = uint8_t(memo.HAlign);
        style->VAlign = uint8_t(memo.VAlign);
        style->LineSpacing = memo.LineSpacing;
        style->GapX = memo.GapX;
        style->GapY = memo.GapY;
        style->CharSpacing = memo.CharSpacing;
        style->ParagraphGap = memo.ParagraphGap;
        style->WordBreak = memo.WordBreak;
        style->WordWrap = memo.WordWrap;
        style->Rotation = memo.Rotation();
        style->BrushStyle = memo.BrushStyle;
        style->FrameTyp = uint8_t(frame.Typ);
        style->FrameWidth = float(frame.Width());
        style->FrameColor = frame.Color();
        style->FrameStyle = frame.Style();
        style->Charset = style->Font.Charset();
        if (style->Charset == ScriptFont::kDefaultCharset)
            style->Charset = GetFontCharset(style->Font);
    } else if (IsFlatLine(view)) {
        style->Color = view.Color;
        style->FrameTyp = view.Width() == 0 ? TrpIEMStyle::kFrameLeft : TrpIEMStyle::kFrameTop;
        style->FrameWidth = float(frame.Width());
        style->FrameColor = frame.Color();
        style->FrameStyle = frame.Style();
        style->Font.SetName(QStringLiteral("Arial"));
        style->Font.SetSize(1);
    } else {
        style->Font.Assign(view.Font());
        style->Color = view.Color;
        style->FrameWidth = float(frame.Width());
        style->FrameColor = frame.Color();
        style->FrameStyle = frame.Style();
        // A diagonal line is a picture; its frame is the line, not a border.
        style->FrameTyp = dynamic_cast<TrpCustomLineView*>(&view) != nullptr ? 0 : uint8_t(frame.Typ);
    }
    if (DotMatrix && !IsFlatLine(view))
        style->Font.SetSize(9);
    return FindOrAddStyle(std::move(style));
}

int32_t TrpIEMatrix::GetFontCharset(const TrpFont& font)
{
    const auto cached = fontList_.constFind(font.Name());
    if (cached != fontList_.constEnd())
        return cached.value();
    int32_t charset = ANSI_CHARSET;
    try {
        const TrpFontFace face = ResolveReportFont(font.Name(), (font.Style() & ScriptFont::kBold) != 0,
                                                   (font.Style() & ScriptFont::kItalic) != 0);
        charset = FaceCoversCyrillic(face) ? RUSSIAN_CHARSET : ANSI_CHARSET;
    } catch (const EFontNotInstalled&) {
        // No face to ask: not remembered, so a font installed later is asked again.
        return 0;
    }
    fontList_.insert(font.Name(), charset);
    return charset;
}

int32_t TrpIEMatrix::GetCell(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return -1;
    const size_t at = size_t(x) + size_t(y) * size_t(width_);
    return at < matrix_.size() ? matrix_[at] : -1;
}

TrpIEMObject* TrpIEMatrix::GetObject(int32_t x, int32_t y) const
{
    return GetObjectById(GetCell(x, y));
}

TrpIEMStyle* TrpIEMatrix::GetStyle(int32_t x, int32_t y) const
{
    const TrpIEMObject* obj = GetObject(x, y);
    return obj != nullptr ? obj->Style : nullptr;
}

TrpIEMObject* TrpIEMatrix::GetObjectById(int32_t objIndex) const
{
    const TrpIEMObjectList* placement = GetPlacement(objIndex);
    return placement != nullptr ? placement->Obj.get() : nullptr;
}

const TrpIEMObjectList* TrpIEMatrix::GetPlacement(int32_t objIndex) const
{
    if (objIndex < 0 || objIndex >= int32_t(objects_.size()))
        return nullptr;
    return &objects_[size_t(objIndex)];
}

void TrpIEMatrix::GetObjectPos(int32_t objIndex, int32_t& x, int32_t& y, int32_t& dx, int32_t& dy) const
{
    const TrpIEMObjectList* placement = GetPlacement(objIndex);
    if (placement == nullptr) {
        x = y = dx = dy = 0;
        return;
    }
    x = placement->x;
    y = placement->y;
    dx = placement->dx;
    dy = placement->dy;
}

TrpRect TrpIEMatrix::GetObjectBounds(const TrpIEMObject& obj) const
{
    return MakeRpRect(obj.Left, obj.Top, obj.Left + obj.Width, obj.Top + obj.Height);
}

TrpIEMStyle* TrpIEMatrix::GetStyleById(int32_t styleIndex) const
{
    if (styleIndex < 0 || styleIndex >= int32_t(styles_.size()))
        return nullptr;
    return styles_[size_t(styleIndex)].get();
}

double TrpIEMatrix::GetXPosById(int32_t posIndex) const
{
    return posIndex >= 0 && posIndex < int32_t(xPos_.size()) ? xPos_[size_t(posIndex)] : 0;
}

double TrpIEMatrix::GetYPosById(int32_t posIndex) const
{
    return posIndex >= 0 && posIndex < int32_t(yPos_.size()) ? yPos_[size_t(posIndex)] : 0;
}

const TrpIEMPage* TrpIEMatrix::PageAt(int32_t page) const
{
    if (page < 0 || page >= int32_t(pages_.size()))
        return nullptr;
    return &pages_[size_t(page)];
}

double TrpIEMatrix::GetPageBreak(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->Value : 0;
}

double TrpIEMatrix::GetPageWidth(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->Width : 0;
}

double TrpIEMatrix::GetPageHeight(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->Height : 0;
}

double TrpIEMatrix::GetPageLMargin(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->LeftMargin : 0;
}

double TrpIEMatrix::GetPageTMargin(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->TopMargin : 0;
}

double TrpIEMatrix::GetPageRMargin(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->RightMargin : 0;
}

double TrpIEMatrix::GetPageBMargin(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->BottomMargin : 0;
}

TPrinterOrientation TrpIEMatrix::GetPageOrientation(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr ? p->Orientation : TPrinterOrientation(0);
}

bool TrpIEMatrix::GetPageMirrorMargin(int32_t page) const
{
    const TrpIEMPage* p = PageAt(page);
    return p != nullptr && p->MirrorMargin;
}

void ApplyHTMLMatrixOptions(TrpIEMatrix& matrix, TrpReport* report, bool showProgress, bool background,
                            bool exportNotPrintable, bool emptyLines)
{
    matrix.Report = report;
    matrix.ShowProgress = showProgress;
    matrix.Inaccuracy = 0.5;
    matrix.RotatedAsImage = true;
    matrix.FramesOptimization = true;
    matrix.Background = background;
    matrix.BackgroundImage = false;
    matrix.Printable = exportNotPrintable;
    matrix.RichText = true;
    matrix.PlainRich = true;
    matrix.EmptyLines = emptyLines;
}

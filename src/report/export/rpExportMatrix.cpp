#include "rpExportMatrix.h"

#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"

#include <algorithm>

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

void TrpIEMatrix::AddObject(TrpView& /*view*/) {}

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

void TrpIEMatrix::Prepare() {}

int32_t TrpIEMatrix::FindOrAddStyle(std::unique_ptr<TrpIEMStyle> candidate)
{
    for (size_t i = 0; i < styles_.size(); ++i)
        if (styles_[i]->SameAs(*candidate))
            return int32_t(i);
    styles_.push_back(std::move(candidate));
    return int32_t(styles_.size() - 1);
}

int32_t TrpIEMatrix::MakeStyle(TrpView& /*view*/)
{
    return -1;
}

int32_t TrpIEMatrix::GetFontCharset(const TrpFont& /*font*/)
{
    return 0;
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

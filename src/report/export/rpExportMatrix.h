#pragma once

// The export matrix: the objects of prepared report pages turned into a grid of cells that a
// table-based document (RTF, HTML, spreadsheet) can express. Every object becomes a rectangle
// of whole cells; every cell knows the one object covering it and that object's style.
//
// An exporter creates one matrix per run, sets its options, hands it every view of every page
// in page order (AddObject), closes each page (AddPage), calls Prepare once and then reads
// cells, objects, styles, edges and pages. Coordinates are report pixels (96 per inch); page
// margins are millimetres.

#include "report/model/rpClass_views.h"
#include "report/model/rpFont.h"
#include "report/model/rpPaperSizes.h"
#include "report/model/rpUtils.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class ITrpProgressWindow;
class TrpComponent;
class TrpReport;
class TrpView;
class TrpCustomMemoView;

// The progress window of an export step: a bar of a given range ticked by the step, shown as
// a percentage in the report's progress window. Without a progress window factory (headless)
// nothing is shown and Tick only counts.
class TrpExportProgress {
public:
    // The report the window belongs to; none gives no window.
    explicit TrpExportProgress(TrpReport* report);
    ~TrpExportProgress();
    TrpExportProgress(const TrpExportProgress&) = delete;
    TrpExportProgress& operator=(const TrpExportProgress&) = delete;

    // Shows the window with the message and a bar of maxValue steps at 0, and clears
    // Terminated. The cancel button and the bar are the caller's wishes; the window shows what
    // it can.
    void Execute(int32_t maxValue, const QString& message, bool showCancel = false, bool showBar = true);
    // Advances the bar by one step within its range.
    void Tick();
    // Whether the user asked to stop.
    bool Terminated() const;
    // Closes the window (also done when the adapter goes).
    void Stop();

    int32_t Position() const { return position_; }
    int32_t MaxValue() const { return maxValue_; }
    bool Shown() const { return window_ != nullptr; }

private:
    TrpReport* report_ = nullptr;
    std::unique_ptr<ITrpProgressWindow> window_;
    QString message_;
    int32_t maxValue_ = 0;
    int32_t position_ = 0;
    bool terminated_ = false;
};

// A cell style.
class TrpIEMStyle {
public:
    // A default font, an empty display format, everything else 0 or false.
    TrpIEMStyle();
    TrpIEMStyle(const TrpIEMStyle&) = delete;
    TrpIEMStyle& operator=(const TrpIEMStyle&) = delete;

    TrpFont Font;
    double LineSpacing = 0;
    uint8_t VAlign = 0;     // 0 top, 1 bottom, 2 centre
    uint8_t HAlign = 0;     // 0 left, 1 right, 2 centre, 3 justify
    uint8_t FrameTyp = 0;   // frame sides: kFrameLeft | kFrameRight | kFrameTop | kFrameBottom
    float FrameWidth = 0;
    int32_t FrameColor = 0;
    TrpFrameStyle FrameStyle = fsSolid;
    int32_t Color = 0;      // background; clNone is transparent
    int32_t Rotation = 0;   // degrees
    TBrushStyle BrushStyle = bsSolid;
    double ParagraphGap = 0;
    double GapX = 0;
    double GapY = 0;
    double CharSpacing = 0;
    bool WordBreak = false;
    int32_t Charset = 0;
    bool WordWrap = false;

    static constexpr uint8_t kFrameLeft = 1;
    static constexpr uint8_t kFrameRight = 2;
    static constexpr uint8_t kFrameTop = 4;
    static constexpr uint8_t kFrameBottom = 8;

    const TrpFormat& DisplayFormat() const { return displayFormat_; }
    TrpFormat& DisplayFormat() { return displayFormat_; }
    // Copies the format.
    void SetDisplayFormat(const TrpFormat& format) { displayFormat_.Assign(format); }

    // Copies every field, the font and the display format by value.
    void Assign(const TrpIEMStyle& source);
    // Equal in every field that tells two cell styles apart (the font's size, colour, name
    // and style, alignments, frame, colour, display format, spacing, charset, breaking,
    // rotation, wrapping and brush).
    bool SameAs(const TrpIEMStyle& other) const;

private:
    TrpFormat displayFormat_;
};

// One exported object or a piece of one.
class TrpIEMObject {
public:
    TrpIEMObject() = default;
    TrpIEMObject(const TrpIEMObject&) = delete;
    TrpIEMObject& operator=(const TrpIEMObject&) = delete;

    QStringList Memo;                 // the text lines
    QString URL;                      // link target; "@" + page number for an anchor
    int32_t StyleIndex = -1;          // in the matrix's style list, -1 for none
    TrpIEMStyle* Style = nullptr;     // the style at StyleIndex (owned by the matrix)
    bool IsText = true;
    bool IsRichText = false;
    bool IsDialogObject = false;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    QImage Image;                     // the picture; null when none
    TrpIEMObject* Parent = nullptr;   // for a piece: the object it was cut from
    int32_t Counter = 0;              // the exporters' scratch field
    TrpComponent* Link = nullptr;     // the source object of a dialog control
    bool RTL = false;
    bool Anchor = false;
    bool Cached = false;
    bool Footer = false;              // the object lies on the page footer band
    bool Header = false;              // the object lies on the page header band
    QString Name;                     // the source object's name
    bool HTMLTags = false;            // the text holds tags to interpret
};

// One placement: an object and the cells it covers.
class TrpIEMObjectList {
public:
    std::unique_ptr<TrpIEMObject> Obj;
    int32_t x = 0;
    int32_t y = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    bool Exist = false;   // the placement is final
};

// One edge position.
class TrpIEMPos {
public:
    double Value = 0;
};

// One closed page.
class TrpIEMPage {
public:
    double Value = 0;                 // page break: MaxHeight when the page was closed
    TPrinterOrientation Orientation = poPortrait;
    double Width = 0;                 // report pixels
    double Height = 0;
    double LeftMargin = 0;            // millimetres
    double TopMargin = 0;
    double BottomMargin = 0;
    double RightMargin = 0;
    bool MirrorMargin = false;        // left and right margins were swapped
};

class TrpIEMatrix {
public:
    // More cells than this (column edges x row edges) are refused by Prepare: a hostile or
    // odd report could otherwise ask for gigabytes.
    static constexpr int64_t kMaxCells = int64_t(1) << 25;

    // Both arguments are accepted for the exporters' sake and not used.
    explicit TrpIEMatrix(bool useFileCache = false, const QString& tempDir = QString());
    ~TrpIEMatrix();
    TrpIEMatrix(const TrpIEMatrix&) = delete;
    TrpIEMatrix& operator=(const TrpIEMatrix&) = delete;

    // --- options
    bool ShowProgress = true;         // Prepare shows a progress window (needs Report)
    double MaxCellHeight = 0;         // above 0: taller row gaps are cut into rows of this height
    double MaxCellWidth = 0;          // above 0: wider column gaps are cut likewise
    double Inaccuracy = 0;            // closer edges are merged
    bool RotatedAsImage = false;      // a rotated memo becomes a picture
    bool RichText = false;
    bool PlainRich = true;
    bool AreaFill = false;            // Prepare puts a white frameless object under everything
    bool CropAreaFill = false;        // ... starting at (MinLeft, MinTop) instead of (0, 0)
    bool FramesOptimization = false;  // doubled frame sides between neighbours are removed
    bool DeleteHTMLTags = false;      // memos with tags become their wrapped plain lines
    bool BackgroundImage = false;     // the page background may become a picture
    bool Background = false;          // the page background object is added at all
    TrpReport* Report = nullptr;      // resolves anchors; owns the progress window
    bool Printable = true;
    bool Images = true;               // objects that would become pictures; off drops them
    bool WrapText = false;            // memo text as its wrapped lines
    bool EmptyLines = true;           // off: Prepare deletes rows without objects
    bool BrushAsBitmap = true;        // a hatched memo becomes a picture
    bool EMFPictures = false;         // no metafiles here: pictures are always bitmaps
    bool DotMatrix = false;           // styles from a view's font get size 9

    // --- state
    int32_t Width() const { return width_; }     // column edges after Prepare
    int32_t Height() const { return height_; }   // row edges after Prepare
    double MaxWidth() const { return maxWidth_; }
    double MaxHeight() const { return maxHeight_; }
    double MinLeft() const { return minLeft_; }
    double MinTop() const { return minTop_; }
    double Left() const { return left_; }
    double Top() const { return top_; }
    int32_t PagesCount() const { return GetPagesCount(); }
    int32_t StylesCount() const { return GetStylesCount(); }
    int32_t ObjectsCount() const { return GetObjectsCount(); }

    // --- building
    // Frees every placement, style, edge and page, the charset cache and the cell map; the
    // extents (MaxWidth ... Top) stay.
    void Clear();
    // What one view of a prepared page becomes (text cell, line cell, picture, nothing).
    void AddObject(TrpView& view);
    // Closes a page; with mirrorMargins the odd indexes get left and right swapped.
    void AddPage(TPrinterOrientation orientation, double width, double height, double leftMargin, double topMargin,
                 double rightMargin, double bottomMargin, bool mirrorMargins, int32_t index);
    // The current page's header and footer bands (objects on them are marked).
    void SetPageHeader(TrpComponent* band) { header_ = band; }
    void SetPageFooter(TrpComponent* band) { footer_ = band; }
    // Sorts and merges the edges, places the objects, builds the cell map and splits the
    // objects so that each covers a rectangle of its own. Raises EReportError (text
    // "ieMatrixTooLarge") when the map would exceed kMaxCells; nothing is allocated then.
    void Prepare();

    // The candidate's index in the style list: an equal style's, else the candidate is added.
    int32_t FindOrAddStyle(std::unique_ptr<TrpIEMStyle> candidate);
    // The style of a view (-1 for a rectangle shape).
    int32_t MakeStyle(TrpView& view);
    // Character set of a font of the default charset: RUSSIAN_CHARSET when its face covers
    // Cyrillic, else ANSI_CHARSET; cached per name; 0 and not cached when it is not installed.
    int32_t GetFontCharset(const TrpFont& font);

    // --- cells and objects
    int32_t GetCell(int32_t x, int32_t y) const;          // -1 empty or outside
    TrpIEMObject* GetObject(int32_t x, int32_t y) const;  // nullptr empty or outside
    TrpIEMStyle* GetStyle(int32_t x, int32_t y) const;
    TrpIEMObject* GetObjectById(int32_t objIndex) const;  // nullptr out of range
    void GetObjectPos(int32_t objIndex, int32_t& x, int32_t& y, int32_t& dx, int32_t& dy) const;
    TrpRect GetObjectBounds(const TrpIEMObject& obj) const;
    TrpIEMStyle* GetStyleById(int32_t styleIndex) const;  // nullptr out of range
    double GetXPosById(int32_t posIndex) const;           // 0 out of range
    double GetYPosById(int32_t posIndex) const;
    double GetCellXPos(int32_t x) const { return GetXPosById(x); }
    double GetCellYPos(int32_t y) const { return GetYPosById(y); }
    int32_t GetObjectsCount() const { return int32_t(objects_.size()); }
    int32_t GetStylesCount() const { return int32_t(styles_.size()); }
    int32_t GetPagesCount() const { return int32_t(pages_.size()); }
    // The placement of an object (nullptr out of range).
    const TrpIEMObjectList* GetPlacement(int32_t objIndex) const;

    // --- pages: 0 for an index at or beyond the page count (and below 0)
    double GetPageBreak(int32_t page) const;
    double GetPageWidth(int32_t page) const;
    double GetPageHeight(int32_t page) const;
    double GetPageLMargin(int32_t page) const;
    double GetPageTMargin(int32_t page) const;
    double GetPageRMargin(int32_t page) const;
    double GetPageBMargin(int32_t page) const;
    TPrinterOrientation GetPageOrientation(int32_t page) const;
    bool GetPageMirrorMargin(int32_t page) const;

private:
    bool IsTextView(const TrpView& view) const;
    const TrpIEMPage* PageAt(int32_t page) const;
    void AddPosition(std::vector<double>& list, double value);
    void AddCellObject(std::unique_ptr<TrpIEMObject> obj);
    void AddShadowedMemo(TrpCustomMemoView& memo);
    void AddRectangle(TrpView& view);
    void FinishObject(TrpView& view, std::unique_ptr<TrpIEMObject> obj);
    QString ResolveAnchor(const QString& url) const;
    void RenderPicture(TrpView& view, TrpIEMObject& obj);

    void SortAndMergePositions(std::vector<double>& list, bool rows, TrpExportProgress& progress);
    void PlaceObjects();
    void BuildCellMap();
    void DeleteMatrixLine(int32_t index);
    void DeleteMatrixLines(const std::vector<bool>& rows);
    void CheckCellCount(int64_t cells) const;
    void SplitObjects();
    void MeasureCellArea(int32_t x, int32_t y, int32_t& width, int32_t& height) const;
    void SplitObject(int32_t objIndex, int32_t x, int32_t y, int32_t width, int32_t height);
    void ReplaceCellArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t oldIndex, int32_t newIndex);
    void AdjustPieceFrame(TrpIEMObject& whole, TrpIEMObject& piece);
    void OptimizeFrames();
    void SetStyleOf(TrpIEMObject& obj, const TrpIEMStyle& base, uint8_t frameTyp);
    void SetCell(int32_t x, int32_t y, int32_t value);

    std::vector<TrpIEMObjectList> objects_;
    std::vector<std::unique_ptr<TrpIEMStyle>> styles_;
    std::vector<double> xPos_;
    std::vector<double> yPos_;
    std::vector<TrpIEMPage> pages_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    double maxWidth_ = 0;
    double maxHeight_ = 0;
    double minLeft_ = 100000;
    double minTop_ = 100000;
    std::vector<int32_t> matrix_;
    double deltaY_ = 0;
    double left_ = 0;
    double top_ = 0;
    TrpComponent* header_ = nullptr;
    TrpComponent* footer_ = nullptr;
    QHash<QString, int32_t> fontList_;
};

// The matrix options the HTML export sets at its start: the report, progress (the caller
// passes off in multi-page mode), Inaccuracy 0.5, rotated memos as pictures, frame
// optimisation, the page background as asked but never as a picture, not-printable objects as
// asked, rich text as plain text, empty rows as asked.
void ApplyHTMLMatrixOptions(TrpIEMatrix& matrix, TrpReport* report, bool showProgress, bool background,
                            bool exportNotPrintable, bool emptyLines);

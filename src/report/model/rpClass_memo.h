#pragma once

// The memo: the text object of a report and every cell of the device reports' tables. Its text
// layout, data and splitting come with the printable objects; here are its stored properties,
// defaults and storing rules, and the setters that store or copy. TrpMemoView and
// TrpSysMemoView only publish different sets of them.

#include "rpClass_views.h"
#include "rpDrawText.h"
#include "rpWideStrings.h"

#include "report/core/Variant.h"

#include <QPointer>

class TrpStyleItem;


class TrpCustomMemoView : public TrpStretcheable {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpCustomMemoView();
    explicit TrpCustomMemoView(TrpComponent* owner) : TrpCustomMemoView() { AttachTo(owner); }

    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    bool AutoWidth = false;
    double CharSpacing = 0;
    bool Clipped = true;
    QString ExpressionDelimiters = QStringLiteral("[,]");
    bool FirstParaBreak = false;
    bool LastParaBreak = false;
    double GapX = 2;
    double GapY = 1;
    TrpHAlign HAlign = haLeft;
    bool HideZeros = false;
    double LineSpacing = 2;
    double ParagraphGap = 0;
    bool RTLReading = false;
    bool SuppressRepeated = false;
    bool Underlines = false;
    TrpVAlign VAlign = vaTop;
    bool WordBreak = false;
    bool WordWrap = true;
    bool Wysiwyg = true;
    bool UseDefaultCharset = false;
    Variant Value;                       // last value computed or read
    Variant LastValue = Variant::NullValue(); // previous text for SuppressRepeated

    // The text angle in degrees, kept modulo 360.
    int32_t Rotation() const { return rotation_; }
    void SetRotation(int32_t value) { rotation_ = value % 360; }

    // The lines (Memo, Lines) and the text they make, each line followed by CR LF.
    TrpWideStrings& Memo() { return memo_; }
    const TrpWideStrings& Memo() const { return memo_; }
    void SetMemo(const TrpWideStrings& lines) { memo_.Assign(lines); }
    QString Text() const { return memo_.Text(); }
    void SetText(const QString& text) { memo_.SetText(text); }
    TrpWideStrings* MemoLines() override { return &memo_; }

    TrpHighlight& Highlight() { return highlight_; }
    const TrpHighlight& Highlight() const { return highlight_; }
    void SetHighlight(const TrpHighlight& highlight) { highlight_.Assign(highlight); }
    TrpFormat& DisplayFormat() { return displayFormat_; }
    const TrpFormat& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const TrpFormat& format) { displayFormat_.Assign(format); }

    // The memo that receives the text that does not fit; forgotten when it goes.
    TrpCustomMemoView* FlowTo() const { return flowTo_.data(); }
    void SetFlowTo(TrpCustomMemoView* memo) { flowTo_ = memo; }

    // The name of the report style applied; setting it applies that style of the report.
    const QString& Style() const { return style_; }
    void SetStyle(const QString& name);
    // Takes colour, font and frame from a style; nothing for none.
    void ApplyStyle(const TrpStyleItem* style);

    bool HasAutoWidth() const override { return AutoWidth; }
    QString GetDescription() const override;

    // The view's part, then the memo's settings that differ and always the text " u".
    QString Diff(const TrpComponent& original) const override;

    // --- taking the data
    // Saves the template text (not of a field-bound memo).
    void BeforePrint() override;
    // The field's value or the text with its expressions computed, then the script's
    // "Value", the highlight condition, the suppression of repeated texts and the flow of
    // what does not fit into FlowTo.
    void GetData() override;
    // Puts the template text back.
    void AfterPrint() override;
    // A value as text in the format given, else the display format; a failure of the
    // format gives the value's plain text.
    QString FormatData(const Variant& value, const TrpFormat* format = nullptr) const;
    // The text an expression between the delimiters stands for (its format after " #").
    QString ExpressionText(const QString& expression);
    // Replaces the page-count and copy-name macros left in the text by their values.
    void ExtractMacros();
    // The next value prints even when it repeats the last one.
    void ResetSuppress() { LastValue = Variant(QString()); }
    // Put in by the prepared pages for the macros.
    int32_t TotalPages = 0;
    int32_t CopyNo = 0;

    // The text; with expressions allowed, the first "[TOTALPAGES]" (any case) replaced by the
    // page count.
    QString GetComponentText() const override;
    // The text laid out at scale 1: with `wrapWords` the laid-out lines (CR LF between
    // them), otherwise the text without its inline tags.
    QString WrapText(bool wrapWords);

    // --- splitting across pages
    void InitPart() override;
    // Keeps the lines that fit, keeps the rest for the next part and answers the space left
    // below them (the whole height when no line fits).
    double DrawPart() override;
    // Whether text is left for a next part after DrawPart.
    bool HasNextDataPart() override { return !partMemo_.isEmpty(); }
    // The text still to print.
    const QString& PartMemo() const { return partMemo_; }

    // --- drawing
    // Background, frame, underlines and the text laid out by the text renderer.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;
    // The view's rectangle, then the text rectangle inside the frame lines and the gaps.
    void SetDrawParams(double scaleX, double scaleY, double offsetX, double offsetY) override;
    // The text rectangle of the last SetDrawParams (left, top, right, bottom edges).
    const TrpDeviceRect& TextRect() const { return FTextRect; }
    // With AutoWidth (not while designing): the width the text needs, the memo moved so that
    // its right edge (haRight) or centre (haCenter) stays, and the parent's children aligned
    // again. Drawing and exports call it; it needs no painter.
    void ApplyAutoWidth();
    // The height and width the text needs, paddings included, in whole pixels.
    double CalcHeight() override;
    virtual double CalcWidth();
    // Gaps, the frame sides' inner halves and the drop shadow, across and down.
    double HorizontalPadding() const;
    double VerticalPadding() const;
    // The lines drawn: the text, or in the designer the field reference of a bound memo.
    QStringList DrawnLines() const;

    // The renderer every memo lays its text out with, used under its lock.
    static TrpDrawText& Renderer();
    // For the exports, under the renderer's lock: the renderer gets the memo's style (the
    // highlight's when active), its text rectangle at scale 1 and its paragraph breaks, and
    // lays the drawn lines out without a painter; `htmlTags` off lays the tags out as text.
    void LayOutForExport(TrpDrawText& renderer, bool htmlTags);

    static void RegisterClass(PropertyRegistry& registry);

private:
    // Font, options and gaps of the renderer; AutoWidth resizes the memo; then the
    // dimensions at the scales and offsets given and the text.
    void PrepareRenderer(TrpDrawText& renderer, double scaleX, double scaleY, double offsetX, double offsetY,
                         double printScale);
    void SetRendererStyle(TrpDrawText& renderer);
    // ApplyAutoWidth under the renderer's lock, its style already set.
    void ApplyAutoWidthLocked(TrpDrawText& renderer);
    // Lays the drawn lines out at scale 1 in the text rectangle, or in a box of free width;
    // the memo's colour stays its own.
    void LayOutAtScaleOne(TrpDrawText& renderer, bool freeWidth);
    TrpDeviceRect ComputeTextRect(double scaleX, double scaleY, double offsetX, double offsetY);

    TrpDeviceRect FTextRect;
    QString partMemo_;
    QString tempMemo_;
    TrpWideStrings memo_;
    TrpHighlight highlight_;
    TrpFormat displayFormat_;
    QPointer<TrpCustomMemoView> flowTo_;
    QString style_;
    int32_t rotation_ = 0;
};

// Publishes a memo property in a subclass's list (the storing rules go with it).
void PublishMemoProperty(RegisteredClass& cls, const char* name);

class TrpMemoView : public TrpCustomMemoView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpMemoView() = default;
    explicit TrpMemoView(TrpComponent* owner) : TrpMemoView() { AttachTo(owner); }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);
};

// The system-text object: no data binding and no expression settings.
class TrpSysMemoView : public TrpCustomMemoView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpSysMemoView() = default;
    explicit TrpSysMemoView(TrpComponent* owner) : TrpSysMemoView() { AttachTo(owner); }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);
};

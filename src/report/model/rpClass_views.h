#pragma once

// The printable objects' common parts as report files hold them: frames, highlights, display
// formats, pictures, the view base, stretchable views, shapes, lines and pictures. Their
// drawing and their data come with the printable objects; here are every published property,
// its default and storing rule, and the setters that store or copy.

#include "rpClass.h"
#include "rpClass_drawing.h"

#include "report/core/Colors.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class QIODevice;
class TrpDataSet;

// What LoadPictureFromStream answers for bytes of no known picture kind (invalid argument).
inline constexpr uint32_t kPictureNotRecognised = 0x80070057u;


enum TrpFrameType : int { ftLeft, ftRight, ftTop, ftBottom };
using TrpFrameTypes = uint32_t;
inline constexpr TrpFrameTypes kAllFrameSides = 15;
enum TrpFrameStyle : int { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare };
enum TrpShiftMode : int { smDontShift, smAlways, smWhenOverlapped };
enum TrpStretchMode : int { smDontStretch, smActualHeight, smMaxHeight };
enum TrpShapeKind : int { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2 };
enum TrpFormatKind : int { fkText, fkNumeric, fkDateTime, fkBoolean };
enum TBrushStyle : int { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TrpFrame;

// One side of a frame. Its values are stored only where they differ from the frame's.
class TrpFrameLine : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpFrameLine(const TrpFrame* frame) : frame_(frame) {}
    TrpFrameLine(const TrpFrameLine&) = delete;
    TrpFrameLine& operator=(const TrpFrameLine&) = delete;

    const TrpFrame* Frame() const { return frame_; }
    int32_t Color = clBlack;
    TrpFrameStyle Style = fsSolid;
    double Width = 1;

    void Assign(const TrpFrameLine& source);
    bool SameAs(const TrpFrameLine& other) const;

    static void RegisterClass(PropertyRegistry& registry);

private:
    const TrpFrame* frame_;
};

// Frame line and shadow widths beyond this many pixels are refused.
inline constexpr double kMaxFrameWidth = 1000;

// The border of a view: four sides, which of them are drawn, and a drop shadow. Setting the
// frame's colour, style or width sets it on all four sides.
class TrpFrame : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpFrame();
    TrpFrame(const TrpFrame&) = delete;
    TrpFrame& operator=(const TrpFrame&) = delete;

    TrpFrameLine& LeftLine() { return left_; }
    TrpFrameLine& TopLine() { return top_; }
    TrpFrameLine& RightLine() { return right_; }
    TrpFrameLine& BottomLine() { return bottom_; }
    const TrpFrameLine& LeftLine() const { return left_; }
    const TrpFrameLine& TopLine() const { return top_; }
    const TrpFrameLine& RightLine() const { return right_; }
    const TrpFrameLine& BottomLine() const { return bottom_; }
    // Setting a side copies into the frame's own.
    void SetLeftLine(const TrpFrameLine& line) { left_.Assign(line); }
    void SetTopLine(const TrpFrameLine& line) { top_.Assign(line); }
    void SetRightLine(const TrpFrameLine& line) { right_.Assign(line); }
    void SetBottomLine(const TrpFrameLine& line) { bottom_.Assign(line); }

    int32_t Color() const { return color_; }
    void SetColor(int32_t value);
    TrpFrameStyle Style() const { return style_; }
    void SetStyle(TrpFrameStyle value);
    double Width() const { return width_; }
    void SetWidth(double value);
    bool DropShadow = false;
    double ShadowWidth = 4;
    int32_t ShadowColor = clBlack;
    TrpFrameTypes Typ = 0;

    void Assign(const TrpFrame& source);
    bool SameAs(const TrpFrame& other) const;

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpFrameLine left_{this};
    TrpFrameLine top_{this};
    TrpFrameLine right_{this};
    TrpFrameLine bottom_{this};
    int32_t color_ = clBlack;
    TrpFrameStyle style_ = fsSolid;
    double width_ = 1;
};

// A memo's conditional font and colour.
class TrpHighlight : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // Font "Arial" 10 pt red.
    TrpHighlight();
    TrpHighlight(const TrpHighlight&) = delete;
    TrpHighlight& operator=(const TrpHighlight&) = delete;

    bool Active = false;
    int32_t Color = clNone;
    QString Condition; // an expression
    TrpFont& Font() { return font_; }
    const TrpFont& Font() const { return font_; }
    void SetFont(const TrpFont& font) { font_.Assign(font); }

    // Copies the font, Color and Condition; Active stays.
    void Assign(const TrpHighlight& source);

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpFont font_;
};

// A memo's display format.
class TrpFormat : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpFormat() = default;
    TrpFormat(const TrpFormat&) = delete;
    TrpFormat& operator=(const TrpFormat&) = delete;

    QString DecimalSeparator;
    QString ThousandSeparator;
    QString FormatStr;
    TrpFormatKind Kind = fkText;

    void Assign(const TrpFormat& source);

    static void RegisterClass(PropertyRegistry& registry);
};

// A picture as a report keeps it: the bytes of an image file and their kind, unchanged, so
// that every picture (metafiles included, which are not drawn here) survives loading and
// saving. In files it is the defined property "Data": a binary value holding one length byte,
// the kind name and the image file's bytes.
class TrpPicture : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpPicture() = default;
    TrpPicture(const TrpPicture&) = delete;
    TrpPicture& operator=(const TrpPicture&) = delete;

    // The kinds a picture can hold: "BMP", "JPEG", "PNG", "GIF", "ICO", "WMF", "EMF".
    static bool IsKnownKind(QStringView kind);

    bool IsEmpty() const { return kind_.isEmpty(); }
    const QString& Kind() const { return kind_; }
    const QByteArray& Data() const { return data_; }
    // Holds the bytes of a picture of a known kind (an unknown kind raises "prInvProp").
    void SetData(const QString& kind, const QByteArray& data);
    void Clear();
    void Assign(const TrpPicture& source);
    // The image's size in pixels; 0 for an empty picture and where the size cannot be read.
    int32_t Width() const;
    int32_t Height() const;

    // Called after every change.
    std::function<void()> OnChange;

    static void RegisterClass(PropertyRegistry& registry);

private:
    void Changed();
    void ReadSize() const;

    QString kind_;
    QByteArray data_;
    mutable bool sizeKnown_ = false;
    mutable int32_t width_ = 0;
    mutable int32_t height_ = 0;
};

// Tells the user, once per program run, that metafile pictures are kept but not drawn.
void WarnMetafileNotDrawn(const QString& kind);
// The next metafile warns again (as in a new program run).
void ResetMetafileWarning();

// Properties of the view base that the subclasses publish, each as the subclass lists it.
enum class TrpViewProperty { BrushStyle, Color, Cursor, DataField, DataSet, DataSetName, Frame, TagStr, URL };

// A printable object on a band: border, background, data binding, hint, link and tag, and how
// the engine shifts it below a growing neighbour.
class TrpView : public TrpReportComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpView();
    explicit TrpView(TrpComponent* owner);

    bool IsView() const override { return true; }
    TrpAlign GetAlign() const override { return Align; }

    TrpAlign Align = baNone;
    TBrushStyle BrushStyle = bsSolid;
    int32_t Color = clNone;
    int32_t Cursor = 0;
    QString DataField;
    bool Printable = true;        // false: left out when printing
    TrpShiftMode ShiftMode = smAlways;
    QString TagStr;               // bracketed expressions in it are evaluated before printing
    QString TempTag;              // TagStr and URL saved while printing
    QString TempURL;
    QString Hint;
    bool ShowHint = false;
    QString URL;
    bool PlainText = false;       // exported as plain text

    // The bound data set: setting it sets DataSetName to its user name.
    TrpDataSet* DataSet() const;
    void SetDataSet(TrpDataSet* dataSet);
    // The bound data set's user name, else the stored name; setting it binds the data set the
    // report finds for the name.
    QString DataSetName() const;
    void SetDataSetName(const QString& name);
    bool IsDataField() const;

    TrpFrame& Frame() { return frame_; }
    const TrpFrame& Frame() const { return frame_; }
    void SetFrame(const TrpFrame& frame) { frame_.Assign(frame); }

    // Background, then frame; subclasses draw their content between the two.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;
    // The common part, then background, alignment, colour, frame, cursor, printable flag,
    // tag and link, each where it differs from the template.
    QString Diff(const TrpComponent& original) const override;

    // --- printing
    // Saves TagStr and URL and makes the view the script's "Self".
    void BeforePrint() override;
    // Expands the bracketed expressions of TagStr and URL.
    void GetData() override;
    // Puts TagStr and URL back, so every record starts from the template texts.
    void AfterPrint() override;
    // The report's evaluator of expressions; none outside a report.
    ITrpExpressionEvaluator* Evaluator() const;
    // The text with each "[expression]" replaced by its value's text (unchanged without an
    // evaluator).
    QString ExpandExpressions(const QString& text) const;

    // Keeps the scales and offsets and works out the device rectangle of the object (moved in
    // by the drop shadow, which is drawn inside the object's bounds) and the frame width.
    virtual void SetDrawParams(double scaleX, double scaleY, double offsetX, double offsetY);
    // The background colour over the device rectangle, then the hatch in the frame colour.
    virtual void DrawBackground(QPainter& painter);
    // The drop shadow, then the sides of Typ in the order left, right, top, bottom.
    virtual void DrawFrame(QPainter& painter);

    // The device rectangle and frame width of the last SetDrawParams.
    const TrpDeviceRect& DeviceRect() const { return FRect; }
    int32_t FrameWidth() const { return FFrameWidth; }

    static void RegisterClass(PropertyRegistry& registry);

protected:
    // The device rectangle of the given bounds (left and top absolute) at the kept scales.
    void SetDrawRect(double absLeft, double absTop, double width, double height);

    TrpDeviceRect FRect;
    int32_t FFrameWidth = 0;
    double FScaleX = 1;
    double FScaleY = 1;
    double FOffsetX = 0;
    double FOffsetY = 0;

private:
    TrpFrame frame_;
    QPointer<TrpComponent> dataSet_;
    QString dataSetName_;
};

// Publishes a property of the view base in a subclass's list.
void PublishViewProperty(RegisteredClass& cls, TrpViewProperty property);

// A view that can grow to its content and be split across pages. The engine keeps the height
// and top of a split object in SaveHeight and SavedTop.
class TrpStretcheable : public TrpView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpStretcheable() = default;
    explicit TrpStretcheable(TrpComponent* owner) : TrpStretcheable() { AttachTo(owner); }

    TrpStretchMode StretchMode = smDontStretch;
    double SaveHeight = 0;
    double SavedTop = 0;

    // The height the content needs; the current height here.
    virtual double CalcHeight() { return Height(); }
    // Prints the part that fits and answers the height left over; 0 here.
    virtual double DrawPart() { return 0; }
    virtual void InitPart() {}
    virtual bool HasNextDataPart() { return false; }

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpShapeView : public TrpView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpShapeView();
    explicit TrpShapeView(TrpComponent* owner) : TrpShapeView() { AttachTo(owner); }

    int32_t Curve = 0; // corner size of a rounded rectangle in tens of pixels; 0 automatic
    TrpShapeKind Shape = skRectangle;

    // Each shape button of the designer creates its kind.
    void DesignCreate(uint16_t flags) override;
    QString GetDescription() const override;

    QString Diff(const TrpComponent& original) const override;

    // The figure; a double frame draws it twice, the second time moved in.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    void DrawShape(QPainter& painter, TrpFrameStyle style);
};

// A line: horizontal, vertical or diagonal, with optional arrow heads; colour, width and style
// are its frame's.
class TrpCustomLineView : public TrpStretcheable {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpCustomLineView();
    explicit TrpCustomLineView(TrpComponent* owner) : TrpCustomLineView() { AttachTo(owner); }

    bool Diagonal = false;
    bool ArrowEnd = false;
    int32_t ArrowLength = 20;
    bool ArrowSolid = false;
    bool ArrowStart = false;
    int32_t ArrowWidth = 5;

    // The designer's line buttons 0 to 4: straight, diagonal, with end arrow, with start
    // arrow, with both.
    void DesignCreate(uint16_t flags) override;

    // A straight line becomes horizontal or vertical (its frame's top or left side); a
    // diagonal one is a thick line corner to corner; then the arrow heads.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpLineView : public TrpCustomLineView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpLineView() = default;
    explicit TrpLineView(TrpComponent* owner) : TrpLineView() { AttachTo(owner); }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpPictureView : public TrpView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpPictureView();
    explicit TrpPictureView(TrpComponent* owner) : TrpPictureView() { AttachTo(owner); }

    bool Center = false;
    QString FileLink;             // may hold bracketed expressions
    int32_t ImageIndex = 0;       // the picture's index in the prepared pages' picture cache
    bool KeepAspectRatio = true;
    bool PictureChanged = false;  // changed since last handed to the picture cache
    bool Stretched = true;
    bool HightQuality = false;
    int32_t TransparentColor = clWhite;
    // What the serializer writes: the picture itself, or (prepared pages and the designer's
    // undo) its picture-cache index instead.
    bool IsPictureStored = true;
    bool IsImageIndexStored = false;

    // Width and Height follow the picture while it is set.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    // True clears the background colour, false makes it white.
    void SetTransparent(bool value);

    TrpPicture& Picture() { return picture_; }
    const TrpPicture& Picture() const { return picture_; }
    // Copies into the owned picture.
    void SetPicture(const TrpPicture& picture) { picture_.Assign(picture); }

    QString GetDescription() const override;

    // A changed picture goes to the prepared pages' picture cache first; the text always
    // holds the cache index.
    QString Diff(const TrpComponent& original) const override;

    // The picture of FileLink (its expressions expanded) or of the bound blob field.
    void GetData() override;
    // Loads a picture recognised by its bytes from the stream (from its start when
    // `resetStreamPos`, else from its position), after the blob header when there is one:
    // 0 when loaded; kPictureNotRecognised, and the picture emptied, when not.
    uint32_t LoadPictureFromStream(QIODevice& stream, bool resetStreamPos);

    // The picture stretched (keeping its proportions when asked, centred when asked) or at
    // its size clipped to the object; in the designer, the picture symbol without one.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    void PictureChange();

    TrpPicture picture_;
    bool autoSize_ = false;
    bool transparent_ = false;
};

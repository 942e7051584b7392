#pragma once

// The class library's drawing classes over Qt: pens, brushes, canvases over QPainter, bitmaps
// over QImage, metafiles over QPicture, and pictures that load and save BMP, PNG and JPEG.
// Colours are TColor values (0x00BBGGRR, system colours through the widget palette).

#include "report/core/Colors.h"
#include "report/core/FileAccess.h"
#include "report/core/ScriptFont.h"
#include "report/core/gui/QtConversions.h"
#include "report/script/ScriptObjects.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPicture>
#include <QPoint>

#include <memory>
#include <optional>

class QPainter;
class QPaintDevice;

// A font as Qt draws it: the family, the height in pixels (96 per inch; 11 for none), the
// styles and a fixed pitch. Colours convert with ToQColor and FromQColor.
QFont ScriptQFont(const ScriptFont& font);

class ScriptPen : public ScriptObject, public ScriptPersistent {
public:
    static const ScriptClassInfo& Class(); // TPen
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    enum Style : int { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

    TColor Color = 0;      // clBlack
    int32_t Width = 1;
    int32_t PenStyle = psSolid;
    int32_t Mode = 4;      // pmCopy

    bool AssignFrom(ScriptObject& source) override;
};

class ScriptBrush : public ScriptObject, public ScriptPersistent {
public:
    static const ScriptClassInfo& Class(); // TBrush
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    enum Style : int { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

    TColor Color = 0xFFFFFF; // clWhite
    int32_t BrushStyle = bsSolid;

    bool AssignFrom(ScriptObject& source) override;
};

class ScriptGraphic;

// TCanvas: draws with its pen, brush and font on what it is attached to: an image (a bitmap),
// a picture being recorded (a metafile canvas), or the painter of a paint event (a form's
// canvas, which draws only while its OnPaint runs). A canvas of its own has no device:
// drawing on it raises EInvalidOperation "Canvas does not allow drawing".
class ScriptCanvas : public ScriptObject, public ScriptPersistent {
public:
    static const ScriptClassInfo& Class(); // TCanvas
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptCanvas();
    ~ScriptCanvas() override;

    ScriptPen Pen;
    ScriptBrush Brush;
    ScriptFont Font;
    QPoint PenPos;

    // What the canvas draws on.
    void AttachImage(QImage* image);
    void AttachPainter(QPainter* painter); // nullptr: between paint events (drawing is dropped)
    void AttachPicture(QPicture* picture); // records until detached or destroyed
    void Detach();

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // The rectangle from (x1, y1) up to, not including, (x2, y2), outlined with the pen and
    // filled with the brush.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    // Text with its top left corner at (x, y), on the brush unless the brush is clear.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    void Draw(int x, int y, ScriptGraphic& graphic);
    void StretchDraw(int x1, int y1, int x2, int y2, ScriptGraphic& graphic);
    // The pixel's colour, -1 outside the image or without one.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    bool AssignFrom(ScriptObject& source) override;

private:
    enum class Target { None, Image, Painter, Picture };
    // Runs draw with a painter set up with the pen, brush and font; nothing between paint
    // events; EInvalidOperation without a device.
    template <class F>
    void Paint(F&& draw);
    void Prepare(QPainter& painter) const;

    Target FTarget = Target::None;
    QImage* FImage = nullptr;
    QPainter* FPainter = nullptr;               // the paint event's
    std::unique_ptr<QPainter> FPicturePainter;  // recording a picture
};

// TGraphic: a picture that can be drawn, sized, loaded and saved.
class ScriptGraphic : public ScriptObject, public ScriptPersistent {
public:
    static const ScriptClassInfo& Class(); // TGraphic

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    // Draws into the target rectangle.
    virtual void DrawOn(QPainter& painter, const QRect& target) = 0;
    // The file's bytes (their format by content), and the bytes to write for a file name.
    virtual void LoadFromBytes(const QByteArray& bytes, const QString& fileName) = 0;
    virtual QByteArray SaveToBytes(const QString& fileName) const = 0;

    // Files a picture reads at most (bytes), and the largest side of an image in pixels.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr int kMaxSide = 16384;
};

// TBitmap over a 32-bit image; its canvas draws into it.
class ScriptBitmap : public ScriptGraphic {
public:
    static const ScriptClassInfo& Class(); // TBitmap
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptBitmap();

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int width) override { Resize(width, FHeight); }
    void SetHeight(int height) override { Resize(FWidth, height); }
    void DrawOn(QPainter& painter, const QRect& target) override;
    // BMP, PNG or JPEG, told by the content.
    void LoadFromBytes(const QByteArray& bytes, const QString& fileName) override;
    // By the file name's extension: .png, .jpg/.jpeg, otherwise BMP.
    QByteArray SaveToBytes(const QString& fileName) const override;
    bool AssignFrom(ScriptObject& source) override;
    void CountMemory(ScriptMemoryCounter& counter) const override;

    QImage& Image() { return FImage; }
    ScriptCanvas& Canvas() { return FCanvas; }

private:
    // New pixels are white; the old ones stay. An image exists once both sides are above 0.
    void Resize(int width, int height);

    QImage FImage;
    int FWidth = 0; // the size, also while a side is 0 and there is no image
    int FHeight = 0;
    ScriptCanvas FCanvas;
};

// TMetafile over a recorded QPicture. A metafile read from a file is kept byte for byte
// (there is no decoder for its format here): it saves as it was read and draws as a framed
// placeholder of its size.
class ScriptMetafile : public ScriptGraphic {
public:
    static const ScriptClassInfo& Class(); // TMetafile
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptMetafile() = default;
    ~ScriptMetafile() override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int width) override { FWidth = std::max(0, width); }
    void SetHeight(int height) override { FHeight = std::max(0, height); }
    void DrawOn(QPainter& painter, const QRect& target) override;
    void LoadFromBytes(const QByteArray& bytes, const QString& fileName) override;
    QByteArray SaveToBytes(const QString& fileName) const override;
    bool AssignFrom(ScriptObject& source) override;

    QPicture& Picture() { return FPicture; }
    // A canvas recording into it starts a new picture.
    void StartRecording();

private:
    friend class ScriptMetafileCanvas;

    QPicture FPicture;
    QByteArray FLoaded;     // bytes read from a file, kept as they were
    uint32_t FRecorder = 0; // handle of the canvas recording into the picture
    int FWidth = 0;
    int FHeight = 0;
};

// TMetafileCanvas: a canvas recording into a metafile until it is freed.
class ScriptMetafileCanvas : public ScriptCanvas {
public:
    static const ScriptClassInfo& Class(); // TMetafileCanvas
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // The reference device of the class library's metafile canvas is ignored.
    explicit ScriptMetafileCanvas(ScriptMetafile& metafile);
    ~ScriptMetafileCanvas() override;
};

// TPicture: holds one graphic, made from the file it loads (a bitmap for BMP, PNG and JPEG,
// a metafile for .emf and .wmf).
class ScriptPicture : public ScriptObject, public ScriptPersistent {
public:
    static const ScriptClassInfo& Class(); // TPicture
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    ScriptGraphic* Graphic() const { return FGraphic.get(); }
    void LoadFromBytes(const QByteArray& bytes, const QString& fileName);
    // EInvalidOperation for an empty picture.
    QByteArray SaveToBytes(const QString& fileName) const;
    bool AssignFrom(ScriptObject& source) override;

private:
    std::unique_ptr<ScriptGraphic> FGraphic;
};

// Registers TFont, TPen, TBrush, TCanvas, TGraphic, TBitmap, TMetafile, TMetafileCanvas and
// TPicture in the property registry; idempotent.
void RegisterScriptGraphicsClasses();

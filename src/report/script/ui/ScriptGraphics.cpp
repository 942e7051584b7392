#include "ScriptGraphics.h"
#include "report/script/sc_iconsts.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QPalette>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

// The bytes of a 32-bit image of this size, for the script's memory.
int64_t ImageBytes(int width, int height)
{
    return int64_t{width} * height * 4;
}

// A picture that cannot be read.
class EInvalidGraphic : public EScriptErrorFamily {
public:
    explicit EInvalidGraphic(std::string message) : EScriptErrorFamily("EInvalidGraphic", std::move(message)) {}
};

Qt::PenStyle QtPenStyle(int style)
{
    switch (style) {
    case ScriptPen::psDash:
        return Qt::DashLine;
    case ScriptPen::psDot:
        return Qt::DotLine;
    case ScriptPen::psDashDot:
        return Qt::DashDotLine;
    case ScriptPen::psDashDotDot:
        return Qt::DashDotDotLine;
    case ScriptPen::psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle QtBrushStyle(int style)
{
    switch (style) {
    case ScriptBrush::bsClear:
        return Qt::NoBrush;
    case ScriptBrush::bsHorizontal:
        return Qt::HorPattern;
    case ScriptBrush::bsVertical:
        return Qt::VerPattern;
    case ScriptBrush::bsFDiagonal:
        return Qt::FDiagPattern;
    case ScriptBrush::bsBDiagonal:
        return Qt::BDiagPattern;
    case ScriptBrush::bsCross:
        return Qt::CrossPattern;
    case ScriptBrush::bsDiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

// Pen modes that change how the pen combines with what is there (raster devices only).
std::optional<QPainter::CompositionMode> QtPenMode(int mode)
{
    switch (mode) {
    case 3: // pmNot
        return QPainter::RasterOp_NotDestination;
    case 5: // pmNotCopy
        return QPainter::RasterOp_NotSource;
    case 10: // pmMerge
        return QPainter::RasterOp_SourceOrDestination;
    case 12: // pmMask
        return QPainter::RasterOp_SourceAndDestination;
    case 14: // pmXor
        return QPainter::RasterOp_SourceXorDestination;
    case 15: // pmNotXor
        return QPainter::RasterOp_NotSourceXorDestination;
    default:
        return std::nullopt;
    }
}

// The rectangle a GDI call with corners (x1, y1) and (x2, y2) outlines: the right and bottom
// edges are outside it.
QRect OutlineRect(int x1, int y1, int x2, int y2)
{
    return QRect(std::min(x1, x2), std::min(y1, y2), std::max(0, std::abs(x2 - x1) - 1),
                 std::max(0, std::abs(y2 - y1) - 1));
}

bool IsMetafileData(const QByteArray& bytes)
{
    // An enhanced metafile starts with its header record (type 1) and holds " EMF" at 40;
    // a placeable Windows metafile starts with its magic number.
    if (bytes.size() >= 44 && qFromLittleEndian<quint32>(bytes.constData()) == 1 &&
        std::memcmp(bytes.constData() + 40, " EMF", 4) == 0)
        return true;
    return bytes.size() >= 22 && qFromLittleEndian<quint32>(bytes.constData()) == 0x9AC6CDD7u;
}

// The size in pixels (96 per inch) a metafile's header gives, 0 x 0 when it gives none.
QSize MetafileSize(const QByteArray& bytes)
{
    if (bytes.size() >= 44 && qFromLittleEndian<quint32>(bytes.constData()) == 1) {
        const qint32 left = qFromLittleEndian<qint32>(bytes.constData() + 8);
        const qint32 top = qFromLittleEndian<qint32>(bytes.constData() + 12);
        const qint32 right = qFromLittleEndian<qint32>(bytes.constData() + 16);
        const qint32 bottom = qFromLittleEndian<qint32>(bytes.constData() + 20);
        const int64_t width = int64_t{right} - left + 1;
        const int64_t height = int64_t{bottom} - top + 1;
        if (width > 0 && height > 0 && width <= ScriptGraphic::kMaxSide && height <= ScriptGraphic::kMaxSide)
            return QSize(static_cast<int>(width), static_cast<int>(height));
    } else if (bytes.size() >= 22 && qFromLittleEndian<quint32>(bytes.constData()) == 0x9AC6CDD7u) {
        const qint16 left = qFromLittleEndian<qint16>(bytes.constData() + 6);
        const qint16 top = qFromLittleEndian<qint16>(bytes.constData() + 8);
        const qint16 right = qFromLittleEndian<qint16>(bytes.constData() + 10);
        const qint16 bottom = qFromLittleEndian<qint16>(bytes.constData() + 12);
        const quint16 inch = qFromLittleEndian<quint16>(bytes.constData() + 14);
        if (inch > 0 && right > left && bottom > top)
            return QSize(static_cast<int>((right - left) * 96 / inch), static_cast<int>((bottom - top) * 96 / inch));
    }
    return QSize();
}

} // namespace

// --- Colours and fonts ----------------------------------------------------------------------

QFont ScriptQFont(const ScriptFont& font)
{
    const int height = font.Height() == 0 ? 11 : std::abs(font.Height());
    QFont qfont = ToQFont(font, font.Name(), std::clamp(height, 1, 4096));
    if (font.PitchValue() == ScriptFont::fpFixed)
        qfont.setFixedPitch(true);
    return qfont;
}

// --- Pens and brushes -----------------------------------------------------------------------

const ScriptClassInfo& ScriptPen::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TPen"), &ScriptPlainObject::PersistentClass()};
    return info;
}

bool ScriptPen::AssignFrom(ScriptObject& source)
{
    auto* other = dynamic_cast<ScriptPen*>(&source);
    if (other == nullptr)
        return false;
    Color = other->Color;
    Width = other->Width;
    PenStyle = other->PenStyle;
    Mode = other->Mode;
    return true;
}

const ScriptClassInfo& ScriptBrush::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TBrush"), &ScriptPlainObject::PersistentClass()};
    return info;
}

bool ScriptBrush::AssignFrom(ScriptObject& source)
{
    auto* other = dynamic_cast<ScriptBrush*>(&source);
    if (other == nullptr)
        return false;
    Color = other->Color;
    BrushStyle = other->BrushStyle;
    return true;
}

// --- TCanvas --------------------------------------------------------------------------------

const ScriptClassInfo& ScriptCanvas::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TCanvas"), &ScriptPlainObject::PersistentClass()};
    return info;
}

ScriptCanvas::ScriptCanvas()
{
    // A canvas's font starts black, as the class library's does.
    Font.SetColor(0);
}

ScriptCanvas::~ScriptCanvas()
{
    Detach();
}

void ScriptCanvas::AttachImage(QImage* image)
{
    Detach();
    FImage = image;
    FTarget = Target::Image;
}

void ScriptCanvas::AttachPainter(QPainter* painter)
{
    if (FTarget != Target::Painter)
        Detach();
    FPainter = painter;
    FTarget = Target::Painter;
}

void ScriptCanvas::AttachPicture(QPicture* picture)
{
    Detach();
    FPicturePainter = std::make_unique<QPainter>(picture);
    FTarget = Target::Picture;
}

void ScriptCanvas::Detach()
{
    if (FPicturePainter) {
        FPicturePainter->end();
        FPicturePainter.reset();
    }
    FImage = nullptr;
    FPainter = nullptr;
    FTarget = Target::None;
}

void ScriptCanvas::Prepare(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(Pen.Color), std::max(1, Pen.Width), QtPenStyle(Pen.PenStyle));
    if (Pen.Mode == 0) // pmBlack
        pen.setColor(Qt::black);
    else if (Pen.Mode == 1) // pmWhite
        pen.setColor(Qt::white);
    else if (Pen.Mode == 2) // pmNop: the pen draws nothing
        pen.setStyle(Qt::NoPen);
    painter.setPen(pen);
    painter.setBrush(QBrush(ToQColor(Brush.Color), QtBrushStyle(Brush.BrushStyle)));
    painter.setFont(ScriptQFont(Font));
    if (const auto mode = QtPenMode(Pen.Mode); mode && painter.paintEngine() != nullptr &&
                                               painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        painter.setCompositionMode(*mode);
}

template <class F>
void ScriptCanvas::Paint(F&& draw)
{
    switch (FTarget) {
    case Target::None:
        throw EInvalidOperation(ScErrorText(TscMessage::SCanvasNoDrawing));
    case Target::Painter:
        // Between paint events there is nothing to draw on.
        if (FPainter == nullptr || !FPainter->isActive())
            return;
        FPainter->save();
        Prepare(*FPainter);
        draw(*FPainter);
        FPainter->restore();
        return;
    case Target::Picture:
        FPicturePainter->save();
        Prepare(*FPicturePainter);
        draw(*FPicturePainter);
        FPicturePainter->restore();
        return;
    case Target::Image: {
        if (FImage == nullptr || FImage->isNull())
            return;
        QPainter painter(FImage);
        Prepare(painter);
        draw(painter);
        return;
    }
    }
}

void ScriptCanvas::MoveTo(int x, int y)
{
    PenPos = QPoint(x, y);
}

void ScriptCanvas::LineTo(int x, int y)
{
    const QPoint from = PenPos;
    Paint([&](QPainter& p) { p.drawLine(from, QPoint(x, y)); });
    PenPos = QPoint(x, y);
}

void ScriptCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Paint([&](QPainter& p) { p.drawRect(OutlineRect(x1, y1, x2, y2)); });
}

void ScriptCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Paint([&](QPainter& p) { p.drawEllipse(OutlineRect(x1, y1, x2, y2)); });
}

void ScriptCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Paint([&](QPainter& p) { p.drawRoundedRect(OutlineRect(x1, y1, x2, y2), x3 / 2.0, y3 / 2.0); });
}

void ScriptCanvas::TextOut(int x, int y, const QString& text)
{
    Paint([&](QPainter& p) {
        const QFontMetrics metrics(p.font());
        if (Brush.BrushStyle != ScriptBrush::bsClear)
            p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), ToQColor(Brush.Color));
        p.setPen(ToQColor(Font.Color()));
        p.drawText(QPoint(x, y + metrics.ascent()), text);
    });
    PenPos = QPoint(x + TextWidth(text), y);
}

int ScriptCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(ScriptQFont(Font)).horizontalAdvance(text);
}

int ScriptCanvas::TextHeight(const QString&) const
{
    return QFontMetrics(ScriptQFont(Font)).height();
}

void ScriptCanvas::Draw(int x, int y, ScriptGraphic& graphic)
{
    Paint([&](QPainter& p) { graphic.DrawOn(p, QRect(x, y, graphic.Width(), graphic.Height())); });
}

void ScriptCanvas::StretchDraw(int x1, int y1, int x2, int y2, ScriptGraphic& graphic)
{
    Paint([&](QPainter& p) { graphic.DrawOn(p, QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1))); });
}

TColor ScriptCanvas::Pixel(int x, int y) const
{
    if (FTarget != Target::Image || FImage == nullptr || !FImage->valid(x, y))
        return -1;
    return FromQColor(QColor::fromRgb(FImage->pixel(x, y)));
}

void ScriptCanvas::SetPixel(int x, int y, TColor color)
{
    if (FTarget == Target::Image) {
        if (FImage != nullptr && FImage->valid(x, y))
            FImage->setPixel(x, y, ToQColor(color).rgb());
        return;
    }
    Paint([&](QPainter& p) {
        p.setPen(QPen(ToQColor(color), 1));
        p.drawPoint(x, y);
    });
}

bool ScriptCanvas::AssignFrom(ScriptObject& source)
{
    auto* other = dynamic_cast<ScriptCanvas*>(&source);
    if (other == nullptr)
        return false;
    Pen.AssignFrom(other->Pen);
    Brush.AssignFrom(other->Brush);
    Font.Assign(other->Font);
    return true;
}

// --- TGraphic, TBitmap ----------------------------------------------------------------------

const ScriptClassInfo& ScriptGraphic::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TGraphic"), &ScriptPlainObject::PersistentClass()};
    return info;
}

const ScriptClassInfo& ScriptBitmap::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TBitmap"), &ScriptGraphic::Class()};
    return info;
}

ScriptBitmap::ScriptBitmap()
{
    FCanvas.AttachImage(&FImage);
}

void ScriptBitmap::Resize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width > kMaxSide || height > kMaxSide)
        throw EOutOfMemory();
    if (width == FWidth && height == FHeight)
        return;
    if (width > 0 && height > 0)
        ChargeScriptMemory(ImageBytes(width, height));
    FWidth = width;
    FHeight = height;
    QImage image;
    if (width > 0 && height > 0) {
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (!FImage.isNull()) {
            QPainter painter(&image);
            painter.drawImage(0, 0, FImage);
        }
    }
    FImage = image;
    FCanvas.AttachImage(&FImage);
}

void ScriptBitmap::DrawOn(QPainter& painter, const QRect& target)
{
    if (!FImage.isNull())
        painter.drawImage(target, FImage);
}

void ScriptBitmap::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptObjectBytes + FImage.sizeInBytes());
}

void ScriptBitmap::LoadFromBytes(const QByteArray& bytes, const QString&)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    if (format != "bmp" && format != "png" && format != "jpeg" && format != "jpg")
        throw EInvalidGraphic(ScErrorText(TscMessage::SBitmapInvalid));
    const QSize size = reader.size();
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        throw EOutOfMemory();
    ChargeScriptMemory(ImageBytes(size.width(), size.height()));
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(ScErrorText(TscMessage::SBitmapInvalid));
    FImage = image.convertToFormat(QImage::Format_RGB32);
    FWidth = FImage.width();
    FHeight = FImage.height();
    FCanvas.AttachImage(&FImage);
}

QByteArray ScriptBitmap::SaveToBytes(const QString& fileName) const
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const char* format = suffix == QLatin1String("png")                                      ? "PNG"
                         : (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) ? "JPEG"
                                                                                                : "BMP";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (FImage.isNull() || !FImage.save(&buffer, format))
        throw EInvalidGraphic(ScErrorText(TscMessage::SBitmapEmpty));
    return bytes;
}

bool ScriptBitmap::AssignFrom(ScriptObject& source)
{
    if (auto* picture = dynamic_cast<ScriptPicture*>(&source)) {
        if (picture->Graphic() == nullptr) {
            FImage = QImage();
            FWidth = 0;
            FHeight = 0;
            FCanvas.AttachImage(&FImage);
            return true;
        }
        return AssignFrom(*picture->Graphic());
    }
    auto* other = dynamic_cast<ScriptBitmap*>(&source);
    if (other == nullptr)
        return false;
    FImage = other->FImage.copy();
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    FCanvas.AttachImage(&FImage);
    return true;
}

// --- TMetafile ------------------------------------------------------------------------------

const ScriptClassInfo& ScriptMetafile::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TMetafile"), &ScriptGraphic::Class()};
    return info;
}

int ScriptMetafile::Width() const
{
    return FWidth > 0 ? FWidth : std::max(0, FPicture.boundingRect().right() + 1);
}

int ScriptMetafile::Height() const
{
    return FHeight > 0 ? FHeight : std::max(0, FPicture.boundingRect().bottom() + 1);
}

void ScriptMetafile::DrawOn(QPainter& painter, const QRect& target)
{
    painter.save();
    if (!FLoaded.isEmpty()) {
        // No decoder for the stored format: a framed place of its size.
        painter.setPen(QPen(Qt::gray, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(target.adjusted(0, 0, -1, -1));
    } else {
        painter.translate(target.topLeft());
        if (Width() > 0 && Height() > 0)
            painter.scale(double(target.width()) / Width(), double(target.height()) / Height());
        painter.drawPicture(0, 0, FPicture);
    }
    painter.restore();
}

void ScriptMetafile::LoadFromBytes(const QByteArray& bytes, const QString&)
{
    if (!IsMetafileData(bytes))
        throw EInvalidGraphic(ScErrorText(TscMessage::SMetafileInvalid));
    StartRecording();
    FLoaded = bytes;
    const QSize size = MetafileSize(bytes);
    FWidth = size.width();
    FHeight = size.height();
}

QByteArray ScriptMetafile::SaveToBytes(const QString&) const
{
    if (!FLoaded.isEmpty())
        return FLoaded;
    return QByteArray(FPicture.data(), static_cast<qsizetype>(FPicture.size()));
}

bool ScriptMetafile::AssignFrom(ScriptObject& source)
{
    if (auto* picture = dynamic_cast<ScriptPicture*>(&source)) {
        if (picture->Graphic() == nullptr)
            return false;
        return AssignFrom(*picture->Graphic());
    }
    auto* other = dynamic_cast<ScriptMetafile*>(&source);
    if (other == nullptr)
        return false;
    if (other == this)
        return true;
    StartRecording();
    FPicture = other->FPicture;
    FLoaded = other->FLoaded;
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    return true;
}

void ScriptMetafile::StartRecording()
{
    // A canvas recording into the old picture stops first.
    if (auto* recorder = dynamic_cast<ScriptMetafileCanvas*>(ObjectHandles::Find(FRecorder)))
        recorder->Detach();
    FRecorder = 0;
    FPicture = QPicture();
    FLoaded.clear();
}

const ScriptClassInfo& ScriptMetafileCanvas::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TMetafileCanvas"), &ScriptCanvas::Class()};
    return info;
}

ScriptMetafile::~ScriptMetafile()
{
    // A canvas still recording into this picture stops now, while the picture exists.
    if (auto* recorder = dynamic_cast<ScriptMetafileCanvas*>(ObjectHandles::Find(FRecorder)))
        recorder->Detach();
}

ScriptMetafileCanvas::ScriptMetafileCanvas(ScriptMetafile& metafile)
{
    metafile.StartRecording();
    AttachPicture(&metafile.Picture());
    metafile.FRecorder = Handle();
}

ScriptMetafileCanvas::~ScriptMetafileCanvas()
{
    Detach();
}

// --- TPicture -------------------------------------------------------------------------------

const ScriptClassInfo& ScriptPicture::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TPicture"), &ScriptPlainObject::PersistentClass()};
    return info;
}

void ScriptPicture::LoadFromBytes(const QByteArray& bytes, const QString& fileName)
{
    std::unique_ptr<ScriptGraphic> graphic;
    if (IsMetafileData(bytes))
        graphic = std::make_unique<ScriptMetafile>();
    else
        graphic = std::make_unique<ScriptBitmap>();
    graphic->LoadFromBytes(bytes, fileName);
    FGraphic = std::move(graphic);
}

QByteArray ScriptPicture::SaveToBytes(const QString& fileName) const
{
    if (FGraphic == nullptr)
        return QByteArray();
    return FGraphic->SaveToBytes(fileName);
}

bool ScriptPicture::AssignFrom(ScriptObject& source)
{
    if (auto* other = dynamic_cast<ScriptPicture*>(&source)) {
        if (other == this)
            return true;
        if (other->FGraphic == nullptr) {
            FGraphic.reset();
            return true;
        }
        return AssignFrom(*other->FGraphic);
    }
    std::unique_ptr<ScriptGraphic> copy;
    if (dynamic_cast<ScriptBitmap*>(&source) != nullptr)
        copy = std::make_unique<ScriptBitmap>();
    else if (dynamic_cast<ScriptMetafile*>(&source) != nullptr)
        copy = std::make_unique<ScriptMetafile>();
    else
        return false;
    copy->AssignFrom(source);
    FGraphic = std::move(copy);
    return true;
}

// --- Registration ---------------------------------------------------------------------------

namespace {

std::vector<QString> Names(const char* commaText)
{
    std::vector<QString> names;
    for (const QString& name : QString::fromLatin1(commaText).split(u',', Qt::SkipEmptyParts))
        names.push_back(name.trimmed());
    return names;
}

template <class T, class Member>
PropertyInfo& AddNested(RegisteredClass& c, const char* name, const ScriptClassInfo& cls, Member T::*member)
{
    return c.AddObject(
        QString::fromLatin1(name), PropertyKind::NestedObject, cls,
        GetterOf<T>([member](const T& o) { return ObjectHandles::ToVariant(const_cast<Member*>(&(o.*member))); }),
        SetterOf<T>([member](T& o, const Variant& v) {
            ScriptAssign(o.*member, ObjectHandles::Find(ObjectHandles::HandleOf(v)));
        }));
}

} // namespace

void RegisterScriptGraphicsClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(ScriptPen::Class()))
        return;
    ScriptFont::RegisterClass(registry);
    const EnumTypeInfo& penStyles = registry.AddEnum(
        QStringLiteral("TPenStyle"), Names("psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame"));
    const EnumTypeInfo& penModes = registry.AddEnum(
        QStringLiteral("TPenMode"), Names("pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, "
                                          "pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, "
                                          "pmNotMask, pmXor, pmNotXor"));
    const EnumTypeInfo& brushStyles = registry.AddEnum(
        QStringLiteral("TBrushStyle"),
        Names("bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross"));

    RegisteredClass& pen = registry.Register(ScriptPen::Class(), [] { return std::make_unique<ScriptPen>(); });
    pen.AddInteger(
        QStringLiteral("Color"), GetterOf<ScriptPen>([](const ScriptPen& p) { return Variant(p.Color); }),
        SetterOf<ScriptPen>([](ScriptPen& p, const Variant& v) { p.Color = v.ToInt32(); }), 0, QStringLiteral("TColor"));
    pen.AddEnum(QStringLiteral("Mode"), penModes,
                GetterOf<ScriptPen>([](const ScriptPen& p) { return Variant(p.Mode); }),
                SetterOf<ScriptPen>([](ScriptPen& p, const Variant& v) { p.Mode = v.ToInt32(); }), 4);
    pen.AddEnum(QStringLiteral("Style"), penStyles,
                GetterOf<ScriptPen>([](const ScriptPen& p) { return Variant(p.PenStyle); }),
                SetterOf<ScriptPen>([](ScriptPen& p, const Variant& v) { p.PenStyle = v.ToInt32(); }));
    pen.AddInteger(QStringLiteral("Width"), GetterOf<ScriptPen>([](const ScriptPen& p) { return Variant(p.Width); }),
                   SetterOf<ScriptPen>([](ScriptPen& p, const Variant& v) {
                       const int32_t width = v.ToInt32();
                       if (width < 0 || width > 4096)
                           throw ERangeError();
                       p.Width = width;
                   }),
                   1);

    RegisteredClass& brush = registry.Register(ScriptBrush::Class(), [] { return std::make_unique<ScriptBrush>(); });
    brush.AddInteger(
        QStringLiteral("Color"), GetterOf<ScriptBrush>([](const ScriptBrush& b) { return Variant(b.Color); }),
        SetterOf<ScriptBrush>([](ScriptBrush& b, const Variant& v) { b.Color = v.ToInt32(); }), 0xFFFFFF,
        QStringLiteral("TColor"));
    brush.AddEnum(QStringLiteral("Style"), brushStyles,
                  GetterOf<ScriptBrush>([](const ScriptBrush& b) { return Variant(b.BrushStyle); }),
                  SetterOf<ScriptBrush>([](ScriptBrush& b, const Variant& v) { b.BrushStyle = v.ToInt32(); }));

    RegisteredClass& canvas = registry.Register(ScriptCanvas::Class(), [] { return std::make_unique<ScriptCanvas>(); });
    AddNested<ScriptCanvas>(canvas, "Brush", ScriptBrush::Class(), &ScriptCanvas::Brush);
    AddNested<ScriptCanvas>(canvas, "Font", ScriptFont::Class(), &ScriptCanvas::Font);
    AddNested<ScriptCanvas>(canvas, "Pen", ScriptPen::Class(), &ScriptCanvas::Pen);

    registry.Register(ScriptGraphic::Class());
    registry.Register(ScriptBitmap::Class(), [] { return std::make_unique<ScriptBitmap>(); });
    registry.Register(ScriptMetafile::Class(), [] { return std::make_unique<ScriptMetafile>(); });
    registry.Register(ScriptMetafileCanvas::Class());
    registry.Register(ScriptPicture::Class(), [] { return std::make_unique<ScriptPicture>(); });
}

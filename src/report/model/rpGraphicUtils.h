#pragma once

#include "rpFont.h"

#include "report/core/Colors.h"
#include "report/core/gui/QtConversions.h" // ToQColor, ToQFont

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

class QFont;
class QPainter;
struct TrpDrawContext;

// --- Device geometry

// Device coordinates and lengths are kept within +-kMaxDeviceCoordinate. Report geometry
// comes from files and scripts; far outside any page it would overflow the integer
// arithmetic of drawing. The bound leaves room to add two coordinates in 32 bits and stays
// inside what Qt's raster painting handles.
inline constexpr int32_t kMaxDeviceCoordinate = 1 << 22;

// The one conversion of drawing geometry from report units to device pixels: rounded half to
// the even neighbour, clamped to +-kMaxDeviceCoordinate; NaN gives 0.
int32_t RoundToDevice(double value) noexcept;

// --- Pictures

// How the bytes of a picture are recognised (the kinds a picture holds: "BMP", "JPEG",
// "PNG", "WMF" for a placeable metafile, "EMF", "ICO"). The test order is fixed; each test
// needs its minimum length: "BM" and 14 bytes, FF D8 and 2, the PNG signature and 8, the
// placeable-metafile key and 22, " EMF" at offset 40 and 100, a second 16-bit value 0 or 1
// and 6 (an icon). Empty text when nothing matches.
QString SniffPictureKind(QByteArrayView bytes);

// Whether the first 8 bytes of a stored blob are its header (16-bit 1, 16-bit 256, 32-bit
// length) rather than picture data: the stream holding it is exactly that length plus 8.
inline constexpr qsizetype kPictureBlobHeaderSize = 8;
bool IsPictureBlobHeader(QByteArrayView header, qint64 streamSize);

// Metafiles are recognised and kept byte for byte, but not drawn: there is no decoder here.
bool IsMetafileKind(QStringView kind);

// Picture files and blobs larger than this are not read.
inline constexpr qsizetype kMaxPictureBytes = 64 * 1024 * 1024;

// Decodes the bytes of a raster picture of a known kind ("BMP", "JPEG", "PNG", "GIF",
// "ICO"); a null image when they do not decode or the image would pass Qt's image
// allocation limit.
QImage DecodePicture(QStringView kind, QByteArrayView bytes);
// The kind of a picture file judged by its content: the sniffed kind, else the format Qt's
// readers recognise among "GIF" (and the others); empty when none.
QString DetectPictureFileKind(QByteArrayView bytes);
// The size in pixels at 96 per inch that a metafile's header gives (the placeable header's
// box and units per inch, the enhanced header's frame in hundredths of a millimetre); an
// empty size when the header is unusable.
QSize MetafileSize(QStringView kind, QByteArrayView bytes);

// Draws a picture scaled into `rect`. With `transparent` the pixels of `transparentColor`
// leave the destination unchanged; `smooth` scales with filtering. A metafile kind, or a
// picture that does not decode, is drawn as the placeholder.
void DrawGraphic(QPainter& painter, const QRect& rect, QStringView kind, const QImage& image,
                 TColor transparentColor, bool transparent, bool smooth);
// Draws the image at (x, y) unscaled, leaving out the pixels of its transparent colour (the
// colour of its bottom-left pixel).
void DrawBitmapTransparent(QPainter& painter, int x, int y, const QImage& image);
// The image with the pixels of `color` made fully transparent.
QImage MaskedByColor(const QImage& image, const QColor& color);

// What stands for a picture that cannot be drawn: a light grey box with both diagonals and
// the kind name in the middle.
void DrawPicturePlaceholder(QPainter& painter, const QRect& rect, QStringView kind);

// --- Plain text outside the text layout (object names in the designer)

// The Qt font of a report font at a drawing scale: its installed family (see
// rpFontResolver.h), its height in pixels times the scale, its styles.
QFont ReportQFont(const TrpFont& font, double scale);
// Writes one line of text with its top-left corner at (x, y), on `background` when that is
// valid, and hands it to the context's sink; answers its width in pixels.
int DrawTextLine(QPainter& painter, int x, int y, const QString& text, const QFont& font, const QColor& color,
                 const QColor& background, const TrpDrawContext& context);

// --- Object images

// The images of the report object kinds (16 x 16), by their index in the object image list.
// The list is empty until the designer installs its images; a null image then.
QImage ObjectImage(int index);
void SetObjectImages(std::vector<QImage> images);
// The index of the picture symbol among the object images.
inline constexpr int kPictureObjectImage = 3;
// What the designer shows in a picture object without a picture: the picture symbol at
// (x, y), or an outline of a framed landscape of the same 16 x 16 pixels while the object
// images are not installed.
void DrawPictureSymbol(QPainter& painter, int x, int y);

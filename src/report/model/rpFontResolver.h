#pragma once

#include "platform/Exceptions.h"

#include <QRawFont>
#include <QString>
#include <QStringView>

// The one place where a report font name becomes an installed font face. The text layout
// measures with the face resolved here and the PDF export embeds that very file, so a text
// measures, draws and exports the same everywhere. The names the report templates use map to
// metric-compatible faces: "Arial" to Liberation Sans, "Times New Roman" to Liberation Serif,
// "Courier New" to Liberation Mono; every other name (Tahoma included) to DejaVu Sans.
// Fontconfig is asked for the files of exactly that family; its own fallback choice is never
// taken, because a substitute face breaks every line elsewhere.

// Raised when the face a report font maps to is not installed, or its file holds another
// family than the one asked for.
class EFontNotInstalled : public platform::Exception {
public:
    using platform::Exception::Exception;
};

struct TrpFontFace {
    QString Family;    // the installed family: "Liberation Sans"
    int Weight = 400;  // OpenType weight: 400 regular, 700 bold
    bool Italic = false;
    QString FileName;  // the font file holding the face
    int FaceIndex = 0; // the face's index in that file
};

// The installed family a report font name maps to (names compare ignoring case).
QString ReportFontFamily(QStringView reportFontName);

// The face of a report font in the given style. Of several files of the family (the old and
// the new Liberation packages side by side) the one of the highest font revision wins.
// Raises EFontNotInstalled when no file of the family has the style, or when the file found
// holds another family. Thread-safe; the answers are cached.
TrpFontFace ResolveReportFont(QStringView reportFontName, bool bold, bool italic);

// The face at a pixel size with hinting off, as the layout measures and draws it. Needs a
// running QGuiApplication (the offscreen platform will do); raises EFontNotInstalled when
// there is none or the file does not load. Cached per face and size.
QRawFont ReportRawFont(const TrpFontFace& face, int pixelSize);

// The bytes of the file holding a resolved face (a font or a collection; FaceIndex names the
// face): the very data the layout's raw fonts were made from, read and checked once. Raises
// EFontNotInstalled as ReportRawFont does.
QByteArray ReportFontData(const TrpFontFace& face);

// Whether the face has a glyph for every letter of the Russian alphabet.
bool FaceCoversCyrillic(const TrpFontFace& face);

#pragma once

#include "report/core/Colors.h"
#include "report/core/ScriptFont.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

// The report libraries' colours and fonts as Qt's, converted one way everywhere: the report
// objects drawing themselves, the scripts' graphics and forms, the dialog controls.

// A colour (0x00BBGGRR) as Qt's. A system colour takes its role's colour from the palette of
// the running GUI application (a light grey palette without one); clNone and clDefault give
// the fallback.
QColor ToQColor(TColor color, const QColor& fallback = QColor(Qt::black));
// Qt's colour as a colour of its own (its red, green and blue; the alpha is dropped).
TColor FromQColor(const QColor& color);
// A colour of its own (nothing in its high byte) as Qt's; none for a system colour, clNone,
// clDefault and the like, where a widget keeps the colour of its palette.
std::optional<QColor> OwnQColor(TColor color);

// A font as Qt's: the family given (a report font's face or the font's own name), the size in
// pixels (0 or less: Qt's default size), and the bold, italic, underline and strike-out styles.
QFont ToQFont(const ScriptFont& font, const QString& family, int pixelSize);

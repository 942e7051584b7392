#pragma once

#include "report/core/Colors.h"

#include <QColor>

// A report colour as the colour to paint with: standard colours by their parts, system
// colours through the application's palette (fixed colours when no GUI application runs),
// and no colour or the default colour as `fallback`.
QColor ColorToQColor(TColor color, const QColor& fallback = QColor(Qt::black));

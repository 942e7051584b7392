#pragma once

#include <QStringList>

// rptool ttf-subset FONT TEXT OUT [--index N]
// Reduces face N (default 0) of the font file FONT to the glyphs the UTF-8 TEXT maps to
// through the face's character map (glyph 0 and the components of composites always kept) and
// writes the standalone TrueType font to OUT. A refused font prints its message on stderr,
// exits 2 and writes nothing.
int RunTtfSubset(const QStringList& arguments);

#pragma once

#include <QStringList>

// rptool gif-write IN OUT.gif
// Writes the picture IN (any format Qt reads) as a GIF file through the exports' own GIF
// writer. A file that cannot be read as a picture prints the reason and exits 2; OUT is
// written whole or not at all.
int RunGifWrite(const QStringList& arguments);

#pragma once

#include <QStringList>

// rptool render-design FILE --page N --out PNG [--scale S]
// Draws report page N of FILE (1-based, counting report pages only) as the prepared pages
// would show it: white paper of the page's size at 96 dots per inch times S, the page's
// background, and every object at its design position inside the margins. Thin grey band
// outlines with the band names are added for the reviewer.
int RunRenderDesign(const QStringList& arguments);

#pragma once

// The orientation pictures of the page settings dialogs: a sheet upright or lying, with a few
// lines of text (48 x 48, transparent around it).

#include <QPixmap>

QPixmap OrientationPicture(bool landscape);

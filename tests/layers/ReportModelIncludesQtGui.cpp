// Compiled as part of report/model: a Qt Gui header, spelled either way, and a header of the
// script engine, which it links.
#include <QColor>
#include <QtGui/QFont>
#include "report/script/sc_itools.h"

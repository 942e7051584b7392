// Compiled as part of report/engine: printing belongs to engine/ui.
#include <QPrinter>

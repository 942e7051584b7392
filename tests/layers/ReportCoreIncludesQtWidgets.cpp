// Compiled as part of report/core, which links Qt Core only.
#include <QtWidgets/QWidget>

// Compiled as part of report/engine, which links Qt Core and Gui only.
#include <QtWidgets/QWidget>

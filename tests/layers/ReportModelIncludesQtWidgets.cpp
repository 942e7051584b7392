// Compiled as part of report/model, which links Qt Core and Gui only.
#include <QtWidgets/QWidget>

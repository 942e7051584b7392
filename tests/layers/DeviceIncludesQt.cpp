// Compiled as part of the device core, which uses no Qt.
#include <QWidget>

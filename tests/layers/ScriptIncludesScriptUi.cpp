// Compiled as part of report/script: a header of its ui/ library, which it does not link.
#include "report/script/ui/QtUiService.h"

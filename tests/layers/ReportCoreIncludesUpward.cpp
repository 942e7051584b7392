// Compiled as part of report/core: a header reached past the include roots.
#include "../script/sc_itools.h"

// Compiled as part of comm: a header of the device core, which stands above comm.
#include "device/Daxhelper.h"

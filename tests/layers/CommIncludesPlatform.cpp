// Compiled as part of comm: a header of a library comm uses.
#include "platform/Clock.h"

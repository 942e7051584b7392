#include "EngineTestSupport.h"

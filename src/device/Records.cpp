#include "Records.h"

// Logging and timing.
#pragma once

#include "NyApi.h"

// The system's millisecond counter (time since system start, wrapping at
// 2^32), read while the finest timer period the system grants is in force.
NY_API unsigned long NyFlgGetTime();

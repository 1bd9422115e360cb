#include "base/NyWindows.h"

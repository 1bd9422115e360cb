// DoRor: the umbrella header. Includes every public header of the library.
#pragma once

#include "NyApi.h"
#include "NyToolkit.h"
#include "NyIdentity.h"
#include "NyConfig.h"
#include "NyLogging.h"
#include "NyStringPool.h"
#include "NyUtil.h"
#include "NyProcess.h"

// DoRor: the umbrella header. Includes every public header of the library.
#pragma once

#include "NyApi.h"
#include "NyConfig.h"
#include "NyControls.h"
#include "NyCrash.h"
#include "NyDialogs.h"
#include "NyFiles.h"
#include "NyIdentity.h"
#include "NyLogging.h"
#include "NyProcess.h"
#include "NyStringPool.h"
#include "NyToolkit.h"
#include "NyUtil.h"

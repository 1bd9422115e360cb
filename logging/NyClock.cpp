#include "base/NyWindows.h"

#include <mmsystem.h>

#include "NyLogging.h"

namespace {

// The finest period timeBeginPeriod accepted, searched at the first call.
UINT g_timerPeriod = 1;
bool g_firstCall = true;

}  // namespace

unsigned long NyFlgGetTime() {
  if (g_firstCall) {
    g_firstCall = false;
    // The accepted request of the search stays in force for this reading.
    g_timerPeriod = 100;
    for (UINT period = 1; period <= 99; ++period) {
      if (::timeBeginPeriod(period) != TIMERR_NOCANDO) {
        g_timerPeriod = period;
        break;
      }
    }
  } else {
    ::timeBeginPeriod(g_timerPeriod);
  }
  DWORD now = ::timeGetTime();
  ::timeEndPeriod(g_timerPeriod);
  return now;
}

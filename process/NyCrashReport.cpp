// The readable report of a debugged child's exception event.
#include "base/NyWindows.h"

#include "NyCrash.h"

void NyCrashHandler::CheckExceptionEvent(const DEBUG_EVENT& /*event*/, const PROCESS_INFORMATION& /*child*/,
                                         CString& report, bool& flag) {
  report.Empty();
  flag = false;
}

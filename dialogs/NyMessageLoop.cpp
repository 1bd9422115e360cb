#include "dialogs/NyMessageLoop.h"

namespace ny::loop {
namespace {

constexpr unsigned kPaint = 0x000F;
constexpr unsigned kNcMouseMove = 0x00A0;
constexpr unsigned kCaretBlink = 0x0118;
constexpr unsigned kMouseMove = 0x0200;

}  // namespace

bool IsIdleMessage(unsigned message, Cursor pt, Cursor& lastPt, unsigned& lastMessage) {
  if (message == kMouseMove || message == kNcMouseMove) {
    if (pt.x == lastPt.x && pt.y == lastPt.y && message == lastMessage) return false;
    lastPt = pt;
    lastMessage = message;
    return true;
  }
  return message != kPaint && message != kCaretBlink;
}

WaitEnd RunModelessWait(WaitLoopHost& host, unsigned abortMessage, long long& returnCode,
                        const int& loopEnd) {
  bool idle = true;
  long idleCount = 0;
  while (!loopEnd) {
    // Replay first: the hook decides the result, and OK or Cancel ends the
    // run through the dialog's own handlers. The rest of the pass still
    // runs, down to one retrieved message; a freshly shown dialog always
    // has its first paint queued, so that retrieval does not block.
    if (host.IsAutoRunning() && host.WindowExists() && host.HasAutoRunHook()) {
      host.CallAutoRunHook(returnCode);
      if (returnCode == 2) {
        host.OnCancel();
      } else {
        host.OnOK();
      }
    }
    while (idle && !host.MessageWaiting()) {
      if (!host.OnIdle(idleCount++)) idle = false;
    }
    if (abortMessage != 0 && host.MessageWaiting(abortMessage)) {
      returnCode = 3;
      break;
    }
    // The main window cannot be closed while the run waits for its result.
    if (!host.RemoveCloseToMainWindow()) {
      switch (host.GetMessage()) {
        case WaitLoopHost::Fetched::Quit:
          returnCode = 2;
          host.PostQuit();
          return WaitEnd::Quit;
        case WaitLoopHost::Fetched::Failed:
          returnCode = 3;
          return WaitEnd::Ended;
        case WaitLoopHost::Fetched::Message:
          break;
      }
      if (host.IsIdleMessage()) {
        idle = true;
        idleCount = 0;
      }
      // The toolkit's own idle kick is neither offered nor dispatched.
      if (!host.IsKickIdle() && !host.PreTranslateMessage()) host.TranslateAndDispatch();
    }
  }
  return WaitEnd::Ended;
}

}  // namespace ny::loop

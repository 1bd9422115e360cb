// The message-loop rules of the dialog framework on an abstract queue: which
// messages restart idle processing, and the modeless-wait run's loop with
// its exact order of auto-run, idle work, abort check, close filter and
// dispatch. The window part supplies the queue and the toolkit objects; the
// tests supply a scripted one.
#pragma once

namespace ny::loop {

struct Cursor {
  int x = 0, y = 0;
};

// Whether a message restarts idle processing. A mouse move (plain or
// non-client) that repeats the last one counted changes nothing; any other
// mouse move is remembered. Painting and the caret's blink (0x0118) do not
// count either.
bool IsIdleMessage(unsigned message, Cursor pt, Cursor& lastPt, unsigned& lastMessage);

// What the modeless-wait loop asks of the window system and the toolkit.
class WaitLoopHost {
 public:
  enum class Fetched { Message, Quit, Failed };

  virtual ~WaitLoopHost() = default;
  // The host's is-auto-running query is set and answers true.
  virtual bool IsAutoRunning() = 0;
  virtual bool WindowExists() = 0;
  virtual bool HasAutoRunHook() = 0;
  virtual void CallAutoRunHook(long long& result) = 0;
  virtual void OnOK() = 0;
  virtual void OnCancel() = 0;
  // Any message waiting for the thread, left in the queue.
  virtual bool MessageWaiting() = 0;
  // The application's idle work; false when there is no more.
  virtual bool OnIdle(long count) = 0;
  // A message `id` waiting for any window of the thread, left in the queue.
  virtual bool MessageWaiting(unsigned id) = 0;
  // Removes a WM_CLOSE to the main window; false without a main window.
  virtual bool RemoveCloseToMainWindow() = 0;
  // The next message into the toolkit's current-message record.
  virtual Fetched GetMessage() = 0;
  virtual void PostQuit() = 0;
  // Of the current message.
  virtual bool IsIdleMessage() = 0;
  virtual bool IsKickIdle() = 0;
  virtual bool PreTranslateMessage() = 0;
  virtual void TranslateAndDispatch() = 0;
};

enum class WaitEnd {
  Ended,  // the loop ended: the caller hides and destroys the window
  Quit,   // WM_QUIT: returnCode is 2, the quit is posted again, the window stays
};

// Runs the loop until loopEnd is set (by OnOK, OnCancel or a derived
// dialog), the abort message is queued (returnCode 3, the message stays),
// retrieval fails (3) or WM_QUIT arrives. abortMessage 0 means there is no
// abort message: the platform reads a filter range of 0 to 0 as every
// message, so any message would abort. With loopEnd already set on entry,
// the loop does not run at all.
WaitEnd RunModelessWait(WaitLoopHost& host, unsigned abortMessage, long long& returnCode, const int& loopEnd);

}  // namespace ny::loop

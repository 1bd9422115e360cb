// The modeless-wait loop and the idle rule on a scripted queue: the order
// of replay, idle work, abort check, close filter and dispatch, and how
// each way out sets the result.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "dialogs/NyMessageLoop.h"

namespace {

using ny::loop::Cursor;
using ny::loop::WaitEnd;

constexpr unsigned kClose = 0x0010, kPaint = 0x000F, kQuit = 0x0012, kTimer = 0x0113, kMouseMove = 0x0200;
constexpr unsigned kKickIdle = 0x036A;
constexpr unsigned kClickOk = 0x8001, kClickCancel = 0x8002, kConsumed = 0x8003, kAbort = 0x8004;
constexpr unsigned kFail = 0xFFFF;  // the queue reports an error

struct Msg {
  unsigned id;
  bool toMain = false;
  Cursor pt = {};
};

// A dialog and its queue: OK and Cancel end the run as the dialog does in a
// modeless-wait run; clicks arrive as messages. When idle work runs out the
// next batch of messages arrives; retrieving from an empty queue would
// block, which the fake reports as a failure and notes.
class FakeHost : public ny::loop::WaitLoopHost {
 public:
  FakeHost(std::vector<std::vector<Msg>> batches, long long& result, int& loopEnd)
      : m_batches(std::move(batches)), m_result(result), m_loopEnd(loopEnd) {
    Arrive();
  }
  std::string trace;
  std::deque<Msg> queue;
  bool autoRunning = false, hasHook = false, hasMain = false;
  long long hookResult = 1;

  bool IsAutoRunning() override { return autoRunning; }
  bool WindowExists() override { return true; }
  bool HasAutoRunHook() override { return hasHook; }
  void CallAutoRunHook(long long& result) override {
    Note("hook");
    result = hookResult;
  }
  void OnOK() override {
    Note("ok");
    m_result = 1;
    m_loopEnd = 1;
  }
  void OnCancel() override {
    Note("cancel");
    m_result = 2;
    m_loopEnd = 1;
  }
  bool MessageWaiting() override { return !queue.empty(); }
  bool OnIdle(long count) override {
    Note("idle" + std::to_string(count));
    if (count < 2) return true;
    Arrive();
    return false;
  }
  bool MessageWaiting(unsigned id) override {
    for (const Msg& m : queue) {
      if (m.id == id) return true;
    }
    return false;
  }
  bool RemoveCloseToMainWindow() override {
    if (!hasMain) return false;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
      if (it->id == kClose && it->toMain) {
        queue.erase(it);
        Note("drop-close");
        return true;
      }
    }
    return false;
  }
  Fetched GetMessage() override {
    if (queue.empty()) {
      Note("blocked");
      return Fetched::Failed;
    }
    m_current = queue.front();
    queue.pop_front();
    if (m_current.id == kQuit) return Fetched::Quit;
    if (m_current.id == kFail) return Fetched::Failed;
    Note("get" + Name(m_current.id));
    return Fetched::Message;
  }
  void PostQuit() override { Note("post-quit"); }
  bool IsIdleMessage() override {
    return ny::loop::IsIdleMessage(m_current.id, m_current.pt, m_lastPt, m_lastMessage);
  }
  bool IsKickIdle() override { return m_current.id == kKickIdle; }
  bool PreTranslateMessage() override { return m_current.id == kConsumed; }
  void TranslateAndDispatch() override {
    Note("dispatch");
    if (m_current.id == kClickOk) OnOK();
    if (m_current.id == kClickCancel) OnCancel();
  }

 private:
  static std::string Name(unsigned id) {
    switch (id) {
      case kPaint:
        return "-paint";
      case kTimer:
        return "-timer";
      case kMouseMove:
        return "-move";
      case kClose:
        return "-close";
      case kKickIdle:
        return "-kick";
      case kClickOk:
        return "-ok";
      case kClickCancel:
        return "-cancel";
      case kConsumed:
        return "-consumed";
      default:
        return "-other";
    }
  }
  void Note(const std::string& what) { trace += (trace.empty() ? "" : " ") + what; }
  void Arrive() {
    if (m_next < m_batches.size())
      queue.insert(queue.end(), m_batches[m_next].begin(), m_batches[m_next].end());
    ++m_next;
  }
  std::vector<std::vector<Msg>> m_batches;
  size_t m_next = 0;
  long long& m_result;
  int& m_loopEnd;
  Msg m_current = {0};
  Cursor m_lastPt = {};
  unsigned m_lastMessage = 0;
};

}  // namespace

TEST(ModelessWaitLoop, OrderAndResults) {
  const struct {
    const char* name;
    std::vector<std::vector<Msg>> batches;
    unsigned abortId;
    bool autoRun, hook, main;
    long long hookResult;
    long long expected;
    WaitEnd end;
    const char* trace;
    size_t leftQueued;
  } cases[] = {
      {"ok click", {{{kClickOk}}}, 0, false, false, false, 1, 1, WaitEnd::Ended, "get-ok dispatch ok", 0},
      {"cancel click",
       {{{kClickCancel}}},
       0,
       false,
       false,
       false,
       1,
       2,
       WaitEnd::Ended,
       "get-cancel dispatch cancel",
       0},
      // The abort message ends the run before anything is retrieved, and
      // stays queued for the caller.
      {"abort", {{{kAbort}, {kClickOk}}}, kAbort, false, false, false, 1, 3, WaitEnd::Ended, "", 2},
      {"abort after a message",
       {{{kPaint}}, {{kAbort}}},
       kAbort,
       false,
       false,
       false,
       1,
       3,
       WaitEnd::Ended,
       "get-paint dispatch idle0 idle1 idle2",
       1},
      // Abort id 0 means none: a range of 0 to 0 would match everything.
      {"no abort id",
       {{{kTimer}, {kClickOk}}},
       0,
       false,
       false,
       false,
       1,
       1,
       WaitEnd::Ended,
       "get-timer dispatch get-ok dispatch ok",
       0},
      {"quit", {{{kQuit}, {kClickOk}}}, 0, false, false, false, 1, 2, WaitEnd::Quit, "post-quit", 1},
      {"retrieval fails", {{{kFail}, {kClickOk}}}, 0, false, false, false, 1, 3, WaitEnd::Ended, "", 1},
      // WM_CLOSE to the main window is dropped, other closes go through.
      {"close to main",
       {{{kClose, true}, {kClose}, {kClickOk}}},
       0,
       false,
       false,
       true,
       1,
       1,
       WaitEnd::Ended,
       "drop-close get-close dispatch get-ok dispatch ok",
       0},
      {"no main window",
       {{{kClose, true}, {kClickOk}}},
       0,
       false,
       false,
       false,
       1,
       1,
       WaitEnd::Ended,
       "get-close dispatch get-ok dispatch ok",
       0},
      // Consumed by pre-translation, or the toolkit's idle kick: not dispatched.
      {"not dispatched",
       {{{kConsumed}, {kKickIdle}, {kClickOk}}},
       0,
       false,
       false,
       false,
       1,
       1,
       WaitEnd::Ended,
       "get-consumed get-kick get-ok dispatch ok",
       0},
      // Replay: the hook's result picks OK or Cancel; the pass still goes on
      // to retrieve one message.
      {"replay cancel",
       {{{kPaint}}},
       0,
       true,
       true,
       false,
       2,
       2,
       WaitEnd::Ended,
       "hook cancel get-paint dispatch",
       0},
      {"replay ok",
       {{{kPaint}}},
       0,
       true,
       true,
       false,
       7,
       1,
       WaitEnd::Ended,
       "hook ok get-paint dispatch",
       0},
      {"auto-running without a hook",
       {{{kClickCancel}}},
       0,
       true,
       false,
       false,
       2,
       2,
       WaitEnd::Ended,
       "get-cancel dispatch cancel",
       0},
      // Idle work until it runs out; painting does not restart it, a timer
      // does, counting from 0 again.
      {"idle",
       {{}, {{kPaint}, {kTimer}}, {{kClickOk}}},
       0,
       false,
       false,
       false,
       1,
       1,
       WaitEnd::Ended,
       "idle0 idle1 idle2 get-paint dispatch get-timer dispatch idle0 idle1 idle2 get-ok dispatch ok",
       0},
  };
  for (const auto& c : cases) {
    long long result = 0;
    int loopEnd = 0;
    FakeHost host(c.batches, result, loopEnd);
    host.autoRunning = c.autoRun;
    host.hasHook = c.hook;
    host.hasMain = c.main;
    host.hookResult = c.hookResult;
    EXPECT_EQ(ny::loop::RunModelessWait(host, c.abortId, result, loopEnd), c.end) << c.name;
    EXPECT_EQ(result, c.expected) << c.name;
    EXPECT_EQ(host.trace, c.trace) << c.name;
    EXPECT_EQ(host.queue.size(), c.leftQueued) << c.name;
  }
}

TEST(ModelessWaitLoop, LoopEndBeforeTheLoopSkipsIt) {
  long long result = 42;
  int loopEnd = 1;
  FakeHost host({{{kClickOk}}}, result, loopEnd);
  EXPECT_EQ(ny::loop::RunModelessWait(host, 0, result, loopEnd), WaitEnd::Ended);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(host.trace, "");
}

TEST(IdleMessage, RepeatedMouseMovesPaintAndCaretDoNotCount) {
  Cursor last = {};
  unsigned lastMessage = 0;
  const struct {
    unsigned message;
    Cursor pt;
    bool idle;
  } steps[] = {
      {kMouseMove, {5, 5}, true},  {kMouseMove, {5, 5}, false}, {0x00A0, {5, 5}, true},  // non-client move
      {0x00A0, {5, 5}, false},     {kMouseMove, {5, 5}, true},  {kMouseMove, {6, 5}, true},
      {kPaint, {0, 0}, false},     {0x0118, {0, 0}, false},     {kTimer, {6, 5}, true},
      {kMouseMove, {6, 5}, false},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(ny::loop::IsIdleMessage(steps[i].message, steps[i].pt, last, lastMessage), steps[i].idle) << i;
  }
}

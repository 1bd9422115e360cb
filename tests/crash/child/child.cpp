// The program the crash tests start: it fails in the way its arguments ask,
// under the crash handler, and leaves markers for the test to read.
//
//   child kind N FOLDER MARKERS       failure N in the main thread
//   child thread N FOLDER MARKERS     failure N in a second thread
//   child overflow main|thread FOLDER MARKERS   a stack overflow
//   child guard FOLDER MARKERS        a first callback that fails again
//   child uninitialized FOLDER MARKERS  handlers without Initialize
//   child plain N                     failure N with no handler at all
//   child wait READY QUIT             sets the named event READY, then waits
//                                     (a minute at most) for the event QUIT
//
// MARKERS gets "thread <id>" for the failing thread, then "first" and
// "second" from the callbacks, one a line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "NyCrash.h"

namespace {

std::string g_markers;

void Mark(const std::string& line) {
  if (FILE* f = std::fopen(g_markers.c_str(), "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

void First() { Mark("first"); }
void Second() { Mark("second"); }
// Fails again from inside the handler, every time it is entered.
void FirstThenFail() {
  Mark("first");
  std::terminate();
}

void Fail(int kind) {
  Mark("thread " + std::to_string(::GetCurrentThreadId()));
  NyCrashHandler::ExceptionTest(kind);
  if (kind == 7) {
    // The unmasked invalid operation traps now.
    volatile double zero = 0.0;
    volatile double result = zero / zero;
    (void)result;
  }
}

int g_depth = 0;
volatile bool g_never = false;
__attribute__((noinline)) int Recurse(volatile char* previous) {
  if (g_never) return 0;
  volatile char frame[64];
  frame[0] = previous ? previous[0] : 1;
  return Recurse(frame) + ++g_depth;
}

DWORD WINAPI FailingThread(void* kind) {
  NyCrashHandler::SetThreadExceptionHandlers();
  Fail(static_cast<int>(reinterpret_cast<INT_PTR>(kind)));
  return 0;
}

DWORD WINAPI OverflowingThread(void*) {
  NyCrashHandler::SetThreadExceptionHandlers();
  Mark("thread " + std::to_string(::GetCurrentThreadId()));
  return static_cast<DWORD>(Recurse(nullptr));
}

int RunInThread(LPTHREAD_START_ROUTINE routine, void* parameter) {
  HANDLE thread = ::CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
  if (!thread) return 3;
  ::WaitForSingleObject(thread, INFINITE);
  ::CloseHandle(thread);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  if (mode == "wait") {
    if (argc < 4) return 2;
    HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE quit = ::OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (!ready || !quit || !::SetEvent(ready)) return 3;
    return ::WaitForSingleObject(quit, 60000) == WAIT_OBJECT_0 ? 0 : 4;
  }
  if (mode == "plain") {
    NyCrashHandler::ExceptionTest(std::atoi(argv[2]));
    return 0;
  }
  if (argc < 5) return 2;
  g_markers = argv[4];
  const int kind = std::atoi(argv[2]);
  if (mode != "uninitialized") {
    NyCrashHandler::Initialize(argv[3], mode == "guard" ? FirstThenFail : First, Second);
  }
  NyCrashHandler::SetProcessExceptionHandlers();
  NyCrashHandler::SetThreadExceptionHandlers();
  if (mode == "kind" || mode == "uninitialized" || mode == "guard") {
    Fail(kind);
  } else if (mode == "thread") {
    return RunInThread(FailingThread, reinterpret_cast<void*>(static_cast<INT_PTR>(kind)));
  } else if (mode == "overflow") {
    if (std::strcmp(argv[2], "thread") == 0) return RunInThread(OverflowingThread, nullptr);
    Mark("thread " + std::to_string(::GetCurrentThreadId()));
    return Recurse(nullptr);
  }
  return 0;
}

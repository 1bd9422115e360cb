// Keeping window tests from hanging: a watchdog that ends a test program
// stuck in a window, and a message pump that waits for a condition with a
// deadline.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace nytest {

// "Suite.Name" of the running test, or a neutral name outside one.
inline std::string CurrentTestName() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return test ? std::string(test->test_suite_name()) + "." + test->name() : "test program";
}

// Ends the whole program with exit code 3 when it still lives `seconds`
// after construction, naming what hung; stops quietly when destroyed first.
// A test that opens windows holds one, so that a modal loop nobody closes
// fails the run instead of hanging it.
class Watchdog {
 public:
  explicit Watchdog(DWORD seconds = 60, std::string what = CurrentTestName())
      : m_seconds(seconds), m_what(std::move(what)) {
    m_stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_stop) m_thread = ::CreateThread(nullptr, 0, &Watchdog::Run, this, 0, nullptr);
  }
  ~Watchdog() {
    if (m_thread) {
      ::SetEvent(m_stop);
      ::WaitForSingleObject(m_thread, 10000);  // it only has to see the event
      ::CloseHandle(m_thread);
    }
    if (m_stop) ::CloseHandle(m_stop);
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  static DWORD WINAPI Run(void* self) {
    const auto& dog = *static_cast<const Watchdog*>(self);
    if (::WaitForSingleObject(dog.m_stop, dog.m_seconds * 1000) != WAIT_TIMEOUT) return 0;
    // The hung thread may hold the C runtime's stream locks or the loader
    // lock, so the message goes straight to the handle and the process ends
    // by TerminateProcess: ExitProcess would run DLL detach code that could
    // wait for those locks forever.
    const std::string message = "\nwatchdog: " + dog.m_what + " still running after " +
                                std::to_string(dog.m_seconds) + " s; ending the test program\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), message.data(), static_cast<DWORD>(message.size()),
                &written, nullptr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return 0;
  }

  DWORD m_seconds;
  std::string m_what;
  HANDLE m_stop = nullptr;
  HANDLE m_thread = nullptr;
};

// Dispatches this thread's messages until `done()` holds (true) or
// `timeoutMs` passes (false). Between rounds it sleeps in
// MsgWaitForMultipleObjectsEx for at most the remaining time, so `done` must
// change through what the messages do (a posted message, a timer, a paint):
// a change made by another thread alone is seen only at the deadline. A
// WM_QUIT ends the pump and is posted again for the caller's own loop.
template <typename Predicate>
bool PumpUntil(Predicate&& done, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
  }
}

}  // namespace nytest

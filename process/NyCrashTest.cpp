// Raises each kind of failure on request, to try a host's crash handling.
// Written so that the optimiser keeps every failure: dead stores and unused
// allocations go through volatile objects.
#include "base/NyWindows.h"

#include <float.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "NyCrash.h"

// Outside an anonymous namespace on purpose: with the whole hierarchy in
// sight GCC would take the only overrider for the pure virtual call and
// drop the call.
namespace ny::crash {

// A pure virtual call: the base's destructor calls the function through a
// pointer to itself, when the object is a base again.
class CBase {
 public:
  CBase() : m_self(this) {}
  virtual ~CBase() { m_self->Function(); }
  virtual void Function() = 0;

 private:
  CBase* volatile m_self;
};

class CDerived : public CBase {
 public:
  void Function() override {}
};

}  // namespace ny::crash

namespace {

struct st_CrashHandlerTestExceptionStruct {
  char text[35];
};

// Throws `object` where nothing can catch it, so that it ends in terminate
// and never crosses into the caller.
template <typename T>
[[noreturn]] void ThrowUncaught(const T& object) noexcept {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wterminate"
  throw object;
#pragma GCC diagnostic pop
}

char* volatile g_allocationSink = nullptr;

}  // namespace

void NyCrashHandler::ExceptionTest(int selector) {
  switch (static_cast<unsigned>(selector)) {
    case 0: {
      volatile int* volatile nowhere = nullptr;
      *nowhere = 0;
      break;
    }
    case 1:
      std::terminate();
    case 2:
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
      std::unexpected();
#pragma GCC diagnostic pop
    case 3: {
      ny::crash::CDerived derived;
      break;
    }
    case 4: {
      // The runtime's own printf: msvcrt (as Wine ships it) refuses a null
      // format by its result, without a handler to call; then report it as
      // the runtime's invalid-parameter handler would have been.
      using PrintfFn = int(__cdecl*)(const char*, ...);
      HMODULE runtime = ::GetModuleHandleA("msvcrt.dll");
      auto print = reinterpret_cast<PrintfFn>(
          reinterpret_cast<void (*)()>(runtime ? ::GetProcAddress(runtime, "printf") : nullptr));
      const char* volatile format = nullptr;
      if (!print || print(format) < 0) InvalidParameterHandler(nullptr, nullptr, nullptr, 0, 0);
      break;
    }
    case 5:
      for (;;) g_allocationSink = new char[0x7FFFFFFC];
    case 6:
      std::abort();
    case 7: {
      _clearfp();
      unsigned int control = 0;
      _controlfp_s(&control, _EM_INEXACT, _MCW_EM);
      break;
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      static const int kSignals[] = {SIGILL, SIGINT, SIGSEGV, SIGTERM};
      ::raise(kSignals[selector - 8]);
      break;
    }
    case 12:
      ::RaiseException(123, EXCEPTION_NONCONTINUABLE, 0, nullptr);
      break;
    case 13:
      ThrowUncaught(13);
    case 14: {
      st_CrashHandlerTestExceptionStruct object = {"st_CrashHandlerTestExceptionStruct"};
      ThrowUncaught(object);
    }
    default:
      break;
  }
}

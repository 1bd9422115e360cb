// The crash handler: every fatal failure of the process ends in one
// sequence (first callback, mini dump, second callback, exit code 1).
//
// Which hook catches which failure depends on how the host was built. With
// this toolchain (GCC and libstdc++ over msvcrt):
// - faults (access violation, floating-point traps) in the main thread never
//   reach the top-level filter: the startup code wraps main in a filter that
//   hands them to the SIGSEGV and SIGFPE handlers, without telling them what
//   the fault was. A vectored handler therefore notes each fault of a thread,
//   and those two signal handlers dump the noted record while it is live;
// - a pure virtual call goes to __cxa_pure_virtual: libstdc++'s calls
//   std::terminate (the terminate handler catches it), the library's own
//   (below) the pure-call handler;
// - a thrown object nobody catches ends in std::terminate too;
// - a failed operator new calls the std::new_handler;
// - msvcrt as Wine ships it has no _set_invalid_parameter_handler,
//   _set_purecall_handler or _set_abort_behavior: they are looked up at run
//   time in each loaded C runtime and used where they exist.
#include "base/NyWindows.h"

#include <psapi.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <exception>
#include <initializer_list>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "NyCrash.h"
#include "base/NyScopedHandle.h"
#include "process/NyDumpFolder.h"

namespace {

int g_initialized = 0;
int g_handlerEntries = 0;
const char* g_dumpPath = nullptr;
NyCrashHandler::Callback g_firstCallback = nullptr;
NyCrashHandler::Callback g_secondCallback = nullptr;
CString g_ownDumpPath;
CString g_childDumpPath;

// The most a handler may be entered (re-entry from a handler that fails
// itself, or several threads failing together); the next entry just ends
// the process.
constexpr int kMaxHandlerEntries = 10;
// Stack kept back for a handler after a stack overflow.
constexpr ULONG kStackGuarantee = 64 * 1024;

[[noreturn]] void EndProcess() {
  ::TerminateProcess(::GetCurrentProcess(), 1);
  ::ExitProcess(1);  // not reached: TerminateProcess of oneself does not return
}

// The handler for pure virtual calls in the library's own classes (see
// __cxa_pure_virtual below).
void(__cdecl* g_pureCallHandler)() = nullptr;

// ---- The C runtimes ------------------------------------------------------------
// A host built with another toolchain may use another C runtime than the
// library; the runtime-level hooks go into every one that is loaded.
constexpr const char* kRuntimes[] = {"msvcrt.dll",   "ucrtbase.dll", "msvcr120.dll", "msvcr110.dll",
                                     "msvcr100.dll", "msvcr90.dll",  "msvcr80.dll"};

template <typename Function>
Function RuntimeEntry(HMODULE runtime, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(runtime, name)));
}

template <typename Each>
void ForEachRuntime(Each each) {
  for (const char* name : kRuntimes) {
    if (HMODULE runtime = ::GetModuleHandleA(name)) each(runtime);
  }
}

// Installs handlers for signals in every loaded C runtime.
void SetSignalHandlers(std::initializer_list<std::pair<int, void (*)(int)>> handlers) {
  ForEachRuntime([handlers](HMODULE runtime) {
    if (auto setSignal = RuntimeEntry<void (*(*)(int, void (*)(int)))(int)>(runtime, "signal")) {
      for (const auto& [number, handler] : handlers) setSignal(number, handler);
    }
  });
}

// ---- Faults noted for the signal handlers --------------------------------------
// The record and the context of the fault this thread is dispatching. They
// are noted apart: the dispatcher hands the vectored handler a pointer pair
// of its own that is gone when the filters run, while the record and the
// context stay in place until the fault is handled.
DWORD g_faultRecordSlot = TLS_OUT_OF_INDEXES;
DWORD g_faultContextSlot = TLS_OUT_OF_INDEXES;

bool IsFaultForSignal(DWORD code, int signal) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
      return signal == SIGSEGV;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
      return signal == SIGILL;
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case STATUS_FLOAT_MULTIPLE_FAULTS:
    case STATUS_FLOAT_MULTIPLE_TRAPS:
      return signal == SIGFPE;
    default:
      return false;
  }
}

// Notes the fault this thread is dispatching; never handles anything. Takes
// no lock and allocates nothing: it runs for every exception of the process.
LONG WINAPI NoteFault(EXCEPTION_POINTERS* information) {
  if (information && information->ExceptionRecord) {
    const DWORD code = information->ExceptionRecord->ExceptionCode;
    if (IsFaultForSignal(code, SIGSEGV) || IsFaultForSignal(code, SIGFPE) || IsFaultForSignal(code, SIGILL)) {
      ::TlsSetValue(g_faultRecordSlot, information->ExceptionRecord);
      ::TlsSetValue(g_faultContextSlot, information->ContextRecord);
    }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// The part of this thread's stack above the caller's frame: where the
// records of a fault that is still being dispatched lie. Those of a fault
// handled earlier lie in stack that has been given back (and perhaps
// reused), so their place or their code gives them away.
class LiveStack {
 public:
  LiveStack() {
    // GCC sees the read at gs:[0x30] as an access to a zero-sized array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* tib = reinterpret_cast<const NT_TIB*>(::NtCurrentTeb());
#pragma GCC diagnostic pop
    m_base = reinterpret_cast<ULONG_PTR>(tib->StackBase);
    m_here = reinterpret_cast<ULONG_PTR>(&m_here);
  }
  bool Holds(const void* p) const {
    const auto at = reinterpret_cast<ULONG_PTR>(p);
    return at > m_here && at < m_base;
  }
  // True when `record` and `context` belong to a fault of `signal` that is
  // still being dispatched on this thread: both lie on the live stack, below
  // the faulting frame.
  bool HoldsFault(const EXCEPTION_RECORD* record, const CONTEXT* context, int signal) const {
    return Holds(record) && Holds(context) && IsFaultForSignal(record->ExceptionCode, signal) &&
           context->Rsp > reinterpret_cast<ULONG_PTR>(record) && context->Rsp < m_base;
  }

 private:
  ULONG_PTR m_here;
  ULONG_PTR m_base;
};

// The fault behind the signal being handled, in `pointers`: the runtime's
// record when it set one (its own thread wrappers do), else the one noted by
// the vectored handler (the startup code's filter passes none). Null when
// the signal was raised rather than caused by a fault.
EXCEPTION_POINTERS* SignalFault(int signal, EXCEPTION_POINTERS* pointers) {
  const LiveStack stack;
  EXCEPTION_POINTERS* found = nullptr;
  ForEachRuntime([&](HMODULE runtime) {
    auto infoPointers = RuntimeEntry<void** (*)()>(runtime, "__pxcptinfoptrs");
    if (found || !infoPointers) return;
    auto* information = static_cast<EXCEPTION_POINTERS*>(*infoPointers());
    if (stack.Holds(information) &&
        stack.HoldsFault(information->ExceptionRecord, information->ContextRecord, signal)) {
      found = information;
    }
  });
  if (found || g_faultRecordSlot == TLS_OUT_OF_INDEXES) return found;
  pointers->ExceptionRecord = static_cast<EXCEPTION_RECORD*>(::TlsGetValue(g_faultRecordSlot));
  pointers->ContextRecord = static_cast<CONTEXT*>(::TlsGetValue(g_faultContextSlot));
  return stack.HoldsFault(pointers->ExceptionRecord, pointers->ContextRecord, signal) ? pointers : nullptr;
}

// ---- Dumps -------------------------------------------------------------------
using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, int, void*, void*, void*);

// The exception parameter of MiniDumpWriteDump, laid out as dbghelp wants
// it (the header is not included for this one structure).
#pragma pack(push, 4)
struct DumpExceptionInformation {
  DWORD threadId;
  EXCEPTION_POINTERS* exceptionPointers;
  BOOL clientPointers;
};
#pragma pack(pop)

// The module base name of `process` (empty when unreadable).
std::string ProcessModuleName(HANDLE process) {
  char name[MAX_PATH + 1] = "";
  if (::GetModuleBaseNameA(process, nullptr, name, MAX_PATH) == 0) name[0] = '\0';
  return name;
}

const char* WriteDump(EXCEPTION_POINTERS* information, DWORD processId, DWORD threadId) {
  ny::ScopedModule dbghelp(::LoadLibraryA("dbghelp.dll"));
  if (!dbghelp) return nullptr;
  if (processId != 0) {
    // Named after the process, and from then on the dump the handlers write.
    if (g_ownDumpPath.IsEmpty()) return nullptr;
    ny::ScopedKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process) return nullptr;
    const std::string module = ProcessModuleName(process.Get());
    g_childDumpPath = ny::crash::OtherDumpPath(g_ownDumpPath.GetString(), module.c_str(), processId).c_str();
    g_dumpPath = g_childDumpPath.GetString();
  }
  if (!g_dumpPath) return nullptr;
  ny::ScopedKernelHandle file(
      ::CreateFileA(g_dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  DumpExceptionInformation exception = {threadId, information, FALSE};
  auto write = RuntimeEntry<MiniDumpWriteDumpFn>(dbghelp.Get(), "MiniDumpWriteDump");
  if (!write) return nullptr;
  ny::ScopedKernelHandle other;
  if (processId != 0) {
    other.Reset(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!other) return nullptr;
  }
  HANDLE target = processId != 0 ? other.Get() : ::GetCurrentProcess();
  const DWORD targetId = processId != 0 ? processId : ::GetCurrentProcessId();
  const BOOL written = write(target, targetId, file.Get(), 0 /* MiniDumpNormal */,
                             information ? &exception : nullptr, nullptr, nullptr);
  return written ? g_dumpPath : nullptr;
}

}  // namespace

// GCC's vtables name __cxa_pure_virtual for a pure function through a weak
// reference, which the PE linker leaves null unless a definition is linked
// in: a pure virtual call would jump to address 0. The library's classes get
// this definition, which goes where the runtime's _purecall goes: to the
// pure-call handler once it is installed, else to terminate as libstdc++'s.
extern "C" void __cxa_pure_virtual() {
  if (g_pureCallHandler) g_pureCallHandler();
  std::terminate();
}

// ---- Set-up --------------------------------------------------------------------

void NyCrashHandler::Initialize(const CString& dumpFolder, Callback first, Callback second) {
  if (g_initialized) return;
  g_dumpPath = nullptr;
  g_firstCallback = first;
  g_secondCallback = second;
  g_initialized = 1;
  if (dumpFolder.IsEmpty()) return;

  std::vector<std::string> paths;
  CFileFind find;
  BOOL more = find.FindFile(dumpFolder + "\\*");
  while (more) {
    more = find.FindNextFile();
    if (find.IsDots() || find.IsDirectory()) continue;
    paths.emplace_back(find.GetFilePath().GetString());
  }
  find.Close();
  // The deletion may fail (a file in use); the file counts as gone all the
  // same, so the newest ones are never sacrificed for it.
  for (size_t index : ny::crash::DumpFilesToDelete(paths)) ::DeleteFileA(paths[index].c_str());

  g_ownDumpPath =
      ny::crash::OwnDumpPath(dumpFolder.GetString(), _time64(nullptr), ::GetCurrentProcessId()).c_str();
  g_dumpPath = g_ownDumpPath.GetString();
}

void NyCrashHandler::SetProcessExceptionHandlers() {
  ::SetUnhandledExceptionFilter(SehHandler);
  if (g_faultRecordSlot == TLS_OUT_OF_INDEXES) {
    g_faultRecordSlot = ::TlsAlloc();
    g_faultContextSlot = ::TlsAlloc();
    if (g_faultContextSlot != TLS_OUT_OF_INDEXES) {
      ::AddVectoredExceptionHandler(1, NoteFault);
    } else {
      g_faultRecordSlot = TLS_OUT_OF_INDEXES;
    }
  }
  // GCC code allocates through libstdc++'s operator new; code built against
  // a runtime's own operator new (or malloc in new mode) asks that runtime.
  std::set_new_handler([] { NewHandler(0); });
  g_pureCallHandler = PureCallHandler;
  ForEachRuntime([](HMODULE runtime) {
    using PureCallFn = void(__cdecl*)();
    using InvalidParameterFn =
        void(__cdecl*)(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t);
    using NewFn = int(__cdecl*)(size_t);
    if (auto set = RuntimeEntry<PureCallFn (*)(PureCallFn)>(runtime, "_set_purecall_handler"))
      set(PureCallHandler);
    if (auto set = RuntimeEntry<InvalidParameterFn (*)(InvalidParameterFn)>(
            runtime, "_set_invalid_parameter_handler")) {
      set(InvalidParameterHandler);
    }
    // Without the fault report the runtime's abort may end the process
    // before SIGABRT is raised.
    if (auto set = RuntimeEntry<unsigned (*)(unsigned, unsigned)>(runtime, "_set_abort_behavior")) set(2, 2);
    for (const char* name : {"_set_new_handler", "?_set_new_handler@@YAP6AH_K@ZP6AH0@Z@Z"}) {
      if (auto set = RuntimeEntry<NewFn (*)(NewFn)>(runtime, name)) set(NewHandler);
    }
  });
  SetSignalHandlers({{SIGABRT, SigabrtHandler}, {SIGINT, SigintHandler}, {SIGTERM, SigtermHandler}});
  ULONG guarantee = kStackGuarantee;
  ::SetThreadStackGuarantee(&guarantee);
}

void NyCrashHandler::SetThreadExceptionHandlers() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  std::set_terminate(TerminateHandler);
  std::set_unexpected(UnexpectedHandler);
#pragma GCC diagnostic pop
  // The runtime calls a SIGFPE handler with the sub-code as a second argument.
  SetSignalHandlers({{SIGFPE, reinterpret_cast<void (*)(int)>(reinterpret_cast<void (*)()>(SigfpeHandler))},
                     {SIGILL, SigillHandler},
                     {SIGSEGV, SigsegvHandler}});
  ULONG guarantee = kStackGuarantee;
  ::SetThreadStackGuarantee(&guarantee);
}

// ---- Dumps -------------------------------------------------------------------

const char* NyCrashHandler::CreateMiniDump(EXCEPTION_POINTERS* information, DWORD processId) {
  return WriteDump(information, processId, ::GetCurrentThreadId());
}

const char* NyCrashHandler::GetDumpFilePathName() { return g_dumpPath; }

// Made-up exception information never comes from the heap: the failure
// being handled may be the heap's. One set per handler entry that may be
// served; the process ends right after, so nothing is ever given back.
__attribute__((noinline)) void NyCrashHandler::GetExceptionPointers(DWORD exceptionCode,
                                                                    EXCEPTION_POINTERS** pointers) {
  struct MadeUp {
    alignas(16) CONTEXT context;
    EXCEPTION_RECORD record;
    EXCEPTION_POINTERS pointers;
  };
  static MadeUp store[kMaxHandlerEntries];
  static std::atomic<int> used{0};
  const int slot = used.fetch_add(1);
  if (slot >= kMaxHandlerEntries) {
    *pointers = nullptr;
    return;
  }
  MadeUp& made = store[slot];
  made.record = EXCEPTION_RECORD{};
  made.record.ExceptionCode = exceptionCode;
  made.record.ExceptionAddress = __builtin_return_address(0);
  ::RtlCaptureContext(&made.context);
  made.pointers.ExceptionRecord = &made.record;
  made.pointers.ContextRecord = &made.context;
  *pointers = &made.pointers;
}

// ---- The fatal handlers ------------------------------------------------------

void NyCrashHandler::FatalSequence(EXCEPTION_POINTERS* information, DWORD threadId) {
  if (!g_initialized || g_handlerEntries == kMaxHandlerEntries) EndProcess();
  ++g_handlerEntries;
  if (g_firstCallback) g_firstCallback();
  if (!information) GetExceptionPointers(0, &information);
  WriteDump(information, 0, threadId);
  if (g_secondCallback) g_secondCallback();
  EndProcess();
}

LONG WINAPI NyCrashHandler::SehHandler(EXCEPTION_POINTERS* information) {
  if (information && information->ExceptionRecord &&
      information->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
    // Only the guaranteed stack is left, too little for the callbacks and
    // dbghelp: the sequence runs on a fresh thread while this one waits.
    struct Failure {
      EXCEPTION_POINTERS* information;
      DWORD threadId;
    } failure = {information, ::GetCurrentThreadId()};
    auto run = [](void* parameter) -> DWORD {
      const auto* f = static_cast<Failure*>(parameter);
      FatalSequence(f->information, f->threadId);
    };
    HANDLE thread = ::CreateThread(nullptr, 0, run, &failure, 0, nullptr);
    if (thread) ::WaitForSingleObject(thread, INFINITE);
  }
  FatalSequence(information, ::GetCurrentThreadId());
  return EXCEPTION_EXECUTE_HANDLER;
}

void NyCrashHandler::PureCallHandler() { FatalSequence(nullptr, ::GetCurrentThreadId()); }
void NyCrashHandler::TerminateHandler() { FatalSequence(nullptr, ::GetCurrentThreadId()); }
void NyCrashHandler::UnexpectedHandler() { FatalSequence(nullptr, ::GetCurrentThreadId()); }

void NyCrashHandler::InvalidParameterHandler(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int,
                                             uintptr_t) {
  FatalSequence(nullptr, ::GetCurrentThreadId());
}

int NyCrashHandler::NewHandler(size_t) { FatalSequence(nullptr, ::GetCurrentThreadId()); }

void NyCrashHandler::SigabrtHandler(int) { FatalSequence(nullptr, ::GetCurrentThreadId()); }
void NyCrashHandler::SigintHandler(int) { FatalSequence(nullptr, ::GetCurrentThreadId()); }
void NyCrashHandler::SigtermHandler(int) { FatalSequence(nullptr, ::GetCurrentThreadId()); }

void NyCrashHandler::SigfpeHandler(int, int) {
  EXCEPTION_POINTERS pointers = {};
  FatalSequence(SignalFault(SIGFPE, &pointers), ::GetCurrentThreadId());
}
void NyCrashHandler::SigillHandler(int) {
  EXCEPTION_POINTERS pointers = {};
  FatalSequence(SignalFault(SIGILL, &pointers), ::GetCurrentThreadId());
}
void NyCrashHandler::SigsegvHandler(int) {
  EXCEPTION_POINTERS pointers = {};
  FatalSequence(SignalFault(SIGSEGV, &pointers), ::GetCurrentThreadId());
}

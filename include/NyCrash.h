// Crashes: every fatal failure of the host process ends in the same sequence
// (first callback, a mini dump, second callback, exit code 1); dumps of other
// processes on request; and the readable report of a debugged child's
// exception event.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "NyApi.h"
#include "NyToolkit.h"

// All members are static; the library installs nothing by itself. A host
// calls, at start-up:
//
//   NyCrashHandler::Initialize(dumpFolder, BeforeDump, AfterDump);
//   NyCrashHandler::SetProcessExceptionHandlers();
//   NyCrashHandler::SetThreadExceptionHandlers();  // and in every new thread
class NY_API NyCrashHandler {
 public:
  typedef void (*Callback)();

  // Records the callbacks (either may be null), trims `dumpFolder` to the
  // newest 100 dump and log files and fixes this process's dump file name.
  // Only the first call counts. An empty folder: the handlers still call the
  // callbacks, but write no dump.
  static void Initialize(const CString& dumpFolder, Callback first, Callback second);
  // The process-wide handlers: unhandled structured exceptions, pure virtual
  // calls, allocation failure, invalid runtime arguments, SIGABRT, SIGINT and
  // SIGTERM.
  static void SetProcessExceptionHandlers();
  // What the runtimes keep per thread (terminate, unexpected, SIGFPE, SIGILL,
  // SIGSEGV), and stack reserved for a handler after a stack overflow. Call
  // it in every thread to be covered.
  static void SetThreadExceptionHandlers();
  // Writes a dump of this process (processId 0) or of another one, with the
  // exception record when `information` is given (it must lie in this
  // process). Returns the dump's path, or null on any failure.
  static const char* CreateMiniDump(EXCEPTION_POINTERS* information, DWORD processId = 0);
  // The file the next dump goes to: this process's own dump name after
  // Initialize, the last other process's dump name after a dump of one; null
  // before Initialize or with an empty folder.
  static const char* GetDumpFilePathName();
  // For a host's debugger loop: the report of an exception event of the
  // debugged child (empty for other events and breakpoints), and whether the
  // event is worth reporting.
  static void CheckExceptionEvent(const DEBUG_EVENT& event, const PROCESS_INFORMATION& child, CString& report,
                                  bool& flag);
  // Raises one kind of failure: 0 null write, 1 terminate, 2 unexpected,
  // 3 pure virtual call, 4 invalid runtime argument, 5 allocation until it
  // fails, 6 abort, 7 unmasks floating-point exceptions (the next invalid
  // operation faults), 8 to 11 raise SIGILL, SIGINT, SIGSEGV and SIGTERM,
  // 12 structured exception 123, 13 throws an int, 14 throws a structure.
  // Other values (negative ones too) do nothing.
  static void ExceptionTest(int selector);

 private:
  // The sequence every fatal handler ends in; `information` null makes one
  // up. The dump names `threadId` as the failing thread.
  [[noreturn]] static void FatalSequence(EXCEPTION_POINTERS* information, DWORD threadId);
  static void GetExceptionPointers(DWORD exceptionCode, EXCEPTION_POINTERS** pointers);
  static LONG WINAPI SehHandler(EXCEPTION_POINTERS* information);
  static void __cdecl PureCallHandler();
  static void __cdecl TerminateHandler();
  static void __cdecl UnexpectedHandler();
  static void __cdecl InvalidParameterHandler(const wchar_t* expression, const wchar_t* function,
                                              const wchar_t* file, unsigned int line, uintptr_t reserved);
  static int __cdecl NewHandler(size_t size);
  static void __cdecl SigabrtHandler(int signal);
  static void __cdecl SigfpeHandler(int signal, int subcode);
  static void __cdecl SigillHandler(int signal);
  static void __cdecl SigintHandler(int signal);
  static void __cdecl SigsegvHandler(int signal);
  static void __cdecl SigtermHandler(int signal);
};

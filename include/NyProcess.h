// Processes: starting a child from one composed command line, capturing its
// output, polling, waiting for and killing it.
#pragma once

#include <vector>

#include "NyApi.h"
#include "NyToolkit.h"

// ---- Owned handle --------------------------------------------------------------------
// Owns one kernel handle and closes it on destruction. A copy owns a
// duplicate of the handle (same access, this process), so that each object
// closes only its own; should the duplicate fail, the copy has no handle. A
// move hands the handle over. Only null means "no handle": INVALID_HANDLE_VALUE
// is also the value of the current process's pseudo handle. Converts to
// HANDLE for the platform's calls. Closing keeps the caller's last error.
class NY_API NyOwnedHandle {
 public:
  NyOwnedHandle() = default;
  // Takes ownership of `handle`.
  explicit NyOwnedHandle(HANDLE handle) : m_handle(handle) {}
  NyOwnedHandle(const NyOwnedHandle& other);
  NyOwnedHandle& operator=(const NyOwnedHandle& other);
  NyOwnedHandle(NyOwnedHandle&& other) noexcept;
  NyOwnedHandle& operator=(NyOwnedHandle&& other) noexcept;
  ~NyOwnedHandle();

  operator HANDLE() const { return m_handle; }
  // Closes the owned handle, if any, and takes ownership of `handle`.
  void Reset(HANDLE handle = nullptr);
  // Gives the handle up without closing it; the object is left without one.
  [[nodiscard]] HANDLE Release();

 private:
  HANDLE m_handle = nullptr;
};

// ---- Command line runner -----------------------------------------------------------
// One child process: executable, arguments, working folder and window state.
// The object is idle until Execute starts the child, and executing while it
// holds the child's process handle; the handle is released when an exit is
// observed (CheckExit, WaitExit), on Terminate, or on Clear and destruction,
// which leave the child running. Not thread-safe: one thread at a time.
class NY_API NyCommandLine {
 public:
  explicit NyCommandLine(const char* exeName);
  // A copy describes the same command; a live child is shared through a
  // duplicated process handle (see the definition).
  NyCommandLine(const NyCommandLine& other);
  NyCommandLine& operator=(const NyCommandLine& other);
  // Runs Clear; the child, if any, is not killed.
  virtual ~NyCommandLine();

  void SetExeName(const char* exeName);
  const char* GetExeName() const;
  // Appends one argument, stored unchanged.
  void AddArgument(const char* argument);
  // When set (the default), every element of the composed text is quoted and
  // escaped so that the platform's parser gives it back unchanged.
  void SetEscapeChars(bool escape);
  bool IsEscapeChars() const;
  void SetShowWindow(bool show);
  bool IsShowWindow() const;
  // The child's working folder; empty means the caller's at Execute time.
  void SetCurrentDirectoryPath(const char* path);
  CString GetCurrentDirectoryPath() const;
  // A caller-owned string that Execute appends the child's standard output
  // and standard error to; null switches capture off. Not owned.
  void SetBufferForStdout(CString* buffer);

  // The composed command line.
  CString ToString() const;

  // Starts the child. With a capture buffer, blocks until the child (and
  // every process that inherited its output) has closed the output. False
  // when a child is already held or it cannot be started.
  bool Execute();
  // True while a process handle is held; does not poll the child.
  bool IsExecuting() const;
  // Non-blocking poll. *exited is true when no child is held or it has ended
  // (its exit code is then stored and the handle released). False for a null
  // pointer or when the exit code cannot be read.
  bool CheckExit(bool* exited);
  // Blocks until the child ends and writes its exit code through the pointer
  // (may be null). True at once when idle. A child that exits with 259 (the
  // platform's still-active code) reads as running, so this returns false.
  bool WaitExit(int* exitCode);
  // Kills the held child with `exitCode` and forgets it; the stored exit code
  // stays as it was. Nothing happens when idle.
  void Terminate(int exitCode);
  int GetExitCode() const;
  // Empties the executable name and the arguments and releases the process
  // handle (the child runs on). Flags, folder, exit code and buffer stay.
  void Clear();

  // Splits a command line into its elements: spaces separate outside double
  // quotes, backslashes escape only double quotes, and empty elements are
  // dropped. Gives back the elements of any text composed with escaping from
  // non-empty elements.
  static std::vector<CString> SplitAndUnescapeCommandLine(const CString& commandLine);

 protected:
  // Waits without time limit for the held process; true when it has ended.
  virtual bool OnWaitExit();
  // Composes the command line from the executable and the arguments.
  virtual CString OnToString() const;

  CString m_strExeName;
  std::vector<CString> m_strArguments;
  bool m_bEscapeChars = true;
  bool m_bShowWindow = false;
  CString m_strCurrentDirectory;
  int m_iExitCode = 0;
  NyOwnedHandle m_hProcess;         // the running child; a copy owns a duplicate
  CString* m_pstrStdout = nullptr;  // capture target, caller-owned

 private:
  bool WaitExitImpl();
};

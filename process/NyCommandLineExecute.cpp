// NyCommandLine: starting, watching and killing the child on Win32.
#include "NyProcess.h"

#include <string>
#include <vector>

#include "base/NyScopedHandle.h"

namespace {

// A duplicate of `source` in this process, with the same access.
HANDLE Duplicate(HANDLE source, bool inheritable) {
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), source, ::GetCurrentProcess(), &copy, 0,
                         inheritable ? TRUE : FALSE, DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

}  // namespace

// A copy that shared the original's process handle would close it a second
// time, and one that dropped it could no longer wait for a child it
// describes. So the copy takes a duplicate of the handle: both objects can
// poll, wait for or kill the same child, and each releases its own handle.
// Should the duplicate fail, the copy is idle.
NyCommandLine::NyCommandLine(const NyCommandLine& other)
    : m_strExeName(other.m_strExeName),
      m_strArguments(other.m_strArguments),
      m_bEscapeChars(other.m_bEscapeChars),
      m_bShowWindow(other.m_bShowWindow),
      m_strCurrentDirectory(other.m_strCurrentDirectory),
      m_iExitCode(other.m_iExitCode),
      m_hProcess(other.m_hProcess ? Duplicate(other.m_hProcess, false) : nullptr),
      m_pstrStdout(other.m_pstrStdout) {}

// The target's own child is released (not killed) before it takes a
// duplicate of the source's.
NyCommandLine& NyCommandLine::operator=(const NyCommandLine& other) {
  if (this == &other) return *this;
  HANDLE process = other.m_hProcess ? Duplicate(other.m_hProcess, false) : nullptr;
  ReleaseProcess();
  m_strExeName = other.m_strExeName;
  m_strArguments = other.m_strArguments;
  m_bEscapeChars = other.m_bEscapeChars;
  m_bShowWindow = other.m_bShowWindow;
  m_strCurrentDirectory = other.m_strCurrentDirectory;
  m_iExitCode = other.m_iExitCode;
  m_hProcess = process;
  m_pstrStdout = other.m_pstrStdout;
  return *this;
}

NyCommandLine::~NyCommandLine() { Clear(); }

void NyCommandLine::ReleaseProcess() {
  ny::ScopedKernelHandle(m_hProcess).Reset();
  m_hProcess = nullptr;
}

void NyCommandLine::Clear() {
  m_strExeName.Empty();
  m_strArguments.clear();
  ReleaseProcess();
}

bool NyCommandLine::Execute() {
  if (m_hProcess) return false;

  // Capture: one pipe takes both standard output and standard error, so the
  // child can never block on a second, unread pipe. The child inherits the
  // write end twice; this process keeps only a non-inheritable read end, or
  // the child would hold the pipe open against itself and the read below
  // would never see the end of data.
  ny::ScopedKernelHandle readEnd, writeEnd, errorEnd;
  if (m_pstrStdout) {
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof(security);
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = TRUE;
    HANDLE read = nullptr, write = nullptr;
    if (!::CreatePipe(&read, &write, &security, 0)) return false;
    ny::ScopedKernelHandle inheritableRead(read);
    writeEnd.Reset(write);
    errorEnd.Reset(Duplicate(write, true));
    if (!errorEnd) return false;
    readEnd.Reset(Duplicate(read, false));
    if (!readEnd) return false;
  }

  // The stored folder stays as it is; an empty one means ours, now.
  std::string folder(m_strCurrentDirectory.GetString(), static_cast<size_t>(m_strCurrentDirectory.GetLength()));
  if (folder.empty()) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) return false;
    folder.assign(buffer, length);
  }

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(m_bShowWindow ? SW_SHOW : SW_HIDE);
  if (m_pstrStdout) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = errorEnd.Get();
  }

  // CreateProcessA may write into the command line: give it a copy.
  const CString text = ToString();
  std::vector<char> line(text.GetString(), text.GetString() + text.GetLength() + 1);
  PROCESS_INFORMATION info = {};
  const bool created = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &startup, &info) != FALSE;
  if (created) {
    m_hProcess = info.hProcess;
    ny::ScopedKernelHandle(info.hThread).Reset();
  }
  if (!m_pstrStdout) return created;

  // Only the child's copies of the write ends may remain, so that the read
  // ends when the child (and whatever it passed them on to) closes them.
  writeEnd.Reset();
  errorEnd.Reset();
  if (created) {
    char chunk[256];
    DWORD got = 0;
    while (::ReadFile(readEnd.Get(), chunk, sizeof(chunk) - 1, &got, nullptr) && got > 0) {
      chunk[got] = '\0';  // appended as text: a zero byte ends the chunk
      *m_pstrStdout += chunk;
    }
  }
  return created;
}

bool NyCommandLine::CheckExit(bool* exited) {
  if (!exited) return false;
  if (!m_hProcess) {
    *exited = true;
    return true;
  }
  *exited = false;
  DWORD code = 0;
  if (!::GetExitCodeProcess(m_hProcess, &code)) {
    ::GetLastError();  // the handle is kept; the caller may poll again
    return false;
  }
  if (code == STILL_ACTIVE) return true;
  *exited = true;
  ReleaseProcess();
  m_iExitCode = static_cast<int>(code);
  return true;
}

bool NyCommandLine::OnWaitExit() {
  return ::WaitForSingleObject(m_hProcess, INFINITE) == WAIT_OBJECT_0;
}

bool NyCommandLine::WaitExitImpl() {
  if (!m_hProcess) return true;
  if (!OnWaitExit()) return false;
  bool exited = false;
  return CheckExit(&exited) && exited;
}

bool NyCommandLine::WaitExit(int* exitCode) {
  if (!WaitExitImpl()) return false;
  if (exitCode) *exitCode = m_iExitCode;
  return true;
}

void NyCommandLine::Terminate(int exitCode) {
  if (!m_hProcess) return;
  ::TerminateProcess(m_hProcess, static_cast<UINT>(exitCode));
  ReleaseProcess();
}

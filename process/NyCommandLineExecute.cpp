// NyCommandLine on Win32: the owned process handle, and starting, watching
// and killing the child.
#include <string>
#include <vector>

#include "NyProcess.h"
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

NyOwnedHandle::NyOwnedHandle(const NyOwnedHandle& other)
    : m_handle(other.m_handle ? Duplicate(other.m_handle, false) : nullptr) {}

NyOwnedHandle& NyOwnedHandle::operator=(const NyOwnedHandle& other) {
  if (this != &other) Reset(other.m_handle ? Duplicate(other.m_handle, false) : nullptr);
  return *this;
}

NyOwnedHandle::NyOwnedHandle(NyOwnedHandle&& other) noexcept : m_handle(other.Release()) {}

NyOwnedHandle& NyOwnedHandle::operator=(NyOwnedHandle&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

NyOwnedHandle::~NyOwnedHandle() { Reset(); }

void NyOwnedHandle::Reset(HANDLE handle) {
  HANDLE old = m_handle;
  m_handle = handle;
  if (old) ny::ScopedKernelHandle(old).Reset();  // closes, keeping the last error
}

HANDLE NyOwnedHandle::Release() {
  HANDLE handle = m_handle;
  m_handle = nullptr;
  return handle;
}

NyCommandLine::~NyCommandLine() { Clear(); }

void NyCommandLine::Clear() {
  m_strExeName.Empty();
  m_strArguments.clear();
  m_hProcess.Reset();
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
  std::string folder(m_strCurrentDirectory.GetString(),
                     static_cast<size_t>(m_strCurrentDirectory.GetLength()));
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
    m_hProcess.Reset(info.hProcess);
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
  // On failure the handle is kept: the caller may poll again.
  if (!::GetExitCodeProcess(m_hProcess, &code)) return false;
  if (code == STILL_ACTIVE) return true;
  *exited = true;
  m_hProcess.Reset();
  m_iExitCode = static_cast<int>(code);
  return true;
}

bool NyCommandLine::OnWaitExit() { return ::WaitForSingleObject(m_hProcess, INFINITE) == WAIT_OBJECT_0; }

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
  m_hProcess.Reset();
}

// Helpers of the crash tests: the child that fails on request, and what its
// dumps hold.
#pragma once

#include <windows.h>

#include <dbghelp.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace crashtest {

// Long enough for a dump under Wine while the other children dump too.
constexpr DWORD kChildTimeoutMs = 120000;

// A started child (see child/child.cpp), killed if still running at the end.
class Child {
 public:
  // Starts NyCrashChild with `arguments`; `creationFlags` may ask for a
  // debugged child.
  explicit Child(const std::vector<std::string>& arguments, DWORD creationFlags = 0) {
    NyCommandLine line(nytest::BesideOwnExe("NyCrashChild.exe").c_str());
    for (const std::string& a : arguments) line.AddArgument(a.c_str());
    std::string text = line.ToString().GetString();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(nullptr, &text[0], nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                          &startup, &m_info)) {
      m_info = {};
    }
  }
  ~Child() {
    if (m_info.hProcess) {
      if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_info.hProcess, 99);
      ::CloseHandle(m_info.hProcess);
      ::CloseHandle(m_info.hThread);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return m_info.hProcess != nullptr; }
  const PROCESS_INFORMATION& Info() const { return m_info; }
  // The exit code, or -1 when the child did not end in time.
  long Wait() const {
    if (!Started() || ::WaitForSingleObject(m_info.hProcess, kChildTimeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION m_info = {};
};

inline std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The names of the files in `folder`, sorted.
inline std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

// What a debugger finds in a dump.
struct DumpFacts {
  bool readable = false;       // a mini dump dbghelp opens
  bool hasException = false;   // it has an exception stream
  DWORD code = 0;              // the exception's code
  DWORD threadId = 0;          // the failing thread
  std::vector<DWORD> threads;  // the thread list
};

inline DumpFacts ReadDump(const std::string& path) {
  DumpFacts facts;
  const std::string bytes = nytest::ReadBytes(path);
  if (bytes.size() < 4 || bytes.compare(0, 4, "MDMP") != 0) return facts;
  void* base = const_cast<char*>(bytes.data());
  MINIDUMP_DIRECTORY* directory = nullptr;
  void* stream = nullptr;
  ULONG size = 0;
  if (!::MiniDumpReadDumpStream(base, ThreadListStream, &directory, &stream, &size)) return facts;
  facts.readable = true;
  const auto* list = static_cast<const MINIDUMP_THREAD_LIST*>(stream);
  for (ULONG i = 0; i < list->NumberOfThreads; ++i) facts.threads.push_back(list->Threads[i].ThreadId);
  if (::MiniDumpReadDumpStream(base, ExceptionStream, &directory, &stream, &size)) {
    const auto* exception = static_cast<const MINIDUMP_EXCEPTION_STREAM*>(stream);
    facts.hasException = true;
    facts.code = exception->ExceptionRecord.ExceptionCode;
    facts.threadId = exception->ThreadId;
  }
  return facts;
}

}  // namespace crashtest

// The flag functions: a per-process work area whose marker file lives exactly
// as long as the process, a flag log in it (elapsed seconds and memory
// figures beside the caller's text), a data resource unpacked into a file,
// the heap check, and the clean-up of ended processes' work folders.
//
// All state is module state without locks: the host calls these from one
// thread at a time.
#include "base/NyWindows.h"

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <psapi.h>
#include <share.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cinttypes>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "NyIdentity.h"
#include "NyLogging.h"
#include "base/NyMultiByte.h"
#include "base/NyPathText.h"
#include "base/NyScopedFile.h"
#include "base/NyScopedHandle.h"
#include "files/NyDirectory.h"
#include "files/NyRunningProcesses.h"
#include "logging/NyLineEnds.h"

namespace {

constexpr const char* kFolderPrefix = ny::files::kProcessFolderPrefix;
constexpr const char* kMarkerName = "_keep_folder.dat";
constexpr const char* kResourceType = "RT_RCDATA";  // a named type, not the numeric one

// ---- Work area ----------------------------------------------------------------------

std::string g_workFolder;  // empty until the work area is made, and when it cannot be
bool g_workAreaTried = false;
// The marker file's handle (not inheritable: made without security
// attributes, so no child keeps it after we end). Deliberately never closed (and so not owned by a
// scoped handle): the system closes it when the process ends, however it
// ends, and the delete-on-close flag then removes the marker. While it is
// open, nobody else can open the marker and the clean-ups keep the folder.
HANDLE g_marker = INVALID_HANDLE_VALUE;

bool Exists(const char* path) {
  struct _stat64 status;
  return *path && _stat64(path, &status) == 0;
}

void MakeFolderIfMissing(const std::string& path) {
  if (!Exists(path.c_str())) _mkdir(path.c_str());
}

// {temp}Quandor\{application}\{fresh work folder name}, with its marker.
void MakeWorkArea() {
  char temp[MAX_PATH + 1];  // room for the longest path GetTempPathA returns, and its terminator
  const DWORD n = ::GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) return;

  // Without an application name the work folders would sit directly in
  // {temp}Quandor, the default root of the temporary folders, whose clean-up
  // takes every QND_TMP_FOLDER... name there for its own. Use the module
  // name, as the setter does for a null name; without that, make nothing.
  std::string application;
  if (const char* name = NyGetApplicationName()) application = name;
  if (application.empty()) {
    if (const char* module = NyGetModuleNameT()) application = module;
  }
  if (application.empty()) return;

  const std::string quandor = std::string(temp) + "Quandor";
  const std::string applicationFolder = quandor + "\\" + application;
  const std::string work = applicationFolder + "\\" + NyFlgGetTempFolderName().GetString();
  const std::string marker = work + "\\" + kMarkerName;
  const std::string log = work + "\\FlgLog" + std::to_string(::GetCurrentProcessId()) + ".txt";
  if (marker.size() >= MAX_PATH || log.size() >= MAX_PATH) return;

  // Another process's clean-up removes the application folder when it finds
  // it empty, which it may do between our steps: the chain is made again
  // when the marker's folder has vanished, a few times at most.
  for (int attempt = 0; attempt < 3; ++attempt) {
    MakeFolderIfMissing(quandor);
    MakeFolderIfMissing(applicationFolder);
    MakeFolderIfMissing(work);
    g_marker = ::CreateFileA(marker.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_RANDOM_ACCESS,
                             nullptr);
    const DWORD error = ::GetLastError();
    // A work folder without its marker would be fair game for any clean-up:
    // no marker, no work area.
    if (g_marker != INVALID_HANDLE_VALUE) {
      g_workFolder = work;
      return;
    }
    if (error != ERROR_PATH_NOT_FOUND) return;
  }
}

const std::string& WorkFolder() {
  if (!g_workAreaTried) {
    g_workAreaTried = true;  // one attempt per process, successful or not
    MakeWorkArea();
  }
  return g_workFolder;
}

// ---- Flag log -----------------------------------------------------------------------

ny::ScopedFile g_log;
size_t g_logBufferSize = 0;  // the open stream's buffer
bool g_timeBaseTaken = false;
unsigned long g_timeBase = 0;  // NyFlgGetTime at the process's first line

// Opens a new, empty log in the work folder. While there is no work folder,
// lines go nowhere: the log name alone would land in the root of the current
// drive.
bool OpenLog() {
  const std::string& work = WorkFolder();
  if (work.empty()) return false;
  const std::string path = work + "\\FlgLog" + std::to_string(::GetCurrentProcessId()) + ".txt";
  ::DeleteFileA(path.c_str());
  FILE* stream = _fsopen(path.c_str(), "w", _SH_DENYWR);
  if (!stream) return false;
  g_log.reset(stream);
  g_logBufferSize = 0;
  // The runtime opens streams inheritable, and a child started meanwhile
  // (spawn passes handles on) would hold the log open after us: clearing
  // could not delete it, nor could the next line open it again.
  ::SetHandleInformation(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), HANDLE_FLAG_INHERIT, 0);
  // The file is a text file (CR LF line ends), but the line ends are
  // written by us: the runtime's text-mode write translates through a small
  // fixed buffer and hands the file one piece per kilobyte or so, while each
  // line must reach the file in one write.
  _setmode(_fileno(stream), _O_BINARY);
  return true;
}

// A stream buffer larger than `line`, so that fwrite only copies the line
// and the fflush after it hands the whole line to one write. (A line as long
// as the buffer or longer would go partly straight to the file and partly
// through the buffer: two writes.) The buffer is set before the stream's
// first write; a later, larger one replaces it right after a flush, when
// nothing is pending — msvcrt and the UCRT both flush and free the old
// buffer in setvbuf.
bool FitBuffer(FILE* stream, size_t line) {
  if (line < g_logBufferSize) return true;
  const size_t size = (line / 4096 + 2) * 4096;
  if (size > INT_MAX || std::setvbuf(stream, nullptr, _IOFBF, size) != 0) return false;
  g_logBufferSize = size;
  return true;
}

// Working set, its peak, committed private bytes and their peak, each
// "%10I64d"; four zeros when the figures cannot be read.
std::string MemoryFigures() {
  int64_t figures[4] = {0, 0, 0, 0};
  ny::ScopedKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ::GetCurrentProcessId()));
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (process && ::GetProcessMemoryInfo(process.Get(), &counters, sizeof counters)) {
    figures[0] = static_cast<int64_t>(counters.WorkingSetSize);
    figures[1] = static_cast<int64_t>(counters.PeakWorkingSetSize);
    figures[2] = static_cast<int64_t>(counters.PagefileUsage);
    figures[3] = static_cast<int64_t>(counters.PeakPagefileUsage);
  }
  // PRId64 prints exactly what the runtime's "%10I64d" prints, in whichever
  // printf family the toolchain picks.
  char text[4 * 21 + 4];
  std::snprintf(text, sizeof text, "%10" PRId64 ",%10" PRId64 ",%10" PRId64 ",%10" PRId64, figures[0],
                figures[1], figures[2], figures[3]);
  return text;
}

// "%7.3lf,{memory figures},{caller's text}" with every line end as CR LF, as
// a text-mode stream would write it.
std::string FormatLine(unsigned long elapsed, const std::string& callerText) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%7.3lf", elapsed / 1000.0);
  return ny::logging::ToTextModeLineEnds(std::string(seconds) + "," + MemoryFigures() + "," + callerText +
                                         "\n");
}

// One line, whole or not at all: built in memory, then one fwrite into an
// empty buffer that holds it and one fflush.
void WriteLine(const std::string& callerText) {
  if (!g_timeBaseTaken) {
    g_timeBase = NyFlgGetTime();
    g_timeBaseTaken = true;
  }
  if (!g_log && !OpenLog()) return;  // dropped; the next line tries again
  const unsigned long elapsed = NyFlgGetTime() - g_timeBase;
  const std::string line = FormatLine(elapsed, callerText);
  FILE* stream = g_log.get();
  if (!FitBuffer(stream, line.size())) return;
  std::fwrite(line.data(), 1, line.size(), stream);
  // A failed flush drops what was pending (the runtime empties its buffer
  // either way); clear the error so that later lines are tried again.
  if (std::fflush(stream) != 0) std::clearerr(stream);
}

// ---- Heap check ---------------------------------------------------------------------

bool g_heapCheck = false;

// ---- Clean-up -----------------------------------------------------------------------

bool IsWorkFolderOfEndedProcess(const std::string& name, const std::set<std::string>& live) {
  // The prefix counts at the very start of the name only, case and all.
  if (name.compare(0, std::strlen(kFolderPrefix), kFolderPrefix) != 0) return false;
  const char* dash = ny::mb::FindLastOf(name.c_str(), "-");
  const std::string id = dash ? dash + 1 : name;
  return live.count(id) == 0;
}

// True when _splitpath_s can split `path` into buffers of 3, 256, 256 and
// 256 bytes. A part that does not fit goes to the runtime's invalid-parameter
// handler, which may end the host, so such paths are refused before the call
// (as are paths no file can have).
bool SplitsIntoBuffers(const char* path) {
  if (!ny::FitsPath(path)) return false;
  const char* start = (path[0] && path[1] == ':') ? path + 2 : path;
  const char* last = ny::mb::FindLastOf(start, "\\/");
  const size_t folder = last ? static_cast<size_t>(last + 1 - start) : 0;
  return folder < 256 && std::strlen(start + folder) < 256;
}

}  // namespace

CString NyFlgGetWork() {
  try {
    return CString(WorkFolder().c_str());
  } catch (...) {
    return CString();
  }
}

CString NyFlgGetTempFolderName() {
  CString name;
  try {
    const __time64_t now = _time64(nullptr);
    struct tm local = {};
    _localtime64_s(&local, &now);
    name.Format("%s-%04ld%02ld%02ld-%02ld%02ld%02ld-%ld", kFolderPrefix,
                static_cast<long>(local.tm_year + 1900), static_cast<long>(local.tm_mon + 1),
                static_cast<long>(local.tm_mday), static_cast<long>(local.tm_hour),
                static_cast<long>(local.tm_min), static_cast<long>(local.tm_sec),
                static_cast<long>(_getpid()));
  } catch (...) {
    name = "";
  }
  return name;
}

bool NyFlgIsFileExist(const CString& path) { return Exists(path.GetString()); }

void NyFlgWriteLog(unsigned long value, const CString& text) {
  try {
    // The value is written as a signed 32-bit number: 0xFFFFFFFF is -1.
    WriteLine(std::to_string(static_cast<long>(value)) + "," + text.GetString());
  } catch (...) {
  }
}

void NyFlgWriteLog2(double value, const CString& text) {
  try {
    char number[400];  // "%.4lf" of the largest double: 309 digits and the decimals
    std::snprintf(number, sizeof number, "%.4lf", value);
    WriteLine(std::string(number) + "," + text.GetString());
  } catch (...) {
  }
}

void NyFlgClearLog() {
  if (!g_log) return;
  g_log.reset();
  g_logBufferSize = 0;
  // Only an open log has a file to delete, and then the work folder is known.
  const std::string path = g_workFolder + "\\FlgLog" + std::to_string(::GetCurrentProcessId()) + ".txt";
  ::DeleteFileA(path.c_str());
}

bool NyFlgMakeTempFile(const CString& path, const CString& resourceName) {
  char drive[3], folder[256], name[256], extension[256];
  if (!SplitsIntoBuffers(path.GetString()) ||
      _splitpath_s(path.GetString(), drive, sizeof drive, folder, sizeof folder, name, sizeof name, extension,
                   sizeof extension) != 0)
    return false;
  // One level only; when it fails, creating the file says so.
  _mkdir((std::string(drive) + folder).c_str());

  const HMODULE executable = ::GetModuleHandleA(nullptr);
  const HRSRC resource = ::FindResourceA(executable, resourceName.GetString(), kResourceType);
  if (!resource) return false;
  const HGLOBAL loaded = ::LoadResource(executable, resource);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = ::SizeofResource(executable, resource);
  if (!bytes || size == 0) return false;

  bool written = false;
  {
    ny::ScopedKernelHandle file(::CreateFileA(path.GetString(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;  // nothing created, so nothing to delete
    DWORD count = 0;
    written = ::WriteFile(file.Get(), bytes, size, &count, nullptr) && count == size;
  }
  // Closed first: a file that is still open cannot be deleted.
  if (!written) ::DeleteFileA(path.GetString());
  return written;
}

void NyFlgValidateHeap(bool enable) {
  if (enable) g_heapCheck = true;
  if (!g_heapCheck) return;
  try {
    // The list starts with room for 100 heaps. A process with more gets a
    // longer list, so that every heap is validated; heaps made meanwhile
    // may need a few rounds, after which those that fitted are checked.
    std::vector<HANDLE> heaps(100);
    DWORD count = 0;
    for (int round = 0; round < 4; ++round) {
      count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
      if (count <= heaps.size()) break;
      heaps.resize(count + 16);
    }
    if (count < heaps.size()) heaps.resize(count);
    for (HANDLE heap : heaps) ::HeapValidate(heap, 0, nullptr);
  } catch (...) {
  }
}

bool NyFlgEraseUnusedTempFiles(CString folder, bool includeOwnFolder) {
  if (folder.IsEmpty()) return false;
  try {
    // Without the list of running processes every work folder would look
    // unused: erase nothing and report failure. (The marker files would
    // still keep the live ones, but only as long as nothing else goes wrong.)
    std::vector<DWORD> ids;
    if (!ny::files::RunningProcessIds(ids)) return false;
    const DWORD self = ::GetCurrentProcessId();
    std::set<std::string> live;
    for (DWORD id : ids) {
      if (!(includeOwnFolder && id == self)) live.insert(std::to_string(static_cast<int>(id)));
    }

    const std::string root = folder.GetString();
    std::vector<ny::files::Entry> entries;
    ny::files::ListFolder(root.c_str(), "*", entries);
    std::map<std::string, std::string> folders;  // name -> full path, in name order
    for (const ny::files::Entry& entry : entries) {
      // A link is never a work folder of ours: it is neither followed nor removed.
      if (entry.IsFolder() && !entry.IsLink()) folders[entry.name] = root + "\\" + entry.name;
    }

    bool result = true;
    for (const auto& [name, path] : folders) {
      if (!IsWorkFolderOfEndedProcess(name, live)) continue;
      // A held marker outranks the process list, which may be stale or cut short.
      if (Exists((path + "\\" + kMarkerName).c_str())) continue;
      // The one tree removal of the library: it never follows a link out of the tree.
      if (!ny::files::RemoveTree(path.c_str())) result = false;
    }
    ::RemoveDirectoryA(root.c_str());  // only when empty; its outcome does not count
    return result;
  } catch (...) {
    return false;
  }
}

// The transaction log: IN, OUT and outcome lines of nested units of work,
// written to standard output and appended to the process's log file.
//
// Several processes of one product family often append to the same log file
// at once, so a line must reach the file whole: it is built in memory with
// its line end and handed to the system in one WriteFile call on a handle
// opened for appending only (see AppendLine).
#include "base/NyWindows.h"

#include <cstdio>
#include <exception>
#include <string>

#include "NyLogging.h"
#include "base/NyScopedHandle.h"
#include "logging/NyLineEnds.h"

std::string CNyLog::s_strFileName;

namespace {

// The unit characters of the date and time text, as Shift-JIS bytes whatever
// the system code page: log readers of this product family expect them so.
constexpr char kYear[] = "\x94\x4E";
constexpr char kMonth[] = "\x8C\x8E";
constexpr char kDay[] = "\x93\xFA";
constexpr char kHour[] = "\x8E\x9E";
constexpr char kMinute[] = "\x95\xAA";
constexpr char kSecond[] = "\x95\x62";

// While one writer appends, every other writer of this library waits for an
// exclusive lock on one byte far beyond any real log data. No read or write
// of the file ever touches that byte, so the lock keeps nothing else out.
constexpr DWORD kTurnOffsetLow = 0xFFFFFFFE, kTurnOffsetHigh = 0x7FFFFFFF;

// Takes the writers' turn on `file`: true once it is ours, false when another
// writer kept it for about a second (a process stopped in a debugger while
// holding it, say). A closed handle gives the turn back, also when its process
// dies, so a turn is never lost for good.
bool TakeWritersTurn(HANDLE file) {
  const ULONGLONG deadline = ::GetTickCount64() + 1000;
  for (DWORD attempt = 0;; ++attempt) {
    OVERLAPPED at = {};
    at.Offset = kTurnOffsetLow;
    at.OffsetHigh = kTurnOffsetHigh;
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
    if (::GetTickCount64() >= deadline) return false;
    // A turn lasts one write: yield first, then give the holder a tick.
    ::Sleep(attempt < 8 ? 0 : 1);
  }
}

// Appends `bytes` to the file at `path` (created when missing) in one write.
//
// On Windows a handle with FILE_APPEND_DATA but without FILE_WRITE_DATA makes
// the system find the end of the file and write there as one operation, so
// writers in other processes cannot slip in between. Wine 8 finds the end
// (fstat) and then writes (pwrite) in two steps, and lines of processes
// appending at once tear and overwrite each other there; so writers also take
// turns through a byte-range lock, which Wine keeps across processes in its
// server. FILE_READ_DATA is asked for only because locking needs read or
// write access; asking for FILE_WRITE_DATA would turn the append-only handle
// into one that writes at its own file position.
//
// A C stream in append mode gives neither promise: the runtime seeks to the
// end and then writes, and splits a line that is larger than its buffer.
// Full sharing lets other writers and readers keep the file open meanwhile.
bool AppendLine(const std::string& path, const std::string& bytes) {
  if (bytes.size() > MAXDWORD) return false;
  ny::ScopedKernelHandle file(::CreateFileA(path.c_str(), FILE_READ_DATA | FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // Without the turn the line is still written: on Windows the append alone
  // keeps it whole, and losing a line is worse than risking it on Wine.
  TakeWritersTurn(file.Get());
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  return ::WriteFile(file.Get(), bytes.data(), size, &written, nullptr) && written == size;
  // Closing the handle gives the turn back.
}

}  // namespace

// ---- Constructors ---------------------------------------------------------------

CNyLog::CNyLog(STATUS defaultStatus) : m_defaultStatus(defaultStatus) {}

CNyLog::~CNyLog() {
  // EndTransaction pops on every path, so this loop always ends.
  while (!m_transactions.empty()) EndTransaction(m_defaultStatus);
}

// ---- Operations -------------------------------------------------------------------

bool CNyLog::StartTransaction(const std::string& name) {
  try {
    m_transactions.push_back(name);
    return PrintMessage(name + " IN ", true);
  } catch (const std::exception&) {
    return false;  // out of memory: the name may not even be on the stack
  }
}

bool CNyLog::EndTransaction(STATUS status) {
  if (m_transactions.empty()) return false;
  bool result = false;
  try {
    const std::string& name = m_transactions.back();
    // An end line that did not reach the file gets no outcome line at all, so
    // that a file never shows an outcome without the end it belongs to.
    if (PrintMessage(name + " OUT", true)) {
      result = PrintMessage(name + (static_cast<int>(status) == STATUS_OK ? " OK" : " ERROR"), false);
    }
  } catch (const std::exception&) {
    result = false;
  }
  m_transactions.pop_back();
  return result;
}

void CNyLog::SetDefaultStatus(STATUS status) { m_defaultStatus = status; }

CNyLog::STATUS CNyLog::GetDefaultStatus() const { return m_defaultStatus; }

// ---- Process-wide log file ----------------------------------------------------------

bool CNyLog::SetLogFileName(const std::string& name) {
  // Opened once for output only to create or empty it; lines open it again.
  ny::ScopedKernelHandle file(::CreateFileA(name.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  try {
    if (file) {
      s_strFileName = name;
      return true;
    }
  } catch (const std::exception&) {
    // Out of memory for the copy: the setting is cleared below, as for a
    // file that cannot be opened.
  }
  UnsetLogFileName();
  return false;
}

void CNyLog::UnsetLogFileName() { s_strFileName.clear(); }

bool CNyLog::IsSetLogFileName() { return !s_strFileName.empty(); }

bool CNyLog::PrintMessage(const std::string& message, bool withDateAndTime) {
  try {
    std::string line = message;
    if (withDateAndTime) line += ' ' + GetDateAndTime();
    line += '\n';
    // Standard output gets every line, whether or not the file takes it; the
    // stream's text mode stores the line end in the console's own form.
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    if (s_strFileName.empty()) return false;
    return AppendLine(s_strFileName, ny::logging::ToTextModeLineEnds(line));
  } catch (const std::exception&) {
    return false;
  }
}

// ---- Implementation -----------------------------------------------------------------

std::string CNyLog::GetDateAndTime() {
  // One reading, so that the fields cannot straddle a change of second.
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  // Plain numbers, no leading zeros and no fixed width: 0時5分3秒.
  return std::to_string(now.wYear) + kYear + std::to_string(now.wMonth) + kMonth + std::to_string(now.wDay) +
         kDay + ' ' + std::to_string(now.wHour) + kHour + std::to_string(now.wMinute) + kMinute +
         std::to_string(now.wSecond) + kSecond;
}

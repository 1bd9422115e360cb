// Logging and timing: the transaction log, the flag log with its per-process
// work area, and the millisecond clock.
//
// The host calls these from one thread at a time: the log file name, the work
// area and the flag log are process-wide state, and the library takes no lock.
#pragma once

#include <string>
#include <vector>

#include "NyApi.h"
#include "NyToolkit.h"

// ---- Transaction log ---------------------------------------------------------------
// Nested units of work: "name IN  date", "name OUT date" and "name OK" or
// "name ERROR" lines, each written to standard output and, when a log file is
// named, appended to it in one write (one open-append-close per line).
class NY_API CNyLog {
 public:
  // The outcome of a transaction: 1 writes " OK", every other value " ERROR".
  // Its type is fixed to int so that further failure values a host passes
  // (2, -1, ...) are valid values of the type.
  enum STATUS : int { STATUS_ERROR = 0, STATUS_OK = 1 };

  explicit CNyLog(STATUS defaultStatus);
  // Ends every transaction still open, innermost first, with the default status.
  virtual ~CNyLog();
  CNyLog(const CNyLog&) = default;
  CNyLog& operator=(const CNyLog&) = default;

  // Opens a transaction and writes its start line; the transaction is open
  // even when the line could not reach the log file (false).
  bool StartTransaction(const std::string& name);
  // Ends the innermost transaction: its end line, then (when that reached the
  // file) its outcome line. False with nothing open, or when a line could not
  // reach the file.
  bool EndTransaction(STATUS status);
  void SetDefaultStatus(STATUS status);
  STATUS GetDefaultStatus() const;

  // Names the process's log file, creating or emptying it; a name that cannot
  // be opened clears the setting (false).
  static bool SetLogFileName(const std::string& name);
  static void UnsetLogFileName();
  static bool IsSetLogFileName();
  // Writes one line (the message, and with the flag a space and the date and
  // time) to standard output and appends it to the log file. False when no
  // file is named or it cannot be opened.
  static bool PrintMessage(const std::string& message, bool withDateAndTime);

 private:
  // The local date and time, "2026年12月4日 9時5分3秒", with the unit
  // characters as Shift-JIS bytes whatever the code page.
  static std::string GetDateAndTime();

  std::vector<std::string> m_transactions;  // innermost last
  STATUS m_defaultStatus;
  static std::string s_strFileName;
};

// ---- Flag log and work area --------------------------------------------------------
// A per-process work folder {temp}Quandor\{application}\QND_TMP_FOLDER-{date}-{time}-{pid}
// whose marker file lives exactly as long as the process, and a flag log in it
// whose lines carry the elapsed seconds and the process's memory figures.

// The work folder, made at the first call; empty when it could not be made.
NY_API CString NyFlgGetWork();
// A fresh work folder name for the current local time and process id.
NY_API CString NyFlgGetTempFolderName();
// False for an empty path; otherwise whether a file or folder is there.
NY_API bool NyFlgIsFileExist(const CString& path);
// Appends "elapsed,memory figures,value,text" to the flag log.
NY_API void NyFlgWriteLog(unsigned long value, const CString& text);
// The same with a value of four decimals.
NY_API void NyFlgWriteLog2(double value, const CString& text);
// Closes and deletes the flag log; the next line starts a new one.
NY_API void NyFlgClearLog();
// Writes the bytes of the executable's "RT_RCDATA" resource `resourceName` to
// `path`; false, with no file left behind, when that fails.
NY_API bool NyFlgMakeTempFile(const CString& path, const CString& resourceName);
// Switches the heap check on (true; false never switches it off) and, while
// it is on, validates every heap of the process.
NY_API void NyFlgValidateHeap(bool enable);
// Erases the work folders of ended processes directly in `folder` (this
// process's own too with `includeOwnFolder`); a folder whose marker file is
// still held is kept. False for an empty folder or when an erase failed.
NY_API bool NyFlgEraseUnusedTempFiles(CString folder, bool includeOwnFolder);

// ---- Millisecond clock -------------------------------------------------------------

// The system's millisecond counter (time since system start, wrapping at
// 2^32), read while the finest timer period the system grants is in force.
NY_API unsigned long NyFlgGetTime();

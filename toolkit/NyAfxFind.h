// Toolkit directory-search stand-in: MFC's CFileFind.
// The walk is: FindFile(pattern); while the last answer was true, call
// FindNextFile and handle the entry it reached. FindNextFile answers false
// when the entry it has just reached is the last one (still to be handled).
#pragma once

#include <windows.h>

#include "NyAfxString.h"
#include "NyApi.h"

class NY_API CFileFind {
 public:
  CFileFind() = default;
  // Ends the search (Close).
  virtual ~CFileFind();
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search, such as "C:\\dir\\*" (null: "*.*" in the working
  // directory). True when at least one entry matches.
  virtual BOOL FindFile(const char* name = nullptr, DWORD unused = 0);
  // Steps to the next entry; false when the entry reached is the last one.
  virtual BOOL FindNextFile();
  void Close();

  // The entry reached by the last FindNextFile.
  BOOL IsDots() const;
  BOOL IsDirectory() const;
  CString GetFileName() const;
  // The search's folder and the entry's name, joined by a backslash.
  CString GetFilePath() const;
  // The folder searched, as a full path.
  CString GetRoot() const { return m_strRoot; }

 private:
  // The search handle, owned: Close and the destructor release it. Kept as
  // the plain handle (as the real toolkit keeps it) so that this public
  // header needs nothing of the library's internals.
  HANDLE m_hContext = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA m_current{};
  WIN32_FIND_DATAA m_next{};
  bool m_hasCurrent = false;
  bool m_hasNext = false;
  CString m_strRoot;
};

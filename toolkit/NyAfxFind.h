// Toolkit directory-search stand-in: MFC's CFileFind.
// The walk is: FindFile(pattern); while the last answer was true, call
// FindNextFile and handle the entry it reached. FindNextFile answers false
// when the entry it has just reached is the last one (still to be handled).
#pragma once

#include "NyApi.h"
#include "NyAfxString.h"
#include "NyScopedHandle.h"
#include "NyWindows.h"

class NY_API CFileFind {
public:
  CFileFind() = default;
  virtual ~CFileFind() = default;
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
  ny::ScopedFindHandle m_hFind;
  WIN32_FIND_DATAA m_current{};
  WIN32_FIND_DATAA m_next{};
  bool m_hasCurrent = false;
  bool m_hasNext = false;
  CString m_strRoot;
};

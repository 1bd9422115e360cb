#include "toolkit/NyAfxFind.h"

#include "base/NyMultiByte.h"

CFileFind::~CFileFind() { Close(); }

BOOL CFileFind::FindFile(const char* name, DWORD) {
  Close();
  if (!name || !*name) name = "*.*";

  char full[MAX_PATH];
  DWORD n = ::GetFullPathNameA(name, MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH) return FALSE;
  // The root is the folder part of the full pattern; a drive root keeps its
  // backslash ("C:\"), as GetFilePath then adds none.
  const char* sep = ny::mb::FindLastOf(full, "\\/");
  if (sep) m_strRoot = CString(full, static_cast<int>(sep - full) + (sep == full + 2 ? 1 : 0));

  m_hContext = ::FindFirstFileA(name, &m_next);
  if (m_hContext == INVALID_HANDLE_VALUE) {
    m_strRoot.Empty();
    return FALSE;
  }
  m_hasNext = true;
  return TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (!m_hasNext) return FALSE;
  m_current = m_next;
  m_hasCurrent = true;
  m_hasNext = ::FindNextFileA(m_hContext, &m_next) != FALSE;
  return m_hasNext ? TRUE : FALSE;
}

void CFileFind::Close() {
  if (m_hContext != INVALID_HANDLE_VALUE) {
    // Keep the caller's last error: Close also runs on failure paths.
    const DWORD error = ::GetLastError();
    ::FindClose(m_hContext);
    ::SetLastError(error);
  }
  m_hContext = INVALID_HANDLE_VALUE;
  m_hasCurrent = m_hasNext = false;
  m_strRoot.Empty();
}

BOOL CFileFind::IsDots() const {
  if (!m_hasCurrent || !IsDirectory()) return FALSE;
  const char* n = m_current.cFileName;
  return (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) ? TRUE : FALSE;
}

BOOL CFileFind::IsDirectory() const {
  return (m_hasCurrent && (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const { return m_hasCurrent ? CString(m_current.cFileName) : CString(); }

CString CFileFind::GetFilePath() const {
  if (!m_hasCurrent) return CString();
  CString path = m_strRoot;
  if (!ny::mb::EndsWithChar(path, '\\') && !ny::mb::EndsWithChar(path, '/')) path += '\\';
  return path + m_current.cFileName;
}

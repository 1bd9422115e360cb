#include "identity/NyWorkingDirectory.h"

#include <direct.h>

#include <string>

#include "NyIdentity.h"
#include "base/NyMultiByte.h"
#include "base/NyPathText.h"

namespace {

char g_currentPath[MAX_PATH];  // NyGetCurrentPathT's result

}  // namespace

namespace ny {

WorkingDirectoryGuard::WorkingDirectoryGuard() { m_saved = _getcwd(m_dir, MAX_PATH) != nullptr; }

bool WorkingDirectoryGuard::Restore() {
  if (!m_saved) return true;
  m_saved = false;
  return _chdir(m_dir) == 0;
}

}  // namespace ny

bool NySetCurrentPathT(const char* path) {
  if (!path || !*path || !ny::FitsPath(path)) return false;
  std::string dir(path);
  if (!ny::mb::EndsWithChar(path, '\\') && !ny::mb::EndsWithChar(path, '/')) dir += '\\';
  return _chdir(dir.c_str()) == 0;
}

bool NySetCurrentPath(const char* path) { return NySetCurrentPathT(CString(path)); }

const char* NyGetCurrentPathT() { return _getcwd(g_currentPath, MAX_PATH); }

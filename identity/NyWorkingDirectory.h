// The process's working directory: the one place that changes it. The path
// helpers enter folders to test or resolve them and put the directory back;
// the settings expose it as NySetCurrentPathT and NyGetCurrentPathT.
#pragma once

#include "base/NyWindows.h"

namespace ny {

// Restores the working directory when it goes out of scope.
class WorkingDirectoryGuard {
 public:
  WorkingDirectoryGuard();
  ~WorkingDirectoryGuard() { Restore(); }
  WorkingDirectoryGuard(const WorkingDirectoryGuard&) = delete;
  WorkingDirectoryGuard& operator=(const WorkingDirectoryGuard&) = delete;

  // False when the directory could not be read: there is nothing to restore.
  bool Saved() const { return m_saved; }
  // Goes back to the saved directory now (once); true when that worked.
  bool Restore();

 private:
  char m_dir[MAX_PATH];
  bool m_saved;
};

}  // namespace ny

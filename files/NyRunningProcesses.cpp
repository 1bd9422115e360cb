#include "files/NyRunningProcesses.h"

#include <psapi.h>

namespace ny::files {

bool RunningProcessIds(std::vector<DWORD>& ids) {
  ids.assign(1024, 0);
  for (;;) {
    DWORD bytes = 0;
    const DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!::EnumProcesses(ids.data(), size, &bytes)) return false;
    if (bytes < size) {
      ids.resize(bytes / sizeof(DWORD));
      return true;
    }
    if (ids.size() >= (1u << 24)) return false;  // no system runs that many
    ids.resize(ids.size() * 2);
  }
}

}  // namespace ny::files

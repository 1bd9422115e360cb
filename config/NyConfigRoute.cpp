#include "config/NyConfigRoute.h"

#include "NyConfig.h"
#include "NyIdentity.h"
#include "config/NyConfigCache.h"
#include "config/NyConfigFile.h"
#include "config/NyConfigText.h"

namespace ny::config {

bool RouteRead(const char* section, const char* key, char* value, const char* path) {
  NyConfigCache& cache = TheConfigCache();
  int index = cache.m_bUse ? cache.FindFile(path) : -1;
  // A file the cache holds open cannot vanish; any other file may have.
  if ((index < 0 || !cache.IsHeld(index)) && !NyIsFileExistT(path)) return false;
  NyDoConfigCacheCountFunc(1);
  if (cache.m_bUse) {
    cache.ReadValue(section, key, value, path, index);
  } else {
    ReadConfigFileValue(section, key, "", value, kMaxValueBytes + 1, path);
  }
  return true;
}

void RouteWrite(const char* section, const char* key, const char* value, const char* path) {
  NyConfigCache& cache = TheConfigCache();
  if (cache.m_bUse) {
    cache.WriteValue(section, key, value, path);
  } else {
    WriteConfigFileValue(section, key, value, path);
  }
}

}  // namespace ny::config

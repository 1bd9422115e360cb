#include "config/NyConfigRoute.h"

#include "config/NyConfigCache.h"
#include "config/NyConfigFile.h"
#include "config/NyConfigText.h"

namespace ny::config {

bool RouteKnowsFileExists(const char* path) {
  NyConfigCache& cache = TheConfigCache();
  return cache.m_bUse && cache.HoldsFile(path);
}

bool RouteRead(const char* section, const char* key, char* value, const char* path) {
  NyConfigCache& cache = TheConfigCache();
  if (cache.m_bUse) return cache.ReadValue(section, key, value, path);
  return ReadConfigFileValue(section, key, "", value, kMaxValueBytes + 1, path);
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

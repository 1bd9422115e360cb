#include "config/NyConfigRoute.h"

#include "config/NyConfigFile.h"
#include "config/NyConfigText.h"

namespace ny::config {

bool RouteRead(const char* section, const char* key, char* value, const char* path) {
  return ReadConfigFileValue(section, key, "", value, kMaxValueBytes + 1, path);
}

void RouteWrite(const char* section, const char* key, const char* value, const char* path) {
  WriteConfigFileValue(section, key, value, path);
}

}  // namespace ny::config

// The forms without T: each text argument is copied into a toolkit string
// first, so that a null pointer counts as the empty text, and string reads go
// through a buffer of their own that reaches the caller on every return.
#include <cstring>

#include "NyConfig.h"
#include "NyToolkit.h"
#include "config/NyConfigText.h"

namespace {

using C = CString;

template <typename ReadString>
bool ReadThroughCopy(char* value, ReadString read) {
  char own[ny::config::kMaxValueBytes + 2];
  own[0] = '\0';
  bool found = read(own);
  if (value) std::memcpy(value, own, std::strlen(own) + 1);
  return found;
}

}  // namespace

// ---- Plain layer -------------------------------------------------------------

bool NyReadConfig(const char* section, const char* key, char* value, const char* path) {
  return ReadThroughCopy(value, [&](char* own) { return NyReadConfigT(C(section), C(key), own, C(path)); });
}
bool NyReadConfig(const char* section, const char* key, double& value, const char* path) {
  return NyReadConfigT(C(section), C(key), value, C(path));
}
bool NyReadConfig(const char* section, const char* key, float& value, const char* path) {
  return NyReadConfigT(C(section), C(key), value, C(path));
}
bool NyReadConfig(const char* section, const char* key, int& value, const char* path) {
  return NyReadConfigT(C(section), C(key), value, C(path));
}
bool NyReadConfig(const char* section, const char* key, long& value, const char* path) {
  return NyReadConfigT(C(section), C(key), value, C(path));
}
bool NyReadConfig(const char* section, const char* key, bool& value, const char* path) {
  return NyReadConfigT(C(section), C(key), value, C(path));
}

bool NyWriteConfig(const char* section, const char* key, const char* value, const char* path) {
  return NyWriteConfigT(C(section), C(key), C(value), C(path));
}
bool NyWriteConfig(const char* section, const char* key, double value, const char* path) {
  return NyWriteConfigT(C(section), C(key), value, C(path));
}
bool NyWriteConfig(const char* section, const char* key, float value, const char* path) {
  return NyWriteConfigT(C(section), C(key), value, C(path));
}
bool NyWriteConfig(const char* section, const char* key, long value, const char* path) {
  return NyWriteConfigT(C(section), C(key), value, C(path));
}
bool NyWriteConfig(const char* section, const char* key, int value, const char* path) {
  return NyWriteConfigT(C(section), C(key), value, C(path));
}
bool NyWriteConfig(const char* section, const char* key, bool value, const char* path) {
  return NyWriteConfigT(C(section), C(key), value, C(path));
}

// ---- Default layer -------------------------------------------------------------

bool NyReadDefaultConfig(const char* section, const char* key, char* value, const char* fileName) {
  return ReadThroughCopy(
      value, [&](char* own) { return NyReadDefaultConfigT(C(section), C(key), own, C(fileName)); });
}
bool NyReadDefaultConfig(const char* section, const char* key, double& value, const char* fileName) {
  return NyReadDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyReadDefaultConfig(const char* section, const char* key, float& value, const char* fileName) {
  return NyReadDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyReadDefaultConfig(const char* section, const char* key, int& value, const char* fileName) {
  return NyReadDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyReadDefaultConfig(const char* section, const char* key, long& value, const char* fileName) {
  return NyReadDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyReadDefaultConfig(const char* section, const char* key, bool& value, const char* fileName) {
  return NyReadDefaultConfigT(C(section), C(key), value, C(fileName));
}

bool NyWriteDefaultConfig(const char* section, const char* key, const char* value, const char* fileName) {
  return NyWriteDefaultConfigT(C(section), C(key), C(value), C(fileName));
}
bool NyWriteDefaultConfig(const char* section, const char* key, double value, const char* fileName) {
  return NyWriteDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteDefaultConfig(const char* section, const char* key, float value, const char* fileName) {
  return NyWriteDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteDefaultConfig(const char* section, const char* key, long value, const char* fileName) {
  return NyWriteDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteDefaultConfig(const char* section, const char* key, int value, const char* fileName) {
  return NyWriteDefaultConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteDefaultConfig(const char* section, const char* key, bool value, const char* fileName) {
  return NyWriteDefaultConfigT(C(section), C(key), value, C(fileName));
}

// ---- User layer ----------------------------------------------------------------

bool NyReadUserConfig(const char* section, const char* key, char* value, const char* fileName,
                      bool fallBack) {
  return ReadThroughCopy(
      value, [&](char* own) { return NyReadUserConfigT(C(section), C(key), own, C(fileName), fallBack); });
}
bool NyReadUserConfig(const char* section, const char* key, double& value, const char* fileName,
                      bool fallBack) {
  return NyReadUserConfigT(C(section), C(key), value, C(fileName), fallBack);
}
bool NyReadUserConfig(const char* section, const char* key, float& value, const char* fileName,
                      bool fallBack) {
  return NyReadUserConfigT(C(section), C(key), value, C(fileName), fallBack);
}
bool NyReadUserConfig(const char* section, const char* key, int& value, const char* fileName, bool fallBack) {
  return NyReadUserConfigT(C(section), C(key), value, C(fileName), fallBack);
}
bool NyReadUserConfig(const char* section, const char* key, long& value, const char* fileName,
                      bool fallBack) {
  return NyReadUserConfigT(C(section), C(key), value, C(fileName), fallBack);
}
bool NyReadUserConfig(const char* section, const char* key, bool& value, const char* fileName,
                      bool fallBack) {
  return NyReadUserConfigT(C(section), C(key), value, C(fileName), fallBack);
}

bool NyWriteUserConfig(const char* section, const char* key, const char* value, const char* fileName) {
  return NyWriteUserConfigT(C(section), C(key), C(value), C(fileName));
}
bool NyWriteUserConfig(const char* section, const char* key, double value, const char* fileName) {
  return NyWriteUserConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteUserConfig(const char* section, const char* key, float value, const char* fileName) {
  return NyWriteUserConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteUserConfig(const char* section, const char* key, long value, const char* fileName) {
  return NyWriteUserConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteUserConfig(const char* section, const char* key, int value, const char* fileName) {
  return NyWriteUserConfigT(C(section), C(key), value, C(fileName));
}
bool NyWriteUserConfig(const char* section, const char* key, bool value, const char* fileName) {
  return NyWriteUserConfigT(C(section), C(key), value, C(fileName));
}

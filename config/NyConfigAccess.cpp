// The typed configuration families over the plain, default and user layers.
// Every string read and write ends in the plain family, which checks its
// arguments and hands the call to the routing point.
#include <cstring>

#include "NyConfig.h"
#include "NyIdentity.h"
#include "base/NyPathText.h"
#include "config/NyConfigRoute.h"
#include "config/NyConfigText.h"
#include "config/NyConfigValue.h"

namespace {

using namespace ny::config;

// A string read as a typed read sees it: 1023 value bytes and the terminator.
constexpr size_t kValueBufferSize = kMaxValueBytes + 1;

// The typed reads of one family, on top of that family's string read. The
// output changes only when the text parses.
template <typename ReadString>
struct TypedReads {
  ReadString read;

  // Reads the family's string into a buffer of its own and applies `rule`.
  template <typename Rule>
  bool Parse(Rule rule) const {
    char text[kValueBufferSize];
    text[0] = '\0';
    return read(text) && rule(text);
  }
  bool Double(double& value) const {
    return Parse([&](const char* text) { return ParseDouble(text, value); });
  }
  bool Float(float& value) const {
    double wide = 0;
    if (!Double(wide)) return false;
    value = static_cast<float>(wide);
    return true;
  }
  bool Int(int& value, bool boolWords) const {
    return Parse([&](const char* text) { return ParseInt(text, boolWords, value); });
  }
  bool Long(long& value, bool boolWords) const {
    int narrow = 0;
    if (!Int(narrow, boolWords)) return false;
    value = narrow;
    return true;
  }
  bool Bool(bool& value) const {
    return Parse([&](const char* text) { return ParseBool(text, value); });
  }
};

template <typename ReadString>
TypedReads<ReadString> Typed(ReadString read) {
  return TypedReads<ReadString>{read};
}

auto Plain(const char* section, const char* key, const char* path) {
  return Typed([=](char* text) { return NyReadConfigT(section, key, text, path); });
}
auto Default(const char* section, const char* key, const char* fileName) {
  return Typed([=](char* text) { return NyReadDefaultConfigT(section, key, text, fileName); });
}
auto User(const char* section, const char* key, const char* fileName, bool fallBack) {
  return Typed([=](char* text) { return NyReadUserConfigT(section, key, text, fileName, fallBack); });
}

// The path of `fileName` in `folder`, or of the layer's own file when no
// name is given. False when there is no name or the path would not fit.
bool LayerPath(char* path, const char* folder, const char* fileName, const char* ownName) {
  const char* name = (fileName && *fileName) ? fileName : ownName;
  return name && *name && ny::JoinPath(path, folder, name);
}

bool HasText(const char* text) { return text && *text; }

// A layer's read counts only when it finds a non-empty value.
bool ReadFound(const char* section, const char* key, char* value, const char* path) {
  return NyReadConfigT(section, key, value, path) && value[0] != '\0';
}

}  // namespace

// ---- Plain layer -------------------------------------------------------------

bool NyReadConfigT(const char* section, const char* key, char* value, const char* path) {
  if (!HasText(section) || !HasText(key) || !value || !HasText(path)) return false;
  return RouteRead(section, key, value, path);
}

bool NyReadConfigT(const char* section, const char* key, double& value, const char* path) {
  value = 0;
  return Plain(section, key, path).Double(value);
}
bool NyReadConfigT(const char* section, const char* key, float& value, const char* path) {
  return Plain(section, key, path).Float(value);
}
bool NyReadConfigT(const char* section, const char* key, int& value, const char* path) {
  value = 0;
  return Plain(section, key, path).Int(value, true);
}
bool NyReadConfigT(const char* section, const char* key, long& value, const char* path) {
  return Plain(section, key, path).Long(value, true);
}
bool NyReadConfigT(const char* section, const char* key, bool& value, const char* path) {
  return Plain(section, key, path).Bool(value);
}

bool NyWriteConfigT(const char* section, const char* key, const char* value, const char* path) {
  if (!HasText(section) || !value || !HasText(path)) return false;
  // Longer values and paths would not survive a read; refuse them unwritten.
  if (!ny::FitsPath(path) || strnlen(value, kMaxValueBytes + 1) > kMaxValueBytes) return false;
  char folder[MAX_PATH] = "";
  if (NySplitFileNameT(path, folder, nullptr) == 0 && *folder && !NyIsFileExistT(folder)) {
    NyCreateDirectoriesT(folder);  // a failure shows as an unwritten file
  }
  NyDoConfigCacheCountFunc(2);
  RouteWrite(section, key, value, path);
  return true;
}

bool NyWriteConfigT(const char* section, const char* key, double value, const char* path) {
  return NyWriteConfigT(section, key, FormatDouble(value).c_str(), path);
}
bool NyWriteConfigT(const char* section, const char* key, float value, const char* path) {
  return NyWriteConfigT(section, key, FormatDouble(value).c_str(), path);
}
bool NyWriteConfigT(const char* section, const char* key, long value, const char* path) {
  return NyWriteConfigT(section, key, FormatLong(value).c_str(), path);
}
bool NyWriteConfigT(const char* section, const char* key, int value, const char* path) {
  return NyWriteConfigT(section, key, FormatLong(value).c_str(), path);
}
bool NyWriteConfigT(const char* section, const char* key, bool value, const char* path) {
  return NyWriteConfigT(section, key, FormatBool(value), path);
}

// ---- Default layer -------------------------------------------------------------

bool NyReadDefaultConfigT(const char* section, const char* key, char* value, const char* fileName) {
  const char* folder = NyGetDefaultConfigPathT();
  char path[MAX_PATH];
  // Without a file name the prior file, shipped beside the application file,
  // overrides it.
  const char* prior = NyGetApplicationPriorConfigFileNameT();
  if (HasText(prior) && !HasText(fileName) && LayerPath(path, folder, prior, nullptr) &&
      ReadFound(section, key, value, path)) {
    return true;
  }
  return LayerPath(path, folder, fileName, NyGetApplicationConfigFileNameT()) &&
         ReadFound(section, key, value, path);
}

bool NyReadDefaultConfigT(const char* section, const char* key, double& value, const char* fileName) {
  return Default(section, key, fileName).Double(value);
}
bool NyReadDefaultConfigT(const char* section, const char* key, float& value, const char* fileName) {
  return Default(section, key, fileName).Float(value);
}
bool NyReadDefaultConfigT(const char* section, const char* key, int& value, const char* fileName) {
  return Default(section, key, fileName).Int(value, false);
}
bool NyReadDefaultConfigT(const char* section, const char* key, long& value, const char* fileName) {
  return Default(section, key, fileName).Long(value, false);
}
bool NyReadDefaultConfigT(const char* section, const char* key, bool& value, const char* fileName) {
  return Default(section, key, fileName).Bool(value);
}

bool NyWriteDefaultConfigT(const char* section, const char* key, const char* value, const char* fileName) {
  char path[MAX_PATH];
  return LayerPath(path, NyGetDefaultConfigPathT(), fileName, NyGetApplicationConfigFileNameT()) &&
         NyWriteConfigT(section, key, value, path);
}

bool NyWriteDefaultConfigT(const char* section, const char* key, double value, const char* fileName) {
  return NyWriteDefaultConfigT(section, key, FormatDouble(value).c_str(), fileName);
}
bool NyWriteDefaultConfigT(const char* section, const char* key, float value, const char* fileName) {
  return NyWriteDefaultConfigT(section, key, FormatDouble(value).c_str(), fileName);
}
bool NyWriteDefaultConfigT(const char* section, const char* key, long value, const char* fileName) {
  return NyWriteDefaultConfigT(section, key, FormatLong(value).c_str(), fileName);
}
bool NyWriteDefaultConfigT(const char* section, const char* key, int value, const char* fileName) {
  return NyWriteDefaultConfigT(section, key, FormatLong(value).c_str(), fileName);
}
bool NyWriteDefaultConfigT(const char* section, const char* key, bool value, const char* fileName) {
  return NyWriteDefaultConfigT(section, key, FormatBool(value), fileName);
}

// ---- User layer ----------------------------------------------------------------

bool NyReadUserConfigT(const char* section, const char* key, char* value, const char* fileName,
                       bool fallBack) {
  char path[MAX_PATH];
  if (NyIsUserConfigEnable() &&
      LayerPath(path, NyGetUserConfigPathT(), fileName, NyGetUserConfigFileNameT()) &&
      ReadFound(section, key, value, path)) {
    return true;
  }
  return fallBack && NyReadDefaultConfigT(section, key, value, fileName);
}

bool NyReadUserConfigT(const char* section, const char* key, double& value, const char* fileName,
                       bool fallBack) {
  return User(section, key, fileName, fallBack).Double(value);
}
bool NyReadUserConfigT(const char* section, const char* key, float& value, const char* fileName,
                       bool fallBack) {
  return User(section, key, fileName, fallBack).Float(value);
}
bool NyReadUserConfigT(const char* section, const char* key, int& value, const char* fileName,
                       bool fallBack) {
  return User(section, key, fileName, fallBack).Int(value, false);
}
bool NyReadUserConfigT(const char* section, const char* key, long& value, const char* fileName,
                       bool fallBack) {
  return User(section, key, fileName, fallBack).Long(value, false);
}
bool NyReadUserConfigT(const char* section, const char* key, bool& value, const char* fileName,
                       bool fallBack) {
  return User(section, key, fileName, fallBack).Bool(value);
}

bool NyWriteUserConfigT(const char* section, const char* key, const char* value, const char* fileName) {
  if (!NyIsUserConfigEnable()) return true;
  char path[MAX_PATH];
  return LayerPath(path, NyGetUserConfigPathT(), fileName, NyGetUserConfigFileNameT()) &&
         NyWriteConfigT(section, key, value, path);
}

bool NyWriteUserConfigT(const char* section, const char* key, double value, const char* fileName) {
  return NyWriteUserConfigT(section, key, FormatDouble(value).c_str(), fileName);
}
bool NyWriteUserConfigT(const char* section, const char* key, float value, const char* fileName) {
  return NyWriteUserConfigT(section, key, FormatDouble(value).c_str(), fileName);
}
bool NyWriteUserConfigT(const char* section, const char* key, long value, const char* fileName) {
  return NyWriteUserConfigT(section, key, FormatLong(value).c_str(), fileName);
}
bool NyWriteUserConfigT(const char* section, const char* key, int value, const char* fileName) {
  return NyWriteUserConfigT(section, key, FormatLong(value).c_str(), fileName);
}
bool NyWriteUserConfigT(const char* section, const char* key, bool value, const char* fileName) {
  return NyWriteUserConfigT(section, key, FormatBool(value), fileName);
}

// Process-wide identity and folder settings. Every setting is a MAX_PATH
// buffer that starts empty; derived settings are computed at their first use.
// The non-T getters that keep a copy take it once and never refresh it, so a
// host that read a value early keeps seeing that value.
#include <cstdio>
#include <cstring>
#include <string>

#include "NyIdentity.h"
#include "base/NyMultiByte.h"
#include "base/NyPathText.h"
#include "base/NyScopedHandle.h"

namespace {

struct PathSetting {
  char text[MAX_PATH] = "";
  bool IsEmpty() const { return text[0] == '\0'; }
  bool Set(const char* value) { return ny::CopyPath(text, value); }
};

// A copy of a getter's result, taken once.
struct KeptCopy {
  bool taken = false;
  CString text;
  const char* Take(const char* value) {
    if (!taken && value) {
      text = value;
      taken = true;
    }
    return taken ? text.GetString() : nullptr;
  }
};

PathSetting g_moduleName, g_modulePath, g_companyName, g_applicationName;
PathSetting g_appConfigFileName, g_priorPostfix, g_priorConfigFileName, g_userConfigFileName;
PathSetting g_basePath, g_defaultConfigPath, g_userConfigPath;
bool g_userConfigEnable = true;

bool g_moduleNameDerived = false;
bool g_firstModulePath = true;
bool g_firstBasePath = true;
bool g_firstDefaultConfigPath = true;
bool g_firstUserConfigPath = true;

KeptCopy g_keptModuleName, g_keptModulePath, g_keptAppConfigFileName, g_keptPriorConfigFileName;
KeptCopy g_keptBasePath, g_keptDefaultConfigPath, g_keptUserConfigPath;
CString g_companyNameCopy, g_applicationNameCopy;

// The running executable's full path (not the library's); false when unknown
// or when it does not fit MAX_PATH.
bool GetExecutablePath(char (&path)[MAX_PATH]) {
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return n > 0 && n < MAX_PATH;
}

// Reads an environment variable; false when it is unset, empty or too long.
bool ReadEnvironment(const char* name, char (&value)[MAX_PATH]) {
  DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH;
}

std::string LoginUserName() {
  char name[256 + 1];
  DWORD size = sizeof name;
  if (!::GetUserNameA(name, &size)) return std::string();
  return name;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// App.ini + Default -> AppDefault.ini; App + Default -> AppDefault.
bool ComputePriorName(const char* appName, const char* postfix, char (&prior)[MAX_PATH]) {
  char extension[MAX_PATH];
  bool hasExtension = NyGetExtentionT(appName, extension);
  char stem[MAX_PATH];
  if (!ny::CopyPath(stem, appName)) return false;
  if (hasExtension) NyDelExtentionT(appName, nullptr, stem);
  std::string withPostfix = std::string(stem) + postfix;
  if (!ny::FitsPath(withPostfix.c_str())) return false;
  if (!hasExtension) return ny::CopyPath(prior, withPostfix.c_str());
  return NyAddExtentionT(withPostfix.c_str(), extension, prior);
}

// A T getter's first-use derivation: only at its first call, and only when
// the setting is still empty then; a failed derivation is not tried again.
template <typename Derive>
const char* DeriveAtFirstUse(bool& first, PathSetting& setting, Derive derive) {
  if (first) {
    first = false;
    if (setting.IsEmpty()) derive();
  }
  return setting.text;
}

// A non-T getter derives at its own first call when the setting is still
// empty, and keeps a copy of what it finds.
template <typename Derive>
const char* DeriveAndKeep(KeptCopy& kept, PathSetting& setting, Derive derive) {
  if (!kept.taken && setting.IsEmpty()) derive();
  return kept.Take(setting.text);
}

void DeriveDefaultConfigPath() { NySetDefaultConfigPathT(nullptr); }
void DeriveUserConfigPath() { NySetUserConfigPathT(nullptr); }

}  // namespace

// ---- Identity ----------------------------------------------------------------

const char* NyGetModuleNameT() {
  if (g_moduleNameDerived) return g_moduleName.text;
  char path[MAX_PATH];
  if (!GetExecutablePath(path)) return nullptr;
  // The directory entry gives the name in the letter case stored on disk.
  char fileName[MAX_PATH];
  WIN32_FIND_DATAA data;
  ny::ScopedFindHandle find(::FindFirstFileA(path, &data));
  if (find)
    ny::CopyPath(fileName, data.cFileName);
  else if (NySplitFileNameT(path, nullptr, fileName) != 0)
    return nullptr;
  NyDelExtentionT(fileName, "exe", g_moduleName.text);
  g_moduleNameDerived = true;
  return g_moduleName.text;
}

const char* NyGetModuleName() { return g_keptModuleName.Take(NyGetModuleNameT()); }

const char* NyGetModulePathT() {
  return DeriveAtFirstUse(g_firstModulePath, g_modulePath, [] {
    char path[MAX_PATH];
    if (GetExecutablePath(path)) NySplitFileNameT(path, g_modulePath.text, nullptr);
  });
}

const char* NyGetModulePath() { return g_keptModulePath.Take(NyGetModulePathT()); }

bool NySetCompanyName(const char* name) {
  if (!name || !*name) return false;
  return g_companyName.Set(name);
}

const char* NyGetCompanyName() {
  if (g_companyName.IsEmpty()) return nullptr;
  g_companyNameCopy = g_companyName.text;
  return g_companyNameCopy;
}

void NySetApplicationName(const char* name) {
  if (!name || !*name) name = NyGetModuleNameT();
  if (name) g_applicationName.Set(name);
}

const char* NyGetApplicationName() {
  if (g_applicationName.IsEmpty()) return nullptr;
  g_applicationNameCopy = g_applicationName.text;
  return g_applicationNameCopy;
}

// ---- Configuration file names -------------------------------------------------

bool NySetApplicationConfigFileNameT(const char* name) {
  char value[MAX_PATH];
  if (name && *name) {
    if (!ny::CopyPath(value, name)) return false;
  } else {
    // Without a module name there is nothing to fall back on; keep the setting.
    const char* module = NyGetModuleNameT();
    if (!module || !NyAddExtentionT(module, "ini", value)) return true;
  }
  char prior[MAX_PATH] = "";
  if (!g_priorPostfix.IsEmpty() && !ComputePriorName(value, g_priorPostfix.text, prior)) return false;
  g_appConfigFileName.Set(value);
  if (!g_priorPostfix.IsEmpty()) g_priorConfigFileName.Set(prior);
  return true;
}

const char* NyGetApplicationConfigFileNameT() {
  return g_appConfigFileName.IsEmpty() ? nullptr : g_appConfigFileName.text;
}

const char* NyGetApplicationConfigFileName() {
  return g_keptAppConfigFileName.Take(NyGetApplicationConfigFileNameT());
}

bool NySetApplicationPriorConfigFilePostfixT(const char* postfix) {
  // The postfix must be fixed before the file name it applies to.
  if (!g_appConfigFileName.IsEmpty()) return false;
  if (!postfix || !*postfix) postfix = "Default";
  return g_priorPostfix.Set(postfix);
}

const char* NyGetApplicationPriorConfigFileNameT() {
  return g_appConfigFileName.IsEmpty() ? nullptr : g_priorConfigFileName.text;
}

const char* NyGetApplicationPriorConfigFileName() {
  return g_keptPriorConfigFileName.Take(NyGetApplicationPriorConfigFileNameT());
}

bool NySetUserConfigFileNameT(const char* name) {
  if (!name || !*name) return true;
  return g_userConfigFileName.Set(name);
}

const char* NyGetUserConfigFileNameT() {
  return g_userConfigFileName.IsEmpty() ? NyGetApplicationConfigFileNameT() : g_userConfigFileName.text;
}

// ---- Folders -------------------------------------------------------------------

bool NySetBasePathT(const char* path) {
  if (!path || !*path) return g_basePath.Set(NyGetModulePathT());
  char folder[MAX_PATH];
  if (NyIsFullPathT(path)) {
    if (!ny::CopyPath(folder, path)) return false;
  } else {
    // A relative folder is taken against the executable's folder; one that
    // cannot be resolved leaves the setting as it was.
    if (!ny::CopyPath(folder, NyMakeFullPathT(path, NyGetModulePathT()))) return false;
  }
  NyEraseLastBackSlashT(folder);
  if (!NyIsFileExistT(folder) && !NyCreateDirectoriesT(folder)) return false;
  return g_basePath.Set(folder);
}

const char* NyGetBasePathT() {
  return DeriveAtFirstUse(g_firstBasePath, g_basePath, [] { g_basePath.Set(NyGetModulePathT()); });
}

const char* NyGetBasePath() { return g_keptBasePath.Take(NyGetBasePathT()); }

bool NySetDefaultConfigPathT(const char* path) {
  char folder[MAX_PATH];
  if (path && *path) {
    if (!ny::CopyPath(folder, path)) return false;
    NyEraseLastBackSlashT(folder);
  } else {
    if (!ny::JoinPath(folder, NyGetBasePathT(), "Config")) return false;
  }
  return g_defaultConfigPath.Set(folder);
}

const char* NyGetDefaultConfigPathT() {
  return DeriveAtFirstUse(g_firstDefaultConfigPath, g_defaultConfigPath, DeriveDefaultConfigPath);
}

const char* NyGetDefaultConfigPath() {
  return DeriveAndKeep(g_keptDefaultConfigPath, g_defaultConfigPath, DeriveDefaultConfigPath);
}

bool NySetUserConfigPathT(const char* path) {
  if (!path || !*path) return NySetUserConfigPathT(nullptr, nullptr);
  if (!ny::FitsPath(path)) return false;
  std::string folder = ReplaceAll(path, "<username>", LoginUserName());
  if (!ny::FitsPath(folder.c_str())) return false;
  char value[MAX_PATH];
  ny::CopyPath(value, folder.c_str());
  NyEraseLastBackSlashT(value);
  return g_userConfigPath.Set(value);
}

bool NySetUserConfigPathT(const char* company, const char* application) {
  if (!company || !*company) company = NyGetCompanyName();
  if (!application || !*application) application = NyGetApplicationName();
  if (!company) company = "";
  if (!application) application = "";

  char root[MAX_PATH];
  const char* format = "%s\\%s\\%s";
  if (!ReadEnvironment("APPDATA", root)) {
    format = "%s\\Application Data\\%s\\%s";
    if (!ReadEnvironment("USERPROFILE", root) && !ReadEnvironment("WINDIR", root)) return false;
  }
  char folder[MAX_PATH];
  int n = std::snprintf(folder, MAX_PATH, format, root, company, application);
  if (n < 0 || n >= MAX_PATH) return false;
  return g_userConfigPath.Set(folder);
}

const char* NyGetUserConfigPathT() {
  return DeriveAtFirstUse(g_firstUserConfigPath, g_userConfigPath, DeriveUserConfigPath);
}

const char* NyGetUserConfigPath() {
  return DeriveAndKeep(g_keptUserConfigPath, g_userConfigPath, DeriveUserConfigPath);
}

// ---- Switch --------------------------------------------------------------------

void NySetUserConfigEnable(bool enable) { g_userConfigEnable = enable; }
bool NyIsUserConfigEnable() { return g_userConfigEnable; }

// The string pool: languages, the string-pool folder, the layout probe, the
// preferential pools and the ring of results.
#include "NyStringPool.h"

#include <cstring>
#include <list>
#include <map>

#include "NyConfig.h"
#include "NyIdentity.h"
#include "NyToolkit.h"
#include "base/NyPathText.h"
#include "strings/NyStringEscapes.h"

namespace {

constexpr size_t kLanguageSize = 50;  // 49 characters and the terminator
constexpr size_t kValueSize = 1024;   // 1023 value bytes and the terminator
constexpr int kRingSlots = 30;
const char kNotFound[] = "can not find string";

char g_currentLanguage[kLanguageSize] = "";
char g_defaultLanguage[kLanguageSize] = "JPN";

char g_poolPath[MAX_PATH] = "";
bool g_firstPathQuery = true;
// The folder the first load found; later changes of the setting do not move
// the pool.
char g_keptFolder[MAX_PATH] = "";
bool g_firstLoad = true;

bool g_layoutKnown = false;
bool g_perLanguageFolders = false;

char g_ring[kRingSlots][kValueSize];
int g_ringIndex = -1;

// Pool name -> the pools searched before it, in order. Names compare as
// bytes, letter case included.
std::map<CString, std::list<CString>> g_preferential;

bool SetLanguage(char* buffer, const char* language) {
  if (!language || strnlen(language, kLanguageSize) >= kLanguageSize) return false;
  std::strcpy(buffer, language);
  return true;
}

// The file of `pool` in `language` in the layout in force (flat while the
// layout is unknown). False when the name would not fit a path.
bool PoolFile(char* path, const char* pool, const char* language, bool perLanguage) {
  if (perLanguage) return ny::Concat(path, MAX_PATH, {g_keptFolder, "\\", language, "\\", pool, ".str"});
  return ny::Concat(path, MAX_PATH, {g_keptFolder, "\\", pool, ".str"});
}

// Reads {key}_{language} from the pool's file; true for a non-empty value.
bool ReadPool(const char* pool, const char* section, const char* key, const char* language, char* value) {
  char path[MAX_PATH];
  char entry[kValueSize];
  return ny::Concat(entry, sizeof entry, {key, "_", language}) &&
         PoolFile(path, pool, language, g_perLanguageFolders) && NyReadConfigT(section, entry, value, path) &&
         value[0] != '\0';
}

// Fixes the layout at the first probe that finds this pool's file: per
// language (looked for in the default language's folder) before flat.
void ProbeLayout(const char* pool) {
  char path[MAX_PATH];
  if (PoolFile(path, pool, g_defaultLanguage, true) && NyIsFileExistT(path)) {
    g_layoutKnown = g_perLanguageFolders = true;
  } else if (PoolFile(path, pool, g_defaultLanguage, false) && NyIsFileExistT(path)) {
    g_layoutKnown = true;
  }
}

// The value of the text: preferential pools in the current language, then
// the pool in the current and in the default language.
const char* FindValue(const char* pool, const char* section, const char* key, char* value) {
  const char* current = NyGetStringPoolLanguage();
  auto preferential = g_preferential.empty() ? g_preferential.end() : g_preferential.find(CString(pool));
  if (preferential != g_preferential.end()) {
    for (const CString& other : preferential->second) {
      if (ReadPool(other, section, key, current, value)) return value;
    }
  }
  if (ReadPool(pool, section, key, current, value)) return value;
  if (ReadPool(pool, section, key, g_defaultLanguage, value)) return value;
  return kNotFound;
}

}  // namespace

const char* NyLoadStringT(const char* pool, const char* section, const char* key) {
  if (!pool) pool = "";
  if (!section) section = "";
  if (!key) key = "";
  if (g_firstLoad) {
    g_firstLoad = false;
    ny::CopyPath(g_keptFolder, NyGetStringPoolPathT());
  }
  if (!g_layoutKnown) ProbeLayout(pool);
  g_ringIndex = (g_ringIndex + 1) % kRingSlots;
  char value[kValueSize];
  value[0] = '\0';
  char* slot = g_ring[g_ringIndex];
  ny::strings::ResolveEscapes(FindValue(pool, section, key, value), slot, kValueSize);
  return slot;
}

const char* NyLoadString(const char* pool, const char* section, const char* key) {
  return NyLoadStringT(pool, section, key);
}

bool NySetStringPoolLanguage(const char* language) { return SetLanguage(g_currentLanguage, language); }

const char* NyGetStringPoolLanguage() {
  if (g_currentLanguage[0] == '\0') {
    char value[kValueSize];
    bool found = NyReadUserConfig("StringPool", "Language", value, nullptr, true);
    if (!found || !SetLanguage(g_currentLanguage, value)) SetLanguage(g_currentLanguage, g_defaultLanguage);
  }
  return g_currentLanguage;
}

bool NySetStringPoolDefaultLanguage(const char* language) { return SetLanguage(g_defaultLanguage, language); }

const char* NyGetStringPoolDefaultLanguage() { return g_defaultLanguage; }

bool NyErasePreferentialStringPoolT(const char* pool, const char* preferential) {
  auto entry = g_preferential.find(CString(pool));
  if (entry == g_preferential.end()) return false;
  std::list<CString>& list = entry->second;
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (*it == CString(preferential)) {
      list.erase(it);
      return true;
    }
  }
  return false;
}

bool NyAddPreferentialStringPoolT(const char* pool, const char* preferential) {
  if (!pool || !*pool || !preferential || !*preferential) return false;
  NyErasePreferentialStringPoolT(pool, preferential);
  g_preferential[CString(pool)].push_back(CString(preferential));
  return true;
}

void NyEraseAllPreferentialStringPoolT(const char* pool) { g_preferential.erase(CString(pool)); }

bool NySetStringPoolPathT(const char* path) {
  char folder[MAX_PATH];
  if (path && *path) {
    if (!ny::CopyPath(folder, path)) return false;
  } else {
    char value[kValueSize];
    if (!NyReadDefaultConfigT("StringPool", "Path", value) || value[0] == '\0') return false;
    if (!ny::CopyPath(folder, NyMakeFullPathT(value, NyGetBasePathT()))) return false;
  }
  NyEraseLastBackSlashT(folder);
  std::strcpy(g_poolPath, folder);
  return true;
}

const char* NyGetStringPoolPathT() {
  if (g_firstPathQuery) {
    g_firstPathQuery = false;
    if (g_poolPath[0] == '\0') NySetStringPoolPathT(nullptr);
  }
  return g_poolPath;
}

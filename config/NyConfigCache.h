// The configuration cache: whole configuration files in memory. The first
// access to a file loads all its sections and key lines; later reads and
// writes work on memory; changed files are written back at a flush. While
// cached, a writable file stays open with writing denied to other programs.
//
// Lookups follow the file's own order: every section of the wanted name in
// file order, and in them the first key of the wanted name, names compared
// ignoring case. A per-file index finds that first key with one hash probe,
// so a lookup costs about the same in a file of 100 keys as in one of
// 100,000.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "NyToolkit.h"
#include "config/NyConfigKeyTable.h"
#include "config/NyConfigStringStore.h"

namespace ny::config {

class CachedConfigFile : public ConfigKeyTable {
 public:
  explicit CachedConfigFile(const char* path);
  CachedConfigFile(const CachedConfigFile&) = delete;
  CachedConfigFile& operator=(const CachedConfigFile&) = delete;

  CStdioFile m_hold;       // open for reading with writing denied, while held
  bool m_bHeld = false;    // the file is open through m_hold
  bool m_bDirty = false;   // a write touched it since it was loaded
  bool m_bUnicode = true;  // it started with FF FE when loaded
  // False when a header or key line was too long to keep: writing the file
  // back would lose it, so such a file is served from memory only.
  bool m_bWritable = true;
  CString m_strPath;
  // The path folded to one case: the file's key in the cache's index of
  // paths, which views this text, so it never changes.
  const std::string m_foldedPath;
};

class NyConfigCache {
 public:
  NyConfigCache() = default;
  // Writes back what is dirty: the cache dies when the library is unloaded.
  virtual ~NyConfigCache();
  NyConfigCache(const NyConfigCache&) = delete;
  NyConfigCache& operator=(const NyConfigCache&) = delete;

  // The index of the cached file at `path`, or -1.
  int FindFile(const char* path) const;
  // True for a cached file held open: it cannot vanish while cached.
  bool IsHeld(int index) const { return m_files[index]->m_bHeld; }

  // The cached lookup into `value` (at least 1024 bytes): true with the
  // empty text for a missing key; false, with the empty text, when the file
  // cannot be loaded. `index` is FindFile's answer for `path` when known.
  bool ReadValue(const char* section, const char* key, char* value, const char* path, int index = -1);
  // The cached update; a null or empty key empties every section of the
  // name. False when the file cannot be loaded or a text does not fit a slot.
  bool WriteValue(const char* section, const char* key, const char* value, const char* path);
  // Writes every dirty, held file back and empties the cache. False when a
  // file could not be written within 5 seconds (its changes are dropped).
  bool Flush();

  bool m_bUse = false;
  unsigned long m_dwStringLimit = 90000;

 private:
  static constexpr size_t kMaxFiles = 100;

  CachedConfigFile* FindOrLoadFile(const char* path, int index);
  bool LoadFile(CachedConfigFile& file);
  void Hold(CachedConfigFile& file);
  bool CheckLimits();
  bool WriteBack(const CachedConfigFile& file) const;

  ConfigStringStore m_store;
  std::vector<std::unique_ptr<CachedConfigFile>> m_files;  // in order of loading
  int m_iLastUsed = 0;
  // Every cached file's index under its folded path (a view of the file's
  // m_foldedPath, emptied before the files go). Paths that compare equal
  // ignoring case fold alike, so at most one file matches a path and no
  // search order is needed.
  std::unordered_map<std::string_view, int> m_fileIndex;
};

// The process's cache, created at its first use.
NyConfigCache& TheConfigCache();

}  // namespace ny::config

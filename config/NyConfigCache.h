// The configuration cache: whole configuration files in memory. The first
// access to a file loads all its sections and key lines; later reads and
// writes work on memory; changed files are written back at a flush. While
// cached, a writable file stays open with writing denied to other programs.
//
// Lookups follow the file's own order: every section of the wanted name in
// file order, and in them the first key of the wanted name, names compared
// ignoring case. An index per file (names folded to one case) finds that
// first key without walking the sections, so a lookup costs the same in a
// file of 100 keys as in one of 100,000.
#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "NyToolkit.h"
#include "config/NyConfigStringStore.h"

namespace ny::config {

struct CachedSection {
  uint32_t headerId = 0;          // the header line as read, or "[name]" for a new section
  std::vector<uint32_t> keyIds;   // in file order
  std::vector<uint32_t> valueIds; // the i-th value belongs to the i-th key
};

class CachedConfigFile {
public:
  explicit CachedConfigFile(const char* path) : m_strPath(path) {}
  CachedConfigFile(const CachedConfigFile&) = delete;
  CachedConfigFile& operator=(const CachedConfigFile&) = delete;

  // Where a key lives: section index and position in it, and a copy of its
  // value's id (kept equal to the section's) so that a read goes straight
  // to the text.
  struct KeyRef {
    uint32_t section;
    uint32_t position;
    uint32_t valueId;
  };
  // Maps by folded name; the names' bytes live in the file's arena.
  template <typename T>
  using FoldedMap = std::pmr::unordered_map<std::string_view, T>;
  // All sections of one name in file order, and the first occurrence of
  // each key among them.
  struct SectionGroup {
    explicit SectionGroup(std::pmr::memory_resource* arena) : sections(arena), firstKeys(arena) {}
    std::pmr::vector<uint32_t> sections;
    FoldedMap<KeyRef> firstKeys;
  };

  // A copy of `folded` that lives as long as this file record.
  std::string_view Keep(const std::string& folded);

  CStdioFile m_hold;       // open for reading with writing denied, while held
  bool m_bHeld = false;    // the file is open through m_hold
  bool m_bDirty = false;   // a write touched it since it was loaded
  bool m_bUnicode = true;  // it started with FF FE when loaded
  // False when a header or key line was too long to keep: writing the file
  // back would lose it, so such a file is served from memory only.
  bool m_bWritable = true;
  CString m_strPath;
  std::vector<CachedSection> m_sections;
  // The index is built in one go at load and dropped in one go at the
  // flush: its nodes and names come from an arena instead of the heap.
  std::pmr::monotonic_buffer_resource m_arena;
  FoldedMap<SectionGroup> m_groups{&m_arena};
};

class NyConfigCache {
public:
  NyConfigCache() = default;
  // Writes back what is dirty: the cache dies when the library is unloaded.
  virtual ~NyConfigCache();
  NyConfigCache(const NyConfigCache&) = delete;
  NyConfigCache& operator=(const NyConfigCache&) = delete;

  // The cached lookup into `value` (at least 1024 bytes): true with the
  // empty text for a missing key; false when the file cannot be loaded.
  bool ReadValue(const char* section, const char* key, char* value, const char* path);
  // The cached update; a null or empty key empties every section of the
  // name. False when the file cannot be loaded or a text does not fit a slot.
  bool WriteValue(const char* section, const char* key, const char* value, const char* path);
  // Writes every dirty, held file back and empties the cache. False when a
  // file could not be written within 5 seconds (its changes are dropped).
  bool Flush();
  // True when the file is cached and held open, so it certainly exists.
  bool HoldsFile(const char* path) const;

  bool m_bUse = false;
  unsigned long m_dwStringLimit = 90000;

private:
  static constexpr size_t kMaxFiles = 100;

  int FindFile(const char* path) const;
  CachedConfigFile* FindOrLoadFile(const char* path);
  bool LoadFile(CachedConfigFile& file);
  void Hold(CachedConfigFile& file);
  CachedConfigFile::SectionGroup& AddSection(CachedConfigFile& file, uint32_t headerId, const char* name);
  bool CheckLimits();
  CachedConfigFile::KeyRef* FindKey(CachedConfigFile::SectionGroup& group, const char* key);
  bool WriteBack(const CachedConfigFile& file) const;

  ConfigStringStore m_store;
  std::vector<std::unique_ptr<CachedConfigFile>> m_files;  // in order of loading
  int m_iLastUsed = 0;
  // Every cached file's index under its folded path. Paths that compare
  // equal ignoring case fold alike, so at most one file matches a path and
  // no search order is needed.
  std::unordered_map<std::string, int> m_fileIndex;
  mutable std::string m_foldedPath;
  std::string m_foldedSection;  // scratch space for lookups
  std::string m_foldedKey;
};

// The process's cache, created at its first use.
NyConfigCache& TheConfigCache();

}  // namespace ny::config

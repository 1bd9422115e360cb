// The cache's index of one file's keys: for each pair of section name and
// key, the first occurrence in file order, found with one hash probe. Names
// are folded to one case before hashing; a candidate is confirmed by the
// caller against the stored names, so the index never answers for another
// pair. Open addressing in one array keeps a lookup to a few cache lines,
// which matters once a file holds 100,000 keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ny::config {

class ConfigKeyIndex {
 public:
  // 16 bytes, so that four share a cache line.
  struct Entry {
    uint32_t hash;     // kEmpty and kErased mark free slots
    uint32_t key;      // where the key's text lies in the store
    uint32_t value;    // where the value's text lies, kept current on writes
    uint32_t section;  // index of the section holding the key
  };

  // The hash of a folded section name and a folded key; never a marker.
  static uint32_t Hash(std::string_view section, std::string_view key);

  // The entry with `hash` that `same` confirms; null when there is none.
  template <typename Same>
  Entry* Find(uint32_t hash, Same same) {
    if (m_slots.empty()) return nullptr;
    size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      Entry& slot = m_slots[i];
      if (slot.hash == kEmpty) return nullptr;
      if (slot.hash == hash && same(slot)) return &slot;
    }
  }
  // Adds an entry for a pair that is not indexed yet.
  void Insert(const Entry& entry);
  // Removes an entry that Find returned.
  void Erase(Entry* entry);

 private:
  static constexpr uint32_t kEmpty = 0;
  static constexpr uint32_t kErased = 1;

  void Rehash(size_t capacity);

  std::vector<Entry> m_slots;  // a power of two, at most half in use
  size_t m_used = 0;           // entries and erased slots
};

}  // namespace ny::config

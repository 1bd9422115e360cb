// The configuration cache's text store. Every header, key and value the
// cache holds is a text in a fixed-size slot, named by a 32-bit id whose
// value tells its class:
//
//   class   text bytes   slot   slots a block   ids from
//   short   below 60       70        900        0
//   medium  60 to 199     210        300        0x10000000
//   long    200 to 1033  1034         60        0x20000000
//
// Blocks are allocated as ids reach them; nothing is freed or reused before
// Clear. The count of short texts is what the cache's string limit counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace ny::config {

class ConfigStringStore {
public:
  static constexpr uint32_t kInvalidId = 0xFFFFFFFFu;
  // The longest text a slot holds with its terminator.
  static constexpr size_t kMaxTextBytes = 1033;

  ConfigStringStore();

  // Stores a copy of the first `length` bytes of `text` in a new slot of the
  // class its length selects; kInvalidId when it is too long for any slot.
  uint32_t Add(const char* text, size_t length);
  // The text stored under a valid id.
  const char* Text(uint32_t id) const;
  // Gives the text of `id` new content. A short text that reaches 60 bytes
  // or a medium one that reaches 200 moves to a new slot; otherwise the slot
  // is overwritten, so a text that shrinks keeps its larger slot. Returns the
  // id that holds the content now, or kInvalidId (nothing changed).
  uint32_t Replace(uint32_t id, const char* text, size_t length);

  // Texts stored in short slots since the last Clear.
  uint32_t ShortCount() const { return m_classes[0].next; }
  // Frees every block and starts the ids afresh.
  void Clear();

private:
  struct SlotClass {
    size_t slotSize;
    size_t slotsPerBlock;
    uint32_t firstId;
    uint32_t lastId;  // one past the last id the class can give
    uint32_t next;    // slots given so far
    std::vector<std::unique_ptr<char[]>> blocks;
  };

  static int ClassOfLength(size_t length);
  int ClassOfId(uint32_t id) const;
  char* Slot(uint32_t id) const;

  SlotClass m_classes[3];
};

}  // namespace ny::config

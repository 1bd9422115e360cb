// The configuration cache's text store. Every header, key and value the
// cache holds is a text named by a 32-bit id whose value tells its class:
//
//   class   text bytes   ids from     kept in
//   short   below 60     0            packed, one after the other
//   medium  60 to 199    0x10000000   slots of 210 bytes, 300 a block
//   long    200 to 1033  0x20000000   slots of 1034 bytes, 60 a block
//
// Ids are handed out in order and never reused before Clear; the count of
// short texts is what the cache's string limit counts. Short texts, nearly
// every key and value, are packed instead of taking fixed slots: a file of
// 100,000 keys then needs a quarter of the memory, and a key lies next to
// its value.
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

  // Where a text lies: reading by location skips the lookup of the id, so a
  // read touches little more than the text. A location holds until Clear,
  // or until Replace gives the id new room.
  uint32_t Locate(uint32_t id) const;
  const char* TextAt(uint32_t location) const;

  // Texts stored in short slots since the last Clear.
  uint32_t ShortCount() const { return static_cast<uint32_t>(m_shortOffsets.size()); }
  // Frees every block and starts the ids afresh.
  void Clear();

 private:
  // Short texts: chunks of packed texts, each text preceded by one byte
  // giving the room it has (terminator included), and each id's offset.
  static constexpr size_t kChunkBits = 16;
  static constexpr size_t kChunkSize = size_t{1} << kChunkBits;
  char* ShortText(uint32_t id) const;
  uint32_t AddShort(const char* text, size_t length);
  std::vector<std::unique_ptr<char[]>> m_chunks;
  size_t m_chunkUsed = kChunkSize;  // bytes taken in the last chunk
  std::vector<uint32_t> m_shortOffsets;

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

// The growable bit set: one byte a flag, storage that grows by doubling from 16
// bytes and never shrinks.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "NyUtil.h"

namespace {

constexpr unsigned int kFirstCapacity = 16;

// Number of significant bits: the highest set bit's index + 1, 0 for 0.
unsigned int SignificantBits(unsigned int value) {
  unsigned int bits = 0;
  for (; value != 0; value >>= 1) ++bits;
  return bits;
}

}  // namespace

// ---- Constructors ---------------------------------------------------------------

CNyBitFlag::CNyBitFlag(unsigned int size) { Resize(size, false); }

CNyBitFlag::CNyBitFlag(const CNyBitFlag& other) {
  // When memory runs out the copy stays empty rather than half made.
  if (Resize(other.m_iSize, false) && m_iSize > 0) {
    std::memcpy(m_pFlags, other.m_pFlags, m_iSize);
  }
}

CNyBitFlag::~CNyBitFlag() { delete[] m_pFlags; }

// ---- Size -------------------------------------------------------------------------

unsigned int CNyBitFlag::GetSize() const { return m_iSize; }

bool CNyBitFlag::Resize(unsigned int size, bool value) {
  if (size > m_iCapacity) {
    // Counted in 64 bits: doubling past 2^31 would wrap a 32-bit count. The
    // capacity then stops at the largest size a 32-bit count can describe.
    unsigned long long capacity = m_iCapacity != 0 ? m_iCapacity : kFirstCapacity;
    while (capacity < size) capacity *= 2;
    if (capacity > UINT_MAX) capacity = UINT_MAX;

    bool* flags = new (std::nothrow) bool[static_cast<size_t>(capacity)];
    if (flags == nullptr) return false;
    if (m_iSize > 0) std::memcpy(flags, m_pFlags, m_iSize);
    std::fill(flags + m_iSize, flags + capacity, value);
    delete[] m_pFlags;
    m_pFlags = flags;
    m_iCapacity = static_cast<unsigned int>(capacity);
  } else if (size > m_iSize) {
    // Bytes between the size and the capacity hold whatever an earlier, larger
    // size left there.
    std::fill(m_pFlags + m_iSize, m_pFlags + size, value);
  }
  m_iSize = size;
  return true;
}

// ---- Access -----------------------------------------------------------------------

bool CNyBitFlag::operator[](const unsigned int& index) const {
  return index < m_iSize ? m_pFlags[index] : false;
}

bool& CNyBitFlag::operator[](const unsigned int& index) {
  if (index >= m_iSize) {
    // Flag UINT_MAX would need a size past the 32-bit count, and memory may run
    // out: then the caller writes into a per-thread scratch byte, cleared on
    // every such call, so nothing outside the storage is touched and the write
    // is lost.
    if (index == UINT_MAX || !Resize(index + 1, false)) {
      thread_local bool scratch = false;
      scratch = false;
      return scratch;
    }
  }
  return m_pFlags[index];
}

// ---- Assignment -------------------------------------------------------------------

CNyBitFlag CNyBitFlag::operator=(const CNyBitFlag& other) {
  if (this != &other) {
    if (m_iSize < other.m_iSize) Resize(other.m_iSize, false);
    // Bounded by this size too, in case the growth above ran out of memory.
    unsigned int count = std::min(m_iSize, other.m_iSize);
    if (count > 0) std::memcpy(m_pFlags, other.m_pFlags, count);
  }
  return *this;
}

CNyBitFlag CNyBitFlag::operator=(const unsigned int& value) {
  // Read once: `value` may be this set's own size, which the growth changes.
  const unsigned int bits = value;
  const unsigned int significant = SignificantBits(bits);
  if (significant > m_iSize) Resize(significant, false);
  if (m_iSize > 0) std::fill(m_pFlags, m_pFlags + m_iSize, false);
  const unsigned int count = std::min(significant, m_iSize);
  for (unsigned int j = 0; j < count; ++j) m_pFlags[j] = ((bits >> j) & 1u) != 0;
  return *this;
}

// ---- Operators --------------------------------------------------------------------

CNyBitFlag CNyBitFlag::operator~() const {
  CNyBitFlag result(*this);
  for (unsigned int i = 0; i < result.m_iSize; ++i) result.m_pFlags[i] = !result.m_pFlags[i];
  return result;
}

CNyBitFlag CNyBitFlag::operator&(const CNyBitFlag& other) const {
  CNyBitFlag result(std::max(m_iSize, other.m_iSize));
  for (unsigned int i = 0; i < result.m_iSize; ++i) result.m_pFlags[i] = (*this)[i] && other[i];
  return result;
}

CNyBitFlag CNyBitFlag::operator|(const CNyBitFlag& other) const {
  CNyBitFlag result(std::max(m_iSize, other.m_iSize));
  for (unsigned int i = 0; i < result.m_iSize; ++i) result.m_pFlags[i] = (*this)[i] || other[i];
  return result;
}

CNyBitFlag CNyBitFlag::operator&=(const CNyBitFlag& other) {
  *this = *this & other;
  return *this;
}

CNyBitFlag CNyBitFlag::operator|=(const CNyBitFlag& other) {
  *this = *this | other;
  return *this;
}

CNyBitFlag CNyBitFlag::operator<<(const unsigned int& n) const {
  if (n == 0) return *this;
  // A set whose size would pass the 32-bit count cannot be made: the result is
  // then an empty set, as it is when memory runs out.
  if (n > UINT_MAX - m_iSize) return CNyBitFlag();
  CNyBitFlag result(m_iSize + n);
  if (result.m_iSize == m_iSize + n && m_iSize > 0) std::memcpy(result.m_pFlags + n, m_pFlags, m_iSize);
  return result;
}

CNyBitFlag CNyBitFlag::operator>>(const unsigned int& n) const {
  if (n == 0) return *this;
  CNyBitFlag result(m_iSize);
  if (n < result.m_iSize) std::memcpy(result.m_pFlags, m_pFlags + n, result.m_iSize - n);
  return result;
}

bool CNyBitFlag::operator==(const CNyBitFlag& other) const {
  const unsigned int size = std::max(m_iSize, other.m_iSize);
  for (unsigned int i = 0; i < size; ++i) {
    if ((*this)[i] != other[i]) return false;
  }
  return true;
}

bool CNyBitFlag::operator!=(const CNyBitFlag& other) const { return !(*this == other); }

// RAII ownership of Win32 handles: one template, one alias per close function.
// Both null and INVALID_HANDLE_VALUE count as "no handle", because Win32 uses
// either one as the failure value depending on the call.
#pragma once

#include "base/NyWindows.h"

namespace ny {

template <typename Traits>
class ScopedHandle {
 public:
  using handle_type = typename Traits::handle_type;

  ScopedHandle() = default;
  explicit ScopedHandle(handle_type h) : m_h(h) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : m_h(other.Take()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Take());
    return *this;
  }

  bool IsValid() const { return Traits::IsValid(m_h); }
  explicit operator bool() const { return IsValid(); }
  handle_type Get() const { return m_h; }

  // Gives the handle up without closing it.
  [[nodiscard]] handle_type Take() {
    handle_type h = m_h;
    m_h = Traits::Invalid();
    return h;
  }

  // Closes the held handle (keeping the caller's last error) and holds `h`.
  void Reset(handle_type h = Traits::Invalid()) {
    if (IsValid()) {
      DWORD err = ::GetLastError();
      Traits::Close(m_h);
      ::SetLastError(err);
    }
    m_h = h;
  }

 private:
  handle_type m_h = Traits::Invalid();
};

struct KernelHandleTraits {
  using handle_type = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using handle_type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};

struct ModuleHandleTraits {
  using handle_type = HMODULE;
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { ::FreeLibrary(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
// A module loaded with LoadLibrary, freed once.
using ScopedModule = ScopedHandle<ModuleHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;

}  // namespace ny

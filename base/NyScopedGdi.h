// RAII for GDI: owned objects and device contexts, and a guard that puts a
// device context's previous object back. Header-only, Win32 only.
#pragma once

#include "base/NyWindows.h"

#include "base/NyScopedHandle.h"

namespace ny {

// Selects `object` into `dc` for the guard's lifetime and puts the object it
// replaced back at the end, so that a DC never outlives a selection made on
// it and an object is never deleted while still selected.
// Not for regions: a region is copied into the DC (SelectClipRgn), and
// SelectObject then answers the region's complexity, not a previous object.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (IsSelected()) ::SelectObject(m_dc, m_old);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  // False when the selection failed (null DC or object, wrong kind of DC);
  // nothing is put back then.
  bool IsSelected() const { return m_old != nullptr && m_old != HGDI_ERROR; }
  // The object that was selected before.
  HGDIOBJ Old() const { return m_old; }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// A pen, brush, font, bitmap or region of our own, deleted once. Stock
// objects may be held too: DeleteObject ignores them.
template <typename T>
struct GdiObjectTraits {
  using handle_type = T;
  static T Invalid() { return nullptr; }
  static bool IsValid(T h) { return h != nullptr; }
  static void Close(T h) { ::DeleteObject(h); }
};

template <typename T>
using ScopedGdiObject = ScopedHandle<GdiObjectTraits<T>>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;

// A device context made with CreateCompatibleDC or CreateDC (DeleteDC).
struct CreatedDCTraits {
  using handle_type = HDC;
  static HDC Invalid() { return nullptr; }
  static bool IsValid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { ::DeleteDC(h); }
};
using ScopedCreatedDC = ScopedHandle<CreatedDCTraits>;

// A window's (or, for a null window, the screen's) device context from GetDC,
// given back with ReleaseDC: such a DC must never be deleted.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
  ~ScopedGetDC() {
    if (m_dc) ::ReleaseDC(m_window, m_dc);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;

  HDC Get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }

 private:
  HWND m_window;
  HDC m_dc;
};

}  // namespace ny

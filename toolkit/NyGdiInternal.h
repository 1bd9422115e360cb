// Internal to the toolkit's GDI classes (not installed): the maps from
// handles to wrapper objects behind FromHandle, and the module that bitmap
// resources are loaded from.
#pragma once

#include "base/NyWindows.h"

#include <map>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>

#include "toolkit/NyAfxObject.h"

// The module whose bitmap resource `name` CBitmap::LoadBitmap loads. It is
// the process's executable until the application's module state routes it to
// the toolkit's resource search (the module that holds a bitmap of that name).
HINSTANCE NyAfxBitmapModule(LPCTSTR name);

namespace ny_afx {

// The handles the wrappers own now (GDI objects, image lists, device
// contexts), counted at Attach and Detach; NyAfxGetLiveGdiObjectCount reads
// it.
void CountAttached(long change);

// Wrapper objects by handle, for one family of wrappers (GDI objects, device
// contexts). Traits give the handle type, the wrapper base class and how a
// bare wrapper is bound to a handle and let go of it again.
//
// Attached wrappers are process-wide, so that an object destroyed on another
// thread than the one that attached it still leaves the map.
// Temporary wrappers (made by FromHandle for a handle that no object is
// attached to) are per thread and never own their handle: they are let go of
// before they are deleted, at DeleteTemporaries or when the thread ends. There
// is one temporary per handle and class, so that CPen::FromHandle and
// CGdiObject::FromHandle on one handle each get an object of their own class.
template <typename Traits>
class HandleMap {
  using Handle = typename Traits::Handle;
  using Object = typename Traits::Object;

 public:
  // Out of memory leaves the object unmapped (FromHandle then makes a
  // temporary for its handle); it still owns the handle.
  void Attach(Handle h, Object* object) {
    std::lock_guard<std::mutex> lock(m_lock);
    try {
      m_attached[h] = object;
    } catch (const std::bad_alloc&) {
    }
  }
  // Only `object`'s own entry goes: another object may since have been
  // attached to the same handle.
  void Detach(Handle h, const Object* object) {
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_attached.find(h);
    if (it != m_attached.end() && it->second == object) m_attached.erase(it);
  }

  // The object attached to `h` when it is a T, otherwise this thread's
  // temporary T for `h`; null for a null handle (and out of memory).
  template <typename T>
  T* FromHandle(Handle h) {
    if (!h) return nullptr;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      auto it = m_attached.find(h);
      if (it != m_attached.end() && it->second->IsKindOf(RUNTIME_CLASS(T)))
        return static_cast<T*>(it->second);
    }
    try {
      Object*& temporary = Temporaries().objects[{h, RUNTIME_CLASS(T)}];
      if (!temporary) temporary = new T;
      // A temporary may have lost its handle (a caller deleted it through
      // the wrapper) and the handle value since been reused: bind it again.
      Traits::Bind(temporary, h);
      return static_cast<T*>(temporary);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }

  void DeleteTemporaries() { Temporaries().Clear(); }

 private:
  struct ThreadTemporaries {
    std::map<std::pair<Handle, const CRuntimeClass*>, Object*> objects;
    ~ThreadTemporaries() { Clear(); }
    void Clear() {
      for (auto& entry : objects) {
        if (!entry.second) continue;
        Traits::Release(entry.second);
        delete entry.second;
      }
      objects.clear();
    }
  };
  static ThreadTemporaries& Temporaries() {
    thread_local ThreadTemporaries temporaries;
    return temporaries;
  }

  std::mutex m_lock;
  std::unordered_map<Handle, Object*> m_attached;
};

}  // namespace ny_afx

// COM ownership for the shell objects: a smart pointer that releases its
// interface on every path, and a scope that balances the calling thread's
// COM initialisation. Both belong to the library's own sources only.
#pragma once

#include "base/NyWindows.h"

#include <objbase.h>

namespace ny {

// Owns one reference to a COM interface. Filled through Put() (or PutVoid()
// for the void** out-parameters of CoCreateInstance and QueryInterface),
// which first releases what was held, so that a failed call that leaves its
// out-parameter null leaves the pointer empty.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      m_p = other.m_p;
      other.m_p = nullptr;
    }
    return *this;
  }

  Interface* Get() const { return m_p; }
  Interface* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

  Interface** Put() {
    Reset();
    return &m_p;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() {
    if (m_p) {
      Interface* p = m_p;
      m_p = nullptr;  // cleared first: Release may run code that looks at us
      p->Release();
    }
  }

 private:
  Interface* m_p = nullptr;
};

// Initialises COM for the calling thread in the single-threaded apartment and
// undoes exactly that. S_OK (first initialisation) and S_FALSE (the thread
// was already in an apartment of this kind) both took a reference that needs
// its CoUninitialize; a failure, RPC_E_CHANGED_MODE above all (the thread is
// in the multithreaded apartment), took none, and uninitialising then would
// tear down the caller's own COM. Declare it before every ComPtr of the
// scope: interfaces must be released while COM is still up.
class ScopedComInit {
 public:
  ScopedComInit() : m_hr(::CoInitialize(nullptr)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

  bool Succeeded() const { return SUCCEEDED(m_hr); }

 private:
  HRESULT m_hr;
};

}  // namespace ny

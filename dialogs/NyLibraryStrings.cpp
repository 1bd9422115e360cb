#include "dialogs/NyLibraryStrings.h"

#include "base/NyLibraryModule.h"

namespace ny::dialogs {

CStringW LibraryStringW(UINT id) {
  // With a length of 0 the loader hands out a pointer into the resource
  // itself, so texts of any length come whole.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(ny::LibraryModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? CStringW(std::wstring(text, static_cast<size_t>(length)).c_str()) : CStringW();
}

CString LibraryString(UINT id, const char* fallback) {
  const CStringW text = LibraryStringW(id);
  return text.IsEmpty() ? CString(fallback) : CString(text);
}

}  // namespace ny::dialogs

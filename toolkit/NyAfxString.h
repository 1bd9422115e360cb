// Toolkit string stand-in: MFC's CStringT shape over std::basic_string.
// CString is the narrow string in the system ANSI code page; CStringW is its
// UTF-16 twin, and constructing one from the other converts through the ANSI
// code page, as MFC's MBCS build does.
#pragma once

#include <mbstring.h>
#include <stdio.h>  // the runtime's _vscprintf family

#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <string>

#include "NyApi.h"

// Conversions through the system ANSI code page (CP_ACP); unconvertible
// characters become the code page's default character.
NY_API std::wstring NyAfxAnsiToWide(const char* text, size_t length);
NY_API std::string NyAfxWideToAnsi(const wchar_t* text, size_t length);

namespace ny_afx {

template <typename T>
struct StringTraits;

template <>
struct StringTraits<char> {
  using Other = wchar_t;
  static size_t Length(const char* s) { return std::strlen(s); }
  // MFC's MBCS strings compare multibyte-aware, in the CRT's multibyte code page.
  static int CompareNoCase(const char* a, const char* b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
  }
  static std::string Convert(const wchar_t* s) { return NyAfxWideToAnsi(s, std::wcslen(s)); }
  // The Microsoft runtime's own formatter (not mingw's C99 one), so that the
  // formats mean what they mean to an MSVC host.
  static int VCount(const char* fmt, va_list args) { return _vscprintf(fmt, args); }
  static int VFormat(char* buf, size_t size, const char* fmt, va_list args) {
    return _vsnprintf(buf, size, fmt, args);
  }
};

template <>
struct StringTraits<wchar_t> {
  using Other = char;
  static size_t Length(const wchar_t* s) { return std::wcslen(s); }
  static int CompareNoCase(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b); }
  static std::wstring Convert(const char* s) { return NyAfxAnsiToWide(s, std::strlen(s)); }
  // %s takes a wide text here, as in the Microsoft runtime.
  static int VCount(const wchar_t* fmt, va_list args) { return _vscwprintf(fmt, args); }
  static int VFormat(wchar_t* buf, size_t size, const wchar_t* fmt, va_list args) {
    return _vsnwprintf(buf, size, fmt, args);
  }
};

}  // namespace ny_afx

template <typename T>
class CStringT {
  using Traits = ny_afx::StringTraits<T>;
  using OtherChar = typename Traits::Other;

 public:
  using XCHAR = T;
  using PXSTR = T*;
  using PCXSTR = const T*;

  // Constructors: a null pointer gives the empty text.
  CStringT() = default;
  CStringT(const T* text) {
    if (text) m_str.assign(text);
  }
  CStringT(const T* text, int length) {
    if (text && length > 0) m_str.assign(text, length);
  }
  explicit CStringT(T ch, int repeat = 1) {
    if (repeat > 0) m_str.assign(repeat, ch);
  }
  // Converting constructors between narrow (ANSI code page) and UTF-16 text.
  CStringT(const OtherChar* text) {
    if (text) m_str = Traits::Convert(text);
  }
  CStringT(const CStringT<OtherChar>& other) : CStringT(other.GetString()) {}

  CStringT& operator=(const T* text) {
    if (text)
      m_str.assign(text);
    else
      m_str.clear();
    return *this;
  }
  CStringT& operator=(const OtherChar* text) { return *this = CStringT(text); }

  // Access.
  operator PCXSTR() const { return m_str.c_str(); }
  PCXSTR GetString() const { return m_str.c_str(); }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  T GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
  T operator[](int index) const { return GetAt(index); }
  void SetAt(int index, T ch) { m_str.at(static_cast<size_t>(index)) = ch; }

  // Writable buffer of at least `minLength` characters plus terminator; the
  // length is fixed again by ReleaseBuffer (-1: up to the first terminator).
  PXSTR GetBuffer(int minLength = 0) {
    if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength));
    return &m_str[0];
  }
  void ReleaseBuffer(int newLength = -1) {
    if (newLength < 0) newLength = static_cast<int>(Traits::Length(m_str.c_str()));
    if (newLength < GetLength()) m_str.resize(static_cast<size_t>(newLength));
  }

  // printf-style formatting with the C runtime's formats.
  void Format(PCXSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
  }
  // The arguments may point into this string: format into a buffer of its
  // own first.
  void FormatV(PCXSTR format, va_list args) {
    std::basic_string<T> result;
    va_list copy;
    va_copy(copy, args);
    int n = format ? Traits::VCount(format, copy) : 0;
    va_end(copy);
    if (n > 0) {  // otherwise an empty result, or a format the runtime refuses
      result.resize(static_cast<size_t>(n) + 1);  // with room for the terminator
      va_copy(copy, args);
      Traits::VFormat(&result[0], result.size(), format, copy);
      va_end(copy);
      result.resize(static_cast<size_t>(n));
    }
    m_str = std::move(result);
  }

  // Parts: counts are clamped to the text, as MFC does.
  CStringT Left(int count) const { return CStringT(m_str.substr(0, Clamp(count))); }
  CStringT Right(int count) const {
    size_t n = Clamp(count);
    return CStringT(m_str.substr(m_str.size() - n));
  }
  CStringT Mid(int first) const { return Mid(first, GetLength()); }
  CStringT Mid(int first, int count) const {
    size_t start = Clamp(first);
    return CStringT(m_str.substr(start, Clamp(count)));
  }

  int Compare(PCXSTR other) const { return m_str.compare(other ? other : EmptyText()); }
  int CompareNoCase(PCXSTR other) const {
    return Traits::CompareNoCase(m_str.c_str(), other ? other : EmptyText());
  }

  CStringT& operator+=(const CStringT& s) {
    m_str += s.m_str;
    return *this;
  }
  CStringT& operator+=(PCXSTR s) {
    if (s) m_str += s;
    return *this;
  }
  CStringT& operator+=(T ch) {
    m_str += ch;
    return *this;
  }
  friend CStringT operator+(CStringT a, const CStringT& b) { return a += b; }
  friend CStringT operator+(CStringT a, PCXSTR b) { return a += b; }
  friend CStringT operator+(PCXSTR a, const CStringT& b) { return CStringT(a) += b; }

  friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CStringT& a, PCXSTR b) { return a.Compare(b) == 0; }
  friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
  friend bool operator!=(const CStringT& a, PCXSTR b) { return !(a == b); }
  friend bool operator<(const CStringT& a, const CStringT& b) { return a.m_str < b.m_str; }

 private:
  explicit CStringT(std::basic_string<T> s) : m_str(std::move(s)) {}
  size_t Clamp(int n) const {
    if (n < 0) return 0;
    return static_cast<size_t>(n) > m_str.size() ? m_str.size() : static_cast<size_t>(n);
  }
  static PCXSTR EmptyText() {
    static const T empty[1] = {T(0)};
    return empty;
  }

  std::basic_string<T> m_str;
};

using CStringA = CStringT<char>;
using CStringW = CStringT<wchar_t>;
using CString = CStringA;

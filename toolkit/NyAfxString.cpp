#include "toolkit/NyAfxString.h"

#include "base/NyWindows.h"

#include <climits>

std::wstring NyAfxAnsiToWide(const char* text, size_t length) {
  if (!text || length == 0 || length > INT_MAX) return std::wstring();
  int n = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &out[0], n);
  return out;
}

std::string NyAfxWideToAnsi(const wchar_t* text, size_t length) {
  if (!text || length == 0 || length > INT_MAX) return std::string();
  int n = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
  return out;
}

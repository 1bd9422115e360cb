// What the demo's parts share: texts shown on a UTF-8 terminal.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "DoRor.h"

namespace demo {

inline std::string ToTerminal(const wchar_t* wide) {
  if (!wide) return "(null)";
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? static_cast<size_t>(n) : 1, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], n, nullptr, nullptr);
  utf8.resize(std::strlen(utf8.c_str()));
  return utf8;
}

// A narrow text in the ANSI code page.
inline std::string ToTerminal(const char* text) {
  if (!text) return "(null)";
  return ToTerminal(NyAfxAnsiToWide(text, std::strlen(text)).c_str());
}

// The dialog framework at work (demo_dialogs.cpp).
void ShowNyDialogs();
// The text-input dialog replayed in the language of the user interface;
// `make demo` runs it once per language.
int TextInputDemo();
// The owner-drawn controls at work (demo_controls.cpp).
void ShowNyControls();

}  // namespace demo

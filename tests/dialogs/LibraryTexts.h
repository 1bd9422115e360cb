// The library's own texts as the run's user-interface language should give
// them: Japanese under code page 932, German under NY_LOCALE=de_*, else US
// English.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

#include "NyTestSupport.h"

namespace nytest {

inline LANGID ExpectedUiLanguage() {
  const char* locale = std::getenv("NY_LOCALE");
  return locale && std::string(locale).rfind("de_", 0) == 0 ? LANG_GERMAN
         : IsCodePage932()                                  ? LANG_JAPANESE
                                                            : LANG_ENGLISH;
}

// Texts 1 to 4 of the expected language.
inline const wchar_t* ExpectedLibraryText(UINT id) {
  static const wchar_t* const english[] = {L"Select Folder", L"OK", L"Cancel", L"No Text"};
  static const wchar_t* const german[] = {L"Bitte Ordner w\u00e4hlen", L"OK", L"Abbrechen", L"Kein Text"};
  static const wchar_t* const japanese[] = {
      L"\u30d5\u30a9\u30eb\u30c0\u3092\u9078\u629e\u3057\u3066\u304f\u3060\u3055\u3044", L"OK",
      L"\uff77\uff6c\uff9d\uff7e\uff99", L"\u6587\u5b57\u5217\u304c\u3042\u308a\u307e\u305b\u3093"};
  const LANGID language = ExpectedUiLanguage();
  const wchar_t* const* table = language == LANG_GERMAN     ? german
                                : language == LANG_JAPANESE ? japanese
                                                            : english;
  return id >= 1 && id <= 4 ? table[id - 1] : L"";
}

}  // namespace nytest

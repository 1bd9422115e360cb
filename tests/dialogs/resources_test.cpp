// The library's own dialog texts: the loader picks the language of the user
// interface, which Wine takes from the user's locale. The suite runs this
// under Japanese, US English and (label "ui-language") German.
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

const bool ny_resource_labels = nytest::AddLabel("codepage", "LibraryResources.*") &&
                                nytest::AddLabel("ui-language", "LibraryResources.*");

HMODULE Library() { return ::GetModuleHandleA("DoRor.dll"); }

std::wstring String(UINT id) {
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(Library(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace

TEST(LibraryResources, StringsInTheLanguageOfTheUserInterface) {
  const struct {
    LANGID language;
    const wchar_t* texts[4];
  } tables[] = {
      {LANG_ENGLISH, {L"Select Folder", L"OK", L"Cancel", L"No Text"}},
      {LANG_GERMAN, {L"Bitte Ordner w\u00e4hlen", L"OK", L"Abbrechen", L"Kein Text"}},
      {LANG_JAPANESE,
       {L"\u30d5\u30a9\u30eb\u30c0\u3092\u9078\u629e\u3057\u3066\u304f\u3060\u3055\u3044", L"OK",
        L"\uff77\uff6c\uff9d\uff7e\uff99", L"\u6587\u5b57\u5217\u304c\u3042\u308a\u307e\u305b\u3093"}},
  };
  const LANGID language = PRIMARYLANGID(::GetUserDefaultUILanguage());
  const auto* table = std::find_if(std::begin(tables), std::end(tables),
                                   [&](const auto& t) { return t.language == language; });
  ASSERT_NE(table, std::end(tables)) << "user interface language " << language;
  // The run's locale decides which table is expected: each run checks one.
  const char* locale = std::getenv("NY_LOCALE");
  const LANGID expected = locale && std::string(locale).rfind("de_", 0) == 0 ? LANG_GERMAN
                          : nytest::IsCodePage932()                          ? LANG_JAPANESE
                                                                             : LANG_ENGLISH;
  EXPECT_EQ(language, expected);
  for (UINT id = 1; id <= 4; ++id) EXPECT_EQ(String(id), table->texts[id - 1]) << id;
  EXPECT_TRUE(String(5).empty());
}

TEST(LibraryResources, TextInputTemplateInJapanese) {
  HRSRC found = ::FindResourceExA(Library(), RT_DIALOG, MAKEINTRESOURCEA(159),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(found, nullptr);
  // DLGTEMPLATEEX: version 1, signature 0xFFFF, then the style, the item
  // count and the size.
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(Library(), found)));
  ASSERT_NE(bytes, nullptr);
  const auto word = [bytes](size_t at) { return static_cast<WORD>(bytes[at] | (bytes[at + 1] << 8)); };
  EXPECT_EQ(word(0), 1);
  EXPECT_EQ(word(2), 0xFFFF);
  const DWORD style = word(12) | (static_cast<DWORD>(word(14)) << 16);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  EXPECT_EQ(word(16), 4);  // controls
  EXPECT_EQ(word(22), 135);
  EXPECT_EQ(word(24), 49);
}

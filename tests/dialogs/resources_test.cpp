// The library's own dialog texts: the loader picks the language of the user
// interface, which Wine takes from the user's locale. The suite runs this
// under Japanese, US English and (label "ui-language") German.
#include <string>

#include "DoRor.h"
#include "LibraryTexts.h"
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
  // The run's locale decides which language is expected: each run checks one.
  EXPECT_EQ(PRIMARYLANGID(::GetUserDefaultUILanguage()), nytest::ExpectedUiLanguage());
  for (UINT id = 1; id <= 4; ++id) EXPECT_EQ(String(id), nytest::ExpectedLibraryText(id)) << id;
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

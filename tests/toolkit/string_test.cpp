// CString / CStringW as the library uses them. Conversions and case folding go
// through the ANSI code page, so that test runs under 932 and under 1252.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DoRor.h"

TEST(String, NullTextIsEmptyAndCopiesAreIndependent) {
  const char* none = nullptr;
  EXPECT_TRUE(CString(none).IsEmpty());
  EXPECT_TRUE(CString(none, 4).IsEmpty());
  EXPECT_TRUE(CStringW(none).IsEmpty());
  CString s("kept");
  s = none;
  s += none;
  EXPECT_STREQ(s, "");
  EXPECT_EQ(s.Compare(nullptr), 0);

  CString a("abc");
  CString b = a;
  b.SetAt(0, 'X');
  b += "d";
  EXPECT_STREQ(a, "abc");
  EXPECT_STREQ(b, "Xbcd");
  a = a.GetString() + 1;  // assigned from its own buffer
  a += a;
  EXPECT_STREQ(a, "bcbc");
}

TEST(String, FormatReplacesTheTextWhateverItsLength) {
  CString s("old text");
  s.Format("%d-%s-%05.1f", 42, "ab", 3.14159);
  EXPECT_STREQ(s, "42-ab-003.1");
  const std::string big(1000, 'x');  // longer than a first formatting attempt
  s.Format("[%s]", big.c_str());
  EXPECT_EQ(std::string(s), "[" + big + "]");

  // In a wide format %s takes a wide string, as in the Microsoft runtime that
  // MFC hosts are built with.
  CStringW w;
  w.Format(L"%d:%s", 7, L"ab");
  EXPECT_STREQ(w, L"7:ab");
}

TEST(String, PartsClampCountsAndCompareNoCaseIgnoresCase) {
  const CString s("abcdef");
  EXPECT_STREQ(s.Left(2), "ab");
  EXPECT_STREQ(s.Left(100), "abcdef");
  EXPECT_STREQ(s.Left(-1), "");
  EXPECT_STREQ(s.Right(2), "ef");
  EXPECT_STREQ(s.Right(100), "abcdef");
  EXPECT_STREQ(s.Right(-3), "");
  EXPECT_STREQ(s.Mid(2), "cdef");
  EXPECT_STREQ(s.Mid(4, 100), "ef");
  EXPECT_STREQ(s.Mid(-2, 3), "abc");
  EXPECT_STREQ(s.Mid(100, 2), "");
  EXPECT_STREQ(s.Mid(1, -1), "");

  EXPECT_EQ(CString("Hello.INI").CompareNoCase("hello.ini"), 0);
  EXPECT_LT(CString("apple").CompareNoCase("BANANA"), 0);
  EXPECT_GT(CString("ab").CompareNoCase("A"), 0);
  EXPECT_EQ(CStringW(L"Hello").CompareNoCase(L"hELLO"), 0);
}

TEST(String, GetBufferKeepsTheTextAndReleaseBufferSetsTheLength) {
  CString s("abc");
  char* p = s.GetBuffer(MAX_PATH);
  EXPECT_STREQ(p, "abc");
  const DWORD n = ::GetTempPathA(MAX_PATH, p);
  s.ReleaseBuffer();
  ASSERT_GT(n, 0u);
  EXPECT_EQ(s.GetLength(), static_cast<int>(n));

  std::strcpy(s.GetBuffer(0), "xyz");
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s, "xy");
}

TEST(String, CodePageConversionsAndCaseFolding) {
  const CString narrow(CStringW(L"a\u8868b"));  // 表 between two letters
  const CString sjis(
      "a\x95\x5C"
      "b");
  if (::GetACP() == 932) {
    EXPECT_STREQ(narrow,
                 "a\x95\x5C"
                 "b");
    EXPECT_STREQ(CStringW(narrow), L"a\u8868b");
  } else {
    ASSERT_EQ(::GetACP(), 1252u);
    EXPECT_STREQ(narrow, "a?b");
    EXPECT_STREQ(CStringW(sjis), L"a\u2022\\b");  // a bullet and a backslash
  }

  // Case folding must not reach into a double-byte character: under 932,
  // 0x83 0x61 and 0x83 0x41 are two different katakana; under 1252 they are
  // "ƒa" and "ƒA".
  const int cmp = CString("\x83\x61").CompareNoCase("\x83\x41");
  if (::GetACP() == 932) {
    EXPECT_NE(cmp, 0);
  } else {
    EXPECT_EQ(cmp, 0);
  }
}

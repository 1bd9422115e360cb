// CString / CStringW as the library uses them: null input, value semantics,
// formatting, clamped parts, case-blind comparison, the writable buffer, and
// conversion through the ANSI code page.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "DoRor.h"

TEST(String, NullTextIsEmptyAndCopiesAreIndependent) {
  EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_TRUE(CString(static_cast<const char*>(nullptr), 4).IsEmpty());
  EXPECT_TRUE(CStringW(static_cast<const char*>(nullptr)).IsEmpty());
  CString s("kept");
  s = static_cast<const char*>(nullptr);
  EXPECT_STREQ(s, "");
  s += static_cast<const char*>(nullptr);
  EXPECT_EQ(s.Compare(nullptr), 0);

  CString a("abc");
  CString b = a;
  b.SetAt(0, 'X');
  b += "d";
  EXPECT_STREQ(a, "abc");
  EXPECT_STREQ(b, "Xbcd");
  // Assigning from the string's own buffer, and appending to itself.
  a = a.GetString() + 1;
  EXPECT_STREQ(a, "bc");
  a += a;
  EXPECT_STREQ(a, "bcbc");
}

TEST(String, FormatReplacesTheTextWhateverItsLength) {
  CString s("old text");
  s.Format("%d-%s-%05.1f", 42, "ab", 3.14159);
  EXPECT_STREQ(s, "42-ab-003.1");
  // Longer than the first formatting attempt.
  const std::string big(1000, 'x');
  s.Format("[%s]", big.c_str());
  EXPECT_EQ(s.GetLength(), 1002);
  EXPECT_EQ(std::string(s), "[" + big + "]");

  // In a wide format %s takes a wide string, as with the Microsoft runtime
  // that MFC hosts are built with.
  CStringW w;
  w.Format(L"%d:%s", 7, L"ab");
  EXPECT_STREQ(w, L"7:ab");
}

TEST(String, PartsClampOutOfRangeCounts) {
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
  EXPECT_STREQ(s.Mid(6), "");
  EXPECT_STREQ(s.Mid(100, 2), "");
  EXPECT_STREQ(s.Mid(1, -1), "");
}

TEST(String, CompareNoCaseOrdersIgnoringCase) {
  EXPECT_EQ(CString("Hello.INI").CompareNoCase("hello.ini"), 0);
  EXPECT_LT(CString("apple").CompareNoCase("BANANA"), 0);
  EXPECT_GT(CString("b").CompareNoCase("A"), 0);
  EXPECT_GT(CString("ab").CompareNoCase("A"), 0);
  EXPECT_EQ(CStringW(L"Hello").CompareNoCase(L"hELLO"), 0);
}

TEST(String, GetBufferKeepsTheTextAndReleaseBufferSetsTheLength) {
  CString s("abc");
  char* p = s.GetBuffer(MAX_PATH);
  EXPECT_STREQ(p, "abc");
  DWORD n = ::GetTempPathA(MAX_PATH, p);
  s.ReleaseBuffer();
  ASSERT_GT(n, 0u);
  EXPECT_EQ(s.GetLength(), static_cast<int>(n));
  EXPECT_STREQ(s.Right(1), "\\");

  p = s.GetBuffer(0);
  std::strcpy(p, "xyz");
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s, "xy");
  EXPECT_EQ(s.GetLength(), 2);
}

// Conversions go through the ANSI code page, so their results differ by code
// page; the same test runs under 932 and under 1252.
TEST(String, CodePageConversions) {
  const CStringW wide(L"a\u8868b");  // 表 between two ASCII letters
  const CString narrow(wide);
  const CString sjis("a\x95\x5C" "b");
  if (::GetACP() == 932) {
    EXPECT_EQ(narrow.GetLength(), 4);
    EXPECT_STREQ(narrow, "a\x95\x5C" "b");
    EXPECT_STREQ(CStringW(narrow), L"a\u8868b");
    EXPECT_EQ(CStringW(sjis).GetLength(), 3);
  } else {
    ASSERT_EQ(::GetACP(), 1252u);
    EXPECT_STREQ(narrow, "a?b");
    // Under 1252 the same two bytes are a bullet and a backslash.
    EXPECT_STREQ(CStringW(sjis), L"a\u2022\\b");
  }
  CStringW assigned;
  assigned = "plain";
  EXPECT_STREQ(assigned, L"plain");

  // Case folding must not reach into double-byte characters: under 932,
  // 0x83 0x61 and 0x83 0x41 are two different katakana, not "a" and "A"
  // behind the same lead byte. Under 1252 they are "ƒa" and "ƒA".
  const int cmp = CString("\x83\x61").CompareNoCase("\x83\x41");
  if (::GetACP() == 932) {
    EXPECT_NE(cmp, 0);
  } else {
    EXPECT_EQ(cmp, 0);
  }
}

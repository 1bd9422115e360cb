// CString / CStringW as the library uses them. Conversions and case folding go
// through the ANSI code page, so one test runs under 932 and under 1252.
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

TEST(String, ValueSemanticsFormatAndParts) {
  CString a(static_cast<const char*>(nullptr));
  EXPECT_TRUE(a.IsEmpty());
  a = "abcdef";
  CString b = a;
  b.SetAt(0, 'X');
  EXPECT_STREQ(a, "abcdef");
  EXPECT_STREQ(a.Left(100) + a.Right(-3) + a.Mid(4, 100) + a.Mid(-2, 1), "abcdefefa");

  const std::string big(1000, 'x');
  a.Format("%d-%s-%05.1f [%s]", 42, "ab", 3.14159, big.c_str());
  EXPECT_EQ(std::string(a), "42-ab-003.1 [" + big + "]");
  a = "xyab";
  a.Format("<%s>", a.GetString() + 2);  // an argument may be the string's own text
  EXPECT_STREQ(a, "<ab>");
  CStringW w;
  w.Format(L"%d:%s", 7, L"ab");  // %s is wide in a wide format, as in MSVC's runtime
  EXPECT_STREQ(w, L"7:ab");

  std::strcpy(a.GetBuffer(MAX_PATH), "xyz");
  a.ReleaseBuffer();
  EXPECT_EQ(a.GetLength(), 3);
}

NY_CODEPAGE_TEST(String, ConversionsAndCaseFolding) {
  const bool dbcs = nytest::IsCodePage932();
  const CString narrow(CStringW(L"a\u8868b"));  // 表 (0x95 0x5C under 932) between two letters
  EXPECT_STREQ(narrow, dbcs ? "a\x95\\b" : "a?b");
  EXPECT_STREQ(CStringW(CString("a\x95\\b")), dbcs ? L"a\u8868b" : L"a\u2022\\b");
  // 0x83 0x61 and 0x83 0x41 are two katakana under 932, "ƒa" and "ƒA" under 1252.
  EXPECT_EQ(CString("\x83\x61").CompareNoCase("\x83\x41") == 0, !dbcs);
  EXPECT_EQ(CString("Hello.INI").CompareNoCase("hello.ini"), 0);
}

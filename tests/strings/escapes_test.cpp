// Backslash escapes of string-pool values.
#include <string>

#include "NyTestSupport.h"
#include "strings/NyStringEscapes.h"

namespace {

std::string Resolve(const std::string& value, size_t size = 1024) {
  std::string out(size, '#');
  ny::strings::ResolveEscapes(value.c_str(), &out[0], size);
  return out.c_str();
}

}  // namespace

TEST(StringEscapes, Rules) {
  EXPECT_EQ(Resolve("a\\tb\\\\c\\nd"), "a\tb\\c\nd");
  EXPECT_EQ(Resolve("\\r\\x\\\""), "\rx\"");
  EXPECT_EQ(Resolve("lone\\"), "lone");
  EXPECT_EQ(Resolve("cut\\0here"), "cut");
  EXPECT_EQ(Resolve(""), "");
  EXPECT_EQ(Resolve("abcdef", 4), "abc");
  EXPECT_EQ(Resolve(std::string(1023, 'v')), std::string(1023, 'v'));
}

// 0x95 0x5C is one character under 932, whose second byte is a backslash
// under 1252; the lead byte 0x95 at the very end stays.
NY_CODEPAGE_TEST(StringEscapes, DoubleByteCharacters) {
  if (nytest::IsCodePage932()) {
    EXPECT_EQ(Resolve("\x95\x5Cn"), "\x95\x5Cn");
    EXPECT_EQ(Resolve("\\\x95\x5C"), "\x95\x5C");
    EXPECT_EQ(Resolve("ab\x95"), "ab\x95");
    EXPECT_EQ(Resolve("a\x95\x5C", 3), "a");  // never half a character
  } else {
    EXPECT_EQ(Resolve("\x95\x5Cn"), "\x95\n");
    EXPECT_EQ(Resolve("\\\x95\x5C"), "\x95");
  }
}

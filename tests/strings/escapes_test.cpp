// Backslash escapes of string-pool values.
#include <string>

#include "NyCoreTestSupport.h"
#include "strings/NyStringEscapes.h"

namespace {

std::string Resolve(const std::string& value, size_t size = 1024) {
  std::string out(size, '#');
  ny::strings::ResolveEscapes(value.c_str(), &out[0], size);
  return out.c_str();
}

}  // namespace

// 0x95 0x5C is one character under 932 (never cut in half), whose second byte
// is a backslash under 1252; a lead byte 0x95 at the very end stays.
NY_CODEPAGE_TEST(StringEscapes, RulesAndDoubleByteCharacters) {
  EXPECT_EQ(Resolve("a\\tb\\\\c\\nd\\r\\x\\\"") + "|" + Resolve("lone\\") + "|" + Resolve("cut\\0here") +
                "|" + Resolve("") + "|" + Resolve("abcdef", 4),
            "a\tb\\c\nd\rx\"|lone|cut||abc");
  EXPECT_EQ(Resolve(std::string(1023, 'v')), std::string(1023, 'v'));
  bool dbcs = nytest::IsCodePage932();
  EXPECT_EQ(Resolve("\x95\x5Cn"), dbcs ? "\x95\x5Cn" : "\x95\n");
  EXPECT_EQ(Resolve("\\\x95\x5C"), dbcs ? "\x95\x5C" : "\x95");
  if (dbcs)
    EXPECT_EQ(Resolve("ab\x95") + Resolve("a\x95\x5C", 3),
              "ab\x95"
              "a");
}

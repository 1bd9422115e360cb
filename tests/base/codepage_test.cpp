// The code page tables of the native build against the platform's own
// answers, for every byte and every double-byte character, so that the
// native runs of the core (sanitizers, fuzzing) exercise the logic the DLL
// runs. Under 932 and under 1252.
#include <mbctype.h>
#include <mbstring.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "NyCoreTestSupport.h"
#include "base/NyCodePage.h"
#include "base/NyCodePageTables.h"
#include "base/NyMultiByte.h"

namespace {

const unsigned kCodePage = ::GetACP();

std::string Hex(unsigned code) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", code);
  return text;
}

std::string HexBytes(const std::string& text) {
  std::string out;
  for (unsigned char c : text) out += Hex(c) + " ";
  return "[" + out + "]";
}

// Without a lead byte right before the terminator (a character the runtime
// and we are free to read differently).
bool WellFormed(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (::IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[i])) && ++i == text.size()) return false;
  }
  return true;
}

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

NY_CODEPAGE_TEST(CodePageTables, EveryByteAsThePlatformAnswers) {
  ASSERT_TRUE(kCodePage == 932 || kCodePage == 1252) << kCodePage;
  EXPECT_EQ(ny::cp::CodePage(), kCodePage);
  std::string wrong;
  for (unsigned c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    if (ny::cp::tables::IsLeadByte(kCodePage, b) != (::IsDBCSLeadByteEx(CP_ACP, b) != FALSE))
      wrong += " lead:" + Hex(c);
    if (ny::cp::tables::IsAlpha(kCodePage, b) != (_ismbcalpha(c) != 0)) wrong += " alpha:" + Hex(c);
    if (c >= 0x80 && !ny::cp::tables::IsLeadByte(kCodePage, b) &&
        ny::cp::tables::FoldSingle(kCodePage, b) != static_cast<unsigned char>(std::tolower(c)))
      wrong += " fold:" + Hex(c);
  }
  EXPECT_EQ(wrong, "");
}

NY_CODEPAGE_TEST(CodePageTables, EveryDoubleByteCharacterFoldsAsThePlatformFoldsIt) {
  std::string wrong;
  int folded = 0;
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    if (!::IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(lead))) continue;
    for (unsigned trail = 0x40; trail < 0x100; ++trail) {
      const unsigned code = (lead << 8) | trail;
      const unsigned expected = _mbctolower(code);
      if (ny::cp::tables::FoldDouble(kCodePage, code) != expected) wrong += " " + Hex(code);
      folded += expected != code;
    }
  }
  EXPECT_EQ(wrong, "");
  // 932 has full-width letters to fold at least; 1252 has no double bytes.
  EXPECT_EQ(folded > 0, kCodePage == 932) << folded;
}

// The comparison is ours on both builds; on well-formed texts it finds
// equal what the runtime finds equal, and in a double-byte code page it
// orders as the runtime does. (In a single-byte code page Wine's runtime
// orders bytes above 0x7F as signed chars; ours are unsigned throughout.)
NY_CODEPAGE_TEST(CodePageTables, ComparisonAgreesWithTheRuntime) {
  const std::vector<std::string> pieces = {
      "a",        "A",        "z",        "_",        "\xC0",     "\xE0",     "\x8A", "\x9A", "\x82\x60",
      "\x82\x81", "\x83\x9F", "\x83\xBF", "\x95\x5C", "\xED\x40", "\xFA\x5C", "\xA6", "\xDF", "\x81\x40"};
  const bool ordered = kCodePage == 932;
  std::mt19937 random(7);
  auto text = [&] {
    std::string t;
    for (int n = static_cast<int>(random() % 4); n > 0; --n) t += pieces[random() % pieces.size()];
    return t;
  };
  auto agree = [&](int ours, int runtime) {
    return ordered ? Sign(ours) == Sign(runtime) : (ours == 0) == (runtime == 0);
  };
  int mismatches = 0, equal = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::string a = text(), b = text();
    if (!WellFormed(a) || !WellFormed(b)) continue;
    const auto* ua = reinterpret_cast<const unsigned char*>(a.c_str());
    const auto* ub = reinterpret_cast<const unsigned char*>(b.c_str());
    const size_t n = random() % 4;
    const int ours = ny::mb::CompareNoCase(a.c_str(), b.c_str());
    equal += ours == 0 && a != b;
    if (!agree(ours, _mbsicmp(ua, ub)) ||
        !agree(ny::mb::CompareNoCaseN(a.c_str(), b.c_str(), n), _mbsnicmp(ua, ub, n))) {
      if (++mismatches <= 5) ADD_FAILURE() << HexBytes(a) << " " << HexBytes(b) << " n=" << n;
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(equal, 0);  // the table really met equal texts of different case
}

// Multibyte stepping, searching, folding and comparing on any bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "base/NyMultiByte.h"

using namespace ny::mb;

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

void CheckOne(const std::string& text) {
  const char* t = text.c_str();
  // Stepping covers the text exactly and never passes its terminator.
  size_t steps = 0;
  const char* last = nullptr;
  for (const char* p = t; *p; p += CharLength(p)) {
    FUZZ_CHECK(CharLength(p) == 1 || CharLength(p) == 2);
    last = p;
    ++steps;
  }
  FUZZ_CHECK(LastChar(t) == last);
  FUZZ_CHECK(steps <= text.size());
  // Searches find single-byte characters at character starts.
  for (const char* found : {FindLastOf(t, kSeparators), FindFirstOf(t, kSeparators), FindLastOf(t, ".")}) {
    if (!found) continue;
    FUZZ_CHECK(found >= t && found < t + text.size() && CharLength(found) == 1);
    bool atStart = false;
    for (const char* p = t; *p && p <= found; p += CharLength(p)) atStart |= p == found;
    FUZZ_CHECK(atStart);
  }
  // Folding keeps the length, is stable, and agrees with the comparison.
  std::string folded, again;
  FoldCase(t, folded);
  FUZZ_CHECK(folded.size() == text.size());
  FUZZ_CHECK(FoldsTo(t, text.size(), folded));
  FoldCase(folded.c_str(), again);
  FUZZ_CHECK(again == folded);
  FUZZ_CHECK(CompareNoCase(t, folded.c_str()) == 0);
  // A prefix folds to a prefix of the fold.
  for (size_t n = 0; n <= text.size(); n += 1 + n / 2) {
    std::string part(n, '\0');
    FoldCase(t, n, part.data());
    FUZZ_CHECK(FoldsTo(t, n, part));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string a = input.ConsumeRandomLengthString(300);
  const std::string b = input.ConsumeRandomLengthString(300);
  const std::string ta = a.substr(0, a.find('\0')), tb = b.substr(0, b.find('\0'));
  CheckOne(ta);
  CheckOne(tb);
  const int ab = CompareNoCase(ta.c_str(), tb.c_str());
  FUZZ_CHECK(Sign(ab) == -Sign(CompareNoCase(tb.c_str(), ta.c_str())));
  std::string fa, fb;
  FoldCase(ta.c_str(), fa);
  FoldCase(tb.c_str(), fb);
  FUZZ_CHECK((ab == 0) == (fa == fb));
  // Comparing a number of characters: all of them is the whole comparison,
  // and equality over n characters holds over fewer.
  const size_t n = input.ConsumeIntegralInRange<size_t>(0, 310);
  const int abn = CompareNoCaseN(ta.c_str(), tb.c_str(), n);
  if (n >= ta.size() + 1 && n >= tb.size() + 1) FUZZ_CHECK(Sign(abn) == Sign(ab));
  if (abn == 0 && n > 0) FUZZ_CHECK(CompareNoCaseN(ta.c_str(), tb.c_str(), n - 1) == 0);
  FUZZ_CHECK(CompareNoCase(nullptr, "") == 0 && CompareNoCaseN(ta.c_str(), nullptr, 0) == 0);
  return 0;
}

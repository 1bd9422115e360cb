// Composing and splitting command lines, and the round trip through our split,
// CommandLineToArgvW and a real child's argument vector.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ProcessTestSupport.h"

using Elements = std::vector<std::string>;

namespace {

NyCommandLine Line(const Elements& elements, bool escape = true) {
  NyCommandLine line(elements[0].c_str());
  for (size_t i = 1; i < elements.size(); ++i) line.AddArgument(elements[i].c_str());
  line.SetEscapeChars(escape);
  return line;
}

std::string Compose(const Elements& elements, bool escape = true) {
  return Line(elements, escape).ToString().GetString();
}

Elements Split(const std::string& text) {
  return nytest::Strings(NyCommandLine::SplitAndUnescapeCommandLine(CString(text.c_str())));
}

// ASCII only, so widening and narrowing byte by byte is exact.
Elements PlatformSplit(const std::string& text) {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(std::wstring(text.begin(), text.end()).c_str(), &count);
  Elements out;
  for (int i = 0; args && i < count; ++i) out.emplace_back(args[i], args[i] + wcslen(args[i]));
  ::LocalFree(args);
  return out;
}

// Random non-empty elements over the characters the quoting rules care about.
Elements Random(std::mt19937& random, size_t count) {
  static const char alphabet[] = "ab \t\"\\\\\\-.";
  Elements out(count);
  for (std::string& text : out)
    for (size_t n = 1 + random() % 10; n > 0; --n) text += alphabet[random() % (sizeof(alphabet) - 1)];
  return out;
}

}  // namespace

TEST(CommandLine, ComposesAndSplits) {
  const std::tuple<Elements, const char*, const char*> composed[] = {
      // elements, escaped, plain
      {{"a.exe"}, R"("a.exe")", "a.exe"},
      {{R"(C:\my app.exe)", R"(say "hi")", R"(C:\dir\)"},
       R"("C:\my app.exe" "say \"hi\"" "C:\dir\\")",
       R"(C:\my app.exe say "hi" C:\dir\)"},
      {{"a", R"(\\x\\)", R"(a\"b)", R"(\\")"}, R"("a" "\\x\\\\" "a\\\"b" "\\\\\"")", R"(a \\x\\ a\"b \\")"},
      {{"a", "", "b c", "t\tu"}, "\"a\" \"\" \"b c\" \"t\tu\"", "a  b c t\tu"},
  };
  for (const auto& [elements, escaped, plain] : composed) {
    EXPECT_EQ(Compose(elements, true), escaped);
    EXPECT_EQ(Compose(elements, false), plain);
  }
  NyCommandLine line("tool.exe");
  line.AddArgument(nullptr);  // the empty text
  EXPECT_EQ(line.ToString(), "\"tool.exe\" \"\"");

  const std::pair<const char*, Elements> split[] = {
      {"  a   b  ", {"a", "b"}},
      {"", {}},
      {R"("")", {}},
      {R"("a b" c)", {"a b", "c"}},
      {R"("a""b")", {"ab"}},
      {"a\tb", {"a\tb"}},
      {R"("open  end)", {"open  end"}},
      {R"(\\\"x)", {R"(\"x)"}},       // odd run before a quote: a literal quote
      {R"(a\\"b c")", {R"(a\b c)"}},  // even run: halved, the quote opens
      {R"(a\\b\)", {R"(a\\b\)"}},     // elsewhere backslashes mean themselves
  };
  for (const auto& [text, elements] : split) EXPECT_EQ(Split(text), elements) << text;
}

// Our split undoes composing, and so do the platform's parser and a real
// child's argument vector wherever the program name keeps to the platform's
// rule for it (read without escapes: no quote, no final backslash).
TEST(CommandLine, RoundTripsThroughOurSplitThePlatformsAndAChild) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    Elements elements = Random(random, 1 + round % 7);
    ASSERT_EQ(Split(Compose(elements)), elements) << Compose(elements);
    std::replace(elements[0].begin(), elements[0].end(), '"', 'x');
    elements[0] += 'e';
    ASSERT_EQ(PlatformSplit(Compose(elements)), elements) << Compose(elements);
    if (round % 600 != 0) continue;
    elements.insert(elements.begin(), {nytest::ChildExe(), "argv"});
    for (const std::string& e : Random(random, 12)) elements.push_back(e);
    NyCommandLine child = Line(elements);
    CString output;
    child.SetBufferForStdout(&output);
    int code = -1;
    ASSERT_TRUE(child.Execute() && child.WaitExit(&code) && code == 0);
    std::string expected;
    for (const std::string& e : elements) expected += e + "\n";
    ASSERT_EQ(std::string(output.GetString()), expected) << child.ToString().GetString();
  }
}

// Composing and splitting command lines, and the round trip through the
// platform's parsers: CommandLineToArgvW and a real child's argument vector.
#include <random>
#include <string>
#include <vector>

#include "ProcessTestSupport.h"

#include <shellapi.h>  // after <windows.h>, which it needs

using nytest::Strings;

namespace {

std::string Compose(const std::vector<std::string>& elements, bool escape) {
  NyCommandLine line(elements[0].c_str());
  for (size_t i = 1; i < elements.size(); ++i) line.AddArgument(elements[i].c_str());
  line.SetEscapeChars(escape);
  return line.ToString().GetString();
}

std::vector<std::string> Split(const std::string& text) {
  return Strings(NyCommandLine::SplitAndUnescapeCommandLine(CString(text.c_str())));
}

// The platform's own parser. Only ASCII goes through it, so widening and
// narrowing byte by byte is exact.
std::vector<std::string> PlatformSplit(const std::string& text) {
  const std::wstring wide(text.begin(), text.end());
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(wide.c_str(), &count);
  std::vector<std::string> out;
  if (!args) return out;
  for (int i = 0; i < count; ++i) {
    std::string narrow;
    for (const wchar_t* c = args[i]; *c; ++c) narrow += static_cast<char>(*c);
    out.push_back(narrow);
  }
  ::LocalFree(args);
  return out;
}

std::string Hex(const std::string& text) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// Random elements over the characters that the quoting rules care about.
class Generator {
public:
  explicit Generator(unsigned seed) : m_random(seed) {}

  std::string Element(bool asExecutable) {
    static const char alphabet[] = "ab \t\"\\\\\\-.";
    std::string text;
    const int length = Pick(1, 10);
    for (int i = 0; i < length; ++i) text += alphabet[Pick(0, sizeof(alphabet) - 2)];
    if (asExecutable) {
      // The platform reads the program name by a rule of its own: a quoted
      // name runs to the next quote and backslashes mean themselves. So a
      // name for the platform's parsers holds no quote and does not end in
      // a backslash (which the escaping would double).
      for (char& c : text)
        if (c == '"') c = 'x';
      if (text.back() == '\\') text += 'e';
    }
    return text;
  }

  std::vector<std::string> Arguments() {
    std::vector<std::string> out;
    const int count = Pick(0, 6);
    for (int i = 0; i < count; ++i) out.push_back(Element(false));
    return out;
  }

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
  std::mt19937 m_random;
};

}  // namespace

TEST(CommandLine, ComposesQuotedOrPlain) {
  const struct {
    std::vector<std::string> elements;
    const char* escaped;
    const char* plain;
  } cases[] = {
      {{"a.exe"}, "\"a.exe\"", "a.exe"},
      {{"C:\\Tools\\my app.exe", "-o", "say \"hi\"", "C:\\dir\\"},
       "\"C:\\Tools\\my app.exe\" \"-o\" \"say \\\"hi\\\"\" \"C:\\dir\\\\\"",
       "C:\\Tools\\my app.exe -o say \"hi\" C:\\dir\\"},
      {{"a", "a\\b"}, "\"a\" \"a\\b\"", "a a\\b"},
      {{"a", "a\\"}, "\"a\" \"a\\\\\"", "a a\\"},
      {{"a", "a\\\"b"}, "\"a\" \"a\\\\\\\"b\"", "a a\\\"b"},
      {{"a", "\\\\x\\\\"}, "\"a\" \"\\\\x\\\\\\\\\"", "a \\\\x\\\\"},
      {{"a", "\\\\\"", "\""}, "\"a\" \"\\\\\\\\\\\"\" \"\\\"\"", "a \\\\\" \""},
      {{"a", "", "b c"}, "\"a\" \"\" \"b c\"", "a  b c"},
      {{"a", "t\tu"}, "\"a\" \"t\tu\"", "a t\tu"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compose(c.elements, true), c.escaped) << c.escaped;
    EXPECT_EQ(Compose(c.elements, false), c.plain) << c.plain;
  }
}

TEST(CommandLine, DescriptionAndClear) {
  NyCommandLine line("tool.exe");
  EXPECT_TRUE(line.IsEscapeChars());
  EXPECT_FALSE(line.IsShowWindow());
  EXPECT_EQ(line.GetCurrentDirectoryPath(), "");
  EXPECT_EQ(line.GetExitCode(), 0);
  EXPECT_FALSE(line.IsExecuting());
  line.AddArgument("x");
  line.AddArgument(nullptr);  // the empty text
  line.SetEscapeChars(false);
  line.SetShowWindow(true);
  line.SetCurrentDirectoryPath("C:\\work");
  EXPECT_EQ(line.ToString(), "tool.exe x ");
  line.SetEscapeChars(true);
  EXPECT_EQ(line.ToString(), "\"tool.exe\" \"x\" \"\"");

  // Clear forgets the command, keeps the settings.
  line.Clear();
  EXPECT_EQ(std::string(line.GetExeName()), "");
  EXPECT_EQ(line.ToString(), "\"\"");
  EXPECT_TRUE(line.IsShowWindow());
  EXPECT_EQ(line.GetCurrentDirectoryPath(), "C:\\work");
  line.SetExeName("other.exe");
  EXPECT_EQ(line.ToString(), "\"other.exe\"");
}

TEST(CommandLine, Splits) {
  const struct {
    const char* text;
    std::vector<std::string> elements;
  } cases[] = {
      {"  a   b  ", {"a", "b"}},
      {"", {}},
      {"\"\"", {}},
      {"a \"\" b", {"a", "b"}},
      {"\"a b\" c", {"a b", "c"}},
      {"\\\\\\\"x", {"\\\"x"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\b", {"a\\b"}},
      {"a\\\\b\\", {"a\\\\b\\"}},
      {"a\tb", {"a\tb"}},
      {"\"a\"\"b\"", {"ab"}},
      {"\"open  end", {"open  end"}},
      {"x\\\\\\\\\"y z\"", {"x\\\\y z"}},
      {"\"C:\\my dir\\\\\" next", {"C:\\my dir\\", "next"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.text), c.elements) << c.text;
}

// Splitting undoes composing for any non-empty elements; the platform's
// parser agrees wherever the program name keeps to its rule.
TEST(CommandLine, RoundTripsThroughEveryParser) {
  Generator generate(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> elements{generate.Element(round % 2 == 0)};
    for (const std::string& a : generate.Arguments()) elements.push_back(a);
    const std::string text = Compose(elements, true);
    ASSERT_EQ(Split(text), elements) << text;
    if (round % 2 == 0) ASSERT_EQ(PlatformSplit(text), elements) << text;
  }
}

// A real child's argument vector, read back through the capture.
TEST(CommandLine, ChildSeesTheArguments) {
  Generator generate(7);
  for (int round = 0; round < 25; ++round) {
    std::vector<std::string> elements{nytest::ChildExe(), "argv"};
    for (int i = 0; i < 3; ++i)
      for (const std::string& a : generate.Arguments()) elements.push_back(a);
    NyCommandLine line(elements[0].c_str());
    for (size_t i = 1; i < elements.size(); ++i) line.AddArgument(elements[i].c_str());
    CString output;
    line.SetBufferForStdout(&output);
    ASSERT_TRUE(line.Execute());
    int code = -1;
    ASSERT_TRUE(line.WaitExit(&code));
    EXPECT_EQ(code, 0);
    std::string expected;
    for (const std::string& e : elements) expected += Hex(e) + "\n";
    ASSERT_EQ(std::string(output.GetString()), expected) << line.ToString().GetString();
  }
}

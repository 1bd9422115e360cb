// Reading configuration files in both encodings: the line reader, the direct
// reader and the encoding test, on real files.
#include <cstdio>
#include <string>

#include "NyTestSupport.h"
#include "config/NyConfigFile.h"

using namespace ny::config;

namespace {

// UTF-16LE bytes with the byte-order mark, from a wide text.
std::string Utf16File(const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  auto file = OpenConfigFileForReading(path.c_str());
  if (!file) return lines;
  CString line;
  while (file->ReadString(line)) lines.emplace_back(line.GetString(), line.GetLength());
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

std::string Lookup(const std::string& path, const char* section, const char* key,
                   size_t size = 1024) {
  std::vector<char> value(size, 'x');
  EXPECT_TRUE(ReadConfigFileValue(section, key, "", value.data(), size, path.c_str())) << path;
  return value.data();
}

class ConfigFileReader : public ::testing::Test {
protected:
  nytest::TempFolder m_dir;
};

}  // namespace

TEST_F(ConfigFileReader, BothEncodingsGiveTheSameLines) {
  std::string narrow = m_dir.WriteFile("narrow.ini", "[Main]\r\nSize = 10\r\n\r\nlast\rline");
  std::string wide = m_dir.WriteFile("wide.ini", Utf16File(L"[Main]\r\nSize = 10\r\n\r\nlast\rline"));
  std::vector<std::string> expected = {"[Main]", "Size = 10", "", "last\rline"};
  EXPECT_FALSE(IsUnicodeConfigFile(narrow.c_str()));
  EXPECT_TRUE(IsUnicodeConfigFile(wide.c_str()));
  EXPECT_EQ(ReadLines(narrow), expected);
  EXPECT_EQ(ReadLines(wide), expected);
  EXPECT_EQ(Lookup(narrow, "MAIN", "size"), "10");
  EXPECT_EQ(Lookup(wide, "main", "SIZE"), "10");
}

TEST_F(ConfigFileReader, MarkOnlyShortAndEmptyFiles) {
  std::string markOnly = m_dir.WriteFile("mark.ini", "\xFF\xFE");
  EXPECT_TRUE(IsUnicodeConfigFile(markOnly.c_str()));
  EXPECT_TRUE(ReadLines(markOnly).empty());
  EXPECT_EQ(Lookup(markOnly, "Main", "Size"), "");
  std::string empty = m_dir.WriteFile("empty.ini", "");
  EXPECT_FALSE(IsUnicodeConfigFile(empty.c_str()));
  EXPECT_TRUE(ReadLines(empty).empty());
  // A UTF-16 file with an odd last byte loses only that byte.
  std::string odd = m_dir.WriteFile("odd.ini", Utf16File(L"[A]\nk=v") + "\x41");
  EXPECT_EQ(Lookup(odd, "A", "k"), "v");
}

TEST_F(ConfigFileReader, MissingFileFailsWithEmptyValue) {
  char value[16] = "garbage";
  EXPECT_FALSE(ReadConfigFileValue("A", "k", "dflt", value, sizeof value, (m_dir / "none.ini").c_str()));
  EXPECT_STREQ(value, "");
  EXPECT_FALSE(IsUnicodeConfigFile((m_dir / "none.ini").c_str()));
  EXPECT_FALSE(ReadConfigFileValue("A", "k", "", nullptr, 16, (m_dir / "none.ini").c_str()));
}

TEST_F(ConfigFileReader, DirectReaderSectionsKeysAndDefaults) {
  std::string path = m_dir.WriteFile("layers.ini",
                                     "k=before any section\n"
                                     "[Main]\nA=first\nEmpty=\n"
                                     "[Other]\nB=other\n"
                                     "  [main] trailing text\nA=second\nB=only in second\nEmpty=late\n");
  EXPECT_EQ(Lookup(path, "Main", "A"), "first");
  EXPECT_EQ(Lookup(path, "Main", "B"), "only in second");
  EXPECT_EQ(Lookup(path, "Main", "Empty"), "late");
  EXPECT_EQ(Lookup(path, "Main", "k"), "");
  char value[8] = "garbage";
  EXPECT_TRUE(ReadConfigFileValue("Main", "None", "a long default", value, sizeof value, path.c_str()));
  EXPECT_STREQ(value, "a long ");
}

TEST_F(ConfigFileReader, LinesOfAnyLengthAreReadWhole) {
  std::string longLine(100000, 'a');
  std::string narrow = m_dir.WriteFile("long.ini", "[S]\nK=" + longLine + "\nNext=1\n");
  std::vector<std::string> lines = ReadLines(narrow);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "K=" + longLine);
  EXPECT_EQ(Lookup(narrow, "S", "K"), longLine.substr(0, 1023));
  EXPECT_EQ(Lookup(narrow, "S", "Next"), "1");

  std::wstring wideValue(300, L'w');
  std::string wide = m_dir.WriteFile("longw.ini", Utf16File(L"[S]\r\nK=" + wideValue + L"\r\nNext=1"));
  lines = ReadLines(wide);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "K=" + std::string(300, 'w'));
  EXPECT_EQ(Lookup(wide, "S", "Next"), "1");
}

TEST_F(ConfigFileReader, RandomBytesNeverBreakTheReader) {
  std::string bytes;
  unsigned seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes += static_cast<char>(seed >> 16);
  }
  for (const std::string& head : {std::string(), std::string("\xFF\xFE", 2)}) {
    std::string path = m_dir.WriteFile("random.ini", head + bytes + "\n[S]\nK=found\n");
    char value[1024];
    EXPECT_TRUE(ReadConfigFileValue("S", "K", "", value, sizeof value, path.c_str()));
    if (head.empty()) EXPECT_STREQ(value, "found");
    EXPECT_FALSE(ReadLines(path).empty());
  }
}

TEST_F(ConfigFileReader, WriterStoresLineFeedsAsCrLfInBothEncodings) {
  std::string narrowPath = m_dir / "out.ini";
  FILE* stream = std::fopen(narrowPath.c_str(), "wb");
  ASSERT_TRUE(stream);
  {
    NyStdioFileForConfigCache file(stream, false);
    file.WriteString("[S]\nK=v\n");
    file.Close();
    file.Close();
    EXPECT_EQ(file.m_pStream, nullptr);
  }
  EXPECT_EQ(nytest::ReadBytes(narrowPath), "[S]\r\nK=v\r\n");

  std::string widePath = m_dir / "outw.ini";
  stream = std::fopen(widePath.c_str(), "wb");
  ASSERT_TRUE(stream);
  {
    NyStdioFileForConfigCache file(stream, true);
    file.WriteString("[S]\n");
    file.WriteString("K=v\n");
  }
  EXPECT_EQ(nytest::ReadBytes(widePath), Utf16File(L"[S]\r\nK=v\r\n"));
  EXPECT_EQ(Lookup(widePath, "S", "K"), "v");
}

// Japanese text in a UTF-16 file reaches the caller as Shift-JIS under 932;
// under 1252 the same characters have no narrow form.
TEST_F(ConfigFileReader, Utf16TextBecomesTheAnsiCodePageCodePage) {
  std::string path = m_dir.WriteFile("jp.ini", Utf16File(L"[\u8868]\r\n\u8868\u793A=\u8868\u793A\r\n"));
  if (nytest::IsCodePage932()) {
    EXPECT_EQ(Lookup(path, "\x95\x5C", "\x95\x5C\x8E\xA6"), "\x95\x5C\x8E\xA6");
  } else {
    EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"[?]", "?" "?=" "??"}));
  }
}

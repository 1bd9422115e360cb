// Reading configuration files in both encodings: the line reader, the direct
// reader and the encoding test, on real files.
#include <cstdio>
#include <string>

#include "NyTestSupport.h"
#include "config/NyConfigFile.h"

using namespace ny::config;

namespace {

// UTF-16LE bytes with the byte-order mark.
std::string Utf16(const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  auto file = OpenConfigFileForReading(path.c_str());
  CString line;
  while (file && file->ReadString(line)) lines.emplace_back(line.GetString(), line.GetLength());
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

std::string Lookup(const std::string& path, const char* section, const char* key) {
  char value[1024] = "garbage";
  EXPECT_TRUE(ReadConfigFileValue(section, key, "", value, sizeof value, path.c_str())) << path;
  return value;
}

class ConfigFileReader : public ::testing::Test {
 protected:
  nytest::TempFolder m_dir;
};

}  // namespace

// A line longer than the 64 KB read buffer comes whole, its value cut; a UTF-16
// file with an odd last byte loses only that byte; a bare mark or nothing is
// no line; random bytes never break the reader.
TEST_F(ConfigFileReader, BothEncodingsGiveTheSameLines) {
  const std::string longLine = "K=" + std::string(100000, 'a');
  std::string random;
  for (unsigned i = 0, seed = 12345; i < 200000; ++i)
    random += static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  for (bool wide : {false, true}) {
    std::string text = "[Main]\r\nSize = 10\r\n\r\n" + longLine + "\nlast\rline";
    if (wide) text = Utf16({text.begin(), text.end()}) + "A";
    std::string path = m_dir.WriteFile(wide ? "wide.ini" : "narrow.ini", text);
    EXPECT_EQ(IsUnicodeConfigFile(path.c_str()), wide);
    EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"[Main]", "Size = 10", "", longLine, "last\rline"}));
    EXPECT_EQ(Lookup(path, "MAIN", "size"), "10");
    EXPECT_EQ(Lookup(path, "main", "k"), std::string(1023, 'a'));
    path = m_dir.WriteFile("short.ini", wide ? "\xFF\xFE" : "");
    EXPECT_EQ(IsUnicodeConfigFile(path.c_str()), wide);
    EXPECT_TRUE(ReadLines(path).empty());
    EXPECT_EQ(Lookup(path, "Main", "Size"), "");
    path = m_dir.WriteFile("random.ini", (wide ? "\xFF\xFE" : "") + random + "\n[S]\nK=found\n");
    EXPECT_FALSE(ReadLines(path).empty());
    EXPECT_TRUE(Lookup(path, "S", "K") == "found" || wide);
  }
}

// The first match wins; headers with leading blanks count; "Key=" is no key;
// the default is cut to the buffer; a missing file gives an empty text and false.
TEST_F(ConfigFileReader, DirectReaderSectionsKeysAndDefaults) {
  std::string path = m_dir.WriteFile("layers.ini",
                                     "k=before any section\n[Main]\nA=first\nEmpty=\n[Other]\nB=other\n"
                                     "  [main] trailing text\nA=second\nB=only in second\nEmpty=late\n");
  const char* reads[][2] = {{"A", "first"}, {"B", "only in second"}, {"Empty", "late"}, {"k", ""}};
  for (const auto& r : reads) EXPECT_EQ(Lookup(path, "Main", r[0]), r[1]) << r[0];
  char value[8] = "garbage";
  EXPECT_TRUE(ReadConfigFileValue("Main", "None", "a long default", value, sizeof value, path.c_str()));
  EXPECT_STREQ(value, "a long ");
  std::string none = m_dir / "none.ini";
  EXPECT_FALSE(ReadConfigFileValue("A", "k", "dflt", value, sizeof value, none.c_str()));
  EXPECT_STREQ(value, "");
  EXPECT_FALSE(IsUnicodeConfigFile(none.c_str()) ||
               ReadConfigFileValue("A", "k", "", nullptr, 16, none.c_str()));
}

TEST_F(ConfigFileReader, WriterStoresLineFeedsAsCrLfInBothEncodings) {
  for (bool wide : {false, true}) {
    std::string path = m_dir / (wide ? "outw.ini" : "out.ini");
    FILE* stream = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(stream);
    NyStdioFileForConfigCache file(stream, wide);
    file.WriteString("[S]\n");
    file.WriteString("K=v\n");
    file.Close();
    file.Close();  // harmless
    EXPECT_EQ(nytest::ReadBytes(path), wide ? Utf16(L"[S]\r\nK=v\r\n") : "[S]\r\nK=v\r\n");
  }
}

// Japanese text in a UTF-16 file reaches the caller as Shift-JIS under 932;
// under 1252 the same characters have no narrow form.
NY_CODEPAGE_TEST_F(ConfigFileReader, Utf16TextBecomesTheAnsiCodePage) {
  std::string path = m_dir.WriteFile("jp.ini", Utf16(L"[\u8868]\r\n\u8868\u793A=\u8868\u793A\r\n"));
  if (nytest::IsCodePage932()) {
    EXPECT_EQ(Lookup(path, "\x95\x5C", "\x95\x5C\x8E\xA6"), "\x95\x5C\x8E\xA6");
  } else {
    EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"[?]", "?\?=??"}));
  }
}

// CStdioFile and CFileFind on real files in a private temporary folder: line
// reading and writing, sharing modes held while a file stays open, and the
// directory walk that hosts write.
#include <windows.h>

#include <gtest/gtest.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

class TempFolderTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return m_temp / name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    return m_temp.WriteFile(name, bytes);
  }
  static std::string Bytes(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
  }
  // Another program's open, sharing everything itself.
  static HANDLE OpenOther(const std::string& path, DWORD access) {
    return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  // Every line up to the end; the end empties the string and stays the end.
  static Lines ReadAll(CStdioFile& file) {
    Lines lines;
    CString line;
    while (file.ReadString(line)) lines.emplace_back(line.GetString(), line.GetLength());
    EXPECT_TRUE(line.IsEmpty());
    line = "garbage";
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());
    return lines;
  }

  nytest::TempFolder m_temp;
};

using StdioFile = TempFolderTest;
using FileFind = TempFolderTest;

}  // namespace

TEST_F(StdioFile, ReadStringGivesWholeLinesWithoutLineEnds) {
  // Lengths around the 128-character pieces ReadString reads in.
  const std::string l127(127, 'a'), l128(128, 'b'), l129(129, 'c'), l1000(1000, 'd');
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"first\r\n\r\nthird\r\nlast", {"first", "", "third", "last"}},
      {"one\r\n", {"one"}},
      {"\r\n", {""}},
      {"", {}},
      {"lf only\nthen crlf\r\n", {"lf only", "then crlf"}},
      {l127 + "\r\n" + l128 + "\r\n" + l129 + "\r\n" + l1000 + "\r\n" + l1000,
       {l127, l128, l129, l1000, l1000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 40));
    const std::string path = Write("lines.txt", c.bytes);
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeText));
    EXPECT_EQ(ReadAll(file), c.lines);
  }

  // Over a stream the caller opened, which the object must leave open.
  FILE* stream = std::fopen(Write("stream.txt", "alpha\r\nbeta").c_str(), "r");
  ASSERT_NE(stream, nullptr);
  const HANDLE os = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  {
    CStdioFile file(stream);
    EXPECT_EQ(ReadAll(file), (Lines{"alpha", "beta"}));
  }
  EXPECT_NE(::GetFileType(os), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
  EXPECT_EQ(std::fclose(stream), 0);
}

TEST_F(StdioFile, ShareDenyWriteKeepsWritersOutUntilClose) {
  const std::string path = Write("locked.txt", "text\r\n");
  const UINT flags = CFile::modeRead | CFile::shareDenyWrite | CFile::typeText;
  {
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), flags));
    ::SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenOther(path, GENERIC_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    file.Close();
    HANDLE writer = OpenOther(path, GENERIC_WRITE);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    // Denying write cannot be granted while somebody writes.
    EXPECT_FALSE(file.Open(path.c_str(), flags));
    ::CloseHandle(writer);
    // Left open on purpose: going out of scope must release the lock too.
    ASSERT_TRUE(file.Open(path.c_str(), flags));
  }
  HANDLE writer = OpenOther(path, GENERIC_WRITE);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  ::CloseHandle(writer);
}

TEST_F(StdioFile, ShareExclusiveWriteNeedsTheFileToItselfAndKeepsItsContent) {
  const std::string path = Write("own.txt", "0123456789");
  const UINT flags = CFile::modeWrite | CFile::shareExclusive;
  CStdioFile file;
  HANDLE reader = OpenOther(path, GENERIC_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(file.Open(path.c_str(), flags));
  ::CloseHandle(reader);

  ASSERT_TRUE(file.Open(path.c_str(), flags));
  EXPECT_EQ(OpenOther(path, GENERIC_READ), INVALID_HANDLE_VALUE);
  file.WriteString("ab");
  file.Close();
  file.Close();  // a second Close is harmless
  // Overwritten in place: without modeCreate the file is not truncated.
  EXPECT_EQ(Bytes(path), "ab23456789");

  const std::string missing = PathOf("missing.txt");
  EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead));
  EXPECT_FALSE(file.Open(missing.c_str(), flags));
  EXPECT_EQ(::GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
  CString line("garbage");
  EXPECT_FALSE(file.ReadString(line));
  EXPECT_TRUE(line.IsEmpty());
}

TEST_F(StdioFile, WriteStringInTextModeWritesCrLfAndReadsBack) {
  const std::string path = Write("out.txt", "an older and longer content\r\n");
  CStdioFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
  file.WriteString("alpha\n");
  file.WriteString("");
  file.WriteString("\nomega");
  file.Close();
  EXPECT_EQ(Bytes(path), "alpha\r\n\r\nomega");
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::typeText));
  EXPECT_EQ(ReadAll(file), (Lines{"alpha", "", "omega"}));

  // Binary mode leaves line feeds alone.
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
  file.WriteString("x\ny\n");
  file.Close();
  EXPECT_EQ(Bytes(path), "x\ny\n");
}

TEST_F(FileFind, TheWalkVisitsEveryEntryOnce) {
  Write("a.txt", "a");
  Write("b.txt", "b");
  ASSERT_TRUE(::CreateDirectoryA(PathOf("sub").c_str(), nullptr));

  std::map<std::string, std::string> seen;
  CFileFind find;
  BOOL found = find.FindFile((m_temp.Path() + "\\*").c_str());
  ASSERT_TRUE(found);
  while (found) {
    found = find.FindNextFile();
    const std::string name(find.GetFileName());
    EXPECT_EQ(seen.count(name), 0u) << name;
    seen[name] = std::string(find.IsDots() ? "dots " : "") + (find.IsDirectory() ? "dir" : "file");
    EXPECT_STREQ(find.GetFilePath(), PathOf(name).c_str());
  }
  EXPECT_EQ(
      seen,
      (std::map<std::string, std::string>{
          {".", "dots dir"}, {"..", "dots dir"}, {"a.txt", "file"}, {"b.txt", "file"}, {"sub", "dir"}}));

  // A single match: FindNextFile answers false, yet reaches the entry.
  ASSERT_TRUE(find.FindFile(PathOf("a.txt").c_str()));
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_STREQ(find.GetFileName(), "a.txt");

  EXPECT_FALSE(find.FindFile(PathOf("missing\\*").c_str()));
  EXPECT_FALSE(find.FindFile(PathOf("*.none").c_str()));
}

// Under 932 the folder 表 ends in the byte of a backslash, which must not pass
// for a separator that is already there.
TEST_F(FileFind, CodePageDoubleByteFolderName) {
  const std::string folder = PathOf(::GetACP() == 932 ? "\x95\x5C" : "caf\xE9");
  // Wine needs the host locale generated (the set-up does it) to take this name.
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << ::GetLastError();
  FILE* f = std::fopen((folder + "\\x.txt").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  CFileFind find;
  ASSERT_TRUE(find.FindFile((folder + "\\*.txt").c_str()));
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_STREQ(find.GetFilePath(), (folder + "\\x.txt").c_str());
}

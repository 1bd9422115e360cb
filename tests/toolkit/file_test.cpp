// CStdioFile and CFileFind on real files: line reading, the sharing modes held
// while a file stays open, and the directory walk that hosts write.
#include <set>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "base/NyScopedHandle.h"

namespace {

using Lines = std::vector<std::string>;

class ToolkitFiles : public testing::Test {
 protected:
  // Every line up to the end; the end answers false with an empty string.
  static Lines ReadAll(CStdioFile& file) {
    Lines lines;
    CString line;
    while (file.ReadString(line)) lines.emplace_back(line.GetString());
    EXPECT_TRUE(line.IsEmpty());
    return lines;
  }
  // Another program's open, sharing everything itself.
  static ny::ScopedKernelHandle OpenOther(const std::string& path, DWORD access) {
    return ny::ScopedKernelHandle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
  }
  nytest::TempFolder m_temp;
};

}  // namespace

TEST_F(ToolkitFiles, ReadStringGivesWholeLinesWithoutLineEnds) {
  const std::string l129(129, 'c'), l1000(1000, 'd');  // across the 128-byte pieces
  const std::string path = m_temp.WriteFile("a.txt", "first\r\n\r\n" + l129 + "\r\n" + l1000 + "\nlast");
  CStdioFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeText));
  EXPECT_EQ(ReadAll(file), (Lines{"first", "", l129, l1000, "last"}));

  // Over a stream the caller opened.
  FILE* stream = std::fopen(m_temp.WriteFile("b.txt", "alpha\r\n").c_str(), "r");
  CStdioFile over(stream);
  EXPECT_EQ(ReadAll(over), (Lines{"alpha"}));
  over.Close();
}

TEST_F(ToolkitFiles, SharingModesHoldUntilClose) {
  const std::string path = m_temp.WriteFile("locked.txt", "0123456789");
  CStdioFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_FALSE(OpenOther(path, GENERIC_WRITE).IsValid());
  file.Close();
  EXPECT_TRUE(OpenOther(path, GENERIC_WRITE).IsValid());

  // Exclusive writing needs the file to itself, and keeps its content.
  const UINT exclusive = CFile::modeWrite | CFile::shareExclusive;
  {
    ny::ScopedKernelHandle reader = OpenOther(path, GENERIC_READ);
    EXPECT_FALSE(file.Open(path.c_str(), exclusive));
  }
  ASSERT_TRUE(file.Open(path.c_str(), exclusive));
  EXPECT_FALSE(OpenOther(path, GENERIC_READ).IsValid());
  file.WriteString("ab\n");
  file.Close();
  file.Close();
  EXPECT_EQ(nytest::ReadBytes(path), "ab\r\n456789");

  EXPECT_FALSE(file.Open((m_temp / "missing.txt").c_str(), exclusive));
  EXPECT_FALSE(nytest::Exists(m_temp / "missing.txt"));
}

TEST_F(ToolkitFiles, TheFindWalkVisitsEveryEntryOnce) {
  m_temp.WriteFile("a.txt");
  ASSERT_TRUE(::CreateDirectoryA((m_temp / "sub").c_str(), nullptr));
  std::multiset<std::string> seen;
  CFileFind find;
  for (BOOL more = find.FindFile((m_temp.Path() + "\\*").c_str()); more;) {
    more = find.FindNextFile();
    seen.insert(std::string(find.GetFileName()) + (find.IsDots()        ? " dots"
                                                   : find.IsDirectory() ? " dir"
                                                                        : ""));
    EXPECT_STREQ(find.GetFilePath(), (m_temp / std::string(find.GetFileName())).c_str());
  }
  EXPECT_EQ(seen, (std::multiset<std::string>{". dots", ".. dots", "a.txt", "sub dir"}));
  EXPECT_FALSE(find.FindFile((m_temp / "missing\\*").c_str()));
}

// Under 932 the folder 表 ends in the byte of a backslash, which must not pass
// for a separator already there when the entry's path is formed.
NY_CODEPAGE_TEST_F(ToolkitFiles, DoubleByteFolderName) {
  const std::string folder = m_temp / (nytest::IsCodePage932() ? "\x95\x5C" : "caf\xE9");
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << ::GetLastError();
  m_temp.WriteFile(folder.substr(m_temp.Path().size() + 1) + "\\x.txt");
  CFileFind find;
  ASSERT_TRUE(find.FindFile((folder + "\\*.txt").c_str()));
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_STREQ(find.GetFilePath(), (folder + "\\x.txt").c_str());
}

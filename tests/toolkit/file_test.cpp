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

// Every line up to the end; the end answers false with an empty string.
Lines ReadAll(CStdioFile& file) {
  Lines lines;
  CString line;
  while (file.ReadString(line)) lines.emplace_back(line.GetString());
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

// Another program's open, sharing everything itself.
bool OtherCanOpen(const std::string& path, DWORD access) {
  return ny::ScopedKernelHandle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr))
      .IsValid();
}

}  // namespace

TEST(ToolkitFiles, ReadStringGivesWholeLinesWithoutLineEnds) {
  nytest::TempFolder temp;
  const std::string l129(129, 'c'), l1000(1000, 'd');  // across the 128-byte pieces
  CStdioFile file;
  ASSERT_TRUE(file.Open(temp.WriteFile("a.txt", "first\r\n\r\n" + l129 + "\r\n" + l1000 + "\nlast").c_str(),
                        CFile::modeRead | CFile::shareDenyWrite | CFile::typeText));
  EXPECT_EQ(ReadAll(file), (Lines{"first", "", l129, l1000, "last"}));
  CStdioFile over(std::fopen(temp.WriteFile("b.txt", "alpha\r\n").c_str(), "r"));  // the caller's stream
  EXPECT_EQ(ReadAll(over), (Lines{"alpha"}));
  over.Close();
}

TEST(ToolkitFiles, SharingModesHoldUntilClose) {
  nytest::TempFolder temp;
  const std::string path = temp.WriteFile("locked.txt", "0123456789");
  CStdioFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_FALSE(OtherCanOpen(path, GENERIC_WRITE));
  file.Close();
  EXPECT_TRUE(OtherCanOpen(path, GENERIC_WRITE));

  // Exclusive writing needs the file to itself, and keeps its content.
  const UINT exclusive = CFile::modeWrite | CFile::shareExclusive;
  {
    nytest::ScopedFile reader(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_FALSE(file.Open(path.c_str(), exclusive));
  }
  ASSERT_TRUE(file.Open(path.c_str(), exclusive));
  EXPECT_FALSE(OtherCanOpen(path, GENERIC_READ));
  file.WriteString("ab\n");
  file.Close();
  file.Close();
  EXPECT_EQ(nytest::ReadBytes(path), "ab\r\n456789");
  EXPECT_FALSE(file.Open((temp / "missing.txt").c_str(), exclusive));
  EXPECT_FALSE(nytest::Exists(temp / "missing.txt"));
}

// Under 932 the folder 表 ends in the byte of a backslash, which must not pass
// for a separator already there when an entry's path is formed.
NY_CODEPAGE_TEST(ToolkitFiles, TheFindWalkVisitsEveryEntryOnce) {
  nytest::TempFolder temp;
  const std::string name = nytest::IsCodePage932() ? "\x95\x5C" : "caf\xE9";
  temp.WriteFile("a.txt");
  ASSERT_TRUE(::CreateDirectoryA((temp / name).c_str(), nullptr));
  std::ofstream(temp / name + "\\x.txt") << "x";
  std::multiset<std::string> seen;
  CFileFind find;
  for (BOOL more = find.FindFile((temp / "*").c_str()); more;) {
    more = find.FindNextFile();
    seen.insert(std::string(find.GetFileName()) + (find.IsDots()        ? " dots"
                                                   : find.IsDirectory() ? " dir"
                                                                        : ""));
    EXPECT_STREQ(find.GetFilePath(), (temp / std::string(find.GetFileName())).c_str());
  }
  EXPECT_EQ(seen, (std::multiset<std::string>{". dots", ".. dots", "a.txt", name + " dir"}));
  EXPECT_FALSE(find.FindFile((temp / "missing\\*").c_str()));
  ASSERT_TRUE(find.FindFile((temp / name + "\\*.txt").c_str()));
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_STREQ(find.GetFilePath(), (temp / name + "\\x.txt").c_str());
}

// The helpers that touch the file system, on real folders. Each must leave
// the working directory as it found it.
#include <iterator>
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {
class PathFiles : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(nytest::WorkingDirectory(), m_cwd); }
  nytest::TempFolder m_temp;
  const std::string m_cwd = nytest::WorkingDirectory();
};
}  // namespace

TEST_F(PathFiles, ExistenceValidityAndFullPaths) {
  EXPECT_TRUE(NyIsFileExistT(m_temp.WriteFile("a.txt").c_str()));
  EXPECT_TRUE(NyIsFileExist((m_temp.Path() + "\\").c_str()));
  EXPECT_TRUE(NyIsFileExistT("C:\\"));
  EXPECT_FALSE(NyIsFileExistT((m_temp / "missing").c_str()));
  EXPECT_FALSE(NyIsFileExistT((m_temp / "*").c_str()));  // a pattern is no name
  EXPECT_FALSE(NyIsFileExist(nullptr));
  EXPECT_TRUE(NyIsValidFilePathT((m_temp / "not-yet-there.txt").c_str()));
  EXPECT_FALSE(NyIsValidFilePathT((m_temp / "bad<name>.txt").c_str()));

  const std::string base = m_temp / "a\\b";
  ASSERT_TRUE(NyCreateDirectoriesT(base.c_str()));
  EXPECT_STREQ(NyMakeFullPathT("..\\x", base.c_str()), (m_temp / "a\\x").c_str());
  EXPECT_STREQ(NyMakeFullPathT(".\\y\\", base.c_str()), (base + "\\y").c_str());
  EXPECT_STREQ(NyMakeFullPathT("C:\\", base.c_str()), "C:");
  EXPECT_EQ(NyMakeFullPathT("x", (m_temp / "missing").c_str()), nullptr);
  // The non-T form refuses a null base and keeps its last result.
  const char* kept = NyMakeFullPath("..\\x", base.c_str());
  EXPECT_EQ(NyMakeFullPath("x", nullptr), nullptr);
  EXPECT_STREQ(kept, (m_temp / "a\\x").c_str());
}

TEST_F(PathFiles, CreateDirectoriesBuildsTheMissingChain) {
  const std::string deep = m_temp / "a\\b\\c";
  EXPECT_TRUE(NyCreateDirectoriesT(deep.c_str()));
  EXPECT_TRUE(nytest::Exists(deep));
  EXPECT_FALSE(NyCreateDirectoriesT(deep.c_str()));  // nothing left to create
  EXPECT_FALSE(NyCreateDirectories((m_temp.WriteFile("f.txt") + "\\sub").c_str()));

  ASSERT_TRUE(NySetCurrentPathT(m_temp.Path().c_str()));
  EXPECT_STREQ(NyGetCurrentPathT(), m_temp.Path().c_str());
  EXPECT_FALSE(NyCreateDirectoriesT("rel\\sub"));  // only full paths
  EXPECT_FALSE(nytest::Exists(m_temp / "rel"));
  EXPECT_FALSE(NySetCurrentPath(""));
  ASSERT_TRUE(NySetCurrentPath(m_cwd.c_str()));
}

// Under 932 the names 表 and ソ end in the byte of a backslash; they must be
// created, found and resolved whole. 1252 gets Latin-1 names instead.
NY_CODEPAGE_TEST_F(PathFiles, DoubleByteFolderChains) {
  const bool dbcs = nytest::IsCodePage932();
  const std::string first = dbcs ? "\x95\x5C" : "caf\xE9";
  const std::string chain = m_temp / (first + "\\" + (dbcs ? "\x83\x5C" : "\xFC"));
  EXPECT_TRUE(NyCreateDirectoriesT(chain.c_str()));
  std::filesystem::recursive_directory_iterator all(m_temp.Path()), end;
  EXPECT_EQ(std::distance(all, end), 2);  // exactly the two folders
  EXPECT_TRUE(NyIsFileExistT((chain + "\\").c_str()));
  EXPECT_STREQ(NyMakeFullPathT("..", chain.c_str()), (m_temp / first).c_str());
}

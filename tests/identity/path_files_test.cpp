// The helpers that touch the file system: existence, full paths, folder
// chains, validity and the working directory, on real folders.
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

class PathFiles : public testing::Test {
protected:
  void SetUp() override { m_cwd = nytest::WorkingDirectory(); }
  // Every helper here must leave the working directory as it found it.
  void TearDown() override {
    EXPECT_EQ(nytest::WorkingDirectory(), m_cwd);
    NySetCurrentPathT(m_cwd.c_str());
  }

  nytest::TempFolder m_temp;
  std::string m_cwd;
};

}  // namespace

TEST_F(PathFiles, ExistenceOfFilesFoldersAndRoots) {
  const std::string file = m_temp.WriteFile("a.txt");
  EXPECT_TRUE(NyIsFileExistT(file.c_str()));
  EXPECT_TRUE(NyIsFileExistT(m_temp.Path().c_str()));
  EXPECT_TRUE(NyIsFileExistT((m_temp.Path() + "\\").c_str()));
  EXPECT_TRUE(NyIsFileExist((m_temp.Path() + "\\").c_str()));
  EXPECT_TRUE(NyIsFileExistT("C:\\"));
  EXPECT_FALSE(NyIsFileExistT((m_temp / "missing").c_str()));
  EXPECT_FALSE(NyIsFileExistT((m_temp / "*").c_str()));
  EXPECT_FALSE(NyIsFileExistT(""));
  EXPECT_FALSE(NyIsFileExistT(nullptr));
  EXPECT_FALSE(NyIsFileExist(nullptr));
}

TEST_F(PathFiles, ValidPathsExistOrAreWellFormed) {
  EXPECT_TRUE(NyIsValidFilePathT(m_temp.Path().c_str()));
  EXPECT_TRUE(NyIsValidFilePathT((m_temp / "not-yet-there.txt").c_str()));
  EXPECT_FALSE(NyIsValidFilePathT((m_temp / "bad<name>.txt").c_str()));
  EXPECT_FALSE(NyIsValidFilePathT(nullptr));
}

TEST_F(PathFiles, MakeFullPathResolvesAgainstABaseFolder) {
  const std::string base = m_temp / "a\\b";
  ASSERT_TRUE(NyCreateDirectoriesT(base.c_str()));

  const char* full = NyMakeFullPathT("..\\x", base.c_str());
  ASSERT_NE(full, nullptr);
  EXPECT_STREQ(full, (m_temp / "a\\x").c_str());

  full = NyMakeFullPathT(".\\y\\", base.c_str());
  ASSERT_NE(full, nullptr);
  EXPECT_STREQ(full, (base + "\\y").c_str());

  // An absolute input stays absolute; a drive root loses its backslash.
  EXPECT_STREQ(NyMakeFullPathT("C:\\", base.c_str()), "C:");
  // A null base means the working directory.
  EXPECT_STREQ(NyMakeFullPathT("z", nullptr), (m_cwd + (m_cwd.back() == '\\' ? "" : "\\") + "z").c_str());

  // The base must be an existing folder.
  EXPECT_EQ(NyMakeFullPathT("x", (m_temp / "missing").c_str()), nullptr);
  EXPECT_EQ(NyMakeFullPathT(nullptr, base.c_str()), nullptr);

  // The non-T form keeps its last result when a later call fails.
  const char* kept = NyMakeFullPath("..\\x", base.c_str());
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(NyMakeFullPath("x", nullptr), nullptr);  // null base: refused
  EXPECT_STREQ(kept, (m_temp / "a\\x").c_str());
}

TEST_F(PathFiles, CreateDirectoriesBuildsTheMissingChain) {
  const std::string deep = m_temp / "a\\b\\c";
  EXPECT_TRUE(NyCreateDirectoriesT(deep.c_str()));
  EXPECT_TRUE(nytest::Exists(m_temp / "a\\b"));
  EXPECT_TRUE(nytest::Exists(deep));
  // Nothing left to create.
  EXPECT_FALSE(NyCreateDirectoriesT(deep.c_str()));
  EXPECT_TRUE(NyCreateDirectories((m_temp / "d\\e").c_str()));
  EXPECT_TRUE(nytest::Exists(m_temp / "d\\e"));

  // Only full paths are accepted.
  NySetCurrentPathT(m_temp.Path().c_str());
  EXPECT_FALSE(NyCreateDirectoriesT("rel\\sub"));
  EXPECT_FALSE(nytest::Exists(m_temp / "rel"));
  NySetCurrentPathT(m_cwd.c_str());

  // A chain under a file cannot be made.
  const std::string file = m_temp.WriteFile("plain.txt");
  EXPECT_FALSE(NyCreateDirectoriesT((file + "\\sub\\dir").c_str()));
}

TEST_F(PathFiles, WorkingDirectoryIsSetAndRead) {
  EXPECT_TRUE(NySetCurrentPathT(m_temp.Path().c_str()));
  EXPECT_STREQ(NyGetCurrentPathT(), m_temp.Path().c_str());
  EXPECT_TRUE(NySetCurrentPath((m_temp.Path() + "\\").c_str()));
  EXPECT_FALSE(NySetCurrentPathT((m_temp / "missing").c_str()));
  EXPECT_FALSE(NySetCurrentPathT(""));
  EXPECT_FALSE(NySetCurrentPath(nullptr));
  EXPECT_STREQ(NyGetCurrentPathT(), m_temp.Path().c_str());
  EXPECT_TRUE(NySetCurrentPathT(m_cwd.c_str()));
}

// Folder names that end in the byte of a backslash under 932 (表, ソ) must be
// created, found and resolved as whole names; 1252 gets Latin-1 names instead.
TEST_F(PathFiles, CodePageDoubleByteFolderChains) {
  const bool dbcs = nytest::IsCodePage932();
  const std::string first = dbcs ? "\x95\x5C" : "caf\xE9";
  const std::string second = dbcs ? "\x83\x5C" : "\xFC";
  const std::string chain = m_temp / (first + "\\" + second);

  EXPECT_TRUE(NyCreateDirectoriesT(chain.c_str()));
  // Exactly the two folders, under their own names.
  EXPECT_TRUE(nytest::Exists(m_temp / first));
  EXPECT_TRUE(nytest::Exists(chain));
  int entries = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_temp.Path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2);

  EXPECT_TRUE(NyIsFileExistT((chain + "\\").c_str()));
  EXPECT_STREQ(NyMakeFullPathT("..", chain.c_str()), (m_temp / first).c_str());
}

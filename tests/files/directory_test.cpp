// Copying and removing folder trees on real files, links and a spare drive.
#include <direct.h>

#include <string>
#include <utility>

#include "DoRor.h"
#include "FilesTestSupport.h"

namespace {

using nytest::Exists;

class FolderTrees : public ::testing::Test {
 protected:
  // a.txt, hidden.txt (hidden), empty\, sub\deep\c.txt; made with the ANSI
  // calls, so that double-byte names stay what they are.
  std::string MakeTree(const std::string& name) {
    const std::string root = m_temp / name;
    for (const char* folder : {"", "\\empty", "\\sub", "\\sub\\deep"})
      ::CreateDirectoryA((root + folder).c_str(), nullptr);
    std::ofstream(root + "\\a.txt") << "alpha";
    std::ofstream(root + "\\hidden.txt") << "secret";
    ::SetFileAttributesA((root + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::ofstream(root + "\\sub\\deep\\c.txt") << "gamma";
    return root;
  }
  nytest::TempFolder m_temp;
};

}  // namespace

TEST_F(FolderTrees, CopyReproducesTheTreeIntoANewFolderOnly) {
  const std::string source = MakeTree("src"), copy = m_temp / "out\\copy", existing = m_temp / "existing";
  ASSERT_TRUE(NyCopyDirectoryT(source.c_str(), copy.c_str()));
  EXPECT_EQ(nytest::ReadBytes(copy + "\\sub\\deep\\c.txt"), "gamma");
  EXPECT_TRUE(::GetFileAttributesA((copy + "\\hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(Exists(copy + "\\empty"));

  // An existing destination, one inside the source in any letter case (it
  // would copy itself forever), and missing, over-long or empty paths.
  ::CreateDirectoryA(existing.c_str(), nullptr);
  const std::string longName = m_temp / std::string(300, 'n');
  const std::pair<std::string, std::string> refused[] = {{source, existing},
                                                         {source, source + "\\sub\\again"},
                                                         {source, m_temp / "SRC\\x"},
                                                         {source, source},
                                                         {m_temp / "missing", m_temp / "x"},
                                                         {source, longName},
                                                         {longName, m_temp / "y"},
                                                         {"", m_temp / "z"}};
  for (const auto& [from, to] : refused) EXPECT_FALSE(NyCopyDirectoryT(from.c_str(), to.c_str())) << to;
  EXPECT_FALSE(Exists(existing + "\\a.txt"));
  EXPECT_FALSE(Exists(source + "\\sub\\again"));

  nytest::ScopedFile locked(source + "\\a.txt", GENERIC_READ, 0);
  ASSERT_TRUE(locked.IsOpen());
  EXPECT_FALSE(NyCopyDirectoryT(source.c_str(), (m_temp / "copy").c_str()));
}

// What cannot be deleted (a read-only file, an open one) stays with its chain
// of folders and everything else goes; once released, a second try removes it.
TEST_F(FolderTrees, RemovalIsBestEffortAndReportsWhatStays) {
  const std::string tree = MakeTree("tree"), readOnly = m_temp.WriteFile("tree\\ro\\frozen.txt");
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    nytest::ScopedFile open(tree + "\\sub\\deep\\c.txt", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(open.IsOpen());
    EXPECT_FALSE(NyRemoveDirectoryT(tree.c_str()));
    EXPECT_TRUE(Exists(tree + "\\sub\\deep\\c.txt") && Exists(readOnly));
    EXPECT_FALSE(Exists(tree + "\\a.txt") || Exists(tree + "\\hidden.txt") || Exists(tree + "\\empty"));
  }
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(NyRemoveDirectoryT(tree.c_str()));
  EXPECT_FALSE(Exists(tree));

  const std::string file = m_temp.WriteFile("plain.txt");
  for (const std::string& path : {tree, m_temp / std::string(300, 'n'), file})
    EXPECT_FALSE(NyRemoveDirectoryT(path.c_str())) << path;
  EXPECT_TRUE(Exists(file));
}

// Links inside the tree (to a folder with files, to an empty one) and a link
// named as the tree itself leave the decoy they point at untouched.
TEST(FolderTreeLinks, RemovalNeverFollowsLinks) {
  FILESTEST_NEEDS_FIXTURES();
  const std::string tree = filestest::Fixture("trees\\removal");
  ASSERT_TRUE(filestest::DecoyIntact());
  // Wine difference (see IsWine): the links and their folders stay.
  EXPECT_EQ(NyRemoveDirectoryT(tree.c_str()), !filestest::IsWine());
  EXPECT_FALSE(Exists(tree + "\\a.txt") || Exists(tree + "\\sub\\deep"));
  EXPECT_EQ(Exists(tree + "\\sub\\toDecoy"), filestest::IsWine());
  EXPECT_EQ(NyRemoveDirectoryT(filestest::Fixture("trees\\linkAsTree").c_str()), !filestest::IsWine());
  EXPECT_TRUE(filestest::DecoyIntact());
}

// An empty path would list the root of the current drive; a drive root, a
// bare drive letter (its working folder) and names resolving to the root are
// refused too. Tried from the spare drive only, with a file there to survive.
TEST(FolderTreeRoots, RemovalRefusesEmptyPathsAndRoots) {
  FILESTEST_NEEDS_FIXTURES();
  const std::string spare = filestest::Env("NY_SPARE_FOLDER"), drive = spare.substr(0, 2);
  std::ofstream(spare + "\\decoy.txt") << "keep";
  const std::string saved = nytest::WorkingDirectory();
  ASSERT_EQ(_chdir(spare.c_str()), 0);
  for (const std::string& path : {std::string(), drive, drive + "\\", drive + "\\\\", std::string("\\"),
                                  std::string(".."), std::string("..\\.")})
    EXPECT_FALSE(NyRemoveDirectoryT(path.c_str())) << "'" << path << "'";
  _chdir((drive + "\\").c_str());
  EXPECT_FALSE(NyRemoveDirectoryT("."));
  _chdir(saved.c_str());
  EXPECT_TRUE(Exists(spare + "\\decoy.txt"));
}

// Under 932 the name is one character, 0x95 0x5C, whose second byte is a
// backslash's.
NY_CODEPAGE_TEST_F(FolderTrees, DoubleByteNames) {
  const std::string name = nytest::IsCodePage932() ? "\x95\x5C" : "caf\xE9";
  const std::string source = MakeTree(name), copy = m_temp / (name + "copy");
  ::CreateDirectoryA((source + "\\" + name).c_str(), nullptr);
  std::ofstream(source + "\\" + name + "\\x.txt") << "x";
  ASSERT_TRUE(NyCopyDirectoryT(source.c_str(), copy.c_str()));
  EXPECT_EQ(nytest::ReadBytes(copy + "\\" + name + "\\x.txt"), "x");
  EXPECT_TRUE(NyRemoveDirectoryT(copy.c_str()));
  EXPECT_TRUE(NyRemoveDirectoryT((source + "\\").c_str()));
  EXPECT_FALSE(Exists(source));
}

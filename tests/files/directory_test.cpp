// Copying and removing folder trees on real files, links and a spare drive.
#include <direct.h>

#include <string>
#include <vector>

#include "DoRor.h"
#include "FilesTestSupport.h"

namespace {

using nytest::Exists;
using nytest::ReadBytes;

class FolderTrees : public ::testing::Test {
 protected:
  // a.txt, hidden.txt (hidden), empty\, sub\b.txt, sub\deep\c.txt. Made with
  // the ANSI calls, so that double-byte names stay what they are.
  std::string MakeTree(const std::string& name) {
    const std::string root = m_temp / name;
    for (const char* folder : {"", "\\empty", "\\sub", "\\sub\\deep"})
      ::CreateDirectoryA((root + folder).c_str(), nullptr);
    std::ofstream(root + "\\a.txt") << "alpha";
    std::ofstream(root + "\\hidden.txt") << "secret";
    ::SetFileAttributesA((root + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::ofstream(root + "\\sub\\b.txt") << "beta";
    std::ofstream(root + "\\sub\\deep\\c.txt") << "gamma";
    return root;
  }

  nytest::TempFolder m_temp;
};

}  // namespace

TEST_F(FolderTrees, CopyReproducesTheTreeIntoANewFolderOnly) {
  const std::string source = MakeTree("src"), copy = m_temp / "out\\copy";
  ASSERT_TRUE(NyCopyDirectoryT(source.c_str(), copy.c_str()));
  EXPECT_EQ(ReadBytes(copy + "\\a.txt"), "alpha");
  EXPECT_EQ(ReadBytes(copy + "\\sub\\deep\\c.txt"), "gamma");
  EXPECT_TRUE(::GetFileAttributesA((copy + "\\hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(Exists(copy + "\\empty"));

  // An existing destination fails before anything is copied.
  const std::string existing = m_temp / "existing";
  ::CreateDirectoryA(existing.c_str(), nullptr);
  EXPECT_FALSE(NyCopyDirectoryT(source.c_str(), existing.c_str()));
  EXPECT_FALSE(Exists(existing + "\\a.txt"));

  // A destination inside the source (or the source itself) would copy
  // itself forever; any letter case names the same folder.
  for (const std::string& inside : {source + "\\sub\\again", m_temp / "SRC\\x", source}) {
    EXPECT_FALSE(NyCopyDirectoryT(source.c_str(), inside.c_str())) << inside;
  }
  EXPECT_FALSE(Exists(source + "\\sub\\again"));

  EXPECT_FALSE(NyCopyDirectoryT((m_temp / "missing").c_str(), (m_temp / "fromMissing").c_str()));
  const std::string longName(300, 'n');
  EXPECT_FALSE(NyCopyDirectoryT(source.c_str(), (m_temp / longName).c_str()));
  EXPECT_FALSE(NyCopyDirectoryT((m_temp / longName).c_str(), (m_temp / "fromLong").c_str()));
  EXPECT_FALSE(NyCopyDirectoryT("", (m_temp / "fromEmpty").c_str()));
}

TEST_F(FolderTrees, CopyStopsAtALockedFile) {
  const std::string source = MakeTree("src");
  nytest::ScopedFile locked((source + "\\a.txt"), GENERIC_READ, 0);
  ASSERT_TRUE(locked.IsOpen());
  EXPECT_FALSE(NyCopyDirectoryT(source.c_str(), (m_temp / "copy").c_str()));
}

// What cannot be deleted (a read-only file, an open one) stays with its
// chain of folders; everything else goes, and a second try after the file
// is released removes the rest.
TEST_F(FolderTrees, RemovalIsBestEffortAndReportsWhatStays) {
  const std::string tree = MakeTree("tree");
  const std::string readOnly = m_temp.WriteFile("tree\\ro\\frozen.txt");
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    nytest::ScopedFile open(tree + "\\sub\\deep\\c.txt", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(open.IsOpen());
    EXPECT_FALSE(NyRemoveDirectoryT(tree.c_str()));
    EXPECT_TRUE(Exists(tree + "\\sub\\deep\\c.txt"));
    EXPECT_TRUE(Exists(readOnly));
    for (const char* gone : {"\\a.txt", "\\hidden.txt", "\\empty", "\\sub\\b.txt"}) {
      EXPECT_FALSE(Exists(tree + gone)) << gone;
    }
  }
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(NyRemoveDirectoryT(tree.c_str()));
  EXPECT_FALSE(Exists(tree));

  EXPECT_FALSE(NyRemoveDirectoryT(tree.c_str()));  // already gone
  EXPECT_FALSE(NyRemoveDirectoryT((m_temp / std::string(300, 'n')).c_str()));
  const std::string file = m_temp.WriteFile("plain.txt");
  EXPECT_FALSE(NyRemoveDirectoryT(file.c_str()));
  EXPECT_TRUE(Exists(file));
}

// Removal never follows a link out of the tree: links (to a folder with
// files, to an empty folder) inside the tree and a link named as the tree
// itself leave the decoy they point at untouched.
TEST(FolderTreeLinks, RemovalNeverFollowsLinks) {
  FILESTEST_NEEDS_FIXTURES();
  const std::string tree = filestest::Fixture("trees\\removal");
  ASSERT_TRUE(filestest::IsLink(tree + "\\sub\\toDecoy"));
  ASSERT_TRUE(filestest::DecoyIntact());

  const bool removed = NyRemoveDirectoryT(tree.c_str());
  EXPECT_TRUE(filestest::DecoyIntact());
  EXPECT_FALSE(Exists(tree + "\\a.txt"));
  EXPECT_FALSE(Exists(tree + "\\sub\\deep"));
  if (filestest::IsWine()) {
    // Wine difference (see IsWine): the links and their folders stay.
    EXPECT_FALSE(removed);
    EXPECT_TRUE(filestest::IsLink(tree + "\\sub\\toDecoy"));
  } else {
    EXPECT_TRUE(removed);
    EXPECT_FALSE(Exists(tree));
  }

  EXPECT_EQ(NyRemoveDirectoryT(filestest::Fixture("trees\\linkAsTree").c_str()), !filestest::IsWine());
  EXPECT_TRUE(filestest::DecoyIntact());
}

// An empty path would list the root of the current drive; a drive root, a
// bare drive letter (its working folder) and names that resolve to the root
// are refused too. Tried from the spare drive only, with a decoy in place.
TEST_F(FolderTrees, RemovalRefusesEmptyPathsAndRoots) {
  FILESTEST_NEEDS_FIXTURES();
  const std::string spare = filestest::SpareFolder();
  const std::string decoy = spare + "\\decoy.txt";
  std::ofstream(decoy) << "keep";
  ASSERT_TRUE(Exists(decoy));
  const std::string saved = nytest::WorkingDirectory();
  ASSERT_EQ(_chdir(spare.c_str()), 0);
  const std::string drive = spare.substr(0, 2);
  for (const std::string& path : {std::string(), drive, drive + "\\", drive + "\\\\", std::string("\\"),
                                  std::string(".."), std::string("..\\.")}) {
    EXPECT_FALSE(NyRemoveDirectoryT(path.c_str())) << "'" << path << "'";
  }
  _chdir((drive + "\\").c_str());
  EXPECT_FALSE(NyRemoveDirectoryT("."));
  _chdir(saved.c_str());
  EXPECT_TRUE(Exists(decoy));
}

NY_CODEPAGE_TEST_F(FolderTrees, DoubleByteNames) {
  // Under 932 the folder name is the character 0x95 0x5C, whose second byte
  // is a backslash; under 1252 the same bytes are two characters.
  const std::string name = nytest::IsCodePage932() ? "\x95\x5C" : "caf\xE9";
  const std::string source = MakeTree(name);
  ::CreateDirectoryA((source + "\\" + name).c_str(), nullptr);
  std::ofstream(source + "\\" + name + "\\x.txt") << "x";
  const std::string copy = m_temp / (name + "copy");
  ASSERT_TRUE(NyCopyDirectoryT(source.c_str(), copy.c_str()));
  EXPECT_EQ(ReadBytes(copy + "\\" + name + "\\x.txt"), "x");
  EXPECT_TRUE(NyRemoveDirectoryT(copy.c_str()));
  EXPECT_TRUE(NyRemoveDirectoryT((source + "\\").c_str()));
  EXPECT_FALSE(Exists(source));
}

// The string pool. Its folder and layout are fixed by the first load of a
// process, so every scenario runs in a fresh process of its own.
#include <cstring>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

const std::string kNotFound = "can not find string";

// A temporary string-pool folder and configuration folders for one scenario.
struct PoolFixture {
  PoolFixture() {
    NySetApplicationConfigFileNameT("App.ini");
    NySetDefaultConfigPathT((m_dir / "Default").c_str());
    NySetUserConfigPathT((m_dir / "User").c_str());
  }
  std::string Put(const std::string& relative, const std::string& text) {
    return m_dir.WriteFile(relative, text);
  }
  std::string Folder() const { return m_dir / "Pool"; }
  nytest::TempFolder m_dir;
};

std::string Load(const char* pool, const char* section, const char* key) {
  return NyLoadStringT(pool, section, key);
}

}  // namespace

TEST(StringPool, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  nytest::RunEachInFreshProcess("FreshStringPool");
}

NY_FRESH_TEST(FreshStringPool, PerLanguageLayoutWithFallBacksAndPreferentialPools) {
  PoolFixture f;
  f.Put("Pool\\JPN\\Main.str", "[Menu]\nFile_JPN=\x83\x74\x83\x40\x83\x43\x83\x8B\nOnly_JPN=jp only\n");
  f.Put("Pool\\ENG\\Main.str", "[Menu]\nFile_ENG=File\nEmpty_ENG=\nTitle_ENG=Main title\n");
  f.Put("Pool\\Main.str", "[Menu]\nFile_ENG=flat\n");  // the per-language layout wins
  f.Put("Pool\\ENG\\Custom.str", "[Menu]\nFile_ENG=Custom file\nTitle_ENG=\n");
  f.Put("Pool\\JPN\\Custom.str", "[Menu]\nOnly_JPN=custom jp\n");
  ASSERT_TRUE(NySetStringPoolPathT((f.Folder() + "\\").c_str()));
  EXPECT_EQ(std::string(NyGetStringPoolPathT()), f.Folder());
  ASSERT_TRUE(NySetStringPoolLanguage("ENG"));
  EXPECT_EQ(Load("Main", "Menu", "File"), "File");
  EXPECT_EQ(Load("Main", "Menu", "Only"), "jp only");   // the default language
  EXPECT_EQ(Load("Main", "Menu", "Empty"), kNotFound);  // empty counts as missing
  EXPECT_EQ(Load(nullptr, nullptr, nullptr), kNotFound);
  ASSERT_TRUE(NySetStringPoolLanguage("JPN"));
  EXPECT_EQ(Load("Main", "menu", "file"), "\x83\x74\x83\x40\x83\x43\x83\x8B");
  ASSERT_TRUE(NySetStringPoolLanguage("ENG"));
  EXPECT_TRUE(NyAddPreferentialStringPoolT("Main", "Custom"));
  EXPECT_EQ(Load("Main", "Menu", "File"), "Custom file");
  EXPECT_EQ(Load("Main", "Menu", "Title"), "Main title");  // an empty override does not count
  EXPECT_EQ(Load("Main", "Menu", "Only"), "jp only");      // never the preferential default language
  EXPECT_EQ(Load("main", "Menu", "File"), "File");         // the table matches names exactly
  // The table: adding again moves to the end, erasing works once.
  EXPECT_FALSE(NyAddPreferentialStringPoolT("Main", ""));
  EXPECT_TRUE(NyAddPreferentialStringPoolT("Main", "Missing"));
  EXPECT_TRUE(NyAddPreferentialStringPoolT("Main", "Custom"));
  EXPECT_TRUE(NyErasePreferentialStringPoolT("Main", "Custom") &&
              !NyErasePreferentialStringPoolT("Main", "Custom"));
  EXPECT_EQ(Load("Main", "Menu", "File"), "File");
  NyEraseAllPreferentialStringPoolT("Main");
  EXPECT_FALSE(NyErasePreferentialStringPoolT("Main", "Missing"));
  // The folder was kept at the first load.
  ASSERT_TRUE(NySetStringPoolPathT((f.m_dir / "Elsewhere").c_str()));
  EXPECT_EQ(Load("Main", "Menu", "File"), "File");
}

NY_FRESH_TEST(FreshStringPool, FirstProbeThatFindsAFileFixesTheLayout) {
  PoolFixture f;
  ASSERT_TRUE(NySetStringPoolPathT(f.Folder().c_str()));
  NySetStringPoolLanguage("ENG");
  EXPECT_EQ(Load("Main", "Menu", "File"), kNotFound);  // nothing yet: still unknown
  f.Put("Pool\\Main.str", "[Menu]\nFile_ENG=flat\n");
  EXPECT_EQ(Load("Main", "Menu", "File"), "flat");
  f.Put("Pool\\JPN\\Main.str", "[Menu]\nFile_ENG=per language\n");
  EXPECT_EQ(Load("Main", "Menu", "File"), "flat");
}

NY_FRESH_TEST(FreshStringPool, LanguageAndFolderAreDecidedFromTheConfiguration) {
  PoolFixture f;
  EXPECT_TRUE(NySetStringPoolLanguage(std::string(49, 'L').c_str()));
  EXPECT_FALSE(NySetStringPoolLanguage(std::string(50, 'L').c_str()));
  EXPECT_EQ(std::string(NyGetStringPoolLanguage()), std::string(49, 'L'));

  const struct {
    const char* user;
    const char* defaults;
    const char* decided;
  } cases[] = {
      {"DEU", "ENG", "DEU"},
      {nullptr, "ENG", "ENG"},
      {nullptr, nullptr, "JPN"},
      {nullptr, "0123456789012345678901234567890123456789012345678901", "JPN"},
  };
  for (const auto& c : cases) {
    f.Put("User\\App.ini", c.user ? std::string("[StringPool]\nLanguage=") + c.user + "\n" : "");
    f.Put("Default\\App.ini", c.defaults ? std::string("[StringPool]\nLanguage=") + c.defaults + "\n" : "");
    ASSERT_TRUE(NySetStringPoolLanguage(""));
    EXPECT_EQ(std::string(NyGetStringPoolLanguage()), c.decided);
  }
  // A new default language does not change a language already decided.
  EXPECT_TRUE(NySetStringPoolDefaultLanguage("ENG"));
  EXPECT_EQ(std::string(NyGetStringPoolLanguage()), "JPN");
  EXPECT_FALSE(NySetStringPoolDefaultLanguage(std::string(50, 'D').c_str()));
  // So does the folder.
  ASSERT_TRUE(NySetBasePathT(f.m_dir.Path().c_str()));
  f.Put("Default\\App.ini", "[StringPool]\nPath=Pool\n");
  f.Put("Pool\\Main.str", "[S]\nK_JPN=from the configured folder\n");
  EXPECT_EQ(std::string(NyGetStringPoolPathT()), f.Folder());
  EXPECT_EQ(Load("Main", "S", "K"), "from the configured folder");
}

NY_FRESH_TEST(FreshStringPool, RingKeepsThirtyResultsThroughTheCache) {
  PoolFixture f;
  std::string text = "[S]\n";
  for (int i = 0; i < 31; ++i) text += "K" + std::to_string(i) + "_JPN=text " + std::to_string(i) + "\\t\n";
  std::string file = f.Put("Pool\\Main.str", text);
  ASSERT_TRUE(NySetStringPoolPathT(f.Folder().c_str()));
  ASSERT_TRUE(NySetUseConfigCache(true));
  std::vector<const char*> results;
  for (int i = 0; i < 31; ++i)
    results.push_back(NyLoadStringT("Main", "S", ("K" + std::to_string(i)).c_str()));
  EXPECT_EQ(results[30], results[0]);
  for (int i = 1; i < 31; ++i) EXPECT_EQ(std::string(results[i]), "text " + std::to_string(i) + "\t");
  // Served from the cache, which holds the file against writers.
  EXPECT_FALSE(nytest::ScopedFile(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
  NySetUseConfigCache(false);
}

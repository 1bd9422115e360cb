// The configuration cache seen through the typed access, on real files.
#include <algorithm>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "base/NyScopedHandle.h"

namespace {

std::vector<long> g_counts;

class ConfigCache : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(NySetUseConfigCache(true, 90000));
    g_counts.clear();
    NySetConfigCacheCountFunc([](long value) { g_counts.push_back(value); });
  }
  void TearDown() override {
    NySetConfigCacheCountFunc(nullptr);
    NySetUseConfigCache(false, 90000);
  }

  std::string Read(const std::string& path, const char* section, const char* key) {
    char value[1024] = "garbage";
    EXPECT_TRUE(NyReadConfigT(section, key, value, path.c_str()));
    return value;
  }

  nytest::TempFolder m_dir;
};

// Section S in the written form: V=`v`, then keys Ki holding `value` (empty: i).
std::string Keys(char v, int keys, const std::string& value = "") {
  std::string text = "[S]\r\nV=" + std::string(1, v) + "\r\n";
  for (int i = 0; i < keys; ++i) {
    text += "K" + std::to_string(i) + "=" + (value.empty() ? std::to_string(i) : value) + "\r\n";
  }
  return text + "\r\n";
}

ny::ScopedKernelHandle Open(const std::string& path, DWORD access, DWORD share) {
  return ny::ScopedKernelHandle(
      ::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Scenarios in a process of their own get their file in NY_CACHE_FILE.
const char* ChildFile() { return std::getenv("NY_CACHE_FILE"); }
intptr_t StartChild(int mode, const char* test, const std::string& file) {
  _putenv(("NY_CACHE_FILE=" + file).c_str());
  return nytest::SpawnFresh(mode, std::string("ConfigCacheChild.") + test);
}

}  // namespace

NY_FRESH_TEST(ConfigCacheChild, ExitsWithoutFlushing) {
  NySetUseConfigCache(true);
  NyWriteConfigT("S", "K", "written", ChildFile());
  ::ExitProcess(0);  // no flush, no C runtime exit: only the library's unload
}

NY_FRESH_TEST(ConfigCacheChild, FlushesUntilKilled) {
  NySetUseConfigCache(true, 1000000);
  for (int round = 0;; ++round) {
    NyWriteConfigT("S", "V", round % 2 ? "a" : "b", ChildFile());
    NyFlashConfigCache();
    if (round == 0) std::ofstream(std::string(ChildFile()) + ".ready") << "ready";
  }
}

// Exits with 1 when NY_CACHE_FILE opens for writing, with 0 when it does not.
NY_FRESH_TEST(ConfigCacheChild, OpensForWriting) {
  ::ExitProcess(Open(ChildFile(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsValid());
}

TEST_F(ConfigCache, HeldFileKeepsOtherProcessesFromWriting) {
  std::string path = m_dir.WriteFile("shared.ini", "[S]\nK=1\n");
  EXPECT_EQ(Read(path, "S", "K"), "1");
  EXPECT_TRUE(Open(path, GENERIC_READ, FILE_SHARE_READ));  // readers are welcome
  EXPECT_EQ(StartChild(_P_WAIT, "OpensForWriting", path), 0);
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(StartChild(_P_WAIT, "OpensForWriting", path), 1);
}

TEST_F(ConfigCache, UnloadWritesChangesBack) {
  std::string path = m_dir / "unload.ini";
  EXPECT_EQ(StartChild(_P_WAIT, "ExitsWithoutFlushing", path), 0);
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\r\nK=written\r\n\r\n");
}

// A process killed at any moment of its write-back leaves the whole old file or the whole new one.
TEST_F(ConfigCache, KilledWriteBackNeverLeavesAPartialFile) {
  const std::string a = Keys('a', 20000, std::string(40, 'x')), b = Keys('b', 20000, std::string(40, 'x'));
  std::string path = m_dir.WriteFile("killed.ini", a), ready = path + ".ready";
  for (int round = 0; round < 8; ++round) {
    ::DeleteFileA(ready.c_str());
    HANDLE child = reinterpret_cast<HANDLE>(StartChild(_P_NOWAIT, "FlushesUntilKilled", path));
    ASSERT_NE(child, INVALID_HANDLE_VALUE);
    for (int wait = 0; wait < 1000 && !nytest::Exists(ready); ++wait) ::Sleep(10);
    ::Sleep(round * 13 % 40);
    ::TerminateProcess(child, 1);
    ::WaitForSingleObject(child, INFINITE);
    ::CloseHandle(child);
    std::string bytes = nytest::ReadBytes(path);
    EXPECT_TRUE(bytes == a || bytes == b) << round << ": " << bytes.size() << " bytes";
  }
}

// Repeated sections and keys: the first match wins, a new key joins the first
// section of its name, and a header with leading blanks names another section.
// A new file starts as FF FE; an empty key empties a section, an empty value
// adds no key; a UTF-16 file is written back as narrow text.
TEST_F(ConfigCache, WriteBackHasTheWrittenForm) {
  std::string path = m_dir.WriteFile("form.ini",
                                     "; comment\n[Main]\nA = 1\n\n  [Main]\nB='quoted'\n"
                                     "[Other]\nX=1\n[main]\nA=second\nC=3\n");
  EXPECT_EQ(Read(path, "MAIN", "a"), "1");
  EXPECT_EQ(Read(path, "Main", "C"), "3");
  EXPECT_EQ(Read(path, "Main", "B"), "");
  EXPECT_TRUE(NyWriteConfigT("Main", "C", "changed", path.c_str()) &&
              NyWriteConfigT("Main", "New", "added", path.c_str()) &&
              NyWriteConfigT("Fresh", "K", "v", path.c_str()));
  EXPECT_EQ(Read(path, "main", "new"), "added");
  EXPECT_EQ(nytest::ReadBytes(path).find("changed"), std::string::npos);  // memory only until the flush

  std::string fresh = m_dir / "new.ini";
  EXPECT_TRUE(NyWriteConfigT("S", "K", "v", fresh.c_str()));
  EXPECT_EQ(nytest::ReadBytes(fresh), "\xFF\xFE");
  EXPECT_TRUE(NyWriteConfigT("S", "Gone", "x", fresh.c_str()) && NyWriteConfigT("S", "", "", fresh.c_str()) &&
              NyWriteConfigT("Empty", "K", "", fresh.c_str()));
  EXPECT_EQ(Read(fresh, "S", "K"), "");
  std::string wide = m_dir.WriteFile("wide.ini", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0", 16));
  EXPECT_TRUE(NyWriteConfigT("S", "k", "w", wide.c_str()));

  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(path),
            "[Main]\r\nA=1\r\nNew=added\r\n\r\n  [Main]\r\nB=quoted\r\n\r\n[Other]\r\nX=1\r\n\r\n"
            "[main]\r\nA=second\r\nC=changed\r\n\r\n[Fresh]\r\nK=v\r\n\r\n");
  EXPECT_EQ(nytest::ReadBytes(fresh), "[S]\r\n\r\n[Empty]\r\n\r\n");
  EXPECT_EQ(nytest::ReadBytes(wide), "[S]\r\nk=w\r\n\r\n");
}

// Names longer than any path are folded apart from the short ones, on the
// heap: they must still match ignoring case, and only in full.
TEST_F(ConfigCache, NamesLongerThanAPathMatchIgnoringCase) {
  const std::string section(300, 'S'), key(1000, 'K'), lowerSection(300, 's'), lowerKey(1000, 'k');
  std::string path = m_dir.WriteFile("long.ini", "[" + section + "]\n" + key + "=1\n");
  EXPECT_EQ(Read(path, lowerSection.c_str(), lowerKey.c_str()), "1");
  EXPECT_EQ(Read(path, lowerSection.c_str(), lowerKey.substr(0, 999).c_str()), "");
  EXPECT_TRUE(NyWriteConfigT(lowerSection.c_str(), lowerKey.c_str(), "2", path.c_str()));
  EXPECT_EQ(Read(path, section.c_str(), key.c_str()), "2");
}

// Paths match ignoring case (the last file used byte for byte, others by
// folded path); full-width A and a are one letter in two cases under 932 only.
NY_CODEPAGE_TEST_F(ConfigCache, PathsAndNamesCompareByCharacter) {
  std::string path = m_dir.WriteFile("case.ini", "[\x82\x60]\n\x95\x5C=1\n"), upper = path;
  std::string other = m_dir.WriteFile("other.ini", "[\x82\x60]\n\x95\x5C=o\n");
  ::CharUpperA(&upper[0]);
  EXPECT_TRUE(NyWriteConfigT("\x82\x60", "\x95\x5C", "\x83\x5C", path.c_str()));
  EXPECT_EQ(Read(other, "\x82\x60", "\x95\x5C"), "o");
  EXPECT_EQ(Read(upper, "\x82\x60", "\x95\x5C"), "\x83\x5C");  // the same cached file, not a second copy
  EXPECT_EQ(Read(path, "\x82\x81", "\x95\x5C"), nytest::IsCodePage932() ? "\x83\x5C" : "");
}

TEST_F(ConfigCache, CallbackCountsReadsWritesAndFlushes) {
  std::string path = m_dir.WriteFile("count.ini", "[S]\nK=1\n");
  char value[1024];
  NyReadConfigT("S", "K", value, path.c_str());
  NyReadConfigT("S", "K", value, (m_dir / "missing.ini").c_str());  // not counted
  NyWriteConfigT("S", "K", 2, path.c_str());
  NyFlashConfigCache();
  NyFlashConfigCache();  // nothing cached: no 0
  NySetUseConfigCache(false, 0);
  NyReadConfigT("S", "K", value, path.c_str());
  NyWriteConfigT(nullptr, "K", "v", path.c_str());  // refused: not counted
  EXPECT_EQ(g_counts, (std::vector<long>{1, 2, 0, 1}));
  EXPECT_STREQ(value, "2");
}

TEST_F(ConfigCache, LimitsMakeTheCacheFlushItself) {
  // The limit never goes below 999 short texts: 400 keys (803 texts) stay, 500 more flush.
  EXPECT_TRUE(NySetUseConfigCache(true, 500));
  EXPECT_EQ(Read(m_dir.WriteFile("small.ini", Keys('s', 400)), "S", "K399"), "399");
  EXPECT_EQ(Read(m_dir.WriteFile("large.ini", Keys('l', 500)), "S", "K499"), "499");
  EXPECT_EQ(g_counts, (std::vector<long>{1, 1, 0}));
  // The 101st file flushes after the operation that loaded it.
  g_counts.clear();
  for (int i = 0; i < 101; ++i) Read(m_dir.WriteFile(std::to_string(i) + ".ini", "[S]\nK=1\n"), "S", "K");
  EXPECT_EQ(std::count(g_counts.begin(), g_counts.end(), 0), 1);
  EXPECT_EQ(g_counts.back(), 0);
}

// A read-only file, or one with a key longer than a slot holds (writing it
// back would lose that line), is served from memory and never written.
TEST_F(ConfigCache, ReadOnlyAndOverlongFilesAreServedFromMemoryOnly) {
  std::string longKey = "[S]\nK=1\n" + std::string(2000, 'k') + "=v\n";
  std::string overlong = m_dir.WriteFile("long.ini", longKey),
              readOnly = m_dir.WriteFile("ro.ini", "[S]\nK=1\n");
  EXPECT_TRUE(NyWriteConfigT(std::string(1100, 's').c_str(), "K", "v", overlong.c_str()));  // refused
  ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  for (const std::string& path : {readOnly, overlong}) {
    EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
    EXPECT_EQ(Read(path, "S", "K"), "2");
  }
  EXPECT_TRUE(NyFlashConfigCache());
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(nytest::ReadBytes(readOnly), "[S]\nK=1\n");
  EXPECT_EQ(nytest::ReadBytes(overlong), longKey);
}

// Another program holding the file: a load gives up after 1 s and caches
// nothing; a write-back gives up after 5 s, the flush says so, the old file
// stays whole and no temporary file is left behind.
TEST_F(ConfigCache, FilesHeldElsewhereGiveUpAfterRetrying) {
  std::string path = m_dir.WriteFile("held.ini", "[S]\nK=1\n");
  ny::ScopedKernelHandle other = Open(path, GENERIC_READ, 0);
  DWORD start = ::GetTickCount();
  EXPECT_EQ(Read(path, "S", "K"), "");
  EXPECT_GE(::GetTickCount() - start, 900u);
  other.Reset();
  EXPECT_EQ(Read(path, "S", "K"), "1");  // nothing was cached for the locked file
  EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
  other = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(other);
  start = ::GetTickCount();
  EXPECT_FALSE(NyFlashConfigCache());
  EXPECT_GE(::GetTickCount() - start, 4900u);
  other.Reset();
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\nK=1\n");
  EXPECT_EQ(Read(path, "S", "K"), "1");  // the cache is empty all the same
  auto entries = std::filesystem::directory_iterator(m_dir.Path());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

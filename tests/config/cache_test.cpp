// The configuration cache seen through the typed access, on real files.
#include <algorithm>
#include <cstdlib>
#include <process.h>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "toolkit/NyScopedHandle.h"

namespace {

std::vector<long> g_counts;
void Count(long value) { g_counts.push_back(value); }

class ConfigCache : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(NySetUseConfigCache(true, 90000));
    g_counts.clear();
    NySetConfigCacheCountFunc(Count);
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

// A file of `keys` keys in one section.
std::string ManyKeys(int keys) {
  std::string text = "[S]\n";
  for (int i = 0; i < keys; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  return text;
}

ny::ScopedKernelHandle Open(const std::string& path, DWORD access, DWORD share) {
  return ny::ScopedKernelHandle(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Scenarios in a process of their own get their file in NY_CACHE_FILE.
const char* ChildFile() { return std::getenv("NY_CACHE_FILE"); }

intptr_t StartChild(int mode, const char* test, const std::string& file) {
  _putenv(("NY_CACHE_FILE=" + file).c_str());
  return nytest::SpawnFresh(mode, std::string("ConfigCacheChild.") + test);
}

// The written form of a file of about 1 MB whose key V holds `version`.
std::string Version(char version) {
  std::string text = "[S]\r\nV=" + std::string(1, version) + "\r\n";
  for (int i = 0; i < 20000; ++i) text += "K" + std::to_string(i) + "=" + std::string(40, 'x') + "\r\n";
  return text + "\r\n";
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

// Opens NY_CACHE_FILE for writing; passes when that succeeds exactly as
// NY_EXPECT_OPEN ("1" or "0") says.
NY_FRESH_TEST(ConfigCacheChild, OpensForWriting) {
  ny::ScopedKernelHandle file = Open(ChildFile(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_EQ(file.IsValid(), std::getenv("NY_EXPECT_OPEN")[0] == '1');
}

TEST_F(ConfigCache, HeldFileKeepsOtherProcessesFromWriting) {
  std::string path = m_dir.WriteFile("shared.ini", "[S]\nK=1\n");
  EXPECT_EQ(Read(path, "S", "K"), "1");
  EXPECT_TRUE(Open(path, GENERIC_READ, FILE_SHARE_READ));  // readers are welcome
  _putenv("NY_EXPECT_OPEN=0");
  EXPECT_EQ(StartChild(_P_WAIT, "OpensForWriting", path), 0);
  EXPECT_TRUE(NyFlashConfigCache());
  _putenv("NY_EXPECT_OPEN=1");
  EXPECT_EQ(StartChild(_P_WAIT, "OpensForWriting", path), 0);
}

TEST_F(ConfigCache, UnloadWritesChangesBack) {
  std::string path = m_dir / "unload.ini";
  EXPECT_EQ(StartChild(_P_WAIT, "ExitsWithoutFlushing", path), 0);
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\r\nK=written\r\n\r\n");
}

// A process killed at any moment of its write-back leaves the whole old file
// or the whole new one.
TEST_F(ConfigCache, KilledWriteBackNeverLeavesAPartialFile) {
  std::string path = m_dir.WriteFile("killed.ini", Version('a'));
  for (int round = 0; round < 8; ++round) {
    std::string ready = path + ".ready";
    ::DeleteFileA(ready.c_str());
    HANDLE child = reinterpret_cast<HANDLE>(StartChild(_P_NOWAIT, "FlushesUntilKilled", path));
    ASSERT_NE(child, INVALID_HANDLE_VALUE);
    for (int wait = 0; wait < 1000 && !nytest::Exists(ready); ++wait) ::Sleep(10);
    ::Sleep(round * 13 % 40);
    ::TerminateProcess(child, 1);
    ::WaitForSingleObject(child, INFINITE);
    ::CloseHandle(child);
    std::string bytes = nytest::ReadBytes(path);
    EXPECT_TRUE(bytes == Version('a') || bytes == Version('b')) << "round " << round << ": " << bytes.size() << " bytes";
  }
}

TEST_F(ConfigCache, WriteBackHasTheWrittenForm) {
  std::string path = m_dir.WriteFile("form.ini",
                                     "; comment\n[Main]\nA = 1\n\n  [Main]\nB='quoted'\n"
                                     "[Other]\nX=1\n[main]\nA=second\nC=3\n");
  EXPECT_EQ(Read(path, "MAIN", "a"), "1");
  EXPECT_EQ(Read(path, "Main", "C"), "3");
  EXPECT_EQ(Read(path, "Main", "B"), "");  // the header with blanks names another section
  EXPECT_TRUE(NyWriteConfigT("Main", "C", "changed", path.c_str()));
  EXPECT_TRUE(NyWriteConfigT("Main", "New", "added", path.c_str()));
  EXPECT_TRUE(NyWriteConfigT("Fresh", "K", "v", path.c_str()));
  EXPECT_EQ(Read(path, "main", "new"), "added");
  EXPECT_EQ(nytest::ReadBytes(path).find("changed"), std::string::npos);  // memory only until the flush
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(path),
            "[Main]\r\nA=1\r\nNew=added\r\n\r\n"
            "  [Main]\r\nB=quoted\r\n\r\n"
            "[Other]\r\nX=1\r\n\r\n"
            "[main]\r\nA=second\r\nC=changed\r\n\r\n"
            "[Fresh]\r\nK=v\r\n\r\n");
}

TEST_F(ConfigCache, NewFilesStartAsUtf16AndEmptyWritesKeepSections) {
  std::string path = m_dir / "new.ini";
  EXPECT_TRUE(NyWriteConfigT("S", "K", "v", path.c_str()));
  EXPECT_EQ(nytest::ReadBytes(path), "\xFF\xFE");
  EXPECT_TRUE(NyWriteConfigT("S", "Gone", "x", path.c_str()));
  EXPECT_TRUE(NyWriteConfigT("S", "", "", path.c_str()));       // empties [S]
  EXPECT_TRUE(NyWriteConfigT("Empty", "K", "", path.c_str()));  // a bare section
  EXPECT_EQ(Read(path, "S", "K"), "");
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\r\n\r\n[Empty]\r\n\r\n");

  // A UTF-16 file is written back as narrow text.
  std::string wide = m_dir.WriteFile("wide.ini", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0", 16));
  EXPECT_TRUE(NyWriteConfigT("S", "k", "w", wide.c_str()));
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(wide), "[S]\r\nk=w\r\n\r\n");
}

TEST_F(ConfigCache, PathsMatchIgnoringCase) {
  std::string path = m_dir.WriteFile("case.ini", "[S]\nK=1\n");
  std::string other = m_dir.WriteFile("other.ini", "[S]\nK=other\n");
  std::string upper = path;
  ::CharUpperA(&upper[0]);
  EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
  EXPECT_EQ(Read(other, "S", "K"), "other");
  EXPECT_EQ(Read(upper, "s", "k"), "2");  // the same cached file, not a second copy
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
  // The limit never goes below 999 short texts; 500 keys are 1000 texts.
  EXPECT_TRUE(NySetUseConfigCache(true, 500));
  std::string small = m_dir.WriteFile("small.ini", ManyKeys(400));
  std::string large = m_dir.WriteFile("large.ini", ManyKeys(500));
  EXPECT_EQ(Read(small, "S", "K399"), "399");
  EXPECT_EQ(g_counts, (std::vector<long>{1}));
  EXPECT_EQ(Read(large, "S", "K499"), "499");  // 800 + 1000 texts: flushes after the read
  EXPECT_EQ(g_counts, (std::vector<long>{1, 1, 0}));

  // The 101st file flushes after the operation that loaded it.
  g_counts.clear();
  for (int i = 0; i < 101; ++i) Read(m_dir.WriteFile("f" + std::to_string(i) + ".ini", "[S]\nK=1\n"), "S", "K");
  EXPECT_EQ(std::count(g_counts.begin(), g_counts.end(), 0), 1);
  EXPECT_EQ(g_counts.back(), 0);
}

TEST_F(ConfigCache, ReadOnlyAndOverlongFilesAreServedFromMemoryOnly) {
  std::string path = m_dir.WriteFile("readonly.ini", "[S]\nK=1\n");
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
  EXPECT_EQ(Read(path, "S", "K"), "2");
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\nK=1\n");
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // So is a file with a key longer than a slot holds: writing it back would
  // lose that line.
  std::string longKey = "[S]\nK=1\n" + std::string(2000, 'k') + "=v\n";
  path = m_dir.WriteFile("longkey.ini", longKey);
  EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
  EXPECT_EQ(Read(path, "S", "K"), "2");
  EXPECT_TRUE(NyWriteConfigT(std::string(1100, 's').c_str(), "K", "v", path.c_str()));  // refused
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(path), longKey);
}

TEST_F(ConfigCache, LockedFileGivesUpAfterRetrying) {
  std::string path = m_dir.WriteFile("locked.ini", "[S]\nK=1\n");
  ny::ScopedKernelHandle lock = Open(path, GENERIC_READ, 0);
  DWORD start = ::GetTickCount();
  EXPECT_EQ(Read(path, "S", "K"), "");
  EXPECT_GE(::GetTickCount() - start, 900u);
  lock.Reset();
  EXPECT_EQ(Read(path, "S", "K"), "1");  // nothing was cached for the locked file
}

// Full-width A and a are one letter in two cases under 932 only.
TEST_F(ConfigCache, NamesCompareByCharacterCodePage) {
  std::string path = m_dir.WriteFile("dbcs.ini", "[\x82\x60]\n\x95\x5C=\x83\x5C\n");
  EXPECT_EQ(Read(path, "\x82\x60", "\x95\x5C"), "\x83\x5C");
  EXPECT_EQ(Read(path, "\x82\x81", "\x95\x5C"), nytest::IsCodePage932() ? "\x83\x5C" : "");
}

// While another program keeps the file open, the write-back gives up after
// its retries: the flush reports it, the old file stays whole and no
// temporary file is left behind.
TEST_F(ConfigCache, BlockedWriteBackKeepsTheOldFileWhole) {
  std::string path = m_dir.WriteFile("blocked.ini", "[S]\nK=1\n");
  EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
  ny::ScopedKernelHandle reader = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(reader);
  DWORD start = ::GetTickCount();
  EXPECT_FALSE(NyFlashConfigCache());
  EXPECT_GE(::GetTickCount() - start, 4900u);
  reader.Reset();
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\nK=1\n");
  EXPECT_EQ(Read(path, "S", "K"), "1");  // the cache is empty all the same
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);
}

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

// Section S in the written form: V=`v`, then `keys` keys of 40 bytes each.
std::string Keys(char v, int keys) {
  std::string text = "[S]\r\nV=" + std::string(1, v) + "\r\n";
  for (int i = 0; i < keys; ++i) text += "K" + std::to_string(i) + "=" + std::string(40, 'x') + "\r\n";
  return text + "\r\n";
}

// Scenarios in a process of their own get their file in NY_CACHE_FILE and
// set the event ReadyEvent(file) once their first write-back is done.
const char* ChildFile() { return std::getenv("NY_CACHE_FILE"); }
intptr_t StartChild(int mode, const char* test, const std::string& file) {
  _putenv(("NY_CACHE_FILE=" + file).c_str());
  return nytest::SpawnFresh(mode, std::string("ConfigCacheChild.") + test);
}
std::string ReadyEvent(std::string file) {
  std::replace(file.begin(), file.end(), '\\', '/');
  return "ny-cache-ready-" + file;
}

}  // namespace

NY_FRESH_TEST(ConfigCacheChild, ExitsWithoutFlushing) {
  NySetUseConfigCache(true);
  NyWriteConfigT("S", "K", "written", ChildFile());
  ::ExitProcess(0);  // no flush, no C runtime exit: only the library's unload
}

NY_FRESH_TEST(ConfigCacheChild, FlushesUntilKilled) {
  NySetUseConfigCache(true, 1000000);
  ny::ScopedKernelHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, ReadyEvent(ChildFile()).c_str()));
  for (int round = 0;; ++round) {
    NyWriteConfigT("S", "V", round % 2 ? "a" : "b", ChildFile());
    NyFlashConfigCache();
    if (round == 0) ::SetEvent(ready.Get());
  }
}

// Exits with 1 when NY_CACHE_FILE opens for writing, with 0 when it does not.
NY_FRESH_TEST(ConfigCacheChild, OpensForWriting) {
  ::ExitProcess(nytest::ScopedFile(ChildFile(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
}

// A cached file keeps other processes from writing (not from reading) until
// the flush; the library's unload writes changes back.
TEST_F(ConfigCache, HeldFileAndUnload) {
  std::string path = m_dir.WriteFile("shared.ini", "[S]\nK=1\n"), unload = m_dir / "unload.ini";
  EXPECT_EQ(Read(path, "S", "K"), "1");
  EXPECT_TRUE(nytest::ScopedFile(path, GENERIC_READ, FILE_SHARE_READ).IsOpen());
  EXPECT_EQ(StartChild(_P_WAIT, "OpensForWriting", path), 0);
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(StartChild(_P_WAIT, "OpensForWriting", path), 1);
  EXPECT_EQ(StartChild(_P_WAIT, "ExitsWithoutFlushing", unload), 0);
  EXPECT_EQ(nytest::ReadBytes(unload), "[S]\r\nK=written\r\n\r\n");
}

// A process killed at any moment of its write-back leaves the whole old file or the whole new one.
TEST_F(ConfigCache, KilledWriteBackNeverLeavesAPartialFile) {
  const std::string a = Keys('a', 20000), b = Keys('b', 20000);
  std::string path = m_dir.WriteFile("killed.ini", a);
  ny::ScopedKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, ReadyEvent(path).c_str()));
  for (int round = 0; round < 8; ++round) {
    ::ResetEvent(ready.Get());
    ny::ScopedKernelHandle child(reinterpret_cast<HANDLE>(StartChild(_P_NOWAIT, "FlushesUntilKilled", path)));
    ASSERT_TRUE(child);
    HANDLE both[] = {ready.Get(), child.Get()};
    EXPECT_EQ(::WaitForMultipleObjects(2, both, FALSE, 10000), WAIT_OBJECT_0) << round;
    EXPECT_EQ(::WaitForSingleObject(child.Get(), round * 13 % 40), WAIT_TIMEOUT);  // kill at varying moments
    ::TerminateProcess(child.Get(), 1);
    ::WaitForSingleObject(child.Get(), 10000);
    std::string bytes = nytest::ReadBytes(path);
    EXPECT_TRUE(bytes == a || bytes == b) << round << ": " << bytes.size() << " bytes";
  }
}

// The first match wins, a new key joins the first section of its name, a
// header with leading blanks names another section; a new file starts as
// FF FE; an empty key empties a section, an empty value adds no key; a UTF-16
// file is written back narrow. Names longer than a path match ignoring case, in
// full. A read-only file, or one with a key longer than a slot, is never written.
TEST_F(ConfigCache, WriteBackHasTheWrittenForm) {
  std::string path = m_dir.WriteFile(
      "form.ini", "; comment\n[Main]\nA = 1\n\n  [Main]\nB='quoted'\n[Other]\nX=1\n[main]\nA=second\nC=3\n");
  EXPECT_EQ(Read(path, "MAIN", "a") + Read(path, "Main", "C") + Read(path, "Main", "B"), "13");
  EXPECT_TRUE(NyWriteConfigT("Main", "C", "changed", path.c_str()) &&
              NyWriteConfigT("Main", "New", "added", path.c_str()) &&
              NyWriteConfigT("Fresh", "K", "v", path.c_str()));
  EXPECT_EQ(nytest::ReadBytes(path).find("changed"), std::string::npos);  // memory only until the flush
  std::string fresh = m_dir / "new.ini";
  EXPECT_EQ((NyWriteConfigT("S", "K", "v", fresh.c_str()), nytest::ReadBytes(fresh)), "\xFF\xFE");
  EXPECT_TRUE(NyWriteConfigT("S", "Gone", "x", fresh.c_str()) && NyWriteConfigT("S", "", "", fresh.c_str()) &&
              NyWriteConfigT("Empty", "K", "", fresh.c_str()));
  std::string wide = m_dir.WriteFile("wide.ini", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0", 16));
  EXPECT_TRUE(NyWriteConfigT("S", "k", "w", wide.c_str()));
  const std::string section(300, 'S'), key(1000, 'K'), lowSection(300, 's'), lowKey(1000, 'k');
  std::string longNames = m_dir.WriteFile("long.ini", "[" + section + "]\n" + key + "=1\n");
  EXPECT_EQ(Read(longNames, lowSection.c_str(), lowKey.substr(0, 999).c_str()), "");
  EXPECT_TRUE(NyWriteConfigT(lowSection.c_str(), lowKey.c_str(), "2", longNames.c_str()));
  EXPECT_EQ(Read(longNames, section.c_str(), key.c_str()), "2");
  std::string longKey = "[S]\nK=1\n" + std::string(2000, 'k') + "=v\n";
  std::string overlong = m_dir.WriteFile("over.ini", longKey),
              readOnly = m_dir.WriteFile("ro.ini", "[S]\nK=1\n");
  ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  for (const std::string& kept : {readOnly, overlong}) {
    EXPECT_TRUE(NyWriteConfigT("S", "K", "2", kept.c_str()));
    EXPECT_EQ(Read(kept, "S", "K"), "2");
  }
  EXPECT_TRUE(NyFlashConfigCache());
  EXPECT_EQ(nytest::ReadBytes(path),
            "[Main]\r\nA=1\r\nNew=added\r\n\r\n  [Main]\r\nB=quoted\r\n\r\n[Other]\r\nX=1\r\n\r\n"
            "[main]\r\nA=second\r\nC=changed\r\n\r\n[Fresh]\r\nK=v\r\n\r\n");
  EXPECT_EQ(nytest::ReadBytes(fresh), "[S]\r\n\r\n[Empty]\r\n\r\n");
  EXPECT_EQ(nytest::ReadBytes(wide), "[S]\r\nk=w\r\n\r\n");
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(nytest::ReadBytes(readOnly) + nytest::ReadBytes(overlong), "[S]\nK=1\n" + longKey);
}

// Paths match ignoring case; full-width A and a are one letter under 932 only.
NY_CODEPAGE_TEST_F(ConfigCache, PathsAndNamesCompareByCharacter) {
  std::string path = m_dir.WriteFile("case.ini", "[\x82\x60]\n\x95\x5C=1\n"), upper = path;
  std::string other = m_dir.WriteFile("other.ini", "[\x82\x60]\n\x95\x5C=o\n");
  ::CharUpperA(&upper[0]);
  EXPECT_TRUE(NyWriteConfigT("\x82\x60", "\x95\x5C", "\x83\x5C", path.c_str()));
  EXPECT_EQ(Read(other, "\x82\x60", "\x95\x5C"), "o");
  EXPECT_EQ(Read(upper, "\x82\x60", "\x95\x5C"), "\x83\x5C");  // the same cached file
  EXPECT_EQ(Read(path, "\x82\x81", "\x95\x5C"), nytest::IsCodePage932() ? "\x83\x5C" : "");
}

// Reads, writes and flushes are counted (uncached reads too), missing files
// and refused calls are not; the limit never goes below 999 short texts (400 keys stay, 500 flush),
// and the 101st file flushes after the operation that loaded it.
TEST_F(ConfigCache, CountsAndLimits) {
  std::string path = m_dir.WriteFile("count.ini", "[S]\nK=1\n");
  char value[1024];
  NyReadConfigT("S", "K", value, path.c_str());
  NyReadConfigT("S", "K", value, (m_dir / "missing.ini").c_str());
  NyWriteConfigT("S", "K", 2, path.c_str());
  NyFlashConfigCache();
  NyFlashConfigCache();
  NySetUseConfigCache(false, 0);
  NyReadConfigT("S", "K", value, path.c_str());
  NyWriteConfigT(nullptr, "K", "v", path.c_str());
  EXPECT_STREQ(value, "2");
  EXPECT_TRUE(NySetUseConfigCache(true, 500));
  EXPECT_EQ(Read(m_dir.WriteFile("small.ini", Keys('s', 400)), "S", "V"), "s");
  EXPECT_EQ(Read(m_dir.WriteFile("large.ini", Keys('l', 500)), "S", "V"), "l");
  EXPECT_EQ(g_counts, (std::vector<long>{1, 2, 0, 1, 1, 1, 0}));
  g_counts.clear();
  for (int i = 0; i < 101; ++i) Read(m_dir.WriteFile(std::to_string(i) + ".ini", "[S]\nK=1\n"), "S", "K");
  EXPECT_EQ(std::count(g_counts.begin(), g_counts.end(), 0), 1);
  EXPECT_EQ(g_counts.back(), 0);
}

// A file held elsewhere: a load gives up after 1 s and caches nothing; a
// write-back gives up after 5 s, the old file stays whole, no temporary file is left.
TEST_F(ConfigCache, FilesHeldElsewhereGiveUpAfterRetrying) {
  std::string path = m_dir.WriteFile("held.ini", "[S]\nK=1\n");
  DWORD start = ::GetTickCount();
  EXPECT_EQ(Read((nytest::ScopedFile(path, GENERIC_READ, 0), path), "S", "K"), "");
  EXPECT_GE(::GetTickCount() - start, 900u);
  EXPECT_EQ(Read(path, "S", "K"), "1");  // nothing was cached for the held file
  EXPECT_TRUE(NyWriteConfigT("S", "K", "2", path.c_str()));
  {
    nytest::ScopedFile other(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    start = ::GetTickCount();
    EXPECT_FALSE(NyFlashConfigCache());
    EXPECT_GE(::GetTickCount() - start, 4900u);
  }
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\nK=1\n");
  EXPECT_EQ(Read(path, "S", "K"), "1");  // the cache is empty all the same
  auto entries = std::filesystem::directory_iterator(m_dir.Path());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

// The dump folder: the names, the trimming rule on texts, the trimming of a
// real folder, and the one-time set-up with dumps of this and other
// processes.
#include <fstream>

#include "CrashTestSupport.h"
#include "base/NyScopedHandle.h"
#include "process/NyDumpFolder.h"

using crashtest::Child;
using crashtest::FileNames;

TEST(DumpFolder, Keys) {
  const struct {
    const char* path;
    bool dump;
    long long key;
  } cases[] = {
      {"C:\\d\\dump_1700000000-4242.dmp", true, 1700000000},
      {"C:\\d\\dump_1700000000-4242-viewer-5151.dmp", true, 1700000000},
      {"C:\\d\\DUMP_17-1.DMP", true, 17},
      {"C:\\d\\run_42.Log", true, 42},
      {"C:\\d\\run_-5x.log", true, -5},
      {"C:\\d\\run_ 7.log", true, 7},     // leading blanks, as _atoi64 reads
      {"C:\\d\\notes.dmp", true, 0},      // no '_': the whole path, no digits at its start
      {"C:\\my_dir\\1234.dmp", true, 0},  // the folder's '_' counts: "dir\\1234"
      {"C:\\d\\dump_abc.dmp", true, 0},
      {"C:\\d\\dump_99999999999999999999.dmp", true, 9223372036854775807LL},
      {"C:\\d\\dump_1.txt", false, 0},
      {"C:\\d\\dump_1.dmpx", false, 0},
      {"dmp", false, 0},
  };
  for (const auto& c : cases) {
    long long key = -1;
    ASSERT_EQ(ny::crash::DumpFileKey(c.path, &key), c.dump) << c.path;
    if (c.dump) EXPECT_EQ(key, c.key) << c.path;
  }
}

NY_CODEPAGE_TEST(DumpFolder, KeyFollowsTheLastSingleByteUnderscore) {
  // 0x5F can be the second byte of a double-byte character under 932
  // (0x81 0x5F); it does not start the key there.
  long long key = -1;
  ASSERT_TRUE(ny::crash::DumpFileKey("C:\\d\\x_12\x81_34.dmp", &key));
  EXPECT_EQ(key, nytest::IsCodePage932() ? 12 : 34);
  EXPECT_EQ(ny::crash::ModuleBaseName("ab\x81_c.exe"), nytest::IsCodePage932() ? "ab\x81_c" : "ab\x81");
}

TEST(DumpFolder, Names) {
  EXPECT_EQ(ny::crash::OwnDumpPath("C:\\d", 1700000000, 4242), "C:\\d\\dump_1700000000-4242.dmp");
  EXPECT_EQ(ny::crash::OtherDumpPath("C:\\d\\dump_1700000000-4242.dmp", "viewer.exe", 5151),
            "C:\\d\\dump_1700000000-4242-viewer-5151.dmp");
  EXPECT_EQ(ny::crash::OtherDumpPath("C:\\d\\dump_1-2.dmp", "my_tool.exe", 3), "C:\\d\\dump_1-2-my-3.dmp");
  EXPECT_EQ(ny::crash::ModuleBaseName(""), "");
}

TEST(DumpFolder, TrimmingChoosesSmallestKeysFirstInFoundOrder) {
  std::vector<std::string> paths;
  for (int i = 103; i >= 1; --i) paths.push_back("dump_" + std::to_string(i) + "-1.dmp");
  paths.push_back("readme.txt");
  paths.push_back("b_0.log");  // key 0, found after a_0
  paths.insert(paths.begin(), "a_0.LOG");
  const std::vector<size_t> doomed = ny::crash::DumpFilesToDelete(paths);
  std::vector<std::string> names;
  for (size_t i : doomed) names.push_back(paths[i]);
  // 105 dump and log files: five go.
  EXPECT_EQ(names,
            (std::vector<std::string>{"a_0.LOG", "b_0.log", "dump_1-1.dmp", "dump_2-1.dmp", "dump_3-1.dmp"}));
  paths.resize(100);
  EXPECT_TRUE(ny::crash::DumpFilesToDelete(paths).empty());
}

// Initialize in a child: 103 dumps, logs counted, upper-case extensions,
// other files and a sub-folder.
TEST(DumpFolder, InitializeTrimsARealFolder) {
  nytest::TempFolder folder;
  for (int i = 1; i <= 100; ++i) folder.WriteFile("dump_" + std::to_string(i + 3) + "-1.dmp");
  folder.WriteFile("dump_1-1.DMP");
  folder.WriteFile("old_2.log");
  folder.WriteFile("zz_3.log");
  folder.WriteFile("notes.txt");
  folder.WriteFile("dump_0-9.dmp.bak");
  folder.WriteFile("sub_1.dmp\\inner_1.dmp");  // a folder named like a dump, and what it holds
  Child child({"kind", "15", folder.Path(), folder / "markers.txt"});
  ASSERT_EQ(child.Wait(), 0);
  const std::vector<std::string> names = FileNames(folder.Path());
  EXPECT_EQ(names.size(), 100u + 3u);  // the kept dumps, notes, .bak, markers
  for (const char* gone : {"dump_1-1.DMP", "old_2.log", "zz_3.log"}) {
    EXPECT_FALSE(nytest::Exists(folder / gone)) << gone;
  }
  for (const char* kept :
       {"dump_4-1.dmp", "dump_103-1.dmp", "notes.txt", "dump_0-9.dmp.bak", "sub_1.dmp\\inner_1.dmp"}) {
    EXPECT_TRUE(nytest::Exists(folder / kept)) << kept;
  }
}

TEST(DumpFolder, SetUpAndDumpsOfProcesses) { nytest::RunEachInFreshProcess("DumpFolderFresh"); }

// Process-wide, once per process: the whole life of the set-up in order.
NY_FRESH_TEST(DumpFolderFresh, InitializeOnceThenDumpThisAndOtherProcesses) {
  EXPECT_EQ(NyCrashHandler::GetDumpFilePathName(), nullptr);
  EXPECT_EQ(NyCrashHandler::CreateMiniDump(nullptr, 0), nullptr);  // no folder yet

  nytest::TempFolder folder, other;
  for (int i = 1; i <= 101; ++i) other.WriteFile("dump_" + std::to_string(i) + "-1.dmp");
  NyCrashHandler::Initialize(folder.Path().c_str(), nullptr, nullptr);
  const std::string own = NyCrashHandler::GetDumpFilePathName();
  const std::string expected = "dump_\\d+-" + std::to_string(::GetCurrentProcessId()) + "\\.dmp";
  EXPECT_EQ(own.substr(0, folder.Path().size() + 1), folder.Path() + "\\");
  EXPECT_TRUE(testing::internal::RE::FullMatch(own.substr(folder.Path().size() + 1), expected.c_str()))
      << own;

  // A second set-up changes nothing, and leaves its folder alone.
  NyCrashHandler::Initialize(other.Path().c_str(), nullptr, nullptr);
  EXPECT_EQ(NyCrashHandler::GetDumpFilePathName(), own);
  EXPECT_EQ(FileNames(other.Path()).size(), 101u);

  // This process, without exception information.
  const char* written = NyCrashHandler::CreateMiniDump(nullptr, 0);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(std::string(written), own);
  crashtest::DumpFacts dump = crashtest::ReadDump(own);
  EXPECT_TRUE(dump.readable);
  EXPECT_FALSE(dump.hasException);
  EXPECT_NE(std::find(dump.threads.begin(), dump.threads.end(), ::GetCurrentThreadId()), dump.threads.end());

  // A process that does not exist: null, and the path stays.
  EXPECT_EQ(NyCrashHandler::CreateMiniDump(nullptr, 0x7FFFFFF0), nullptr);
  EXPECT_EQ(NyCrashHandler::GetDumpFilePathName(), own);

  // Another process: named after it, and the path of the dumps from then on.
  const std::string name = "DoRorCrashTest" + std::to_string(::GetCurrentProcessId());
  ny::ScopedKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, (name + "ready").c_str()));
  ny::ScopedKernelHandle quit(::CreateEventA(nullptr, TRUE, FALSE, (name + "quit").c_str()));
  Child child({"wait", name + "ready", name + "quit"});
  ASSERT_TRUE(child.Started());
  const DWORD id = child.Info().dwProcessId;
  ASSERT_EQ(::WaitForSingleObject(ready.Get(), crashtest::kChildTimeoutMs), WAIT_OBJECT_0);
  written = NyCrashHandler::CreateMiniDump(nullptr, id);
  ASSERT_NE(written, nullptr);
  const std::string childDump =
      own.substr(0, own.size() - 4) + "-NyCrashChild-" + std::to_string(id) + ".dmp";
  EXPECT_EQ(std::string(written), childDump);
  EXPECT_EQ(std::string(NyCrashHandler::GetDumpFilePathName()), childDump);
  EXPECT_TRUE(crashtest::ReadDump(childDump).readable);
  ::SetEvent(quit.Get());
  EXPECT_EQ(child.Wait(), 0);
}

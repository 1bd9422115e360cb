// Per-process temporary folders and the clean-up of ended processes' folders.
// The root is chosen once per process, so each scenario runs in a process of
// its own (this program started again for it).
#include <process.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "DoRor.h"
#include "FilesTestSupport.h"

namespace {

using nytest::Exists;

std::string Text(const char* s) { return s ? s : "(null)"; }

std::string SystemTemp() {
  char path[MAX_PATH];
  const DWORD n = ::GetTempPathA(MAX_PATH, path);
  return std::string(path, n > 0 ? n - 1 : 0);  // without the trailing backslash
}

std::string FolderOf(DWORD id) { return "QND_TMP_FOLDER" + std::to_string(id); }

double FreeMebibytes(const std::string& folder) {
  ULARGE_INTEGER available;
  if (!::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return -1.0;
  return static_cast<double>(available.QuadPart) / 1048576.0;
}

// Children that wait, each until the event named after this process is set
// (or a minute has passed, should this process die first).
class WaitingChildren {
 public:
  explicit WaitingChildren(int count) {
    const std::string name = EventName(::GetCurrentProcessId());
    m_event = ::CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    _putenv(("NY_CHILD_EVENT=" + name).c_str());
    for (int i = 0; i < count; ++i) {
      m_children.push_back(reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "TempFolderChild.Waits")));
    }
  }
  ~WaitingChildren() {
    Release();
    ::CloseHandle(m_event);
  }
  DWORD Id(size_t i) const { return ::GetProcessId(m_children[i]); }
  // Lets the children end and waits (at most ten seconds each) until they have.
  void Release() {
    ::SetEvent(m_event);
    for (HANDLE child : m_children) {
      ::WaitForSingleObject(child, 10000);
      ::CloseHandle(child);
    }
    m_children.clear();
  }
  static std::string EventName(DWORD parent) { return "Local\\NyTempFolderChild" + std::to_string(parent); }

 private:
  HANDLE m_event;
  std::vector<HANDLE> m_children;
};

// The id of a process that has ended.
DWORD EndedProcessId() {
  const HANDLE child = reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "TempFolderChild.Ends"));
  ::WaitForSingleObject(child, 10000);
  const DWORD id = ::GetProcessId(child);
  ::CloseHandle(child);
  return id;
}

void MakeFolder(const std::string& path, const std::string& file = "") {
  ::CreateDirectoryA(path.c_str(), nullptr);
  if (!file.empty()) std::ofstream(path + "\\" + file) << "x";
}

}  // namespace

TEST(TempFolders, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  nytest::RunEachInFreshProcess("FreshTempFolders");
}

NY_FRESH_TEST(TempFolderChild, Waits) {
  const HANDLE event = ::OpenEventA(SYNCHRONIZE, FALSE, std::getenv("NY_CHILD_EVENT"));
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(::WaitForSingleObject(event, 60000), WAIT_OBJECT_0);
  ::CloseHandle(event);
}

NY_FRESH_TEST(TempFolderChild, Ends) {}

// Without a choice the first getter takes {system temp}\Quandor and makes
// this process's folder there; the choice is final.
NY_FRESH_TEST(FreshTempFolders, DefaultRootUnderTheSystemTemporaryFolder) {
  EXPECT_EQ(NyGetRootTempPathT(), nullptr);
  EXPECT_NEAR(NyGetAvailableTempDiskSize(), FreeMebibytes(SystemTemp()), 64.0);
  EXPECT_FALSE(NyEraseUnusedTempFiles(false));  // no root yet

  const std::string root = SystemTemp() + "\\Quandor";
  const std::string own = root + "\\" + FolderOf(::GetCurrentProcessId());
  EXPECT_EQ(Text(NyGetTempPathT()), own);
  EXPECT_EQ(Text(NyGetRootTempPathT()), root);
  EXPECT_EQ(Text(NyGetTempPath()), own);
  EXPECT_TRUE(Exists(own));
  EXPECT_FALSE(NySetRootTempPathT(""));
  EXPECT_EQ(Text(NyGetRootTempPathT()), root);

  // Other runs may share this root: only this process's folder is checked.
  NyEraseUnusedTempFiles(true);
  EXPECT_FALSE(Exists(own));
  EXPECT_EQ(Text(NyGetTempPathT()), own);  // the path stays as it was
}

// Null and over-long paths are refused before anything is chosen; a usable
// path becomes the root (kept without its trailing backslash), and the root
// is removed with the last folder in it.
NY_FRESH_TEST(FreshTempFolders, GivenRootHoldsTheProcessFolder) {
  nytest::TempFolder temp;
  EXPECT_FALSE(NySetRootTempPathT(nullptr));
  EXPECT_FALSE(NySetRootTempPathT((temp.Path() + "\\" + std::string(260, 'r')).c_str()));
  EXPECT_EQ(NyGetRootTempPathT(), nullptr);

  const std::string root = temp / "scratch\\root";
  ASSERT_TRUE(NySetRootTempPathT((root + "\\").c_str()));
  EXPECT_EQ(Text(NyGetRootTempPathT()), root);
  EXPECT_EQ(Text(NyGetTempPathT()), root + "\\" + FolderOf(::GetCurrentProcessId()));
  EXPECT_TRUE(Exists(NyGetTempPathT()));
  EXPECT_NEAR(NyGetAvailableTempDiskSize(), FreeMebibytes(root), 64.0);

  EXPECT_TRUE(NyEraseUnusedTempFiles(false));
  EXPECT_TRUE(Exists(NyGetTempPathT()));
  EXPECT_TRUE(NyEraseUnusedTempFiles(true));
  EXPECT_FALSE(Exists(root));
  EXPECT_TRUE(Exists(temp / "scratch"));
}

// A root on a drive that does not exist, and one so long that the process
// folder would not fit, give way to the default root; nothing is created
// under them.
NY_FRESH_TEST(FreshTempFolders, UnusableRootsFallBackToTheDefault) {
  const char* const kind = std::getenv("NY_UNUSABLE_ROOT");
  if (!kind) {
    for (const char* k : {"missing-drive", "long"}) {
      _putenv((std::string("NY_UNUSABLE_ROOT=") + k).c_str());
      EXPECT_EQ(nytest::SpawnFresh(_P_WAIT, "FreshTempFolders.UnusableRootsFallBackToTheDefault"), 0) << k;
    }
    _putenv("NY_UNUSABLE_ROOT=");
    return;
  }
  nytest::TempFolder temp;
  std::string root = "R:\\NoSuchDrive\\Temp";
  if (std::string(kind) == "long") root = temp.Path() + "\\" + std::string(250 - temp.Path().size() - 1, 'L');
  ASSERT_EQ(std::string(kind) == "long" ? root.size() : 250, 250u);
  EXPECT_TRUE(NySetRootTempPathT(root.c_str()));
  EXPECT_EQ(Text(NyGetRootTempPathT()), SystemTemp() + "\\Quandor");
  EXPECT_FALSE(Exists(root));
  NyEraseUnusedTempFiles(true);
}

// The clean-up keeps the folders of running processes (real children here),
// erases those of ended ones and of ids that run nowhere, matches the prefix
// at the very start and in its case only, leaves files in the root alone,
// keeps a folder with an open file (false), and never follows a link.
NY_FRESH_TEST(FreshTempFolders, CleanUpKeepsLiveFoldersAndErasesEndedOnes) {
  FILESTEST_NEEDS_FIXTURES();
  const std::string root = filestest::Fixture("temproot");
  ASSERT_TRUE(NySetRootTempPathT(root.c_str()));
  const std::string own = NyGetTempPathT();
  const DWORD ended = EndedProcessId();
  WaitingChildren children(2);
  ASSERT_NE(children.Id(0), 0u);
  ASSERT_NE(children.Id(1), 0u);

  const auto in = [&](const std::string& name) { return root + "\\" + name; };
  MakeFolder(in(FolderOf(children.Id(0))), "data.txt");
  MakeFolder(in(FolderOf(children.Id(1))));
  MakeFolder(in(FolderOf(ended)));
  MakeFolder(in(FolderOf(ended) + "\\sub"), "f.txt");
  MakeFolder(in("QND_TMP_FOLDER99x"));
  MakeFolder(in("xQND_TMP_FOLDER1"));
  MakeFolder(in(std::string("qnd_tmp_folder5")));
  std::ofstream(in("QND_TMP_FOLDER77")) << "a file, not a folder";
  MakeFolder(in("QND_TMP_FOLDER6"));
  MakeFolder(in("QND_TMP_FOLDER6\\deep"), "open.txt");
  {
    nytest::ScopedFile open(in("QND_TMP_FOLDER6\\deep\\open.txt"), GENERIC_READ, 0);
    ASSERT_TRUE(open.IsOpen());
    EXPECT_FALSE(NyEraseUnusedTempFiles(false));
    EXPECT_TRUE(Exists(in("QND_TMP_FOLDER6\\deep\\open.txt")));
  }
  EXPECT_TRUE(Exists(own));
  EXPECT_TRUE(Exists(in(FolderOf(children.Id(0)) + "\\data.txt")));
  EXPECT_TRUE(Exists(in(FolderOf(children.Id(1)))));
  EXPECT_FALSE(Exists(in(FolderOf(ended))));
  EXPECT_FALSE(Exists(in("QND_TMP_FOLDER99x")));
  EXPECT_FALSE(Exists(in("QND_TMP_FOLDER2\\x.txt")));
  for (const std::string& kept :
       {std::string("xQND_TMP_FOLDER1"), std::string("qnd_tmp_folder5"), std::string("QND_TMP_FOLDER77")}) {
    EXPECT_TRUE(Exists(in(kept))) << kept;
  }
  EXPECT_TRUE(filestest::DecoyIntact());

  // Once the children have ended their folders go too, and with
  // includeOwnFolder this process's own.
  children.Release();
  const bool second = NyEraseUnusedTempFiles(true);
  // Wine difference (see IsWine): the link folders stay, so false there.
  EXPECT_EQ(second, !filestest::IsWine());
  EXPECT_FALSE(Exists(own));
  EXPECT_FALSE(Exists(in(FolderOf(children.Id(0)))));
  EXPECT_FALSE(Exists(in("QND_TMP_FOLDER6")));
  EXPECT_TRUE(Exists(in("QND_TMP_FOLDER77")));
  EXPECT_TRUE(filestest::DecoyIntact());
}

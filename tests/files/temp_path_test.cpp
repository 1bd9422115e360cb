// Per-process temporary folders and the clean-up of ended processes' folders.
// The root is chosen once per process, so each scenario runs in a process of
// its own (this program started again for it).
#include <process.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "DoRor.h"
#include "FilesTestSupport.h"

namespace {

using nytest::Exists;

std::string Text(const char* s) { return s ? s : "(null)"; }

std::string DefaultRoot() {
  char path[MAX_PATH];
  ::GetTempPathA(MAX_PATH, path);  // with a trailing backslash
  return std::string(path) + "Quandor";
}

std::string FolderOf(DWORD id) { return "QND_TMP_FOLDER" + std::to_string(id); }

double FreeMebibytes(const std::string& folder) {
  ULARGE_INTEGER available{};
  ::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr);
  return static_cast<double>(available.QuadPart) / 1048576.0;
}

// A child that waits until the event named in NY_CHILD_EVENT is set (a minute
// at most), or ends at once without one.
HANDLE StartChild() {
  return reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "TempFolderChild.Waits"));
}

void MakeFolder(const std::string& path, const char* file = nullptr) {
  ::CreateDirectoryA(path.c_str(), nullptr);
  if (file) std::ofstream(path + "\\" + file) << "x";
}

// A root on a missing drive, or one so long that the process folder would not
// fit, gives way to the default root, and nothing is made under it.
void FallsBackToTheDefault(const std::string& root) {
  EXPECT_TRUE(NySetRootTempPathT(root.c_str()));
  EXPECT_EQ(Text(NyGetRootTempPathT()), DefaultRoot());
  EXPECT_FALSE(Exists(root));
  NyEraseUnusedTempFiles(true);
}

}  // namespace

TEST(TempFolders, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  nytest::RunEachInFreshProcess("FreshTempFolders");
}

NY_FRESH_TEST(TempFolderChild, Waits) {
  const char* name = std::getenv("NY_CHILD_EVENT");
  if (!name) return;
  const HANDLE event = ::OpenEventA(SYNCHRONIZE, FALSE, name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(::WaitForSingleObject(event, 60000), WAIT_OBJECT_0);
  ::CloseHandle(event);
}

// Without a choice the first getter takes {system temp}\Quandor and makes this
// process's folder there; the choice is final.
NY_FRESH_TEST(FreshTempFolders, DefaultRootUnderTheSystemTemporaryFolder) {
  EXPECT_EQ(NyGetRootTempPathT(), nullptr);
  const double available = NyGetAvailableTempDiskSize();
  EXPECT_FALSE(NyEraseUnusedTempFiles(false));  // no root yet
  const std::string own = DefaultRoot() + "\\" + FolderOf(::GetCurrentProcessId());
  EXPECT_EQ(Text(NyGetTempPathT()), own);
  EXPECT_EQ(Text(NyGetTempPath()), own);
  EXPECT_TRUE(Exists(own));
  EXPECT_NEAR(available, FreeMebibytes(own), 64.0);
  EXPECT_FALSE(NySetRootTempPathT(""));
  EXPECT_EQ(Text(NyGetRootTempPathT()), DefaultRoot());
  // Other runs may share this root: only this process's folder is checked.
  NyEraseUnusedTempFiles(true);
  EXPECT_FALSE(Exists(own));
  EXPECT_EQ(Text(NyGetTempPathT()), own);  // the path stays as it was
}

// Null and over-long roots are refused before anything is chosen; a usable one
// is kept without its trailing backslash and removed with its last folder.
NY_FRESH_TEST(FreshTempFolders, GivenRootHoldsTheProcessFolder) {
  nytest::TempFolder temp;
  EXPECT_FALSE(NySetRootTempPathT(nullptr));
  EXPECT_FALSE(NySetRootTempPathT((temp / std::string(260, 'r')).c_str()));
  EXPECT_EQ(NyGetRootTempPathT(), nullptr);

  const std::string root = temp / "scratch\\root";
  ASSERT_TRUE(NySetRootTempPathT((root + "\\").c_str()));
  EXPECT_EQ(Text(NyGetRootTempPathT()), root);
  EXPECT_EQ(Text(NyGetTempPathT()), root + "\\" + FolderOf(::GetCurrentProcessId()));
  EXPECT_NEAR(NyGetAvailableTempDiskSize(), FreeMebibytes(root), 64.0);
  EXPECT_TRUE(NyEraseUnusedTempFiles(false));
  EXPECT_TRUE(Exists(NyGetTempPathT()));  // its own folder is kept
  EXPECT_TRUE(NyEraseUnusedTempFiles(true));
  EXPECT_FALSE(Exists(root));
  EXPECT_TRUE(Exists(temp / "scratch"));
}

NY_FRESH_TEST(FreshTempFolders, MissingDriveFallsBack) { FallsBackToTheDefault("R:\\NoSuchDrive\\Temp"); }

NY_FRESH_TEST(FreshTempFolders, RootOf250CharactersFallsBack) {
  nytest::TempFolder temp;
  FallsBackToTheDefault(temp / std::string(250 - temp.Path().size() - 1, 'L'));
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
  const HANDLE ended = StartChild();
  ASSERT_EQ(::WaitForSingleObject(ended, 10000), WAIT_OBJECT_0);
  const std::string eventName = "Local\\NyTempFolderChild" + std::to_string(::GetCurrentProcessId());
  const HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  _putenv(("NY_CHILD_EVENT=" + eventName).c_str());
  const HANDLE live[] = {StartChild(), StartChild()};
  const auto in = [&](const std::string& name) { return root + "\\" + name; };
  const std::string live0 = in(FolderOf(::GetProcessId(live[0]))),
                    live1 = in(FolderOf(::GetProcessId(live[1])));
  const std::string gone = in(FolderOf(::GetProcessId(ended)));
  ::CloseHandle(ended);  // closed only now, so that no child takes its id

  MakeFolder(live0, "data.txt");
  MakeFolder(live1);
  MakeFolder(gone);
  MakeFolder(gone + "\\sub", "f.txt");
  for (const char* name : {"QND_TMP_FOLDER99x", "xQND_TMP_FOLDER1", "qnd_tmp_folder5", "QND_TMP_FOLDER6"})
    MakeFolder(in(name));
  MakeFolder(in("QND_TMP_FOLDER6\\deep"), "open.txt");
  std::ofstream(in("QND_TMP_FOLDER77")) << "a file, not a folder";
  {
    nytest::ScopedFile open(in("QND_TMP_FOLDER6\\deep\\open.txt"), GENERIC_READ, 0);
    ASSERT_TRUE(open.IsOpen());
    EXPECT_FALSE(NyEraseUnusedTempFiles(false));
    EXPECT_TRUE(Exists(in("QND_TMP_FOLDER6\\deep\\open.txt")));
  }
  for (const std::string& kept : {own, live0 + "\\data.txt", live1, in("xQND_TMP_FOLDER1"),
                                  in("qnd_tmp_folder5"), in("QND_TMP_FOLDER77")})
    EXPECT_TRUE(Exists(kept)) << kept;
  for (const std::string& erased : {gone, in("QND_TMP_FOLDER99x"), in("QND_TMP_FOLDER2\\x.txt")})
    EXPECT_FALSE(Exists(erased)) << erased;
  EXPECT_TRUE(filestest::DecoyIntact());

  // Once the children have ended their folders go too, and with
  // includeOwnFolder this process's own.
  ::SetEvent(event);
  for (HANDLE child : live) {
    EXPECT_EQ(::WaitForSingleObject(child, 10000), WAIT_OBJECT_0);
    ::CloseHandle(child);
  }
  // Wine difference (see IsWine): the link folders stay, so false there.
  EXPECT_EQ(NyEraseUnusedTempFiles(true), !filestest::IsWine());
  for (const std::string& erased : {own, live0, live1, in("QND_TMP_FOLDER6")})
    EXPECT_FALSE(Exists(erased)) << erased;
  EXPECT_TRUE(filestest::DecoyIntact());
  ::CloseHandle(event);
}

// Identity and folder settings. The settings are process-wide and several are
// derived only at their first use, so each scenario runs in a child process
// of its own (this test executable started again with a filter), where the
// library starts with its settings as they are at load.
#include <cstdlib>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

bool InFreshProcess() { return std::getenv("NY_FRESH_PROCESS") != nullptr; }

#define FRESH_TEST(name)                                                   \
  static void FreshBody_##name();                                          \
  TEST(FreshSettings, name) {                                              \
    if (!InFreshProcess()) GTEST_SKIP() << "runs in a process of its own"; \
    FreshBody_##name();                                                    \
  }                                                                        \
  static void FreshBody_##name()

std::string OwnExecutable() {
  char path[MAX_PATH];
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// Runs one test of `exe` in a new process and returns its exit code.
DWORD RunFresh(const std::string& exe, const std::string& test, const char* expectModule) {
  ::SetEnvironmentVariableA("NY_FRESH_PROCESS", "1");
  ::SetEnvironmentVariableA("NY_EXPECT_MODULE", expectModule);
  // A copy of the executable elsewhere still finds DoRor.dll and the runtime.
  std::string path = FolderOf(OwnExecutable());
  char oldPath[32768] = "";
  ::GetEnvironmentVariableA("PATH", oldPath, sizeof oldPath);
  ::SetEnvironmentVariableA("PATH", (path + ";" + oldPath).c_str());

  std::string commandLine = "\"" + exe + "\" --gtest_brief=1 --gtest_filter=FreshSettings." + test;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  BOOL started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &si, &pi);
  ::SetEnvironmentVariableA("NY_FRESH_PROCESS", nullptr);
  ::SetEnvironmentVariableA("PATH", oldPath);
  if (!started) return 0xFFFFFFFF;
  ::WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 0xFFFFFFFE;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return code;
}

std::string Text(const char* s) { return s ? s : "(null)"; }

}  // namespace

TEST(IdentitySettings, EveryScenarioPassesInAFreshProcess) {
  if (InFreshProcess()) GTEST_SKIP();
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const testing::TestSuite& suite = *unit.GetTestSuite(i);
    if (std::string(suite.name()) != "FreshSettings") continue;
    for (int j = 0; j < suite.total_test_count(); ++j) {
      const char* name = suite.GetTestInfo(j)->name();
      EXPECT_EQ(RunFresh(OwnExecutable(), name, "identity_tests"), 0u) << "scenario " << name;
    }
  }
}

// The module name is the executable's file name as stored on disk, less a
// final ".exe" in any letter case; another extension stays.
TEST(IdentitySettings, ModuleNameComesFromTheEntryOnDisk) {
  if (InFreshProcess()) GTEST_SKIP();
  nytest::TempFolder temp;
  ASSERT_TRUE(::CopyFileA(OwnExecutable().c_str(), (temp / "Viewer.EXE").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(OwnExecutable().c_str(), (temp / "Tool.bin").c_str(), FALSE));
  // Started by a lower-case name: the name kept is the one on disk.
  EXPECT_EQ(RunFresh(temp / "viewer.exe", "DefaultsBeforeAnySetter", "Viewer"), 0u);
  EXPECT_EQ(RunFresh(temp / "Tool.bin", "DefaultsBeforeAnySetter", "Tool.bin"), 0u);
}

FRESH_TEST(DefaultsBeforeAnySetter) {
  const std::string module = std::getenv("NY_EXPECT_MODULE");
  const std::string folder = FolderOf(OwnExecutable());

  EXPECT_EQ(NyGetApplicationConfigFileNameT(), nullptr);
  EXPECT_EQ(NyGetApplicationConfigFileName(), nullptr);
  EXPECT_EQ(NyGetApplicationPriorConfigFileNameT(), nullptr);
  EXPECT_EQ(NyGetUserConfigFileNameT(), nullptr);
  EXPECT_EQ(NyGetCompanyName(), nullptr);
  EXPECT_EQ(NyGetApplicationName(), nullptr);
  EXPECT_TRUE(NyIsUserConfigEnable());

  EXPECT_EQ(Text(NyGetModuleNameT()), module);
  EXPECT_EQ(Text(NyGetModuleName()), module);
  EXPECT_STRCASEEQ(NyGetModulePathT(), folder.c_str());
  EXPECT_STREQ(NyGetBasePathT(), NyGetModulePathT());
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), std::string(NyGetModulePathT()) + "\\Config");

  // Null names fall back on the module name.
  EXPECT_TRUE(NySetApplicationConfigFileNameT(nullptr));
  EXPECT_EQ(Text(NyGetApplicationConfigFileNameT()), module + ".ini");
  EXPECT_EQ(Text(NyGetUserConfigFileNameT()), module + ".ini");
  NySetApplicationName("");
  EXPECT_EQ(Text(NyGetApplicationName()), module);

  NySetUserConfigEnable(false);
  EXPECT_FALSE(NyIsUserConfigEnable());
}

FRESH_TEST(PriorNameFollowsThePostfixAndCopiesStay) {
  EXPECT_TRUE(NySetApplicationPriorConfigFilePostfixT(nullptr));
  EXPECT_TRUE(NySetApplicationConfigFileNameT("A.ini"));
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "ADefault.ini");
  // The non-T getters take their copies now and keep them.
  EXPECT_EQ(Text(NyGetApplicationConfigFileName()), "A.ini");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileName()), "ADefault.ini");

  EXPECT_TRUE(NySetApplicationConfigFileNameT("B"));
  EXPECT_EQ(Text(NyGetApplicationConfigFileNameT()), "B");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "BDefault");
  EXPECT_EQ(Text(NyGetApplicationConfigFileName()), "A.ini");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileName()), "ADefault.ini");

  // The postfix is fixed once the file name is set.
  EXPECT_FALSE(NySetApplicationPriorConfigFilePostfixT("Other"));
  EXPECT_TRUE(NySetApplicationConfigFileNameT("App.INI"));
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "AppDefault.INI");

  // A name whose prior name would not fit is refused as a whole.
  EXPECT_FALSE(NySetApplicationConfigFileNameT((std::string(255, 'n') + ".ini").c_str()));
  EXPECT_EQ(Text(NyGetApplicationConfigFileNameT()), "App.INI");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "AppDefault.INI");
}

FRESH_TEST(WithoutPostfixThePriorNameIsEmpty) {
  EXPECT_FALSE(NySetApplicationPriorConfigFilePostfixT(std::string(260, 'p').c_str()));
  EXPECT_TRUE(NySetApplicationConfigFileNameT("App.ini"));
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileName()), "");
  EXPECT_FALSE(NySetApplicationPriorConfigFilePostfixT("Default"));
}

FRESH_TEST(CompanyApplicationAndUserFileNames) {
  EXPECT_FALSE(NySetCompanyName(""));
  EXPECT_FALSE(NySetCompanyName(nullptr));
  EXPECT_EQ(NyGetCompanyName(), nullptr);
  EXPECT_TRUE(NySetCompanyName("Acme"));
  EXPECT_EQ(Text(NyGetCompanyName()), "Acme");
  EXPECT_TRUE(NySetCompanyName("Beta"));
  EXPECT_EQ(Text(NyGetCompanyName()), "Beta");  // a fresh copy at every call
  EXPECT_FALSE(NySetCompanyName(std::string(300, 'c').c_str()));
  EXPECT_EQ(Text(NyGetCompanyName()), "Beta");

  NySetApplicationName("Viewer");
  EXPECT_EQ(Text(NyGetApplicationName()), "Viewer");
  NySetApplicationName(std::string(300, 'v').c_str());
  EXPECT_EQ(Text(NyGetApplicationName()), "Viewer");

  EXPECT_TRUE(NySetUserConfigFileNameT(nullptr));
  EXPECT_EQ(NyGetUserConfigFileNameT(), nullptr);
  EXPECT_TRUE(NySetApplicationConfigFileNameT("App.ini"));
  EXPECT_EQ(Text(NyGetUserConfigFileNameT()), "App.ini");
  EXPECT_TRUE(NySetUserConfigFileNameT("User.ini"));
  EXPECT_TRUE(NySetUserConfigFileNameT(""));
  EXPECT_EQ(Text(NyGetUserConfigFileNameT()), "User.ini");
}

FRESH_TEST(BaseFolderIsResolvedCreatedAndCopied) {
  const std::string module = NyGetModulePathT();
  EXPECT_EQ(Text(NyGetBasePath()), module);  // the copy is taken here
  EXPECT_EQ(Text(NyGetModulePath()), module);

  nytest::TempFolder temp;
  EXPECT_TRUE(NySetBasePathT((temp / "new\\base\\").c_str()));
  EXPECT_TRUE(nytest::Exists(temp / "new\\base"));
  EXPECT_EQ(Text(NyGetBasePathT()), temp / "new\\base");
  EXPECT_EQ(Text(NyGetBasePath()), module);

  // A relative folder is taken against the executable's folder.
  const std::string relative = "DoRorBase" + std::to_string(::GetCurrentProcessId());
  EXPECT_TRUE(NySetBasePathT((relative + "\\sub").c_str()));
  EXPECT_EQ(Text(NyGetBasePathT()), module + "\\" + relative + "\\sub");
  EXPECT_TRUE(nytest::Exists(module + "\\" + relative + "\\sub"));
  std::filesystem::remove_all(module + "\\" + relative);

  // A folder that cannot be created leaves the setting as it was.
  const std::string file = temp.WriteFile("plain.txt");
  EXPECT_FALSE(NySetBasePathT((file + "\\sub").c_str()));
  EXPECT_FALSE(NySetBasePathT(("C:\\" + std::string(300, 'x')).c_str()));
  EXPECT_EQ(Text(NyGetBasePathT()), module + "\\" + relative + "\\sub");

  EXPECT_TRUE(NySetBasePathT(nullptr));
  EXPECT_EQ(Text(NyGetBasePathT()), module);
}

FRESH_TEST(DefaultConfigFolderIsDerivedOnceFromTheBase) {
  nytest::TempFolder temp;
  ASSERT_TRUE(NySetBasePathT((temp / "App").c_str()));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), temp / "App\\Config");
  EXPECT_EQ(Text(NyGetDefaultConfigPath()), temp / "App\\Config");

  // The derived folder does not follow the base folder.
  ASSERT_TRUE(NySetBasePathT((temp / "Other").c_str()));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), temp / "App\\Config");

  EXPECT_TRUE(NySetDefaultConfigPathT("D:\\cfg\\"));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), "D:\\cfg");
  EXPECT_TRUE(NySetDefaultConfigPathT(nullptr));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), temp / "Other\\Config");
  EXPECT_EQ(Text(NyGetDefaultConfigPath()), temp / "App\\Config");  // the copy stays
  EXPECT_FALSE(NySetDefaultConfigPathT(std::string(300, 'd').c_str()));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), temp / "Other\\Config");
}

FRESH_TEST(SettingsMadeBeforeTheFirstGetterAreKept) {
  EXPECT_TRUE(NySetDefaultConfigPathT("D:\\cfg"));
  EXPECT_TRUE(NySetUserConfigPathT("E:\\user"));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), "D:\\cfg");
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "E:\\user");
  EXPECT_EQ(Text(NyGetUserConfigPath()), "E:\\user");
  EXPECT_EQ(Text(NyGetDefaultConfigPath()), "D:\\cfg");
}

FRESH_TEST(UserConfigFolderComesFromTheEnvironment) {
  NySetCompanyName("Acme");
  NySetApplicationName("Viewer");
  ::SetEnvironmentVariableA("APPDATA", "C:\\Roaming");
  ::SetEnvironmentVariableA("USERPROFILE", "C:\\Users\\jdoe");
  ::SetEnvironmentVariableA("WINDIR", "C:\\windows");

  EXPECT_TRUE(NySetUserConfigPathT(nullptr, nullptr));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\Roaming\\Acme\\Viewer");
  EXPECT_TRUE(NySetUserConfigPathT("Other", "Tool"));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\Roaming\\Other\\Tool");

  ::SetEnvironmentVariableA("APPDATA", nullptr);
  EXPECT_TRUE(NySetUserConfigPathT(nullptr));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\Users\\jdoe\\Application Data\\Acme\\Viewer");
  ::SetEnvironmentVariableA("USERPROFILE", nullptr);
  EXPECT_TRUE(NySetUserConfigPathT(""));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\windows\\Application Data\\Acme\\Viewer");
  ::SetEnvironmentVariableA("WINDIR", nullptr);
  EXPECT_FALSE(NySetUserConfigPathT(nullptr, nullptr));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\windows\\Application Data\\Acme\\Viewer");

  // An explicit folder: the login name replaces <username>, one backslash goes.
  char user[257];
  DWORD size = sizeof user;
  ASSERT_TRUE(::GetUserNameA(user, &size));
  EXPECT_TRUE(NySetUserConfigPathT("C:\\Users\\<username>\\cfg\\<username>\\"));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), std::string("C:\\Users\\") + user + "\\cfg\\" + user);
  EXPECT_FALSE(NySetUserConfigPathT(std::string(300, 'u').c_str()));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), std::string("C:\\Users\\") + user + "\\cfg\\" + user);
}

FRESH_TEST(FailedUserFolderDerivationIsNotRetried) {
  ::SetEnvironmentVariableA("APPDATA", nullptr);
  ::SetEnvironmentVariableA("USERPROFILE", nullptr);
  ::SetEnvironmentVariableA("WINDIR", nullptr);
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "");

  ::SetEnvironmentVariableA("APPDATA", "C:\\Roaming");
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "");
  // The non-T getter derives at its own first call; with no company and no
  // application the folder keeps their empty components.
  EXPECT_EQ(Text(NyGetUserConfigPath()), "C:\\Roaming\\\\");
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\Roaming\\\\");
}

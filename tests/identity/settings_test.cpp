// Identity and folder settings are process-wide and several are derived only at
// their first use, so each FreshSettings scenario runs in a process of its own.
#include <process.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {
std::string Text(const char* s) { return s ? s : "(null)"; }
}  // namespace

TEST(IdentitySettings, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  _putenv("NY_EXPECT_MODULE=identity_tests");
  nytest::RunEachInFreshProcess("FreshSettings");

  // The module name is the file name on disk less a final ".exe" in any letter
  // case (started here by a lower-case name); another extension stays.
  nytest::TempFolder temp;
  for (auto [file, started, module] :
       {std::tuple{"Viewer.EXE", "viewer.exe", "Viewer"}, std::tuple{"Tool.bin", "Tool.bin", "Tool.bin"}}) {
    ASSERT_TRUE(::CopyFileA(nytest::OwnExe().c_str(), (temp / file).c_str(), FALSE));
    _putenv((std::string("NY_EXPECT_MODULE=") + module).c_str());
    EXPECT_EQ(nytest::SpawnFresh(_P_WAIT, "FreshSettings.DefaultsBeforeAnySetter", temp / started), 0);
  }
}

NY_FRESH_TEST(FreshSettings, DefaultsBeforeAnySetter) {
  const std::string module = std::getenv("NY_EXPECT_MODULE"), exe = nytest::OwnExe();
  EXPECT_EQ(NyGetApplicationConfigFileNameT(), nullptr);
  EXPECT_EQ(NyGetApplicationPriorConfigFileName(), nullptr);
  EXPECT_EQ(NyGetUserConfigFileNameT(), nullptr);
  EXPECT_FALSE(NySetCompanyName(""));
  EXPECT_FALSE(NySetCompanyName(std::string(300, 'c').c_str()));
  EXPECT_EQ(NyGetCompanyName(), nullptr);
  EXPECT_EQ(Text(NyGetModuleName()), module);
  EXPECT_STRCASEEQ(NyGetModulePathT(), exe.substr(0, exe.rfind('\\')).c_str());
  EXPECT_STREQ(NyGetBasePathT(), NyGetModulePathT());
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), std::string(NyGetModulePathT()) + "\\Config");

  // Null names fall back on the module name; without a postfix the prior
  // name is empty, and the postfix cannot come after the file name.
  EXPECT_TRUE(NySetApplicationConfigFileNameT(nullptr));
  EXPECT_EQ(Text(NyGetUserConfigFileNameT()), module + ".ini");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "");
  EXPECT_FALSE(NySetApplicationPriorConfigFilePostfixT("Default"));
  NySetApplicationName("");
  EXPECT_EQ(Text(NyGetApplicationName()), module);
}

NY_FRESH_TEST(FreshSettings, PriorNameFollowsThePostfixAndCopiesStay) {
  EXPECT_FALSE(NySetApplicationPriorConfigFilePostfixT(std::string(260, 'p').c_str()));
  EXPECT_TRUE(NySetApplicationPriorConfigFilePostfixT(nullptr));
  EXPECT_TRUE(NySetApplicationConfigFileNameT("A.ini"));
  EXPECT_EQ(Text(NyGetApplicationConfigFileName()), "A.ini");  // copies taken here
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileName()), "ADefault.ini");
  EXPECT_TRUE(NySetApplicationConfigFileNameT("B"));
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileNameT()), "BDefault");
  EXPECT_EQ(Text(NyGetApplicationConfigFileName()), "A.ini");
  EXPECT_EQ(Text(NyGetApplicationPriorConfigFileName()), "ADefault.ini");
  // A name whose prior name would not fit is refused whole.
  EXPECT_FALSE(NySetApplicationConfigFileNameT((std::string(255, 'n') + ".ini").c_str()));
  EXPECT_EQ(Text(NyGetApplicationConfigFileNameT()), "B");
}

NY_FRESH_TEST(FreshSettings, BaseAndDefaultConfigFolders) {
  const std::string module = NyGetModulePathT();
  EXPECT_EQ(Text(NyGetBasePath()), module);  // the copy is taken here
  nytest::TempFolder temp;
  EXPECT_TRUE(NySetBasePathT((temp / "App\\base\\").c_str()));  // created
  EXPECT_EQ(Text(NyGetBasePathT()), temp / "App\\base");
  EXPECT_TRUE(nytest::Exists(temp / "App\\base"));
  EXPECT_EQ(Text(NyGetBasePath()), module);
  // The default config folder is derived from the base once, at first use.
  EXPECT_EQ(Text(NyGetDefaultConfigPath()), temp / "App\\base\\Config");

  // A relative folder is taken against the executable's folder.
  const std::string relative = "DoRorBase" + std::to_string(::GetCurrentProcessId());
  EXPECT_TRUE(NySetBasePathT(relative.c_str()));
  EXPECT_EQ(Text(NyGetBasePathT()), module + "\\" + relative);
  // A folder that cannot be created leaves the setting as it was.
  EXPECT_FALSE(NySetBasePathT((temp.WriteFile("f.txt") + "\\sub").c_str()));
  EXPECT_EQ(Text(NyGetBasePathT()), module + "\\" + relative);

  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), temp / "App\\base\\Config");  // does not follow
  EXPECT_TRUE(NySetDefaultConfigPathT("D:\\cfg\\"));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), "D:\\cfg");
  EXPECT_TRUE(NySetDefaultConfigPathT(nullptr));
  EXPECT_EQ(Text(NyGetDefaultConfigPathT()), module + "\\" + relative + "\\Config");
  EXPECT_EQ(Text(NyGetDefaultConfigPath()), temp / "App\\base\\Config");  // the copy stays
  std::filesystem::remove_all(module + "\\" + relative);
}

NY_FRESH_TEST(FreshSettings, UserConfigFolderFallsBackThroughTheEnvironment) {
  NySetCompanyName("Acme");
  NySetApplicationName("Viewer");
  ::SetEnvironmentVariableA("APPDATA", "C:\\Roaming");
  ::SetEnvironmentVariableA("USERPROFILE", "C:\\Users\\jdoe");
  ::SetEnvironmentVariableA("WINDIR", "C:\\windows");
  EXPECT_TRUE(NySetUserConfigPathT(nullptr, "Tool"));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\Roaming\\Acme\\Tool");
  ::SetEnvironmentVariableA("APPDATA", nullptr);
  EXPECT_TRUE(NySetUserConfigPathT(nullptr));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\Users\\jdoe\\Application Data\\Acme\\Viewer");
  ::SetEnvironmentVariableA("USERPROFILE", nullptr);
  EXPECT_TRUE(NySetUserConfigPathT(""));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\windows\\Application Data\\Acme\\Viewer");
  ::SetEnvironmentVariableA("WINDIR", nullptr);
  EXPECT_FALSE(NySetUserConfigPathT(nullptr, nullptr));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "C:\\windows\\Application Data\\Acme\\Viewer");

  char user[257];
  DWORD size = sizeof user;
  ASSERT_TRUE(::GetUserNameA(user, &size));
  EXPECT_TRUE(NySetUserConfigPathT("C:\\Users\\<username>\\<username>\\"));
  EXPECT_EQ(Text(NyGetUserConfigPathT()), std::string("C:\\Users\\") + user + "\\" + user);
}

NY_FRESH_TEST(FreshSettings, FailedUserFolderDerivationIsNotRetried) {
  for (const char* name : {"APPDATA", "USERPROFILE", "WINDIR"}) ::SetEnvironmentVariableA(name, nullptr);
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "");
  ::SetEnvironmentVariableA("APPDATA", "C:\\Roaming");
  EXPECT_EQ(Text(NyGetUserConfigPathT()), "");
  // The non-T getter derives at its own first call; unset company and
  // application names leave empty components.
  EXPECT_EQ(Text(NyGetUserConfigPath()), "C:\\Roaming\\\\");
}

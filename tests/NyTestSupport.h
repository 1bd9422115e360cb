// Shared test helpers: a temporary folder that is removed afterwards, and
// small file and working-directory probes.
#pragma once

#include <windows.h>

#include <direct.h>
#include <gtest/gtest.h>
#include <process.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "NyCoreTestSupport.h"

namespace nytest {

// Removes a folder tree, read-only files included (remove_all alone stops at
// them, and a run that died mid-test may have left one behind).
inline void RemoveTree(const std::string& path) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored)) {
    ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(path, ignored);
}

// A fresh, empty folder under the system's temporary folder.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    m_path = std::string(base) + "DoRorTest" + std::to_string(::GetCurrentProcessId()) + "_" +
             std::to_string(++counter);
    RemoveTree(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~TempFolder() { RemoveTree(m_path); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

  // Creates a file (and its folders) with the given bytes and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes = "x") const {
    std::string path = *this / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

 private:
  std::string m_path;
};

// An existing file held open with the given access and sharing until the
// object goes, to lock it against other openers.
class ScopedFile {
 public:
  ScopedFile(const std::string& path, DWORD access, DWORD share)
      : m_handle(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~ScopedFile() {
    if (IsOpen()) ::CloseHandle(m_handle);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_handle;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string WorkingDirectory() {
  char dir[MAX_PATH] = "";
  return _getcwd(dir, MAX_PATH) ? dir : "";
}

inline bool Exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---- Scenarios in a process of their own -------------------------------------
// Process-wide state that is fixed at its first use shows only in a fresh
// process. Such a scenario is a test that runs when this program is started
// again for it (with NY_FRESH_PROCESS set) and skips otherwise.

inline bool InFreshProcess() { return std::getenv("NY_FRESH_PROCESS") != nullptr; }

#define NY_FRESH_TEST(suite, name)                                                 \
  void suite##_##name();                                                           \
  TEST(suite, name) {                                                              \
    if (!nytest::InFreshProcess()) GTEST_SKIP() << "runs in a process of its own"; \
    suite##_##name();                                                              \
  }                                                                                \
  void suite##_##name()

inline std::string OwnExe() {
  char path[MAX_PATH];
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// A program built beside this test program.
inline std::string BesideOwnExe(const std::string& name) {
  const std::string own = OwnExe();
  return own.substr(0, own.rfind('\\') + 1) + name;
}

// Starts `exe` (a copy of this program, which finds DoRor.dll through PATH)
// for the one test `suite.name`: _spawnl's result, the exit code for _P_WAIT
// and the process handle for _P_NOWAIT.
inline intptr_t SpawnFresh(int mode, const std::string& test, const std::string& exe = OwnExe()) {
  const std::string path = std::getenv("PATH");
  const std::string own = OwnExe();
  _putenv(("PATH=" + own.substr(0, own.rfind('\\')) + ";" + path).c_str());
  _putenv("NY_FRESH_PROCESS=1");
  const std::string quoted = "\"" + exe + "\"", filter = "--gtest_filter=" + test;
  intptr_t result = _spawnl(mode, exe.c_str(), quoted.c_str(), "--gtest_brief=1", filter.c_str(), nullptr);
  _putenv("NY_FRESH_PROCESS=");
  _putenv(("PATH=" + path).c_str());
  return result;
}

// Runs every test of `suite` in a fresh process of its own; each must pass.
inline void RunEachInFreshProcess(const char* suite) {
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const testing::TestSuite& tests = *unit.GetTestSuite(i);
    if (std::string(tests.name()) != suite) continue;
    for (int j = 0; j < tests.total_test_count(); ++j) {
      const std::string name = tests.GetTestInfo(j)->name();
      EXPECT_EQ(SpawnFresh(_P_WAIT, std::string(suite) + "." + name), 0) << name;
    }
  }
}

}  // namespace nytest

// Shared test helpers: a temporary folder that is removed afterwards, and
// small file and working-directory probes.
#pragma once

#include <windows.h>

#include <direct.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace nytest {

inline bool IsCodePage932() { return ::GetACP() == 932; }

// A fresh, empty folder under the system's temporary folder.
class TempFolder {
public:
  TempFolder() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    m_path = std::string(base) + "DoRorTest" + std::to_string(::GetCurrentProcessId()) + "_" +
             std::to_string(++counter);
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
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

}  // namespace nytest

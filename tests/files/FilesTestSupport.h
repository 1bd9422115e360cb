// What the files suite's runs get from tests/files/fixtures.sh: links made
// from the Linux side (Windows programs under Wine cannot make them) and a
// spare drive from which empty and root paths can be tried safely.
#pragma once

#include <cstdlib>
#include <string>

#include "NyTestSupport.h"

namespace filestest {

// The run's fixture folder (C:\ny_fixtures_NNN), or "" when the suite was
// started without the wrapper.
inline std::string Fixtures() {
  const char* dir = std::getenv("NY_TEST_FIXTURES");
  return dir ? dir : "";
}

// A folder of its own on the spare drive Q:, or "".
inline std::string SpareFolder() {
  const char* dir = std::getenv("NY_SPARE_FOLDER");
  return dir ? dir : "";
}

// The decoy folder every link points at: keep1.txt, keep2.txt and an empty
// folder "empty". Nothing in it may ever be removed.
inline std::string Decoy() { return Fixtures() + "\\decoy"; }

inline bool DecoyIntact() {
  return nytest::Exists(Decoy() + "\\keep1.txt") && nytest::Exists(Decoy() + "\\keep2.txt") &&
         nytest::Exists(Decoy() + "\\empty");
}

// A ready-made tree or folder of the fixtures: "trees\\removal",
// "trees\\linkAsTree", "temproot" (see fixtures.sh).
inline std::string Fixture(const std::string& name) { return Fixtures() + "\\" + name; }

inline bool IsLink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Wine opens what a link points at even when asked for the link itself, so
// the library cannot delete a link there (it leaves it in place, and the
// removal reports false); Windows deletes the link.
inline bool IsWine() {
  return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

#define FILESTEST_NEEDS_FIXTURES() \
  if (filestest::Fixtures().empty()) GTEST_SKIP() << "started without tests/files/fixtures.sh"

}  // namespace filestest

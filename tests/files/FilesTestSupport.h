// What tests/files/fixtures.sh gives the files suite: links made from the
// Linux side (Windows programs under Wine cannot make them), all pointing at a
// decoy folder, and a spare drive Q: from which empty and root paths are tried.
#pragma once

#include <cstdlib>
#include <string>

#include "NyTestSupport.h"

namespace filestest {

// NY_TEST_FIXTURES (C:\ny_fixtures_NNN) or NY_SPARE_FOLDER (Q:\...), or "".
inline std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// "decoy", "trees\\removal", "trees\\linkAsTree", "temproot" (see fixtures.sh).
inline std::string Fixture(const std::string& name) { return Env("NY_TEST_FIXTURES") + "\\" + name; }

// keep1.txt, keep2.txt and the folder "empty": nothing of it may ever go.
inline bool DecoyIntact() {
  for (const char* name : {"\\keep1.txt", "\\keep2.txt", "\\empty"})
    if (!nytest::Exists(Fixture("decoy") + name)) return false;
  return true;
}

// Wine opens what a link points at even when asked for the link itself, so
// the library cannot delete a link there: it stays, and removal reports false.
inline bool IsWine() {
  return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

#define FILESTEST_NEEDS_FIXTURES() \
  if (filestest::Env("NY_TEST_FIXTURES").empty()) GTEST_SKIP() << "started without tests/files/fixtures.sh"

}  // namespace filestest

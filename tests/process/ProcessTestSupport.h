// Helpers of the process tests: the test child and its results.
#pragma once

#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace nytest {

// The child program, built beside this test program (see child/child.cpp).
inline std::string ChildExe() { return BesideOwnExe("NyProcessChild.exe"); }

inline std::vector<std::string> Strings(const std::vector<CString>& texts) {
  std::vector<std::string> out;
  for (const CString& t : texts) out.emplace_back(t.GetString(), static_cast<size_t>(t.GetLength()));
  return out;
}

// A command line for the child with the given commands.
inline NyCommandLine Child(const std::vector<std::string>& commands) {
  NyCommandLine line(ChildExe().c_str());
  for (const std::string& c : commands) line.AddArgument(c.c_str());
  return line;
}

}  // namespace nytest

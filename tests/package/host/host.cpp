// A host built against the installed package: it sees only what
// find_package(DoRor) gives it (the include folder, the import library and
// the DLLs beside it), with no Windows settings of its own, as a host
// project that has never seen this library's build does.
#include "DoRor.h"

// The library is compiled with the lean Windows headers, without the min/max
// macros and for Windows 7; those are its own settings and must not reach a
// host. (mingw-w64's libstdc++ defines NOMINMAX itself in every standard
// header, so with it only the package's files can show that NOMINMAX is not
// ours: the package test looks there.)
#if defined(NOMINMAX) && !defined(__GLIBCXX__)
#error "including DoRor.h defined NOMINMAX"
#endif
#ifdef WIN32_LEAN_AND_MEAN
#error "including DoRor.h defined WIN32_LEAN_AND_MEAN"
#endif
#if defined(_WIN32_WINNT) && _WIN32_WINNT == 0x0601
#error "including DoRor.h set the library's Windows target"
#endif
// When the public headers bring <windows.h>, they bring all of it: a lean
// inclusion would leave the host's own #include <windows.h> (a no-op by then)
// without the shell, common-dialog and other parts.
#ifdef _WINDOWS_
using ShellExecuteIsDeclared = decltype(&::ShellExecuteA);
#endif

// The standard algorithms after the public headers, in a host that did not
// ask for NOMINMAX. mingw-w64's headers never define min/max in C++, so any
// such macro here came from the public headers themselves. The Windows SDK's
// <windows.h> does define them for C++ too: an MSVC host has to live with its
// SDK's macros (NOMINMAX, or the parenthesised call), whatever it includes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if !defined(_MSC_VER) && (defined(min) || defined(max))
#error "a public header defined min or max as a macro"
#endif

namespace {

int g_failures = 0;
int g_checks = 0;

void Check(bool ok, const char* what) {
  ++g_checks;
  if (!ok) {
    ++g_failures;
    std::printf("FAILED: %s\n", what);
  }
}

bool Same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

void CheckPathText() {
  char out[MAX_PATH] = "garbage";
  Check(NyAddExtentionT("C:\\data\\report", "txt", out) && Same(out, "C:\\data\\report.txt"),
        "NyAddExtentionT adds the extension");
  Check(NyAddExtentionT("C:\\data\\REPORT.TXT", "txt", out) && Same(out, "C:\\data\\REPORT.TXT"),
        "NyAddExtentionT keeps an extension already there");

  char folder[MAX_PATH] = "garbage", name[MAX_PATH] = "garbage";
  Check(NySplitFileNameT("C:\\data\\report.txt", folder, name) == 0 && Same(folder, "C:\\data") &&
            Same(name, "report.txt"),
        "NySplitFileNameT splits at the last backslash");
}

void CheckStrings() {
  // A narrow text through UTF-16 and back, formatted by the DLL's runtime.
  CString narrow;
  narrow.Format("%s-%d", "item", 42);
  CStringW wide(narrow);
  CString back(wide);
  Check(back == "item-42" && wide.GetLength() == 7, "CString converts to CStringW and back");
  Check(narrow.Mid(5).CompareNoCase("42") == 0 && narrow.Left(99) == narrow, "CString parts");
}

void CheckCommandLine() {
  // Composed by the DLL with escaping, split back: every argument returns
  // unchanged, in std::vector<CString> made in the DLL and freed here.
  NyCommandLine command("C:\\Program Files\\tool.exe");
  command.AddArgument("two words");
  command.AddArgument("say \"hi\"");
  std::vector<CString> parts = NyCommandLine::SplitAndUnescapeCommandLine(command.ToString());
  Check(parts.size() == 3 && parts[0] == "C:\\Program Files\\tool.exe" && parts[1] == "two words" &&
            parts[2] == "say \"hi\"",
        "NyCommandLine round trip through SplitAndUnescapeCommandLine");
}

void CheckData() {
  CNyCsvTextLine line("a,\"b,c\",\"d\"\"e\"");
  Check(line.NumOfFields() == 3 && line.Field(1) == "b,c" && line.Field(2) == "d\"e" && line.Field(7).empty(),
        "CNyCsvTextLine splits quoted fields");
  Check(CNyCsvTextLine::ConvertToCsvFileString("x,y") == "\"x,y\"", "CSV quoting");

  CNyBitFlag flags;
  flags = 5u;
  CNyBitFlag shifted = flags << 2;
  Check(flags[0u] && !flags[1u] && flags[2u] && shifted.GetSize() == flags.GetSize() + 2 && shifted[4u] &&
            !shifted[0u],
        "CNyBitFlag holds and shifts bits");
}

void CheckStandardLibraryAfterHeaders() {
  const std::vector<int> values = {7, -3, 12};
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
#if defined(min) || defined(max)  // the Windows SDK's own (see above)
  const int smaller = (std::min)(*low, 0), larger = (std::max)({*high, 0, 5});
#else
  const int smaller = std::min(*low, 0), larger = std::max({*high, 0, 5});
#endif
  Check(smaller == -3 && larger == 12, "std::min and std::max after DoRor.h");
}

}  // namespace

int main() {
  CheckPathText();
  CheckStrings();
  CheckCommandLine();
  CheckData();
  CheckStandardLibraryAfterHeaders();
  if (g_failures != 0) {
    std::printf("package host: %d of %d checks failed\n", g_failures, g_checks);
    return 1;
  }
  std::printf("package host: %d checks passed\n", g_checks);
  return 0;
}

// The tables' answers, for the native build of the core. The code page is
// chosen once per process by NY_CODEPAGE (932 when unset), as the suites
// choose the ANSI code page of their Windows runs.
#include <cstdlib>

#include "base/NyCodePage.h"
#include "base/NyCodePageTables.h"

namespace ny::cp {

unsigned CodePage() {
  static const unsigned codePage = [] {
    const char* text = std::getenv("NY_CODEPAGE");
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 932u;
  }();
  return codePage;
}

bool IsLeadByte(unsigned char c) { return tables::IsLeadByte(CodePage(), c); }
unsigned char FoldSingle(unsigned char c) { return tables::FoldSingle(CodePage(), c); }
unsigned FoldDouble(unsigned code) { return tables::FoldDouble(CodePage(), code); }
bool IsAlpha(unsigned char c) { return tables::IsAlpha(CodePage(), c); }

}  // namespace ny::cp

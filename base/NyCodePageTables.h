// The answers of code pages 932 and 1252 to the questions of NyCodePage.h,
// as tables. Any other code page is answered as 1252 (no lead bytes, no
// folding above ASCII). Compiled into both builds: the native build answers
// from them, the Windows build tests them against the platform.
#pragma once

namespace ny::cp::tables {

bool IsLeadByte(unsigned codePage, unsigned char c);
unsigned char FoldSingle(unsigned codePage, unsigned char c);
unsigned FoldDouble(unsigned codePage, unsigned code);
bool IsAlpha(unsigned codePage, unsigned char c);

}  // namespace ny::cp::tables

// The platform's answers, for the DLL.
#include "base/NyWindows.h"

#include <mbctype.h>
#include <mbstring.h>

#include <cctype>

#include "base/NyCodePage.h"

namespace ny::cp {

unsigned CodePage() { return ::GetACP(); }

// CP_THREAD_ACP: follows the thread's locale, as the host expects of every scan.
bool IsLeadByte(unsigned char c) { return ::IsDBCSLeadByteEx(CP_THREAD_ACP, c) != FALSE; }

unsigned char FoldSingle(unsigned char c) { return static_cast<unsigned char>(std::tolower(c)); }

unsigned FoldDouble(unsigned code) { return _mbctolower(code); }

bool IsAlpha(unsigned char c) { return _ismbcalpha(c) != 0; }

}  // namespace ny::cp

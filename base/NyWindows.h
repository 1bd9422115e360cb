// The one place where the library's own sources include <windows.h>.
//
// The build sets _WIN32_WINNT, WIN32_LEAN_AND_MEAN and NOMINMAX on the command
// line of every library source, not here: mingw-w64's C runtime headers define
// _WIN32_WINNT themselves when they come first, so a value set in a header is
// silently lost whenever a standard header was included before it. Windows 7
// (0x0601) is the oldest system the hosts run on; a call that needs a newer
// one then fails to compile instead of failing to load there.
#pragma once

#if !defined(_WIN32_WINNT) || _WIN32_WINNT != 0x0601 || !defined(WIN32_LEAN_AND_MEAN) || !defined(NOMINMAX)
#error \
    "library sources are compiled with _WIN32_WINNT=0x0601, WIN32_LEAN_AND_MEAN and NOMINMAX from the build"
#endif

#include <windows.h>

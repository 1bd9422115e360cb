// What the multibyte rules ask of the ANSI code page, in one small interface.
// In the DLL the platform answers (the lead-byte table of the thread's code
// page, the C runtime's case mappings); in the native build of the
// platform-free core, tables of code pages 932 and 1252 answer, and a test
// under Windows checks that the tables give the platform's answer for every
// byte and every double-byte character.
#pragma once

namespace ny::cp {

// The code page that answers (the thread's ANSI code page in the DLL).
unsigned CodePage();

// True when `c` is a lead byte.
bool IsLeadByte(unsigned char c);

// The lower-case form of a single byte of 0x80 or more that is not a lead
// byte (what the runtime's tolower gives).
unsigned char FoldSingle(unsigned char c);

// The lower-case form of the double-byte character (lead << 8) | trail, as
// the runtime's _mbctolower gives it.
unsigned FoldDouble(unsigned code);

// The runtime's multibyte letter test (_ismbcalpha) on one byte.
bool IsAlpha(unsigned char c);

}  // namespace ny::cp

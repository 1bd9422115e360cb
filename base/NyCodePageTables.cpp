#include "base/NyCodePageTables.h"

#include <iterator>

namespace ny::cp::tables {

namespace {

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Runs of double-byte characters that fold by a constant offset. Besides the
// full-width Latin, Greek and Cyrillic capitals, the runtime maps the
// duplicate encodings of code page 932 (the NEC-selected IBM extensions in
// rows ED and EE, the NEC special characters in row 87) onto one of their
// twins, which for comparing is the same character.
struct FoldRun {
  unsigned first, last;
  int offset;
};

constexpr FoldRun k932Runs[] = {
    {0x8260, 0x8279, 33},     {0x839F, 0x83B6, 32},     {0x8440, 0x844E, 48},     {0x844F, 0x8460, 49},
    {0x8754, 0x875D, 29420},  {0x8790, 0x8790, -1456},  {0x8791, 0x8791, -1458},  {0x8792, 0x8792, -1451},
    {0x8795, 0x8795, -1458},  {0x8796, 0x8796, -1467},  {0x8797, 0x8797, -1469},  {0x879A, 0x879A, -1460},
    {0x879B, 0x879B, -1500},  {0x879C, 0x879C, -1502},  {0xED40, 0xED62, 3356},   {0xED63, 0xED7E, 3357},
    {0xED80, 0xEDE0, 3356},   {0xEDE1, 0xEDFC, 3423},   {0xEE40, 0xEE62, 3356},   {0xEE63, 0xEE7E, 3357},
    {0xEE80, 0xEEE0, 3356},   {0xEEE1, 0xEEEC, 3423},   {0xEEEF, 0xEEF8, 2897},   {0xEEF9, 0xEEF9, -27951},
    {0xEEFA, 0xEEFC, 2907},   {0xFA4A, 0xFA53, -10},    {0xFA54, 0xFA54, -30858}, {0xFA58, 0xFA58, -29390},
    {0xFA59, 0xFA59, -29399}, {0xFA5A, 0xFA5A, -29398}, {0xFA5B, 0xFA5B, -30837},
};

// The letters of code page 1252 above ASCII: Latin letters with marks, the
// ligatures and the letters in the 0x80 row.
bool IsAlpha1252High(unsigned char c) {
  switch (c) {
    case 0x83:
    case 0x88:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

}  // namespace

bool IsLeadByte(unsigned codePage, unsigned char c) {
  return codePage == 932 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

// Neither code page folds a single byte above ASCII in the C locale.
unsigned char FoldSingle(unsigned, unsigned char c) { return c; }

unsigned FoldDouble(unsigned codePage, unsigned code) {
  if (codePage != 932) return code;
  for (const FoldRun& run : k932Runs) {
    if (code < run.first) break;  // the runs are sorted
    if (code <= run.last) return static_cast<unsigned>(static_cast<int>(code) + run.offset);
  }
  return code;
}

bool IsAlpha(unsigned codePage, unsigned char c) {
  if (IsAsciiLetter(c)) return true;
  if (c < 0x80) return false;
  // Half-width katakana count as letters in 932.
  return codePage == 932 ? (c >= 0xA6 && c <= 0xDF) : IsAlpha1252High(c);
}

}  // namespace ny::cp::tables

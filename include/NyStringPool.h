// Localized user-interface texts from string-pool files. A text is named by
// its pool (the file's base name, extension ".str"), a section and a key; a
// file stores it under "<key>_<language>" in the configuration file format.
// The files live under the string-pool folder, either one folder per language
// ("<folder>\ENG\Main.str") or flat, all languages in one file
// ("<folder>\Main.str"); the first load that finds a file fixes the layout.
//
// A load answers from the preferential pools placed in front of the pool (in
// the current language only), then from the pool in the current language,
// then in the default language, and in the end with "can not find string".
// Values carry backslash escapes: \n, \r, \t, \\, \0 (ends the text); any
// other escaped character stands for itself. All texts are narrow texts in
// the system ANSI code page.
//
// The host calls these functions from one thread at a time: the folder, the
// languages, the preferential pools and the 30 result slots are process-wide
// state, and the library takes no lock.
#pragma once

#include "NyApi.h"

// The text, in the next of 30 library-owned slots: it stays valid through the
// next 29 loads. Never null; null names count as empty ones.
NY_API const char* NyLoadStringT(const char* pool, const char* section, const char* key);
NY_API const char* NyLoadString(const char* pool, const char* section, const char* key);

// The current language ("ENG", "DEU", "JPN", ...). False, and no change, for a
// language of 50 characters or more. An empty language is decided again at
// the next query: "Language" in section "StringPool" of the user
// configuration, falling back to the default configuration, else the
// default language.
NY_API bool NySetStringPoolLanguage(const char* language);
NY_API const char* NyGetStringPoolLanguage();
// The language a text falls back to ("JPN" at start); same length rule.
NY_API bool NySetStringPoolDefaultLanguage(const char* language);
NY_API const char* NyGetStringPoolDefaultLanguage();

// Places `preferential` last in front of `pool` (moving it there when it is
// listed already); false when either name is empty.
NY_API bool NyAddPreferentialStringPoolT(const char* pool, const char* preferential);
// Removes `preferential` from the pool's list; false when it was not listed.
NY_API bool NyErasePreferentialStringPoolT(const char* pool, const char* preferential);
// Removes every preferential pool of `pool`.
NY_API void NyEraseAllPreferentialStringPoolT(const char* pool);

// Sets the string-pool folder (one trailing backslash removed). Null or empty
// reads "Path" of section "StringPool" from the default configuration, taken
// against the base folder; false when that finds nothing. The folder is fixed
// for the process by the first load.
NY_API bool NySetStringPoolPathT(const char* path);
// The string-pool folder; the first call reads the configuration when no
// folder was set. Empty when none could be found.
NY_API const char* NyGetStringPoolPathT();

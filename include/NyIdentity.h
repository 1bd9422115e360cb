// Application identity, path settings and the path, file-name and folder
// helpers. Texts are narrow texts in the system ANSI code page; paths hold at
// most MAX_PATH (260) bytes with the terminator, use the backslash as
// separator and are stored without a trailing backslash. Returned texts are
// owned by the library. Inputs of 260 bytes or more get the function's
// failure result and change nothing.
//
// The host calls these functions from one thread at a time: the names, paths
// and returned texts are process-wide state, and the library takes no lock.
#pragma once

#include "NyApi.h"
#include "NyToolkit.h"

// ---- Identity --------------------------------------------------------------

// The executable's file name as stored on disk, without a final ".exe";
// null (and tried again next time) when the executable's path is unknown.
NY_API const char* NyGetModuleNameT();
// Copy of NyGetModuleNameT taken at the first call.
NY_API const char* NyGetModuleName();
// The executable's folder, derived at the first call only.
NY_API const char* NyGetModulePathT();
// Copy of NyGetModulePathT taken at the first call.
NY_API const char* NyGetModulePath();

// Stores the company name; false and no change for a null or empty name.
NY_API bool NySetCompanyName(const char* name);
// A fresh copy of the company name; null while it is empty.
NY_API const char* NyGetCompanyName();
// Stores the application name; null or empty stores the module name.
NY_API void NySetApplicationName(const char* name);
// A fresh copy of the application name; null while it is empty.
NY_API const char* NyGetApplicationName();

// ---- Configuration file names ------------------------------------------------

// Stores the name (null or empty: module name + ".ini") and, when a prior
// postfix is set, recomputes the prior file name (App.ini -> AppDefault.ini).
NY_API bool NySetApplicationConfigFileNameT(const char* name);
// The application configuration file name; null while empty.
NY_API const char* NyGetApplicationConfigFileNameT();
// Copy taken at the first call that finds the name set; null before.
NY_API const char* NyGetApplicationConfigFileName();
// Sets the prior postfix (null or empty: "Default"); false once the
// application configuration file name is set, or for a postfix over 259 bytes.
NY_API bool NySetApplicationPriorConfigFilePostfixT(const char* postfix);
// The prior file name (empty without a postfix); null while the application
// configuration file name is empty.
NY_API const char* NyGetApplicationPriorConfigFileNameT();
// Copy taken at the first call after the application name was set; null before.
NY_API const char* NyGetApplicationPriorConfigFileName();
// Stores a non-empty user configuration file name; null or empty is ignored.
NY_API bool NySetUserConfigFileNameT(const char* name);
// The user configuration file name, else the application one (may be null).
NY_API const char* NyGetUserConfigFileNameT();

// ---- Folders -----------------------------------------------------------------

// Makes the path the process's working directory; false for an empty path or
// when the directory cannot be entered.
NY_API bool NySetCurrentPathT(const char* path);
NY_API bool NySetCurrentPath(const char* path);
// The working directory; null when it cannot be read.
NY_API const char* NyGetCurrentPathT();

// Sets the base folder (null or empty: the module folder). A relative path is
// taken against the module folder; a missing folder is created. False, and no
// change, when it cannot be created.
NY_API bool NySetBasePathT(const char* path);
// The base folder, derived from the module folder at the first call when unset.
NY_API const char* NyGetBasePathT();
// Copy of NyGetBasePathT taken at the first call.
NY_API const char* NyGetBasePath();

// Sets the default configuration folder (null or empty: base folder + "\Config").
NY_API bool NySetDefaultConfigPathT(const char* path);
// The default configuration folder, derived at the first call when unset.
NY_API const char* NyGetDefaultConfigPathT();
// Copy taken at the first call (deriving the folder first when unset).
NY_API const char* NyGetDefaultConfigPath();

// Sets the user configuration folder, replacing "<username>" with the login
// name; null or empty derives it from the environment as the two-text form.
NY_API bool NySetUserConfigPathT(const char* path);
// Derives the user configuration folder from APPDATA, else USERPROFILE, else
// WINDIR, and the company and application (null or empty: the settings).
// False, and no change, when none of the three variables is set.
NY_API bool NySetUserConfigPathT(const char* company, const char* application);
// The user configuration folder, derived at the first call when unset.
NY_API const char* NyGetUserConfigPathT();
// Copy taken at the first call (deriving the folder first when unset).
NY_API const char* NyGetUserConfigPath();

// The user-configuration switch (true at load). When off, no user
// configuration file is read or written.
NY_API void NySetUserConfigEnable(bool enable);
NY_API bool NyIsUserConfigEnable();

// ---- Path, file-name and folder helpers ---------------------------------------

// True for the bytes 0x20 to 0x7E.
NY_API bool NyIsAsciiPrintableCharactorOrSpaceT(char ch);
// True when every byte passes the one-character test (the empty text too);
// false for null.
NY_API bool NyIsAsciiPrintableCharactorOrSpaceT(const char* text);
// True when `ch` is a double-byte lead byte in the thread's ANSI code page.
NY_API bool NyIsTwoBytesChar(char ch);
NY_API bool NyIsTwoBytesCharT(char ch);
// True for "\\..." and for a letter followed by a colon ("C:", "C:name").
NY_API bool NyIsFullPathT(const char* text);
// True when something exists at the path or the name is well-formed.
NY_API bool NyIsValidFilePathT(const char* text);
// True when a file or folder exists at the path (with or without a trailing
// backslash). The working directory is the same after the call.
NY_API bool NyIsFileExistT(const char* path);
NY_API bool NyIsFileExist(const char* path);
// Removes one trailing backslash in place (never the second byte of a
// double-byte character).
NY_API void NyEraseLastBackSlashT(char* text);
// Copies the text after the last dot into `extension` (MAX_PATH bytes).
NY_API bool NyGetExtentionT(const char* path, char* extension);
// Writes the path with ".extension" added into `output` (MAX_PATH bytes),
// unless it already ends in that extension (any letter case). Output and path
// may be the same buffer. The T form compares multibyte-aware.
NY_API bool NyAddExtention(const char* path, const char* extension, char* output);
NY_API bool NyAddExtentionT(const char* path, const char* extension, char* output);
// Writes the path into `output` (MAX_PATH bytes) and cuts its extension, or
// any extension when `extension` is null or empty. False, with the path
// unchanged in the output, when there is no such extension.
NY_API bool NyDelExtention(const char* path, const char* extension, char* output);
NY_API bool NyDelExtentionT(const char* path, const char* extension, char* output);
// Splits at the last backslash, slash or colon into folder and file name
// (outputs of MAX_PATH bytes, or null). 0 on success; 1 for a null, empty or
// over-long path, reported on standard error.
NY_API int NySplitFileNameT(const char* path, char* folder, char* fileName);
NY_API int NySplitFileName(const char* path, CString* folder, CString* fileName);
// The absolute path of `relative` taken against `base` (null: the working
// directory); null on failure. The working directory is the same after the
// call. The result is overwritten by the next call.
NY_API const char* NyMakeFullPathT(const char* relative, const char* base);
NY_API const char* NyMakeFullPath(const char* relative, const char* base);
// Creates the folder and its missing parents. True when the last creation
// made succeeded; false for a path that is not full and when the folder
// already existed.
NY_API bool NyCreateDirectoriesT(const char* path);
NY_API bool NyCreateDirectories(const char* path);

// Temporary folders, folder trees and shell shortcuts. Paths are narrow texts
// in the system ANSI code page of at most MAX_PATH (260) bytes with the
// terminator; longer ones get the function's failure result and nothing is
// created or removed.
//
// The host calls these functions from one thread at a time: the temporary
// paths are process-wide state, and the library takes no lock.
#pragma once

#include "NyApi.h"
#include "NyToolkit.h"

// ---- Folder trees --------------------------------------------------------------

// Copies the tree under `source` into `destination`, which must not exist yet
// (it is created with its missing parents). Stops at the first failure with
// false, keeping what was copied; refuses a destination inside the source.
NY_API bool NyCopyDirectoryT(const CString& source, const CString& destination);
// Removes the folder and everything in it; true when the folder itself is
// gone. What cannot be deleted stays with its chain of folders (false). Never
// follows a link out of the tree; refuses an empty path and a drive root.
NY_API bool NyRemoveDirectoryT(const CString& path);

// ---- Temporary folders ---------------------------------------------------------
// Each process gets {root}\QND_TMP_FOLDER{pid}. The root is chosen once per
// process: by NySetRootTempPathT, or by the first NyGetTempPathT with the
// default, the system temporary folder + "\Quandor".

// Chooses the root and creates this process's folder in it. An empty or
// unusable path falls back to the default root. False when a root is already
// chosen, for a null or over-long path, and when the default fails too.
NY_API bool NySetRootTempPathT(const char* path);
// The chosen root; null while none is chosen.
NY_API const char* NyGetRootTempPathT();
// This process's folder, choosing the default root first when none is chosen;
// null when that fails.
NY_API const char* NyGetTempPathT();
// The same, as a library-held copy.
NY_API const char* NyGetTempPath();
// Free space available to the user on the root's volume (the system temporary
// folder's while no root is chosen), in mebibytes; -1.0 on failure.
NY_API double NyGetAvailableTempDiskSize();
// Removes the folders of processes that no longer run (and this process's own
// with `includeOwnFolder`), then the root when it is left empty. False when no
// root is chosen, when the running processes cannot be listed (nothing is
// removed then), or when a folder could not be removed completely.
NY_API bool NyEraseUnusedTempFiles(bool includeOwnFolder);

// ---- Shell shortcuts -----------------------------------------------------------

// Both initialise COM on the calling thread for the call (a single-threaded
// apartment, which a thread already in the multithreaded one cannot enter:
// there they fail) and leave the thread's own initialisation as it was.

// Writes a shortcut to `target`: an internet shortcut (".url") for a URL, a
// shell link (".lnk") otherwise, without one trailing "/" (URL) or "\" (path).
// The extension is appended to `shortcutPath` once the shell accepted the
// target, and it then names the file written. False on any failure; an empty
// target, a path target longer than 260 characters and a name with no room
// for its extension are refused with nothing written or changed.
NY_API bool NyCreateShortcut(const CString& target, CString& shortcutPath);
// Reads the path or URL a ".lnk" or ".url" file (either case) points at into
// `target`; false, with `target` unchanged, on failure (a link with no
// file-system path fails too).
// Any other file needs no resolving: true, `target` unchanged.
NY_API bool NyGetShortcutTargetPath(const CString& shortcutPath, CString& target);

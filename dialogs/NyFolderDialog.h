// The folder picker's steps on a file-open dialog object that the caller
// created: what the public NyGetFolderDialogT does after CoCreateInstance.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include "NyApi.h"

// This header is internal (hosts never see it), but its function is
// exported: the suite runs the steps that ship, through the DLL, against a
// dialog object of its own as well as against the platform's.

namespace ny::dialogs {

// Sets up `dialog` as a folder picker and shows it owned by hParent:
// the caption (title, or the library's "Select Folder" in the user's
// language for null), the start folder (the parent of initialFolder with
// its name in the file-name box, or a drive root itself; a path that does
// not parse is skipped), FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM on top of the
// dialog's options. 1 with the chosen path copied into `folder`; 2 with
// `folder` untouched when the run was cancelled or failed, or the path has
// 260 characters or more in the ANSI code page. A null dialog or a null
// `folder` gives 2 without showing anything. Takes no reference of its own
// to `dialog`.
NY_API UINT RunFolderDialog(IFileOpenDialog* dialog, HWND hParent, const char* initialFolder, char* folder,
                            const char* title);

}  // namespace ny::dialogs

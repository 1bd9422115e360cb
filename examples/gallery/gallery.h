// Resource ids of the gallery's dialog.
#pragma once

#define IDD_GALLERY_RESIZABLE 100
#define IDC_GALLERY_NAME 101
#define IDC_GALLERY_LIST 102

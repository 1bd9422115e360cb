// The host toolkit: strings, stdio files, directory search, GDI objects,
// windows, message maps, dialogs, data exchange and the application objects.
// With real MFC (NY_WITH_MFC) they are MFC's own; otherwise the library's
// stand-in, which has the same names and the members the library relies on.
// The stand-in's headers sit in a toolkit folder beside this header once
// installed; in the source tree the build puts the repository root on the
// include path so that the same names resolve there.
#pragma once

#ifdef NY_WITH_MFC
#include <afxcmn.h>
#include <afxdialogex.h>
#include <afxdlgs.h>
#include <afxext.h>
#include <afxwin.h>
#else
#include "toolkit/NyAfxApp.h"
#include "toolkit/NyAfxCtrls.h"
#include "toolkit/NyAfxDC.h"
#include "toolkit/NyAfxDialog.h"
#include "toolkit/NyAfxFile.h"
#include "toolkit/NyAfxFind.h"
#include "toolkit/NyAfxGdi.h"
#include "toolkit/NyAfxListCtrl.h"
#include "toolkit/NyAfxMsgMap.h"
#include "toolkit/NyAfxObject.h"
#include "toolkit/NyAfxString.h"
#include "toolkit/NyAfxTypes.h"
#include "toolkit/NyAfxWnd.h"
#include "toolkit/NyAfxWndDC.h"
#endif

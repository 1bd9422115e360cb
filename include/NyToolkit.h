// The host toolkit's string, stdio-file and directory-search classes.
// With real MFC (NY_WITH_MFC) they are MFC's own; otherwise the library's
// stand-in, which has the same names and the members the library relies on.
#pragma once

#ifdef NY_WITH_MFC
#include <afx.h>
#else
#include "../toolkit/NyAfxString.h"
#include "../toolkit/NyAfxFile.h"
#include "../toolkit/NyAfxFind.h"
#endif

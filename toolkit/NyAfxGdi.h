// Toolkit GDI objects: MFC's CGdiObject family (CPen, CBrush, CFont,
// CBitmap, CRgn) and CImageList, each owning one platform handle.
//
// Ownership follows the real toolkit: an object deletes the handle it holds
// when it is destroyed (or at DeleteObject); Detach gives the handle up
// without deleting it. FromHandle answers the object attached to a handle, or
// else a temporary wrapper that never deletes its handle and lives until the
// thread's next NyAfxDeleteTempGdiObjects (the idle processing) or its end.
//
// Where the real toolkit only asserts, the stand-in refuses: creating or
// attaching into an object that already holds a handle fails and creates
// nothing, so no handle is ever overwritten and leaked. GetSafeHandle and
// GetSafeHdc must be called on real objects: checking `this` for null is
// undefined in standard C++, and compilers remove such checks.
//
// The stand-in is the multibyte build: members whose names the platform
// headers map to their A forms (GetObject, LoadBitmap, CreateFont, DrawText,
// TextOut ...) are exported under those names, as a multibyte host calls them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "NyAfxObject.h"
#include "NyApi.h"

class CBitmap;
class CDC;

// How many handles the toolkit's wrappers own at this moment, process-wide:
// GDI objects, image lists and device contexts (temporary wrappers from
// FromHandle own none). A leak check compares it before and after; the
// platform's own count (GetGuiResources) answers nothing useful under Wine.
NY_API long NyAfxGetLiveGdiObjectCount();

class NY_API CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)

 public:
  CGdiObject() = default;
  // Deletes the held handle, if any.
  ~CGdiObject() override;

  // Takes ownership of `hObject`. False for a null handle and when this
  // object already holds one.
  BOOL Attach(HGDIOBJ hObject);
  // Gives the handle up without deleting it; null when none is held.
  HGDIOBJ Detach();
  // Deletes the held handle; false when none is held or deletion failed.
  BOOL DeleteObject();

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  // The platform's description of the object (LOGPEN, LOGBRUSH, LOGFONT,
  // BITMAP ...): bytes written, 0 on failure.
  int GetObject(int nCount, LPVOID lpObject) const;
  // OBJ_PEN, OBJ_BRUSH ...; 0 for no handle.
  UINT GetObjectType() const;

  // The object attached to hObject, or a temporary one; null for null.
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  // Deletes this thread's temporary objects (never their handles).
  static void DeleteTempMap();

  HGDIOBJ m_hObject = nullptr;
};

class NY_API CPen : public CGdiObject {
  DECLARE_DYNAMIC(CPen)

 public:
  CPen() = default;
  // Creates the pen at once; the object stays empty when that fails.
  CPen(int nPenStyle, int nWidth, COLORREF crColor);

  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  static CPen* FromHandle(HPEN hPen);
};

class NY_API CBrush : public CGdiObject {
  DECLARE_DYNAMIC(CBrush)

 public:
  CBrush() = default;
  // Each creates the brush at once; the object stays empty when that fails.
  explicit CBrush(COLORREF crColor);
  CBrush(int nIndex, COLORREF crColor);  // hatched, nIndex one of HS_*
  explicit CBrush(CBitmap* pBitmap);

  BOOL CreateSolidBrush(COLORREF crColor);
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  // A solid brush of our own in the system colour nIndex (COLOR_*), so that
  // deleting it is always right.
  BOOL CreateSysColorBrush(int nIndex);
  int GetLogBrush(LOGBRUSH* pLogBrush) const;
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  static CBrush* FromHandle(HBRUSH hBrush);
};

class NY_API CFont : public CGdiObject {
  DECLARE_DYNAMIC(CFont)

 public:
  CFont() = default;

  BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
  // nPointSize in tenths of a point, converted to the logical units of
  // pDC's attribute DC (the screen's when pDC is null).
  BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
  // The same with the whole description; its lfHeight is in tenths of a point.
  BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
  int GetLogFont(LOGFONT* pLogFont) const;
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  static CFont* FromHandle(HFONT hFont);
};

class NY_API CBitmap : public CGdiObject {
  DECLARE_DYNAMIC(CBitmap)

 public:
  CBitmap() = default;

  // Loads a bitmap resource from the module that holds it (the toolkit's
  // resource search); false when there is none of that name.
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
  // A bitmap in pDC's format (a memory DC's is the selected bitmap's).
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  static CBitmap* FromHandle(HBITMAP hBitmap);
};

class NY_API CRgn : public CGdiObject {
  DECLARE_DYNAMIC(CRgn)

 public:
  CRgn() = default;

  BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
  BOOL CreateRectRgnIndirect(LPCRECT lpRect);
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
  BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
  // A region from the platform's rectangle list (ExtCreateRegion), optionally
  // transformed.
  BOOL CreateFromData(const XFORM* lpXForm, int nCount, const RGNDATA* pRgnData);

  // These work on a region that exists: CombineRgn and CopyRgn overwrite it.
  // Both answer the platform's region kind (NULLREGION, SIMPLEREGION,
  // COMPLEXREGION) or ERROR.
  int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
  int CopyRgn(const CRgn* pRgnSrc);
  BOOL EqualRgn(const CRgn* pRgn) const;
  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT point) const;
  int GetRgnBox(LPRECT lpRect) const;
  // The rectangle list: bytes written, or the size needed when lpRgnData is
  // null; 0 on failure.
  int GetRegionData(LPRGNDATA lpRgnData, int nCount) const;
  void SetRectRgn(int x1, int y1, int x2, int y2);
  void SetRectRgn(LPCRECT lpRect);
  int OffsetRgn(int x, int y);
  int OffsetRgn(POINT point);
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  static CRgn* FromHandle(HRGN hRgn);
};

// A list of same-sized images (the common controls' image list), each with
// an optional mask. The list keeps copies: the bitmaps added stay the
// caller's.
class NY_API CImageList : public CObject {
  DECLARE_DYNAMIC(CImageList)

 public:
  CImageList() = default;
  // Destroys the held list, if any.
  ~CImageList() override;

  // nFlags: ILC_COLOR* | ILC_MASK ...; nGrow images are added to the
  // capacity each time it runs out. False when a list is already held.
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  operator HIMAGELIST() const { return m_hImageList; }

  // Each answers the index of the first image added, or -1. A bitmap wider
  // than the image size adds one image per image width.
  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  // The mask is made from crMask: pixels of that colour become transparent
  // (and, as on the platform, black in pbmImage itself).
  int Add(CBitmap* pbmImage, COLORREF crMask);
  int Add(HICON hIcon);

  // Draws image nImage at pt; nStyle is ILD_NORMAL, ILD_TRANSPARENT ...
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
  int GetImageCount() const;
  // The colour drawn behind masked images by ILD_NORMAL (CLR_NONE: none);
  // answers the previous one.
  COLORREF SetBkColor(COLORREF cr);
  COLORREF GetBkColor() const;

  HIMAGELIST m_hImageList = nullptr;
};

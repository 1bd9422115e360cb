// Toolkit device context: MFC's CDC over an HDC.
//
// As in the real toolkit a CDC holds two handles, usually the same: output
// (drawing) goes to m_hDC, queries (text extents and metrics, colours, device
// capabilities) go to m_hAttribDC, and state changes (selections, colours,
// modes, clipping, the current position) are made on both. A CDC deletes the
// DC it holds when it is destroyed; window DCs (BeginPaint, GetDC) are
// wrapped by classes that detach them first.
#pragma once

#include <windows.h>

#include "NyAfxGdi.h"
#include "NyAfxObject.h"
#include "NyAfxString.h"
#include "NyAfxTypes.h"
#include "NyApi.h"

class NY_API CDC : public CObject {
  DECLARE_DYNAMIC(CDC)

 public:
  CDC() = default;
  // Deletes the held DC, if any.
  ~CDC() override;

  // Takes hDC as both the output and the attribute DC. False for null and
  // when this object already holds a DC.
  BOOL Attach(HDC hDC);
  // Gives the output DC up without deleting it (the attribute DC is let go).
  HDC Detach();
  // The object attached to hDC, or a temporary one; null for null.
  static CDC* FromHandle(HDC hDC);
  // Deletes this thread's temporary objects (never their DCs).
  static void DeleteTempMap();

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  // A memory DC compatible with pDC (with the screen when pDC is null).
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();
  virtual int SaveDC();
  virtual BOOL RestoreDC(int nSavedDC);

  // Selection: each answers the object that was selected before (the
  // attached object, or a temporary one), null on failure.
  CPen* SelectObject(CPen* pPen);
  CBrush* SelectObject(CBrush* pBrush);
  virtual CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);
  // A region is copied in as the clipping region: answers its kind
  // (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
  int SelectObject(CRgn* pRgn);
  CGdiObject* SelectObject(CGdiObject* pObject);
  HGDIOBJ SelectObject(HGDIOBJ hObject);
  virtual CGdiObject* SelectStockObject(int nIndex);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  // Colours and modes; each setter answers the previous value.
  virtual COLORREF SetTextColor(COLORREF crColor);
  COLORREF GetTextColor() const;
  virtual COLORREF SetBkColor(COLORREF crColor);
  COLORREF GetBkColor() const;
  int SetBkMode(int nBkMode);
  int GetBkMode() const;
  int GetDeviceCaps(int nIndex) const;

  // Clipping: each answers the new clipping region's kind or ERROR.
  virtual int IntersectClipRect(int x1, int y1, int x2, int y2);
  int IntersectClipRect(LPCRECT lpRect);
  // A null region removes the clipping.
  virtual int SelectClipRgn(CRgn* pRgn);
  int SelectClipRgn(CRgn* pRgn, int nMode);
  virtual int GetClipBox(LPRECT lpRect) const;

  // Text, in the selected font and the text colour; the background as the
  // background mode says.
  virtual BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
  BOOL TextOut(int x, int y, const CString& str);
  virtual BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                          LPINT lpDxWidths);
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths);
  // nCount -1: up to the terminator. Answers the text's height (with
  // DT_CALCRECT the rectangle is fitted to the text instead of drawn in).
  virtual int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
  // Width and height of one line of text in the selected font; (0, 0) on
  // failure.
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const;
  BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const;

  // Lines and shapes. MoveTo answers the previous position.
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point);
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point);
  BOOL Rectangle(int x1, int y1, int x2, int y2);
  BOOL Rectangle(LPCRECT lpRect);
  void FillRect(LPCRECT lpRect, CBrush* pBrush);
  void FrameRect(LPCRECT lpRect, CBrush* pBrush);
  void InvertRect(LPCRECT lpRect);
  // Fills with one colour; the background colour is put back afterwards.
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  // A one-pixel frame: the top and left edges in clrTopLeft, the right and
  // bottom edges (with the top-right and bottom-left corners) in
  // clrBottomRight.
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void DrawFocusRect(LPCRECT lpRect);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags);
  BOOL DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState);
  BOOL DrawIcon(int x, int y, HICON hIcon);
  BOOL DrawIcon(POINT point, HICON hIcon);

  // Pixels and blocks. A null source DC is for raster operations that use
  // none (PATCOPY, BLACKNESS ...).
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT point) const;
  COLORREF SetPixel(int x, int y, COLORREF crColor);
  COLORREF SetPixel(POINT point, COLORREF crColor);
  BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, DWORD dwRop);

  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
};

// Deletes this thread's temporary GDI objects and device contexts made by
// FromHandle (never their handles): the toolkit's idle processing calls it,
// after which pointers from FromHandle are no longer valid.
NY_API void NyAfxDeleteTempGdiObjects();

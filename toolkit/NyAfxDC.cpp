#include "base/NyWindows.h"
// First, so that the settings of the platform header hold for everything below.
#include "toolkit/NyAfxDC.h"
#include "toolkit/NyGdiInternal.h"

namespace {

struct DCTraits {
  using Handle = HDC;
  using Object = CDC;
  static void Bind(CDC* dc, HDC h) { dc->m_hDC = dc->m_hAttribDC = h; }
  static void Release(CDC* dc) { dc->m_hDC = dc->m_hAttribDC = nullptr; }
};

// Made on first use and never destroyed, like the GDI objects' map.
ny_afx::HandleMap<DCTraits>& DCMap() {
  static auto* map = new ny_afx::HandleMap<DCTraits>;
  return *map;
}

// A state change made on both DCs: the output DC first, then the attribute
// DC, whose answer (the previous value) counts; the output DC's when there is
// no attribute DC.
template <typename Result, typename Call>
Result OnBoth(HDC output, HDC attrib, Result failed, Call call) {
  Result result = failed;
  if (output && output != attrib) result = call(output);
  if (attrib) result = call(attrib);
  return result;
}

HGDIOBJ HandleOf(const CGdiObject* object) { return object ? object->m_hObject : nullptr; }
// SelectObject fails with null or HGDI_ERROR; the typed selections answer
// null for both.
HGDIOBJ Previous(HGDIOBJ h) { return h == HGDI_ERROR ? nullptr : h; }
HDC OutputOf(const CDC* dc) { return dc ? dc->m_hDC : nullptr; }

}  // namespace

void NyAfxDeleteTempGdiObjects() {
  CGdiObject::DeleteTempMap();
  CDC::DeleteTempMap();
}

IMPLEMENT_DYNAMIC(CDC, CObject)

CDC::~CDC() {
  if (m_hDC) ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC hDC) {
  if (!hDC || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = hDC;
  DCMap().Attach(hDC, this);
  ny_afx::CountAttached(1);
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  if (h) {
    DCMap().Detach(h, this);
    ny_afx::CountAttached(-1);
  }
  m_hDC = m_hAttribDC = nullptr;
  return h;
}

CDC* CDC::FromHandle(HDC hDC) { return DCMap().FromHandle<CDC>(hDC); }

void CDC::DeleteTempMap() { DCMap().DeleteTemporaries(); }

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  // Refused before creating, so that a held DC is never overwritten.
  if (m_hDC) return FALSE;
  return Attach(::CreateCompatibleDC(OutputOf(pDC)));
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

int CDC::SaveDC() {
  return OnBoth(m_hDC, m_hAttribDC, 0, [](HDC dc) { return ::SaveDC(dc); });
}

BOOL CDC::RestoreDC(int nSavedDC) {
  return OnBoth(m_hDC, m_hAttribDC, FALSE, [&](HDC dc) { return ::RestoreDC(dc, nSavedDC); });
}

// ---- Selection ----------------------------------------------------------------

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
  if (!hObject) return nullptr;
  return OnBoth<HGDIOBJ>(m_hDC, m_hAttribDC, nullptr, [&](HDC dc) { return ::SelectObject(dc, hObject); });
}

CPen* CDC::SelectObject(CPen* pPen) {
  return CPen::FromHandle(static_cast<HPEN>(Previous(SelectObject(HandleOf(pPen)))));
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(Previous(SelectObject(HandleOf(pBrush)))));
}

CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(Previous(SelectObject(HandleOf(pFont)))));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(Previous(SelectObject(HandleOf(pBitmap)))));
}

int CDC::SelectObject(CRgn* pRgn) {
  if (!HandleOf(pRgn)) return ERROR;
  // For a region the platform answers the region's kind in the handle.
  HGDIOBJ kind = SelectObject(HandleOf(pRgn));
  return kind == HGDI_ERROR ? ERROR : static_cast<int>(reinterpret_cast<INT_PTR>(kind));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  return CGdiObject::FromHandle(Previous(SelectObject(HandleOf(pObject))));
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
  return CGdiObject::FromHandle(Previous(SelectObject(::GetStockObject(nIndex))));
}

CPen* CDC::GetCurrentPen() const {
  return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const {
  return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

// ---- Colours, modes, clipping -------------------------------------------------

COLORREF CDC::SetTextColor(COLORREF crColor) {
  return OnBoth<COLORREF>(m_hDC, m_hAttribDC, CLR_INVALID,
                          [&](HDC dc) { return ::SetTextColor(dc, crColor); });
}

COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hAttribDC); }

COLORREF CDC::SetBkColor(COLORREF crColor) {
  return OnBoth<COLORREF>(m_hDC, m_hAttribDC, CLR_INVALID, [&](HDC dc) { return ::SetBkColor(dc, crColor); });
}

COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hAttribDC); }

int CDC::SetBkMode(int nBkMode) {
  return OnBoth(m_hDC, m_hAttribDC, 0, [&](HDC dc) { return ::SetBkMode(dc, nBkMode); });
}

int CDC::GetBkMode() const { return ::GetBkMode(m_hAttribDC); }

int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
  return OnBoth(m_hDC, m_hAttribDC, ERROR, [&](HDC dc) { return ::IntersectClipRect(dc, x1, y1, x2, y2); });
}

int CDC::IntersectClipRect(LPCRECT lpRect) {
  if (!lpRect) return ERROR;
  return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CDC::SelectClipRgn(CRgn* pRgn) {
  HRGN region = static_cast<HRGN>(HandleOf(pRgn));
  return OnBoth(m_hDC, m_hAttribDC, ERROR, [&](HDC dc) { return ::SelectClipRgn(dc, region); });
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode) {
  HRGN region = static_cast<HRGN>(HandleOf(pRgn));
  return OnBoth(m_hDC, m_hAttribDC, ERROR, [&](HDC dc) { return ::ExtSelectClipRgn(dc, region, nMode); });
}

int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

// ---- Text -------------------------------------------------------------------

BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount) {
  return ::TextOut(m_hDC, x, y, lpszString, nCount);
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
  return TextOut(x, y, str.GetString(), str.GetLength());
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                     LPINT lpDxWidths) {
  return ::ExtTextOut(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths) {
  return ExtTextOut(x, y, nOptions, lpRect, str.GetString(), static_cast<UINT>(str.GetLength()), lpDxWidths);
}

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
  if (!lpszString || !lpRect) return 0;
  return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
  return DrawText(str.GetString(), str.GetLength(), lpRect, nFormat);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  SIZE size = {0, 0};
  if (!lpszString || !::GetTextExtentPoint32(m_hAttribDC, lpszString, nCount, &size)) return CSize(0, 0);
  return size;
}

CSize CDC::GetTextExtent(const CString& str) const { return GetTextExtent(str.GetString(), str.GetLength()); }

BOOL CDC::GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetrics(m_hAttribDC, lpMetrics); }

// ---- Lines and shapes ---------------------------------------------------------

CPoint CDC::MoveTo(int x, int y) {
  POINT previous = {0, 0};
  OnBoth(m_hDC, m_hAttribDC, FALSE, [&](HDC dc) { return ::MoveToEx(dc, x, y, &previous); });
  return previous;
}

CPoint CDC::MoveTo(POINT point) { return MoveTo(point.x, point.y); }

BOOL CDC::LineTo(int x, int y) {
  // The attribute DC's current position follows the drawing one.
  if (m_hAttribDC && m_hAttribDC != m_hDC) ::MoveToEx(m_hAttribDC, x, y, nullptr);
  return ::LineTo(m_hDC, x, y);
}

BOOL CDC::LineTo(POINT point) { return LineTo(point.x, point.y); }

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }

BOOL CDC::Rectangle(LPCRECT lpRect) {
  return lpRect && Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
  if (lpRect && HandleOf(pBrush)) ::FillRect(m_hDC, lpRect, *pBrush);
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) {
  if (lpRect && HandleOf(pBrush)) ::FrameRect(m_hDC, lpRect, *pBrush);
}

void CDC::InvertRect(LPCRECT lpRect) {
  if (lpRect) ::InvertRect(m_hDC, lpRect);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  if (!lpRect) return;
  // An opaque text output of no text fills its rectangle with the background
  // colour: one call, no brush to create.
  const COLORREF previous = ::SetBkColor(m_hDC, clr);
  ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
  if (previous != CLR_INVALID) ::SetBkColor(m_hDC, previous);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  const RECT rect = {x, y, x + cx, y + cy};
  FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  if (!lpRect) return;
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
             clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  // The top and left edges stop one pixel short, so the top-right and
  // bottom-left corners take the bottom-right colour: a raised or sunken
  // frame then reads the same from every corner.
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

void CDC::DrawFocusRect(LPCRECT lpRect) {
  if (lpRect) ::DrawFocusRect(m_hDC, lpRect);
}

BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) {
  return lpRect && ::DrawEdge(m_hDC, lpRect, nEdge, nFlags);
}

BOOL CDC::DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState) {
  return lpRect && ::DrawFrameControl(m_hDC, lpRect, nType, nState);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

BOOL CDC::DrawIcon(POINT point, HICON hIcon) { return DrawIcon(point.x, point.y, hIcon); }

// ---- Pixels and blocks --------------------------------------------------------

COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

COLORREF CDC::GetPixel(POINT point) const { return GetPixel(point.x, point.y); }

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }

COLORREF CDC::SetPixel(POINT point, COLORREF crColor) { return SetPixel(point.x, point.y, crColor); }

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) {
  return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
  return ::BitBlt(m_hDC, x, y, nWidth, nHeight, OutputOf(pSrcDC), xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop) {
  return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, OutputOf(pSrcDC), xSrc, ySrc, nSrcWidth, nSrcHeight,
                      dwRop);
}

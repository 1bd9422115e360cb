#include "base/NyWindows.h"
// First, so that the settings of the platform header hold for everything below.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "base/NyScopedGdi.h"
#include "toolkit/NyAfxApp.h"
#include "toolkit/NyAfxDC.h"
#include "toolkit/NyAfxGdi.h"
#include "toolkit/NyGdiInternal.h"

// Bitmaps come from the module the toolkit finds them in: the current
// resource module, else the executable, else the library.
HINSTANCE NyAfxBitmapModule(LPCTSTR name) { return AfxFindResourceHandle(name, RT_BITMAP); }

namespace {

std::atomic<long> g_attached{0};

struct GdiTraits {
  using Handle = HGDIOBJ;
  using Object = CGdiObject;
  static void Bind(CGdiObject* object, HGDIOBJ h) { object->m_hObject = h; }
  static void Release(CGdiObject* object) { object->m_hObject = nullptr; }
};

// Made on first use and never destroyed, so that a host's static objects may
// attach and delete handles at any point of start-up and shut-down.
ny_afx::HandleMap<GdiTraits>& GdiMap() {
  static auto* map = new ny_afx::HandleMap<GdiTraits>;
  return *map;
}

// Creating into an object that already holds a handle would overwrite (and
// leak) it: refused before anything is created.
template <typename Create>
BOOL CreateInto(CGdiObject* object, Create create) {
  if (object->m_hObject) return FALSE;
  return object->Attach(create());
}

HGDIOBJ HandleOf(const CGdiObject* object) { return object ? object->m_hObject : nullptr; }
HRGN RegionOf(const CRgn* region) { return static_cast<HRGN>(HandleOf(region)); }

// Tenths of a point as a (negative: character height) font height in the
// logical units of `dc`, whatever its mapping mode.
LONG PointsToFontHeight(HDC dc, LONG tenths) {
  POINT size = {0, ::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), tenths, 720)};
  POINT origin = {0, 0};
  ::DPtoLP(dc, &size, 1);
  ::DPtoLP(dc, &origin, 1);
  return -std::abs(size.y - origin.y);
}

}  // namespace

void ny_afx::CountAttached(long change) { g_attached += change; }

long NyAfxGetLiveGdiObjectCount() { return g_attached.load(); }

// ---- CGdiObject -------------------------------------------------------------

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (!hObject || m_hObject) return FALSE;
  m_hObject = hObject;
  GdiMap().Attach(hObject, this);
  ny_afx::CountAttached(1);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (h) {
    GdiMap().Detach(h, this);
    ny_afx::CountAttached(-1);
  }
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
  return m_hObject ? ::GetObject(m_hObject, nCount, lpObject) : 0;
}

UINT CGdiObject::GetObjectType() const {
  return m_hObject ? static_cast<UINT>(::GetObjectType(m_hObject)) : 0;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return GdiMap().FromHandle<CGdiObject>(hObject); }

void CGdiObject::DeleteTempMap() { GdiMap().DeleteTemporaries(); }

// ---- CPen -------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CPen, CGdiObject)

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  return CreateInto(this, [&] { return ::CreatePen(nPenStyle, nWidth, crColor); });
}

CPen* CPen::FromHandle(HPEN hPen) { return GdiMap().FromHandle<CPen>(hPen); }

// ---- CBrush -----------------------------------------------------------------

IMPLEMENT_DYNAMIC(CBrush, CGdiObject)

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

CBrush::CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }

CBrush::CBrush(CBitmap* pBitmap) { CreatePatternBrush(pBitmap); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
  return CreateInto(this, [&] { return ::CreateSolidBrush(crColor); });
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) {
  return CreateInto(this, [&] { return ::CreateHatchBrush(nIndex, crColor); });
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  // The brush keeps its own copy of the pattern: the bitmap stays the caller's.
  HBITMAP pattern = static_cast<HBITMAP>(HandleOf(pBitmap));
  if (!pattern) return FALSE;
  return CreateInto(this, [&] { return ::CreatePatternBrush(pattern); });
}

BOOL CBrush::CreateSysColorBrush(int nIndex) {
  return CreateInto(this, [&] { return ::CreateSolidBrush(::GetSysColor(nIndex)); });
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }

CBrush* CBrush::FromHandle(HBRUSH hBrush) { return GdiMap().FromHandle<CBrush>(hBrush); }

// ---- CFont ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CFont, CGdiObject)

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
  if (!lpLogFont) return FALSE;
  return CreateInto(this, [&] { return ::CreateFontIndirect(lpLogFont); });
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision,
                       BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename) {
  return CreateInto(this, [&] {
    return ::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                        nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename);
  });
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  LOGFONT logFont = {};
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfHeight = nPointSize;
  // A longer face name is cut to the platform's field, as CreateFont cuts it.
  if (lpszFaceName) ::lstrcpyn(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
  return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
  if (!lpLogFont || m_hObject) return FALSE;
  LOGFONT logFont = *lpLogFont;
  if (pDC && pDC->m_hAttribDC) {
    logFont.lfHeight = PointsToFontHeight(pDC->m_hAttribDC, lpLogFont->lfHeight);
  } else {
    ny::ScopedGetDC screen(nullptr);
    if (!screen) return FALSE;
    logFont.lfHeight = PointsToFontHeight(screen.Get(), lpLogFont->lfHeight);
  }
  return CreateFontIndirect(&logFont);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const { return GetObject(sizeof(LOGFONT), pLogFont); }

CFont* CFont::FromHandle(HFONT hFont) { return GdiMap().FromHandle<CFont>(hFont); }

// ---- CBitmap ----------------------------------------------------------------

IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  if (!lpszResourceName) return FALSE;
  HINSTANCE module = NyAfxBitmapModule(lpszResourceName);
  return CreateInto(this, [&] { return ::LoadBitmap(module, lpszResourceName); });
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
  return CreateInto(this, [&] { return ::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits); });
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  if (!pDC || !pDC->m_hDC) return FALSE;
  return CreateInto(this, [&] { return ::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight); });
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return GdiMap().FromHandle<CBitmap>(hBitmap); }

// ---- CRgn -------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) {
  return CreateInto(this, [&] { return ::CreateRectRgn(x1, y1, x2, y2); });
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) {
  if (!lpRect) return FALSE;
  return CreateInto(this, [&] { return ::CreateRectRgnIndirect(lpRect); });
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) {
  return CreateInto(this, [&] { return ::CreateEllipticRgn(x1, y1, x2, y2); });
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect) {
  if (!lpRect) return FALSE;
  return CreateInto(this, [&] { return ::CreateEllipticRgnIndirect(lpRect); });
}

BOOL CRgn::CreateFromData(const XFORM* lpXForm, int nCount, const RGNDATA* pRgnData) {
  if (!pRgnData || nCount <= 0) return FALSE;
  return CreateInto(this, [&] { return ::ExtCreateRegion(lpXForm, static_cast<DWORD>(nCount), pRgnData); });
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
  if (!m_hObject) return ERROR;
  return ::CombineRgn(*this, RegionOf(pRgn1), RegionOf(pRgn2), nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc) {
  if (!m_hObject) return ERROR;
  return ::CombineRgn(*this, RegionOf(pRgnSrc), nullptr, RGN_COPY);
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const {
  return m_hObject && RegionOf(pRgn) && ::EqualRgn(*this, RegionOf(pRgn));
}

BOOL CRgn::PtInRegion(int x, int y) const { return m_hObject && ::PtInRegion(*this, x, y); }

BOOL CRgn::PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }

int CRgn::GetRgnBox(LPRECT lpRect) const { return m_hObject ? ::GetRgnBox(*this, lpRect) : ERROR; }

int CRgn::GetRegionData(LPRGNDATA lpRgnData, int nCount) const {
  if (!m_hObject || nCount < 0) return 0;
  return static_cast<int>(::GetRegionData(*this, static_cast<DWORD>(nCount), lpRgnData));
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) {
  if (m_hObject) ::SetRectRgn(*this, x1, y1, x2, y2);
}

void CRgn::SetRectRgn(LPCRECT lpRect) {
  if (lpRect) SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CRgn::OffsetRgn(int x, int y) { return m_hObject ? ::OffsetRgn(*this, x, y) : ERROR; }

int CRgn::OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }

CRgn* CRgn::FromHandle(HRGN hRgn) { return GdiMap().FromHandle<CRgn>(hRgn); }

// ---- CImageList -------------------------------------------------------------

IMPLEMENT_DYNAMIC(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  if (m_hImageList) return FALSE;
  return Attach(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  if (!hImageList || m_hImageList) return FALSE;
  m_hImageList = hImageList;
  ny_afx::CountAttached(1);
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST h = m_hImageList;
  if (h) ny_afx::CountAttached(-1);
  m_hImageList = nullptr;
  return h;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  return ::ImageList_Destroy(Detach());
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
  HBITMAP image = static_cast<HBITMAP>(HandleOf(pbmImage));
  if (!m_hImageList || !image) return -1;
  return ::ImageList_Add(m_hImageList, image, static_cast<HBITMAP>(HandleOf(pbmMask)));
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  HBITMAP image = static_cast<HBITMAP>(HandleOf(pbmImage));
  if (!m_hImageList || !image) return -1;
  return ::ImageList_AddMasked(m_hImageList, image, crMask);
}

int CImageList::Add(HICON hIcon) {
  if (!m_hImageList || !hIcon) return -1;
  return ::ImageList_AddIcon(m_hImageList, hIcon);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
  if (!m_hImageList || !pDC || !pDC->m_hDC) return FALSE;
  return ::ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

int CImageList::GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }

COLORREF CImageList::SetBkColor(COLORREF cr) {
  return m_hImageList ? ::ImageList_SetBkColor(m_hImageList, cr) : CLR_NONE;
}

COLORREF CImageList::GetBkColor() const {
  return m_hImageList ? ::ImageList_GetBkColor(m_hImageList) : CLR_NONE;
}

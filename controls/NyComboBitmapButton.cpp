// The combo bitmap button: one shaped owner-drawn button whose areas each
// call their own function, with auto-repeat from the keyboard's settings.
//
// Every area's region and pressed bitmaps are loaded once, when the area is
// added, and kept beside it: a press, a repeat or a drawing then costs a few
// region tests and no resource load. The resource search looks in the
// current resource module and the executable (then in this DLL, which never
// changes); when either of the first two has changed since the caches were
// made (a host switching its resource module, a dialog lending its own), all
// caches are made again before the next hit test, so that every hit finds
// what a fresh load would find.
#include "base/NyWindows.h"

#include <new>

#include "NyControls.h"
#include "base/NyScopedGdi.h"
#include "controls/NyBitmapRegion.h"
#include "controls/NyComboRepeat.h"
#include "controls/NyRegionRuns.h"

IMPLEMENT_DYNAMIC(CNyComboBitmapButton, CBitmapButton)

BEGIN_MESSAGE_MAP(CNyComboBitmapButton, CBitmapButton)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_TIMER()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_MOUSEMOVE()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

// D & ~S: the destination's bits where the source's are clear.
constexpr DWORD kDestAndNotSource = 0x00220326;

// The mask ANDed (its black clears the pixels the image is to take, its
// white keeps what is there), then the image ORed. The image ORed is first
// cut to the mask's black: a picture shared by every area (the button's
// pressed one) is not black outside the pressed area, and ORed whole it
// would tint the rest of the button. Nothing is drawn without both bitmaps:
// an image ORed without its mask would mix with whatever lies under it.
void DrawMasked(const DRAWITEMSTRUCT& item, HBITMAP mask, HBITMAP image) {
  if (!mask || !image) return;
  const RECT& r = item.rcItem;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  ny::ScopedCreatedDC source(::CreateCompatibleDC(item.hDC));
  ny::ScopedCreatedDC cut(::CreateCompatibleDC(item.hDC));
  ny::ScopedBitmap cutBitmap(::CreateCompatibleBitmap(item.hDC, width, height));
  if (!source.IsValid() || !cut.IsValid() || !cutBitmap.IsValid()) return;
  ny::ScopedSelectObject selectCut(cut.Get(), cutBitmap.Get());
  if (!selectCut.IsSelected()) return;
  {
    ny::ScopedSelectObject select(source.Get(), image);
    if (!select.IsSelected()) return;
    ::BitBlt(cut.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
  }
  ny::ScopedSelectObject select(source.Get(), mask);
  if (!select.IsSelected()) return;
  ::BitBlt(cut.Get(), 0, 0, width, height, source.Get(), 0, 0, kDestAndNotSource);
  ::BitBlt(item.hDC, r.left, r.top, width, height, source.Get(), 0, 0, SRCAND);
  ::BitBlt(item.hDC, r.left, r.top, width, height, cut.Get(), 0, 0, SRCPAINT);
}

}  // namespace

CNyComboBitmapButton::CNyComboBitmapButton() = default;

// The window owns the shape region once it has taken it; m_rgnShape holds a
// region only when handing it over failed, and then deletes it.
CNyComboBitmapButton::~CNyComboBitmapButton() = default;

BOOL CNyComboBitmapButton::LoadBitmaps(UINT idNormal, UINT idSelected, UINT idShape, UINT idMask) {
  m_bitmap.DeleteObject();
  m_bitmapSel.DeleteObject();
  m_bitmapMask.DeleteObject();
  m_rgnShape.DeleteObject();
  CBitmap shape;
  if (!shape.LoadBitmap(idShape)) return FALSE;
  m_bitmapMask.LoadBitmap(idMask ? idMask : idShape);  // a mask that fails stays empty
  // A shape that cannot be read leaves the window unshaped rather than in
  // the shape of an older picture.
  m_rgnShape.Attach(CreateRgnFromBmp(shape, ny::controls::kCornerPixel));
  if (SetWindowRgn(m_rgnShape, TRUE)) m_rgnShape.Detach();
  return CBitmapButton::LoadBitmaps(idNormal, idSelected, 0, 0);
}

bool CNyComboBitmapButton::AddVirtualButton(void (*callback)(), UINT idArea, UINT idSecond,
                                            UINT idPressedMask, UINT idPressedImage) {
  const VirtualButtonSet set = {callback, idArea, idSecond ? idSecond : idArea,
                                idPressedMask ? idPressedMask : idArea, idPressedImage};
  // Both new elements are made aside and spliced in, which cannot fail, so
  // the two lists stay element for element even when memory runs out.
  std::list<VirtualButtonSet> sets;
  std::list<AreaCache> caches;
  try {
    sets.push_back(set);
    caches.emplace_back();
  } catch (const std::bad_alloc&) {
    return false;
  }
  RefreshAreaCaches();
  BuildAreaCache(sets.front(), caches.front());
  m_listVirtualButton.splice(m_listVirtualButton.end(), sets);
  m_listAreaCache.splice(m_listAreaCache.end(), caches);
  return true;
}

HRGN CNyComboBitmapButton::CreateRgnFromBmp(HBITMAP hBitmap, COLORREF transparent) {
  // Rows bottom row first, as a bottom-up section holds them, so that the
  // corner rule takes the picture's bottom-left pixel. Any other
  // `transparent` is compared whole with the pixels as read (0x00RRGGBB).
  return ny::controls::RegionFromBitmap(hBitmap, transparent, true);
}

// ---- Areas -------------------------------------------------------------------------------

void CNyComboBitmapButton::BuildAreaCache(const VirtualButtonSet& set, AreaCache& cache) {
  cache.rgnArea.DeleteObject();
  cache.bitmapMask.DeleteObject();
  cache.bitmapImage.DeleteObject();
  CBitmap area;
  if (area.LoadBitmap(set.idArea)) {
    cache.rgnArea.Attach(ny::controls::RegionFromBitmap(area, ny::controls::kCornerPixel, true));
  }
  // With the default ids the area bitmap is its own pressed mask: keep the
  // one already loaded rather than load it twice.
  if (set.idPressedMask == set.idArea) {
    cache.bitmapMask.Attach(area.Detach());
  } else {
    cache.bitmapMask.LoadBitmap(set.idPressedMask);
  }
  if (set.idPressedImage) cache.bitmapImage.LoadBitmap(set.idPressedImage);
}

void CNyComboBitmapButton::RefreshAreaCaches() {
  const HINSTANCE resource = AfxGetResourceHandle();
  const HINSTANCE instance = AfxGetInstanceHandle();
  if (resource == m_hCacheResource && instance == m_hCacheInstance) return;
  m_hCacheResource = resource;
  m_hCacheInstance = instance;
  auto cache = m_listAreaCache.begin();
  for (const VirtualButtonSet& set : m_listVirtualButton) BuildAreaCache(set, *cache++);
}

std::pair<CNyComboBitmapButton::VirtualButtonIterator, CNyComboBitmapButton::AreaCacheIterator>
CNyComboBitmapButton::HitTest() {
  RefreshAreaCaches();
  // In the order added, so that the first of overlapping areas wins.
  auto cache = m_listAreaCache.begin();
  for (auto set = m_listVirtualButton.begin(); set != m_listVirtualButton.end(); ++set, ++cache) {
    if (cache->rgnArea.GetSafeHandle() && cache->rgnArea.PtInRegion(m_ptLastMouse)) return {set, cache};
  }
  return {m_listVirtualButton.end(), m_listAreaCache.end()};
}

CNyComboBitmapButton::VirtualButtonIterator CNyComboBitmapButton::GetPushButtonIterator() {
  return HitTest().first;
}

// ---- Press, repeat, release ------------------------------------------------------------------

void CNyComboBitmapButton::OnLButtonOrSpaceKeyDown() {
  SetCapture();
  int delay = 0;
  if (!::SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0)) delay = 0;
  SetTimer(ny::controls::kRepeatTimerId, ny::controls::RepeatDelayMs(delay), nullptr);
  // The button takes its pressed state and draws the pressed area now.
  Default();
  // Last: the callback may destroy the button.
  const VirtualButtonIterator set = GetPushButtonIterator();
  if (set != m_listVirtualButton.end() && set->callback) set->callback();
}

void CNyComboBitmapButton::OnTimer(UINT_PTR nIDEvent) {
  Default();
  if (nIDEvent != ny::controls::kRepeatTimerId) return;
  // A press lasts exactly as long as the button holds the capture. A timer
  // message that outlives the press (one posted before the release, or the
  // capture taken by another window, which sends the button no button-up)
  // ends the repeat instead of calling again: the first repeat would
  // otherwise restart the timer for good.
  if (::GetCapture() != m_hWnd) {
    KillTimer(ny::controls::kRepeatTimerId);
    m_bFirstRepeat = true;
    return;
  }
  // The switch to the repeat rate comes before the callback, which may
  // destroy the button; the timer's next tick is the same either way.
  if (m_bFirstRepeat) {
    int speed = 0;
    if (!::SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0)) speed = 0;
    SetTimer(ny::controls::kRepeatTimerId, ny::controls::RepeatRateMs(speed), nullptr);
    m_bFirstRepeat = false;
  }
  const VirtualButtonIterator set = GetPushButtonIterator();
  if (set != m_listVirtualButton.end() && set->callback) set->callback();
}

void CNyComboBitmapButton::OnLButtonOrSpaceKeyUp() {
  m_bFirstRepeat = true;
  KillTimer(ny::controls::kRepeatTimerId);
  // The button's own button-up (or space-up) leaves its pressed state,
  // reports its click and releases the capture. Releasing it here first
  // would lose the click: the platform's button takes the loss of its
  // capture as a press broken off and forgets it. Its parent may destroy
  // the button on the click, so no member is touched afterwards; the
  // capture is released by window handle if the button kept it.
  const HWND self = m_hWnd;
  Default();
  if (::GetCapture() == self) ::ReleaseCapture();
}

void CNyComboBitmapButton::OnLButtonDown(UINT, CPoint) { OnLButtonOrSpaceKeyDown(); }

void CNyComboBitmapButton::OnLButtonUp(UINT, CPoint) { OnLButtonOrSpaceKeyUp(); }

// Other keys are swallowed whole: not even the button's own handling.
void CNyComboBitmapButton::OnKeyDown(UINT nChar, UINT, UINT) {
  if (nChar == VK_SPACE) OnLButtonOrSpaceKeyDown();
}

void CNyComboBitmapButton::OnKeyUp(UINT nChar, UINT, UINT) {
  if (nChar == VK_SPACE) OnLButtonOrSpaceKeyUp();
}

// The space key presses wherever the mouse was seen last.
void CNyComboBitmapButton::OnMouseMove(UINT, CPoint point) {
  m_ptLastMouse = point;
  Default();
}

// ---- Drawing ------------------------------------------------------------------------------

void CNyComboBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (!lpDrawItemStruct) return;
  const ny::controls::ShapeClip clip(m_hWnd, lpDrawItemStruct->hDC);
  // Pressed, only the pressed area changes, drawn over the normal picture.
  // That picture is drawn first all the same: a paint of the whole button
  // while it is pressed (uncovered, or redrawn by the host) comes after an
  // erase, and would otherwise show the pressed area alone.
  DrawMasked(*lpDrawItemStruct, m_bitmapMask, m_bitmap);
  if (!(lpDrawItemStruct->itemState & ODS_SELECTED)) return;
  const auto hit = HitTest();
  if (hit.first == m_listVirtualButton.end()) return;
  HBITMAP image = hit.first->idPressedImage ? static_cast<HBITMAP>(hit.second->bitmapImage)
                                            : static_cast<HBITMAP>(m_bitmapSel);
  DrawMasked(*lpDrawItemStruct, hit.second->bitmapMask, image);
}

BOOL CNyComboBitmapButton::OnEraseBkgnd(CDC* pDC) {
  const ny::controls::ShapeClip clip(m_hWnd, pDC ? pDC->GetSafeHdc() : nullptr);
  return static_cast<BOOL>(Default());
}

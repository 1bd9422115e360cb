// The edit box with a drop-down slider. The drop button and the slider are
// the control's own objects; the pop-up holding the slider is owned by the
// edit box's parent (a dialog), so it stays above it and goes with it.
#include "base/NyWindows.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "NyControls.h"
#include "NyDialogs.h"
#include "base/NyScopedGdi.h"
#include "controls/NySliderEditLayout.h"
#include "dialogs/NyLayoutWin.h"

namespace {

constexpr UINT kButtonId = 0x1234;
constexpr UINT kSliderId = 0x2345;
// Child, visible, push-like, owner-drawn.
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_OWNERDRAW;
// Child, visible, horizontal, with ticks at the tick frequency.
constexpr DWORD kSliderStyle = WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_AUTOTICKS;
// A hidden pop-up with a border and a system menu, without a caption.
constexpr DWORD kPopupStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr char kPopupClass[] = "NySliderEditPopup";

// The pop-up's class: double clicks reach the slider's parent as such, and
// there is no cursor, brush or icon, because the slider covers the whole
// client area and sets its own cursor. Registered once per process for the
// module that creates the windows (the toolkit creates them for it).
const char* PopupClass() {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(instance, kPopupClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kPopupClass;
    ::RegisterClassA(&wc);
  }
  return kPopupClass;
}

CRect ToCRect(const ny::layout::Rect& rc) { return CRect(ny::layout::ToRect(rc)); }

// The pop-up's screen rectangle under the button, kept on the work area of
// the monitor under the pointer: that is where the thumb has to stay, even
// when the pop-up would reach onto a neighbouring monitor.
CRect PopupRect(const CSize& slider, const CRect& thumb, const CPoint& cursor, const CRect& button) {
  std::optional<ny::layout::Rect> work;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (NyGetBelongingMonitorInfo(cursor, monitor)) work = ny::layout::ToLayout(monitor.rcWork);
  return ToCRect(ny::controls::PlaceSliderPopup({slider.cx, slider.cy}, ny::layout::ToLayout(thumb),
                                                {cursor.x, cursor.y}, ny::layout::ToLayout(button), work));
}

}  // namespace

IMPLEMENT_DYNAMIC(CNySliderEdit, CEdit)

// ---- Construction ------------------------------------------------------------------

CNySliderEdit::CNySliderEdit() : m_pButton(new CButtonImpl(*this)), m_pSlider(new CSliderCtrlImpl(*this)) {}

CNySliderEdit::~CNySliderEdit() {
  // Each object destroys its window, if still there, as it goes.
  delete m_pButton;
  delete m_pSlider;
}

// Meant for a box the platform has already placed (a dialog's control). A
// box made through Create is attached in its creation hook, before it has a
// rectangle (Wine reports it empty there), and so gets no button.
void CNySliderEdit::PreSubclassWindow() {
  CEdit::PreSubclassWindow();
  CWnd* pParent = GetParent();
  if (!pParent) return;
  CRect rc;
  GetWindowRect(&rc);
  pParent->ScreenToClient(&rc);
  const std::optional<ny::controls::DropButtonLayout> layout =
      ny::controls::LayOutDropButton(ny::layout::ToLayout(rc));
  if (!layout) return;

  MoveWindow(ToCRect(layout->edit), TRUE);
  m_pButton->Create("", kButtonStyle, ToCRect(layout->button), pParent, kButtonId);
  const CRect sliderRect(0, 0, m_sizeSlider.cx, m_sizeSlider.cy);
  if (m_wndPopup.CreateEx(WS_EX_DLGMODALFRAME, PopupClass(), "", kPopupStyle, sliderRect, pParent, 0)) {
    m_pSlider->Create(kSliderStyle, sliderRect, &m_wndPopup, kSliderId);
  }
  SetRange(0, 100);
  SetPos(0);
  SetTicFreq(5);
}

// ---- The slider ------------------------------------------------------------------------
// Without a slider window (an edit box too far left) these do nothing.

void CNySliderEdit::SetRange(int nMin, int nMax) {
  if (m_pSlider->GetSafeHwnd()) m_pSlider->SetRange(nMin, nMax, FALSE);
}

void CNySliderEdit::GetRange(int& nMin, int& nMax) const {
  nMin = nMax = 0;
  if (m_pSlider->GetSafeHwnd()) m_pSlider->GetRange(nMin, nMax);
}

void CNySliderEdit::SetPos(int nPos) {
  if (!m_pSlider->GetSafeHwnd()) return;
  m_pSlider->SetPos(nPos);
  UpdateText(nPos);
}

int CNySliderEdit::GetPos() const { return m_pSlider->GetSafeHwnd() ? m_pSlider->GetPos() : 0; }

void CNySliderEdit::SetTicFreq(int nFreq) {
  if (m_pSlider->GetSafeHwnd()) m_pSlider->SetTicFreq(nFreq);
}

void CNySliderEdit::SetSliderSize(CSize size) {
  m_sizeSlider = size;
  if (m_pSlider->GetSafeHwnd()) m_pSlider->MoveWindow(0, 0, size.cx, size.cy, TRUE);
}

CSliderCtrl* CNySliderEdit::GetSliderCtrl() { return m_pSlider; }

// ---- Text and position -----------------------------------------------------------------

void CNySliderEdit::OnStartTrack() {}
void CNySliderEdit::OnTracking(UINT, int) {}
void CNySliderEdit::OnEndTrack(int) {}
void CNySliderEdit::OnPosChanged(int) {}

void CNySliderEdit::DoUpdateText(int nPos, CString& strText) { strText.Format("%d", nPos); }

void CNySliderEdit::DoUpdatePos(CString strText, int& nPos) { nPos = std::atoi(strText); }

void CNySliderEdit::UpdateText(int nPos) {
  CString text;
  DoUpdateText(nPos, text);
  SetWindowText(text);
}

void CNySliderEdit::UpdatePos(CString strText) {
  if (!m_pSlider->GetSafeHwnd()) return;
  int pos = GetPos();
  DoUpdatePos(strText, pos);
  int nMin = 0, nMax = 0;
  GetRange(nMin, nMax);
  // In this order a reversed range (min above max) gives max, as the
  // slider itself keeps its position then.
  pos = std::min(nMax, std::max(pos, nMin));
  SetPos(pos);
}

// Enter commits the text; the key still goes on to the dialog.
BOOL CNySliderEdit::PreTranslateMessage(MSG* pMsg) {
  if (pMsg && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && pMsg->hwnd == m_hWnd) CommitText();
  return CEdit::PreTranslateMessage(pMsg);
}

void CNySliderEdit::OnKillfocus() { CommitText(); }

// Without a slider there is no position to set, and no change to report.
void CNySliderEdit::CommitText() {
  if (!m_pSlider->GetSafeHwnd()) return;
  CString text;
  GetWindowText(text);
  UpdatePos(text);
  OnPosChanged(GetPos());
}

void CNySliderEdit::OnEnable(BOOL bEnable) {
  Default();
  if (m_pButton->GetSafeHwnd()) m_pButton->EnableWindow(bEnable);
}

// ---- Tracking --------------------------------------------------------------------------

void CNySliderEdit::OnStartTrackImpl() {
  m_nLastPos = GetPos();
  OnStartTrack();
}

void CNySliderEdit::OnTrackingImpl(UINT nSBCode, int nPos) {
  OnTracking(nSBCode, nPos);
  if (nSBCode == TB_THUMBTRACK && nPos != m_nLastPos) {
    m_nLastPos = nPos;
    UpdateText(nPos);
  }
}

void CNySliderEdit::OnEndTrackImpl() {
  m_pButton->m_bPressed = false;
  if (m_pButton->GetSafeHwnd()) m_pButton->Invalidate(TRUE);
  if (m_wndPopup.GetSafeHwnd()) m_wndPopup.ShowWindow(SW_HIDE);
  OnEndTrack(GetPos());
}

BEGIN_MESSAGE_MAP(CNySliderEdit, CEdit)
  ON_CONTROL_REFLECT(EN_KILLFOCUS, OnKillfocus)
  ON_WM_ENABLE()
END_MESSAGE_MAP()

// ---- The drop button -------------------------------------------------------------------

void CNySliderEdit::CButtonImpl::OnLButtonDown(UINT nFlags, CPoint) {
  Default();  // the button shows pressed and takes the focus
  CNySliderEdit& owner = m_owner;
  CSliderCtrlImpl& slider = *owner.m_pSlider;
  if (!slider.GetSafeHwnd() || !owner.m_wndPopup.GetSafeHwnd()) return;
  m_bPressed = true;
  owner.OnStartTrackImpl();

  CPoint cursor;
  ::GetCursorPos(&cursor);
  CRect thumb, button;
  slider.GetThumbRect(&thumb);
  GetWindowRect(&button);
  const CRect placed = PopupRect(owner.m_sizeSlider, thumb, cursor, button);

  owner.m_wndPopup.MoveWindow(placed, TRUE);
  // Shown without activation, as a combo box's list is: the dialog keeps
  // the active caption and gets no activation back when the pop-up hides.
  owner.m_wndPopup.ShowWindow(SW_SHOWNA);
  Invalidate(TRUE);  // now drawn pressed by our flag

  // The slider takes the mouse at its thumb: the drag has begun while the
  // user still holds the button down.
  const ny::layout::Point centre = ny::layout::RectCentre(ny::layout::ToLayout(thumb));
  slider.SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(centre.x, centre.y));
}

void CNySliderEdit::CButtonImpl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (!lpDrawItemStruct) return;
  const HDC dc = lpDrawItemStruct->hDC;
  RECT frame = lpDrawItemStruct->rcItem;
  ::DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (m_bPressed ? DFCS_PUSHED : 0));

  // The glyph moves one pixel down and right while pressed.
  const RECT& item = lpDrawItemStruct->rcItem;
  const int in = m_bPressed ? 3 : 2, out = m_bPressed ? 2 : 3;
  const int L = item.left + in, T = item.top + in, R = item.right - out, B = item.bottom - out;
  const int m = (L + R) / 2;

  const bool disabled = (lpDrawItemStruct->itemState & ODS_DISABLED) != 0;
  CPen outline(PS_SOLID, 1, disabled ? ::GetSysColor(COLOR_BTNSHADOW) : RGB(0, 0, 0));
  CPen shade(PS_SOLID, 1, ::GetSysColor(disabled ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
  if (!outline.GetSafeHandle() || !shade.GetSafeHandle()) return;

  // The guard puts the DC's own pen back after both pens were used.
  const ny::ScopedSelectObject select(dc, shade);
  ::MoveToEx(dc, R - 4, T + 3, nullptr);
  ::LineTo(dc, R - 4, B - 6);
  ::LineTo(dc, m, B - 4);
  ::LineTo(dc, L + 3, B - 6);

  ::SelectObject(dc, outline);
  const POINT thumb[] = {{m, B - 3},     {L + 2, B - 6}, {L + 2, T + 3},
                         {R - 3, T + 3}, {R - 3, B - 6}, {m, B - 3}};
  ::Polyline(dc, thumb, static_cast<int>(sizeof thumb / sizeof thumb[0]));
}

BEGIN_MESSAGE_MAP(CNySliderEdit::CButtonImpl, CButton)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// ---- The slider ------------------------------------------------------------------------

void CNySliderEdit::CSliderCtrlImpl::OnLButtonUp(UINT, CPoint) {
  // The slider ends its drag first and sends its last notifications.
  Default();
  m_owner.OnEndTrackImpl();
}

// The pop-up hands the slider's notifications back here. A thumb position
// travels in 16 bits of the message, so it is read from the slider itself,
// which has already moved there; the other codes carry none.
void CNySliderEdit::CSliderCtrlImpl::HScroll(UINT nSBCode, UINT nPos) {
  const bool thumb = nSBCode == TB_THUMBTRACK || nSBCode == TB_THUMBPOSITION;
  m_owner.OnTrackingImpl(nSBCode, thumb ? GetPos() : static_cast<int>(nPos));
}

BEGIN_MESSAGE_MAP(CNySliderEdit::CSliderCtrlImpl, CSliderCtrl)
  ON_WM_LBUTTONUP()
  ON_WM_HSCROLL_REFLECT()
END_MESSAGE_MAP()

// The owner-drawn controls in the demo host: a shaped bitmap button with its
// mouse-over picture, a pad of four arrow areas that repeat while held, and
// an edit box with a drop-down slider. Driven by messages, as a host's test
// would drive them; with NY_SCREENSHOT_DIR set, each step is also written as
// a picture.
#include <cstdio>
#include <string>

#include "../tests/NyWindowCapture.h"
#include "DemoSupport.h"
#include "bitmaps/NyControlBitmaps.h"

namespace {

constexpr int kButtonId = 601, kPadId = 602, kEditId = 603;

int g_up = 0, g_down = 0, g_left = 0, g_right = 0;
void Up() { ++g_up; }
void Down() { ++g_down; }
void Left() { ++g_left; }
void Right() { ++g_right; }

std::string Text(const CWnd& wnd) {
  CString text;
  wnd.GetWindowText(text);
  return text.GetString();
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void Picture(CWnd& window, const char* name) {
  Pump();
  window.UpdateWindow();
  if (!nytest::SaveIfRequested(nytest::CaptureWindow(window.m_hWnd), name))
    std::printf("    (the picture %s could not be written)\n", name);
}

void Send(CWnd& wnd, UINT message, WPARAM wParam, int x, int y) {
  wnd.SendMessage(message, wParam, MAKELPARAM(x, y));
}

}  // namespace

void demo::ShowNyControls() {
  std::printf("\nOwner-drawn controls\n");
  CWnd window;
  if (!window.CreateEx(0, nullptr, "DoRor controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 60,
                       60, 360, 220, nullptr, nullptr)) {
    std::printf("  no window could be opened\n");
    return;
  }

  // A shaped button: four state pictures, four mouse-over pictures and an
  // elliptic mask; its window takes no clicks outside the ellipse.
  CNyBitmapButton button;
  button.Create("OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 20, 20), &window, kButtonId);
  const BOOL loaded = button.LoadBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUS,
                                         IDB_BUTTON_DISABLED, IDB_BUTTON_MASK);
  button.LoadMouseOverBitmaps(IDB_BUTTON_OVER_NORMAL, IDB_BUTTON_OVER_PRESSED, IDB_BUTTON_OVER_FOCUS,
                              IDB_BUTTON_OVER_DISABLED);
  button.SetTextColors(RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 128), RGB(128, 128, 128));
  CRect size;
  button.GetWindowRect(&size);
  CRgn shape;
  const bool shaped = shape.CreateRectRgn(0, 0, 0, 0) && button.GetWindowRgn(shape) != ERROR;
  std::printf("  bitmap button: pictures %s, %ld x %ld pixels, corner (0, 0) %s the window, centre %s\n",
              loaded ? "loaded" : "missing", size.Width(), size.Height(),
              shaped && !shape.PtInRegion(0, 0) ? "outside" : "inside",
              shaped && shape.PtInRegion(size.Width() / 2, size.Height() / 2) ? "inside" : "outside");
  Picture(window, "controls-button-normal");
  Send(button, WM_MOUSEMOVE, 0, size.Width() / 2, size.Height() / 2);
  std::printf("  the pointer over it: the mouse-over picture (written as controls-button-hover)\n");
  Picture(window, "controls-button-hover");
  button.SendMessage(WM_MOUSELEAVE);

  // A pad of four arrow areas: a press calls the area's function, the
  // repeat timer (posted here instead of waited for) calls it again, and
  // the release stops it.
  CNyComboBitmapButton pad;
  pad.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(120, 20, 216, 116), &window, kPadId);
  pad.LoadBitmaps(IDB_COMBO_NORMAL, IDB_COMBO_PRESSED, IDB_COMBO_SHAPE, 0);
  pad.AddVirtualButton(&Up, IDB_COMBO_UP);
  pad.AddVirtualButton(&Down, IDB_COMBO_DOWN);
  pad.AddVirtualButton(&Left, IDB_COMBO_LEFT);
  pad.AddVirtualButton(&Right, IDB_COMBO_RIGHT);
  Send(pad, WM_MOUSEMOVE, 0, 48, 20);
  Send(pad, WM_LBUTTONDOWN, MK_LBUTTON, 48, 20);
  Picture(window, "controls-pad-up-pressed");
  pad.SendMessage(WM_TIMER, 823);
  pad.SendMessage(WM_TIMER, 823);
  Send(pad, WM_LBUTTONUP, 0, 48, 20);
  pad.SendMessage(WM_TIMER, 823);  // a late tick after the release changes nothing
  Send(pad, WM_MOUSEMOVE, 0, 76, 48);
  pad.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  pad.SendMessage(WM_KEYUP, VK_SPACE, 0);
  std::printf(
      "  pad: up held for two repeats -> up %d times; space over the right arrow -> right %d, "
      "down %d, left %d\n",
      g_up, g_right, g_down, g_left);

  // An edit box with a drop-down slider: the box gives 18 pixels to its
  // button; the slider's thumb follows into the text, and a typed value is
  // kept within the range.
  ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 140, 100, 22, window.m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), nullptr, nullptr);
  CNySliderEdit opacity;
  opacity.SubclassDlgItem(kEditId, &window);
  opacity.SetRange(0, 255);
  opacity.SetPos(128);
  CRect edit;
  opacity.GetWindowRect(&edit);
  window.ScreenToClient(&edit);
  std::printf("  slider edit: box %ld to %ld (18 pixels given to the drop button), text \"%s\"\n", edit.left,
              edit.right, Text(opacity).c_str());
  CSliderCtrl* slider = opacity.GetSliderCtrl();
  slider->SetPos(200);
  ::SendMessageA(::GetParent(slider->m_hWnd), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 200),
                 reinterpret_cast<LPARAM>(slider->m_hWnd));
  std::printf("  the slider moved to 200: text \"%s\"\n", Text(opacity).c_str());
  opacity.SetWindowText("300");
  MSG enter = {opacity.m_hWnd, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
  opacity.PreTranslateMessage(&enter);
  std::printf("  \"300\" typed and Enter: position %d, text \"%s\"\n", opacity.GetPos(),
              Text(opacity).c_str());
  Picture(window, "controls-all");
  window.DestroyWindow();
}

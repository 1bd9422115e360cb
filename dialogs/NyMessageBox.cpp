// NyMessageBox: the toolkit's message box with the caller's caption, set
// from a creation-time hook because the box takes its caption from the
// application.
#include "base/NyWindows.h"

#include "NyDialogs.h"

namespace {

// Process-wide, as the box is shown by one thread at a time; the caption is
// the caller's own text, used before NyMessageBox returns.
const char* g_pendingCaption = nullptr;
HHOOK g_captionHook = nullptr;

LRESULT CALLBACK CaptionHook(int code, WPARAM wParam, LPARAM lParam) {
  // The first window activated while the hook is in is the box.
  if (code == HCBT_ACTIVATE && g_pendingCaption) {
    ::SetWindowTextA(reinterpret_cast<HWND>(wParam), g_pendingCaption);
    g_pendingCaption = nullptr;
  }
  return ::CallNextHookEx(g_captionHook, code, wParam, lParam);
}

}  // namespace

int NyMessageBox(const char* text, const char* caption, UINT type) {
  if (CNyDialog::IsSkipDialog() && (type & MB_TYPEMASK) == MB_OK) return IDOK;
  if (caption) {
    g_pendingCaption = caption;
    g_captionHook = ::SetWindowsHookExA(WH_CBT, CaptionHook, nullptr, ::GetCurrentThreadId());
  }
  const int result = AfxMessageBox(text ? text : "", type, 0);
  if (g_captionHook) {
    ::UnhookWindowsHookEx(g_captionHook);
    g_captionHook = nullptr;
  }
  // A box that was never activated (a host answering without a window)
  // leaves the caption pending; it must not reach the next window.
  g_pendingCaption = nullptr;
  return result;
}

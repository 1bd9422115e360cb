// The toolkit's per-thread window state (internal): the handle maps, the
// window waiting to be attached at creation, and the public part that hosts
// read through AfxGetThreadState.
#pragma once

#include <memory>
#include <unordered_map>

#include "toolkit/NyAfxWnd.h"

namespace ny::afx {

struct WndThreadState {
  _AFX_THREAD_STATE pub = {};
  // Objects attached to windows of this thread.
  std::unordered_map<HWND, CWnd*> permanent;
  // Objects made up by CWnd::FromHandle; freed at idle time.
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
  CWnd* windowInit = nullptr;
  HHOOK cbtHook = nullptr;
};

WndThreadState& ThisThread();

}  // namespace ny::afx

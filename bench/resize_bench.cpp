// The resize helper against bare moves: a window with 200 anchored controls
// is resized through 1,000 client sizes by OnSizeHelper, and in the same run
// the same controls are moved to the same rectangles (computed beforehand by
// the same arithmetic) by bare MoveWindow calls plus one invalidation per
// size. The ratio is the helper's own cost
// (the arithmetic, the id lookups and the bookkeeping) on top of the moves.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "DoRor.h"
#include "NyBench.h"
#include "dialogs/NyLayout.h"

namespace {

using nybench::Now;

constexpr int kControls = 200;
constexpr int kSizes = 1000;
// The sizes are timed in chunks, the two ways in turn, so that a change of
// load on the machine falls on both alike.
constexpr int kChunk = 50;
constexpr double kTarget = 1.1;

class Resizable : public CWnd, public CNyWndResizeHelper {
 public:
  using CNyWndResizeHelper::OnSizeHelper;
  using CNyWndResizeHelper::SetAnchor;
};

// The client size of step i: a walk between 400 x 300 and 1,000 x 700.
SIZE StepSize(int i) { return SIZE{400 + (i * 7) % 600, 300 + (i * 13) % 400}; }

}  // namespace

int main() {
  Resizable window;
  if (!window.CreateEx(0, nullptr, "resize bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                       nullptr)) {
    std::printf("resize bench: no window (is there a display?)\n");
    return 1;
  }
  CRect client;
  window.GetClientRect(&client);
  std::vector<HWND> controls;
  for (int i = 0; i < kControls; ++i) {
    const int x = 5 + (i % 20) * 30, y = 5 + (i / 20) * 40;
    controls.push_back(::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, 25, 30, window.m_hWnd,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + i)), nullptr,
                                         nullptr));
    // Every combination of edges, in turn.
    window.SetAnchor(1000 + i, static_cast<UINT>(i % 16));
  }
  // The rectangles for the bare moves: the helper's own arithmetic on the
  // geometry it anchored (the helper moved nothing yet).
  std::vector<RECT> anchored(kControls);
  for (int i = 0; i < kControls; ++i) {
    ::GetWindowRect(controls[i], &anchored[i]);
    ::MapWindowPoints(HWND_DESKTOP, window.m_hWnd, reinterpret_cast<POINT*>(&anchored[i]), 2);
  }
  std::vector<std::vector<RECT>> targets(kSizes, std::vector<RECT>(kControls));
  for (int s = 0; s < kSizes; ++s) {
    const SIZE size = StepSize(s);
    for (int i = 0; i < kControls; ++i) {
      const RECT& a = anchored[i];
      const ny::layout::Rect r =
          ny::layout::AnchoredRect(static_cast<unsigned>(i % 16), {a.left, a.top, a.right, a.bottom},
                                   {client.Width(), client.Height()}, {size.cx, size.cy});
      targets[s][i] = RECT{r.left, r.top, r.right, r.bottom};
    }
  }
  auto pump = [] {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  };
  double helperTime = 0, bareTime = 0;
  for (int first = 0; first < kSizes; first += kChunk) {
    const int last = std::min(kSizes, first + kChunk);
    double start = Now();
    for (int s = first; s < last; ++s) window.OnSizeHelper(StepSize(s).cx, StepSize(s).cy);
    helperTime += Now() - start;
    pump();
    start = Now();
    for (int s = first; s < last; ++s) {
      for (int i = 0; i < kControls; ++i) {
        const RECT& r = targets[s][i];
        ::MoveWindow(controls[i], r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
      }
      ::InvalidateRect(window.m_hWnd, nullptr, TRUE);
    }
    bareTime += Now() - start;
    pump();
  }
  // Both ways ended on the same rectangles.
  int mismatches = 0;
  for (int i = 0; i < kControls; ++i) {
    RECT now;
    ::GetWindowRect(controls[i], &now);
    ::MapWindowPoints(HWND_DESKTOP, window.m_hWnd, reinterpret_cast<POINT*>(&now), 2);
    if (!::EqualRect(&now, &targets[kSizes - 1][i])) ++mismatches;
  }
  const double ratio = helperTime / bareTime;
  std::printf("\nResize helper: %d anchored controls through %d sizes (%d moves each way)\n", kControls,
              kSizes, kControls * kSizes);
  std::printf("  %-34s %8.0f sizes/s\n", "OnSizeHelper", kSizes / helperTime);
  std::printf("  %-34s %8.0f sizes/s\n", "bare MoveWindow", kSizes / bareTime);
  std::printf("  %-34s %8.3f (target <= %.1f) %s\n", "helper / bare moves (time)", ratio, kTarget,
              ratio <= kTarget ? "met" : "NOT MET");
  if (mismatches) std::printf("  %d controls ended elsewhere than the bare moves put them\n", mismatches);
  window.DestroyWindow();
  return mismatches ? 1 : 0;
}

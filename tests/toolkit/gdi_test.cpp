// The toolkit's GDI objects and device context, checked by the pixels they
// leave in 32-bit DIB sections on memory DCs (no window needed), and by the
// handles they own and release.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "base/NyScopedGdi.h"

namespace {

// Every colour has three different channels, so that swapped channels show.
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(0xE0, 0x10, 0x30);
constexpr COLORREF kBlue = RGB(0x20, 0x40, 0xC0);
constexpr COLORREF kGreen = RGB(0x10, 0xC0, 0x70);
constexpr COLORREF kYellow = RGB(0xF0, 0xD0, 0x05);

// A memory DC drawing into a top-down 32-bit DIB section whose pixels the
// test reads directly (0x00RRGGBB each).
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
    dc.CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap.Reset(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<const std::uint32_t*>(bits);
    m_select.emplace(dc, m_bitmap.Get());
    dc.FillSolidRect(0, 0, width, height, fill);
  }

  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const std::uint32_t p = m_bits[y * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // The pixels that differ from `expected(x, y)`, as "(x,y)" texts.
  std::vector<std::string> Mismatches(const std::function<COLORREF(int, int)>& expected) const {
    std::vector<std::string> wrong;
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        if (At(x, y) != expected(x, y))
          wrong.push_back("(" + std::to_string(x) + "," + std::to_string(y) + ")");
      }
    }
    return wrong;
  }

  CDC dc;  // declared first, destroyed last: after the bitmap is put back and deleted

 private:
  int m_width, m_height;
  ny::ScopedBitmap m_bitmap;
  const std::uint32_t* m_bits = nullptr;
  std::optional<ny::ScopedSelectObject> m_select;
};

// A device-dependent bitmap of `cx` by `cy` in `fill`, with `inner` in `color`.
void PaintBitmap(CBitmap& bitmap, CDC& like, int cx, int cy, COLORREF fill, const RECT& inner,
                 COLORREF color) {
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&like, cx, cy));
  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(&like));
  CBitmap* old = memory.SelectObject(&bitmap);
  memory.FillSolidRect(0, 0, cx, cy, fill);
  memory.FillSolidRect(&inner, color);
  memory.SelectObject(old);
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

TEST(Gdi, SolidAnd3dRectanglesPaintExactlyTheirPixels) {
  const RECT rects[] = {{2, 3, 12, 9}, {0, 0, 24, 16}, {7, 7, 9, 9}, {5, 5, 5, 9}};
  for (const RECT& r : rects) {
    SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
    Canvas fill(24, 16, kWhite);
    fill.dc.SetBkColor(kYellow);
    fill.dc.FillSolidRect(&r, kRed);
    EXPECT_EQ(fill.dc.GetBkColor(), kYellow);  // put back
    EXPECT_EQ(fill.Mismatches([&](int x, int y) { return Inside(r, x, y) ? kRed : kWhite; }),
              std::vector<std::string>());

    // Top and left in the first colour; right and bottom, with the top-right
    // and bottom-left corners, in the second.
    Canvas frame(24, 16, kWhite);
    frame.dc.Draw3dRect(r.left, r.top, r.right - r.left, r.bottom - r.top, kBlue, kGreen);
    const int w = r.right - r.left;
    if (w <= 0) continue;  // an empty rectangle (the last) is framed by nothing we promise
    EXPECT_EQ(frame.Mismatches([&](int x, int y) {
      if (!Inside(r, x, y)) return kWhite;
      if (x == r.right - 1 || y == r.bottom - 1) return kGreen;
      return x == r.left || y == r.top ? kBlue : kWhite;
    }),
              std::vector<std::string>());
  }
}

TEST(Gdi, TextIsDrawnInItsColourInsideItsRectangleOnlyAndMatchesItsExtent) {
  CFont font;
  ASSERT_TRUE(font.CreateFont(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
  const CString text("WgHello|");
  // A rectangle with room to spare, and one that cuts the text on every side.
  const RECT rects[] = {{10, 10, 190, 50}, {14, 14, 40, 22}};
  for (const RECT& r : rects) {
    Canvas canvas(200, 60, kWhite);
    CFont* old = canvas.dc.SelectObject(&font);
    ASSERT_NE(old, nullptr);
    canvas.dc.SetTextColor(kRed);
    canvas.dc.SetBkMode(TRANSPARENT);
    RECT target = r;
    EXPECT_GT(canvas.dc.DrawText(text, &target, DT_SINGLELINE | DT_LEFT | DT_TOP), 0);
    int red = 0;
    EXPECT_EQ(canvas.Mismatches([&](int x, int y) {
      // The text colour alone (no smoothing), and only inside.
      const bool text = Inside(r, x, y) && canvas.At(x, y) == kRed;
      red += text;
      return text ? kRed : kWhite;
    }),
              std::vector<std::string>());
    EXPECT_GT(red, 20);

    const CSize extent = canvas.dc.GetTextExtent(text);
    RECT measured = {0, 0, 0, 0};
    canvas.dc.DrawText(text.GetString(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(CSize(measured.right, measured.bottom), extent);
    TEXTMETRIC metrics = {};
    ASSERT_TRUE(canvas.dc.GetTextMetrics(&metrics));
    EXPECT_EQ(extent.cy, metrics.tmHeight);
    EXPECT_EQ(canvas.dc.GetTextExtent(""), CSize(0, 0));
    canvas.dc.SelectObject(old);
  }
}

TEST(Gdi, MaskAndImageBlitsLetTheImageThroughTheMaskOnly) {
  Canvas canvas(32, 32, kBlue);
  const RECT shape = {4, 4, 12, 12};
  CBitmap mask, image;
  PaintBitmap(mask, canvas.dc, 16, 16, kWhite, shape, kBlack);
  PaintBitmap(image, canvas.dc, 16, 16, kBlack, shape, kRed);

  CDC source;
  ASSERT_TRUE(source.CreateCompatibleDC(&canvas.dc));
  CBitmap* old = source.SelectObject(&mask);
  ASSERT_TRUE(canvas.dc.BitBlt(8, 8, 16, 16, &source, 0, 0, SRCAND));
  const RECT placed = {12, 12, 20, 20};
  EXPECT_EQ(canvas.Mismatches([&](int x, int y) { return Inside(placed, x, y) ? kBlack : kBlue; }),
            std::vector<std::string>());
  source.SelectObject(&image);
  ASSERT_TRUE(canvas.dc.BitBlt(8, 8, 16, 16, &source, 0, 0, SRCPAINT));
  EXPECT_EQ(canvas.Mismatches([&](int x, int y) { return Inside(placed, x, y) ? kRed : kBlue; }),
            std::vector<std::string>());
  source.SelectObject(old);
}

TEST(Gdi, SelectionsAnswerThePreviousObjectAndTheGuardPutsItBack) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CPen red(PS_SOLID, 1, kRed);
  CPen* stock = dc.SelectObject(&red);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(stock->m_hObject, ::GetStockObject(BLACK_PEN));
  EXPECT_TRUE(stock->IsKindOf(RUNTIME_CLASS(CPen)));
  EXPECT_EQ(dc.GetCurrentPen(), &red);  // an attached object is found, not wrapped again
  EXPECT_EQ(dc.SelectObject(stock), &red);

  CBitmap first, second;
  ASSERT_TRUE(first.CreateBitmap(4, 4, 1, 1, nullptr));
  ASSERT_TRUE(second.CreateBitmap(4, 4, 1, 1, nullptr));
  CBitmap* original = dc.SelectObject(&first);
  EXPECT_EQ(dc.SelectObject(&second), &first);
  EXPECT_EQ(dc.GetCurrentBitmap(), &second);
  EXPECT_EQ(dc.SelectObject(original), &second);

  CBrush brush(HS_DIAGCROSS, kGreen);
  CGdiObject* previous = dc.SelectObject(static_cast<CGdiObject*>(&brush));
  EXPECT_EQ(previous->m_hObject, ::GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(dc.SelectStockObject(WHITE_BRUSH), &brush);

  {
    ny::ScopedSelectObject guard(dc, red);
    EXPECT_TRUE(guard.IsSelected());
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), red.m_hObject);
  }
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), ::GetStockObject(BLACK_PEN));
  ny::ScopedSelectObject nothing(nullptr, red);
  EXPECT_FALSE(nothing.IsSelected());

  CRgn clip, none;
  ASSERT_TRUE(clip.CreateRectRgn(0, 0, 2, 2));
  EXPECT_EQ(dc.SelectObject(&clip), SIMPLEREGION);
  EXPECT_EQ(dc.SelectObject(&none), ERROR);
  CPen empty;
  EXPECT_EQ(dc.SelectObject(&empty), nullptr);
}

TEST(Gdi, RegionsCombineCopyMoveAndRoundTripThroughTheirData) {
  CRgn a, b;
  ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
  ASSERT_TRUE(b.CreateRectRgn(5, 5, 15, 15));
  struct Case {
    int mode;
    int kind;
    bool at2, at7, at12;  // PtInRegion at (2,2), (7,7), (12,12)
  } const cases[] = {
      {RGN_OR, COMPLEXREGION, true, true, true},
      {RGN_AND, SIMPLEREGION, false, true, false},
      {RGN_DIFF, COMPLEXREGION, true, false, false},
      {RGN_XOR, COMPLEXREGION, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CRgn result;
    ASSERT_TRUE(result.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(result.CombineRgn(&a, &b, c.mode), c.kind);
    EXPECT_EQ(!!result.PtInRegion(2, 2), c.at2);
    EXPECT_EQ(!!result.PtInRegion(CPoint(7, 7)), c.at7);
    EXPECT_EQ(!!result.PtInRegion(12, 12), c.at12);

    const int size = result.GetRegionData(nullptr, 0);
    ASSERT_GT(size, static_cast<int>(sizeof(RGNDATAHEADER)));
    std::vector<char> data(static_cast<size_t>(size));
    auto* rgnData = reinterpret_cast<RGNDATA*>(data.data());
    ASSERT_EQ(result.GetRegionData(rgnData, size), size);
    CRgn rebuilt;
    ASSERT_TRUE(rebuilt.CreateFromData(nullptr, size, rgnData));
    EXPECT_TRUE(rebuilt.EqualRgn(&result));
  }

  CRgn copy;
  ASSERT_TRUE(copy.CreateEllipticRgn(0, 0, 1, 1));
  EXPECT_EQ(copy.CopyRgn(&b), SIMPLEREGION);
  EXPECT_EQ(copy.OffsetRgn(CPoint(-5, 10)), SIMPLEREGION);
  CRect box;
  EXPECT_EQ(copy.GetRgnBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(0, 15, 10, 25));
  copy.SetRectRgn(CRect(1, 2, 3, 4));
  copy.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(1, 2, 3, 4));

  CRgn ellipse;
  ASSERT_TRUE(ellipse.CreateEllipticRgnIndirect(CRect(0, 0, 20, 20)));
  EXPECT_TRUE(ellipse.PtInRegion(10, 10));
  EXPECT_FALSE(ellipse.PtInRegion(0, 0));

  // Operations on a region that does not exist fail without creating one.
  CRgn missing;
  EXPECT_EQ(missing.CombineRgn(&a, &b, RGN_OR), ERROR);
  EXPECT_EQ(missing.CopyRgn(&a), ERROR);
  EXPECT_FALSE(missing.PtInRegion(1, 1));
  EXPECT_FALSE(missing.CreateFromData(nullptr, 0, nullptr));
  EXPECT_EQ(missing.m_hObject, nullptr);
}

TEST(Gdi, ImageListDrawsImagesThroughTheirMasks) {
  Canvas canvas(40, 16, kBlue);
  CBitmap image, mask, keyed;
  PaintBitmap(image, canvas.dc, 8, 8, kRed, CRect(0, 0, 0, 0), kRed);  // red all over: only the mask cuts it
  PaintBitmap(mask, canvas.dc, 8, 8, kWhite, CRect(2, 2, 6, 6), kBlack);
  PaintBitmap(keyed, canvas.dc, 8, 8, kGreen, CRect(1, 3, 7, 5), kYellow);

  CImageList list;
  EXPECT_EQ(list.Add(&image, &mask), -1);  // no list yet
  ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 0, 4));
  EXPECT_FALSE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 0, 4));
  EXPECT_EQ(list.Add(&image, &mask), 0);
  EXPECT_EQ(list.Add(&keyed, kGreen), 1);
  EXPECT_EQ(list.GetImageCount(), 2);
  EXPECT_EQ(list.SetBkColor(kWhite), CLR_NONE);
  EXPECT_EQ(list.SetBkColor(CLR_NONE), kWhite);

  ASSERT_TRUE(list.Draw(&canvas.dc, 0, CPoint(4, 4), ILD_TRANSPARENT));
  ASSERT_TRUE(list.Draw(&canvas.dc, 1, CPoint(20, 4), ILD_TRANSPARENT));
  EXPECT_FALSE(list.Draw(nullptr, 0, CPoint(0, 0), ILD_TRANSPARENT));
  const RECT masked = {6, 6, 10, 10}, key = {21, 7, 27, 9};
  EXPECT_EQ(canvas.Mismatches([&](int x, int y) {
    if (Inside(masked, x, y)) return kRed;
    return Inside(key, x, y) ? kYellow : kBlue;
  }),
            std::vector<std::string>());
}

TEST(Gdi, TemporaryWrappersNeverOwnTheirHandles) {
  ny::ScopedGdiObject<HPEN> raw(::CreatePen(PS_SOLID, 1, kRed));
  CPen* pen = CPen::FromHandle(raw.Get());
  ASSERT_NE(pen, nullptr);
  EXPECT_TRUE(pen->IsKindOf(RUNTIME_CLASS(CPen)));
  EXPECT_EQ(pen->m_hObject, raw.Get());
  EXPECT_EQ(CPen::FromHandle(raw.Get()), pen);  // one temporary per handle and class
  CGdiObject* plain = CGdiObject::FromHandle(raw.Get());
  EXPECT_FALSE(plain->IsKindOf(RUNTIME_CLASS(CPen)));
  EXPECT_EQ(CPen::FromHandle(nullptr), nullptr);
  CPen* elsewhere = nullptr;
  std::thread([&] { elsewhere = CPen::FromHandle(raw.Get()); }).join();
  EXPECT_NE(elsewhere, pen);  // temporaries are per thread

  ny::ScopedCreatedDC rawDC(::CreateCompatibleDC(nullptr));
  CDC* dc = CDC::FromHandle(rawDC.Get());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->m_hAttribDC, rawDC.Get());
  EXPECT_EQ(dc->SelectObject(pen)->m_hObject, ::GetStockObject(BLACK_PEN));
  dc->SelectStockObject(BLACK_PEN);

  NyAfxDeleteTempGdiObjects();
  EXPECT_EQ(::GetObjectType(raw.Get()), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(::GetObjectType(rawDC.Get()), static_cast<DWORD>(OBJ_MEMDC));

  // An attached object is its handle's wrapper until it lets the handle go.
  CPen owned(PS_DASH, 1, kBlue);
  EXPECT_EQ(CPen::FromHandle(owned), &owned);
  EXPECT_EQ(CGdiObject::FromHandle(owned), &owned);
  CDC ownedDC;
  ASSERT_TRUE(ownedDC.CreateCompatibleDC(nullptr));
  EXPECT_EQ(CDC::FromHandle(ownedDC), &ownedDC);
  ny::ScopedGdiObject<HPEN> released(static_cast<HPEN>(owned.Detach()));
  EXPECT_NE(CPen::FromHandle(released.Get()), &owned);
  NyAfxDeleteTempGdiObjects();
}

TEST(Gdi, ObjectsReleaseTheirHandlesAndRefuseToOverwriteThem) {
  // Wine 8's GetGuiResources is a stub that answers 0; there the handles'
  // own types show the release instead.
  const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  std::vector<HGDIOBJ> released;
  for (int i = 0; i < 100; ++i) {
    CPen pen(PS_SOLID, 2, kRed);
    CBrush solid(kGreen), hatched(HS_CROSS, kBlue), system;
    ASSERT_TRUE(system.CreateSysColorBrush(COLOR_BTNFACE));
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Tahoma"));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(4, 4, 1, 1, nullptr));
    CBrush pattern(&bitmap);
    CRgn region;
    ASSERT_TRUE(region.CreateRectRgn(0, 0, 5, 5));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SelectObject(&font);  // the DC goes first, with the font still in it
    CImageList list;
    ASSERT_TRUE(list.Create(4, 4, ILC_COLOR24, 1, 1));
    ASSERT_EQ(list.Add(&bitmap, static_cast<CBitmap*>(nullptr)), 0);
    if (i == 0) released = {pen, solid, hatched, system, font, bitmap, pattern, region, dc.m_hDC};
  }
  for (HGDIOBJ h : released) EXPECT_EQ(::GetObjectType(h), 0u) << h;
  // A little slack for objects the system makes once; a leak per round
  // would show a hundred.
  if (before != 0) EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before + 2);

  CPen pen(PS_SOLID, 1, kRed);
  const HGDIOBJ held = pen;
  EXPECT_FALSE(pen.CreatePen(PS_SOLID, 1, kBlue));
  EXPECT_FALSE(pen.Attach(::GetStockObject(BLACK_PEN)));
  EXPECT_EQ(pen.m_hObject, held);
  ny::ScopedGdiObject<HPEN> kept(static_cast<HPEN>(pen.Detach()));
  EXPECT_FALSE(pen.DeleteObject());
  EXPECT_FALSE(pen.Attach(nullptr));

  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(0x7FFE));
  EXPECT_EQ(missing.m_hObject, nullptr);
  CBrush noPattern;
  EXPECT_FALSE(noPattern.CreatePatternBrush(&missing));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
  ny::ScopedCreatedDC other(::CreateCompatibleDC(nullptr));
  EXPECT_FALSE(dc.Attach(other.Get()));  // refused: the caller keeps it
}

TEST(Gdi, FontsAndBitmapsDescribeThemselvesInTheirDCsUnits) {
  CDC twips;
  ASSERT_TRUE(twips.CreateCompatibleDC(nullptr));
  ::SetMapMode(twips, MM_TWIPS);
  // 9 points are 180 twentieths of a point whatever the resolution.
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, "Tahoma", &twips));
  LOGFONT logFont = {};
  ASSERT_EQ(font.GetLogFont(&logFont), static_cast<int>(sizeof(LOGFONT)));
  EXPECT_EQ(logFont.lfHeight, -180);
  EXPECT_STREQ(logFont.lfFaceName, "Tahoma");

  CFont screen;
  ASSERT_TRUE(screen.CreatePointFont(90, "Tahoma"));
  screen.GetLogFont(&logFont);
  ny::ScopedGetDC display(nullptr);
  EXPECT_EQ(logFont.lfHeight, -::MulDiv(90, ::GetDeviceCaps(display.Get(), LOGPIXELSY), 720));

  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(5, 3, 1, 1, nullptr));
  BITMAP info = {};
  ASSERT_TRUE(bitmap.GetBitmap(&info));
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(info.bmBitsPixel, 1);
}

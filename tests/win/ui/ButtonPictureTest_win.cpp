// The buttons' pictures drawn into a memory bitmap and checked pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/ui/FormRenderer_win.h"

namespace pelmora::ui {
namespace {

constexpr int kSize = 16;
constexpr COLORREF kBackground = RGB(192, 192, 192);

// A 16 x 16 silver bitmap with the picture drawn at 0, 0.
std::vector<COLORREF> Draw(Picture picture, bool enabled) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = kSize;
  bi.bmiHeader.biHeight = -kSize;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  RECT all = {0, 0, kSize, kSize};
  HBRUSH back = CreateSolidBrush(kBackground);
  FillRect(mem, &all, back);
  DeleteObject(back);
  DrawButtonPicture(mem, picture, 0, 0, enabled);
  GdiFlush();
  std::vector<COLORREF> out;
  for (int i = 0; i < kSize * kSize; ++i) {
    const uint32_t p = static_cast<const uint32_t*>(bits)[i];
    out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return out;
}

// Inside one of the two bars: 3 wide, 9 high, 2 apart, the pair centred in 16 x 16.
bool InPauseBar(int x, int y) {
  const bool row = y >= 3 && y < 12;
  return row && ((x >= 4 && x < 7) || (x >= 9 && x < 12));
}

TEST(ButtonPicture, PauseSignIsTwoBlackBarsCentred) {
  const std::vector<COLORREF> px = Draw(Picture::Pause, true);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      EXPECT_EQ(px[y * kSize + x], InPauseBar(x, y) ? RGB(0, 0, 0) : kBackground) << x << "," << y;
    }
  }
}

TEST(ButtonPicture, DisabledPauseSignIsGrey) {
  const std::vector<COLORREF> px = Draw(Picture::Pause, false);
  int grey = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const COLORREF c = px[y * kSize + x];
      EXPECT_NE(c, RGB(0, 0, 0)) << x << "," << y;
      if (InPauseBar(x, y)) {
        EXPECT_EQ(c, RGB(128, 128, 128)) << x << "," << y;
        ++grey;
      }
    }
  }
  EXPECT_EQ(grey, 2 * 3 * 9);
}

TEST(ButtonPicture, NextViewSymbolIsYellowWhiteCyanWithBlackOutline) {
  const std::vector<COLORREF> px = Draw(Picture::NextView, true);
  int yellow = 0, white = 0, cyan = 0, black = 0, other = 0;
  for (COLORREF c : px) {
    if (c == RGB(255, 255, 0))
      ++yellow;
    else if (c == RGB(255, 255, 255))
      ++white;
    else if (c == RGB(0, 255, 255))
      ++cyan;
    else if (c == RGB(0, 0, 0))
      ++black;
    else if (c != kBackground)
      ++other;
  }
  EXPECT_GT(yellow, 10);
  EXPECT_GT(white, 5);
  EXPECT_GT(cyan, 5);
  EXPECT_GT(black, 20);
  EXPECT_EQ(other, 0);
  // Nothing outside the 16 x 16 cell: the picture is drawn from 0, 0 and stays inside it.
  const std::vector<COLORREF> none = Draw(Picture::None, true);
  for (COLORREF c : none)
    EXPECT_EQ(c, kBackground);
}

}  // namespace
}  // namespace pelmora::ui

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

// A canvas x canvas silver bitmap with the picture's top-left corner at at, at.
std::vector<COLORREF> Draw(Picture picture, bool enabled, int canvas = kSize, int at = 0) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = canvas;
  bi.bmiHeader.biHeight = -canvas;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  RECT all = {0, 0, canvas, canvas};
  HBRUSH back = CreateSolidBrush(kBackground);
  FillRect(mem, &all, back);
  DeleteObject(back);
  DrawButtonPicture(mem, picture, at, at, enabled);
  GdiFlush();
  std::vector<COLORREF> out;
  for (int i = 0; i < canvas * canvas; ++i) {
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
}

TEST(ButtonPicture, EveryPictureStaysInsideItsCell) {
  // Drawn at 8, 8 on a 32 x 32 canvas: nothing may reach the 8-pixel margin around the cell.
  constexpr int kCanvas = 32;
  constexpr int kAt = 8;
  for (Picture picture : {Picture::Pause, Picture::NextView}) {
    for (bool enabled : {true, false}) {
      const std::vector<COLORREF> px = Draw(picture, enabled, kCanvas, kAt);
      int inside = 0;
      for (int y = 0; y < kCanvas; ++y) {
        for (int x = 0; x < kCanvas; ++x) {
          const bool cell = x >= kAt && x < kAt + kSize && y >= kAt && y < kAt + kSize;
          const COLORREF c = px[y * kCanvas + x];
          if (cell) {
            inside += c != kBackground;
          } else {
            EXPECT_EQ(c, kBackground) << static_cast<int>(picture) << " at " << x << "," << y;
          }
        }
      }
      EXPECT_GT(inside, 0) << "the picture is drawn at all";
    }
  }
}

}  // namespace
}  // namespace pelmora::ui

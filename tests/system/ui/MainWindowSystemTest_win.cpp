// Starts pelmora.exe, reads its window from outside (WM_GETTEXT by control id), switches the
// views with keys and commands, checks pixels of screen captures and closes it. Captures are
// saved as ui-view<n>.bmp in the working directory. Waits pump until a condition holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ControlIds.h"
#include "navres32/StringIds.h"
#include "tests/system/support/GisPeer_win.h"
#include "tests/system/support/WindowProbe_win.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using namespace systest;

// A capture of a window's client area, read from the screen.
class Capture {
 public:
  bool Take(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    width_ = rc.right;
    height_ = rc.bottom;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = -height_;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    const BOOL ok = BitBlt(mem, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    pixels_.assign(static_cast<const uint32_t*>(bits),
                   static_cast<const uint32_t*>(bits) + width_ * height_);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok != 0;
  }
  COLORREF At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const uint32_t p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(RECT area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x)
        n += At(x, y) == colour ? 1 : 0;
    }
    return n;
  }
  void Save(const char* path) const {
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = width_;
    ih.biHeight = -height_;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels_.size() * 4);
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(pixels_.data(), 4, pixels_.size(), f);
    std::fclose(f);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kIdleGrey = RGB(127, 127, 127);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kFrameLeft = 10;
constexpr int kFrameTop = 45;

// Rectangle of a control in the main window's client coordinates.
RECT ClientRectOf(HWND main, HWND control) {
  RECT rc;
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// The GIS stand-in runs for every test here.
const ::testing::Environment* const kGisPeer =
    ::testing::AddGlobalTestEnvironment(new GisPeerEnvironment);

class MainWindowSystemTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    resources_ = LoadLibraryExW((ProgramDirectory() + L"\\navres32.dll").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(process_.Start(ProgramDirectory()));
    ASSERT_TRUE(WaitFor([] {
      main_ = FindProcessWindow(process_.info.dwProcessId, L"TMainForm", L"The Pelmora");
      return main_ != nullptr && IsWindowVisible(main_);
    })) << "the main window did not appear";
    splash_ = FindProcessWindow(process_.info.dwProcessId, L"HVNSplash", nullptr);
    splashShownWithMain_ = splash_ != nullptr && IsWindowVisible(splash_);
    if (splash_ != nullptr) {
      RECT main, splash, overlap;
      GetWindowRect(main_, &main);
      GetWindowRect(splash_, &splash);
      // On top: the window found at the splash's centre is the splash.
      POINT centre{(splash.left + splash.right) / 2, (splash.top + splash.bottom) / 2};
      splashOnTop_ = IntersectRect(&overlap, &main, &splash) && WindowFromPoint(centre) == splash_;
    }
  }
  static void TearDownTestSuite() {
    process_.End();
    if (resources_ != nullptr) FreeLibrary(resources_);
  }
  void SetUp() override {
    if (main_ == nullptr || !IsWindow(main_)) GTEST_SKIP() << "pelmora.exe is not running";
  }

  static std::wstring Resource(int id) {
    char buffer[255] = {};
    const int n = LoadStringA(resources_, static_cast<UINT>(id), buffer, 255);
    return Widen(std::string(buffer, n > 0 ? n : 0));
  }
  static std::wstring Text(int id) { return TextOf(FindControl(main_, id)); }
  static bool Showing(int id) {
    HWND h = FindControl(main_, id);
    return h != nullptr && IsWindowVisible(h);
  }
  // Shows a view by command and waits until its frame shows.
  static void ShowViewByCommand(int command, int frameId) {
    PostMessageW(main_, WM_COMMAND, command, 0);
    ASSERT_TRUE(WaitFor([&] { return Showing(frameId); }, 5s));
  }
  static Capture Shot(const char* name) {
    UpdateWindow(main_);
    std::this_thread::sleep_for(150ms);  // let the X server show what was painted
    Capture c;
    EXPECT_TRUE(c.Take(main_));
    c.Save(name);
    return c;
  }

  static Process process_;
  static HWND main_;
  static HMODULE resources_;
  static HWND splash_;
  static bool splashShownWithMain_;
  static bool splashOnTop_;
};

Process MainWindowSystemTest::process_;
HWND MainWindowSystemTest::main_ = nullptr;
HMODULE MainWindowSystemTest::resources_ = nullptr;
HWND MainWindowSystemTest::splash_ = nullptr;
bool MainWindowSystemTest::splashShownWithMain_ = false;
bool MainWindowSystemTest::splashOnTop_ = false;

TEST_F(MainWindowSystemTest, SplashShowsOverTheStartAndGoesAwayByItself) {
  ASSERT_NE(splash_, nullptr) << "no splash window when the main window appeared";
  EXPECT_TRUE(splashShownWithMain_);
  EXPECT_TRUE(splashOnTop_) << "the splash stays above the main window";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitFor([] { return !IsWindow(splash_); }, 5s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "about 1.5 s after it appeared";
}

TEST_F(MainWindowSystemTest, WindowHasItsFixedSizeStyleAndPlace) {
  RECT client;
  GetClientRect(main_, &client);
  EXPECT_EQ(client.right, 307);
  EXPECT_EQ(client.bottom, 326);
  const LONG style = GetWindowLongW(main_, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_NE(GetMenu(main_), nullptr);
  RECT window;
  GetWindowRect(main_, &window);
  const int cx = (window.left + window.right) / 2;
  const int cy = (window.top + window.bottom) / 2;
  EXPECT_NEAR(cx, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(cy, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(MainWindowSystemTest, IdleTextsCanBeReadFromOutside) {
  ASSERT_NE(resources_, nullptr) << "navres32.dll beside the test";
  EXPECT_FALSE(Resource(IDS_IdleGpsStatus).empty());
  EXPECT_EQ(Text(IDC_lblGPSStatus), Resource(IDS_IdleGpsStatus));
  EXPECT_EQ(Text(IDC_lblComStatus), Resource(IDS_IdlePortStatus));
  EXPECT_EQ(Text(IDC_lblMode), L"");
  EXPECT_EQ(Text(IDC_lblLatitude), L"0\u00B0 0' 0.0\" N");
  EXPECT_EQ(Text(IDC_lblLongitude), L"0\u00B0 0' 0.0\" E");
  // Defaults: feet, mph, true heading, UTC.
  EXPECT_EQ(Text(IDC_lblAltitude), L"0.00 " + Resource(IDS_ElevationFeet));
  EXPECT_EQ(Text(IDC_lblSpeed), L"0.0 " + Resource(IDS_SpeedMph));
  EXPECT_EQ(Text(IDC_lblHeading), L"0.0\u00B0 " + Resource(IDS_HeadingTrue));
  EXPECT_EQ(Text(IDC_lblTime), L"00:00:00 am " + Resource(IDS_TimeUtc));
  EXPECT_EQ(Text(IDC_lblLatitudeText), L"Latitude:");
  EXPECT_EQ(Text(IDC_lblTimeText), L"Time:");
  EXPECT_EQ(Text(IDC_GPSInfoViewFrame), L"GPS Information");
  EXPECT_EQ(Text(IDC_SatStrengthViewFrame), L"GPS Satellite Signal Strength");
  EXPECT_EQ(Text(IDC_SatConfigViewFrame), L"GPS Satellite Configuration");
  EXPECT_EQ(Text(IDC_lblSatSignalStatus), Resource(IDS_NoSignalView));
  EXPECT_EQ(Text(IDC_lblSatConfigStatus), Resource(IDS_NoConfigView));
  EXPECT_EQ(Text(IDC_Frame3D1), L"PDOP");
  EXPECT_EQ(Text(IDC_lblPdopPoor), L"Poor");
  EXPECT_EQ(Text(IDC_lblPdopGood), L"Good");
  EXPECT_EQ(Text(IDC_lblNorth), L"N");
  EXPECT_EQ(Text(IDC_TestLabel), L"TestLabel");
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(Text(IDC_SignalSatIndeX0 + i), L"0") << i;
  EXPECT_FALSE(Showing(IDC_SimulatePauseButton));
  EXPECT_TRUE(Showing(IDC_OptionsViewButton));
}

TEST_F(MainWindowSystemTest, GpsInformationViewLooksRight) {
  ShowViewByCommand(IDM_OptionsViewGPSInfo, IDC_GPSInfoViewFrame);
  EXPECT_FALSE(Showing(IDC_SatStrengthViewFrame));
  EXPECT_FALSE(Showing(IDC_SatConfigViewFrame));
  const Capture c = Shot("ui-view0.bmp");
  EXPECT_EQ(c.At(150, 278), kSilver) << "between the view and the button strip";
  EXPECT_EQ(c.At(300, 40), kSilver);
  EXPECT_EQ(c.At(22, 20), kIdleGrey) << "status light";
  // Navy caption of the group box and of the caption labels.
  EXPECT_GT(c.Count({kFrameLeft + 8, kFrameTop, kFrameLeft + 140, kFrameTop + 16}, kNavy), 20);
  EXPECT_GT(c.Count(ClientRectOf(main_, FindControl(main_, IDC_lblLatitudeText)), kNavy), 20);
  // Value labels in idle grey.
  EXPECT_GT(c.Count(ClientRectOf(main_, FindControl(main_, IDC_lblLatitude)), kIdleGrey), 10);
}

TEST_F(MainWindowSystemTest, SignalStrengthViewShowsIdleBars) {
  PostMessageW(main_, WM_KEYDOWN, VK_F8, 0);
  PostMessageW(main_, WM_KEYUP, VK_F8, 0xC0000001);
  ASSERT_TRUE(WaitFor([] { return Showing(IDC_SatStrengthViewFrame); }, 5s)) << "F8";
  EXPECT_FALSE(Showing(IDC_GPSInfoViewFrame));
  const Capture c = Shot("ui-view1.bmp");
  const int barLeft[] = {15, 37, 59, 81, 103, 125, 148, 170, 192, 214, 236, 258};
  for (int left : barLeft) {
    // Inside the bevel of a 17 x 15 bar standing on y = 165.
    EXPECT_EQ(c.At(kFrameLeft + left + 8, kFrameTop + 157), kIdleGrey) << left;
    EXPECT_EQ(c.At(kFrameLeft + left + 4, kFrameTop + 153), kIdleGrey) << left;
  }
  EXPECT_EQ(c.At(kFrameLeft + 140, kFrameTop + 60), kGrey) << "grid line";
  EXPECT_EQ(c.At(kFrameLeft + 140, kFrameTop + 75), kSilver);
  EXPECT_GT(c.Count(ClientRectOf(main_, FindControl(main_, IDC_lblSatSignalStatus)), kNavy), 20);
}

TEST_F(MainWindowSystemTest, SatelliteConfigurationViewShowsTheSkyPlot) {
  PostMessageW(main_, WM_KEYDOWN, VK_F9, 0);
  PostMessageW(main_, WM_KEYUP, VK_F9, 0xC0000001);
  ASSERT_TRUE(WaitFor([] { return Showing(IDC_SatConfigViewFrame); }, 5s)) << "F9";
  const Capture c = Shot("ui-view2.bmp");
  const int cx = kFrameLeft + 100, cy = kFrameTop + 100;
  EXPECT_EQ(c.At(cx, cy - 30), kBlack) << "vertical line of the cross";
  EXPECT_EQ(c.At(cx + 70, cy), kBlack) << "horizontal line of the cross";
  // The circles cross the horizontal axis at radii 20, 40 and 60 (grey, or the black cross).
  for (int r : {20, 40, 60}) {
    int grey = c.Count({cx - r - 1, cy - 8, cx - r + 2, cy - 1}, kGrey);
    EXPECT_GT(grey, 0) << "circle of radius " << r;
  }
  EXPECT_EQ(c.At(cx - 30, cy - 30), kSilver) << "circles are not filled";
  for (int id : {IDC_lblNorth, IDC_lblSouth, IDC_lblEast, IDC_lblWest}) {
    EXPECT_GT(c.Count(ClientRectOf(main_, FindControl(main_, id)), kRed), 3) << id;
  }
  EXPECT_GT(c.Count({kFrameLeft + 8, kFrameTop, kFrameLeft + 200, kFrameTop + 16}, kNavy), 20);
  // The empty gauge: its frame without the red and lime panels.
  const RECT gauge = ClientRectOf(main_, FindControl(main_, IDC_FloodBarPanel));
  EXPECT_EQ(gauge.right - gauge.left, 15);
  EXPECT_EQ(gauge.bottom - gauge.top, 123);
  EXPECT_EQ(c.Count(gauge, kRed), 0);
  EXPECT_EQ(c.Count(gauge, RGB(0, 255, 0)), 0);
  for (int i = 0; i < 12; ++i)
    EXPECT_FALSE(Showing(IDC_ConfigSatIndeX0 + i)) << i;
}

TEST_F(MainWindowSystemTest, F12AndTheViewButtonGoToTheNextView) {
  ShowViewByCommand(IDM_OptionsViewGPSInfo, IDC_GPSInfoViewFrame);
  const int frames[] = {IDC_SatStrengthViewFrame, IDC_SatConfigViewFrame, IDC_GPSInfoViewFrame};
  for (int frame : frames) {
    PostMessageW(main_, WM_KEYDOWN, VK_F12, 0);
    PostMessageW(main_, WM_KEYUP, VK_F12, 0xC0000001);
    EXPECT_TRUE(WaitFor([&] { return Showing(frame); }, 5s)) << frame;
  }
  HWND button = FindControl(main_, IDC_OptionsViewButton);
  ASSERT_NE(button, nullptr);
  for (int frame : frames) {
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 13));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(13, 13));
    EXPECT_TRUE(WaitFor([&] { return Showing(frame); }, 5s)) << frame;
  }
}

TEST_F(MainWindowSystemTest, F12WithModifiersGoesToTheNextView) {
  ShowViewByCommand(IDM_OptionsViewGPSInfo, IDC_GPSInfoViewFrame);
  SetForegroundWindow(main_);
  ASSERT_TRUE(WaitFor([] { return GetForegroundWindow() == main_; }, 3s));
  const WORD modifiers[][2] = {
      {VK_SHIFT, 0}, {VK_CONTROL, 0}, {VK_MENU, 0}, {VK_SHIFT, VK_CONTROL}};
  const int frames[] = {IDC_SatStrengthViewFrame, IDC_SatConfigViewFrame, IDC_GPSInfoViewFrame,
                        IDC_SatStrengthViewFrame};
  for (int i = 0; i < 4; ++i) {
    std::vector<INPUT> keys;
    auto key = [&](WORD vk, bool up) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = vk;
      in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      keys.push_back(in);
    };
    for (WORD m : modifiers[i]) {
      if (m != 0) key(m, false);
    }
    key(VK_F12, false);
    key(VK_F12, true);
    for (WORD m : modifiers[i]) {
      if (m != 0) key(m, true);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    EXPECT_TRUE(WaitFor([&] { return Showing(frames[i]); }, 5s)) << "modifier set " << i;
  }
}

// The texts of a dialog's STATIC children, in order.
std::vector<std::wstring> StaticTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  for (HWND child : ChildrenOfClass(dialog, L"Static"))
    texts.push_back(TextOf(child));
  return texts;
}

TEST_F(MainWindowSystemTest, AboutBoxShowsProductAndVersion) {
  PostMessageW(main_, WM_COMMAND, IDM_HelpAbout, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    about = FindProcessWindow(process_.info.dwProcessId, L"#32770", L"About The Pelmora");
    return about != nullptr && IsWindowVisible(about);
  }));
  const std::vector<std::wstring> texts = StaticTexts(about);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], L"The Pelmora");
  EXPECT_EQ(texts[1], L"Version 3.2 MapInfo Edition");
  PostMessageW(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
}

// Runs last (alphabetical order is not relied on: gtest keeps declaration order).
TEST_F(MainWindowSystemTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(process_.WaitExit(10000), 0u);
  main_ = nullptr;
}

TEST(FileExit, EndsTheProgramWithCodeZero) {
  Process p;
  ASSERT_TRUE(p.Start(ProgramDirectory()));
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    main = FindProcessWindow(p.info.dwProcessId, L"TMainForm", L"The Pelmora");
    return main != nullptr && IsWindowVisible(main);
  }));
  PostMessageW(main, WM_COMMAND, IDM_FileExit, 0);
  EXPECT_EQ(p.WaitExit(10000), 0u);
  p.End();
}

// Without navres32.dll the program says it is not installed correctly and ends.
TEST(MissingResourceLibrary, ShowsTheMessageAndEnds) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir =
      std::wstring(temp) + L"pelmora-nores-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  const std::wstring from = ProgramDirectory();
  HANDLE find = FindFirstFileW((from + L"\\*.dll").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    if (lstrcmpiW(fd.cFileName, L"navres32.dll") == 0) continue;
    CopyFileW((from + L"\\" + fd.cFileName).c_str(), (dir + L"\\" + fd.cFileName).c_str(), FALSE);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  CopyFileW((from + L"\\pelmora.exe").c_str(), (dir + L"\\pelmora.exe").c_str(), FALSE);

  Process p;
  ASSERT_TRUE(p.Start(dir));
  HWND box = nullptr;
  EXPECT_TRUE(WaitFor([&] {
    box = FindProcessWindow(p.info.dwProcessId, L"#32770", L"Information");
    return box != nullptr;
  }));
  if (box != nullptr) {
    EXPECT_EQ(BoxMessage(box),
              L"The Pelmora is not installed correctly (Resource DLL cannot be loaded).");
    EXPECT_EQ(FindProcessWindow(p.info.dwProcessId, L"TMainForm", nullptr) != nullptr &&
                  IsWindowVisible(FindProcessWindow(p.info.dwProcessId, L"TMainForm", nullptr)),
              false)
        << "no main window is shown";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  EXPECT_EQ(p.WaitExit(10000), 0u);
  p.End();
  find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileW((dir + L"\\" + fd.cFileName).c_str());
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

}  // namespace
}  // namespace pelmora

// hvndlg32.dll: a self-closing splash window that lives on the caller's message loop, and a
// modal About box from the DLL's dialog resource. No exception leaves an export or a window
// procedure.
#include <windows.h>

#include <string>
#include <vector>

#include "hvndlg32/hvndlg32.h"
#include "hvndlg32/hvndlg32_res.h"

namespace {

constexpr wchar_t kSplashClass[] = L"HVNSplash";
constexpr UINT_PTR kSplashTimer = 1;
constexpr UINT kSplashMs = 1500;
// Windows that appear later (the caller's main window) can cover the splash where the window
// manager ignores the topmost flag; it raises itself again at this period.
constexpr UINT_PTR kRaiseTimer = 2;
constexpr UINT kRaiseMs = 100;
constexpr int kSplashPadding = 18;
constexpr int kMaxText = 1024;  // a splash text is a few lines; longer input is cut

HINSTANCE gModule = nullptr;
HWND gSplash = nullptr;

// Texts are Windows-1252 whatever the system's ANSI code page is.
constexpr UINT kCp1252 = 1252;

// At most limit bytes of a zero-terminated Windows-1252 text, as UTF-16.
std::wstring Widen(const char* text, size_t limit) {
  if (text == nullptr) return {};
  int n = 0;
  while (static_cast<size_t>(n) < limit && text[n] != '\0')
    ++n;
  if (n == 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  const int written = MultiByteToWideChar(kCp1252, 0, text, n, out.data(), n);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

// Lines split at CR LF, CR or LF.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(text[i]);
    }
  }
  return lines;
}

struct Splash {
  std::vector<std::wstring> lines;
  HFONT font = nullptr;
  int lineHeight = 0;
};

HFONT SplashFont() {
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(lf.lfFaceName, L"Arial");
  return CreateFontIndirectW(&lf);
}

void PaintSplash(HWND hwnd, const Splash& splash) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HBRUSH back = CreateSolidBrush(RGB(192, 192, 192));
  FillRect(dc, &rc, back);
  DeleteObject(back);
  DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
  HGDIOBJ old = SelectObject(dc, splash.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 128));
  int y = kSplashPadding;
  for (const std::wstring& line : splash.lines) {
    TextOutW(dc, kSplashPadding, y, line.c_str(), static_cast<int>(line.size()));
    y += splash.lineHeight;
  }
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK SplashProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* splash = reinterpret_cast<Splash*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  try {
    switch (msg) {
      case WM_NCCREATE:
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        break;
      case WM_PAINT:
        if (splash != nullptr) {
          PaintSplash(hwnd, *splash);
          return 0;
        }
        break;
      case WM_TIMER:
        if (wp == kRaiseTimer) {
          SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          return 0;
        }
        DestroyWindow(hwnd);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
        DestroyWindow(hwnd);
        return 0;
      case WM_DESTROY:
        KillTimer(hwnd, kSplashTimer);
        KillTimer(hwnd, kRaiseTimer);
        if (gSplash == hwnd) gSplash = nullptr;
        return 0;
      case WM_NCDESTROY:
        if (splash != nullptr) {
          DeleteObject(splash->font);
          delete splash;
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        }
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void ShowSplash(const char* text) {
  if (gSplash != nullptr) DestroyWindow(gSplash);
  WNDCLASSW wc{};
  wc.lpfnWndProc = SplashProc;
  wc.hInstance = gModule;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kSplashClass;
  RegisterClassW(&wc);  // already registered on a second call

  auto* splash = new Splash;
  splash->lines = SplitLines(Widen(text, kMaxText));
  splash->font = SplashFont();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, splash->font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  splash->lineHeight = tm.tmHeight;
  int width = 0;
  for (const std::wstring& line : splash->lines) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    width = size.cx > width ? size.cx : width;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int w = width + 2 * kSplashPadding;
  const int h = splash->lineHeight * static_cast<int>(splash->lines.size()) + 2 * kSplashPadding;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSplashClass, L"", WS_POPUP, x, y,
                              w, h, nullptr, nullptr, gModule, splash);
  if (hwnd == nullptr) {
    DeleteObject(splash->font);
    delete splash;
    return;
  }
  gSplash = hwnd;
  SetTimer(hwnd, kSplashTimer, kSplashMs, nullptr);
  SetTimer(hwnd, kRaiseTimer, kRaiseMs, nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
}

struct AboutArgs {
  std::wstring product;
  std::wstring version;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    switch (msg) {
      case WM_INITDIALOG: {
        const auto* args = reinterpret_cast<const AboutArgs*>(lp);
        SetWindowTextW(dialog, (L"About " + args->product).c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, args->product.c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, args->version.c_str());
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
          EndDialog(dialog, LOWORD(wp));
          return TRUE;
        }
        break;
      default:
        break;
    }
  } catch (...) {
    EndDialog(dialog, IDCANCEL);
  }
  return FALSE;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    gModule = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

HVNDLG32_API void HVNDialogSplash(const char* text) {
  try {
    ShowSplash(text);
  } catch (...) {
  }
}

HVNDLG32_API void HVNDialogAbout(const char* productName, char* versionBuffer) {
  try {
    AboutArgs args{Widen(productName, 255), Widen(versionBuffer, 255)};
    DialogBoxParamW(gModule, MAKEINTRESOURCEW(IDD_ABOUT), GetActiveWindow(), AboutProc,
                    reinterpret_cast<LPARAM>(&args));
  } catch (...) {
  }
}

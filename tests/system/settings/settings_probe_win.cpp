// Test companion for the settings system test.
//   settings_probe load              the start-up options as the program reads them, key=value
//   settings_probe store LAT LON     stores a start position as the program does at close
//   settings_probe window SECONDS    waits for the main window; prints its state and child texts
//   settings_probe close SECONDS     closes the main window and waits until it is gone
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/settings/AppDirectory.h"
#include "app/settings/ProductInfo.h"
#include "app/settings/RegistryOptionBackend_win.h"
#include "app/settings/StartupOptions.h"

namespace {

using namespace pelmora;

void PrintOptions(const StartupOptions& o, const std::string& appDirectory) {
  const DisplayOptions& d = o.display;
  const ReceiverSettings& r = o.receiverSettings;
  std::printf("appDirectory=%s\n", appDirectory.c_str());
  std::printf("UpdateInterval=%d\nGpsType=%d\nComPort=%d\n", d.updateInterval, o.receiverType,
              o.comPort);
  std::printf("BaudRate=%d\nParity=%d\nDataBits=%d\nStopBits=%d\n", o.commInfo.baudRate,
              o.commInfo.parity, o.commInfo.dataBits, o.commInfo.stopBits);
  std::printf("ElevUnits=%d\nSpeedUnits=%d\nTrackTrue=%d\nTimeUTC=%d\nUTCOffset=%d\n", d.elevUnits,
              d.speedUnits, d.trackTrue, d.timeUtc, d.utcOffset);
  std::printf("Beep=%d\nGeoFormat=%d\nGeoPrecision=%d\nMinimize=%d\nOnTop=%d\nDDEIgnore=%d\n",
              d.beep, d.geoFormat, d.geoPrecision, d.minimize, d.onTop, d.ddeIgnore);
  std::printf("changed=%d\nGPSMode=%d\nfixedTwo=%d\nGPSTrackMode=%d\nGPSHtReference=%d\n",
              r.changed, r.fixMode, r.fixedTwo, r.trackMode, r.heightReference);
  std::printf("GPSDynamics=%d\nreserved12=%d\nGPSInitLat=%.1f\nGPSInitLon=%.1f\n", r.dynamics,
              static_cast<int>(r.reserved12), r.initLatitude, r.initLongitude);
  std::printf("reserved32=%.1f\nGPS2DElev=%.1f\nGPSElevMask=%d\nGPSSignalMask=%d\n", r.reserved32,
              r.altitude2d, r.elevationMask, r.signalMask);
  std::printf("GPSPDOPMask=%d\nGPSPDOPSwitch=%d\nalmanacPath=%s\nGPSNMEASettingsFile=%s\n",
              r.pdopMask, r.pdopSwitch, r.almanacPath, r.nmeaSettingsPath);
}

HWND WaitForMainWindow(double seconds, bool present) {
  for (int waited = 0; waited <= seconds * 10; ++waited) {
    HWND hwnd = FindWindowW(L"TMainForm", nullptr);
    if ((hwnd != nullptr) == present) return hwnd;
    Sleep(100);
  }
  return present ? nullptr : FindWindowW(L"TMainForm", nullptr);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char text[512] = {};
  GetWindowTextA(child, text, sizeof text);
  if (text[0] != '\0' && IsWindowVisible(child)) std::printf("text=%s\n", text);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "load" || command == "store") {
    SelectProduct(kPelmoraProductId);
    RegistryOptionBackend backend;
    const OptionStore store(backend, GetProductName());
    if (command == "load") {
      const std::string appDirectory = GetAppDirectory();
      PrintOptions(LoadStartupOptions(store, appDirectory), appDirectory);
      return 0;
    }
    if (argc < 4) return 2;
    return StoreStartPosition(store, std::atof(argv[2]), std::atof(argv[3])) ? 0 : 1;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
  if (command == "window") {
    HWND hwnd = WaitForMainWindow(seconds, true);
    if (hwnd == nullptr) return 1;
    Sleep(500);  // let the creation handler finish
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    std::printf("iconic=%d\ntopmost=%d\n", IsIconic(hwnd) ? 1 : 0,
                (exStyle & WS_EX_TOPMOST) != 0 ? 1 : 0);
    EnumChildWindows(hwnd, PrintChild, 0);
    return 0;
  }
  if (command == "close") {
    HWND hwnd = FindWindowW(L"TMainForm", nullptr);
    if (hwnd != nullptr) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return WaitForMainWindow(seconds, false) == nullptr ? 0 : 1;
  }
  return 2;
}

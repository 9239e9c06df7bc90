// navlib32.dll's exports: each one guards the portable Engine against exceptions (none may
// cross the DLL boundary) and supplies the Win32 serial port. The engine is one per process,
// used from the GUI thread only.
#include <windows.h>

#include <memory>

#include "navlib32/Engine.h"
#include "navlib32/LatLonFormat.h"
#include "navlib32/MakeDecoder.h"
#include "navlib32/SerialPort_win.h"
#include "navlib32/navlib32.h"

namespace {

std::unique_ptr<navlib::Engine> gEngine;

navlib::Engine& TheEngine() {
  if (!gEngine) {
    navlib::EngineServices services;
    services.makeDecoder = [](navlib::Protocol p) { return navlib::MakeDecoder(p); };
    services.openSerial = [](int port, const pelmora::CommInfo& line, int32_t* result) {
      return std::unique_ptr<navlib::ByteSource>(navlib::SerialPort::Open(port, line, result));
    };
    services.now = [] { return static_cast<double>(GetTickCount64()) / 1000.0; };
    services.indexInBackground = true;  // the window's thread never decodes the index
    gEngine = std::make_unique<navlib::Engine>(std::move(services));
  }
  return *gEngine;
}

// Runs f; any exception becomes the given result.
template <class F>
int32_t Guarded(int32_t onException, F f) noexcept {
  try {
    return f();
  } catch (...) {
    return onException;
  }
}

}  // namespace

NAVLIB32_API int32_t Pelmora_Open(int32_t receiverType, const char* source,
                                  const pelmora::CommInfo* commInfo,
                                  const pelmora::ReceiverSettings* settings) {
  return Guarded(kNavOpenBadArgument, [&] {
    const int32_t result = TheEngine().Open(receiverType, source, commInfo, settings);
    if (result != 0) TheEngine().Close();
    return result;
  });
}

NAVLIB32_API int32_t Pelmora_Poll() {
  return Guarded(kNavPollPortFailed, [] { return TheEngine().Poll(); });
}

NAVLIB32_API int32_t Pelmora_GetInfo(pelmora::FixRecord* record) {
  return Guarded(0, [&] { return TheEngine().GetInfo(record); });
}

NAVLIB32_API int32_t Pelmora_StartLog(const char* path) {
  return Guarded(kNavLogCannotOpen, [&] { return TheEngine().StartLog(path); });
}

NAVLIB32_API int32_t Pelmora_StopLog() {
  return Guarded(0, [] { return TheEngine().StopLog(); });
}

NAVLIB32_API int32_t Pelmora_Close() {
  return Guarded(0, [] { return TheEngine().Close(); });
}

NAVLIB32_API int32_t Pelmora_GetDefaultCommInfo(int32_t receiverType, pelmora::CommInfo* commInfo) {
  return Guarded(kNavOpenBadArgument,
                 [&] { return navlib::DefaultCommInfo(receiverType, commInfo); });
}

NAVLIB32_API int32_t llcvt_dbl2str(char* out, double degrees, int32_t kind, int32_t format,
                                   int32_t decimals, int32_t, int32_t) {
  return Guarded(1, [&] {
    const navlib::LatLonKind k =
        kind == 0 ? navlib::LatLonKind::Latitude : navlib::LatLonKind::Longitude;
    return navlib::FormatLatLonText(out, navlib::kLatLonTextSize, degrees, k, format, decimals) ? 0
                                                                                                : 1;
  });
}

NAVLIB32_API int32_t Pelmora_GetSentences(char* buffer, int32_t size, int32_t* length) {
  return Guarded(kNavSentencesBadArgument,
                 [&] { return TheEngine().TakeSentences(buffer, size, length); });
}

NAVLIB32_API int32_t Pelmora_GetMessages(uint8_t* buffer, int32_t size, int32_t* length,
                                         int64_t* dropped) {
  return Guarded(kNavMessagesBadArgument,
                 [&] { return TheEngine().TakeMessages(buffer, size, length, dropped); });
}

NAVLIB32_API int32_t Pelmora_GetSatellites(pelmora::SatDetail* sats, int32_t capacity,
                                           int32_t* count) {
  return Guarded(kNavSatellitesBadArgument,
                 [&] { return TheEngine().GetSatellites(sats, capacity, count); });
}

NAVLIB32_API int32_t Pelmora_GetEpoch(pelmora::Epoch* epoch) {
  return Guarded(kNavEpochBadArgument, [&] { return TheEngine().GetEpoch(epoch); });
}

NAVLIB32_API int32_t Pelmora_SeekEpoch(int64_t epoch) {
  return Guarded(kNavSeekFailed, [&] { return TheEngine().SeekEpoch(epoch); });
}

NAVLIB32_API int32_t Pelmora_SeekTime(double utcSeconds, int32_t year, int32_t month, int32_t day,
                                      int64_t* epoch) {
  return Guarded(kNavSeekFailed,
                 [&] { return TheEngine().SeekTime(utcSeconds, year, month, day, epoch); });
}

NAVLIB32_API int32_t Pelmora_SeekStart() {
  return Guarded(kNavSeekFailed, [] { return TheEngine().SeekStart(); });
}

NAVLIB32_API int32_t Pelmora_SeekEnd() {
  return Guarded(kNavSeekFailed, [] { return TheEngine().SeekEnd(); });
}

NAVLIB32_API int32_t Pelmora_StepBack() {
  return Guarded(kNavSeekFailed, [] { return TheEngine().StepBack(); });
}

NAVLIB32_API int32_t Pelmora_GetPlayerState(pelmora::PlayerState* state) {
  return Guarded(kNavSeekBadArgument, [&] { return TheEngine().GetPlayerState(state); });
}

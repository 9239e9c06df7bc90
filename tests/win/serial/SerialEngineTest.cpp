// navlib32.dll on a real Win32 comm port under Wine. run_serial_test.sh maps a socat pty pair to
// COM5 (the receiver's port, opened by the DLL) and COM6 (the receiver's side, written by this
// test and by gpssim.exe). Live decoding, byte-exact recording and its replay, the set-up sent
// at open, a missing port, and (run separately) the device vanishing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "navlib32/ReceiverSetup.h"
#include "navlib32/navlib32.h"
#include "tools/gpssim/Simulator.h"

namespace {

using pelmora::FixRecord;

std::string Env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && v[0] != '\0' ? v : fallback;
}

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  const DWORD n = GetTempPathA(MAX_PATH, dir);
  return std::string(dir, n) + "pelmora_serial_" + std::to_string(GetCurrentProcessId()) + "_" +
         name;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The receiver's end of the line.
class FeedPort {
 public:
  FeedPort() {
    const std::string name = "\\\\.\\" + Env("PELMORA_TEST_FEED_PORT", "COM6");
    h_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                     nullptr);
    if (h_ == INVALID_HANDLE_VALUE) return;
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(h_, &t);
    PurgeComm(h_, PURGE_RXCLEAR | PURGE_TXCLEAR);
  }
  ~FeedPort() {
    if (ok()) CloseHandle(h_);
  }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  bool Write(const std::string& bytes) {
    DWORD n = 0;
    return WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
           n == bytes.size();
  }
  // What the DLL sent to the receiver, collected for up to timeoutMs once `expected` bytes came.
  std::string ReadFor(DWORD timeoutMs, std::size_t expected) {
    std::string got;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end && got.size() < expected) {
      char buf[512];
      DWORD n = 0;
      if (ReadFile(h_, buf, sizeof buf, &n, nullptr) && n > 0)
        got.append(buf, n);
      else
        Sleep(10);
    }
    return got;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

gpssim::SimConfig NmeaConfig() {
  gpssim::SimConfig c;
  c.protocol = gpssim::Protocol::Nmea;
  c.latitudeDeg = -33.8568;
  c.longitudeDeg = 151.2153;
  c.speedMps = 7.5;
  c.headingDeg = 200.0;
  return c;
}

pelmora::ReceiverSettings Settings() {
  pelmora::ReceiverSettings s{};
  s.changed = 1;
  s.fixedTwo = 2;
  s.trackMode = 1;
  s.dynamics = 1;
  s.elevationMask = 10;
  s.signalMask = 4;
  s.pdopMask = 12;
  s.pdopSwitch = 5;
  return s;
}

int32_t OpenReceiverPort(int32_t type, const pelmora::ReceiverSettings& settings) {
  pelmora::CommInfo line{};
  EXPECT_EQ(Pelmora_GetDefaultCommInfo(type, &line), 0);
  return Pelmora_Open(type, Env("PELMORA_TEST_GPS_PORT", "COM5").c_str(), &line, &settings);
}

void ExpectMatches(const FixRecord& r, const gpssim::Epoch& e, bool nmea) {
  EXPECT_NEAR(r.latitude, e.latitudeDeg, 1e-6);
  EXPECT_NEAR(r.longitude, e.longitudeDeg, 1e-6);
  if (nmea) {
    EXPECT_NEAR(r.geoidHeight, e.geoidHeightMetres, 0.01);
  }
  EXPECT_NEAR(r.ellipsoidHeight, e.ellipsoidHeightMetres, 0.06);
  EXPECT_NEAR(r.speed, e.speedMps, 0.01);
  EXPECT_NEAR(r.trueHeading, e.trueHeadingDeg, 0.05);
  EXPECT_NEAR(r.pdop, e.pdop, 0.01);
  EXPECT_EQ(r.satCount, e.usedCount);
}

// The fields a replay must reproduce exactly.
bool SameFix(const FixRecord& a, const FixRecord& b) {
  return a.utcSeconds == b.utcSeconds && a.latitude == b.latitude && a.longitude == b.longitude &&
         a.geoidHeight == b.geoidHeight && a.ellipsoidHeight == b.ellipsoidHeight &&
         a.speed == b.speed && a.trueHeading == b.trueHeading && a.pdop == b.pdop &&
         a.satCount == b.satCount && std::memcmp(a.sats, b.sats, sizeof a.sats) == 0;
}

TEST(SerialEngine, MissingPortGivesMinus2) {
  const pelmora::ReceiverSettings s = Settings();
  pelmora::CommInfo line{4800, 0, 8, 0};
  EXPECT_EQ(Pelmora_Open(1, "COM9", &line, &s), kNavOpenPortMissing);
  EXPECT_EQ(Pelmora_Poll(), kNavPollNotOpen);
  EXPECT_EQ(Pelmora_StartLog(TempPath("none.gps").c_str()), kNavLogNotLive);
}

TEST(SerialEngine, ExportsWithoutAPort) {
  pelmora::CommInfo line{};
  ASSERT_EQ(Pelmora_GetDefaultCommInfo(2, &line), 0);
  EXPECT_EQ(line.baudRate, 9600);
  EXPECT_EQ(line.parity, 1);
  EXPECT_NE(Pelmora_GetDefaultCommInfo(7, &line), 0);
  char text[32];
  llcvt_dbl2str(text, -33.5, 0, 3, 2, 0, 1);
  EXPECT_STREQ(text, "33\xB0 30.00' S");
  FixRecord r;
  std::memset(&r, 0x5A, sizeof r);
  EXPECT_EQ(Pelmora_GetInfo(&r), 0);
  EXPECT_EQ(r.validFlags, 0);
}

class SerialEngineLive : public ::testing::TestWithParam<gpssim::Protocol> {};

TEST_P(SerialEngineLive, RecordThenReplayGivesTheSameEpochs) {
  const bool nmea = GetParam() == gpssim::Protocol::Nmea;
  const int32_t type = nmea ? 1 : 2;
  FeedPort feed;
  ASSERT_TRUE(feed.ok());
  pelmora::ReceiverSettings settings = Settings();
  settings.changed = 0;  // nothing sent to the receiver: the feed end reads nothing back
  ASSERT_EQ(OpenReceiverPort(type, settings), 0);
  const std::string log = TempPath("live.gps");
  ASSERT_EQ(Pelmora_StartLog(log.c_str()), 0);

  gpssim::SimConfig config = NmeaConfig();
  config.protocol = GetParam();
  gpssim::Simulator sim(config);
  std::map<double, gpssim::Epoch> sent;
  std::map<double, FixRecord> live;
  std::string allBytes;
  constexpr int kEpochs = 8;
  for (int k = 0; k < kEpochs; ++k) {
    const gpssim::EncodedEpoch e = sim.Next();
    sent[e.epoch.utcSecondsOfDay] = e.epoch;
    allBytes += e.bytes;
    ASSERT_TRUE(feed.Write(e.bytes));
    // Poll until the epoch before this one has been decoded (an epoch completes when the next
    // one begins), at most 2 s.
    const ULONGLONG end = GetTickCount64() + 2000;
    while (GetTickCount64() < end) {
      Sleep(20);
      ASSERT_EQ(Pelmora_Poll(), 0);
      FixRecord r;
      if (Pelmora_GetInfo(&r) != 0) live[r.utcSeconds] = r;
      if (k == 0 || live.count(e.epoch.utcSecondsOfDay - 1) > 0) break;
    }
  }
  Sleep(100);
  ASSERT_EQ(Pelmora_Poll(), 0);
  EXPECT_EQ(Pelmora_StopLog(), 0);
  EXPECT_EQ(Pelmora_Close(), 0);

  ASSERT_GE(live.size(), static_cast<std::size_t>(kEpochs - 1));
  for (const auto& [t, r] : live) {
    ASSERT_EQ(sent.count(t), 1u) << t;
    ExpectMatches(r, sent[t], nmea);
  }
  // The recording holds every byte the receiver sent, as sent.
  EXPECT_EQ(ReadWholeFile(log), allBytes);

  ASSERT_EQ(Pelmora_Open(type, log.c_str(), nullptr, nullptr), 0);
  EXPECT_EQ(Pelmora_StartLog(TempPath("again.gps").c_str()), kNavLogNotLive);
  std::vector<FixRecord> replayed;
  int32_t result = 0;
  for (int i = 0; i < 100 && (result = Pelmora_Poll()) == 0; ++i) {
    FixRecord r;
    EXPECT_EQ(Pelmora_GetInfo(&r), 1);
    replayed.push_back(r);
  }
  EXPECT_EQ(result, kNavPollEndOfLog);
  EXPECT_EQ(Pelmora_Close(), 0);
  // One poll per epoch; the last epoch (ended by the log's end) comes too.
  ASSERT_EQ(replayed.size(), static_cast<std::size_t>(kEpochs));
  for (const FixRecord& r : replayed) {
    ASSERT_EQ(sent.count(r.utcSeconds), 1u);
    ExpectMatches(r, sent[r.utcSeconds], nmea);
    if (live.count(r.utcSeconds) > 0) {
      EXPECT_TRUE(SameFix(r, live[r.utcSeconds])) << r.utcSeconds;
    }
  }
  std::remove(log.c_str());
}

INSTANTIATE_TEST_SUITE_P(Protocols, SerialEngineLive,
                         ::testing::Values(gpssim::Protocol::Nmea, gpssim::Protocol::Tsip));

TEST(SerialEngine, GpssimToolFeedsTheLivePort) {
  FeedPort feed;  // held open only to discard what the DLL writes
  ASSERT_TRUE(feed.ok());
  ASSERT_EQ(OpenReceiverPort(1, Settings()), 0);
  char exe[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir(exe, n);
  dir.erase(dir.find_last_of('\\') + 1);
  std::string cmd = "\"" + dir +
                    "gpssim.exe\" --protocol nmea --systems all --seconds 4 --lat 47.5 "
                    "--lon -122.25 --out " +
                    Env("PELMORA_TEST_FEED_PORT", "COM6");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  bool fix = false;
  FixRecord r{};
  const ULONGLONG end = GetTickCount64() + 8000;
  while (GetTickCount64() < end && !fix) {
    Sleep(100);
    ASSERT_EQ(Pelmora_Poll(), 0);
    fix = Pelmora_GetInfo(&r) != 0;
  }
  WaitForSingleObject(pi.hProcess, 10000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(fix);
  EXPECT_NEAR(r.latitude, 47.5, 0.01);
  EXPECT_NEAR(r.longitude, -122.25, 0.01);
  // Every satellite of the four systems, beyond the record's twelve.
  pelmora::SatDetail sats[pelmora::kMaxAllSats];
  int32_t count = 0;
  ASSERT_EQ(Pelmora_GetSatellites(sats, pelmora::kMaxAllSats, &count), 0);
  EXPECT_GT(count, pelmora::kMaxSats);
  std::map<int, int> systems;
  for (int i = 0; i < count; ++i)
    ++systems[sats[i].system];
  EXPECT_EQ(systems.size(), 4u);
  EXPECT_EQ(Pelmora_Close(), 0);
  EXPECT_EQ(Pelmora_GetSatellites(sats, pelmora::kMaxAllSats, &count), kNavSatellitesNotOpen);
}

TEST(SerialEngine, TsipOpenSendsTheReceiverSettings) {
  FeedPort feed;
  ASSERT_TRUE(feed.ok());
  pelmora::ReceiverSettings s = Settings();
  s.heightReference = 1;
  s.initLatitude = -33;
  s.initLongitude = 151;
  s.altitude2d = 2.25;  // a float with a DLE byte: stuffed on the wire
  ASSERT_EQ(OpenReceiverPort(2, s), 0);
  const std::string expected = navlib::BuildTsipSetup(s);
  EXPECT_EQ(feed.ReadFor(2000, expected.size()), expected);
  EXPECT_EQ(Pelmora_Close(), 0);
}

TEST(SerialEngine, NmeaOpenSendsTheSettingsFile) {
  FeedPort feed;
  ASSERT_TRUE(feed.ok());
  const std::string nsf = TempPath("receiver.nsf");
  {
    std::ofstream out(nsf, std::ios::binary);
    out << "$PGRMO,,2\r\n; comment\r\n$PSRF100,1,4800,8,1,0*0E\n";
  }
  pelmora::ReceiverSettings s = Settings();
  std::snprintf(s.nmeaSettingsPath, sizeof s.nmeaSettingsPath, "%s", nsf.c_str());
  ASSERT_EQ(OpenReceiverPort(1, s), 0);
  const std::string expected = "$PGRMO,,2*75\r\n$PSRF100,1,4800,8,1,0*0E\r\n";
  EXPECT_EQ(feed.ReadFor(2000, expected.size()), expected);
  EXPECT_EQ(Pelmora_Close(), 0);
  std::remove(nsf.c_str());
}

// Run alone: the driver removes the device (ends socat) when asked through the request file.
TEST(SerialEngineVanish, PollFailsWhenTheDeviceVanishes) {
  const std::string request = Env("PELMORA_TEST_VANISH_REQUEST", "");
  if (request.empty()) GTEST_SKIP() << "needs run_serial_test.sh";
  FeedPort feed;
  ASSERT_TRUE(feed.ok());
  ASSERT_EQ(OpenReceiverPort(1, Settings()), 0);
  gpssim::Simulator sim(NmeaConfig());
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(feed.Write(sim.Next().bytes));
    Sleep(50);
    ASSERT_EQ(Pelmora_Poll(), 0);
  }
  { std::ofstream(request) << "go"; }
  int32_t result = 0;
  const ULONGLONG end = GetTickCount64() + 10000;
  while (GetTickCount64() < end && (result = Pelmora_Poll()) == 0)
    Sleep(100);
  EXPECT_EQ(result, kNavPollPortFailed);
  EXPECT_EQ(Pelmora_Poll(), kNavPollPortFailed);
  EXPECT_EQ(Pelmora_Close(), 0);
}

}  // namespace

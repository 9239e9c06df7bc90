// The monitor end to end, driven from outside pelmora.exe as a user would: menu commands posted
// by id, the common file dialogs filled and confirmed, message boxes read and confirmed, labels
// read with WM_GETTEXT. monitor_system_test.sh maps a pseudo-terminal pair to COM5 (the
// program's port, stored as ComPort with UpdateInterval 1) and COM6, where this test plays the
// receiver with gpssim's core, one epoch a second; on request it ends the pair (the receiver is
// unplugged). The cases run in order: live, record, off, replay with pause, the end of the log,
// PLAY \\.\COM5 behind a modal dialog, unplugging, then the command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <process.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/ControlIds.h"
#include "navlib32/navlib32.h"
#include "navres32/StringIds.h"
#include "tests/system/support/GisPeer_win.h"
#include "tests/system/support/WindowProbe_win.h"
#include "tools/gpssim/Simulator.h"

namespace pelmora {
namespace {

using namespace systest;

std::string Env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && v[0] != '\0' ? v : fallback;
}

// A text for a failure message (Latin-1 range kept, the rest as "?").
std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text)
    out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

// The latitude as the program shows it by default (GeoFormat 3, GeoPrecision 2).
std::wstring LatitudeText(double degrees) {
  char text[32] = {};
  llcvt_dbl2str(text, degrees, 0, 3, 2, 0, 1);
  return Widen(text);
}

// The simulated receiver on COM6: one epoch a second, heading north fast enough that every
// epoch shows another latitude text. Keeps the latitude texts of what it sent, in order.
class Receiver {
 public:
  bool Start() {
    const std::string name = "\\\\.\\" + Env("PELMORA_TEST_FEED_PORT", "COM6");
    port_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                        nullptr);
    if (port_ == INVALID_HANDLE_VALUE) return false;
    thread_ = std::thread([this] { Run(); });
    return true;
  }
  ~Receiver() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (port_ != INVALID_HANDLE_VALUE) CloseHandle(port_);
  }
  size_t Sent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_.size();
  }
  // Latitude texts of epochs first..last-1 (each also with the neighbouring roundings).
  std::set<std::wstring> TextsOf(size_t first, size_t last) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::set<std::wstring> texts;
    for (size_t i = first; i < std::min(last, sent_.size()); ++i) {
      // The decoded value may lie a hair either side of what was meant.
      for (double d : {-1e-9, 0.0, 1e-9})
        texts.insert(LatitudeText(sent_[i] + d));
    }
    return texts;
  }
  std::vector<int> Prns() {
    std::lock_guard<std::mutex> lock(mutex_);
    return prns_;
  }

 private:
  void Run() {
    gpssim::SimConfig config;
    config.latitudeDeg = 47.5;
    config.longitudeDeg = 8.25;
    config.speedMps = 60;  // 0.03' of latitude a second: a new text every epoch
    config.headingDeg = 0;
    gpssim::Simulator sim(config);
    while (!stop_) {
      const gpssim::EncodedEpoch e = sim.Next();
      DWORD n = 0;
      if (!WriteFile(port_, e.bytes.data(), static_cast<DWORD>(e.bytes.size()), &n, nullptr))
        return;  // unplugged
      {
        std::lock_guard<std::mutex> lock(mutex_);
        sent_.push_back(e.epoch.latitudeDeg);
        prns_.clear();
        for (const gpssim::SimSat& s : e.epoch.sats)
          prns_.push_back(s.prn);
      }
      for (int i = 0; i < 10 && !stop_; ++i)
        Sleep(100);
    }
  }

  HANDLE port_ = INVALID_HANDLE_VALUE;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<double> sent_;
  std::vector<int> prns_;
};

// The GIS stand-in runs for every test here: the client link connects at start.
const ::testing::Environment* const kGisPeer =
    ::testing::AddGlobalTestEnvironment(new GisPeerEnvironment);

class MonitorSystemTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    resources_ = LoadLibraryExW((ProgramDirectory() + L"\\navres32.dll").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
    receiver_ = new Receiver();
    receiverUp_ = receiver_->Start();
    char dir[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, dir);
    recording_ = std::string(dir, n) + "Pelmora_Monitor_" + std::to_string(GetCurrentProcessId());
    DeleteFileA((recording_ + ".gps").c_str());
  }
  static void TearDownTestSuite() {
    app_.End();
    delete receiver_;
    receiver_ = nullptr;
    DeleteFileA((recording_ + ".gps").c_str());
    if (resources_ != nullptr) FreeLibrary(resources_);
  }

  static bool StartProgram(const std::wstring& arguments = L"") {
    app_.End();
    main_ = nullptr;
    if (!app_.Start(ProgramDirectory(), arguments)) return false;
    return WaitFor(
        [] {
          main_ = FindProcessWindow(app_.info.dwProcessId, L"TMainForm", L"The Pelmora");
          return main_ != nullptr && IsWindowVisible(main_);
        },
        20s);
  }
  static std::wstring Resource(int id) {
    char buffer[255] = {};
    const int n = LoadStringA(resources_, static_cast<UINT>(id), buffer, 255);
    return Widen(std::string(buffer, n > 0 ? n : 0));
  }
  static std::wstring Text(int id) { return TextOf(FindControl(main_, id)); }
  // A macro command sent by ddecmd.exe, as another program would; true when acknowledged.
  static bool Execute(const std::wstring& macro) {
    const std::wstring ddecmd = ProgramDirectory() + L"\\ddecmd.exe",
                       quoted = L"\"" + macro + L"\"";
    return _wspawnl(_P_WAIT, ddecmd.c_str(), L"ddecmd", L"pelmora", L"HVN", L"execute",
                    quoted.c_str(), nullptr) == 0;
  }
  static void Command(int id) { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  static void ClickPauseButton() {
    HWND button = FindControl(main_, IDC_SimulatePauseButton);
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDC_SimulatePauseButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  // The program's dialogs and message boxes (class #32770) with this caption.
  static std::vector<HWND> Dialogs(const std::wstring& caption) {
    struct Search {
      DWORD pid;
      const std::wstring* caption;
      std::vector<HWND> found;
    } search{app_.info.dwProcessId, &caption, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD owner = 0;
          GetWindowThreadProcessId(hwnd, &owner);
          wchar_t cls[64] = {};
          GetClassNameW(hwnd, cls, 64);
          if (owner == s->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd) &&
              TextOf(hwnd) == *s->caption)
            s->found.push_back(hwnd);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  static HWND WaitForDialog(const std::wstring& caption) {
    HWND found = nullptr;
    WaitFor(
        [&] {
          const std::vector<HWND> d = Dialogs(caption);
          found = d.empty() ? nullptr : d.front();
          return found != nullptr;
        },
        20s);
    return found;
  }
  // The texts of a message box's static controls, joined by "|".
  static std::wstring BoxText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t cls[32] = {};
      GetClassNameW(child, cls, 32);
      const std::wstring t = TextOf(child);
      if (lstrcmpiW(cls, L"Static") == 0 && !t.empty()) text += (text.empty() ? L"" : L"|") + t;
    }
    return text;
  }
  static void PressOk(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  }
  // Types path into a common file dialog's file name field (its one edit control, perhaps
  // inside a combo box) and confirms it.
  static bool ConfirmFile(HWND dialog, const std::string& path) {
    const std::vector<HWND> edits = ChildrenOfClass(dialog, L"Edit");
    const auto visible = std::find_if(edits.begin(), edits.end(), IsWindowVisible);
    if (visible == edits.end()) return false;
    HWND edit = *visible;
    const std::wstring wide = Widen(path);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    PressOk(dialog);
    return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 20s);
  }
  // Waits until the latitude label shows one of texts; false on timeout.
  static bool WaitForLatitudeIn(const std::set<std::wstring>& texts) {
    return WaitFor([&] { return texts.count(Text(IDC_lblLatitude)) > 0; }, 15s);
  }
  // Waits until the latitude label shows an epoch the receiver sent from now on (or the one
  // before, which a poll may still hold).
  static bool WaitForLiveLatitude() {
    const size_t sent = receiver_->Sent();
    const size_t from = sent > 0 ? sent - 1 : 0;
    return WaitFor(
        [&] { return receiver_->TextsOf(from, SIZE_MAX).count(Text(IDC_lblLatitude)) > 0; }, 15s);
  }
  // The texts of the visible labels with ids first..first+11.
  static std::vector<std::wstring> VisibleTexts(int first) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < 12; ++i) {
      HWND h = FindControl(main_, first + i);
      if (h != nullptr && IsWindowVisible(h)) texts.push_back(TextOf(h));
    }
    return texts;
  }
  // Waits for the poll-failure box, checks it is alone for a while, and confirms it.
  static void ExpectOnePollFailureBoxAndConfirm() {
    HWND box = WaitForDialog(L"Error");
    ASSERT_NE(box, nullptr) << "no message 33";
    EXPECT_EQ(BoxText(box), Resource(IDS_PollFailed));
    Sleep(2500);  // ticks go on meanwhile
    EXPECT_EQ(Dialogs(L"Error").size(), 1u) << "a box inside the box";
    PressOk(box);
    ASSERT_TRUE(WaitFor([] { return Dialogs(L"Error").empty(); }));
    EXPECT_TRUE(WaitFor([] { return Text(IDC_lblGPSStatus) == Resource(IDS_IdleGpsStatus); }))
        << "the display is reset";
    Sleep(2500);
    EXPECT_TRUE(Dialogs(L"Error").empty()) << "the engine is closed: no further box";
    EXPECT_EQ(Text(IDC_lblComStatus), Resource(IDS_IdlePortStatus));
    Command(IDM_FileRecord);  // Off: F5 offers no save dialog for a closed engine
    Sleep(1500);
    EXPECT_TRUE(Dialogs(Resource(IDS_RecordDialogTitle)).empty()) << "Record is still offered";
  }
  static std::wstring ReplayName() {
    const std::string base = recording_.substr(recording_.find_last_of('\\') + 1);
    std::wstring name = Widen(base);
    std::transform(name.begin(), name.end(), name.begin(), std::towlower);
    return name;
  }

  static Process app_;
  static HWND main_;
  static HMODULE resources_;
  static Receiver* receiver_;
  static bool receiverUp_;
  static std::string recording_;  // without ".gps"
  static size_t recordFrom_, recordTo_;
};

Process MonitorSystemTest::app_;
HWND MonitorSystemTest::main_ = nullptr;
HMODULE MonitorSystemTest::resources_ = nullptr;
Receiver* MonitorSystemTest::receiver_ = nullptr;
bool MonitorSystemTest::receiverUp_ = false;
std::string MonitorSystemTest::recording_;
size_t MonitorSystemTest::recordFrom_ = 0;
size_t MonitorSystemTest::recordTo_ = 0;

TEST_F(MonitorSystemTest, LiveModeShowsTheSimulatedPositionAndSatellites) {
  ASSERT_TRUE(receiverUp_) << "COM6 did not open";
  ASSERT_TRUE(StartProgram());
  Command(IDM_FileLive);
  ASSERT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == L"COM5"; }));
  EXPECT_TRUE(WaitForLiveLatitude())
      << "no position the receiver sent: " << Narrow(Text(IDC_lblLatitude));
  // "Doing position fixes, n satellites" in black, 3D.
  const std::wstring status = Text(IDC_lblGPSStatus);
  EXPECT_EQ(status.rfind(Resource(IDS_ReceiverStatus1) + L", ", 0), 0u);
  EXPECT_NE(status.find(L" " + Resource(IDS_Satellites)), std::wstring::npos);
  EXPECT_EQ(Text(IDC_lblMode), L"3D");

  // The satellites under the bars and in the sky plot are those the receiver reports.
  const std::vector<int> prns = receiver_->Prns();
  auto reported = [&](const std::wstring& text) {
    return std::find(prns.begin(), prns.end(), _wtoi(text.c_str())) != prns.end();
  };
  Command(IDM_OptionsViewStrength);
  ASSERT_TRUE(WaitFor([] { return VisibleTexts(IDC_SignalSatIndeX0).size() >= 4; }));
  for (const std::wstring& t : VisibleTexts(IDC_SignalSatIndeX0))
    EXPECT_TRUE(reported(t)) << "signal bar of satellite " << _wtoi(t.c_str());
  Command(IDM_OptionsViewConfig);
  ASSERT_TRUE(WaitFor([] { return VisibleTexts(IDC_ConfigSatIndeX0).size() >= 4; }));
  for (const std::wstring& t : VisibleTexts(IDC_ConfigSatIndeX0))
    EXPECT_TRUE(reported(t)) << "sky plot satellite " << _wtoi(t.c_str());
  EXPECT_FALSE(Text(IDC_lblPDOP).empty());
  Command(IDM_OptionsViewGPSInfo);
}

TEST_F(MonitorSystemTest, RecordsWhileLiveAndStopsWithOff) {
  ASSERT_TRUE(main_ != nullptr && IsWindow(main_));
  Command(IDM_FileRecord);
  HWND dialog = WaitForDialog(Resource(IDS_RecordDialogTitle));
  ASSERT_NE(dialog, nullptr) << "no save dialog";
  ASSERT_TRUE(ConfirmFile(dialog, recording_));  // the default extension is added
  recordFrom_ = receiver_->Sent();
  const std::string path = recording_ + ".gps";
  ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
  Sleep(14000);
  recordTo_ = receiver_->Sent();
  Command(IDM_FileOff);
  ASSERT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == Resource(IDS_IdlePortStatus); }));
  WIN32_FILE_ATTRIBUTE_DATA a{};
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a));
  EXPECT_GT(a.nFileSizeLow, 3000u) << "about 14 epochs of NMEA";
  Sleep(2000);
  WIN32_FILE_ATTRIBUTE_DATA b{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &b);
  EXPECT_EQ(a.nFileSizeLow, b.nFileSizeLow) << "recording stopped with Off";
  EXPECT_EQ(Text(IDC_lblLatitude), L"0\u00B0 0' 0.0\" N") << "the idle display";
}

TEST_F(MonitorSystemTest, ReplayShowsTheRecordedPositionsAndPausesAndResumes) {
  ASSERT_GT(recordTo_, recordFrom_);
  // Epochs the recording may hold: read up to a poll (one second) after they were sent.
  const std::set<std::wstring> recorded =
      receiver_->TextsOf(recordFrom_ > 2 ? recordFrom_ - 2 : 0, recordTo_);
  Command(IDM_FileSimulated);
  HWND dialog = WaitForDialog(Resource(IDS_ReplayDialogTitle));
  ASSERT_NE(dialog, nullptr) << "no open dialog";
  ASSERT_TRUE(ConfirmFile(dialog, recording_ + ".gps"));
  ASSERT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == ReplayName(); }));
  EXPECT_TRUE(IsWindowVisible(FindControl(main_, IDC_SimulatePauseButton)));

  std::set<std::wstring> shown;
  auto sample = [&] {
    const std::wstring t = Text(IDC_lblLatitude);
    if (t != L"0\u00B0 0' 0.0\" N") {
      shown.insert(t);
      EXPECT_TRUE(recorded.count(t) > 0) << "a position that was not recorded";
    }
  };
  ASSERT_TRUE(WaitFor(
      [&] {
        sample();
        return shown.size() >= 3;
      },
      15s))
      << "the replay does not move";

  ClickPauseButton();
  Sleep(1500);
  const std::wstring paused = Text(IDC_lblLatitude);
  Sleep(3000);
  EXPECT_EQ(Text(IDC_lblLatitude), paused) << "paused";
  ClickPauseButton();
  EXPECT_TRUE(WaitFor(
      [&] {
        sample();
        return Text(IDC_lblLatitude) != paused;
      },
      5s))
      << "resumed";

  // The end of the log: message 33, the engine closed, the display reset.
  WaitFor(
      [&] {
        sample();
        return !Dialogs(L"Error").empty();
      },
      30s);
  ExpectOnePollFailureBoxAndConfirm();
  EXPECT_GE(shown.size(), 8u) << "most recorded positions were shown";
}

// PLAY \\.\COM5 opens its port; OFF by DDE leaves Set Preferences modal.
TEST_F(MonitorSystemTest, ADevicePathIsItsPortAndModeChangesKeepADialogModal) {
  ASSERT_TRUE(Execute(L"PLAY \\\\.\\COM5"));
  ASSERT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == L"COM5"; }));
  Command(IDM_OptionsPreferences);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    dialog = FindProcessWindow(app_.info.dwProcessId, L"PelmoraDialog", L"Set Preferences");
    return dialog != nullptr && !IsWindowEnabled(main_);
  }));
  ASSERT_TRUE(Execute(L"OFF"));  // closes the engine behind the dialog
  EXPECT_FALSE(IsWindowEnabled(main_)) << "OFF enabled the window behind the dialog";
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([] { return IsWindowEnabled(main_) != FALSE; }));
}

TEST_F(MonitorSystemTest, UnpluggingTheReceiverShowsMessage33AndClosesTheEngine) {
  ASSERT_TRUE(main_ != nullptr && IsWindow(main_));
  Command(IDM_FileLive);
  ASSERT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == L"COM5"; }));
  ASSERT_TRUE(WaitForLiveLatitude())
      << "no position the receiver sent: " << Narrow(Text(IDC_lblLatitude));
  // Ask the script to end the pseudo-terminal pair under the open port.
  const std::string request = Env("PELMORA_TEST_UNPLUG_REQUEST", "");
  ASSERT_FALSE(request.empty());
  std::FILE* f = std::fopen(request.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ExpectOnePollFailureBoxAndConfirm();
}

TEST_F(MonitorSystemTest, ClosingEndsTheProgram) {
  ASSERT_TRUE(main_ != nullptr && IsWindow(main_));
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(app_.WaitExit(15000), 0u);
}

TEST_F(MonitorSystemTest, ALogOnTheCommandLineReplaysAtStart) {
  const std::set<std::wstring> recorded =
      receiver_->TextsOf(recordFrom_ > 2 ? recordFrom_ - 2 : 0, recordTo_);
  ASSERT_TRUE(StartProgram(L"\"" + Widen(recording_) + L".gps\""));
  EXPECT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == ReplayName(); }));
  EXPECT_TRUE(WaitForLatitudeIn(recorded));
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(app_.WaitExit(15000), 0u);
}

TEST_F(MonitorSystemTest, AMissingLogOnTheCommandLineShowsMessage15AndStaysOff) {
  ASSERT_TRUE(StartProgram(L"no-such-track.gps"));
  HWND box = WaitForDialog(L"Information");
  ASSERT_NE(box, nullptr) << "no message 15";
  EXPECT_EQ(BoxText(box), Resource(IDS_LogOpenFailed));
  PressOk(box);
  EXPECT_TRUE(WaitFor([] { return Text(IDC_lblComStatus) == Resource(IDS_IdlePortStatus); }));
  Sleep(2500);
  EXPECT_EQ(Text(IDC_lblGPSStatus), Resource(IDS_IdleGpsStatus)) << "Off: no poll, no update";
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(app_.WaitExit(15000), 0u);
}

}  // namespace
}  // namespace pelmora

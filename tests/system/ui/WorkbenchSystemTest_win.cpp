// Starts pelmora.exe replaying a multi-GNSS gpssim log, opens the workbench by its menu command
// and reads its satellite table, per-system counts and statistics from outside; drives its player
// bar, and File > Export... through the common save dialog.
#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "app/ControlIds.h"
#include "tests/system/support/GisPeer_win.h"
#include "tests/system/support/WindowProbe_win.h"

namespace pelmora {
namespace {

using namespace systest;

// The GIS stand-in answers the link the program opens at start.
const ::testing::Environment* const kGisPeer =
    ::testing::AddGlobalTestEnvironment(new GisPeerEnvironment);

// Runs a tool of the build directory to its end, its standard output into the file `output`
// when one is named; its exit code, or -1.
int RunTool(const std::wstring& command, const std::wstring& output = L"") {
  std::wstring line = L"\"" + ProgramDirectory() + L"\\" + command;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE out = output.empty()
                   ? INVALID_HANDLE_VALUE
                   : CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
  }
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessW(nullptr, line.data(), nullptr, nullptr, out != INVALID_HANDLE_VALUE,
                     CREATE_NO_WINDOW, nullptr, ProgramDirectory().c_str(), &si, &pi);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (!started) return -1;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return static_cast<int>(code);
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "hh:mm:ss" as seconds of the day; -1 for anything else.
int Seconds(const std::wstring& clock) {
  int h = 0, m = 0, sec = 0;
  return swscanf(clock.c_str(), L"%d:%d:%d", &h, &m, &sec) == 3 ? (h * 60 + m) * 60 + sec : -1;
}

// Picks a list entry as the user does: the selection, then its notification to the owner.
void Choose(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  for (const WORD code : {CBN_SELENDOK, CBN_SELCHANGE})
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), code),
                 reinterpret_cast<LPARAM>(combo));
}

// Every "satellites in view" the log's GSV groups state, per talker.
std::map<std::string, std::set<int>> InViewPerTalker(const std::wstring& path) {
  std::map<std::string, std::set<int>> totals;
  std::ifstream in(std::string(path.begin(), path.end()));
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 14 || line[0] != '$' || line.compare(3, 4, "GSV,") != 0) continue;
    const std::size_t third = line.find(',', line.find(',', 7) + 1);  // $xxGSV,n,m,TOTAL,
    totals[line.substr(1, 2)].insert(std::stoi(line.substr(third + 1)));
  }
  return totals;
}

// The "used / in view" static's in-view number.
int InView(HWND workbench, int index) {
  const std::wstring text = TextOf(FindControl(workbench, IDC_WorkbenchCount0 + index));
  const std::size_t slash = text.find(L" / ");
  return slash == std::wstring::npos ? -1 : std::stoi(text.substr(slash + 3));
}

TEST(WorkbenchSystemTest, ShowsTheReplayedSatellitesAndStatistics) {
  const std::wstring log = ProgramDirectory() + L"\\workbench-multi.gps";
  ASSERT_EQ(RunTool(L"gpssim.exe\" --protocol nmea --systems all --seconds 120 --fast --out \"" +
                    log + L"\""),
            0);
  const auto logInView = InViewPerTalker(log);
  ASSERT_EQ(logInView.size(), 4u) << "GP, GL, GA and GB groups";

  // The replay at its default pace, whatever speed an earlier run left stored.
  RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Halvorn\\Pelmora", L"ReplaySpeed");
  Process process;
  ASSERT_TRUE(process.Start(ProgramDirectory(), L"\"" + log + L"\""));
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        main = FindProcessWindow(process.info.dwProcessId, L"TMainForm", L"The Pelmora");
        return main != nullptr && IsWindowVisible(main);
      },
      30s))
      << "the main window did not show";
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_OptionsWorkbench, 0), 0);
  HWND bench = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    bench = FindProcessWindow(process.info.dwProcessId, L"PelmoraWorkbench", L"Pelmora Workbench");
    return bench != nullptr && IsWindowVisible(bench);
  })) << "the workbench did not show";
  EXPECT_NE(GetWindowLongW(bench, GWL_STYLE) & WS_THICKFRAME, 0) << "resizable";
  EXPECT_TRUE(IsWindowEnabled(main)) << "the workbench never blocks the main window";

  HWND list = FindControl(bench, IDC_WorkbenchSatList);
  ASSERT_NE(list, nullptr);
  // Samples count once an update step with a fix has reached the window.
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::wstring samples = TextOf(FindControl(bench, IDC_WorkbenchStat0));
        return ListViewCount(list) > 0 && !samples.empty() && std::stoi(samples) > 0;
      },
      30s))
      << "samples " << TextOf(FindControl(bench, IDC_WorkbenchStat0));

  // GPS, GLONASS, Galileo and BeiDou as the log states them, none of the others.
  const char* talkers[] = {"GP", "GL", "GA", "GB"};
  int total = 0;
  for (int i = 0; i < 7; ++i) {
    const int inView = InView(bench, i);
    if (i < 4) {
      EXPECT_EQ(logInView.at(talkers[i]).count(inView), 1u) << talkers[i] << " in view " << inView;
    } else {
      EXPECT_EQ(inView, 0) << "system " << i;
    }
    total += inView;
  }
  // The table holds every satellite: as many rows, and as many GPS rows as GPS in view, unless
  // an update step came between the reads.
  const int rows = ListViewCount(list);
  int gpsRows = 0;
  for (int r = 0; r < rows; ++r)
    gpsRows += ListViewCell(list, r, 0) == L"GPS" ? 1 : 0;
  EXPECT_EQ(rows, total);
  EXPECT_EQ(gpsRows, InView(bench, 0));
  EXPECT_EQ(TextOf(FindControl(bench, IDC_WorkbenchStat0 + kWorkbenchCaptionOffset)), L"Samples");

  // The player bar while the log replays: paused, Step moves its time on by one epoch; 16x from
  // the speed list plays twenty seconds of log in a few ticks (TICK: one epoch an update tick).
  HWND time = FindControl(bench, IDC_PlayerBarTime), play = FindControl(bench, IDC_PlayerBarPlay);
  HWND speed = FindControl(bench, IDC_PlayerBarSpeed);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(FindControl(bench, IDC_PlayerBarTrack)); }));
  PostMessageW(play, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return TextOf(play) == L"Play"; })) << TextOf(play);
  const int paused = Seconds(TextOf(time));
  PostMessageW(FindControl(bench, IDC_PlayerBarStep), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return Seconds(TextOf(time)) == paused + 1; })) << TextOf(time);
  Choose(speed, 7);
  EXPECT_EQ(TextOf(speed), L"16x");
  PostMessageW(play, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return Seconds(TextOf(time)) >= paused + 21; }, 6s)) << TextOf(time);
  PostMessageW(play, BM_CLICK, 0, 0);
  Choose(speed, 0);  // TICK, as the options had it
  ASSERT_TRUE(WaitFor([&] { return TextOf(play) == L"Play"; }));

  // File > Export...: the type KML chosen and a name typed without extension in the save dialog;
  // the file written holds what navdump writes for the log.
  const std::wstring exported = ProgramDirectory() + L"\\workbench-export";
  DeleteFileW((exported + L".kml").c_str());
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_FileExport, 0), 0);
  HWND save = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    return (save = FindProcessWindow(process.info.dwProcessId, L"#32770", L"Export GPS Log"));
  })) << "no save dialog";
  Choose(FindControl(save, cmb1), 1);
  const std::vector<HWND> edits = ChildrenOfClass(save, L"Edit");  // the name box's
  ASSERT_EQ(edits.size(), 1u);
  SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(exported.c_str()));
  PostMessageW(save, WM_COMMAND, IDOK, 0);
  HWND done = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        return (done = FindProcessWindow(process.info.dwProcessId, L"#32770", L"Information"));
      },
      30s))
      << "no message at the end of the export";
  EXPECT_NE(BoxMessage(done).find(exported + L".kml"), std::wstring::npos) << BoxMessage(done);
  PostMessageW(done, WM_COMMAND, IDOK, 0);
  const std::wstring reference = ProgramDirectory() + L"\\workbench-navdump.kml";
  ASSERT_EQ(RunTool(L"navdump.exe\" --format kml \"" + log + L"\"", reference), 0);
  const std::string written = FileBytes(exported + L".kml");
  EXPECT_GT(written.size(), 1000u);
  EXPECT_TRUE(written == FileBytes(reference)) << "the export differs from navdump's";
  DeleteFileW((exported + L".kml").c_str());
  DeleteFileW(reference.c_str());

  // Closing only hides it; the program runs on.
  SendMessageW(bench, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(bench));
  EXPECT_FALSE(IsWindowVisible(bench));
  EXPECT_EQ(process.WaitExit(0), STILL_ACTIVE);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(process.WaitExit(10000), 0u);
  process.End();
  DeleteFileW(log.c_str());
}

}  // namespace
}  // namespace pelmora

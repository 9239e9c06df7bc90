// LogExport and File > Export... against navdump: the same log and format give the same bytes;
// failures are reported and leave no file.
#include "app/export/LogExport.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/ControlIds.h"
#include "tests/unit/app/MainFormFixture.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using navdump::ExportFormat;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A folder of its own per test, with gpssim logs and navdump's exports of them.
struct Files {
  Files() { fs::create_directories(dir); }
  ~Files() { fs::remove_all(dir); }
  fs::path Simulate(const std::string& protocol, int seconds) const {
    const fs::path log = dir / (protocol + ".log");
    const std::string command = std::string(GPSSIM) + " --protocol " + protocol +
                                " --fast --seconds " + std::to_string(seconds) + " --out " +
                                log.string() + " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return log;
  }
  std::string Navdump(const std::string& type, const std::string& format, const fs::path& log) {
    const fs::path out = dir / "navdump.out";
    const std::string command = std::string(NAVDUMP) + " --type " + type + " --format " + format +
                                " " + log.string() + " >" + out.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    return Read(out);
  }
  fs::path dir =
      fs::temp_directory_path() /
      ("log_export_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
       std::to_string(::getpid()));
};

// Steps to the end, the percentage never falling; the last state.
LogExport::State RunToEnd(LogExport& job, int epochs, int* steps) {
  int last = 0;
  for (*steps = 0; job.state() == LogExport::State::Running; ++*steps) {
    job.Step(epochs);
    EXPECT_GE(job.Percent(), last);
    last = job.Percent();
  }
  return job.state();
}

TEST(LogExportTest, WritesWhatNavdumpWritesForEveryFormat) {
  Files files;
  const struct {
    const char* protocol;
    int32_t receiverType;
    const char* format;
    ExportFormat exportFormat;
  } kCases[] = {{"nmea", 1, "gpx", ExportFormat::Gpx},
                {"tsip", 2, "kml", ExportFormat::Kml},
                {"nmea", 1, "csv", ExportFormat::Csv},
                {"tsip", 2, "geojson", ExportFormat::GeoJson},
                {"nmea", 1, "nmea", ExportFormat::Nmea}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.format);
    const fs::path log = files.Simulate(c.protocol, 120);
    const fs::path out = files.dir / (std::string("export.") + c.format);
    LogExport job(log.string(), c.receiverType, c.exportFormat, out.string());
    int steps = 0;
    EXPECT_EQ(RunToEnd(job, 7, &steps), LogExport::State::Done);
    EXPECT_GT(steps, 10);  // 120 epochs, 7 a step
    EXPECT_EQ(job.Percent(), 100);
    EXPECT_EQ(job.BytesRead(), fs::file_size(log));
    const std::string text = Read(out);
    EXPECT_GT(text.size(), 1000u);
    EXPECT_EQ(text, files.Navdump(c.protocol, c.format, log));
  }
}

TEST(LogExportTest, AFailedWriteIsReportedAndLeavesNoFile) {
  Files files;
  const fs::path log = files.Simulate("nmea", 600);
  const fs::path out = files.dir / "full.gpx";
  // A file size limit fails the writes past 16 KB as a full disk would.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit saved = limit;
  limit.rlim_cur = 16 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  auto job = std::make_unique<LogExport>(log.string(), 1, ExportFormat::Gpx, out.string());
  int steps = 0;
  const LogExport::State state = RunToEnd(*job, LogExport::kEpochsPerStep, &steps);
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_EQ(state, LogExport::State::WriteFailed);
  EXPECT_FALSE(fs::exists(out));
  // Unreadable or missing logs and folders create nothing.
  EXPECT_EQ(
      LogExport(log.string(), 1, ExportFormat::Csv, (files.dir / "no" / "a.csv").string()).state(),
      LogExport::State::WriteFailed);
  std::ofstream(files.dir / "text.gps") << "no GPS data here\n";
  for (const char* name : {"missing.gps", "text.gps"}) {
    EXPECT_EQ(LogExport((files.dir / name).string(), 1, ExportFormat::Csv, out.string()).state(),
              LogExport::State::ReadFailed);
  }
  EXPECT_FALSE(fs::exists(out));
}

class ExportMenuTest : public fakes::MainFormFixture {};

TEST_F(ExportMenuTest, OffersOneTypePerFormatAndExportsTheReplayedLogWithProgress) {
  Files files;
  const fs::path log = files.Simulate("tsip", 1200);
  host_.options.receiverType = 2;
  Create();
  form_.Command(IDM_FileExport);  // nothing replayed
  EXPECT_EQ(log_, fakes::Log{"Message [Information] S53"});
  StartReplay(log.string());
  C("lblGPSStatus").SetCaption("Shown");
  std::vector<std::string> progress;
  host_.duringProgress = [&] { progress.push_back(C("lblGPSStatus").Caption()); };
  host_.chosen = (files.dir / "Track.KML").string();
  form_.Command(IDM_FileExport);
  const std::string dialog =
      "Save S54|GPX 1.1 (*.gpx)|*.gpx|KML 2.2 (*.kml)|*.kml|CSV (*.csv)|*.csv|GeoJSON "
      "(*.geojson)|*.geojson|NMEA 0183 (*.nmea)|*.nmea|||gpx|11|";
  ASSERT_GE(log_.size(), 5u);
  EXPECT_EQ(log_[0], dialog);
  EXPECT_EQ(log_[1], "Disable");
  EXPECT_EQ(log_[log_.size() - 2], "Enable");
  EXPECT_EQ(log_.back(), "Message [Information] S57\r\n" + *host_.chosen);
  ASSERT_GE(progress.size(), 2u);  // 1200 epochs, 500 a step
  EXPECT_EQ(progress.back(), "S56 100%");
  EXPECT_EQ(C("lblGPSStatus").Caption(), "Shown");
  EXPECT_EQ(Read(*host_.chosen), files.Navdump("tsip", "kml", log));
  log_.clear();
  host_.chosen = (files.dir / "Track.txt").string();
  form_.Command(IDM_FileExport);
  EXPECT_EQ(log_.back(), "Error S55");
}

}  // namespace
}  // namespace pelmora

// LogExport against navdump: the same log and format give the same bytes; failures leave no file.
#include "app/export/LogExport.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

class LogExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("log_export_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A gpssim log of `seconds` epochs in protocol ("nmea" or "tsip").
  fs::path Simulate(const std::string& protocol, int seconds) {
    const fs::path log = dir_ / (protocol + ".log");
    const std::string command = std::string(GPSSIM) + " --protocol " + protocol +
                                " --fast --seconds " + std::to_string(seconds) + " --out " +
                                log.string() + " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return log;
  }

  // Runs the export to the end in steps of `epochs`; the states seen, the last one last.
  LogExport::State Run(LogExport& job, int epochs, int* steps) {
    LogExport::State state = job.state();
    int lastPercent = 0;
    for (*steps = 0; state == LogExport::State::Running; ++*steps) {
      state = job.Step(epochs);
      EXPECT_GE(job.Percent(), lastPercent);
      lastPercent = job.Percent();
    }
    return state;
  }

  fs::path dir_;
};

TEST_F(LogExportTest, WritesWhatNavdumpWritesForEveryFormat) {
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
    const fs::path log = Simulate(c.protocol, 120);
    const fs::path expected = dir_ / "navdump.out";
    const std::string command = std::string(NAVDUMP) + " --type " + c.protocol + " --format " +
                                c.format + " " + log.string() + " >" + expected.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    const fs::path out = dir_ / (std::string("export.") + c.format);
    LogExport job(log.string(), c.receiverType, c.exportFormat, out.string());
    int steps = 0;
    EXPECT_EQ(Run(job, 7, &steps), LogExport::State::Done);
    EXPECT_GT(steps, 10);  // 120 epochs, 7 a step
    EXPECT_EQ(job.Percent(), 100);
    EXPECT_EQ(job.BytesRead(), fs::file_size(log));
    const std::string text = Read(out);
    EXPECT_GT(text.size(), 1000u);
    EXPECT_EQ(text, Read(expected));
  }
}

TEST_F(LogExportTest, AFailedWriteIsReportedAndLeavesNoFile) {
  const fs::path log = Simulate("nmea", 600);
  const fs::path out = dir_ / "full.gpx";
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
  LogExport::State state;
  {
    LogExport job(log.string(), 1, ExportFormat::Gpx, out.string());
    int steps = 0;
    state = Run(job, LogExport::kEpochsPerStep, &steps);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_EQ(state, LogExport::State::WriteFailed);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(LogExportTest, AMissingFolderOrLogIsReportedAndCreatesNothing) {
  const fs::path log = Simulate("nmea", 5);
  LogExport noFolder(log.string(), 1, ExportFormat::Csv, (dir_ / "none" / "a.csv").string());
  EXPECT_EQ(noFolder.state(), LogExport::State::WriteFailed);
  EXPECT_EQ(noFolder.Step(), LogExport::State::WriteFailed);
  const fs::path out = dir_ / "b.csv";
  LogExport noLog((dir_ / "missing.gps").string(), 1, ExportFormat::Csv, out.string());
  EXPECT_EQ(noLog.state(), LogExport::State::ReadFailed);
  std::ofstream(dir_ / "text.gps") << "no GPS data here\n";
  LogExport notGps((dir_ / "text.gps").string(), 1, ExportFormat::Csv, out.string());
  EXPECT_EQ(notGps.state(), LogExport::State::ReadFailed);
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace pelmora

// navdump: decodes a GPS log (NMEA 0183 or TSIP) and prints, per epoch, what Pelmora_Poll then
// Pelmora_GetInfo would give: one JSON object per line, with the receiver's date as "utcDate" when
// known (with --all-sats also every satellite heard, as Pelmora_GetSatellites gives them), or
// exports it with --format gpx|kml|csv|geojson|nmea (--gpx: GPX). --from and --to keep the
// epochs of a UTC time range.
// It drives the engine's own log replay, with the engine's clock (one second per poll), so the
// log is streamed in fixed chunks and memory stays flat whatever its size.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/export/Export.h"
#include "app/export/FixJson.h"
#include "navlib32/ByteSource.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/LogReplay.h"
#include "navlib32/MakeDecoder.h"
#include "tools/navdump/StatsMode.h"

namespace {

constexpr std::size_t kOutBuffer = 1 << 18;

int Usage() {
  std::fputs(
      "usage: navdump [--type nmea|tsip|auto] [--all-sats | --gpx | --format FORMAT]\n"
      "               [--from T] [--to T] FILE\n"
      "       navdump [--type ...] --stats [--reference LAT,LON[,HEIGHT]]"
      " [--gate fix=2|3,pdop=X,sats=N] FILE\n"
      "  FORMAT  gpx, kml, csv, geojson or nmea (default: one JSON line per epoch)\n"
      "  T       UTC hh:mm:ss[.s] or yyyy-mm-ddThh:mm:ss[.s], both ends included\n",
      stderr);
  return 2;
}

// JSON lines: the records as they are, whether or not they hold a fix.
class JsonOutput {
 public:
  explicit JsonOutput(bool allSats) : allSats_(allSats), buffer_(kOutBuffer) {}
  ~JsonOutput() { Flush(); }

  void Epoch(const navlib::GpsDecoder& decoder, double now) {
    pelmora::FixRecord record;
    decoder.GetFix(record, now);
    navdump::UtcDate date;
    if (!decoder.GetDate(date.year, date.month, date.day, now)) date = {};
    if (buffer_.size() - used_ < navdump::kMaxJsonLineAllSats) Flush();
    char* out = buffer_.data() + used_;
    if (allSats_) {
      pelmora::SatDetail all[pelmora::kMaxAllSats];
      const int count = decoder.GetSatellites(all, pelmora::kMaxAllSats, now);
      used_ += json_.Format(record, all, count, out, date);
    } else {
      used_ += json_.Format(record, out, date);
    }
  }
  void Flush() {
    if (used_ > 0) std::fwrite(buffer_.data(), 1, used_, stdout);
    used_ = 0;
  }

 private:
  bool allSats_;
  navdump::FixJsonFormatter json_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

// An export format, written to standard output a buffer at a time.
class ExportOutput {
 public:
  explicit ExportOutput(navdump::ExportFormat format) : writer_(navdump::MakeExportWriter(format)) {
    text_.reserve(kOutBuffer + kOutBuffer / 4);
    writer_->Begin(text_);
  }
  void Epoch(const pelmora::Epoch& epoch) {
    writer_->Add(epoch, text_);
    if (text_.size() >= kOutBuffer) Flush();
  }
  void Finish() {
    writer_->End(text_);
    Flush();
  }

 private:
  void Flush() {
    std::fwrite(text_.data(), 1, text_.size(), stdout);
    text_.clear();
  }

  std::unique_ptr<navdump::ExportWriter> writer_;
  std::string text_;
};

// Parses the value of --from or --to into bound.
bool SetBound(const char* text, std::optional<navdump::TimeBound>& bound) {
  bound = navdump::ParseTimeBound(text);
  return bound.has_value();
}

// The command line; false on a usage error.
struct Arguments {
  std::string_view type = "auto";
  bool allSats = false;
  std::optional<navdump::ExportFormat> format;
  navdump::TimeRange range;
  const char* path = nullptr;
  navdump::StatsOptions stats;
};

bool Parse(int argc, char** argv, Arguments& a) {
  for (int i = 1; i < argc; ++i) {
    if (const std::optional<bool> taken = navdump::TakeStatsArg(argc, argv, i, a.stats)) {
      if (!*taken) return false;
      continue;
    }
    const std::string_view arg = argv[i];
    if (arg == "--type" && i + 1 < argc) {
      a.type = argv[++i];
    } else if (arg.substr(0, 7) == "--type=") {
      a.type = arg.substr(7);
    } else if (arg == "--gpx" && !a.format && !a.allSats) {
      a.format = navdump::ExportFormat::Gpx;
    } else if (arg == "--format" && i + 1 < argc && !a.format && !a.allSats) {
      a.format = navdump::ParseExportFormat(argv[++i]);
      if (!a.format) return false;
    } else if (arg == "--all-sats" && !a.format) {
      a.allSats = true;
    } else if (arg == "--from" && i + 1 < argc) {
      if (!SetBound(argv[++i], a.range.from)) return false;
    } else if (arg == "--to" && i + 1 < argc) {
      if (!SetBound(argv[++i], a.range.to)) return false;
    } else if (!arg.empty() && arg[0] != '-' && a.path == nullptr) {
      a.path = argv[i];
    } else {
      return false;
    }
  }
  if (a.path == nullptr || (a.type != "auto" && a.type != "nmea" && a.type != "tsip")) return false;
  const bool other = a.format || a.allSats || a.range.from || a.range.to;
  return a.stats.Valid() && !(a.stats.enabled && other);
}

// Every epoch of the replay as JSON lines or in an export format; false on a read error.
bool Dump(navlib::LogReplay& replay, const Arguments& a) {
  const bool ranged = a.range.from || a.range.to;
  std::optional<JsonOutput> json;
  std::optional<ExportOutput> exported;
  if (a.format)
    exported.emplace(*a.format);
  else
    json.emplace(a.allSats);
  pelmora::Epoch epoch;
  double now = 0.0;
  navlib::LogReplay::Step step;
  for (;;) {
    now += 1.0;
    step = replay.Advance(now);
    if (step != navlib::LogReplay::Step::Epoch) break;
    if (exported || ranged) {
      navlib::FillEpoch(replay.decoder(), now, epoch);
      if (!a.range.Contains(epoch)) continue;
    }
    if (exported)
      exported->Epoch(epoch);
    else
      json->Epoch(replay.decoder(), now);
  }
  if (exported) exported->Finish();
  if (json) json->Flush();
  return step != navlib::LogReplay::Step::Failed;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The bytes as written: an export redirected to a file equals File > Export's (no CR added).
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  Arguments a;
  if (!Parse(argc, argv, a)) return Usage();
  std::unique_ptr<navlib::FileByteSource> file = navlib::FileByteSource::Open(a.path);
  if (!file) {
    std::fprintf(stderr, "navdump: cannot open %s\n", a.path);
    return 1;
  }
  std::optional<navlib::Protocol> protocol;
  if (a.type == "nmea") protocol = navlib::Protocol::Nmea;
  if (a.type == "tsip") protocol = navlib::Protocol::Tsip;
  navlib::LogReplay replay(std::move(file), navlib::MakeDecoder);
  if (replay.Start(protocol) != navlib::LogReplay::StartResult::Ok) {
    std::fprintf(stderr, "navdump: %s holds no NMEA or TSIP data\n", a.path);
    return 1;
  }
  if (a.stats.enabled) return navdump::PrintStats(replay, a.stats, a.path);
  if (!Dump(replay, a)) {
    std::fprintf(stderr, "navdump: read error on %s\n", a.path);
    return 1;
  }
  return 0;
}

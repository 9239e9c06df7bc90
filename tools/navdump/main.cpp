// navdump: decodes a GPS log (NMEA 0183 or TSIP) and prints, per epoch, what Pelmora_Poll then
// Pelmora_GetInfo would give: one JSON object per line, with the receiver's date as "utcDate" when
// known (with --all-sats also every satellite heard, as Pelmora_GetSatellites gives them), or a
// GPX 1.1 track with --gpx.
// It drives the engine's own log replay, with the engine's clock (one second per poll), so the
// log is streamed in fixed chunks and memory stays flat whatever its size.
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "navlib32/ByteSource.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/LogReplay.h"
#include "navlib32/MakeDecoder.h"
#include "tools/navdump/FixJson.h"
#include "tools/navdump/StatsMode.h"

namespace {

constexpr std::size_t kOutBuffer = 1 << 18;

int Usage() {
  std::fputs(
      "usage: navdump [--type nmea|tsip|auto] [--gpx | --all-sats] FILE\n"
      "       navdump [--type ...] --stats [--reference LAT,LON[,HEIGHT]]"
      " [--gate fix=2|3,pdop=X,sats=N] FILE\n",
      stderr);
  return 2;
}

enum class Format { Json, JsonAllSats, Gpx };

class Output {
 public:
  explicit Output(Format format)
      : gpx_(format == Format::Gpx), allSats_(format == Format::JsonAllSats), buffer_(kOutBuffer) {
    if (gpx_) Write(navdump::GpxHeader());
  }
  ~Output() { Flush(); }

  void Epoch(const navlib::GpsDecoder& decoder, double now) {
    pelmora::FixRecord record;
    decoder.GetFix(record, now);
    navdump::UtcDate date;
    if (!decoder.GetDate(date.year, date.month, date.day, now)) date = {};
    Reserve(navdump::kMaxJsonLineAllSats);
    char* out = buffer_.data() + used_;
    if (allSats_) {
      pelmora::SatDetail all[pelmora::kMaxAllSats];
      const int count = decoder.GetSatellites(all, pelmora::kMaxAllSats, now);
      used_ += json_.Format(record, all, count, out, date);
    } else if (gpx_) {
      used_ += navdump::FormatGpxPoint(record, date, out);
    } else {
      used_ += json_.Format(record, out, date);
    }
  }

  void Finish() {
    if (gpx_) Write(navdump::GpxFooter());
    Flush();
  }

 private:
  void Write(const char* text) {
    const std::size_t n = std::strlen(text);
    Reserve(n);
    std::memcpy(buffer_.data() + used_, text, n);
    used_ += n;
  }
  void Reserve(std::size_t n) {
    if (buffer_.size() - used_ < n) Flush();
  }
  void Flush() {
    if (used_ > 0) std::fwrite(buffer_.data(), 1, used_, stdout);
    used_ = 0;
  }

  bool gpx_;
  bool allSats_;
  navdump::FixJsonFormatter json_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string_view type = "auto";
  Format format = Format::Json;
  const char* path = nullptr;
  navdump::StatsOptions stats;
  for (int i = 1; i < argc; ++i) {
    if (const std::optional<bool> taken = navdump::TakeStatsArg(argc, argv, i, stats)) {
      if (!*taken) return Usage();
      continue;
    }
    const std::string_view arg = argv[i];
    if (arg == "--type" && i + 1 < argc) {
      type = argv[++i];
    } else if (arg.substr(0, 7) == "--type=") {
      type = arg.substr(7);
    } else if (arg == "--gpx" && format == Format::Json) {
      format = Format::Gpx;
    } else if (arg == "--all-sats" && format == Format::Json) {
      format = Format::JsonAllSats;
    } else if (!arg.empty() && arg[0] != '-' && path == nullptr) {
      path = argv[i];
    } else {
      return Usage();
    }
  }
  if (path == nullptr || (type != "auto" && type != "nmea" && type != "tsip")) return Usage();
  if (!stats.Valid() || (stats.enabled && format != Format::Json)) return Usage();

  std::unique_ptr<navlib::FileByteSource> file = navlib::FileByteSource::Open(path);
  if (!file) {
    std::fprintf(stderr, "navdump: cannot open %s\n", path);
    return 1;
  }
  std::optional<navlib::Protocol> protocol;
  if (type == "nmea") protocol = navlib::Protocol::Nmea;
  if (type == "tsip") protocol = navlib::Protocol::Tsip;
  navlib::LogReplay replay(std::move(file), navlib::MakeDecoder);
  if (replay.Start(protocol) != navlib::LogReplay::StartResult::Ok) {
    std::fprintf(stderr, "navdump: %s holds no NMEA or TSIP data\n", path);
    return 1;
  }
  if (stats.enabled) return navdump::PrintStats(replay, stats, path);

  Output output(format);
  double now = 0.0;
  navlib::LogReplay::Step step;
  for (;;) {
    now += 1.0;
    step = replay.Advance(now);
    if (step != navlib::LogReplay::Step::Epoch) break;
    output.Epoch(replay.decoder(), now);
  }
  output.Finish();
  if (step == navlib::LogReplay::Step::Failed) {
    std::fprintf(stderr, "navdump: read error on %s\n", path);
    return 1;
  }
  return 0;
}

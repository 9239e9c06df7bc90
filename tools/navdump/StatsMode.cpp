// navdump --stats.
#include "tools/navdump/StatsMode.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/workbench/EpochSample.h"
#include "navlib32/GpsDecoder.h"

namespace navdump {
namespace {

using pelmora::workbench::AccuracyStats;
using pelmora::workbench::Geodetic;

bool ParseNumber(std::string_view text, double& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) return parts;
    start = comma + 1;
  }
}

bool ParseReference(std::string_view text, StatsOptions& options) {
  const std::vector<std::string_view> parts = Split(text);
  Geodetic g;
  options.referenceHeight = parts.size() == 3;
  if (parts.size() < 2 || parts.size() > 3 || !ParseNumber(parts[0], g.latitude) ||
      !ParseNumber(parts[1], g.longitude) ||
      (parts.size() == 3 && !ParseNumber(parts[2], g.height)))
    return false;
  if (std::fabs(g.latitude) > 90.0 || std::fabs(g.longitude) > 180.0) return false;
  options.reference = g;
  return true;
}

bool ParseGates(std::string_view text, StatsOptions& options) {
  for (std::string_view part : Split(text)) {
    const std::size_t eq = part.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string_view key = part.substr(0, eq);
    double value = 0.0;
    if (!ParseNumber(part.substr(eq + 1), value)) return false;
    if (key == "fix" && (value == 2.0 || value == 3.0)) {
      options.gates.minFixDimension = static_cast<int>(value);
    } else if (key == "pdop" && value > 0.0) {
      options.gates.maxPdop = value;
    } else if (key == "sats" && value >= 0.0 && value <= 255.0 && value == std::floor(value)) {
      options.gates.minSatsUsed = static_cast<int>(value);
    } else {
      return false;
    }
  }
  return true;
}

void AppendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

}  // namespace

std::optional<bool> TakeStatsArg(int argc, char** argv, int& i, StatsOptions& options) {
  const std::string_view arg = argv[i];
  if (arg == "--stats") {
    options.enabled = true;
    return true;
  }
  for (const std::string_view name : {"--reference", "--gate"}) {
    std::string_view value;
    if (arg == name) {
      if (i + 1 >= argc) return false;
      value = argv[++i];
    } else if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
               arg[name.size()] == '=') {
      value = arg.substr(name.size() + 1);
    } else {
      continue;
    }
    options.qualified = true;
    return name == "--gate" ? ParseGates(value, options) : ParseReference(value, options);
  }
  return std::nullopt;
}

std::string FormatStatsJson(const pelmora::workbench::AccuracySummary& s) {
  std::string out =
      "{\"samples\":" + std::to_string(s.samples) + ",\"excluded\":" + std::to_string(s.excluded);
  const std::pair<const char*, double> fields[] = {{"meanLat", s.mean.latitude},
                                                   {"meanLon", s.mean.longitude},
                                                   {"meanHeight", s.mean.height},
                                                   {"sigmaE", s.sigmaE},
                                                   {"sigmaN", s.sigmaN},
                                                   {"sigmaU", s.sigmaU},
                                                   {"cep50", s.cep50},
                                                   {"cep95", s.cep95},
                                                   {"twoDrms", s.twoDrms},
                                                   {"vertical95", s.vertical95}};
  for (const auto& [key, value] : fields) {
    out += ",\"";
    out += key;
    out += "\":";
    AppendNumber(out, value);
  }
  out += "}\n";
  return out;
}

int PrintStats(navlib::LogReplay& replay, const StatsOptions& options, const char* path) {
  AccuracyStats stats;
  stats.SetGates(options.gates);
  if (options.reference) {
    stats.SetReference(pelmora::workbench::ReferenceKind::Surveyed, *options.reference,
                       options.referenceHeight);
  }
  stats.Start();
  pelmora::workbench::EpochClock clock;
  pelmora::Epoch epoch{};
  double now = 0.0;
  navlib::LogReplay::Step step;
  // The engine's clock of a replay: one second per poll, as navdump's other outputs.
  while ((step = replay.Advance(now += 1.0)) == navlib::LogReplay::Step::Epoch) {
    navlib::FillEpoch(replay.decoder(), now, epoch);
    ++epoch.sequence;
    stats.Add(pelmora::workbench::SampleOf(epoch, clock.Time(epoch.fix)));
  }
  if (step == navlib::LogReplay::Step::Failed) {
    std::fprintf(stderr, "navdump: read error on %s\n", path);
    return 1;
  }
  const std::string json = FormatStatsJson(stats.Summary());
  std::fwrite(json.data(), 1, json.size(), stdout);
  return 0;
}

}  // namespace navdump

// JSON and GPX text of fix records, built with to_chars.
#include "tools/navdump/FixJson.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace navdump {
namespace {

class Writer {
 public:
  explicit Writer(char* out) : begin_(out), p_(out) {}
  std::size_t Size() const { return static_cast<std::size_t>(p_ - begin_); }

  template <std::size_t N>
  void Text(const char (&s)[N]) {
    std::memcpy(p_, s, N - 1);
    p_ += N - 1;
  }
  void Int(long value) {
    if (value >= 0 && value < 10) {  // most satellite flags and many counts
      *p_++ = static_cast<char>('0' + value);
      return;
    }
    p_ = std::to_chars(p_, p_ + 24, value).ptr;
  }
  // Shortest text that reads back as the same double; null for a non-finite value.
  void Real(double value) {
    if (!std::isfinite(value)) {
      Text("null");
      return;
    }
    // Whole numbers (zeros of invalid fields, whole seconds) print as integers, which is
    // also their shortest form; the general shortest-form search is for the rest.
    if (value == 0.0 && !std::signbit(value)) {
      *p_++ = '0';
      return;
    }
    if (std::fabs(value) < 1e15 && value == static_cast<double>(static_cast<long long>(value))) {
      p_ = std::to_chars(p_, p_ + 24, static_cast<long long>(value)).ptr;
      return;
    }
    p_ = std::to_chars(p_, p_ + 32, value).ptr;
  }
  void Real(float value) {
    if (!std::isfinite(value)) {
      Text("null");
      return;
    }
    p_ = std::to_chars(p_, p_ + 32, value).ptr;
  }
  void Fixed(double value, int decimals) {
    p_ = std::to_chars(p_, p_ + 48, value, std::chars_format::fixed, decimals).ptr;
  }
  void Name(const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(p_, text, n);
    p_ += n;
  }
  void TwoDigits(int value) {
    *p_++ = static_cast<char>('0' + value / 10 % 10);
    *p_++ = static_cast<char>('0' + value % 10);
  }

 private:
  char* begin_;
  char* p_;
};

}  // namespace

const char* SystemName(int16_t system) {
  static constexpr const char* kNames[] = {"GPS",    "SBAS", "GLONASS", "Galileo",
                                           "BeiDou", "QZSS", "NavIC",   "other"};
  return system >= 0 && system < 8 ? kNames[system] : "other";
}

namespace {

// The record's keys, without the closing brace.
void PutRecord(const pelmora::FixRecord& r, Writer& w) {
  w.Text("{\"validFlags\":");
  w.Int(r.validFlags);
  w.Text(",\"status\":");
  w.Int(r.status);
  w.Text(",\"fixMode\":");
  w.Int(r.fixMode);
  w.Text(",\"utcSeconds\":");
  w.Real(r.utcSeconds);
  w.Text(",\"latitude\":");
  w.Real(r.latitude);
  w.Text(",\"longitude\":");
  w.Real(r.longitude);
  w.Text(",\"ellipsoidHeight\":");
  w.Real(r.ellipsoidHeight);
  w.Text(",\"geoidHeight\":");
  w.Real(r.geoidHeight);
  w.Text(",\"speed\":");
  w.Real(r.speed);
  w.Text(",\"trueHeading\":");
  w.Real(r.trueHeading);
  w.Text(",\"magVariation\":");
  w.Real(r.magVariation);
  w.Text(",\"depth\":");
  w.Real(r.depth);
  w.Text(",\"pdop\":");
  w.Real(r.pdop);
  w.Text(",\"satCount\":");
  w.Int(r.satCount);
  w.Text(",\"sats\":[");
  bool first = true;
  for (const pelmora::SatInfo& s : r.sats) {
    if (s.prn == 0) continue;
    if (!first) w.Text(",");
    first = false;
    w.Text("{\"prn\":");
    w.Int(s.prn);
    w.Text(",\"used\":");
    w.Int(s.used);
    w.Text(",\"azimuth\":");
    w.Int(s.azimuth);
    w.Text(",\"elevation\":");
    w.Int(s.elevation);
    w.Text(",\"snr\":");
    w.Int(s.snr);
    w.Text("}");
  }
  w.Text("]");
}

}  // namespace

std::size_t FormatFixJson(const pelmora::FixRecord& r, char* out) {
  Writer w(out);
  PutRecord(r, w);
  w.Text("}\n");
  return w.Size();
}

std::size_t FormatFixJson(const pelmora::FixRecord& r, const pelmora::SatDetail* all, int count,
                          char* out) {
  Writer w(out);
  PutRecord(r, w);
  w.Text(",\"allSats\":[");
  for (int i = 0; i < std::min(count, pelmora::kMaxAllSats); ++i) {
    const pelmora::SatDetail& s = all[i];
    if (i > 0) w.Text(",");
    w.Text("{\"system\":\"");
    w.Name(SystemName(s.system));
    w.Text("\",\"prn\":");
    w.Int(s.prn);
    w.Text(",\"used\":");
    w.Int(s.used);
    w.Text(",\"azimuth\":");
    w.Int(s.azimuth);
    w.Text(",\"elevation\":");
    w.Int(s.elevation);
    w.Text(",\"snr\":");
    w.Int(s.snr);
    w.Text("}");
  }
  w.Text("]}\n");
  return w.Size();
}

const char* GpxHeader() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<gpx version=\"1.1\" creator=\"navdump\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
         "<trk><trkseg>\n";
}

const char* GpxFooter() {
  return "</trkseg></trk>\n</gpx>\n";
}

std::size_t FormatGpxPoint(const pelmora::FixRecord& r, const GpxDate& date, char* out) {
  if (!(r.validFlags & pelmora::kValidPosition) || !std::isfinite(r.latitude) ||
      !std::isfinite(r.longitude)) {
    return 0;
  }
  Writer w(out);
  w.Text("<trkpt lat=\"");
  w.Fixed(r.latitude, 8);
  w.Text("\" lon=\"");
  w.Fixed(r.longitude, 8);
  w.Text("\">");
  if ((r.validFlags & pelmora::kValidGeoidHeight) && std::isfinite(r.geoidHeight) &&
      std::fabs(r.geoidHeight) < 1e6) {
    w.Text("<ele>");
    w.Fixed(r.geoidHeight, 3);
    w.Text("</ele>");
  }
  const double t = r.utcSeconds;
  if (date.year >= 1980 && date.year <= 9999 && (r.validFlags & pelmora::kValidTime) &&
      std::isfinite(t) && t >= 0.0 && t < 86401.0) {
    const long millis = std::lround(t * 1000.0);
    const long secs = millis / 1000;
    w.Text("<time>");
    w.Int(date.year);
    w.Text("-");
    w.TwoDigits(date.month);
    w.Text("-");
    w.TwoDigits(date.day);
    w.Text("T");
    w.TwoDigits(static_cast<int>(secs / 3600 % 100));
    w.Text(":");
    w.TwoDigits(static_cast<int>(secs / 60 % 60));
    w.Text(":");
    w.TwoDigits(static_cast<int>(secs % 60));
    w.Text(".");
    const long ms = millis % 1000;
    w.TwoDigits(static_cast<int>(ms / 10));
    w.Int(ms % 10);
    w.Text("Z</time>");
  }
  w.Text("</trkpt>\n");
  return w.Size();
}

}  // namespace navdump

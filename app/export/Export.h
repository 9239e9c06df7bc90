// The export formats of navdump and of File > Export...: GPX 1.1, KML 2.2, CSV, GeoJSON (RFC 7946)
// and NMEA 0183, written epoch by epoch (streamed: a writer keeps at most one pending point), and
// the time range that selects epochs. Numbers are written with std::to_chars ('.' whatever the
// locale, no exponent). Portable: standard C++ only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "navlib32/navlib32_epoch.h"

namespace navdump {

enum class ExportFormat { Gpx, Kml, Csv, GeoJson, Nmea };

// "gpx", "kml", "csv", "geojson", "nmea"; none for anything else.
std::optional<ExportFormat> ParseExportFormat(std::string_view name);

// One end of a time range: a UTC time of day, or a UTC date and time.
struct TimeBound {
  bool dated = false;
  int64_t micros = 0;  // dated: since 1970-01-01T00:00:00Z; else since midnight
};

// "hh:mm:ss[.s]" or "yyyy-mm-ddThh:mm:ss[.s]" (at most six decimals, an optional final 'Z');
// none when malformed or out of range (a seconds value of 60 is accepted for a leap second).
std::optional<TimeBound> ParseTimeBound(std::string_view text);

// Both ends included. With a range, an epoch without a valid time is left out, and so is an
// epoch without the receiver's date when an end is dated. A time-of-day range whose start is
// after its end wraps midnight (--from 23:00:00 --to 01:00:00).
struct TimeRange {
  std::optional<TimeBound> from, to;
  bool Contains(const pelmora::Epoch& epoch) const;
};

// Writes one format: Begin once, Add per epoch, End once; each appends text to out.
// Geometry formats (GPX, KML, CSV, GeoJSON) take the epochs with a valid position only; in GPX a
// run of epochs without one starts a new trkseg. NMEA writes GGA, RMC, GSA, GSV and VTG for
// every epoch that holds data.
class ExportWriter {
 public:
  virtual ~ExportWriter() = default;
  virtual void Begin(std::string& out) = 0;
  virtual void Add(const pelmora::Epoch& epoch, std::string& out) = 0;
  virtual void End(std::string& out) = 0;
};

std::unique_ptr<ExportWriter> MakeExportWriter(ExportFormat format);

}  // namespace navdump

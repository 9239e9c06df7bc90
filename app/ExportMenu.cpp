#include "app/ExportMenu.h"

#include <algorithm>
#include <utility>

#include "app/export/LogExport.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr std::pair<const char*, navdump::ExportFormat> kExtensions[] = {
    {".gpx", navdump::ExportFormat::Gpx},   {".kml", navdump::ExportFormat::Kml},
    {".csv", navdump::ExportFormat::Csv},   {".geojson", navdump::ExportFormat::GeoJson},
    {".nmea", navdump::ExportFormat::Nmea},
};

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::optional<navdump::ExportFormat> ExportFormatOfPath(const std::string& path) {
  std::string lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
  for (const auto& [extension, format] : kExtensions) {
    if (lower.ends_with(extension)) return format;
  }
  return std::nullopt;
}

FileDialogRequest ExportMenu::ExportFileDialog() const {
  FileDialogRequest request;
  request.save = true;
  request.title = strings_.Get(IDS_ExportDialogTitle);
  // The common dialog adds the extension of the chosen type to a name typed without one.
  request.filter =
      "GPX 1.1 (*.gpx)|*.gpx|KML 2.2 (*.kml)|*.kml|CSV (*.csv)|*.csv|"
      "GeoJSON (*.geojson)|*.geojson|NMEA 0183 (*.nmea)|*.nmea||";
  request.defaultExtension = "gpx";
  request.options = kOverwritePrompt | kHideReadOnly | kPathMustExist;
  return request;
}

void ExportMenu::FileExport_Click() {
  if (running_) return;
  const Source& source = modes_.CurrentSource();
  if (!modes_.EngineOpen() || source.port) {
    host_.ShowInformation(strings_.Get(IDS_ExportNoLog), kInformationCaption);
    return;
  }
  const std::string log = source.name;  // the source may change while the dialog is open
  const std::optional<std::string> path = host_.ChooseFile(ExportFileDialog());
  if (!path) return;
  const std::optional<navdump::ExportFormat> format = ExportFormatOfPath(*path);
  if (!format) {
    host_.ShowError(strings_.Get(IDS_ExportUnknownType));
    return;
  }
  Export(log, *format, *path);
}

void ExportMenu::Export(const std::string& log, navdump::ExportFormat format,
                        const std::string& path) {
  running_ = true;
  LogExport job(log, options_.receiverType, format, path);
  ui::Control& status = form_.Get("lblGPSStatus");
  const std::string shown = status.Caption();
  const bool wasEnabled = host_.EnableMainWindow(false);
  while (job.state() == LogExport::State::Running) {
    job.Step();
    status.SetCaption(strings_.Get(IDS_ExportProgress) + " " + std::to_string(job.Percent()) + "%");
    host_.ShowProgress();
  }
  status.SetCaption(shown);
  if (wasEnabled) host_.EnableMainWindow(true);
  running_ = false;
  switch (job.state()) {
    case LogExport::State::Done:
      host_.ShowInformation(strings_.Get(IDS_ExportDone) + "\r\n" + path, kInformationCaption);
      break;
    case LogExport::State::ReadFailed:
      host_.ShowError(strings_.Get(IDS_ExportReadFailed));
      break;
    default:
      host_.ShowError(strings_.Get(IDS_ExportWriteFailed));
      break;
  }
}

}  // namespace pelmora

// File > Export...: the replayed log written to a file in one of the export formats. The common
// save dialog offers one file type per format; the export then runs in steps (LogExport) with
// the main window disabled and its percentage in lblGPSStatus, and ends with a message. The
// entry is always enabled: without a replayed log it says how to get one, which a greyed item
// could not. Portable.
#pragma once

#include <optional>
#include <string>

#include "app/FileDialog.h"
#include "app/MainFormHost.h"
#include "app/StringTable.h"
#include "app/TrackingModes.h"
#include "app/export/Export.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"

namespace pelmora {

// The format of an export file name by its extension (any letter case); none for another.
std::optional<navdump::ExportFormat> ExportFormatOfPath(const std::string& path);

class ExportMenu {
 public:
  ExportMenu(MainFormHost& host, const StringTable& strings, ui::Form& form,
             const TrackingModes& modes, const StartupOptions& options)
      : host_(host), strings_(strings), form_(form), modes_(modes), options_(options) {}

  void FileExport_Click();
  FileDialogRequest ExportFileDialog() const;

 private:
  // Runs the export to its end, then says how it ended.
  void Export(const std::string& log, navdump::ExportFormat format, const std::string& path);

  MainFormHost& host_;
  const StringTable& strings_;
  ui::Form& form_;
  const TrackingModes& modes_;
  const StartupOptions& options_;
  bool running_ = false;
};

}  // namespace pelmora

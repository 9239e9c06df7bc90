// What the settings dialogs ask of the program around them: showing a dialog modally (centred
// on the screen, owned by the window in front), the help page of a context, the common
// file-open dialog and an error box. Portable; the main window's host implements it.
#pragma once

#include <optional>
#include <string>

#include "app/FileDialog.h"
#include "app/ui/Dialog.h"

namespace pelmora {

class SettingsDialogHost : public ui::DialogRunner {
 public:
  // The help topic of a context number (the dialogs' Help buttons).
  virtual void ShowHelp(int context) = 0;
  // A modal common file dialog; the full path the user confirmed, nothing when cancelled.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
  // A modal error box with one OK button; returns when it is closed.
  virtual void ShowError(const std::string& text) = 0;
  // A text of the resource-string library by id (navres32/StringIds.h); empty when missing.
  virtual std::string Text(int id) = 0;
};

}  // namespace pelmora

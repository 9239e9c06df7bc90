// The common file dialogs (comdlg32) for a FileDialogRequest.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/FileDialog.h"

namespace pelmora {

// Shows GetOpenFileNameA or GetSaveFileNameA, modal to owner; the full path the user confirmed
// (Windows-1252 as the ANSI dialog returns it), or nothing when cancelled or failed.
std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request);

}  // namespace pelmora

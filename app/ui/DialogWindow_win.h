// Shows a ui::Dialog as a real modal window: a fixed-size top-level window with the dialog's
// caption and client size, owned by a window that is disabled while it runs, centred on the
// screen (half the screen minus half the window, halves rounded toward zero), with the dialog
// keys (Tab, arrows, Enter for the default button, Escape and the close box for Cancel, F1 for
// WM_HELP). The window is destroyed before RunModalDialog returns.
#pragma once

#include <windows.h>

#include "app/ui/Dialog.h"

namespace pelmora::ui {

// Returns when the dialog has closed, its owner was destroyed, or WM_QUIT arrived (which is
// posted again for the outer loop).
void RunModalDialog(Dialog& dialog, HWND owner, HINSTANCE instance);

// The modal dialog in front (the innermost still running), or none.
HWND ActiveModalDialog();

}  // namespace pelmora::ui

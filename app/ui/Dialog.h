// A modal dialog as a model: a Form with a caption and a fixed client size, the handlers of its
// controls' events, its default and cancel buttons, and whether it has closed. The Win32 side
// (DialogWindow_win) shows it and feeds the user's clicks, selections and keys back; tests
// drive the same events without a display. Portable: standard C++ only.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ui/Form.h"

namespace pelmora::ui {

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// How a dialog ended.
enum class ModalResult { None, Ok, Cancel };

// What a control reports: a click on a button, radio button or check box, or a new selection
// in a drop-down list.
enum class ControlEvent { Click, Change };

class Dialog {
 public:
  Dialog(std::string name, std::string caption, Size clientSize);
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  Form& GetForm() { return form_; }
  const Form& GetForm() const { return form_; }
  const std::string& Caption() const { return caption_; }
  Size ClientSize() const { return clientSize_; }

  // Runs the handler of the control's event. A radio button clicked becomes checked, a check
  // box clicked flips, before the handler runs. Nothing happens for a disabled or hidden
  // control, or after the dialog closed; false when no control has the id.
  bool Event(int controlId, ControlEvent event);
  // Convenience for tests and handlers: the same by control name.
  bool Click(std::string_view name);
  // Selects a list entry as the user does, then runs the list's Change handler.
  bool Select(int controlId, int index);
  bool Select(std::string_view name, int index);
  // An arrow of a spin edit (delta +1 up, -1 down), when the spin edit is enabled.
  void Spin(int controlId, int delta);
  void Spin(std::string_view name, int delta);
  // Enter: clicks the default button. Escape and the close box: clicks the cancel button, or
  // closes with Cancel when there is none.
  void Confirm();
  void Dismiss();
  // F1: clicks the help button, when there is one.
  void Help();

  // The id of the button Enter clicks (0: none), and the control that has the focus at first.
  int DefaultButtonId() const;
  const std::string& FocusControl() const { return focus_; }

  bool Closed() const { return result_ != ModalResult::None; }
  ModalResult Result() const { return result_; }

 protected:
  void On(std::string_view control, ControlEvent event, std::function<void()> handler);
  void SetDefaultButton(std::string_view name);
  void SetCancelButton(std::string_view name) { cancel_ = name; }
  void SetHelpButton(std::string_view name) { help_ = name; }
  void SetFocusControl(std::string_view name) { focus_ = name; }
  void Close(ModalResult result) { result_ = result; }

  // Shorthands for the handlers.
  Control& C(std::string_view name) const { return form_.Get(name); }
  bool IsChecked(std::string_view name) const { return form_.Get(name).Checked(); }

 private:
  struct Route {
    std::string control;
    ControlEvent event;
    std::function<void()> handler;
  };

  Form form_;
  std::string caption_;
  Size clientSize_;
  std::vector<Route> routes_;
  std::string default_;
  std::string cancel_;
  std::string help_;
  std::string focus_;
  ModalResult result_ = ModalResult::None;
};

// Shows dialogs modally; the Win32 side centres each on the screen over its owner, tests act
// as the user.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  // Returns when the dialog has closed.
  virtual void ShowModal(Dialog& dialog) = 0;
};

}  // namespace pelmora::ui

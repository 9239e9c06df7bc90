// The dialog model's event routing, keys and closing.
#include "app/ui/Dialog.h"

namespace pelmora::ui {
namespace {

Control* FindById(const Form& form, int id) {
  if (id == 0) return nullptr;
  for (const auto& c : form.Controls()) {
    if (c->Id() == id) return c.get();
  }
  return nullptr;
}

}  // namespace

Dialog::Dialog(std::string name, std::string caption, Size clientSize)
    : form_(std::move(name)), caption_(std::move(caption)), clientSize_(clientSize) {}

void Dialog::On(std::string_view control, ControlEvent event, std::function<void()> handler) {
  form_.Get(control);  // throws for a name the form does not hold
  routes_.push_back(Route{std::string(control), event, std::move(handler)});
}

void Dialog::SetDefaultButton(std::string_view name) {
  form_.Get(name).SetDefault(true);
  default_ = name;
}

int Dialog::DefaultButtonId() const {
  return default_.empty() ? 0 : form_.Get(default_).Id();
}

bool Dialog::Event(int controlId, ControlEvent event) {
  Control* c = FindById(form_, controlId);
  if (c == nullptr) return false;
  if (Closed() || !c->Enabled() || !c->Showing()) return true;
  if (event == ControlEvent::Click) {
    if (c->Kind() == ControlKind::RadioButton) c->SetChecked(true);
    if (c->Kind() == ControlKind::CheckBox) c->SetChecked(!c->Checked());
  }
  for (const Route& r : routes_) {
    if (r.control == c->Name() && r.event == event) {
      r.handler();
      break;
    }
  }
  return true;
}

bool Dialog::Click(std::string_view name) {
  return Event(form_.Get(name).Id(), ControlEvent::Click);
}

bool Dialog::Select(int controlId, int index) {
  Control* c = FindById(form_, controlId);
  if (c == nullptr) return false;
  if (Closed() || !c->Enabled() || !c->Showing()) return true;
  c->SetItemIndex(index);
  return Event(controlId, ControlEvent::Change);
}

bool Dialog::Select(std::string_view name, int index) {
  return Select(form_.Get(name).Id(), index);
}

void Dialog::Spin(int controlId, int delta) {
  Control* c = FindById(form_, controlId);
  if (c == nullptr || Closed() || c->Kind() != ControlKind::SpinEdit) return;
  if (c->Enabled() && c->Showing()) c->Step(delta);
}

void Dialog::Spin(std::string_view name, int delta) {
  Spin(form_.Get(name).Id(), delta);
}

void Dialog::Confirm() {
  if (!default_.empty()) Click(default_);
}

void Dialog::Dismiss() {
  if (cancel_.empty()) {
    Close(ModalResult::Cancel);
  } else {
    Click(cancel_);
  }
}

void Dialog::Help() {
  if (!help_.empty()) Click(help_);
}

}  // namespace pelmora::ui

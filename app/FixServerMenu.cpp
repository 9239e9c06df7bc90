// The fix server's menu entry.
#include "app/FixServerMenu.h"

#include "app/net/FixServerControl.h"

namespace pelmora {

void FixServerMenu::Load() {
  if (control_ == nullptr) return;
  ShowProblems(control_->Load());
  form_.SetChecked("OptionsShareFix", control_->Checked());
}

void FixServerMenu::OptionsShareFix_Click() {
  if (control_ == nullptr) return;
  const std::vector<std::string> problems = control_->Toggle();
  form_.SetChecked("OptionsShareFix", control_->Checked());
  ShowProblems(problems);
}

void FixServerMenu::Shutdown() {
  if (control_ != nullptr) control_->Shutdown();
}

void FixServerMenu::OnEpoch(const Epoch& epoch, std::string_view sentences) {
  if (control_ != nullptr) control_->Publish(epoch, sentences);
}

void FixServerMenu::ShowProblems(const std::vector<std::string>& problems) {
  if (problems.empty()) return;
  std::string text;
  for (const std::string& p : problems) {
    if (!text.empty()) text += "\r\n";
    text += p;
  }
  host_.ShowError(text);
}

}  // namespace pelmora

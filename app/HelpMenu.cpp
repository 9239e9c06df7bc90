// The Help menu's handlers.
#include "app/HelpMenu.h"

#include "app/HelpTopics.h"
#include "app/settings/ProductInfo.h"

namespace pelmora {

void HelpMenu::Load() {
  versionText_ = "Version 3.2 MapInfo Edition";
  helpFilePath_ = host_.AppDirectory();
  helpFilePath_ += "\\pelmora.hlp";
}

void HelpMenu::HelpContents_Click() {
  host_.ShowHelp(kHelpContents);
}

// The web pages are looked up when chosen: a stored override counts at once.
void HelpMenu::HalvornontheWebMenuItemClick() {
  host_.ShellOpen(GetCompanyWebSite());
}
void HelpMenu::DownloadsMenuItemClick() {
  host_.ShellOpen(GetLatestVersionPage(host_.Store()));
}
void HelpMenu::OnlineSupportMenuItemClick() {
  host_.ShellOpen(GetOnlineSupportPage(host_.Store()));
}
void HelpMenu::OnlineDiscussionGroupMenuItemClick() {
  host_.ShellOpen(GetOnlineDiscussionPage(host_.Store()));
}

void HelpMenu::HelpAbout_Click() {
  host_.ShowAbout("The Pelmora", versionText_);
}

}  // namespace pelmora

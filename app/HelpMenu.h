// The Help menu: the contents page, the four web pages, the About box, and the version text and
// help file path they use, set at start-up. Portable.
#pragma once

#include <string>

#include "app/MainFormHost.h"

namespace pelmora {

class HelpMenu {
 public:
  explicit HelpMenu(MainFormHost& host) : host_(host) {}

  // FormCreate: the version text and the help file beside the program.
  void Load();

  void HelpContents_Click();
  void HalvornontheWebMenuItemClick();
  void DownloadsMenuItemClick();
  void OnlineSupportMenuItemClick();
  void OnlineDiscussionGroupMenuItemClick();
  void HelpAbout_Click();

  // Both empty before Load.
  const std::string& VersionText() const { return versionText_; }
  const std::string& HelpFilePath() const { return helpFilePath_; }

 private:
  MainFormHost& host_;
  std::string versionText_;
  std::string helpFilePath_;
};

}  // namespace pelmora

// Help contexts to pages, and the choice between the WinHelp file and the HTML pages.
#include "app/HelpTopics.h"

namespace pelmora {

std::string HelpPage(int context) {
  switch (context) {
    case 13:
      return "receiver-options.html";
    case 89:
      return "nmea-settings.html";
    case 93:
      return "tsip-settings.html";
    case 14:
      return "preferences.html";
    default:
      return "index.html";
  }
}

HelpAction ResolveHelp(const std::string& helpFilePath, bool helpFileExists,
                       const std::string& appDirectory, int context) {
  HelpAction action;
  if (helpFileExists) {
    action.winHelp = true;
    action.path = helpFilePath;
    action.command = context == kHelpContents ? kHelpContentsCmd : kHelpContext;
    action.data = context == kHelpContents ? 0 : static_cast<uint32_t>(context);
    return action;
  }
  action.path = appDirectory + "\\help\\" + HelpPage(context);
  return action;
}

}  // namespace pelmora

// The program's help: HTML pages in the "help" folder beside the program, opened in the web
// browser, one page per dialog context and a contents page. A WinHelp file pelmora.hlp lying
// beside the program is opened instead, with the Windows help engine. Portable.
#pragma once

#include <cstdint>
#include <string>

namespace pelmora {

// The context of the contents page; the dialogs use 13, 89, 93 and 14.
constexpr int kHelpContents = 0;

// WinHelpA's commands.
constexpr uint32_t kHelpContext = 1;      // HELP_CONTEXT
constexpr uint32_t kHelpContentsCmd = 3;  // HELP_CONTENTS

struct HelpAction {
  bool winHelp = false;  // WinHelpA with the help file; otherwise the browser with a page
  std::string path;      // the help file, or the full path of the page
  uint32_t command = 0;  // WinHelpA: kHelpContentsCmd or kHelpContext
  uint32_t data = 0;     // WinHelpA: the context number
};

// The page of a context in the help folder; the contents page for one without its own page.
std::string HelpPage(int context);

// What opens the help at a context: the WinHelp file when it exists, else the page in the
// help folder of the program's directory (appDirectory without a trailing backslash).
HelpAction ResolveHelp(const std::string& helpFilePath, bool helpFileExists,
                       const std::string& appDirectory, int context);

}  // namespace pelmora

// The help folder: every context the program opens has its page, and every link between the
// pages leads to a file that is there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/HelpTopics.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

const fs::path kHelp = PELMORA_HELP_DIR;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(HelpPages, EveryContextHasItsPage) {
  for (int context : {kHelpContents, 13, 89, 93, 14}) {
    const fs::path page = kHelp / HelpPage(context);
    EXPECT_TRUE(fs::is_regular_file(page)) << page;
    EXPECT_NE(Read(page).find("<h1>"), std::string::npos) << page;
  }
}

TEST(HelpPages, EveryLinkLeadsToAPageThatIsThere) {
  const std::regex link(R"((?:href|src)="([^"#:]+)(#[^"]*)?")");
  int pages = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(kHelp)) {
    if (entry.path().extension() != ".html") continue;
    ++pages;
    const std::string text = Read(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      EXPECT_TRUE(fs::is_regular_file(kHelp / (*it)[1].str()))
          << entry.path().filename() << " links to " << (*it)[1];
    }
  }
  EXPECT_GE(pages, 10);
}

}  // namespace
}  // namespace pelmora

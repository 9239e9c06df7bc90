#include "app/dde/DdeStartup.h"

#include <gtest/gtest.h>

namespace pelmora::dde {
namespace {

TEST(DdeStartup, ServiceNameIsTheProgramFileNameCutAtItsFirstDot) {
  EXPECT_EQ(ServiceNameFromPath("C:\\Program Files\\Pelmora\\pelmora.exe"), "pelmora");
  EXPECT_EQ(ServiceNameFromPath("C:\\x.y\\Pelmora.v2.exe"), "Pelmora");
  EXPECT_EQ(ServiceNameFromPath("Z:/build/bin/pelmora.exe"), "pelmora");
  EXPECT_EQ(ServiceNameFromPath("C:pelmora"), "pelmora");
}

TEST(DdeStartup, MessageIsChosenByTheErrorAndShowsItInHex) {
  EXPECT_EQ(DdeStartupMessage(0x4007), "Error occurred when DDE ran out of memory ($04007)");
  EXPECT_EQ(DdeStartupMessage(0x4008), "Error occurred when DDE ran out of memory ($04008)");
  EXPECT_EQ(DdeStartupMessage(0x400a), "DDE Error - conversation not established ($0400a)");
  EXPECT_EQ(DdeStartupMessage(0x4006), "An error returned from DDE  ($04006)");
  EXPECT_EQ(DdeStartupMessage(0x4009), "An error returned from DDE  ($04009)");
}

}  // namespace
}  // namespace pelmora::dde

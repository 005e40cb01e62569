#include "service/service_unit_posix.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(ServiceUnitPosix, TheExecutableIsOneWordThatSystemdReadsBackAsWritten) {
  const struct {
    const char* path;
    const char* word;
  } cases[] = {
      {"/opt/tavro/tavrorun", "/opt/tavro/tavrorun"},
      {"/opt/plant data/tavrorun", "\"/opt/plant data/tavrorun\""},
      {"/opt/100%/tavrorun", "/opt/100%%/tavrorun"},           // not a specifier
      {"/opt/$HOME/tavrorun", "/opt/$$HOME/tavrorun"},         // not a variable
      {"/opt/a\"b\\c/tavrorun", "\"/opt/a\\\"b\\\\c/tavrorun\""},
      {"/opt/it's/tavrorun", "\"/opt/it's/tavrorun\""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExecStartWord(c.path), c.word) << c.path;
}

TEST(ServiceUnitPosix, TheUnitIsANotifyServiceThatLeavesItsProgramsRunning) {
  const std::string unit = ServiceUnitText("/opt/tavro/tavrorun");
  for (const char* line : {"Description=Cyclic Tavro Launcher Service\n", "\nType=notify\n",
                           "\nExecStart=/opt/tavro/tavrorun\n", "\nKillMode=process\n",
                           "\nWantedBy=multi-user.target\n"}) {
    EXPECT_NE(unit.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(unit.find("Restart="), std::string::npos);
}

TEST(ServiceUnitPosix, SystemErrorsReadAsTheFrameworkWritesThem) {
  EXPECT_EQ(SystemErrorText(17), "System Error.  Code: 17.\nFile exists");
}

}  // namespace
}  // namespace tavro

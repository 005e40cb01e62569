#include "service/service_unit_posix.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

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

// What systemd reads from the unit: it waits for READY=1, starts this program, leaves the started
// jobs running at a stop, and starts the service at boot.
TEST(ServiceUnitPosix, SystemdRunsTheLauncherAsANotifyServiceThatLeavesItsJobsRunning) {
  std::map<std::string, std::string> settings;  // "[Section] Key" -> the last value given
  std::istringstream unit(ServiceUnitText("/opt/plant data/tavrorun"));
  std::string section;
  for (std::string line; std::getline(unit, line);) {
    if (line.starts_with("[")) section = line;
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) settings[section + " " + line.substr(0, equals)] = line.substr(equals + 1);
  }
  EXPECT_EQ(settings["[Service] Type"], "notify");
  EXPECT_EQ(settings["[Service] ExecStart"], ExecStartWord("/opt/plant data/tavrorun"));
  EXPECT_EQ(settings["[Service] KillMode"], "process");
  EXPECT_EQ(settings["[Install] WantedBy"], "multi-user.target");
  EXPECT_EQ(settings["[Service] Restart"], "on-failure");
  EXPECT_EQ(settings["[Unit] After"], "network-online.target");
}

}  // namespace
}  // namespace tavro

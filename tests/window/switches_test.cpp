#include "window/switches.h"

#include <gtest/gtest.h>

#include <string>

#include "schedule/launch_program.h"

namespace tavro {
namespace {

struct SwitchCase {
  const char* commandLine;  // the parameters as one text, split as the runtime splits them
  bool installCall;
  bool autoStart;  // "A" with any switch character
  bool hide;       // "H" with any switch character
  bool serviceInstall;  // "INSTALL" with "-" or "/"
};

TEST(Switches, AreFoundAmongAllParametersWithoutRegardToCase) {
  const SwitchCase cases[] = {
      {"", false, false, false, false},
      {"-install", true, false, false, true},
      {"/INSTALL", true, false, false, true},
      {"\\Install", true, false, false, false},
      {"-UnInstall /silent", true, false, false, false},
      {"x -a", false, true, false, false},
      {"/H", false, false, true, false},
      {"\\h -A", false, true, true, false},
      {"A H INSTALL", false, false, false, false},  // no switch character
      {"--a -ah +a -", false, false, false, false},
      {"\"-a\" \"/install\"", true, true, false, true},  // quotes group and are removed
      {"\"-a b\"", false, false, false, false},
  };
  for (const SwitchCase& c : cases) {
    const Parameters parameters = SplitCommandLine(c.commandLine);
    EXPECT_EQ(IsInstallCall(parameters), c.installCall) << c.commandLine;
    EXPECT_EQ(HasSwitch(parameters, "A", kAnySwitchChar), c.autoStart) << c.commandLine;
    EXPECT_EQ(HasSwitch(parameters, "H", kAnySwitchChar), c.hide) << c.commandLine;
    EXPECT_EQ(HasSwitch(parameters, "INSTALL", kServiceSwitchChar), c.serviceInstall) << c.commandLine;
  }
}

TEST(Switches, ParametersLeaveOutTheProgramName) {
  const char* argv[] = {"tavrorun", "-a", "two words"};
  EXPECT_EQ(ParametersOf(3, argv), (Parameters{"-a", "two words"}));
  EXPECT_TRUE(ParametersOf(1, argv).empty());
}

}  // namespace
}  // namespace tavro

// On Linux there is no automation: the real creation fails, and both readers turn that into their
// failure value and log line.

#include <gtest/gtest.h>

#include "sources/phd_reader.h"
#include "sources/pi_sdk_reader.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

TEST(SystemAutomationPosix, CreationFailsCleanlyAndTheReadersSaySo) {
  SystemAutomation automation;
  EXPECT_THROW(automation.CreateByProgId(kPhdProgId), AutomationError);

  ProgramSettings settings;
  testutil::RecordingLog log;
  PhdReader phd(settings, log, automation);
  EXPECT_EQ(phd.ReadPhdValue("UNIT.RUN", "plant", "op", "secret", MakeDateTime(2026, 12, 7)), -2.0);

  PiSdkReader pi(settings, log, automation);
  EXPECT_FALSE(pi.KeepReady());

  const std::vector<testutil::LoggedEntry> logged{
      {"CreateOleObject failed", false},
      {"PI SDK initialization error\r\nAutomation objects (COM) are not available on this platform: class "
       "{3BCB2DC2-5F66-11D1-BD64-0060B0290178} cannot be created",
       true}};
  EXPECT_EQ(log.entries, logged);
}

}  // namespace
}  // namespace tavro

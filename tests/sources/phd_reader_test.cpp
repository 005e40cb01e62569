// The PHD reader against the stand-in of the PHD automation object: directly on Linux, through COM
// and the test suite's registered server on Windows.

#include "sources/phd_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/date_time_text.h"
#include "testing/historian_double.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

using testutil::LoggedEntry;

const DateTime kSlot = MakeDateTime(2026, 12, 7, 10, 15);
const std::string kSamples = "samples=1.5,2.5,3.5;figures=0,0,0;";

class PhdRead : public ::testing::Test {
 protected:
  double Read(const std::string& control, const std::string& user) {
    historian->Control(control);
    log.entries.clear();
    return reader.ReadPhdValue("UNIT.RUN", "plant", user, "secret", kSlot);
  }
  bool Called(const std::string& call) {
    const std::vector<std::string> journal = historian->Journal();
    return std::find(journal.begin(), journal.end(), call) != journal.end();
  }

  std::unique_ptr<testutil::HistorianDouble> historian = testutil::MakeHistorianDouble();
  ProgramSettings settings;
  testutil::RecordingLog log;
  PhdReader reader{settings, log, historian->Factory()};
};

TEST_F(PhdRead, ASuccessfulReadMakesEveryCallInOrderAndTakesTheLastSample) {
  settings.DebugMode = true;
  EXPECT_EQ(Read(kSamples, "op"), 3.5);
  const std::vector<std::string> calls{
      "new VisualPHD.Data",
      "PhdData.UseRemoteAPI=true",
      "PhdData.HostName=\"plant\"",
      "PhdData.Login(\"op\",\"secret\")",
      "PhdData.Tags()",
      "Tags.RemoveAll()",
      "PhdData.Tags()",
      "Tags.Add(\"UNIT.RUN\")",
      "PhdData.MinimumConfidence=0",
      "PhdData.SampleMethod=\"InterpolateRaw\"",
      "PhdData.EndTime=#2026-12-07 10:15:00#",
      "PhdData.StartTime=#2026-12-07 10:15:00#",
      "PhdData.Fetch()",
      "PhdData.Tags(\"UNIT.RUN\")",
      "TagResult.UnpackResults(&3)",
      "PhdData.Logout()",
  };
  EXPECT_EQ(historian->Journal(), calls);
  const std::vector<LoggedEntry> logged{
      {"PHD sampl\r\ntag=UNIT.RUN\r\nhost=plant\r\nuser=op\r\ntime=" + DateTimeText(kSlot), true}};
  EXPECT_EQ(log.entries, logged);
  EXPECT_EQ(historian->LiveObjects(), 0);
}

TEST_F(PhdRead, EveryStepHasItsFailureValueAndLineAndTheObjectIsAlwaysReleased) {
  const struct {
    std::string control;
    std::string user;
    double result;
    std::vector<LoggedEntry> logged;
  } cases[] = {
      {kSamples, "", 3.5, {}},
      {kSamples + "fail=UseRemoteAPI", "op", 3.5, {}},
      {kSamples + "fail=HostName", "op", -3, {{"HostName failed", false}}},
      {kSamples + "fail=Login", "op", -4, {{"Login failed", false}}},
      {kSamples + "fail=RemoveAll", "op", -5, {{"Tags.RemoveAll failed", false}}},
      {kSamples + "fail=Add", "op", -6, {{"Tags.Add(UNIT.RUN) failed", false}}},
      {kSamples + "fail=MinimumConfidence", "op", -7, {{"MinimumConfidence failed", false}}},
      {kSamples + "fail=SampleMethod:InterpolateRaw", "op", 3.5, {}},
      {kSamples + "fail=SampleMethod", "op", -8, {{"InterpolateRaw and Snapshot failed", false}}},
      {kSamples + "fail=EndTime", "op", -9, {{"EndTime failed", false}}},
      {kSamples + "fail=StartTime", "op", -10, {{"StartTime failed", false}}},
      {kSamples + "fail=Fetch", "op", -11, {{"Fetch failed", false}}},
      {kSamples + "fail=Logout", "op", 3.5, {}},
      {kSamples + "missing=UnpackResults", "op", 3.5, {}},
      {kSamples + "fail=UnpackResults", "op", 3.5, {}},
      {kSamples + "missing=UnpackResults,UnpackData", "op", -1, {{"UnpackResults and UnpackData failed", false}}},
      {"samples=1,2,4;figures=0,0,-1", "op", -20, {{"No value for UNIT.RUN on " + DateTimeText(kSlot), true}}},
      {"samples=1,2,4;figures=-1,-1,0", "op", 4, {}},
      {"samples=;figures=", "op", -1, {}},
      {"samples=1,x;figures=0,0", "op", -1, {}},  // a last sample that is no number
      {"samples=0;figures=0", "op", 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control + " user " + c.user);
    EXPECT_EQ(Read(c.control, c.user), c.result);
    EXPECT_EQ(log.entries, c.logged);
    if (c.user.empty()) {
      EXPECT_FALSE(Called("PhdData.Login(\"op\",\"secret\")"));
    }
    EXPECT_EQ(Called("PhdData.Logout()"), !c.user.empty());  // whatever step failed
    EXPECT_EQ(historian->LiveObjects(), 0);
  }
}

TEST_F(PhdRead, FallbacksAreTriedInTheirOrder) {
  EXPECT_EQ(Read(kSamples + "fail=SampleMethod:InterpolateRaw", ""), 3.5);
  EXPECT_TRUE(Called("PhdData.SampleMethod=\"Snapshot\""));
  EXPECT_EQ(Read(kSamples + "missing=UnpackResults", ""), 3.5);
  EXPECT_TRUE(Called("TagResult.UnpackData(&3)"));
}

TEST_F(PhdRead, AnObjectThatCannotBeCreatedIsNeverUsed) {
  EXPECT_EQ(Read("create=fail", "op"), -2.0);
  EXPECT_EQ(log.entries, (std::vector<LoggedEntry>{{"CreateOleObject failed", false}}));
  EXPECT_EQ(historian->Journal(), std::vector<std::string>{"new VisualPHD.Data"});
}

TEST_F(PhdRead, AnErrorReadingTheTagsResultReachesTheCallerAfterLogoutAndRelease) {
  EXPECT_THROW(Read(kSamples + "fail=Tags:UNIT.RUN", "op"), std::exception);
  EXPECT_EQ(historian->Journal().back(), "PhdData.Logout()");
  EXPECT_EQ(historian->LiveObjects(), 0);
}

}  // namespace
}  // namespace tavro

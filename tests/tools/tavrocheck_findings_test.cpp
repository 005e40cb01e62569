#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// In the cases' texts: @PROGRAM@ an existing program, @MISSING@ a path where there is none.
std::string Filled(std::string text, const std::string& program, const std::string& missing) {
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"@PROGRAM@", program}, {"@MISSING@", missing}}) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size())) {
      text.replace(at, mark.size(), value);
    }
  }
  return text;
}

std::vector<std::string> FindingLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("finding: ", 0) == 0) lines.push_back(line);
  }
  return lines;
}

const char* const kTask = "[tasks]\ncount=1\n[task_1]\nexename=@PROGRAM@\ntaskname=T\n";

struct FindingCase {
  const char* name;
  std::string ini;
  std::vector<std::string> findings;
  int exitCode;
};

// Read at Monday 7 December 2026, 10:07:30.
TEST(TavrocheckFindings, FindsWhatTheLauncherPassesOverInSilence) {
  const std::string reports = std::string(kTask) + "[reports]\ncount=4\nexename=@PROGRAM@\n[report_1]\ntemplate=t\n";
  const std::vector<FindingCase> cases{
      {"a clean file", std::string(kTask) + "[program]\nmod=PI\ndebug=-1\n[pi]\napiado=0x2\n", {}, 0},
      {"unknown keys",
       std::string(kTask) + "launchperiode=5\nrunning=x\n",
       {"finding: [task_1] launchperiode: unknown key; did you mean launchperiod?",
        "finding: [task_1] running: unknown key; the keys of [task_N] are launchperiod, phase, intervallength, "
        "exename, taskname, exporttohistory, exporttoexternal, kordden, runningtag"},
       3},
      {"sections nothing reads",
       std::string(kTask) + "[task_2]\n[task_01]\n[Task1]\n[pumpz]\n[plant]\n[pump_1]\n",
       {"finding: [task_2]: nothing reads this section: the launcher reads task_1 to task_1 ([tasks] count)",
        "finding: [task_01]: nothing reads this section: the launcher reads task_1 to task_1 ([tasks] count)",
        "finding: [Task1]: unknown section; did you mean [task_1]?",
        "finding: [pumpz]: unknown section; did you mean [pumps]?", "finding: [plant]: unknown section; nothing reads it",
        "finding: [pump_1]: nothing reads this section: the launcher reads no pump_ section ([pumps] count)"},
       3},
      {"values the reading replaces",
       std::string(kTask) + "launchperiod=five\nphase=-3\nkordden=yes\n[batches]\ncount=1\n[batch_1]\n"
                            "exename=@PROGRAM@\ntaskname=B\ntype=5\n",
       {"finding: [task_1] launchperiod: \"five\" is not a number; the launcher uses 60",
        "finding: [task_1] phase: -3 is out of range (expected 0 or more)",
        "finding: [task_1] kordden: \"yes\" is not a number (expected 0 for no, another number for yes); the "
        "launcher uses 0 (no)",
        "finding: [batch_1] type: 5 is out of range (expected 0 to 2)"},
       3},
      {"an unknown source", std::string(kTask) + "[program]\nmod=kord2\n",
       {"finding: [program] mod: \"kord2\" names no source (expected kord, phd, pi, ip21 or mssql); the launcher "
        "keeps the source it had: at start-up none"},
       3},
      {"what the profile reader hides",
       "stray=1\n" + std::string(kTask) + "phase=5\nphase=6\nkordden\n[TASK_1]\nphase=7\n",
       {"finding: stray: outside any section (line 1); nothing reads it",
        "finding: [task_1] phase: repeated at line 8; the launcher takes only the first one, at line 7",
        "finding: [task_1] kordden: no \"=\" after the key; the launcher takes the key as missing",
        "finding: [TASK_1]: repeated at line 10; the launcher reads only the first one, at line 4"},
       3},
      {"programs that cannot start",
       "[tasks]\ncount=1\n[task_1]\nexename=\"@MISSING@\" /x\ntaskname=T\n[reports]\ncount=1\n[report_1]\n"
       "template=t\n",
       {"finding: [task_1] exename: \"@MISSING@\" does not exist", "finding: [reports] exename: empty; no report can start"},
       3},
      {"report calendars",
       reports + "dayofweek=Mon-Fri\nhour=25\n[report_2]\nday=1,32\ntemplate=t\n[report_3]\nday=31\nmonth=2\n" +
           "template=t\n[report_4]\nminute=x\n",
       {"finding: [report_1] hour: 25 is out of range (expected 0 to 23); the launcher uses 1",
        "finding: [report_4] minute: \"x\" is not a number (expected 0 to 59); the launcher uses 10",
        "finding: [report_1] dayofweek: \"Mon-Fri\" is not understood and ends the field's matching (expected days "
        "of the week 1 Monday to 7 Sunday: \"*\", lists 1,3, ranges 1-5, steps */2 or 1-5/2); next run: never in "
        "the coming year",
        "finding: [report_2] day: item \"32\" of \"1,32\" matches no day in the coming year (expected days of the "
        "month 1 to 31, -1 the last one: \"*\", lists 1,3, ranges 1-5, steps */2 or 1-5/2); next run: 2027-01-01 "
        "01:10",
        "finding: [report_3]: day=31 month=2 dayofweek=* together match no day; next run: never in the coming year",
        "finding: [report_4] template: empty; the report never runs"},
       3},
      {"findings beside the reading's errors", "[tasks]\ncount=1\n[task_1]\nexename=@PROGRAM@\nphse=1\n",
       {"finding: [task_1] phse: unknown key; did you mean phase?"}, 1},
  };
  testutil::TempDir folder;
  const std::string program = testutil::TestProgramPath("tavrocheck");
  const std::string missing = folder.File("no-such-program");
  for (const FindingCase& c : cases) {
    const std::string ini = folder.File("plant.ini");
    testutil::WriteFileBytes(ini, Filled(c.ini, program, missing));
    const testutil::CapturedRun run = testutil::RunProgramCapture(
        testutil::TestProgramPath("tavrocheck"), {"--ini", ini, "--now", "2026-12-07 10:07:30"});
    std::vector<std::string> expected;
    for (const std::string& line : c.findings) expected.push_back(Filled(line, program, missing));
    EXPECT_EQ(FindingLines(run.output), expected) << c.name << "\n" << run.output;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name;
  }
}

// The reading takes a file it cannot read as an empty one; the checker says why it could not.
TEST(TavrocheckFindings, SaysWhyTheFileCannotBeOpened) {
  testutil::TempDir folder;
  const std::string missing = folder.File("missing.ini");
  const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"),
                                                                {"--ini", missing, "--now", "2026-12-07 10:07:30"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("No batch, pump or task found in file " + missing), std::string::npos) << run.output;
  EXPECT_EQ(FindingLines(run.output),
            std::vector<std::string>{"finding: cannot open " + missing + ": No such file or directory"});

  const std::string inFolder = folder.Path().string();
  const testutil::CapturedRun asFolder = testutil::RunProgramCapture(
      testutil::TestProgramPath("tavrocheck"), {"--ini", inFolder, "--now", "2026-12-07 10:07:30"});
  EXPECT_EQ(asFolder.exitCode, 1) << asFolder.output;
  EXPECT_EQ(FindingLines(asFolder.output),
            std::vector<std::string>{"finding: cannot read " + inFolder + ": it is a directory"});
}

}  // namespace
}  // namespace tavro

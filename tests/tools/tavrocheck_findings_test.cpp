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

// With its byte-order mark, as Windows editors save "Unicode".
std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
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
  const std::string reports = std::string(kTask) + "[reports]\ncount=5\nexename=@PROGRAM@\n[report_1]\ntemplate=t\n";
  const std::vector<FindingCase> cases{
      {"a clean file", std::string(kTask) + "[program]\nmod=PI\ndebug=-1\n[pi]\napiado=0x2\n", {}, 0},
      {"unknown keys",
       std::string(kTask) + "launchperiode=5\nrunning=x\n",
       {"finding: [task_1] launchperiode: unknown key; did you mean launchperiod?",
        "finding: [task_1] running: unknown key; the keys of [task_N] are launchperiod, phase, intervallength, "
        "exename, taskname, exporttohistory, exporttoexternal, kordden, runningtag, overlap, maxruntime"},
       3},
      {"overlap policies and run time limits",
       std::string(kTask) + "overlap=never\nmaxruntime=1h\n[program]\noverlap=Wait\nmaxruntime=-1\n",
       {"finding: [task_1] overlap: \"never\" names no overlap policy (expected run, skip or wait); the launcher "
        "uses [program] overlap, by default run",
        "finding: [task_1] maxruntime: \"1h\" is not a number; the launcher uses [program] maxruntime",
        "finding: [program] maxruntime: -1 is out of range (expected 0 to 527040)"},
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
        "finding: [task_1] kordden: \"yes\" is not a number (expected 0 for no, another number for yes); the "
        "launcher uses 0 (no)",
        "finding: [batch_1] type: 5 is out of range (expected 0 to 2)",
        "finding: [task_1] phase: -3 is negative (expected 0 to 1439); the slot times passed to the program then "
        "lie 3 minutes after the launch"},
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
           "template=t\n[report_4]\nminute=x\n[report_5]\nday=1,32\nmonth=3\ntemplate=t\n",
       {"finding: [report_1] hour: 25 is out of range (expected 0 to 23); the launcher uses 1",
        "finding: [report_4] minute: \"x\" is not a number (expected 0 to 59); the launcher uses 10",
        "finding: [report_1] dayofweek: \"Mon-Fri\" is not understood and ends the field's matching (expected days "
        "of the week 1 Monday to 7 Sunday: \"*\", lists 1,3, ranges 1-5, steps */2 or 1-5/2); next run: never in "
        "the coming year",
        "finding: [report_2] day: item \"32\" of \"1,32\" matches no day in the coming year (expected days of the "
        "month 1 to 31, -1 the last one: \"*\", lists 1,3, ranges 1-5, steps */2 or 1-5/2); next run: 2027-01-01 "
        "01:10",
        "finding: [report_3]: day=31 month=2 dayofweek=* together match no day; next run: never in the coming year",
        "finding: [report_4] template: empty; the report never runs",
        "finding: [report_5] day: item \"32\" of \"1,32\" matches no day in the coming year (expected days of the "
        "month 1 to 31, -1 the last one: \"*\", lists 1,3, ranges 1-5, steps */2 or 1-5/2); next run: 2027-03-01 "
        "01:10"},
       3},
      {"phases that defeat their period",
       "[pumps]\ncount=3\n[pump_1]\nexename=@PROGRAM@\nsource=s\ntarget=t\ntagfile=f\nphase=-5\n"
       "[pump_2]\nexename=@PROGRAM@\nsource=s\ntarget=t\ntagfile=f\nphase=90\n"
       "[pump_3]\nexename=@PROGRAM@\nsource=s\ntarget=t\ntagfile=f\nlaunchperiod=15\nphase=-20\n"
       "[batches]\ncount=2\n[batch_1]\nexename=@PROGRAM@\ntaskname=B\nphase=-1440\n"
       "[batch_2]\nexename=@PROGRAM@\ntaskname=B\ntype=2\nphase=40320\n"
       "[tasks]\ncount=2\n[task_1]\nexename=@PROGRAM@\ntaskname=T\nlaunchperiod=15\nphase=100000000\n"
       "[task_2]\nexename=@PROGRAM@\ntaskname=T\nlaunchperiod=120\nphase=-30\n",
       {"finding: [pump_1] phase: -5 is negative (expected 0 to 59); the launcher then launches the pump at every "
        "tick of the last 5 minutes of each period",
        "finding: [pump_2] phase: 90 is not within the period of 60 minutes (expected 0 to 59); each launch then "
        "waits the phase once more, so the pump runs only every 90 to 150 minutes",
        "finding: [pump_3] phase: -20 is negative (expected 0 to 14); the launcher then launches the pump at every "
        "tick",
        "finding: [batch_1] phase: -1440 is negative (expected 0 to 1439); its next run then lies before each "
        "launch, so it is launched at every tick",
        "finding: [batch_2] phase: 40320 is not within the month it runs in (expected 0 to 40319); it then runs "
        "less often than once a month",
        "finding: [task_1] phase: 100000000 is more than a day (expected 0 to 1439); the slot times passed to the "
        "program then lie 100000000 minutes before the launch",
        "finding: [task_2] phase: -30 is negative (expected 0 to 1439); a start then catches up, at every tick, "
        "each slot since 30 minutes before midnight"},
       3},
      {"texts a command line splits",
       "[pumps]\ncount=1\n[pump_1]\nexename=@PROGRAM@\nsource=plant a\ntarget=t\"x\ntagfile=f\n"
       "[batches]\ncount=1\n[batch_1]\nexename=@PROGRAM@\ntaskname=b c\\\n"
       "[tasks]\ncount=2\n[task_1]\nexename=@PROGRAM@\ntaskname=T /A=X\n[task_2]\nexename=@PROGRAM@\n"
       "taskname=T\t/A=X\n",
       {"finding: [pump_1] source: \"plant a\" reaches the program as \"/sN=plant\" \"a\" instead of "
        "\"/sN=plant a\"; blanks separate arguments",
        "finding: [pump_1] target: \"t\"x\" reaches the program as \"/tN=tx /fN=f /aV\" instead of \"/tN=t\"x\" "
        "\"/fN=f\" \"/aV\"; a double quote opens or closes a quoted part",
        "finding: [batch_1] taskname: \"b c\\\" reaches the program as \"/tn=b c\" /d1=01.01.2000+00.00 "
        "/d2=01.01.2000+00.00 /dS=60 /nH /nE\" instead of \"/tn=b c\\\" \"/d1=01.01.2000+00.00\" "
        "\"/d2=01.01.2000+00.00\" \"/dS=60\" \"/nH\" \"/nE\"; a backslash before a double quote makes the quote "
        "an ordinary character; blanks separate arguments",
        "finding: [task_2] taskname: \"T\t/A=X\" reaches the program as \"T\" \"/A=X\" instead of \"T\t/A=X\"; "
        "blanks separate arguments; \"/A=X\" looks to the program like a switch of its own"},
       3},
      {"a doubled byte-order mark and a count too large",
       "\xEF\xBB\xBF\xEF\xBB\xBF\n" + std::string(kTask) + "[pumps]\ncount=99999999999\n",
       {"finding: the file begins with two UTF-8 byte-order marks; the launcher skips one, so the other hides the "
        "first line (save it with at most one)",
        "finding: \xEF\xBB\xBF: outside any section (line 1); nothing reads it",
        "finding: [pumps] count: \"99999999999\" is too large a number (expected at most 2147483647); the "
        "launcher uses 0"},
       3},
      {"a UTF-16 file", Utf16(kTask),
       {"finding: the file is UTF-16 text, which the launcher does not read: it finds no section in it (save it "
        "as ANSI or UTF-8)"},
       1},
      {"findings beside the reading's errors", "[tasks]\ncount=1\n[task_1]\nexename=@PROGRAM@\nphse=1\n",
       {"finding: [task_1] phse: unknown key; did you mean phase?"}, 1},
      {"the reading's own warnings", std::string(kTask) + "phase=1" + '\0' + "5\n",
       {"finding: [task_1] phase in line 6: the value is cut at a NUL byte"}, 3},
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

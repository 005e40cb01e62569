#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "reading_harness.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using namespace std::string_literals;

// Others who may change the file or a program it names choose what the launcher runs with its
// rights; the reading says so after its verdict and goes on.
TEST(FileWarnings, SayWhatOtherAccountsCouldChangeOrReadAndWhatANulCut) {
  testutil::TempDir folder;
  const std::string ini = folder.File("tavrorun.ini");
  const std::string program = folder.File("job.sh");
  const std::string jobs = "[tasks]\ncount=1\n[task_1]\ntaskname=T\nexename=" + program;
  const std::function<void(const std::string&, uid_t, gid_t, mode_t)> set = [](auto& file, uid_t u, gid_t g, mode_t m) {
    ASSERT_EQ(chown(file.c_str(), u, g), 0);
    chmod(file.c_str(), m);
  };
  const uid_t me = geteuid();
  const gid_t mine = getegid();
  const struct {
    std::string text;
    std::function<void()> loosen;
    std::string warning;  // "" when the reading warns of nothing
  } cases[] = {
      {jobs, [] {}, ""},
      {jobs + "\0.off"s, [] {}, "[task_1] exename in line 5: the value is cut at a NUL byte"},
      {jobs, [&] { set(ini, me, mine, 0666); }, ini + " can be changed by other accounts"},
      {jobs, [&] { set(ini, me + 1, mine, 0600); }, ini + " can be changed by other accounts"},
      {"[pi]\npassword=c2VjcmV0\n" + jobs, [&] { set(ini, me, mine, 0644); },
       ini + " holds passwords and can be read by other accounts"},
      {jobs, [&] { set(program, me, mine + 1, 0770); }, program + " ([task_1]) can be changed by other accounts"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.warning);
    testutil::WriteFileBytes(ini, c.text + "\n");
    testutil::WriteFileBytes(program, "#!/bin/sh\n");
    set(ini, me, mine, 0600);
    set(program, me, mine, 0700);
    if (me == 0) c.loosen();  // handing files to other accounts needs root
    configtest::Reading reading;
    reading.state.Settings.IniFileName = ini;
    reading.verdict = IniAkceExecute(reading.state, ReadingContext{reading.log, reading.now, {}});
    EXPECT_TRUE(reading.verdict.valid);
    EXPECT_EQ(reading.state.Tasks.Items.at(0).exename, program);
    if (me != 0 && c.text.find('\0') == std::string::npos) continue;
    EXPECT_EQ(reading.verdict.warnings, c.warning.empty() ? std::vector<std::string>{} : std::vector{c.warning});
    EXPECT_EQ(reading.Last().second,
              c.warning.empty() ? "Tasks in ini O.K." : "Warning: in ini found these risks:\r\n" + c.warning);
  }
}

}  // namespace
}  // namespace tavro

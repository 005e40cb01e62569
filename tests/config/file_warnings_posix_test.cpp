#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

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
  const std::string jobs = "[tasks]\ncount=1\n[task_1]\ntaskname=T\nexename=" + program + "\n";
  const struct {
    const char* name;
    std::string text;
    std::function<void()> loosen;
    std::string warning;  // "" when the reading warns of nothing
  } cases[] = {
      {"all private", jobs, [] {}, ""},
      {"a NUL in a value", "[tasks]\ncount=1\n[task_1]\ntaskname=T\nexename=" + program + "\0.off\n"s, [] {},
       "[task_1] exename in line 5: the value is cut at a NUL byte"},
      {"the file writable by everyone", jobs, [&] { chmod(ini.c_str(), 0666); },
       ini + " can be changed by other accounts"},
      {"the file owned by another account", jobs, [&] { ASSERT_EQ(chown(ini.c_str(), 4242, -1), 0); },
       ini + " can be changed by other accounts"},
      {"a password readable by everyone", "[program]\nmod=pi\n[pi]\npassword=c2VjcmV0\n" + jobs,
       [&] { chmod(ini.c_str(), 0644); }, ini + " holds passwords and can be read by other accounts"},
      {"a program another group may change", jobs,
       [&] {
         ASSERT_EQ(chown(program.c_str(), -1, 4242), 0);
         chmod(program.c_str(), 0770);
       },
       program + " ([task_1]) can be changed by other accounts"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (geteuid() != 0 && std::string(c.name).find("another") != std::string::npos) continue;  // needs root
    testutil::WriteFileBytes(ini, c.text);
    testutil::WriteFileBytes(program, "#!/bin/sh\n");
    for (const std::string* file : {&ini, &program}) {
      ASSERT_EQ(chown(file->c_str(), geteuid(), getegid()), 0);
      chmod(file->c_str(), 0700);
    }
    c.loosen();
    configtest::Reading reading;
    reading.state.Settings.IniFileName = ini;
    reading.log.entries.clear();
    reading.verdict = IniAkceExecute(reading.state, ReadingContext{reading.log, reading.now, {}});
    EXPECT_TRUE(reading.verdict.valid);
    EXPECT_EQ(reading.state.Tasks.Items.at(0).exename, program);
    const std::string last = reading.Last().second;
    EXPECT_EQ(last, c.warning.empty() ? "Tasks in ini O.K." : "Warning: in ini found these risks:\r\n" + c.warning);
  }
}

}  // namespace
}  // namespace tavro

#include "service/service_query_posix.h"

#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "testing/temp_dir.h"

namespace tavro {
namespace {

TEST(ServiceQueryPosix, StartAccountIsTheUnitsUserOrRoot) {
  const struct {
    const char* unit;
    const char* account;
  } cases[] = {
      {"", "root"},
      {"[Unit]\nDescription=x\n[Service]\nType=notify\nExecStart=/opt/tavro/tavrorun\n", "root"},
      {"[Service]\nUser=launcher\n", "launcher"},
      {"[Service]\r\n  User = launcher \r\n", "launcher"},
      {"[Service]\nUser=first\nUser=second\n", "second"},
      {"[Service]\nUser=launcher\nUser=\n", "root"},
      {"[Unit]\nUser=elsewhere\n[Install]\nUser=elsewhere\n", "root"},
      {"[Service]\n#User=commented\n;User=commented\nUserName=other\n", "root"},
  };
  for (const auto& c : cases) EXPECT_EQ(UnitStartAccount(c.unit), c.account) << c.unit;
}

TEST(ServiceQueryPosix, ServiceIsRegisteredWhenItsUnitIsInstalledAndManageable) {
  testutil::TempDir folder;
  const std::string unitFolder = folder.Path().string();
  EXPECT_FALSE(QueryServiceUnit(unitFolder).registeredAndOpenable);

  testutil::WriteFileBytes(ServiceUnitPath(unitFolder), "[Service]\nUser=launcher\n");
  const ServiceQuery answers = QueryServiceUnit(unitFolder);
  if (geteuid() != 0) {
    EXPECT_FALSE(answers.registeredAndOpenable);  // only root may manage a system unit
    return;
  }
  EXPECT_TRUE(answers.registeredAndOpenable);
  EXPECT_EQ(answers.startAccount, "launcher");
  EXPECT_EQ(answers.userName, getpwuid(0)->pw_name);
}

}  // namespace
}  // namespace tavro

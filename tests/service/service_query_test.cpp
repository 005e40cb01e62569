#include "service/service_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavro {
namespace {

struct RunModeCase {
  ServiceQuery answers;
  bool expected;
  std::vector<std::string> log;
};

TEST(RunsAsService, DecidesOnTheServiceAndLogsHow) {
  const RunModeCase cases[] = {
      {{false, "", ""}, false, {"Start as Program"}},
      {{false, "LocalSystem", "admin"}, false, {"Start as Program"}},
      {{true, "LocalSystem", "SYSTEM"}, true, {"ServiceStartName SYSTEM", "Start as Service", "UserName SYSTEM"}},
      {{true, "localSYSTEM", "admin"}, true, {"ServiceStartName SYSTEM", "Start as Service", "UserName admin"}},
      {{true, ".\\launcher", "admin"}, true, {"ServiceStartName .\\launcher", "Start as Service", "UserName admin"}},
      {{true, "LocalSystem2", "admin"}, true, {"ServiceStartName LocalSystem2", "Start as Service", "UserName admin"}},
      // the configuration query failed after the service was opened
      {{true, "", "admin"}, true, {"ServiceStartName ", "Start as Service", "UserName admin"}},
  };
  for (const RunModeCase& c : cases) {
    std::vector<std::string> log;
    EXPECT_EQ(RunsAsService(c.answers, [&](const std::string& entry) { log.push_back(entry); }), c.expected)
        << c.answers.startAccount;
    EXPECT_EQ(log, c.log) << c.answers.startAccount;
  }
}

}  // namespace
}  // namespace tavro

#include "sources/sql_parameters.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(SqlParameters, NamedParametersBecomeMarkersInOrder) {
  const struct {
    const char* sql;
    const char* marked;
    std::vector<std::string> names;
  } cases[] = {
      {"select val from pd where tag=:tag and ts between :pred and :po",
       "select val from pd where tag=? and ts between ? and ?", {"tag", "pred", "po"}},
      {"select value from piarchive.piavg where tag=:tag and time between :pred and :po",
       "select value from piarchive.piavg where tag=? and time between ? and ?", {"tag", "pred", "po"}},
      // Colons inside literals and quoted names, casts and lone colons stay as they are.
      {"select ':x', \"a:b\" from t where ts > '10:00'::time and n=:n_1", "select ':x', \"a:b\" from t where ts > '10:00'::time and n=?",
       {"n_1"}},
      {"select 'it''s :no' from t where a=:a", "select 'it''s :no' from t where a=?", {"a"}},
      {"a : b :1 :", "a : b :1 :", {}},
  };
  for (const auto& c : cases) {
    const MarkedSql marked = MarkParameters(c.sql);
    EXPECT_EQ(marked.text, c.marked);
    EXPECT_EQ(marked.names, c.names) << c.sql;
  }
}

}  // namespace
}  // namespace tavro

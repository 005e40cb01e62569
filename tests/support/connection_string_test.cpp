#include "support/connection_string.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(ConnectionString, ValuesThatWouldEndEarlyAreBraced) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain value", "plain value"}, {"", ""},         {"a;b", "{a;b}"},   {"a}b", "{a}}b}"},
      {"{a", "{{a}"},                 {" a", "{ a}"},   {"a=b", "a=b"},
  };
  for (const auto& [value, written] : cases) EXPECT_EQ(OdbcValue(value), written) << value;
}

TEST(ConnectionString, SplitsIntoPairsAsWritten) {
  struct Pair {
    std::string key, value, text;
    bool operator==(const ConnectionPair& p) const { return key == p.key && value == p.value && text == p.text; }
  };
  const struct {
    const char* text;
    std::vector<Pair> pairs;
  } cases[] = {
      {"DSN=x;UID=y", {{"DSN", "x", "DSN=x"}, {"UID", "y", "UID=y"}}},
      {" Driver = {A;B} ;;PWD={p}}w};", {{"Driver", "A;B", " Driver = {A;B} "}, {"PWD", "p}w", "PWD={p}}w}"}}},
      {"Trusted_Connection", {{"Trusted_Connection", "", "Trusted_Connection"}}},
      {"PWD={never closed", {{"PWD", "never closed", "PWD={never closed"}}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::vector<ConnectionPair> pairs = SplitConnectionString(c.text);
    ASSERT_EQ(pairs.size(), c.pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) EXPECT_TRUE(c.pairs[i] == pairs[i]) << pairs[i].text;
  }
}

TEST(ConnectionString, PasswordsAreMaskedWhereverTheyAppear) {
  const struct {
    const char* text;
    const char* connection;
    const char* masked;
  } cases[] = {
      {"login of u with s3cret refused", "UID=u;PWD=s3cret", "login of u with ***** refused"},
      {"cannot use Driver={D};PWD={pa;ss}}}", "Driver={D};PWD={pa;ss}}}", "cannot use Driver={D};PWD=*****"},
      {"pa;ss} twice: pa;ss}", "pwd={pa;ss}}}", "***** twice: *****"},
      {"Password=abc;DSN=x", "DSN=x;Password=abc", "Password=*****;DSN=x"},
      {"no password here", "DSN=x;PWD=", "no password here"},
      // A short password hides only itself, never the inside of a word.
      {"[01000] Can't open lib 'D' (p): päss or p_1", "PWD=p", "[01000] Can't open lib 'D' (*****): päss or p_1"},
      {"s3crets are not s3cret.", "PWD=s3cret", "s3crets are not *****."},
      {"FATAL: password authentication failed", "PWD=p", "FATAL: password authentication failed"},
      // A value after a password key is masked whatever it is, as far as a connection string reads it.
      {"'DSN=x;PWD = other pass ;UID=u' and Pwd={a;b}}c}, password=\r\nnext", "",
       "'DSN=x;PWD = ***** ;UID=u' and Pwd=*****, password=\r\nnext"},
      {"OldPWD=k;PWDS=k", "", "OldPWD=k;PWDS=k"},
  };
  for (const auto& c : cases) EXPECT_EQ(MaskPasswords(c.text, c.connection), c.masked) << c.text;
}

}  // namespace
}  // namespace tavro

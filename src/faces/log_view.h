#pragma once
// The last entries of the day's log, for a window that shows them (newest last): the lines the
// log file already holds when the window opens, then every entry the log writes while it is open.

#include <cstddef>
#include <deque>
#include <ostream>
#include <streambuf>
#include <string>

namespace tavro {

class LogView final : private std::streambuf {
 public:
  static constexpr std::size_t kMaxLines = 500;

  LogView() : stream_(this) {}
  LogView(const LogView&) = delete;
  LogView& operator=(const LogView&) = delete;

  // Takes the last lines of `file` (its end only: a day's log can be long); a missing file adds
  // nothing.
  void Seed(const std::string& file);

  // Where the log echoes its entries (DailyLogFile::EchoTo).
  std::ostream& Stream() { return stream_; }

  // Whole lines, tabs expanded to every 8th column and control characters shown as "?".
  const std::deque<std::string>& Lines() const { return lines_; }

 private:
  int overflow(int c) override;
  void AddChar(char c);
  void EndLine();

  std::ostream stream_;
  std::deque<std::string> lines_;
  std::string open_;  // the line being written
};

}  // namespace tavro

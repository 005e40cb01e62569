#pragma once
// What a gate value below 0 stands for when the read got no value of the tag: none was found in its
// window, the source failed, or the read ran out of time. A closed gate and a failed read both hold
// the task; the log and the status tell them apart by this.

#include <string>

#include "support/date_time.h"

namespace tavro {

struct ReadFailure {
  // "no value was found from A to B", "the read timed out after N s", or the source's own words
  // ("MSSQL error: ..."): what the status says of the hold.
  std::string reason;
  bool ofTheSource = false;  // the reason is the source's error

  // What the log's "NOT launched" entry adds: the reason, an error "the source failed: ...".
  std::string Meaning() const { return ofTheSource ? "the source failed: " + reason : reason; }
};

// A window of one instant is "at T".
ReadFailure NoValueFound(DateTime from, DateTime to);
ReadFailure SourceFailed(std::string why);
ReadFailure ReadTimedOut(int seconds);

}  // namespace tavro

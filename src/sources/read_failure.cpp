#include "sources/read_failure.h"

#include "support/date_time_text.h"

namespace tavro {

ReadFailure NoValueFound(DateTime from, DateTime to) {
  if (from == to) return {"no value was found at " + DateTimeText(to)};
  return {"no value was found from " + DateTimeText(from) + " to " + DateTimeText(to)};
}

ReadFailure SourceFailed(std::string why) { return {std::move(why), true}; }

ReadFailure ReadTimedOut(int seconds) { return {"the read timed out after " + std::to_string(seconds) + " s"}; }

}  // namespace tavro

#pragma once
// Which events reach the alert program: a night's failing pump every minute is one call, not sixty.
// One alert per event and job within the quiet minutes; those held back are counted into the next
// one told.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "support/log_sink.h"

namespace tavro {

class AlertQuiet {
 public:
  // Whether the event of `job` at `steadyMs` (a clock that never jumps) is told. When it is: how
  // many of the same event and job were held back since the last one told.
  std::optional<std::uint64_t> Pass(LogEvent event, const std::string& job, std::int64_t steadyMs,
                                    std::int32_t quietMinutes);

 private:
  struct Told {
    std::int64_t at = 0;
    std::uint64_t heldBack = 0;
  };
  std::map<std::pair<LogEvent, std::string>, Told> told_;
};

}  // namespace tavro

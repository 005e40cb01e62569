#include "sources/pi_reader.h"

#include <limits>

#include "support/date_time_text.h"
#include "support/text.h"
#include "support/time_zone.h"

namespace tavro {

std::optional<std::int32_t> PiTime(DateTime time) {
  const std::int64_t sinceEpoch = time.ms - kUnixEpochMs;
  std::int64_t seconds = sinceEpoch / kMsPerSecond;
  std::int64_t remainder = sinceEpoch % kMsPerSecond;
  if (remainder < 0) {
    remainder += kMsPerSecond;
    --seconds;
  }
  if (remainder > kMsPerSecond / 2 || (remainder == kMsPerSecond / 2 && seconds % 2 != 0)) ++seconds;
  if (seconds < std::numeric_limits<std::int32_t>::min() || seconds > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(seconds);
}

double PiReader::Read(const GateRequest& request) {
  return ReadPiValue(request.task.runningtag, settings_.PiHost, settings_.PiUser, settings_.PiPassword,
                     request.slotTime);
}

double PiReader::ReadPiValue(const std::string& tag, const std::string& host, const std::string& user,
                             const std::string& password, DateTime time) {
  Debug(std::string("Call for Pi sample") + kLineBreak + "tag=" + tag + kLineBreak + "host=" + host + kLineBreak +
            "user=" + user + kLineBreak + "time=" + DateTimeText(time),
        true);
  return ReadThisWay(tag, host, user, password, time);
}

}  // namespace tavro

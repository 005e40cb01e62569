#include <ctime>

#include "support/time_zone.h"

namespace tavro {

// glibc keeps the zone's rules itself.
struct SystemTimeZone::Rules {};

int SystemTimeZone::SystemOffsetMinutesAt(std::int64_t instant) const {
  const std::time_t seconds = static_cast<std::time_t>(instant >= 0 ? instant / 1000 : -((-instant + 999) / 1000));
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
}

// localtime_r reads the zone once; tzset reads TZ, or /etc/localtime when it changed, again.
std::string SystemTimeZone::SystemZoneIdentity() {
  tzset();
  return std::string(tzname[0]) + "/" + tzname[1] + "/" + std::to_string(timezone);
}

}  // namespace tavro

#include <sys/time.h>

#include <ctime>

#include "support/date_time.h"

namespace tavro {

DateTime LocalNow() {
  timeval now{};
  gettimeofday(&now, nullptr);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  return MakeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                      local.tm_sec, static_cast<int>(now.tv_usec / 1000));
}

}  // namespace tavro

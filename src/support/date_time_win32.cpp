#include <windows.h>

#include "support/date_time.h"

namespace tavro {

DateTime LocalNow() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return MakeDateTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
                      local.wMilliseconds);
}

}  // namespace tavro

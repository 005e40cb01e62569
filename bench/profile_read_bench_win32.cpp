// The Windows profile reader as the configuration's yardstick: reads every key of every job of a
// file one by one with GetPrivateProfileStringA, as a reader without a parsed copy must.
// Usage: profile_read_bench FILE.ini. Prints the milliseconds it took.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Family {
  const char* head;
  const char* prefix;
  const char* keys[9];
};

constexpr Family kFamilies[] = {
    {"pumps", "pump_", {"launchperiod", "phase", "intervallength", "averages", "recalculate", "exename", "source", "target", "tagfile"}},
    {"batches", "batch_", {"type", "day", "margins", "intervallength", "phase", "exename", "taskname", "exporttohistory", "exporttoexternal"}},
    {"tasks", "task_", {"launchperiod", "phase", "intervallength", "exename", "taskname", "exporttohistory", "exporttoexternal", "kordden", "runningtag"}},
    {"reports", "report_", {"minute", "hour", "day", "month", "dayofweek", "template", "length", nullptr, nullptr}},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* file = argv[1];
  char value[2048];
  const ULONGLONG start = GetTickCount64();
  for (const Family& family : kFamilies) {
    const int count = static_cast<int>(GetPrivateProfileIntA(family.head, "count", 0, file));
    for (int n = 1; n <= count; ++n) {
      const std::string section = family.prefix + std::to_string(n);
      for (const char* key : family.keys) {
        if (key != nullptr) GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, file);
      }
    }
  }
  std::printf("%llu\n", GetTickCount64() - start);
  return 0;
}

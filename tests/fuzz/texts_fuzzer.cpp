// The small text rules on any bytes: calendar patterns, integers, Base64, unquoting and the splitting
// of argument texts. Besides crashes and undefined behaviour it checks what each rule promises.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/unquote.h"
#include "jobs/report_calendar.h"
#include "schedule/launch_program.h"
#include "support/base64.h"
#include "support/date_time.h"
#include "support/text.h"

namespace {

using namespace tavro;

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

void CheckIntegers(const std::string& text) {
  const std::optional<std::int32_t> ini = ParseIniInteger(text);
  const std::optional<std::int32_t> decimal = ParseDecimal(text);
  // Whatever reads as a plain decimal reads the same as a configuration integer.
  if (decimal) Require(ini == decimal);
  // A number read back from its own text is the same number.
  if (ini) Require(ParseIniInteger(std::to_string(*ini)) == ini);
}

void CheckBase64(const std::string& text) {
  try {
    Require(Base64ToStr(text).size() <= text.size() / 4 * 3);
  } catch (const std::runtime_error&) {
    Require(text.size() % 4 != 0);
  }
}

void CheckArgumentTexts(const std::string& text) {
  Require(UnquoteValue(text).size() <= text.size());
  std::size_t letters = 0;
  for (const std::string& argument : SplitCommandLine(text)) letters += argument.size();
  Require(letters <= text.size());
}

// The pattern is tried on every value a field can meet, and on the ends of the integer range.
void CheckCalendar(const std::string& text) {
  for (const int value : {INT_MIN, -1, 0, 1, 7, 12, 29, 31, INT_MAX}) {
    FieldMatches(text, value, 31);
    FieldMatches(text, value, -1);
  }
  // Lines 1 to 3 are the day, month and day-of-week patterns.
  std::vector<std::string> fields{""};
  for (const char c : text) {
    if (c == '\n' && fields.size() < 3) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  fields.resize(3);
  for (const DateTime date : {MakeDateTime(2024, 2, 29), MakeDateTime(2023, 12, 31, 23, 59), MakeDateTime(1900, 1, 1),
                              MakeDateTime(9999, 12, 31)}) {
    CalendarMatches(fields[0], fields[1], fields[2], date);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckIntegers(text);
  CheckBase64(text);
  CheckArgumentTexts(text);
  CheckCalendar(text);
  return 0;
}

// The floors of writing a long launch preview: the same number of lines of the same shapes, with
// none of the scheduling behind them. The lines of one day of a real preview are the template; they
// are repeated day after day with the date advancing until LINES lines are written.
// Usage: plan_print_floor hand|printf TEMPLATE LINES   (output on standard output)
//   hand:   every date and time written digit by digit into a large buffer, written in big blocks.
//   printf: one printf per line.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A template line: its time of day, and what follows the date and time (TAB, kind, ...).
struct Shape {
  int hour, minute, second;
  std::string rest;
};

struct Date {
  int year, month, day;
};

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

Date NextDay(Date date) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int days = kDays[date.month - 1] + (date.month == 2 && LeapYear(date.year) ? 1 : 0);
  if (++date.day > days) {
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return date;
}

// "YYYY-MM-DD HH:MM:SS" at the start of each line; other lines (a heading) are not launches.
bool ReadTemplate(const char* path, Date& first, std::vector<Shape>& shapes) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return false;
  char line[4096];
  while (std::fgets(line, sizeof line, file)) {
    Date date{};
    Shape shape{};
    int used = 0;
    if (std::sscanf(line, "%4d-%2d-%2d %2d:%2d:%2d%n", &date.year, &date.month, &date.day, &shape.hour,
                    &shape.minute, &shape.second, &used) != 6) {
      continue;
    }
    if (shapes.empty()) first = date;
    shape.rest.assign(line + used);
    if (!shape.rest.empty() && shape.rest.back() == '\n') shape.rest.pop_back();
    shapes.push_back(shape);
  }
  std::fclose(file);
  return !shapes.empty();
}

char* TwoDigits(char* out, int value) {
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
  return out + 2;
}

void ByHand(Date date, const std::vector<Shape>& shapes, long lines) {
  constexpr std::size_t kBlock = 1 << 20;
  std::vector<char> buffer(kBlock + 8192);
  std::size_t used = 0;
  for (long written = 0; written < lines; date = NextDay(date)) {
    for (std::size_t i = 0; i < shapes.size() && written < lines; ++i, ++written) {
      const Shape& shape = shapes[i];
      char* out = buffer.data() + used;
      out = TwoDigits(out, date.year / 100);
      out = TwoDigits(out, date.year % 100);
      *out++ = '-';
      out = TwoDigits(out, date.month);
      *out++ = '-';
      out = TwoDigits(out, date.day);
      *out++ = ' ';
      out = TwoDigits(out, shape.hour);
      *out++ = ':';
      out = TwoDigits(out, shape.minute);
      *out++ = ':';
      out = TwoDigits(out, shape.second);
      std::memcpy(out, shape.rest.data(), shape.rest.size());
      out += shape.rest.size();
      *out++ = '\n';
      used = static_cast<std::size_t>(out - buffer.data());
      if (used >= kBlock) {
        std::fwrite(buffer.data(), 1, used, stdout);
        used = 0;
      }
    }
  }
  std::fwrite(buffer.data(), 1, used, stdout);
}

void WithPrintf(Date date, const std::vector<Shape>& shapes, long lines) {
  for (long written = 0; written < lines; date = NextDay(date)) {
    for (std::size_t i = 0; i < shapes.size() && written < lines; ++i, ++written) {
      const Shape& shape = shapes[i];
      std::printf("%04d-%02d-%02d %02d:%02d:%02d%s\n", date.year, date.month, date.day, shape.hour, shape.minute,
                  shape.second, shape.rest.c_str());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool hand = argc == 4 && std::strcmp(argv[1], "hand") == 0;
  if (argc != 4 || (!hand && std::strcmp(argv[1], "printf") != 0)) {
    std::fprintf(stderr, "usage: plan_print_floor hand|printf TEMPLATE LINES\n");
    return 2;
  }
  Date first{};
  std::vector<Shape> shapes;
  if (!ReadTemplate(argv[2], first, shapes)) {
    std::fprintf(stderr, "plan_print_floor: no launch lines in %s\n", argv[2]);
    return 1;
  }
  const long lines = std::atol(argv[3]);
  if (hand) {
    ByHand(first, shapes, lines);
  } else {
    WithPrintf(first, shapes, lines);
  }
  return 0;
}

#include "tavrocheck/plan_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr double kLabelWidth = 330;  // kind, number, name and gate of each row
constexpr double kCountWidth = 70;   // the launches of each row, right of the timeline
constexpr double kHeaderHeight = 100;
constexpr double kRowHeight = 18;
constexpr double kMarkHeight = 12;
constexpr double kCharWidth = 6.2;  // an average character of the 11-pixel sans-serif font
constexpr double kMarkSpacing = 4;  // marks closer than this on average make a row dense

// Text as XML takes it: markup characters escaped, and bytes that are not UTF-8 (a name in another
// code page) or control characters replaced, so that one odd name does not spoil the picture.
std::string XmlText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&text](std::size_t at) { return at < text.size() ? static_cast<unsigned char>(text[at]) : 0; };
    const unsigned char c = byte(i);
    const std::size_t length = c < 0x80                ? 1
                               : c >= 0xC2 && c <= 0xDF ? 2
                               : c >= 0xE0 && c <= 0xEF ? 3
                               : c >= 0xF0 && c <= 0xF4 ? 4
                                                        : 0;
    // The second byte's range rules out overlong forms, surrogates and code points beyond U+10FFFF.
    const unsigned char low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    bool valid = length > 0 && (length == 1 || (byte(i + 1) >= low && byte(i + 1) <= high));
    for (std::size_t k = 2; valid && k < length; ++k) valid = byte(i + k) >= 0x80 && byte(i + k) <= 0xBF;
    if (!valid || (c < 0x20 && c != '\t')) {
      out += '?';
      ++i;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

// At most `width` pixels of text, cut with an ellipsis (counted in bytes: short enough for any text).
std::string Fitted(const std::string& text, double width) {
  const auto most = static_cast<std::size_t>(std::max(1.0, width / kCharWidth));
  if (text.size() <= most) return text;
  std::size_t cut = most - 1;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return text.substr(0, cut) + "\xE2\x80\xA6";
}

std::string Number(double value) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.1f", value);
  return text.data();
}

std::string Plural(int count, const char* one) { return std::to_string(count) + " " + one + (count == 1 ? "" : "es"); }

// How many hours the grid labels: the smallest step whose labels do not touch.
int LabelStep(double pixelsPerHour) {
  for (const int step : {1, 2, 3, 6, 12}) {
    if (step * pixelsPerHour >= 40) return step;
  }
  return 24;
}

struct Geometry {
  DateTime start;
  DateTime end;
  double pixelsPerHour;
  double X(DateTime time) const {
    return kLabelWidth + static_cast<double>(time.ms - start.ms) * pixelsPerHour / static_cast<double>(kMsPerHour);
  }
  double Right() const { return X(end); }
};

// Launches of one job at consecutive ticks: the launcher making up slots it missed.
struct Burst {
  std::size_t first;
  std::size_t last;
};

std::vector<Burst> BurstsOf(const std::vector<LaunchMark>& marks) {
  std::vector<Burst> bursts;
  for (std::size_t i = 0; i < marks.size();) {
    std::size_t j = i;
    while (j + 1 < marks.size() && marks[j + 1].tick == marks[j].tick + 1) ++j;
    if (j > i) bursts.push_back({i, j});
    i = j + 1;
  }
  return bursts;
}

// The clock hour a time lies in, counted from the hour the plan starts in.
std::size_t HourIndex(DateTime time, DateTime start) {
  return static_cast<std::size_t>((time.ms - (start.ms - start.ms % kMsPerHour)) / kMsPerHour);
}

// Launches per clock hour, a burst counted once: a row is dense when its marks would run together.
bool Dense(const PlannedJob& job, const Geometry& geometry, const std::vector<Burst>& bursts) {
  std::vector<int> perHour;
  std::size_t burst = 0;
  for (std::size_t i = 0; i < job.marks.size(); ++i) {
    if (burst < bursts.size() && i > bursts[burst].first && i <= bursts[burst].last) {
      if (i == bursts[burst].last) ++burst;
      continue;
    }
    const std::size_t hour = HourIndex(job.marks[i].time, geometry.start);
    if (perHour.size() <= hour) perHour.resize(hour + 1);
    if (++perHour[hour] * kMarkSpacing > geometry.pixelsPerHour) return true;
  }
  return false;
}

class Picture {
 public:
  Picture(const RecordedPlan& plan, const std::string& title)
      : plan_(plan),
        geometry_{plan.start, AddHours(plan.start, plan.hours),
                  plan.hours <= 24 ? 60.0 : std::max(12.0, 1440.0 / plan.hours)},
        title_(title) {}

  std::string Draw() {
    const double rowsEnd = kHeaderHeight + kRowHeight * static_cast<double>(plan_.jobs.size());
    const double width = geometry_.Right() + kCountWidth;
    const double height = rowsEnd + 120;
    svg_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width) + "\" height=\"" +
           Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
    svg_ += "<style type=\"text/css\"><![CDATA[\n"
            "text{font-family:sans-serif;font-size:11px;fill:#222}\n"
            ".title{font-size:14px;font-weight:bold} .note{fill:#8a4b00} .kind{font-weight:bold}\n"
            ".gate{fill:#8a4b00;font-style:italic} .small{font-size:9px}\n"
            ".hour{stroke:#e4e4e4} .label{stroke:#c4c4c4} .midnight{stroke:#777} line.change{stroke:#c0392b}\n"
            "text.change{fill:#c0392b}\n"
            ".pump{fill:#1f5fa8} .batch{fill:#2e8b3e} .task{fill:#7b3fa0} .report{fill:#a0522d}\n"
            ".gated .launch{fill-opacity:0.45} .burst{fill:#ffb347;stroke:#d2691e}\n"
            ".count{fill-opacity:0.25} .stripe{fill:#f6f6f6}\n"
            "]]></style>\n"
            "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    Header();
    for (std::size_t row = 0; row < plan_.jobs.size(); ++row) Row(plan_.jobs[row], kHeaderHeight + kRowHeight * row);
    Grid(kHeaderHeight - 6, rowsEnd);
    ClockChanges(kHeaderHeight - 6, rowsEnd);
    Legend(rowsEnd + 22);
    return svg_ + "</svg>\n";
  }

 private:
  void Text(double x, double y, const std::string& text, const std::string& cls = "", const char* anchor = nullptr) {
    svg_ += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"" + (cls.empty() ? "" : " class=\"" + cls + "\"") +
            (anchor != nullptr ? std::string(" text-anchor=\"") + anchor + "\"" : "") + ">" + XmlText(text) +
            "</text>\n";
  }
  void Rect(double x, double y, double width, double height, const std::string& cls, const std::string& title = "") {
    svg_ += "<rect class=\"" + cls + "\" x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" + Number(width) +
            "\" height=\"" + Number(height) + "\"" +
            (title.empty() ? "/>\n" : "><title>" + XmlText(title) + "</title></rect>\n");
  }
  void Line(double x, double top, double bottom, const char* cls) {
    svg_ += "<line class=\"" + std::string(cls) + "\" x1=\"" + Number(x) + "\" y1=\"" + Number(top) + "\" x2=\"" +
            Number(x) + "\" y2=\"" + Number(bottom) + "\"/>\n";
  }

  void Header() {
    int launches = 0;
    bool gated = false;
    for (const PlannedJob& job : plan_.jobs) {
      launches += job.launches;
      gated = gated || !job.gateTag.empty();
    }
    Text(8, 20, "Launches of " + title_, "title");
    Text(8, 36, Plural(launches, "launch") + " of " + std::to_string(plan_.jobs.size()) + " jobs in " +
                    std::to_string(plan_.hours) + " hours from " + IsoDateTimeText(plan_.start) +
                    ", as a launcher started then with -A would start them");
    if (gated) Text(8, 52, "Gated tasks are drawn as if every gate were open: they may launch less often.", "note");
    Text(geometry_.Right() + 6, kHeaderHeight - 26, "launches");
  }

  void Grid(double top, double bottom) {
    const int step = LabelStep(geometry_.pixelsPerHour);
    const DateTime firstHour{plan_.start.ms - plan_.start.ms % kMsPerHour + kMsPerHour};
    // The start's date, unless the first midnight's stands close by.
    const DateTime firstMidnight = AddDays(StartOfDay(plan_.start), 1);
    if (firstMidnight >= geometry_.end || geometry_.X(firstMidnight) - kLabelWidth > 110) {
      Text(kLabelWidth, top - 20, IsoDateTimeText(plan_.start, false) + " " + DayName(plan_.start));
    }
    for (DateTime hour = firstHour; hour < geometry_.end; hour = AddHours(hour, 1)) {
      const CivilDateTime civil = ToCivil(hour);
      const double x = geometry_.X(hour);
      const bool midnight = civil.hour == 0;
      const bool labelled = civil.hour % step == 0;
      Line(x, top, bottom, midnight ? "midnight" : labelled ? "label" : "hour");
      if (midnight) Text(x + 3, top - 20, IsoDateTimeText(hour, false) + " " + DayName(hour));
      if (labelled) Text(x, top - 4, FormatDateTime("hh\":\"nn", hour), "small", "middle");
    }
  }

  // Where local time jumps (daylight saving), a red line at the local time the clock jumped to,
  // the change told in its title and beside it.
  void ClockChanges(double top, double bottom) {
    for (const ClockChange& change : plan_.clockChanges) {
      const double x = geometry_.X(change.to.local);
      svg_ += "<line class=\"change\" x1=\"" + Number(x) + "\" y1=\"" + Number(top) + "\" x2=\"" + Number(x) +
              "\" y2=\"" + Number(bottom) + "\"><title>" + XmlText(ClockChangeEntry(change)) + "</title></line>\n";
      Text(x + 3, bottom + 12, ClockChangeEntry(change).substr(std::string("The clock moved from ").size()), "change small");
    }
  }

  static std::string DayName(DateTime date) {
    constexpr std::array<const char*, 7> kNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return kNames[static_cast<std::size_t>(DayOfWeek(date) - 1)];
  }

  void Row(const PlannedJob& job, double top) {
    const bool gated = !job.gateTag.empty();
    const std::string row = job.kind + " " + std::to_string(job.number);
    if (static_cast<int>((top - kHeaderHeight) / kRowHeight) % 2 == 1) {
      Rect(0, top, geometry_.Right() + kCountWidth, kRowHeight, "stripe");
    }
    svg_ += "<g class=\"" + job.kind + (gated ? " gated" : "") + "\">\n";
    const double baseline = top + kRowHeight - 5;
    Text(6, baseline, row, "kind");
    const std::string gate = gated ? "gated by " + job.gateTag : "";
    const double gateWidth = gated ? kCharWidth * static_cast<double>(std::min<std::size_t>(gate.size(), 28)) : 0;
    Text(70, baseline, Fitted(job.name, kLabelWidth - 80 - gateWidth));
    if (gated) Text(kLabelWidth - 6, baseline, Fitted(gate, gateWidth), "gate", "end");
    Text(geometry_.Right() + 6, baseline, std::to_string(job.launches));

    const std::vector<Burst> bursts = BurstsOf(job.marks);
    const double markTop = top + (kRowHeight - kMarkHeight) / 2;
    for (const Burst& burst : bursts) {
      const DateTime first = job.marks[burst.first].time;
      const DateTime last = job.marks[burst.last].time;
      const double x = geometry_.X(first);
      const double width = std::max(6.0, geometry_.X(last) - x + 4);
      const int count = static_cast<int>(burst.last - burst.first + 1);
      Rect(x - 2, markTop - 2, width, kMarkHeight + 4, "burst",
           row + ": " + std::to_string(count) + " launches at consecutive ticks, catching up, from " +
               IsoDateTimeText(first) + " to " + IsoDateTimeText(last));
      Text(x + width, baseline, std::to_string(count) + "\xC3\x97", "small");
    }
    if (Dense(job, geometry_, bursts)) {
      HourCounts(job, row, markTop);
    } else {
      for (const LaunchMark& mark : job.marks) {
        // On whole pixels: a mark between two would be drawn as two pale ones.
        Rect(std::round(geometry_.X(mark.time)) - 1, markTop, 2, kMarkHeight, "launch",
             row + " at " + IsoDateTimeText(mark.time));
      }
    }
    svg_ += "</g>\n";
  }

  // A row too dense for marks: one cell per clock hour, as dark as its share of the busiest hour.
  void HourCounts(const PlannedJob& job, const std::string& row, double markTop) {
    std::vector<int> perHour;
    for (const LaunchMark& mark : job.marks) {
      const std::size_t hour = HourIndex(mark.time, plan_.start);
      if (perHour.size() <= hour) perHour.resize(hour + 1);
      ++perHour[hour];
    }
    const DateTime firstHour{plan_.start.ms - plan_.start.ms % kMsPerHour};
    for (std::size_t hour = 0; hour < perHour.size(); ++hour) {
      if (perHour[hour] == 0) continue;
      const DateTime from = std::max(plan_.start, AddHours(firstHour, static_cast<std::int64_t>(hour)));
      const DateTime to = std::min(geometry_.end, AddHours(firstHour, static_cast<std::int64_t>(hour) + 1));
      const double x = geometry_.X(from);
      const double width = std::max(1.0, geometry_.X(to) - x - 1);
      const std::string count = std::to_string(perHour[hour]);
      Rect(x, markTop, width, kMarkHeight, "count",
           row + ": " + Plural(perHour[hour], "launch") + " from " + IsoDateTimeText(from) + " to " +
               FormatDateTime("hh\":\"nn", to));
      if (static_cast<double>(count.size()) * 5.5 + 2 <= width) {
        Text(x + width / 2, markTop + 9, count, "small", "middle");
      }
    }
  }

  void Legend(double top) {
    Text(8, top, "Legend", "kind");
    const double y = top + 18;
    svg_ += "<g class=\"pump\">\n";
    Rect(12, y - 10, 2, kMarkHeight, "launch");
    Text(22, y, "a launch at the tick that starts it (colour by kind:");
    svg_ += "</g>\n";
    double x = 22 + kCharWidth * 52;
    for (const char* kind : {"pump", "batch", "task", "report"}) {
      svg_ += "<g class=\"" + std::string(kind) + "\">\n";
      Rect(x, y - 10, 2, kMarkHeight, "launch");
      svg_ += "</g>\n";
      Text(x + 6, y, kind);
      x += 6 + kCharWidth * 8;
    }
    Text(x, y, ")");
    svg_ += "<g class=\"task gated\">\n";
    Rect(12, y + 8, 2, kMarkHeight, "launch");
    svg_ += "</g>\n";
    Text(22, y + 18, "a launch of a gated task (its tag beside its name): the preview takes every gate as open");
    Rect(10, y + 25, 10, kMarkHeight + 4, "burst");
    Text(26, y + 36,
         "a catch-up burst: N\xC3\x97 launches at consecutive ticks, making up slots that passed unlaunched");
    svg_ += "<g class=\"task\">\n";
    Rect(8, y + 46, 14, kMarkHeight, "count");
    svg_ += "</g>\n";
    Text(15, y + 55, "7", "small", "middle");
    Text(26, y + 55, "a row too dense for single marks: its launches counted per clock hour");
    const int step = LabelStep(geometry_.pixelsPerHour);
    Text(8, y + 76, "The grid: a thin line each hour, a time every " +
                        (step == 1 ? std::string("hour") : std::to_string(step) + " hours") +
                        ", a dark line and the date at midnight; a red line where the clock changes (daylight saving).");
  }

  const RecordedPlan& plan_;
  Geometry geometry_;
  std::string title_;
  std::string svg_;
};

}  // namespace

std::string PlanPicture(const RecordedPlan& plan, const std::string& title) { return Picture(plan, title).Draw(); }

}  // namespace tavro

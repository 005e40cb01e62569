#include "tavrocheck/plan.h"

#include <streambuf>

#include "window/launch_preview.h"

namespace tavro {
namespace {

// Passes on the preview's lines whose second field (TAB-separated) is the chosen "KIND N".
class JobLines final : public std::streambuf {
 public:
  JobLines(std::ostream& out, const JobChoice& job)
      : out_(out), field_("\t" + job.kind + " " + std::to_string(job.number) + "\t") {}

  int passed() const { return passed_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    Take(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize i = 0; i < count; ++i) Take(text[i]);
    return count;
  }

 private:
  void Take(char c) {
    line_ += c;
    if (c != '\n') return;
    // The tick time has no TAB, so the first TAB opens the second field.
    if (line_.find(field_) == line_.find('\t')) {
      out_ << line_;
      ++passed_;
    }
    line_.clear();
  }

  std::ostream& out_;
  std::string field_;
  std::string line_;
  int passed_ = 0;
};

}  // namespace

bool PrintPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
               std::ostream& out, std::ostream& notes) {
  if (!job) return PreviewLaunches({iniFile, start, hours}, out);
  JobLines lines(out, *job);
  std::ostream filtered(&lines);
  const bool valid = PreviewLaunches({iniFile, start, hours}, filtered);
  if (valid && lines.passed() == 0) {
    notes << "tavrocheck: no launch of " << job->kind << " " << job->number << " in " << hours << " hours\n";
  }
  return valid;
}

}  // namespace tavro

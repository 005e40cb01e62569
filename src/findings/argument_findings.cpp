// Texts that go into a command line and do not come out of it as the one argument they were meant
// to be: a blank splits an unquoted value, a double quote opens or closes a quoted part, a
// backslash before a double quote escapes it. The launcher passes them on as they are; the program
// then sees other arguments than the engineer wrote, perhaps one that looks like a switch.

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

#include "config/job_sections.h"
#include "schedule/command_lines.h"
#include "schedule/launch_program.h"
#include "support/date_time_text.h"
#include "findings/findings.h"

namespace tavro {
namespace {

// Stands in for a value in a command line where a value of one plain word would be.
constexpr std::string_view kPlainWord = "\x1f";

using ArgumentsWith = std::function<std::string(const std::string& value)>;

std::string ArgumentList(const std::vector<std::string>& arguments) {
  std::string list;
  for (const std::string& argument : arguments) list += (list.empty() ? "\"" : " \"") + argument + "\"";
  return list.empty() ? "nothing" : list;
}

// Why the program sees other arguments, in the words an engineer can act on.
std::string Causes(const std::string& value, const std::string& line, const std::vector<std::string>& received) {
  std::vector<std::string> causes;
  if (value.find('"') != std::string::npos) causes.push_back("a double quote opens or closes a quoted part");
  // The value's own backslash before a quote, or its last backslash before the quote that closes it.
  const bool closedByQuote = line.find(value + "\"") != std::string::npos;
  if (value.find("\\\"") != std::string::npos || (closedByQuote && value.back() == '\\')) {
    causes.push_back("a backslash before a double quote makes the quote an ordinary character");
  }
  if (value.find_first_of(" \t") != std::string::npos) causes.push_back("blanks separate arguments");
  for (std::size_t i = 1; i < received.size(); ++i) {
    if (!received[i].empty() && (received[i].front() == '/' || received[i].front() == '-')) {
      causes.push_back("\"" + received[i] + "\" looks to the program like a switch of its own");
      break;
    }
  }
  std::string text;
  for (const std::string& cause : causes) text += "; " + cause;
  return text;
}

// Without blanks or double quotes a value stays one word, whatever its backslashes.
// Tested a character at a time: a search for any of a set searches the set for every character.
bool StaysOneWord(const std::string& value) {
  return std::none_of(value.begin(), value.end(), [](char c) { return c == ' ' || c == '\t' || c == '"'; });
}

// Compares the arguments the program receives with those it would receive if `value` came through
// whole, and names the ones that differ.
std::optional<std::string> ArgumentProblem(const std::string& value, const ArgumentsWith& argumentsWith) {
  if (value.empty()) return std::nullopt;  // the reading's own error, or a value meant to be left out
  if (StaysOneWord(value)) return std::nullopt;
  // Quoted whole in a line without other quotes, a value without quotes or backslashes is one
  // argument too (a task's name, say): no need to split the line twice.
  if (std::none_of(value.begin(), value.end(), [](char c) { return c == '"' || c == '\\'; })) {
    const std::string line = argumentsWith(value);
    const std::size_t at = line.find("\"" + value + "\"");
    if (at != std::string::npos && (at == 0 || line[at - 1] != '\\') &&
        std::count(line.begin(), line.end(), '"') == 2) {
      return std::nullopt;
    }
  }
  std::vector<std::string> meant = SplitCommandLine(argumentsWith(std::string(kPlainWord)));
  for (std::string& argument : meant) {
    for (std::size_t at = argument.find(kPlainWord); at != std::string::npos;
         at = argument.find(kPlainWord, at + value.size())) {
      argument.replace(at, kPlainWord.size(), value);
    }
  }
  const std::string line = argumentsWith(value);
  const std::vector<std::string> received = SplitCommandLine(line);
  if (received == meant) return std::nullopt;

  // The differing stretch: what both lists share at their start and end is left out.
  std::size_t head = 0;
  while (head < meant.size() && head < received.size() && meant[head] == received[head]) ++head;
  std::size_t tail = 0;
  while (tail < meant.size() - head && tail < received.size() - head &&
         meant[meant.size() - 1 - tail] == received[received.size() - 1 - tail]) {
    ++tail;
  }
  const std::vector<std::string> gotten(received.begin() + static_cast<std::ptrdiff_t>(head),
                                        received.end() - static_cast<std::ptrdiff_t>(tail));
  const std::vector<std::string> wanted(meant.begin() + static_cast<std::ptrdiff_t>(head),
                                        meant.end() - static_cast<std::ptrdiff_t>(tail));
  return "\"" + value + "\" reaches the program as " + ArgumentList(gotten) + " instead of " +
         ArgumentList(wanted) + Causes(value, line, gotten);
}

void Check(Findings& findings, const std::string& section, const char* key, const std::string& value,
           const ArgumentsWith& argumentsWith) {
  if (std::optional<std::string> problem = ArgumentProblem(value, argumentsWith)) {
    findings.push_back({section, key, *problem});
  }
}

}  // namespace

void FindArgumentProblems(const CheckedFile& file, Findings& findings) {
  // Any time will do: times are written without blanks or quotes.
  const DateTime slot = file.now;
  const LauncherState& state = file.state;
  constexpr std::array<std::pair<const char*, std::string TPumpa::*>, 3> kFields{
      {{"source", &TPumpa::source}, {"target", &TPumpa::target}, {"tagfile", &TPumpa::tagfile}}};
  for (std::size_t i = 0; i < state.Pumps.Items.size(); ++i) {
    const TPumpa& pump = state.Pumps.Items[i];
    // Most pumps write plain words: no need for the copies of the pump below.
    if (std::all_of(kFields.begin(), kFields.end(), [&pump](const auto& f) { return StaysOneWord(pump.*f.second); })) {
      continue;
    }
    const std::string section = JobSectionName("pump_", i);
    const auto with = [slot](const TPumpa& others, std::string TPumpa::*field) {
      return [&others, slot, field](const std::string& value) {
        TPumpa changed = others;
        changed.*field = value;
        return PumpArguments(changed, slot);
      };
    };
    // Each value is judged beside the others as written, except those that fail on their own: one
    // stray quote would otherwise hide what the next value does.
    TPumpa plain = pump;
    for (const auto& [key, field] : kFields) plain.*field = "plain";
    TPumpa others = pump;
    for (const auto& [key, field] : kFields) {
      if (ArgumentProblem(pump.*field, with(plain, field))) others.*field = "plain";
    }
    for (const auto& [key, field] : kFields) Check(findings, section, key, pump.*field, with(others, field));
  }
  // A value judged as its record holds it needs no copy of the record: most are judged only so.
  for (std::size_t i = 0; i < state.Batches.Items.size(); ++i) {
    const TBec& batch = state.Batches.Items[i];
    Check(findings, JobSectionName("batch_", i), "taskname", batch.taskname, [&batch](const std::string& value) {
      if (value == batch.taskname) return BatchArguments(batch, "01.01.2000+00.00", "01.01.2000+00.00");
      TBec changed = batch;
      changed.taskname = value;
      return BatchArguments(changed, "01.01.2000+00.00", "01.01.2000+00.00");
    });
  }
  for (std::size_t i = 0; i < state.Tasks.Items.size(); ++i) {
    const TUkol& task = state.Tasks.Items[i];
    Check(findings, JobSectionName("task_", i), "taskname", task.taskname, [&task, slot](const std::string& value) {
      if (value == task.taskname) return TaskArguments(task, slot, kTaskTimePattern);
      TUkol changed = task;
      changed.taskname = value;
      return TaskArguments(changed, slot, kTaskTimePattern);
    });
  }
  for (std::size_t i = 0; i < state.Reports.Items.size(); ++i) {
    const TRepUkol& report = state.Reports.Items[i];
    Check(findings, JobSectionName("report_", i), "template", report.template_, [&report](const std::string& value) {
      TRepUkol changed = report;
      changed.template_ = value;
      return ReportArguments(changed);
    });
  }
}

}  // namespace tavro

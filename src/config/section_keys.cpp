#include "config/section_keys.h"

namespace tavro {
namespace {

template <class Record, std::size_t N>
std::vector<KeyDescription> Describe(const std::array<KeyRule<Record>, N>& rules) {
  std::vector<KeyDescription> keys;
  for (const KeyRule<Record>& rule : rules) {
    keys.push_back({std::string(rule.name), rule.Kind(), rule.sensible, rule.numberDefault});
  }
  return keys;
}

const KeyDescription kCount{"count", KeyKind::Integer, kNotNegative, 0};

}  // namespace

const std::vector<SectionDescription>& KnownSections() {
  static const std::vector<SectionDescription> sections{
      {"program",
       false,
       {{"mod", KeyKind::Text, kAnyValue},
        {"debug", KeyKind::Boolean, kAnyValue, 0},
        {"readtimeout", KeyKind::Integer, {1, kLongestReadTimeoutSeconds}, kDefaultReadTimeoutSeconds},
        {"warnings", KeyKind::Boolean, kAnyValue, 1},
        {"logexit", KeyKind::Boolean, kAnyValue, 0},
        {"resume", KeyKind::Integer, {0, kLongestResumeHours}, 0},
        {"retryheld", KeyKind::Integer, {0, kLongestRetryHeldMinutes}, 0},
        {"overlap", KeyKind::Text, kAnyValue},
        {"maxruntime", KeyKind::Integer, {0, kLongestMaxRunTimeMinutes}, 0},
        {"alert", KeyKind::Text, kAnyValue},
        {"alertquiet", KeyKind::Integer, {0, kLongestAlertQuietMinutes}, kDefaultAlertQuietMinutes},
        {"metricsfile", KeyKind::Text, kAnyValue}}},
      {"phd", false, Describe(kPhdKeys)},
      {"pi", false, Describe(kPiKeys)},
      {"ip21", false, Describe(kIp21Keys)},
      {"mssql", false, Describe(kMssqlKeys)},
      {"pumps", false, {kCount}},
      {"pump_", true, Describe(kPumpKeys)},
      {"batches", false, {kCount}},
      {"batch_", true, Describe(kBatchKeys)},
      {"tasks", false, {kCount}},
      {"task_", true, Describe(kTaskKeys)},
      {"reports", false, {kCount, {"exename", KeyKind::Text, kAnyValue}}},
      {"report_", true, Describe(kReportKeys)},
  };
  return sections;
}

}  // namespace tavro

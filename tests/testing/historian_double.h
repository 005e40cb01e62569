#pragma once
// The stand-ins of the PHD and PI SDK servers (testing/historian_objects.h) as the readers meet
// them: on Linux behind a factory of the tests, on Windows as the test suite's automation server,
// registered in the wine prefix and created by COM like the real ones.

#include <memory>
#include <string>
#include <vector>

#include "sources/automation.h"

namespace tavro::testutil {

class HistorianDouble {
 public:
  virtual ~HistorianDouble() = default;
  // What the readers create their objects with.
  virtual AutomationFactory& Factory() = 0;
  virtual void Control(const std::string& text) = 0;
  virtual void LetGo() = 0;  // the calls of held members go on
  virtual std::vector<std::string> Journal() = 0;
  virtual int LiveObjects() = 0;
};

std::unique_ptr<HistorianDouble> MakeHistorianDouble();

}  // namespace tavro::testutil

#pragma once
// The fake PI API library the tests build (tests/libraries/fake_piapi.cpp), in folders of its own
// below the tests' bin folder so that the launcher's own lookup never finds it by chance.

#include <memory>
#include <string>
#include <vector>

#include "sources/dynamic_library.h"

namespace tavro::testutil {

// "complete", or a build without some names: "without_two" (pipt_wildcardsearch and
// piar_replacevalue), "without_summary" (piar_summary), "without_connect_value" (piut_connect and
// piar_value).
std::string FakePiApiPath(const std::string& variant);

// The complete fake, as the binding loads it from the same path: its answers and its journal.
class FakePiApi {
 public:
  FakePiApi();
  void Control(const std::string& text);
  std::vector<std::string> Journal() const;

 private:
  std::unique_ptr<DynamicLibrary> library_;
  void (*control_)(const char*) = nullptr;
  const char* (*journal_)() = nullptr;
};

}  // namespace tavro::testutil

#pragma once
// Records what the launcher would start instead of starting it.

#include <string>
#include <vector>

#include "schedule/launch_program.h"

namespace tavro::testutil {

struct StartedProgram {
  std::string program;
  std::string arguments;
  std::string directory;
  std::uint16_t showMode;
};

class RecordingStarter final : public ProgramStarter {
 public:
  int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
             std::uint16_t showMode) override {
    started.push_back({program, arguments, directory, showMode});
    return result;
  }

  std::vector<StartedProgram> started;
  int result = 0;  // what every start returns
};

}  // namespace tavro::testutil

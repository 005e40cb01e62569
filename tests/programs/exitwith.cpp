// Ends as told by its arguments: "N" exits with code N at once; "wait FILE" waits until FILE
// exists in its working folder (at most a minute), then exits 0.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "testing/poll.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::string(argv[1]) == "wait" && argc > 2) {
    tavro::testutil::Eventually([&] { return std::filesystem::exists(argv[2]); });
    return 0;
  }
  return std::atoi(argv[1]);
}

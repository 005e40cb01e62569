// Appends COUNT stamped entries "TAG n" to FILE through the log, as fast as it can, so that tests
// can run several writers against one file at once.

#include <cstdlib>
#include <iostream>
#include <string>

#include "support/log_file.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: logwriter FILE TAG COUNT\n";
    return 2;
  }
  const std::string file = argv[1];
  const std::string tag = argv[2];
  const int count = std::atoi(argv[3]);
  for (int i = 0; i < count; ++i) {
    tavro::AppendToLogFile(file, tavro::FormatLogEntry(tag + " " + std::to_string(i), true, tavro::LocalNow()));
  }
  return 0;
}

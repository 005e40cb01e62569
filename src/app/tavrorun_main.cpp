#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/launcher_program.h"

int main(int argc, char** argv) {
  const int exitCode = tavro::RunLauncher(tavro::ParametersOf(argc, argv));
  // Everything of the launcher's own has ended with RunLauncher. A read given up may still wait in a
  // driver on a thread of its own, though, and the libraries' clean-up at exit (OpenSSL's, the ODBC
  // driver's) would take their state from under it: the process ends without that clean-up.
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

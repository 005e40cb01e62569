#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "tavrocheck/output.h"

namespace tavro {

void UseBinaryStandardOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
  // The C runtime leaves standard output unbuffered when it is not a console, and the standard
  // streams pass every character on to it: one system call per byte without a buffer of its own.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
}

}  // namespace tavro

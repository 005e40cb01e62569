#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "tavrocheck/output.h"

namespace tavro {

void UseBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace tavro

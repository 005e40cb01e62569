#include "tavrocheck/output.h"

namespace tavro {

void UseBinaryStandardOutput() {}  // streams never translate line ends here

}  // namespace tavro

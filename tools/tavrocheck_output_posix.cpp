#include "tavrocheck_output.h"

namespace tavro {

void UseBinaryStandardOutput() {}  // streams never translate line ends here

}  // namespace tavro

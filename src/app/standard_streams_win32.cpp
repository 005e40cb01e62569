#include "app/standard_streams.h"

namespace tavro {

void SecureStandardStreams() {}

}  // namespace tavro

#include "support/file_access.h"

namespace tavro {

bool OthersMayWrite(const std::string& /*path*/) { return false; }
bool OthersMayRead(const std::string& /*path*/) { return false; }

}  // namespace tavro

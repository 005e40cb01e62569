#pragma once
// Whether accounts other than the launcher's own (and the administrator's) may change or read a
// file: a configuration others can rewrite makes them choose what the launcher runs, with its
// rights.

#include <string>

namespace tavro {

// A missing file gives false. On Windows nothing is judged (the file's access list is the
// administrators' business) and both give false.
bool OthersMayWrite(const std::string& path);
bool OthersMayRead(const std::string& path);

}  // namespace tavro

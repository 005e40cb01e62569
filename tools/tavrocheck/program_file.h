#pragma once
// Whether the launcher could start a program path as a job's "exename" gives it, by the rules of
// this platform's program start.

#include <optional>
#include <string>

namespace tavro {

// What stands in the way of starting the program, or nothing.
std::optional<std::string> ProgramFileProblem(const std::string& program);

}  // namespace tavro

#pragma once
// The keys the rules of a reading found in the sections of one parsed file, kept for the readings
// after it while the file stays as it was: a preview reads an unchanged file again at every
// simulated hour, and looking up every key of every job again was a tenth of the preview.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavro {

// What a key rule found in a section: the key's value, none when it is missing. Views the file's
// bytes.
using TakenValue = std::optional<std::string_view>;

// By the section's name as the reading gives it, the values of its rules in their order.
using TakenValues = std::unordered_map<std::string, std::vector<TakenValue>>;

}  // namespace tavro

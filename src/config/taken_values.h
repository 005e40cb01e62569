#pragma once
// The keys the rules of a reading found in the sections of one parsed file, kept for the readings
// after it while the file stays as it was: a preview reads an unchanged file again at every
// simulated hour, and looking up every key of every job again was a third of each reading.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tavro {

// What a key rule found in a section: the key's value, none when it is missing. Views the file's
// bytes.
using TakenValue = std::optional<std::string_view>;

class TakenValues {
 public:
  // The values `rules` took from the file's section at `section` (its place among the sections),
  // or nullptr when none are kept.
  const TakenValue* Find(std::size_t section, const void* rules) const {
    if (section >= places_.size() || places_[section].rules != rules) return nullptr;
    return &values_[places_[section].first];
  }
  // Room for `count` values of that section and table, to be filled before the next Keep.
  TakenValue* Keep(std::size_t section, const void* rules, std::size_t count) {
    if (section >= places_.size()) places_.resize(section + 1);
    places_[section] = {rules, values_.size()};
    values_.resize(values_.size() + count);
    return &values_[places_[section].first];
  }
  void Clear() {
    places_.clear();
    values_.clear();
  }

 private:
  struct Place {
    const void* rules = nullptr;
    std::size_t first = 0;
  };
  std::vector<Place> places_;
  std::vector<TakenValue> values_;
};

}  // namespace tavro

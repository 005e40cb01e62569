#pragma once
// What a job's runs may do beside each other and for how long: its overlap policy and its run time
// limit, each from its own section or, when the section says nothing usable, from [program].

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavro {

// run: a slot is launched whatever the job's earlier runs do; skip: a slot whose job still runs is
// not launched; wait (tasks): the slot waits, the later ones behind it, until that run has ended.
enum class OverlapPolicy { Run, Skip, Wait };
inline constexpr std::array<const char*, 3> kOverlapNames{"run", "skip", "wait"};

// The policy a key's value names (letter case aside); none for any other text.
std::optional<OverlapPolicy> OverlapPolicyNamed(std::string_view value);

// The longest run time limit a key may give, in minutes: a year.
inline constexpr std::int32_t kLongestMaxRunTimeMinutes = 366 * 1440;
// What a job's "maxruntime" holds when its section leaves it to [program].
inline constexpr std::int32_t kMaxRunTimeAsProgram = -1;

struct JobControl {
  OverlapPolicy overlap = OverlapPolicy::Run;
  std::int32_t maxRunMinutes = 0;  // 0: no limit
};

// A job's own keys over the program's defaults. Only a task waits: the other kinds have no later
// slots to keep behind the one that waits, so they skip instead.
JobControl ControlOf(std::string_view overlap, std::int32_t maxruntime, const JobControl& program, bool task);

}  // namespace tavro

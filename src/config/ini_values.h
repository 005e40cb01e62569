#pragma once
// How the configuration file's values are written: what counts as a blank and how an integer is
// spelled. Shared by the file reader and the checks of the reading.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// The space and every control character count as blanks.
constexpr bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

std::string TrimBlanks(std::string_view text);

// A signed 32-bit integer written as a whole: optional leading blanks, an optional "+" or "-", then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow.
// No value when the text is not such a number or the number does not fit.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

}  // namespace tavro

#pragma once
// Decoder for the Base64 text in which the "phd" and "pi" passwords are stored.

#include <stdexcept>
#include <string>

namespace tavro {

// Position of the character in the standard alphabet; 61 for anything else, "=" included.
unsigned char Base64CharValue(char c);

// Decodes the text; throws std::runtime_error("Base64ToStr: illegal input length!") when the
// length is not 0 and not a multiple of 4 of at least 4.
std::string Base64ToStr(const std::string& text);

}  // namespace tavro

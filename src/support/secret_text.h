#pragma once
// Texts from outside the launcher (an error message of a historian) may echo what was sent to it,
// a password included; before such a text reaches the log the password is blanked out.

#include <string>
#include <string_view>

namespace tavro {

// The text with every whole occurrence of the secret replaced by "*****": one that neither goes on
// from a word before it nor runs into a word after it, so that a short password does not cut
// other words ("p" leaves "open" alone). Unchanged for an empty secret.
std::string WithoutSecret(std::string text, std::string_view secret);

}  // namespace tavro

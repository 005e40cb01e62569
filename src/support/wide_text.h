#pragma once
// The launcher's texts are bytes of the system's code page (the ANSI code page on Windows, UTF-8 on
// Linux); the database and automation interfaces take UTF-16. A byte sequence the code page cannot
// read becomes U+FFFD, and so does a lone surrogate on the way back, instead of failing.

#include <string>
#include <string_view>

namespace tavro {

std::u16string ToWideText(std::string_view text);
std::string FromWideText(std::u16string_view text);

}  // namespace tavro

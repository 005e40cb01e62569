#pragma once
// UTF-8 by code point: what the status record (JSON) and, on Linux, the database and automation
// interfaces need of it.

#include <string>
#include <string_view>

namespace tavro {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point of the UTF-8 sequence at `at`, which moves past it. A malformed sequence (a stray
// continuation byte, a cut or overlong sequence, a surrogate, beyond U+10FFFF) gives
// kReplacementCharacter, moves one byte and sets `malformed` when given.
char32_t NextCodePoint(std::string_view text, std::size_t& at, bool* malformed = nullptr);
void AppendUtf8(std::string& out, char32_t point);

bool IsUtf8(std::string_view text);

// Valid UTF-8 as it is; any other text read as Latin-1, byte by byte.
std::string Utf8OrLatin1(std::string_view text);

// A text of the launcher (the configuration's bytes, in the system's code page) as UTF-8: on
// Windows converted from the ANSI code page, elsewhere as Utf8OrLatin1 gives it.
std::string Utf8FromSystemText(std::string_view text);

}  // namespace tavro

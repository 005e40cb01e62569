#include "support/utf8.h"

namespace tavro {

// The configuration is UTF-8 on a system of today; an older file is taken as Latin-1, the code page
// such files were written in.
std::string Utf8FromSystemText(std::string_view text) { return Utf8OrLatin1(text); }

}  // namespace tavro

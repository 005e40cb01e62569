#pragma once
// Program paths and names may be written in double quotes with more text after them
// ("C:\Program Files\pump.exe" /x); the reading keeps the quoted part.

#include <string>

namespace tavro {

// A value beginning with a double quote becomes the text up to the next lone double quote, each
// pair of double quotes inside turned into one. Without a closing quote it is the whole rest after
// the opening one. Any other value, or one whose quoted part is empty, stays as it is.
std::string UnquoteValue(const std::string& value);
// The same on the field itself; a value without a leading quote is left alone without a copy.
void Unquote(std::string& value);

}  // namespace tavro

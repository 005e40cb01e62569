#pragma once

namespace tavro {

// Standard output takes the bytes as written (the log's CR LF line ends stay as they are), in
// large writes rather than one per character.
void UseBinaryStandardOutput();

}  // namespace tavro

#pragma once
// Runs one handler of the window so that a failure escaping it is reported and the loop goes on,
// as a window toolkit's own loop does.

#include <cstdio>
#include <exception>
#include <string>

namespace tavro {

// `report` receives the failure's message.
template <typename Handler, typename Report>
void Guarded(Handler handler, Report report) {
  try {
    handler();
  } catch (const std::exception& error) {
    report(std::string(error.what()));
  }
}

template <typename Handler>
void Guarded(Handler handler) {
  Guarded(handler, [](const std::string& message) { std::fprintf(stderr, "tavrorun: %s\n", message.c_str()); });
}

// The text of the box that shows such a failure: its message, with a "." appended when the last
// character's code is above that of "." (so a sentence gets its full stop, while "... failed." or
// "code 5)" stay as they are).
std::string FailureBoxText(const std::string& message);

}  // namespace tavro

#pragma once
// Runs one handler of the window so that a failure escaping it is reported and the loop goes on,
// as a window toolkit's own loop does.

#include <cstdio>
#include <exception>

namespace tavro {

// `report` receives the failure's message: a dialog, the system log, standard error.
template <typename Handler, typename Report>
void Guarded(Handler handler, Report report) {
  try {
    handler();
  } catch (const std::exception& error) {
    report(error.what());
  }
}

template <typename Handler>
void Guarded(Handler handler) {
  Guarded(handler, [](const char* message) { std::fprintf(stderr, "tavrorun: %s\n", message); });
}

}  // namespace tavro

#pragma once
// Runs one handler of the window so that a failure escaping it is reported and the loop goes on,
// as a window toolkit's own loop does.

#include <cstdio>
#include <exception>

namespace tavro {

template <typename Handler>
void Guarded(Handler handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavrorun: %s\n", error.what());
  }
}

}  // namespace tavro

// Tries to take the single-instance lock of the name given as its argument: exits 0 when it got
// it, 1 when it did not.

#include "app/single_instance.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  return tavro::AcquireSingleInstance(argv[1]).state == tavro::InstanceLockState::Held ? 0 : 1;
}

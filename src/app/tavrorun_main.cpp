#include "app/launcher_program.h"

int main(int argc, char** argv) { return tavro::RunLauncher(tavro::ParametersOf(argc, argv)); }

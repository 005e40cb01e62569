#pragma once
// Where the process looks for the libraries it loads by name at run time.

namespace tavro {

// Windows: the system's libraries (ODBC32, the COM libraries, and those they load by name in turn)
// come from the system folder only, never from the program's folder or the current one, where an
// account that may write there could plant a library of the same name and have it run with the
// service's rights. Called first thing by every program. Linux: nothing to do; the dynamic loader
// looks in neither folder unless the environment or the program asks it to.
void LoadSystemLibrariesFromSystemFolder();

}  // namespace tavro

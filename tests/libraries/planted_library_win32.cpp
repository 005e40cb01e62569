// A library an attacker plants under the name of one a program loads at run time (ODBC32.dll,
// piapi32.dll): should it ever be loaded, it leaves the file NAME.loaded beside itself.

#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  const std::string mark = std::string(path, length) + ".loaded";
  const HANDLE file = CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

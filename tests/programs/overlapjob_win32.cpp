// A launched job for the Windows overlap and limit test, told what to do by its /sN= argument (a
// pump's source): "sleepN" writes "start ARGUMENTS" to runs.txt in its working folder, sleeps N
// seconds and writes "end"; "hang" starts itself as "child", writes both process ids to pids.txt,
// and waits for good; the child writes to alive-PID.txt each second for good.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Append(const char* file, const std::string& line) {
  if (FILE* out = std::fopen(file, "a")) {
    std::fprintf(out, "%s\n", line.c_str());
    std::fclose(out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode, all;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word.rfind("/sN=", 0) == 0) mode = word.substr(4);
    all += (i > 1 ? " " : "") + word;
  }
  if (argc > 1 && std::string(argv[1]) == "child") {
    const std::string alive = "alive-" + std::to_string(GetCurrentProcessId()) + ".txt";
    for (;;) {
      Append(alive.c_str(), "x");
      Sleep(1000);
    }
  }
  if (mode.rfind("sleep", 0) == 0) {
    Append("runs.txt", "start " + all);
    Sleep(static_cast<DWORD>(std::atoi(mode.c_str() + 5)) * 1000);
    Append("runs.txt", "end " + all);
    return 0;
  }
  if (mode != "hang") return 2;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string commandLine = std::string("\"") + self + "\" child";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
    return 3;
  }
  Append("pids.txt", std::to_string(GetCurrentProcessId()) + " " + std::to_string(child.dwProcessId));
  Sleep(INFINITE);
}

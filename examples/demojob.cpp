// A stand-in for the plant's batch programs: appends one line with its arguments and its working
// folder to demo-output.txt in its working folder, so a demo shows what the launcher started.

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  std::string line;
  const std::time_t now = std::time(nullptr);
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  line += stamp;
  line += "  folder=" + std::filesystem::current_path().string() + "  args:";
  for (int i = 1; i < argc; ++i) line += std::string(" [") + argv[i] + "]";
  std::ofstream out("demo-output.txt", std::ios::app);
  out << line << '\n';
  return out ? 0 : 1;
}

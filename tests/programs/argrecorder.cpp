// Records how it was started: writes its working folder and then each argument after the program
// name, one per line, to args.txt in its working folder. The file appears whole (written aside,
// then renamed), so a test that polls for it never reads half of it.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::current_path(error);
  if (error) return 2;
  const fs::path aside = folder / ("args.txt." + std::to_string(std::random_device()()));
  {
    std::ofstream out(aside, std::ios::binary | std::ios::trunc);
    out << folder.string() << '\n';
    for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
    if (!out) return 1;
  }
  fs::rename(aside, folder / "args.txt", error);
  return error ? 1 : 0;
}

// Records how it was started: writes its working folder and then each argument after the program
// name, one per line, to args.txt in its working folder. The file appears whole (written aside,
// then renamed), so a test that polls for it never reads half of it. Started as
// `argrecorder --append=FILE ARGS...`, it appends the other arguments instead, as one line
// separated by tabs, to FILE in its working folder, so that every start of it stays on record.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::current_path(error);
  if (error) return 2;
  const std::string append = "--append=";
  if (argc > 1 && std::string(argv[1]).rfind(append, 0) == 0) {
    std::string line;
    for (int i = 2; i < argc; ++i) line += (i > 2 ? "\t" : "") + std::string(argv[i]);
    std::ofstream out(folder / std::string(argv[1]).substr(append.size()), std::ios::binary | std::ios::app);
    out << line + "\n" << std::flush;
    return out ? 0 : 1;
  }
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

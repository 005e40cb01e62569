// Ends as told by its arguments: "N" exits with code N at once; "wait FILE" waits until FILE
// exists in its working folder (at most a minute), then exits 0.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::string(argv[1]) == "wait" && argc > 2) {
    for (int i = 0; i < 600 && !std::filesystem::exists(argv[2]); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
  }
  return std::atoi(argv[1]);
}

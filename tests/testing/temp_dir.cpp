#include "testing/temp_dir.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace tavro::testutil {

namespace fs = std::filesystem;

TempDir::TempDir() {
  // Tests of both builds may run in parallel in the same temporary folder.
  std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("tavro-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no fresh temporary folder under " + base.string());
}

TempDir::~TempDir() {
  std::error_code error;
  // A read-only file left by a test would otherwise keep Windows from removing it.
  for (const auto& entry : fs::recursive_directory_iterator(path_, error)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
  }
  fs::remove_all(path_, error);
}

std::string TempDir::File(const std::string& name) const { return (path_ / name).string(); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tavro::testutil

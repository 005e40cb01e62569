#pragma once
// A fresh folder for one test, removed with everything in it when the test ends, and the few file
// operations tests need to set up and inspect what the code under test writes.

#include <filesystem>
#include <string>

namespace tavro::testutil {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Full path of `name` inside the folder, in the platform's own spelling.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// The file's bytes as they are (no line-end translation); "" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Replaces the file's content with exactly these bytes.
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace tavro::testutil

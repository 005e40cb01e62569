#pragma once
// Keeps a parsed configuration file while it stays as it was. The preview re-reads the file at every
// simulated hour, thousands of times a second; the launcher itself reads it afresh each time.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "config/ini_file.h"
#include "config/taken_values.h"

namespace tavro {

class IniFileCache {
 public:
  // The file at `path`, parsed again only when its size or modification time changed.
  const IniFile& Get(const std::string& path, std::string& problem);
  // Whether `file` is the one Get gives, and what the readings took from it so far (emptied
  // whenever the file is parsed again).
  bool Holds(const IniFile& file) const { return &file == &file_; }
  TakenValues& Kept() { return kept_; }

 private:
  struct Stamp {
    std::uintmax_t size;
    std::filesystem::file_time_type modified;
    bool operator==(const Stamp&) const = default;
  };
  static std::optional<Stamp> StampOf(const std::string& path);

  std::string path_;
  std::optional<Stamp> stamp_;
  IniFile file_;
  std::string problem_;
  TakenValues kept_;
};

}  // namespace tavro

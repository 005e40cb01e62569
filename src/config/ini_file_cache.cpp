#include "config/ini_file_cache.h"

namespace tavro {

std::optional<IniFileCache::Stamp> IniFileCache::StampOf(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return Stamp{size, modified};
}

const IniFile& IniFileCache::Get(const std::string& path, std::string& problem) {
  const std::optional<Stamp> stamp = StampOf(path);
  if (!stamp || path != path_ || stamp != stamp_) {
    path_ = path;
    stamp_ = stamp;
    file_ = IniFile::Load(path, &problem_);
    kept_.clear();
  }
  problem = problem_;
  return file_;
}

}  // namespace tavro

// The launch preview on any configuration: the real reading and timer cycle over two simulated
// hours that cross a day and a month end. The bytes go to a file in a private temporary folder,
// which is removed when the fuzzer ends; the preview's lines are discarded. Large tables are left to
// the reading's fuzzer: re-read every hour, they would make each input take seconds here.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

#include "app/launch_preview.h"
#include "config/ini_file.h"
#include "support/date_time.h"

namespace {

class PrivateFolder {
 public:
  PrivateFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavro-preview-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) __builtin_trap();
    path_ = pattern;
  }
  ~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Discards what is written without formatting costs beyond the stream's own.
class NullBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

constexpr std::int64_t kMostJobs = 100;

std::int64_t JobsOf(const std::uint8_t* data, std::size_t size) {
  const tavro::IniFile ini = tavro::IniFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  std::int64_t jobs = 0;
  for (const char* family : {"pumps", "batches", "tasks", "reports"}) jobs += ini.ReadInteger(family, "count", 0);
  return jobs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (JobsOf(data, size) > kMostJobs) return -1;  // not kept in the corpus
  static const PrivateFolder folder;
  static const std::string iniFile = folder.File("tavrorun.ini");
  {
    std::ofstream out(iniFile, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  NullBuffer discarded;
  std::ostream out(&discarded);
  tavro::PreviewLaunches({iniFile, tavro::MakeDateTime(2024, 2, 29, 23, 1, 30), 2}, out);
  return 0;
}

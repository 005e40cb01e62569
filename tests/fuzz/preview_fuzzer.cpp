// The launch preview on any configuration: the real reading and timer cycle over two simulated
// hours that cross a day and a month end. The bytes go to a file in a private temporary folder,
// which is removed when the fuzzer ends; the preview's lines are discarded.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

#include "config/ini_file.h"
#include "support/date_time.h"
#include "table_size.h"
#include "window/launch_preview.h"

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

// The file is read again every hour; each job is also walked at every tick.
constexpr std::int64_t kMostJobs = 100;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (tavro::fuzzing::TableSize(tavro::IniFile::Parse(std::string(text))) > kMostJobs) return -1;  // not kept in the corpus
  static const PrivateFolder folder;
  static const std::string iniFile = folder.File("tavrorun.ini");
  {
    std::ofstream out(iniFile, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  NullBuffer discarded;
  std::ostream out(&discarded);
  tavro::PreviewLaunches({iniFile, tavro::MakeDateTime(2024, 2, 29, 23, 1, 30), 2}, out);
  return 0;
}

#include "testing/fake_pi_api.h"

#include <filesystem>
#include <stdexcept>

#include "sources/pi_api_binding.h"
#include "support/process_path.h"
#include "testing/journal_lines.h"

namespace tavro::testutil {

std::string FakePiApiPath(const std::string& variant) {
  const std::filesystem::path folder = FolderOf(CurrentExecutablePath());
  return (folder / "piapi" / variant / SystemPiApiLibrary(".").reportName).string();
}

FakePiApi::FakePiApi() : library_(DynamicLibrary::Load(FakePiApiPath("complete"))) {
  if (!library_) throw std::runtime_error("cannot load " + FakePiApiPath("complete"));
  control_ = reinterpret_cast<void (*)(const char*)>(library_->Find("fakepiapi_control"));
  journal_ = reinterpret_cast<const char* (*)()>(library_->Find("fakepiapi_journal"));
  Control("");
}

void FakePiApi::Control(const std::string& text) { control_(text.c_str()); }

std::vector<std::string> FakePiApi::Journal() const { return JournalLines(journal_()); }

}  // namespace tavro::testutil

#include <windows.h>

#include <stdexcept>

#include "sources/dynamic_library.h"
#include "support/process_path.h"
#include "testing/historian_double.h"
#include "testing/journal_lines.h"

namespace tavro::testutil {
namespace {

// The test suite's automation server (tests/libraries/historian_server_win32.cpp), beside the tests.
class RegisteredHistorian final : public HistorianDouble {
 public:
  RegisteredHistorian() {
    const std::string path = FolderOf(CurrentExecutablePath()) + "\\historian_server.dll";
    server_ = DynamicLibrary::Load(path);
    if (!server_) throw std::runtime_error("cannot load " + path);
    // The same registration regsvr32 makes: HKLM of the test prefix, where COM looks for it.
    const auto registerServer = reinterpret_cast<HRESULT (*)()>(server_->Find("DllRegisterServer"));
    if (FAILED(registerServer())) throw std::runtime_error("cannot register " + path);
    control_ = reinterpret_cast<void (*)(const char*)>(server_->Find("historian_control"));
    journal_ = reinterpret_cast<const char* (*)()>(server_->Find("historian_journal"));
    live_ = reinterpret_cast<int (*)()>(server_->Find("historian_live_objects"));
    letGo_ = reinterpret_cast<void (*)()>(server_->Find("historian_let_go"));
    Control("");  // the server stays loaded from one test to the next
  }

  AutomationFactory& Factory() override { return com_; }
  void Control(const std::string& text) override { control_(text.c_str()); }
  void LetGo() override { letGo_(); }
  std::vector<std::string> Journal() override { return JournalLines(journal_()); }
  int LiveObjects() override { return live_(); }

 private:
  std::unique_ptr<DynamicLibrary> server_;
  void (*control_)(const char*);
  const char* (*journal_)();
  int (*live_)();
  void (*letGo_)();
  SystemAutomation com_;
};

}  // namespace

std::unique_ptr<HistorianDouble> MakeHistorianDouble() { return std::make_unique<RegisteredHistorian>(); }

}  // namespace tavro::testutil

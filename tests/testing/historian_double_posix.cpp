#include "sources/phd_reader.h"
#include "sources/pi_sdk_reader.h"
#include "testing/historian_double.h"
#include "testing/historian_objects.h"

namespace tavro::testutil {
namespace {

// Creation as COM would answer it: by the identifiers the servers are registered under.
class DirectHistorian final : public HistorianDouble, private AutomationFactory {
 public:
  AutomationFactory& Factory() override { return *this; }
  void Control(const std::string& text) override { objects_.Control(text); }
  void LetGo() override { objects_.LetGo(); }
  std::vector<std::string> Journal() override { return objects_.Journal(); }
  int LiveObjects() override { return objects_.LiveObjects(); }

 private:
  AutomationObjectRef CreateByProgId(const std::string& progId) override {
    if (progId != kPhdProgId) throw AutomationError("Invalid class string");
    return objects_.NewPhdData();
  }
  AutomationObjectRef CreateByClassId(const std::string& classId, const std::string& interfaceId) override {
    if (classId != kPiSdkClassId) throw AutomationError("Class not registered");
    if (interfaceId != kPiSdkInterfaceId) throw AutomationError("No such interface supported");
    return objects_.NewPiSdk();
  }

  HistorianObjects objects_;
};

}  // namespace

std::unique_ptr<HistorianDouble> MakeHistorianDouble() { return std::make_unique<DirectHistorian>(); }

}  // namespace tavro::testutil

#include "sources/automation.h"

namespace tavro {

AutomationApartment::AutomationApartment() = default;
AutomationApartment::~AutomationApartment() = default;

// There is no automation server on Linux: every creation fails with its reason, and the readers
// turn that into their failure value and log line.
AutomationObjectRef SystemAutomation::CreateByProgId(const std::string& progId) {
  throw AutomationError("Automation objects (COM) are not available on this platform: " + progId +
                        " cannot be created");
}

AutomationObjectRef SystemAutomation::CreateByClassId(const std::string& classId, const std::string&) {
  throw AutomationError("Automation objects (COM) are not available on this platform: class " + classId +
                        " cannot be created");
}

}  // namespace tavro

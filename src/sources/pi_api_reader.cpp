#include "sources/pi_api_reader.h"

#include "support/date_time_text.h"
#include "support/text.h"

namespace tavro {
namespace {

constexpr std::int32_t kInterpolatedMode = 1;     // the archive mode the reader asks for
constexpr const char* kProgramName = "tavrorun";  // what piut_connect is given, not the host

}  // namespace

bool PiApiReader::KeepReady() {
  const std::string report = api_.LoadPiApi();
  if (report.empty()) return true;
  log_.Entry("Initialization PI API with error" + std::string(kLineBreak) + report);
  return false;
}

double PiApiReader::ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                                const std::string& password, DateTime time) {
  Debug("using API", false);
  // Never a call through an empty slot: a Start between the tick's check and its tasks finds the
  // binding as incomplete as the check did.
  if (!api_.PiApiBound()) {
    const std::string report = api_.LoadPiApi();
    if (!report.empty()) {
      log_.Entry("Initialization PI API with error" + std::string(kLineBreak) + report);
      return -2.0;
    }
  }
  const PiApiCalls& pi = api_.Calls();
  if (pi.piut_connect(kProgramName) != 0) {
    Debug("piut_connect failed", false);
    return -2.0;
  }
  if (!user.empty()) {
    std::int32_t valid = 0;
    if (pi.piut_login(user.c_str(), password.c_str(), &valid) != 0 || valid < 1) {
      Debug("piut_login failed", false);
      return -3.0;
    }
  }
  if (pi.piut_setservernode(host.c_str()) != 0) {
    Debug("piut_setservernode failed", false);
    return -4.0;
  }
  std::int32_t point = 0;
  if (pi.pipt_findpoint(tag.c_str(), &point) != 0) {
    Debug("pipt_findpoint failed", false);
    return -5.0;
  }

  double result = kNoValueFound;
  if (std::optional<std::int32_t> piTime = PiTime(time)) {
    float value = 0;
    std::int32_t status = 0;
    if (pi.piar_value(point, &*piTime, kInterpolatedMode, &value, &status) != 0) {
      Debug("piar_value failed", false);
    } else {
      result = value;
      Debug("value=" + NumberText(result), false);
    }
  } else {
    // A wrapped time would ask the archive for another moment.
    log_.Entry("PI time out of range for tag " + tag + ": " + DateTimeText(time));
  }
  pi.piut_disconnect();
  return result;
}

}  // namespace tavro

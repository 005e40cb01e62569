#include "sources/pi_reader.h"

#include "support/date_time_text.h"
#include "support/text.h"

namespace tavro {

double PiReader::Read(const GateRequest& request) {
  return ReadPiValue(request.task.runningtag, settings_.PiHost, settings_.PiUser, settings_.PiPassword,
                     request.slotTime);
}

bool PiReader::KeepReady() {
  switch (settings_.PiAccess) {
    case kPiApi: {
      const std::string report = api_.LoadPiApi();
      if (report.empty()) return true;
      log_.Entry("Initialization PI API with error" + std::string(kLineBreak) + report);
      return false;
    }
    case kPiSdk:
      return InitPiSdk();
    default:
      return true;
  }
}

double PiReader::ReadPiValue(const std::string& tag, const std::string& host, const std::string& user,
                             const std::string& password, DateTime time) {
  Debug(std::string("Call for Pi sample") + kLineBreak + "tag=" + tag + kLineBreak + "host=" + host + kLineBreak +
            "user=" + user + kLineBreak + "time=" + DateTimeText(time),
        true);
  switch (settings_.PiAccess) {
    case kPiApi:
      return ReadThroughApi(tag, host, user, password, time);
    case kPiOleDb:
      return ReadThroughOleDb(tag, host, user, password, time);
    case kPiSdk:
      return ReadThroughSdk(tag, host, user, password, time);
    default:
      return -1.0;
  }
}

}  // namespace tavro

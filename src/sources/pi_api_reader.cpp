#include "sources/pi_api_reader.h"

#include <atomic>
#include <optional>
#include <string>

#include "support/date_time_text.h"
#include "support/text.h"

namespace tavro {
namespace {

constexpr std::int32_t kInterpolatedMode = 1;     // the archive mode the reader asks for
constexpr const char* kProgramName = "tavrorun";  // what piut_connect is given, not the host

// What one read asks of the library; the call owns it, as it may outlive the read.
struct PiApiSession {
  PiApiCalls pi;
  std::shared_ptr<std::mutex> inLibrary;
  std::shared_ptr<std::atomic<bool>> givenUp;
  std::string tag, host, user, password;
  std::optional<std::int32_t> piTime;
};

struct PiApiAnswer {
  double value = kNoValueFound;
  const char* failedStep = nullptr;  // the debug text of the step that failed
  bool timeOutOfRange = false;
  std::optional<bool> serverReached;  // none: the steps did not get as far as the server
};

PiApiAnswer Failed(double value, const char* step, std::optional<bool> serverReached = std::nullopt) {
  PiApiAnswer answer;
  answer.value = value;
  answer.failedStep = step;
  answer.serverReached = serverReached;
  return answer;
}

PiApiAnswer Ask(const PiApiSession& s) {
  const std::lock_guard<std::mutex> alone(*s.inLibrary);
  if (s.givenUp->load()) return {};
  if (s.pi.piut_connect(kProgramName) != 0) return Failed(-2.0, "piut_connect failed");
  if (!s.user.empty()) {
    std::int32_t valid = 0;
    if (s.pi.piut_login(s.user.c_str(), s.password.c_str(), &valid) != 0 || valid < 1) {
      return Failed(-3.0, "piut_login failed");
    }
  }
  if (s.pi.piut_setservernode(s.host.c_str()) != 0) return Failed(-4.0, "piut_setservernode failed", false);
  std::int32_t point = 0;
  if (s.pi.pipt_findpoint(s.tag.c_str(), &point) != 0) return Failed(-5.0, "pipt_findpoint failed", true);

  PiApiAnswer answer;
  answer.serverReached = true;
  if (s.piTime) {
    std::int32_t piTime = *s.piTime;
    float value = 0;
    std::int32_t status = 0;
    if (s.pi.piar_value(point, &piTime, kInterpolatedMode, &value, &status) != 0) {
      answer.failedStep = "piar_value failed";
    } else {
      answer.value = value;
    }
  } else {
    answer.timeOutOfRange = true;
  }
  s.pi.piut_disconnect();
  return answer;
}

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
      return Failed(-2.0, SourceFailed("Initialization PI API with error: " + report));
    }
  }
  const auto answer = std::make_shared<PiApiAnswer>();
  const auto givenUp = std::make_shared<std::atomic<bool>>(false);
  try {
    deadline_.Run(givenUp_, [session = PiApiSession{api_.Calls(), inLibrary_, givenUp, tag, host, user, password,
                                                    PiTime(time)},
                             answer] { *answer = Ask(session); });
  } catch (const ReadGivenUp&) {
    givenUp->store(true);
    throw;
  }
  if (answer->failedStep != nullptr) {
    Debug(answer->failedStep, false);
    NoteFailure(SourceFailed(std::string("PI API ") + answer->failedStep));
  }
  if (answer->serverReached == false) outage_.Lost();
  if (answer->serverReached == true) outage_.Answered();
  // A wrapped time would ask the archive for another moment.
  if (answer->timeOutOfRange) {
    log_.Entry("PI time out of range for tag " + tag + ": " + DateTimeText(time));
    NoteFailure(SourceFailed("PI time out of range: " + DateTimeText(time)));
  }
  if (answer->failedStep == nullptr && !answer->timeOutOfRange) Debug("value=" + NumberText(answer->value), false);
  return answer->value;
}

}  // namespace tavro

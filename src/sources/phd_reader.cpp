#include "sources/phd_reader.h"

#include "support/date_time_text.h"
#include "support/text.h"

namespace tavro {
namespace {

// One read's object: however the read ends, it logs out (when it logged in) and releases the object.
class PhdSession {
 public:
  PhdSession(AutomationObjectRef data, const std::string& user) : PhdData_(std::move(data)), user_(user) {}
  ~PhdSession() {
    if (!user_.empty()) {
      try {
        PhdData_->Call("Logout");
      } catch (...) {
        // A failed logout changes nothing for the read.
      }
    }
  }
  PhdSession(const PhdSession&) = delete;
  PhdSession& operator=(const PhdSession&) = delete;
  AutomationObject& Data() { return *PhdData_; }

 private:
  AutomationObjectRef PhdData_;
  const std::string& user_;
};

}  // namespace

double PhdReader::Read(const GateRequest& request) {
  return ReadPhdValue(request.task.runningtag, settings_.PhdHost, settings_.PhdUser, settings_.PhdPassword,
                      request.slotTime);
}

double PhdReader::ReadPhdValue(const std::string& tag, const std::string& host, const std::string& user,
                               const std::string& password, DateTime time) {
  if (settings_.DebugMode) {
    log_.Entry(std::string("PHD sampl") + kLineBreak + "tag=" + tag + kLineBreak + "host=" + host + kLineBreak +
               "user=" + user + kLineBreak + "time=" + DateTimeText(time));
  }
  AutomationObjectRef created;
  try {
    created = automation_.CreateByProgId(kPhdProgId);
  } catch (const std::exception& error) {
    log_.Write("CreateOleObject failed", false);
    return Failed(-2.0, SourceFailed(std::string("PHD CreateOleObject failed: ") + error.what()));
  }
  try {
    created->Put("UseRemoteAPI", true);
  } catch (...) {
    // Older servers lack it; the read goes on without.
  }

  PhdSession session(std::move(created), user);
  AutomationObject& phd = session.Data();
  // One step of the read: false, with its log line, when it failed.
  const auto step = [this](const std::string& failure, const auto& action) {
    try {
      action();
      return true;
    } catch (const std::exception& error) {
      log_.Write(failure, false);
      NoteFailure(SourceFailed("PHD " + failure + ": " + error.what()));
      return false;
    }
  };

  if (!step("HostName failed", [&] { phd.Put("HostName", host); })) return -3.0;
  if (!user.empty() && !step("Login failed", [&] { phd.Call("Login", {user, password}); })) return -4.0;
  if (!step("Tags.RemoveAll failed", [&] { ToObject(phd.Call("Tags"))->Call("RemoveAll"); })) return -5.0;
  if (!step("Tags.Add(" + tag + ") failed", [&] { ToObject(phd.Call("Tags"))->Call("Add", {tag}); })) return -6.0;
  if (!step("MinimumConfidence failed", [&] { phd.Put("MinimumConfidence", std::int32_t{0}); })) return -7.0;
  const auto sampleMethod = [&] {
    try {
      phd.Put("SampleMethod", "InterpolateRaw");
    } catch (...) {
      phd.Put("SampleMethod", "Snapshot");
    }
  };
  if (!step("InterpolateRaw and Snapshot failed", sampleMethod)) return -8.0;
  if (!step("EndTime failed", [&] { phd.Put("EndTime", time); })) return -9.0;
  if (!step("StartTime failed", [&] { phd.Put("StartTime", time); })) return -10.0;
  if (!step("Fetch failed", [&] { phd.Call("Fetch"); })) return -11.0;

  const AutomationObjectRef tagResult = ToObject(phd.Call("Tags", {tag}));
  AutomationValue first, second, third;
  if (!UnpackPhdTag(*tagResult, first, second, third, log_)) {
    return Failed(-1.0, SourceFailed("PHD UnpackResults and UnpackData failed"));
  }

  // The start and end time are the same instant: the last sample is the one at that instant.
  const std::int32_t last = ToArray(first).UpperBound();
  if (last < 0) return Failed(-1.0, NoValueFound(time, time));
  try {
    if (ToDouble(ToArray(third).At(last)) < 0) {
      log_.Entry("No value for " + tag + " on " + DateTimeText(time));
      return Failed(kNoValueFound, NoValueFound(time, time));
    }
    return ToDouble(ToArray(first).At(last));
  } catch (...) {
    // A sample that does not convert gives what no sample gives.
    return Failed(-1.0, SourceFailed("PHD gave a sample that is no number"));
  }
}

bool UnpackPhdTag(AutomationObject& tagObject, AutomationValue& first, AutomationValue& second,
                  AutomationValue& third, LogSink& log) {
  for (const char* member : {"UnpackResults", "UnpackData"}) {
    std::vector<AutomationValue> arrays{first, second, third};
    try {
      tagObject.CallByReference(member, arrays);
    } catch (...) {
      continue;
    }
    first = std::move(arrays[0]);
    second = std::move(arrays[1]);
    third = std::move(arrays[2]);
    return true;
  }
  log.Write("UnpackResults and UnpackData failed", false);
  return false;
}

}  // namespace tavro

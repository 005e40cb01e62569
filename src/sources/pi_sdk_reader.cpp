#include "sources/pi_sdk_reader.h"

#include "support/date_time_text.h"
#include "support/secret_text.h"
#include "support/text.h"

namespace tavro {
namespace {

constexpr std::int32_t kAutoRetrieval = 1;  // the retrieval type ArcValue is asked with

}  // namespace

bool PiSdkReader::InitPiSdk() {
  if (PiSdkReady_) return true;
  Debug("Initializing PI SDK interface", true);
  try {
    PiSdk_ = automation_.CreateByClassId(kPiSdkClassId, kPiSdkInterfaceId);
    PiSdkReady_ = true;
  } catch (const std::exception& error) {
    log_.Entry("PI SDK initialization error" + std::string(kLineBreak) + error.what());
    PiSdkReady_ = false;
  }
  return PiSdkReady_;
}

double PiSdkReader::ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                                const std::string& password, DateTime time) {
  Debug("using SDK", false);
  AutomationObjectRef server;
  try {
    if (!PiSdk_) throw AutomationError("PI SDK is not initialized");
    server = ToObject(ToObject(PiSdk_->Call("Servers"))->Call("Item", {host}));
  } catch (const std::exception& error) {
    log_.Entry("Servers collection error: " + WithoutSecret(error.what(), password));
    return Failed(-1.0, SourceFailed("PI SDK servers collection error: " + WithoutSecret(error.what(), password)));
  }

  // A password without a user is not sent.
  std::string connection;
  if (!user.empty()) {
    connection = "UID=" + user;
    if (!password.empty()) connection += ";PWD=" + password;
  }

  double result = -1.0;
  try {
    server->Call("Open", {connection});
    try {
      result = ReadOpenServer(*server, tag, password, time);
    } catch (...) {
      server->Call("Close");  // an error of Close replaces the one that brought it here
      throw;
    }
    server->Call("Close");
  } catch (const std::exception& error) {
    result = Failed(-3.0, SourceFailed("PI SDK server open error: " + WithoutSecret(error.what(), password)));
    log_.Entry("Server open error: " + WithoutSecret(error.what(), password));
  }
  return result;
}

double PiSdkReader::ReadOpenServer(AutomationObject& server, const std::string& tag, const std::string& password,
                                DateTime time) {
  AutomationObjectRef point;
  try {
    point = ToObject(ToObject(server.Call("PIPoints"))->Call("Item", {tag}));
  } catch (const std::exception& error) {
    log_.Entry("Point error: " + WithoutSecret(error.what(), password));
    return Failed(-5.0, SourceFailed("PI SDK point error: " + WithoutSecret(error.what(), password)));
  }
  // No asynchronous status object: the call waits for the value.
  const AutomationObjectRef value =
      ToObject(ToObject(point->Call("Data"))->Call("ArcValue", {time, kAutoRetrieval}));
  try {
    const double number = ToDouble(value->Call("Value"));
    Debug("value=" + NumberText(number), false);
    return number;
  } catch (...) {
    log_.Entry(tag + " has invalid value");
    return Failed(kNoValueFound, SourceFailed("PI SDK: " + tag + " has invalid value at " + DateTimeText(time)));
  }
}

}  // namespace tavro

#pragma once
// PI through its SDK (apiado=2): the SDK's root object, made once and held from one Start of the
// launcher to the next (each Start lets the reader go, automation_gate.h); each read opens the
// server, finds the point, reads its archive value and closes the server.

#include "sources/automation.h"
#include "sources/pi_reader.h"

namespace tavro {

// The PI SDK's root object (coclass PISDK) and the interface asked of it.
inline constexpr const char* kPiSdkClassId = "{3BCB2DC2-5F66-11D1-BD64-0060B0290178}";
inline constexpr const char* kPiSdkInterfaceId = "{3BCB2DC0-5F66-11D1-BD64-0060B0290178}";

class PiSdkReader final : public PiReader {
 public:
  PiSdkReader(const ProgramSettings& settings, LogSink& log, AutomationFactory& automation)
      : PiReader(settings, log), automation_(automation) {}

  // At every tick while this is the source: the root object made, or the launcher stops.
  bool KeepReady() override { return InitPiSdk(); }
  // Makes the root object when it is not ready; false (logged) when that fails.
  bool InitPiSdk();

 private:
  double ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                     const std::string& password, DateTime time) override;
  // Steps of an opened server: the point, its archive value at the time.
  double ReadOpenServer(AutomationObject& server, const std::string& tag, const std::string& password,
                        DateTime time);

  AutomationFactory& automation_;
  AutomationObjectRef PiSdk_;  // held from one successful InitPiSdk to the next
  bool PiSdkReady_ = false;
};

}  // namespace tavro

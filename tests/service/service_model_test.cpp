#include "service/service_model.h"

#include <gtest/gtest.h>

#include "sources/open_gates.h"
#include "support/simulated_clock.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// A host whose reports land in the launcher's log, so that one list shows their order; its work
// fails on request, as a raising Start or Stop would.
class RecordingHost final : public ServiceHostPort {
 public:
  explicit RecordingHost(testutil::RecordingLog& log) : log_(log) {}
  void ReportState(ServiceState state) override {
    static const char* const kNames[] = {"<start pending>", "<running>", "<stop pending>", "<stopped>"};
    log_.Write(kNames[static_cast<int>(state)], false);
  }
  void CutTickShort() override { log_.Write("<tick cut short>", false); }
  bool OnLauncherThread(const std::function<void()>& work, std::string& failure) override {
    if (failWork) {
      failure = "no memory";
      return false;
    }
    work();
    return true;
  }
  void ReportServiceFailure(const std::string& text) override { log_.Write("<failure> " + text, false); }
  bool failWork = false;

 private:
  testutil::RecordingLog& log_;
};

TEST(ServiceModel, StatesLogEntriesAndRequestsInTheirOrder) {
  const std::string valid = "[program]\r\nmod=kord\r\n[pumps]\r\ncount=1\r\n[pump_1]\r\nlaunchperiod=15\r\n"
                            "exename=/opt/tavro/pump\r\nsource=S\r\ntarget=T\r\ntagfile=f.txt\r\n";
  const struct {
    const char* name;
    std::string ini;
    bool startFails;
    std::vector<ServiceRequest> requests;
    bool stopFails;
    bool ends;  // what the last request answered
    std::vector<std::string> expected;
  } cases[] = {
      {"a service's life", valid, false, {ServiceRequest::Stop}, false, true,
       {"<start pending>", "Service is starting...", "Starting", "<running>", "<stop pending>", "<tick cut short>",
        "Service is stopping...", "Stopped", "<stopped>"}},
      {"an invalid file: the service runs with the launcher stopped", "[pumps]\r\ncount=1\r\n", false,
       {ServiceRequest::Interrogate}, false, false,
       {"<start pending>", "Service is starting...", "Stopped", "<running>", "<running>", "<stopped>"}},
      {"the system goes down: no Stop", valid, false, {ServiceRequest::Shutdown}, false, true,
       {"<start pending>", "Service is starting...", "Starting", "<running>", "<stop pending>", "<tick cut short>",
        "<stopped>"}},
      {"a failed stop: running again, and a later stop still stops", valid, false,
       {ServiceRequest::Stop, ServiceRequest::Stop}, true, true,
       {"<start pending>", "Service is starting...", "Starting", "<running>", "<stop pending>", "<tick cut short>",
        "<running>", "<failure> Service failed on stop: no memory", "<stop pending>", "<tick cut short>",
        "Service is stopping...", "Stopped", "<stopped>"}},
      {"a failed start: the service never runs", valid, true, {}, false, false,
       {"<start pending>", "<failure> Service failed on start: no memory", "<stopped>"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    testutil::WriteFileBytes(dir.File("tavrorun.ini"), c.ini);
    LauncherState state;
    testutil::RecordingLog log;
    SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
    testutil::RecordingStarter starter;
    OpenGates sources;
    ControlWindow window({state, log, clock, starter, sources}, {}, false);
    window.FormCreate(dir.File("tavrorun"));
    log.entries.clear();

    RecordingHost host(log);
    ServiceModel model(host, window, log);
    host.failWork = c.startFails;
    if (model.Start()) {
      bool ends = false;
      for (std::size_t i = 0; i < c.requests.size(); ++i) {
        host.failWork = c.stopFails && i == 0;
        ends = model.Handle(c.requests[i]);
      }
      EXPECT_EQ(ends, c.ends);
    }
    model.Ended();

    std::vector<std::string> timeline;
    for (const std::string& message : log.Messages()) {
      // The re-reading that Start makes of an invalid file is the window's own business.
      if (message.starts_with("Reading ini") || message.starts_with("In ini found")) continue;
      timeline.push_back(message);
    }
    EXPECT_EQ(timeline, c.expected);
  }
}

}  // namespace
}  // namespace tavro

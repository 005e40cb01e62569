#include "service/systemd_host_posix.h"

#include <poll.h>
#include <signal.h>

#include <iostream>
#include <string>

#include "service/notify_socket_posix.h"
#include "service/service_query.h"
#include "service/systemctl_posix.h"
#include "support/system_log_posix.h"
#include "window/signal_pipe_posix.h"
#include "window/window_loop.h"

namespace tavro {
namespace {

constexpr int kShutdownQueryPatienceMs = 5000;

// A stop request while the whole system goes down is the shutdown, which ends without Stop.
bool SystemIsStopping() {
  const SystemctlRun run = RunSystemctl({"is-system-running"}, kShutdownQueryPatienceMs);
  return run.ended && run.output.rfind("stopping", 0) == 0;
}

class ServiceFace final : public LoopFace {
 public:
  ServiceFace(ControlWindow& window, DailyLogFile& log, const std::string& notifyAddress)
      : window_(window), log_(log), notifier_(notifyAddress), identifier_(ExecutableIdentifier()) {
    runStatus_ = window.Running() ? "Running" : "Stopped";
  }

  // Service start: "Service is starting...", then the window's Start; the service runs whether or
  // not the launcher could start. False when Start failed, and the service does not run.
  bool Start() {
    bool started = true;
    tavro::Guarded(
        [&] {
          log_.Entry("Service is starting...");
          window_.StartAkceExecute();
        },
        [&](const std::string& message) {
          ServiceFailed("start", message);
          started = false;
        });
    if (started) ReportRunning();
    return started;
  }

  bool Visible() const override { return false; }  // a service's window is never shown
  void Hide() override {}
  // Requests wait for the end of the tick: they run between ticks only.
  void ProcessMessages() override {}

  // No window commands reach a service: only the stop request, which is carried out here.
  std::optional<Command> NextCommand(int milliseconds) override {
    pollfd wait{ControlSignalFd(), POLLIN, 0};
    if (poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
    // SIGUSR1, SIGUSR2 and SIGHUP are no service requests: taken so that they cannot end it.
    const int signalNumber = TakeControlSignal();
    if (signalNumber == SIGTERM || signalNumber == SIGINT) StopRequested();
    return std::nullopt;
  }

  void ReportFailure(const std::string& message) override { WriteSystemLog(identifier_, message); }

  void ServiceStatusChanged(Panel panel, const std::string& text) override {
    if (panel == Panel::Configuration) return;
    (panel == Panel::RunStatus ? runStatus_ : progress_) = text;
    Notify(StatusLine());
  }

 private:
  std::string StatusLine() const { return "STATUS=" + runStatus_ + (progress_.empty() ? "" : " | " + progress_); }

  void ReportRunning() { Notify("READY=1\n" + StatusLine()); }

  void StopRequested() {
    const bool shutdown = SystemIsStopping();
    Notify("STOPPING=1");
    if (!shutdown) {
      bool stopped = true;
      tavro::Guarded(
          [&] {
            log_.Entry("Service is stopping...");
            window_.StopAkceExecute();
          },
          [&](const std::string& message) {
            ServiceFailed("stop", message);
            stopped = false;
          });
      if (!stopped) {
        // The state before the request is reported again, and the service keeps running.
        ReportRunning();
        return;
      }
    }
    Close();
  }

  void ServiceFailed(const char* request, const std::string& message) {
    WriteSystemLog(kServiceName, std::string("Service failed on ") + request + ": " + message);
  }

  void Notify(const std::string& message) {
    std::string error;
    if (!notifier_.Notify(message, error)) WriteSystemLog(identifier_, "sd_notify " + message + ": " + error);
  }

  ControlWindow& window_;
  DailyLogFile& log_;
  ServiceNotifier notifier_;
  std::string identifier_;
  std::string runStatus_;
  std::string progress_;
};

}  // namespace

int RunSystemdService(ControlWindow& window, DailyLogFile& log) {
  const std::string notifyAddress = TakeNotifySocketAddress();
  if (notifyAddress.empty()) {
    const std::string failure =
        "The service process could not connect to the service manager: NOTIFY_SOCKET is not set. The service " +
        std::string(kServiceName) + " is installed; start it with: systemctl start " + kServiceName;
    std::cerr << "tavrorun: " << failure << std::endl;
    WriteSystemLog(ExecutableIdentifier(), failure);
    return 1;
  }
  ServiceFace face(window, log, notifyAddress);
  window.AttachFace(&face);
  if (!face.Start()) {
    window.AttachFace(nullptr);
    return 1;
  }
  return RunWindowLoop(window, face);
}

}  // namespace tavro

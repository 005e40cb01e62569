#include "service/systemd_host_posix.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "service/notify_socket_posix.h"
#include "service/service_model.h"
#include "service/service_query.h"
#include "service/service_query_posix.h"
#include "service/systemctl_posix.h"
#include "support/system_log_posix.h"
#include "window/signal_pipe_posix.h"
#include "window/window_loop.h"

namespace tavro {
namespace {

constexpr int kShutdownQueryPatienceMs = 5000;
// While the start waits, each message gives it this much more, and one goes at least this often.
constexpr std::int64_t kStartExtensionMs = 30000;
constexpr std::int64_t kStartExtendedEveryMs = 10000;

// A stop request while the whole system goes down is the shutdown, which ends without Stop.
bool SystemIsStopping() {
  const SystemctlRun run = RunSystemctl({"is-system-running"}, kShutdownQueryPatienceMs);
  return run.ended && run.output.rfind("stopping", 0) == 0;
}

class ServiceFace final : public LoopFace, private ServiceHostPort {
 public:
  ServiceFace(ControlWindow& window, DailyLogFile& log, const std::string& notifyAddress)
      : model_(*this, window, log), notifier_(notifyAddress), identifier_(ExecutableIdentifier()) {
    runStatus_ = window.Running() ? "Running" : "Stopped";
  }

  bool Start() { return model_.Start(); }
  void End() { model_.Ended(); }

  bool Visible() const override { return false; }  // a service's window is never shown
  void Hide() override {}
  // Requests wait for the end of the tick: they run between ticks only.
  void ProcessMessages() override {}
  bool TickCutShort() const override { return request_.has_value(); }

  // No window commands reach a service: only the stop request, which is carried out here.
  std::optional<Command> NextCommand(int milliseconds) override {
    if (!request_) request_ = WaitForRequest(milliseconds);
    // One that came during a tick is carried out when the tick, cut short, has ended.
    if (request_ && !InTick()) {
      const ServiceRequest request = *request_;
      request_.reset();
      if (model_.Handle(request)) Close();
    }
    return std::nullopt;
  }

  void ReportFailure(const std::string& message) override { WriteSystemLog(identifier_, message); }

  void ServiceStatusChanged(Panel panel, const std::string& text) override {
    if (panel == Panel::Configuration) return;
    (panel == Panel::RunStatus ? runStatus_ : progress_) = text;
    Notify(StatusLine());
  }

 private:
  std::optional<ServiceRequest> WaitForRequest(int milliseconds) {
    pollfd wait{ControlSignalFd(), POLLIN, 0};
    if (poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
    // SIGUSR1, SIGUSR2 and SIGHUP are no service requests: taken so that they cannot end it.
    const int signalNumber = TakeControlSignal();
    if (signalNumber != SIGTERM && signalNumber != SIGINT) return std::nullopt;
    return SystemIsStopping() ? ServiceRequest::Shutdown : ServiceRequest::Stop;
  }

  void ReportState(ServiceState state) override {
    if (state == ServiceState::Running) Notify("READY=1\n" + StatusLine());
    if (state == ServiceState::StopPending) Notify("STOPPING=1");
  }
  // Nothing to cut: a request is only carried out between ticks here.
  void CutTickShort() override {}
  // Already on the window's thread, between ticks.
  bool OnLauncherThread(const std::function<void()>& work, std::string& failure) override {
    bool done = true;
    tavro::Guarded(work, [&](const std::string& message) {
      failure = message;
      done = false;
    });
    return done;
  }
  void ReportServiceFailure(const std::string& text) override { WriteSystemLog(kServiceName, text); }

  std::string StatusLine() const { return "STATUS=" + runStatus_ + (progress_.empty() ? "" : " | " + progress_); }

  void Notify(const std::string& message) {
    std::string error;
    if (!notifier_.Notify(message, error)) WriteSystemLog(identifier_, "sd_notify " + message + ": " + error);
  }

  ServiceModel model_;
  ServiceNotifier notifier_;
  std::string identifier_;
  std::string runStatus_;
  std::string progress_;
  std::optional<ServiceRequest> request_;  // taken during a tick, carried out after it
};

class StartingFace final : public StartFace {
 public:
  StartingFace(ControlWindow& window, LogSink& log, const char* notifyAddress)
      : StartFace(window), log_(log), notifier_(notifyAddress != nullptr ? notifyAddress : "") {}

 private:
  // The service never ran: there is nothing to stop, only the start to end.
  void Exit() override {
    log_.Entry("Service is stopping...");
    window_.Ending("service stop");
    Close();
    Notify("STOPPING=1");
  }
  void Waiting(Clock& clock) override {
    const std::int64_t now = clock.SteadyMs();
    if (extended_ && now - *extended_ < kStartExtendedEveryMs) return;
    extended_ = now;
    Notify("EXTEND_TIMEOUT_USEC=" + std::to_string(kStartExtensionMs * 1000));
  }
  // A start by hand has no manager to tell; the service host says so once the window is made.
  void Notify(const std::string& message) {
    std::string ignored;
    notifier_.Notify(message, ignored);
  }

  LogSink& log_;
  ServiceNotifier notifier_;
  std::optional<std::int64_t> extended_;
};

}  // namespace

std::unique_ptr<StartFace> SystemdStartFace(ControlWindow& window, LogSink& log) {
  // Left in place: the service host takes it once the window is made.
  return std::make_unique<StartingFace>(window, log, std::getenv("NOTIFY_SOCKET"));
}

int RunSystemdService(ControlWindow& window, DailyLogFile& log) {
  const std::string notifyAddress = TakeNotifySocketAddress();
  if (notifyAddress.empty()) {
    // "\INSTALL" takes this path too, with or without the unit.
    const bool installed = access(ServiceUnitPath(ServiceUnitFolder()).c_str(), F_OK) == 0;
    const std::string failure =
        "The service process could not connect to the service manager: NOTIFY_SOCKET is not set. The service " +
        std::string(kServiceName) +
        (installed ? " is installed; start it with: systemctl start " + std::string(kServiceName)
                   : " is not installed; install it with: tavrorun -INSTALL");
    std::cerr << "tavrorun: " << failure << std::endl;
    WriteSystemLog(ExecutableIdentifier(), failure);
    return 1;
  }
  ServiceFace face(window, log, notifyAddress);
  window.AttachFace(&face);
  const int exitCode = face.Start() ? RunWindowLoop(window, face) : 1;
  window.AttachFace(nullptr);
  face.End();
  return exitCode;
}

}  // namespace tavro

#pragma once
// The service's life, the same under every service manager: the states it reports, the log entries
// of its start and stop, and what a stop request does to a tick in progress. Each platform's host is
// a thin adapter: it turns the manager's requests into calls of the model and carries the model's
// reports back to the manager.

#include <functional>
#include <string>

#include "support/log_sink.h"
#include "window/control_window.h"

namespace tavro {

enum class ServiceState { StartPending, Running, StopPending, Stopped };

enum class ServiceRequest {
  Stop,
  Shutdown,     // the system is going down
  Interrogate,  // the manager asks for the state again
};

// What the model needs of the platform's host.
class ServiceHostPort {
 public:
  virtual ~ServiceHostPort() = default;
  // Tells the service manager the state; reported again, a pending state tells that work goes on.
  virtual void ReportState(ServiceState state) = 0;
  // A tick in progress ends at once after the launch it is at: its pause after that launch ends, and
  // its remaining launches wait for a later tick.
  virtual void CutTickShort() = 0;
  // Runs `work` on the thread that runs the window, between its ticks, and waits until it has run.
  // False, with the failure's message in `failure`, when the work raised one.
  virtual bool OnLauncherThread(const std::function<void()>& work, std::string& failure) = 0;
  // A failure of the service itself, for the system's own log (the event log, the journal).
  virtual void ReportServiceFailure(const std::string& text) = 0;
};

class ServiceModel {
 public:
  ServiceModel(ServiceHostPort& host, ControlWindow& window, LogSink& log)
      : host_(host), window_(window), log_(log) {}

  // The manager has started the service: start pending, "Service is starting..." and the window's
  // Start, then running, whether or not the launcher could start. False when Start raised a
  // failure ("Service failed on start: ..."): the service then ends without running.
  bool Start();
  // One request of the manager, carried out to its end. True when the service is to end.
  bool Handle(ServiceRequest request);
  // The service has ended.
  void Ended() { Report(ServiceState::Stopped); }

 private:
  void Report(ServiceState state);

  ServiceHostPort& host_;
  ControlWindow& window_;
  LogSink& log_;
  ServiceState state_ = ServiceState::StartPending;
};

}  // namespace tavro

#include "service/service_model.h"

namespace tavro {

void ServiceModel::Report(ServiceState state) {
  state_ = state;
  host_.ReportState(state);
}

bool ServiceModel::Start() {
  Report(ServiceState::StartPending);
  std::string failure;
  const bool started = host_.OnLauncherThread(
      [this] {
        log_.Entry("Service is starting...");
        // Never shown, the window still has Start enabled: the launcher starts when its
        // configuration is valid. The service runs either way.
        window_.StartAkceExecute();
      },
      failure);
  if (!started) {
    host_.ReportServiceFailure("Service failed on start: " + failure);
    return false;
  }
  Report(ServiceState::Running);
  return true;
}

bool ServiceModel::Handle(ServiceRequest request) {
  switch (request) {
    case ServiceRequest::Stop: {
      const ServiceState before = state_;
      Report(ServiceState::StopPending);
      // The stop waits for no further launch of a tick in progress: it runs once that tick has
      // ended after the launch it was at.
      host_.CutTickShort();
      std::string failure;
      const bool stopped = host_.OnLauncherThread(
          [this] {
            log_.Entry("Service is stopping...");
            window_.StopAkceExecute();
            window_.Ending("service stop");
          },
          failure);
      if (stopped) return true;
      // The service keeps running as it did before the request.
      Report(before);
      host_.ReportServiceFailure("Service failed on stop: " + failure);
      return false;
    }
    case ServiceRequest::Shutdown:
      // The system is going down: the launcher is not stopped, nothing more is logged.
      Report(ServiceState::StopPending);
      host_.CutTickShort();
      return true;
    case ServiceRequest::Interrogate:
      Report(state_);
      return false;
  }
  return false;
}

}  // namespace tavro

#include "service/service_host_win32.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "service/service_model.h"
#include "service/service_query.h"
#include "support/system_error_win32.h"
#include "window/guarded.h"

namespace tavro {
namespace {

constexpr DWORD kWaitHintMs = 5000;
constexpr DWORD kAcceptedControls = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;

DWORD ManagerState(ServiceState state) {
  switch (state) {
    case ServiceState::StartPending:
      return SERVICE_START_PENDING;
    case ServiceState::Running:
      return SERVICE_RUNNING;
    case ServiceState::StopPending:
      return SERVICE_STOP_PENDING;
    case ServiceState::Stopped:
      return SERVICE_STOPPED;
  }
  return SERVICE_STOPPED;
}

bool Pending(DWORD state) { return state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING; }

// Pause and continue are not offered; other codes need nothing.
std::optional<ServiceRequest> RequestOf(DWORD control) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
      return ServiceRequest::Stop;
    case SERVICE_CONTROL_SHUTDOWN:
      return ServiceRequest::Shutdown;
    case SERVICE_CONTROL_INTERROGATE:
      return ServiceRequest::Interrogate;
    default:
      return std::nullopt;
  }
}

// Work done on the window's thread, and what became of it.
struct Handover {
  Handover() : done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Handover() { CloseHandle(done); }
  HANDLE done;
  std::string failure;
  bool failed = false;
};

class ServiceHost final : private ServiceHostPort {
 public:
  ServiceHost(ControlWindow& window, LogSink& log, MainWindow& face)
      : model_(*this, window, log), face_(face), form_(face.Handle()) {}

  // The service main: on a thread of the manager's, until the service has stopped.
  void Main();
  // The control-request callback: on the dispatcher's thread, it only queues the code.
  void Control(DWORD code);

 private:
  void RunServiceThread();
  std::optional<DWORD> NextControl(bool wait);
  void Report(DWORD state);

  void ReportState(ServiceState state) override { Report(ManagerState(state)); }
  void CutTickShort() override { face_.CutTickShort(); }
  // The pending state is reported again while the work takes longer than half the wait hint.
  bool OnLauncherThread(const std::function<void()>& work, std::string& failure) override;
  void ReportServiceFailure(const std::string& text) override { serviceLog_.Report(text); }

  ServiceModel model_;
  MainWindow& face_;
  const HWND form_;
  EventLog serviceLog_{kServiceName};
  SERVICE_STATUS_HANDLE status_ = nullptr;
  DWORD state_ = 0;
  DWORD checkPoint_ = 0;
  std::mutex queueMutex_;
  std::condition_variable queueChanged_;
  std::deque<DWORD> queue_;
};

// The dispatcher's entry points take no context: they reach the one host of the process here.
std::atomic<ServiceHost*> runningHost{nullptr};

void WINAPI ServiceMain(DWORD, LPSTR*) {
  if (ServiceHost* host = runningHost) host->Main();
}

void WINAPI ControlCallback(DWORD code) {
  if (ServiceHost* host = runningHost) host->Control(code);
}

void ServiceHost::Main() {
  status_ = RegisterServiceCtrlHandlerA(kServiceName, &ControlCallback);
  if (status_ == nullptr) {
    serviceLog_.Report(SystemMessage(GetLastError()));
    return;
  }
  Report(SERVICE_START_PENDING);
  std::thread serviceThread([this] {
    Guarded([this] { RunServiceThread(); },
            [this](const std::string& message) { serviceLog_.Report("Service failed on execute: " + message); });
  });
  serviceThread.join();
  model_.Ended();
}

void ServiceHost::Control(DWORD code) {
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.push_back(code);
  }
  queueChanged_.notify_one();
}

std::optional<DWORD> ServiceHost::NextControl(bool wait) {
  std::unique_lock<std::mutex> lock(queueMutex_);
  if (wait) queueChanged_.wait(lock, [this] { return !queue_.empty(); });
  if (queue_.empty()) return std::nullopt;
  const DWORD code = queue_.front();
  queue_.pop_front();
  return code;
}

void ServiceHost::RunServiceThread() {
  if (!model_.Start()) return;
  // Once asked to end, the thread still handles what is queued, without waiting for more.
  bool ending = false;
  while (const std::optional<DWORD> control = NextControl(!ending)) {
    if (const std::optional<ServiceRequest> request = RequestOf(*control)) {
      if (model_.Handle(*request)) ending = true;
    }
  }
}

void ServiceHost::Report(DWORD state) {
  checkPoint_ = state == state_ && Pending(state) ? checkPoint_ + 1 : 0;
  state_ = state;
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_START_PENDING ? 0 : kAcceptedControls;
  status.dwWin32ExitCode = NO_ERROR;
  status.dwCheckPoint = checkPoint_;
  status.dwWaitHint = kWaitHintMs;
  if (!SetServiceStatus(status_, &status)) serviceLog_.Report(SystemMessage(GetLastError()));
}

bool ServiceHost::OnLauncherThread(const std::function<void()>& work, std::string& failure) {
  const auto handover = std::make_shared<Handover>();
  const bool posted = face_.Post([handover, work] {
    try {
      work();
    } catch (const std::exception& error) {
      handover->failed = true;
      handover->failure = error.what();
    }
    SetEvent(handover->done);
  });
  // A tick may keep the window's thread busy for a while: the manager hears that work goes on.
  const DWORD pendingState = state_;
  while (posted && WaitForSingleObject(handover->done, kWaitHintMs / 2) == WAIT_TIMEOUT) {
    if (!IsWindow(form_)) break;
    Report(pendingState);
  }
  if (!posted || WaitForSingleObject(handover->done, 0) != WAIT_OBJECT_0) {
    failure = "the control window is gone";
    return false;
  }
  failure = handover->failure;
  return !handover->failed;
}

}  // namespace

int RunServiceHost(ControlWindow& window, LogSink& log, MainWindow& face, EventLog& processLog) {
  ServiceHost host(window, log, face);
  runningHost = &host;
  const DWORD windowThread = GetCurrentThreadId();
  BOOL connected = FALSE;
  DWORD error = NO_ERROR;
  std::thread dispatcher([&] {
    std::string name = kServiceName;
    SERVICE_TABLE_ENTRYA table[] = {{name.data(), &ServiceMain}, {nullptr, nullptr}};
    // Returns once the service has stopped, or at once when no service manager started this process.
    connected = StartServiceCtrlDispatcherA(table);
    error = GetLastError();
    PostThreadMessageA(windowThread, WM_QUIT, 0, 0);
  });
  face.RunMessageLoop();
  dispatcher.join();
  runningHost = nullptr;
  if (!connected) processLog.Report(SystemMessage(error));
  return 0;
}

}  // namespace tavro

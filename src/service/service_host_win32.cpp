#include "service/service_host_win32.h"

#include <algorithm>
#include <atomic>
#include <chrono>
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

// The process's one connection to the service manager. It is made before the window is, so that
// the manager hears of the start at once and its stop request reaches the start's reading; the
// service host takes it over once the window is made.
class ManagerLink {
 public:
  ManagerLink()
      : decided_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), stopped_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~ManagerLink() {
    Finish();
    CloseHandle(decided_);
    CloseHandle(stopped_);
  }
  ManagerLink(const ManagerLink&) = delete;
  ManagerLink& operator=(const ManagerLink&) = delete;

  void Open();
  // Waits until the dispatcher has either started the service or found no manager to connect to;
  // false, with the system's error, in the second case.
  bool Connected(DWORD& error);
  // Reported again, a pending state tells the manager that work goes on: its checkpoint rises.
  void Report(DWORD state);
  DWORD State();
  // The next control code, waiting up to `milliseconds` (INFINITE: until one comes).
  std::optional<DWORD> NextControl(DWORD milliseconds);
  // Tells the manager that the service has stopped, if it had started, and lets the dispatcher end.
  void Finish();

  void Main();
  void Control(DWORD code);

 private:
  HANDLE decided_;
  HANDLE stopped_;
  std::thread dispatcher_;
  std::atomic<bool> connected_{false};
  DWORD error_ = NO_ERROR;
  EventLog serviceLog_{kServiceName};
  std::mutex statusMutex_;
  SERVICE_STATUS_HANDLE status_ = nullptr;
  DWORD state_ = 0;
  DWORD checkPoint_ = 0;
  std::mutex queueMutex_;
  std::condition_variable queueChanged_;
  std::deque<DWORD> queue_;
};

// The dispatcher's entry point takes no context: it reaches the process's one link here.
ManagerLink& TheLink() {
  static ManagerLink link;
  return link;
}

void WINAPI ServiceMain(DWORD, LPSTR*) { TheLink().Main(); }

DWORD WINAPI ControlCallback(DWORD code, DWORD, void*, void* context) {
  static_cast<ManagerLink*>(context)->Control(code);
  return NO_ERROR;
}

void ManagerLink::Open() {
  dispatcher_ = std::thread([this] {
    std::string name = kServiceName;
    SERVICE_TABLE_ENTRYA table[] = {{name.data(), &ServiceMain}, {nullptr, nullptr}};
    // Returns once the service has stopped, or at once when no service manager started this process.
    const BOOL served = StartServiceCtrlDispatcherA(table);
    if (!served) error_ = GetLastError();
    SetEvent(decided_);
  });
}

bool ManagerLink::Connected(DWORD& error) {
  if (!dispatcher_.joinable()) return false;
  WaitForSingleObject(decided_, INFINITE);
  error = error_;
  return connected_;
}

void ManagerLink::Main() {
  {
    std::lock_guard<std::mutex> lock(statusMutex_);
    status_ = RegisterServiceCtrlHandlerExA(kServiceName, &ControlCallback, this);
  }
  if (status_ == nullptr) {
    error_ = GetLastError();
    serviceLog_.Report(SystemMessage(error_));
    SetEvent(decided_);
    return;
  }
  Report(SERVICE_START_PENDING);
  connected_ = true;
  SetEvent(decided_);
  // The dispatcher ends once this returns with the service stopped.
  WaitForSingleObject(stopped_, INFINITE);
}

void ManagerLink::Control(DWORD code) {
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.push_back(code);
  }
  queueChanged_.notify_one();
}

std::optional<DWORD> ManagerLink::NextControl(DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(queueMutex_);
  const auto waited = [this] { return !queue_.empty(); };
  if (milliseconds == INFINITE) {
    queueChanged_.wait(lock, waited);
  } else {
    queueChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), waited);
  }
  if (queue_.empty()) return std::nullopt;
  const DWORD code = queue_.front();
  queue_.pop_front();
  return code;
}

void ManagerLink::Report(DWORD state) {
  std::lock_guard<std::mutex> lock(statusMutex_);
  if (status_ == nullptr) return;
  checkPoint_ = state == state_ && Pending(state) ? checkPoint_ + 1 : 0;
  state_ = state;
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  // A stop is taken during the start too: it ends the start's reading.
  status.dwControlsAccepted = kAcceptedControls;
  status.dwWin32ExitCode = NO_ERROR;
  status.dwCheckPoint = checkPoint_;
  status.dwWaitHint = kWaitHintMs;
  if (!SetServiceStatus(status_, &status)) serviceLog_.Report(SystemMessage(GetLastError()));
  if (state == SERVICE_STOPPED) SetEvent(stopped_);
}

DWORD ManagerLink::State() {
  std::lock_guard<std::mutex> lock(statusMutex_);
  return state_;
}

void ManagerLink::Finish() {
  if (!dispatcher_.joinable()) return;
  if (connected_ && State() != SERVICE_STOPPED) Report(SERVICE_STOPPED);
  dispatcher_.join();
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
  ServiceHost(ManagerLink& link, ControlWindow& window, LogSink& log, MainWindow& face)
      : link_(link), model_(*this, window, log), face_(face), form_(face.Handle()) {}

  // On a thread of its own, until the service has stopped.
  void Run();

 private:
  void ReportState(ServiceState state) override { link_.Report(ManagerState(state)); }
  void CutTickShort() override { face_.CutTickShort(); }
  // The pending state is reported again while the work takes longer than half the wait hint.
  bool OnLauncherThread(const std::function<void()>& work, std::string& failure) override;
  void ReportServiceFailure(const std::string& text) override { serviceLog_.Report(text); }

  ManagerLink& link_;
  ServiceModel model_;
  MainWindow& face_;
  const HWND form_;
  EventLog serviceLog_{kServiceName};
};

void ServiceHost::Run() {
  Guarded(
      [this] {
        if (!model_.Start()) return;
        // Once asked to end, the host still handles what is queued, without waiting for more.
        bool ending = false;
        while (const std::optional<DWORD> control = link_.NextControl(ending ? 0 : INFINITE)) {
          if (const std::optional<ServiceRequest> request = RequestOf(*control)) {
            if (model_.Handle(*request)) ending = true;
          }
        }
      },
      [this](const std::string& message) { serviceLog_.Report("Service failed on execute: " + message); });
  model_.Ended();
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
  const DWORD pendingState = link_.State();
  while (posted && WaitForSingleObject(handover->done, kWaitHintMs / 2) == WAIT_TIMEOUT) {
    if (!IsWindow(form_)) break;
    link_.Report(pendingState);
  }
  if (!posted || WaitForSingleObject(handover->done, 0) != WAIT_OBJECT_0) {
    failure = "the control window is gone";
    return false;
  }
  failure = handover->failure;
  return !handover->failed;
}

// The start's face of the service: the manager's stop (or shutdown) ends the start as Exit would,
// and while the start waits the manager hears, within each wait hint, that it goes on.
class ConnectingFace final : public StartFace {
 public:
  ConnectingFace(ControlWindow& window, LogSink& log, ManagerLink& link)
      : StartFace(window), log_(log), link_(link) {
    link_.Open();
  }
  // A start that ended leaves no service behind: the manager hears that it stopped.
  ~ConnectingFace() override {
    if (window_.Closing()) link_.Finish();
  }
  ConnectingFace(const ConnectingFace&) = delete;
  ConnectingFace& operator=(const ConnectingFace&) = delete;

  void Close() override {
    ended_ = true;
    StartFace::Close();
  }

  bool WaitTakingCommands(Clock& clock, int milliseconds) override {
    const std::int64_t end = clock.SteadyMs() + milliseconds;
    while (!ended_) {
      const std::int64_t remaining = end - clock.SteadyMs();
      if (remaining <= 0) break;
      link_.Report(SERVICE_START_PENDING);
      const std::optional<DWORD> control =
          link_.NextControl(static_cast<DWORD>(std::min<std::int64_t>(remaining, kWaitHintMs / 2)));
      const std::optional<ServiceRequest> request = control ? RequestOf(*control) : std::nullopt;
      if (request == ServiceRequest::Stop || request == ServiceRequest::Shutdown) Exit();
    }
    return !ended_;
  }

 private:
  // The service never ran: there is nothing to stop, only the start to end.
  void Exit() override {
    log_.Entry("Service is stopping...");
    window_.Ending("service stop");
    Close();
    link_.Report(SERVICE_STOP_PENDING);
  }

  LogSink& log_;
  ManagerLink& link_;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<StartFace> ConnectingStartFace(ControlWindow& window, LogSink& log) {
  return std::make_unique<ConnectingFace>(window, log, TheLink());
}

int RunServiceHost(ControlWindow& window, LogSink& log, MainWindow& face, EventLog& processLog) {
  ManagerLink& link = TheLink();
  DWORD error = NO_ERROR;
  if (!link.Connected(error)) {
    link.Finish();
    processLog.Report(SystemMessage(error));
    return 0;
  }
  ServiceHost host(link, window, log, face);
  const DWORD windowThread = GetCurrentThreadId();
  std::thread service([&] {
    host.Run();
    PostThreadMessageA(windowThread, WM_QUIT, 0, 0);
  });
  face.RunMessageLoop();
  service.join();
  link.Finish();
  return 0;
}

}  // namespace tavro

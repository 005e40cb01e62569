#include "service/service_host_win32.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "service/service_query.h"
#include "support/system_error_win32.h"
#include "window/guarded.h"

namespace tavro {
namespace {

constexpr DWORD kWaitHintMs = 5000;
constexpr DWORD kAcceptedControls = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;

bool Pending(DWORD state) { return state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING; }

// Work done on the window's thread, and what became of it.
struct Handover {
  Handover() : done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Handover() { CloseHandle(done); }
  HANDLE done;
  std::string failure;
  bool failed = false;
};

class ServiceHost {
 public:
  ServiceHost(ControlWindow& window, LogSink& log, MainWindow& face)
      : window_(window), log_(log), face_(face), form_(face.Handle()) {}

  // The service main: on a thread of the manager's, until the service has stopped.
  void Main();
  // The control-request callback: on the dispatcher's thread, it only queues the code.
  void Control(DWORD code);

 private:
  void RunServiceThread();
  void Handle(DWORD control, bool& ending);
  std::optional<DWORD> NextControl(bool wait);
  void Report(DWORD state);
  // Runs `work` on the window's thread and waits for it; the pending state is reported again
  // while it takes longer than half the wait hint. False, with the failure, when it failed.
  bool OnWindowThread(DWORD pendingState, std::function<void()> work, std::string& failure);

  ControlWindow& window_;
  LogSink& log_;
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
  Report(SERVICE_STOPPED);
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
  Report(SERVICE_START_PENDING);
  std::string failure;
  const bool started = OnWindowThread(
      SERVICE_START_PENDING,
      [this] {
        log_.Entry("Service is starting...");
        // Never shown, the window still has Start enabled: the launcher starts when its
        // configuration is valid. The service runs either way.
        window_.StartAkceExecute();
      },
      failure);
  if (!started) {
    serviceLog_.Report("Service failed on start: " + failure);
    return;
  }
  Report(SERVICE_RUNNING);
  // Once asked to end, the thread still handles what is queued, without waiting for more.
  bool ending = false;
  while (const std::optional<DWORD> control = NextControl(!ending)) Handle(*control, ending);
}

void ServiceHost::Handle(DWORD control, bool& ending) {
  switch (control) {
    case SERVICE_CONTROL_STOP: {
      const DWORD before = state_;
      Report(SERVICE_STOP_PENDING);
      face_.CutTickShort();
      std::string failure;
      const bool stopped = OnWindowThread(
          SERVICE_STOP_PENDING,
          [this] {
            log_.Entry("Service is stopping...");
            window_.StopAkceExecute();
          },
          failure);
      if (stopped) {
        ending = true;
      } else {
        Report(before);
        serviceLog_.Report("Service failed on stop: " + failure);
      }
      break;
    }
    case SERVICE_CONTROL_SHUTDOWN:
      // The system is going down: the launcher is not stopped, nothing more is logged.
      Report(SERVICE_STOP_PENDING);
      face_.CutTickShort();
      ending = true;
      break;
    case SERVICE_CONTROL_INTERROGATE:
      Report(state_);
      break;
    default:
      // Pause and continue are not offered; other codes need nothing.
      break;
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

bool ServiceHost::OnWindowThread(DWORD pendingState, std::function<void()> work, std::string& failure) {
  const auto handover = std::make_shared<Handover>();
  const bool posted = face_.Post([handover, work = std::move(work)] {
    try {
      work();
    } catch (const std::exception& error) {
      handover->failed = true;
      handover->failure = error.what();
    }
    SetEvent(handover->done);
  });
  // A tick may keep the window's thread busy for a while: the manager hears that work goes on.
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

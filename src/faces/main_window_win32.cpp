#include "faces/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "support/system_error_win32.h"
#include "window/guarded.h"

namespace tavro {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kRunWorkMessage = WM_APP + 1;
constexpr char kApplicationClass[] = "TTavroRunApplication";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterWindowClass(const char* name, WNDPROC procedure) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = Instance();
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  // A second window of the process finds the class registered: that is no failure.
  RegisterClassExA(&windowClass);
}

// "Launch" with Start, Stop, a separator and ReRead ini; Exit beside it on the bar. A shortcut is
// written after a TAB in the items of a menu, not on the bar.
HMENU BuildMenu() {
  const HMENU launch = CreatePopupMenu();
  AppendMenuA(launch, MF_STRING, kStartItemId, "&Start\tCtrl+S");
  AppendMenuA(launch, MF_STRING, kStopItemId, "St&op\tCtrl+O");
  AppendMenuA(launch, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(launch, MF_STRING, kReReadIniItemId, "ReRead &ini");
  const HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(launch), "&Launch");
  AppendMenuA(bar, MF_STRING, kExitItemId, "E&xit");
  return bar;
}

HACCEL BuildShortcuts() {
  ACCEL shortcuts[] = {
      {FVIRTKEY | FCONTROL, 'S', kStartItemId},
      {FVIRTKEY | FCONTROL, 'O', kStopItemId},
      {FVIRTKEY | FCONTROL, 'Q', kExitItemId},
  };
  return CreateAcceleratorTableA(shortcuts, static_cast<int>(std::size(shortcuts)));
}

std::optional<Command> CommandOf(UINT id) {
  switch (id) {
    case kStartItemId:
      return Command::Start;
    case kStopItemId:
      return Command::Stop;
    case kReReadIniItemId:
      return Command::ReReadIni;
    case kExitItemId:
      return Command::Exit;
    default:
      return std::nullopt;
  }
}

template <typename Window>
Window* OwnerOf(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    return window;
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace

MainWindow::MainWindow(ControlWindow& window, MainWindowOptions options)
    : window_(window), options_(std::move(options)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterWindowClass(kMainWindowClass, &MainWindow::FormProcedure);

  if (options_.programMode) {
    // The application's own window, of no size: it carries the task-bar button under the
    // application's title and owns the form, so that the form has no button of its own.
    RegisterWindowClass(kApplicationClass, &MainWindow::ApplicationProcedure);
    application_ = CreateWindowExA(0, kApplicationClass, kApplicationTitle,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, GetSystemMetrics(SM_CXSCREEN) / 2,
                                   GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, Instance(), this);
  }
  const HMENU menu = BuildMenu();
  // form_ is set while the window is being created (WM_NCCREATE), so its first messages find it.
  CreateWindowExA(0, kMainWindowClass, kMainWindowCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                  kMainWindowWidth, kMainWindowHeight, application_, menu, Instance(), this);
  if (form_ == nullptr) {
    creationError_ = GetLastError();
    DestroyMenu(menu);
    return;
  }
  CreateStatusBar();
  shortcuts_ = BuildShortcuts();
  window_.AttachFace(this);
  RefreshMenu();
  SetTimer(form_, kTimerId, static_cast<UINT>(options_.timerIntervalMs), nullptr);
}

MainWindow::~MainWindow() {
  window_.AttachFace(nullptr);
  tearingDown_ = true;  // no quit message for a loop that has already ended
  if (form_ != nullptr) DestroyWindow(form_);
  if (application_ != nullptr) DestroyWindow(application_);
  if (shortcuts_ != nullptr) DestroyAcceleratorTable(shortcuts_);
  if (cutShort_ != nullptr) CloseHandle(cutShort_);
}

bool MainWindow::WaitTakingCommands(Clock& clock, int milliseconds) {
  // A program's window takes its messages while a tick pauses or waits for a read, so that its Exit
  // ends the tick (and the read) at once; the clock's waits are short enough to notice it.
  if (options_.programMode) {
    constexpr int kLookMs = 50;
    const std::int64_t end = clock.SteadyMs() + milliseconds;
    pausing_ = true;
    for (;;) {
      ProcessMessages();
      const std::int64_t remaining = end - clock.SteadyMs();
      if (quit_ || form_ == nullptr || remaining <= 0) break;
      clock.Wait(static_cast<int>(std::min<std::int64_t>(remaining, kLookMs)));
    }
    pausing_ = false;
    return !quit_ && form_ != nullptr;
  }
  // A service's stop cuts the tick short.
  if (cutShort_ == nullptr) {
    clock.Wait(milliseconds);
    return true;
  }
  if (WaitForSingleObject(cutShort_, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) return true;
  ResetEvent(cutShort_);
  return false;
}

void MainWindow::CreateStatusBar() {
  statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, form_,
                               nullptr, Instance(), nullptr);
  int edges[std::size(kPanelRightEdges)];
  std::copy(std::begin(kPanelRightEdges), std::end(kPanelRightEdges), edges);
  SendMessageA(statusBar_, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
  for (const Panel panel : {Panel::Configuration, Panel::RunStatus, Panel::Progress}) PanelChanged(panel);
}

LRESULT CALLBACK MainWindow::FormProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = OwnerOf<MainWindow>(hwnd, message, lParam);
  if (message == WM_NCCREATE && self != nullptr) self->form_ = hwnd;
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->FormMessage(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::ApplicationProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = OwnerOf<MainWindow>(hwnd, message, lParam);
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->ApplicationMessage(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::FormMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (statusBar_ != nullptr) SendMessageA(statusBar_, WM_SIZE, 0, 0);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) Guard([this] { window_.FormActivate(); });
      break;
    case WM_INITMENUPOPUP:
      Idle();
      return 0;
    case WM_COMMAND:
      if (const std::optional<Command> command = CommandOf(LOWORD(wParam))) {
        if (pausing_ && *command != Command::Exit) {
          heldBack_.push_back(*command);
          return 0;
        }
        Guard([this, command] { window_.Execute(*command); });
        RefreshMenu();
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kTimerId) {
        Tick();
        return 0;
      }
      break;
    case kRunWorkMessage: {
      const std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
      Guard(*work);
      return 0;
    }
    case WM_SYSCOMMAND:
      // Minimized, the application goes to its task-bar button, taking the form with it.
      if ((wParam & 0xFFF0) == SC_MINIMIZE && application_ != nullptr) {
        ShowWindow(application_, SW_MINIMIZE);
        return 0;
      }
      break;
    case WM_DESTROY:
      KillTimer(hwnd, kTimerId);
      if (application_ != nullptr) ShowWindow(application_, SW_HIDE);
      if (!tearingDown_) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      form_ = nullptr;
      statusBar_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::ApplicationMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      // Picked from the task bar: the form takes the input.
      if (form_ != nullptr && IsWindowVisible(form_) && IsWindowEnabled(form_)) SetFocus(form_);
      return 0;
    case WM_CLOSE:
      // "Close window" on the task-bar button is the form's close box.
      if (form_ != nullptr) PostMessageA(form_, WM_CLOSE, 0, 0);
      return 0;
    case WM_NCDESTROY:
      application_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void MainWindow::Show() {
  if (application_ != nullptr) ShowWindow(application_, SW_SHOWNA);
  ShowWindow(form_, SW_SHOWNORMAL);
  UpdateWindow(form_);
}

void MainWindow::Dispatch(MSG& message) {
  if (form_ != nullptr && TranslateAcceleratorA(form_, shortcuts_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

int MainWindow::RunMessageLoop() {
  MSG message;
  while (!quit_) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      Idle();
      WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) {
      quit_ = true;
      exitCode_ = static_cast<int>(message.wParam);
      break;
    }
    Dispatch(message);
  }
  return exitCode_;
}

void MainWindow::ProcessMessages() {
  MSG message;
  while (!quit_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // A quit taken here ends the loop once the handler that asked for these messages returns.
    if (message.message == WM_QUIT) {
      quit_ = true;
      exitCode_ = static_cast<int>(message.wParam);
      return;
    }
    Dispatch(message);
  }
}

void MainWindow::Idle() {
  if (form_ == nullptr) return;
  Guard([this] { window_.StartAkceUpdate(); });
  RefreshMenu();
}

void MainWindow::RefreshMenu() {
  const HMENU menu = form_ != nullptr ? GetMenu(form_) : nullptr;
  if (menu == nullptr) return;
  const std::pair<UINT, Command> items[] = {
      {kStartItemId, Command::Start}, {kStopItemId, Command::Stop}, {kReReadIniItemId, Command::ReReadIni}};
  for (const auto& [id, command] : items) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (window_.Enabled(command) ? MF_ENABLED : MF_GRAYED));
  }
}

void MainWindow::Tick() {
  KillTimer(form_, kTimerId);
  Guard([this] { window_.timrTimer(); });
  while (!heldBack_.empty() && form_ != nullptr) {
    const Command command = heldBack_.front();
    heldBack_.pop_front();
    Guard([this, command] { window_.Execute(command); });
  }
  // Also after a failed tick: the timer goes on, one interval after this tick ended.
  if (form_ != nullptr) SetTimer(form_, kTimerId, static_cast<UINT>(options_.timerIntervalMs), nullptr);
}

void MainWindow::Guard(const std::function<void()>& handler) {
  Guarded(handler, [this](const std::string& message) { ReportFailure(message); });
}

void MainWindow::ReportFailure(const std::string& message) {
  if (options_.reportFailure) {
    options_.reportFailure(message);
    return;
  }
  const HWND owner = form_ != nullptr && IsWindowVisible(form_) ? form_ : nullptr;
  MessageBoxA(owner, FailureBoxText(message).c_str(), kApplicationTitle, MB_ICONERROR | MB_OK);
}

bool MainWindow::Post(std::function<void()> work) {
  auto boxed = std::make_unique<std::function<void()>>(std::move(work));
  if (form_ == nullptr || !PostMessageA(form_, kRunWorkMessage, 0, reinterpret_cast<LPARAM>(boxed.get()))) return false;
  boxed.release();  // the window's thread runs and frees it
  return true;
}

std::string MainWindow::CreationFailure() const {
  return "The window cannot be created: " + SystemMessage(creationError_);
}

bool MainWindow::Visible() const { return form_ != nullptr && IsWindowVisible(form_); }

void MainWindow::Hide() {
  if (form_ != nullptr) ShowWindow(form_, SW_HIDE);
  if (application_ != nullptr) ShowWindow(application_, SW_HIDE);
}

void MainWindow::Close() {
  if (form_ != nullptr) DestroyWindow(form_);
}

void MainWindow::PanelChanged(Panel panel) {
  if (statusBar_ == nullptr) return;
  SendMessageA(statusBar_, SB_SETTEXTA, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(window_.PanelText(panel).c_str()));
}

}  // namespace tavro

#pragma once
// The Win32 face of the control window: the window TTavroRunMainForm with its menu, shortcuts and
// three-panel status bar, the timer whose ticks run on the window's thread, and the message loop
// that applies the enabling rule whenever it falls idle.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "schedule/timer_cycle.h"
#include "window/control_window.h"

namespace tavro {

inline constexpr char kMainWindowClass[] = "TTavroRunMainForm";
inline constexpr char kMainWindowCaption[] = "Tavro Launcher running as Program";
// The application's title: the text of its task-bar button and the caption of its boxes.
inline constexpr char kApplicationTitle[] = "Tavro Launcher";
inline constexpr int kMainWindowWidth = 457;
inline constexpr int kMainWindowHeight = 163;
// The status bar's panels are 50, 100 and 300 pixels wide.
inline constexpr int kPanelRightEdges[] = {50, 150, 450};

// What WM_COMMAND carries for the menu items and their shortcuts.
enum MenuItemId : UINT { kStartItemId = 101, kStopItemId, kReReadIniItemId, kExitItemId };

struct MainWindowOptions {
  // Program mode: the window is shown, with a task-bar button of the application's title. A
  // service's window is never shown.
  bool programMode = true;
  int timerIntervalMs = kTimerIntervalMs;
  // Where a failure escaping a handler goes; empty: a message box.
  std::function<void(const std::string&)> reportFailure;
};

class MainWindow final : public WindowFace {
 public:
  // Creates the window, hidden, draws the model's panels in it and starts the timer.
  MainWindow(ControlWindow& window, MainWindowOptions options);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // False when the system refused the window; CreationFailure() tells why.
  bool Created() const { return form_ != nullptr; }
  std::string CreationFailure() const;
  HWND Handle() const { return form_; }

  void Show();
  // Until the window is closed or the thread is asked to quit; returns the exit code.
  int RunMessageLoop();
  // Idle time: the enabling rule, and the menu greyed after it.
  void Idle();
  // Hands `work` to the window's thread, to run between its other messages in the order handed
  // over. False when the window is gone.
  bool Post(std::function<void()> work);
  // From any thread: a service stop is coming, so a tick's pause after a launch ends at once and the
  // tick ends there; the stop itself then runs as posted work.
  void CutTickShort() { SetEvent(cutShort_); }

  bool Visible() const override;
  void Hide() override;
  void Close() override;
  void ProcessMessages() override;
  void PanelChanged(Panel panel) override;
  bool WaitTakingCommands(Clock& clock, int milliseconds) override;

 private:
  static LRESULT CALLBACK FormProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ApplicationProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT FormMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ApplicationMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void CreateStatusBar();
  void Dispatch(MSG& message);
  void Tick();
  void Guard(const std::function<void()>& handler);
  void ReportFailure(const std::string& message);
  void RefreshMenu();

  ControlWindow& window_;
  MainWindowOptions options_;
  HWND application_ = nullptr;  // program mode: owns the form and carries the task-bar button
  HWND form_ = nullptr;
  HWND statusBar_ = nullptr;
  HACCEL shortcuts_ = nullptr;
  DWORD creationError_ = 0;
  HANDLE cutShort_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // During a program's pause in a tick: Exit acts at once, other commands wait for the tick's end.
  bool pausing_ = false;
  std::deque<Command> heldBack_;
  bool quit_ = false;
  bool tearingDown_ = false;
  int exitCode_ = 0;
};

}  // namespace tavro

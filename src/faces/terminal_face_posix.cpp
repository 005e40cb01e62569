// While the window is up the terminal is in raw mode: Ctrl+S and Ctrl+Q are the window's shortcuts
// rather than flow control, and Ctrl+C and Ctrl+Z are plain keys. The terminal is given back on
// every way out: Exit, the window closed by a signal, a crash signal, or hiding.

#include "faces/terminal_face_posix.h"

#include <curses.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <clocale>
#include <cstring>
#include <deque>
#include <iostream>
#include <string>
#include <vector>

#include "faces/log_view.h"
#include "faces/text_layout.h"
#include "faces/text_menu.h"
#include "support/stderr_echo_posix.h"
#include "support/system_log_posix.h"
#include "window/guarded.h"
#include "window/outside_commands_posix.h"
#include "window/signal_pipe_posix.h"
#include "window/status_table.h"
#include "window/window_loop.h"

namespace tavro {
namespace {

constexpr char kCaption[] = "Tavro Launcher running as Program";
constexpr char kDialogCaption[] = "Tavro Launcher";
constexpr int kEscapeDelayMs = 50;
constexpr int kCtrlS = 0x13, kCtrlO = 0x0f, kCtrlQ = 0x11, kEscape = 0x1b;
// Switches the space of the log to the jobs table and back.
constexpr int kJobsKey = KEY_F(2);

// What a crash signal's handler needs to give the terminal back; only async-signal-safe calls use it.
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
termios savedTerminal{};
char terminalReset[256];
std::size_t terminalResetLength = 0;

void GiveTerminalBackAndDie(int signalNumber) {
  [[maybe_unused]] ssize_t written = write(STDOUT_FILENO, terminalReset, terminalResetLength);
  tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  // SA_RESETHAND has put the default action back: the signal now ends the process as it would have.
  raise(signalNumber);
}

void PrepareCrashRestore() {
  terminalResetLength = 0;
  for (const char* capability : {"sgr0", "cnorm", "rmkx", "rmcup"}) {
    const char* bytes = tigetstr(capability);
    if (bytes == nullptr || bytes == reinterpret_cast<char*>(-1)) continue;
    const std::size_t length = std::strlen(bytes);
    if (terminalResetLength + length > sizeof terminalReset) break;
    std::memcpy(terminalReset + terminalResetLength, bytes, length);
    terminalResetLength += length;
  }
  struct sigaction action {};
  action.sa_handler = GiveTerminalBackAndDie;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signalNumber : kCrashSignals) sigaction(signalNumber, &action, nullptr);
}

void ForgetCrashRestore() {
  for (const int signalNumber : kCrashSignals) signal(signalNumber, SIG_DFL);
}

void DrawText(int row, int column, const std::string& text, int width, attr_t attributes = A_NORMAL) {
  if (width <= 0 || row < 0 || row >= LINES || column >= COLS) return;
  attrset(attributes);
  mvaddnstr(row, column, text.c_str(), std::min(width, static_cast<int>(text.size())));
  attrset(A_NORMAL);
}

// A caption with its access key underlined.
void DrawCaption(int row, int column, const char* caption, attr_t attributes) {
  const ShownCaption shown = ShowCaption(caption);
  DrawText(row, column, shown.text, COLS - column, attributes);
  if (shown.accessIndex != std::string::npos) {
    DrawText(row, column + static_cast<int>(shown.accessIndex), shown.text.substr(shown.accessIndex, 1), 1,
             attributes | A_UNDERLINE);
  }
}

void DrawBox(int top, int left, int height, int width) {
  mvaddch(top, left, ACS_ULCORNER);
  mvhline(top, left + 1, ACS_HLINE, width - 2);
  mvaddch(top, left + width - 1, ACS_URCORNER);
  for (int row = top + 1; row < top + height - 1; ++row) {
    mvaddch(row, left, ACS_VLINE);
    mvhline(row, left + 1, ' ', width - 2);
    mvaddch(row, left + width - 1, ACS_VLINE);
  }
  mvaddch(top + height - 1, left, ACS_LLCORNER);
  mvhline(top + height - 1, left + 1, ACS_HLINE, width - 2);
  mvaddch(top + height - 1, left + width - 1, ACS_LRCORNER);
}

// The message's lines broken at blanks to fit `width`; a word longer than that is cut.
std::vector<std::string> WrapWords(const std::string& text, int width) {
  const auto limit = static_cast<std::size_t>(std::max(width, 1));
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    while (line.size() > limit) {
      const std::size_t blank = line.rfind(' ', limit);
      const std::size_t cut = blank == std::string::npos || blank == 0 ? limit : blank;
      lines.push_back(line.substr(0, cut));
      line.erase(0, line[cut] == ' ' ? cut + 1 : cut);
    }
    lines.push_back(line);
    begin = end + 1;
  }
  return lines;
}

class TerminalFace final : public LoopFace {
 public:
  TerminalFace(DailyLogFile& log, LogView& view) : log_(log), view_(view) {}

  bool Visible() const override { return !hidden_; }

  // The window closes and the process goes on without a terminal: in a session of its own, with
  // its standard streams on /dev/null. The shell that started it gets its prompt back.
  void Hide() override {
    if (hidden_) return;
    LeaveTerminal();
    hidden_ = true;
    log_.EchoTo(nullptr);
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = fork();
    if (child > 0) {
      std::cerr << "tavrorun: the window is hidden; the launcher goes on without a terminal as process " << child
                << std::endl;
      _exit(0);
    }
    setsid();
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, stream);
    if (null > STDERR_FILENO) close(null);
  }

  std::optional<Command> NextCommand(int milliseconds) override {
    if (hidden_) return WithoutWindow(milliseconds);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!Closed()) {
      if (const int signalNumber = TakeControlSignal()) {
        // The terminal hung up: the window closes as by its close box.
        if (signalNumber == SIGHUP) Close();
        else if (std::optional<Command> command = OutsideCommandOf(signalNumber)) return command;
        continue;
      }
      for (int key = getch(); key != ERR && !Closed(); key = getch()) {
        if (std::optional<Command> command = OnKey(key)) return command;
      }
      Draw();
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      if (left <= 0) break;
      pollfd waits[] = {{STDIN_FILENO, POLLIN, 0}, {ControlSignalFd(), POLLIN, 0}};
      if (poll(waits, 2, static_cast<int>(left)) > 0 && (waits[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        Close();  // the terminal is gone
      }
    }
    return std::nullopt;
  }

  void ReportFailure(const std::string& message) override {
    if (hidden_) {
      // Nobody looks at a terminal any more: the failure goes where a service's failures go.
      WriteSystemLog(ExecutableIdentifier(), message);
      return;
    }
    dialogs_.push_back(FailureBoxText(message));
    Draw();
  }

  void Idle() override {
    if (!hidden_) Draw();
  }

  // Takes the terminal for the window. False when the terminal type is unknown.
  bool EnterTerminal() {
    tcgetattr(STDIN_FILENO, &savedTerminal);
    std::setlocale(LC_CTYPE, "");
    screen_ = newterm(nullptr, stdout, stdin);
    if (screen_ == nullptr) return false;
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(kEscapeDelayMs);
    curs_set(0);
    PrepareCrashRestore();
    return true;
  }

  void LeaveTerminal() {
    if (screen_ == nullptr) return;
    endwin();
    delscreen(screen_);
    screen_ = nullptr;
    ForgetCrashRestore();
  }

 private:
  std::optional<Command> WithoutWindow(int milliseconds) {
    pollfd wait{ControlSignalFd(), POLLIN, 0};
    if (milliseconds > 0 && poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
    return OutsideCommandOf(TakeControlSignal());
  }

  std::optional<Command> OnKey(int key) {
    if (key == KEY_RESIZE) return std::nullopt;  // the next drawing takes the new size
    if (!dialogs_.empty()) {
      // The dialog is modal: only its OK button answers.
      if (key == '\r' || key == '\n' || key == KEY_ENTER || key == ' ' || key == kEscape || key == 'o' || key == 'O') {
        dialogs_.pop_front();
      }
      return std::nullopt;
    }
    if (key == kJobsKey && menu_.CurrentFocus() == TextMenu::Focus::Closed) {
      showJobs_ = !showJobs_;
      return std::nullopt;
    }
    return menu_.Press(MenuPressOf(key), [this](Command command) { return Window().Enabled(command); });
  }

  static MenuPress MenuPressOf(int key) {
    switch (key) {
      case KEY_F(10):
        return {MenuKey::Menu};
      case KEY_LEFT:
        return {MenuKey::Left};
      case KEY_RIGHT:
        return {MenuKey::Right};
      case KEY_UP:
        return {MenuKey::Up};
      case KEY_DOWN:
        return {MenuKey::Down};
      case '\r':
      case '\n':
      case KEY_ENTER:
        return {MenuKey::Enter};
      case kCtrlS:
        return {MenuKey::CtrlS};
      case kCtrlO:
        return {MenuKey::CtrlO};
      case kCtrlQ:
        return {MenuKey::CtrlQ};
      case kEscape: {
        // Alt+key arrives as Escape followed at once by the key.
        const int next = getch();
        if (next != ERR && next >= 0x20 && next < 0x7f) return {MenuKey::AltLetter, static_cast<char>(next)};
        return {MenuKey::Escape};
      }
      default:
        if (key >= 0x20 && key < 0x7f) return {MenuKey::Letter, static_cast<char>(key)};
        return {MenuKey::Other};
    }
  }

  void Draw() {
    erase();
    const int rows = LINES;
    const int columns = COLS;
    DrawText(0, std::max(0, (columns - static_cast<int>(std::strlen(kCaption))) / 2), kCaption, columns, A_BOLD);
    DrawMenuBar();
    DrawLog(rows, columns);
    DrawStatusBar(rows - 1, columns);
    if (menu_.CurrentFocus() == TextMenu::Focus::LaunchDropDown) DrawDropDown();
    if (!dialogs_.empty()) DrawDialog(dialogs_.front(), rows, columns);
    refresh();
  }

  void DrawMenuBar() {
    if (LINES < 2) return;
    DrawText(1, 0, std::string(static_cast<std::size_t>(COLS), ' '), COLS, A_REVERSE);
    const TextMenu::Focus focus = menu_.CurrentFocus();
    DrawCaption(1, 1, kLaunchCaption, focus == TextMenu::Focus::Closed || focus == TextMenu::Focus::ExitItem ? A_REVERSE : A_NORMAL);
    DrawCaption(1, 9, kExitCaption, focus == TextMenu::Focus::ExitItem ? A_NORMAL : A_REVERSE);
    const std::string hint = showJobs_ ? "F2 log  F10 menu  Ctrl+Q exit " : "F2 jobs  F10 menu  Ctrl+Q exit ";
    DrawText(1, COLS - static_cast<int>(hint.size()), hint, static_cast<int>(hint.size()), A_REVERSE);
  }

  void DrawLog(int rows, int columns) {
    const int top = 2;
    const int height = rows - 3;
    int row = top;
    if (showJobs_) {
      // Made afresh at each drawing, so the table follows every launch and every end.
      for (const std::string& line : JobsLines()) {
        if (row >= top + height) break;
        const attr_t attributes = row == top + 1 ? A_BOLD : A_NORMAL;  // the table's heading
        DrawText(row++, 0, line, columns, attributes);
      }
      return;
    }
    for (const std::string& line : LastRows(view_.Lines(), columns, height)) DrawText(row++, 0, line, columns);
  }

  std::vector<std::string> JobsLines() const {
    const StatusRecord status = Window().CurrentStatus();
    std::vector<std::string> lines = StatusTableLines(status, Window().TimerClock().ZonedNow());
    lines.insert(lines.begin(), StatusSummary(status, true));
    return lines;
  }

  void DrawStatusBar(int row, int columns) {
    if (row < 2) return;
    DrawText(row, 0, std::string(static_cast<std::size_t>(columns), ' '), columns, A_REVERSE);
    const std::array<int, 3> widths = PanelWidths(columns);
    int column = 0;
    for (int panel = 0; panel < 3; ++panel) {
      const int width = widths[static_cast<std::size_t>(panel)];
      DrawText(row, column, Window().PanelText(static_cast<Panel>(panel)), width - 1, A_REVERSE);
      column += width;
      if (panel < 2 && column > 0) mvaddch(row, column - 1, ACS_VLINE | A_REVERSE);
    }
  }

  void DrawDropDown() {
    const std::vector<MenuItem>& items = LaunchMenuItems();
    int captionWidth = 0, shortcutWidth = 0;
    for (const MenuItem& item : items) {
      captionWidth = std::max(captionWidth, static_cast<int>(ShowCaption(item.caption).text.size()));
      shortcutWidth = std::max(shortcutWidth, static_cast<int>(std::strlen(item.shortcut)));
    }
    const int width = captionWidth + shortcutWidth + 7;
    const int height = static_cast<int>(items.size()) + 2;
    if (LINES < height + 2 || COLS < width + 1) return;
    const int top = 2, left = 1;
    DrawBox(top, left, height, width);
    for (std::size_t i = 0; i < items.size(); ++i) {
      const int row = top + 1 + static_cast<int>(i);
      const MenuItem& item = items[i];
      if (!item.command) {
        mvaddch(row, left, ACS_LTEE);
        mvhline(row, left + 1, ACS_HLINE, width - 2);
        mvaddch(row, left + width - 1, ACS_RTEE);
        continue;
      }
      attr_t attributes = Window().Enabled(*item.command) ? A_NORMAL : A_DIM;
      if (i == menu_.Selected()) attributes |= A_REVERSE;
      DrawText(row, left + 1, std::string(static_cast<std::size_t>(width - 2), ' '), width - 2, attributes);
      DrawCaption(row, left + 2, item.caption, attributes);
      DrawText(row, left + width - 2 - shortcutWidth, item.shortcut, shortcutWidth, attributes);
    }
  }

  void DrawDialog(const std::string& message, int rows, int columns) {
    const int width = std::min(columns, 60);
    if (width < 12) return;
    const std::vector<std::string> lines = WrapWords(message, width - 4);
    const int height = std::min(rows, static_cast<int>(lines.size()) + 4);
    const int top = std::max(0, (rows - height) / 2);
    const int left = (columns - width) / 2;
    DrawBox(top, left, height, width);
    DrawText(top, left + 2, std::string(" ") + kDialogCaption + " ", width - 4, A_BOLD);
    for (int i = 0; i < height - 4; ++i) DrawText(top + 1 + i, left + 2, lines[static_cast<std::size_t>(i)], width - 4);
    DrawText(top + height - 2, left + (width - 6) / 2, "[ OK ]", 6, A_REVERSE);
  }

  DailyLogFile& log_;
  LogView& view_;
  SCREEN* screen_ = nullptr;
  TextMenu menu_;
  std::deque<std::string> dialogs_;
  bool hidden_ = false;
  bool showJobs_ = false;  // the jobs table in the space of the log
};

}  // namespace

std::optional<int> RunTerminalWindow(ControlWindow& window, DailyLogFile& log) {
  // The control signals are caught since start-up, so the library does not put its own for them.
  LogView view;
  view.Seed(log.LogFileName());
  TerminalFace face(log, view);
  if (!face.EnterTerminal()) return std::nullopt;
  log.EchoTo(&view.Stream());
  const int exitCode = RunWindowLoop(window, face);
  face.LeaveTerminal();
  if (face.Visible()) log.EchoTo(&StderrEcho());
  return exitCode;
}

}  // namespace tavro

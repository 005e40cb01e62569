// The Win32 face in this process: its menu, status bar and enabling as Windows shows them, and its
// timer, read and driven from another process (the window driver) as a person would.

#include "faces/main_window_win32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "sources/read_deadline.h"
#include "support/simulated_clock.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"
#include "testing/shell_session_win32.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::RecordingLog;
using testutil::RecordingStarter;
using testutil::TempDir;

// A daily batch that is not due within the tests' simulated morning.
const std::string kValidIni =
    "[program]\r\nmod=kord\r\n[batches]\r\ncount=1\r\n[batch_1]\r\ntype=0\r\nphase=10\r\n"
    "exename=C:\\jobs\\batch.exe\r\ntaskname=Daily\r\n";

// A source whose binding fails at its first `failures` ticks, is not ready at the tick after them
// (which stops the launcher where a person sees it), and notes the thread of every tick.
class FailingBinding final : public GateSources, private GateReader {
 public:
  explicit FailingBinding(int failures) : failures_(failures) {}
  GateReader& ReaderFor(const ProgramSettings&) override { return *this; }
  std::vector<DWORD> tickThreads;

 private:
  double Read(const GateRequest&) override { return 1.0; }
  bool KeepReady() override {
    tickThreads.push_back(GetCurrentThreadId());
    const int tick = static_cast<int>(tickThreads.size());
    if (tick <= failures_) throw std::runtime_error("historian gone");
    return tick != failures_ + 1;
  }
  int failures_;
};

class WinShellWindowTest : public ::testing::Test {
 protected:
  ControlWindow& Create(const std::vector<std::string>& parameters, int bindingFailures = 0) {
    testutil::WriteFileBytes(dir.File("tavrorun.ini"), kValidIni);
    sources = std::make_unique<FailingBinding>(bindingFailures);
    window = std::make_unique<ControlWindow>(ControlWindowServices{state, log, clock, starter, *sources},
                                             parameters, true);
    window->FormCreate(dir.File("tavrorun.exe"));
    return *window;
  }
  int Count(const std::string& message) const {
    const auto messages = log.Messages();
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
  }

  TempDir dir;
  LauncherState state;
  RecordingLog log;
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  RecordingStarter starter;
  std::unique_ptr<FailingBinding> sources;
  std::unique_ptr<ControlWindow> window;
};

std::string MenuText(HMENU menu, UINT position) {
  char text[64] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::string OwnPanelText(HWND statusBar, int panel) {
  char text[300] = {};
  SendMessageA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(WinShellWindowTest, MenuStatusBarAndEnablingAreWhatWindowsShows) {
  ControlWindow& model = Create({});
  MainWindow face(model, {});
  ASSERT_TRUE(face.Created());
  face.Show();
  const HWND form = face.Handle();

  char className[64] = {};
  GetClassNameA(form, className, sizeof className);
  EXPECT_STREQ(className, "TTavroRunMainForm");
  RECT outer{};
  GetWindowRect(form, &outer);
  EXPECT_EQ(outer.right - outer.left, 457);
  EXPECT_EQ(outer.bottom - outer.top, 163);
  EXPECT_EQ(Count("Reading ini..."), 2) << "the first activation reads the file again";
  // The task-bar button belongs to the application's window, which owns the form.
  char title[64] = {};
  GetWindowTextA(GetWindow(form, GW_OWNER), title, sizeof title);
  EXPECT_STREQ(title, "Tavro Launcher");

  const HMENU bar = GetMenu(form);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuText(bar, 0), "&Launch");
  EXPECT_EQ(MenuText(bar, 1), "E&xit");
  EXPECT_EQ(GetMenuItemID(bar, 1), kExitItemId);
  const HMENU launch = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(launch), 4);
  const struct {
    const char* text;
    UINT id;
  } items[] = {{"&Start\tCtrl+S", kStartItemId}, {"St&op\tCtrl+O", kStopItemId}, {"", 0},
               {"ReRead &ini", kReReadIniItemId}};
  for (UINT i = 0; i < std::size(items); ++i) {
    EXPECT_EQ(MenuText(launch, i), items[i].text);
    EXPECT_EQ(GetMenuItemID(launch, static_cast<int>(i)), items[i].id);
  }
  EXPECT_NE(GetMenuState(launch, 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);

  const HWND statusBar = FindWindowExA(form, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_NE(statusBar, nullptr);
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(statusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 50);
  EXPECT_EQ(edges[1], 150);
  EXPECT_EQ(edges[2], 450);

  // Each item reaches its command through the model, which refuses a greyed one, and the idle time
  // after it greys the menu as the model's enabling rule says (the rule itself is the model's test).
  const struct {
    UINT command;
    bool running;
    int readings;
  } steps[] = {
      {0, false, 2},
      {kStartItemId, true, 2},
      {kReReadIniItemId, true, 2},  // greyed: refused
      {kStopItemId, false, 2},
      {kReReadIniItemId, false, 3},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.command);
    if (step.command != 0) SendMessageA(form, WM_COMMAND, step.command, 0);
    face.ProcessMessages();
    face.Idle();
    EXPECT_EQ(model.Running(), step.running);
    EXPECT_EQ(Greyed(launch, kStartItemId), step.running);
    EXPECT_EQ(Greyed(launch, kStopItemId), !step.running);
    EXPECT_EQ(Greyed(launch, kReReadIniItemId), step.running);
    EXPECT_FALSE(Greyed(bar, kExitItemId));
    EXPECT_EQ(OwnPanelText(statusBar, 0), "Enabled");
    EXPECT_EQ(OwnPanelText(statusBar, 1), step.running ? "Running" : "Stopped");
    EXPECT_EQ(Count("Reading ini..."), step.readings);
  }
}

// The tick fails twice: each failure is boxed with the application's title, and the timer goes on
// (the third tick, which stops the launcher, comes only because it did). Every tick runs on the
// window's thread.
TEST_F(WinShellWindowTest, AFailingTickIsBoxedAndTheTimerGoesOn) {
  ControlWindow& model = Create({"-A"}, 2);
  MainWindow face(model, {true, 200, {}});
  ASSERT_TRUE(face.Created());
  face.Show();
  ASSERT_TRUE(model.Running());
  const HWND form = face.Handle();

  testutil::CapturedRun driven;
  std::thread person([&] {
    driven = testutil::DriveWindow({"box Tavro Launcher", "box Tavro Launcher", "window TTavroRunMainForm",
                                    "wait-panel 1 Stopped", "no-box", "close", "wait-gone"});
    // Whatever the driver managed, the loop below must end.
    PostMessageA(form, WM_CLOSE, 0, 0);
  });
  const int exitCode = face.RunMessageLoop();
  person.join();

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(driven.exitCode, 0) << driven.output;
  EXPECT_EQ(driven.output, "box Tavro Launcher: historian gone.\nbox Tavro Launcher: historian gone.\n");
  ASSERT_GE(sources->tickThreads.size(), 3u);
  for (const DWORD thread : sources->tickThreads) EXPECT_EQ(thread, GetCurrentThreadId());
  EXPECT_EQ(Count("Closing program..."), 0) << "the close box ends without the entry";
}

// A read that stays stuck until the test lets it go, and says when it has begun. Its call runs on
// the deadline's thread and owns what it touches: two event handles that are never closed.
class StuckSource final : public GateSources, private GateReader {
 public:
  StuckSource(ReadDeadline& deadline, LogSink& log, HANDLE reading, HANDLE answer)
      : deadline_(deadline), givenUp_("stuck", log), reading_(reading), answer_(answer) {}
  GateReader& ReaderFor(const ProgramSettings&) override { return *this; }

 private:
  double Read(const GateRequest&) override {
    deadline_.Run(givenUp_, [reading = reading_, answer = answer_] {
      SetEvent(reading);
      WaitForSingleObject(answer, INFINITE);
    });
    return 1.0;
  }
  ReadDeadline& deadline_;
  GivenUpCalls givenUp_;
  HANDLE reading_;
  HANDLE answer_;
};

// The morning's wall time with the machine's own waits, so that a tick's pause really waits.
class RealWaitClock final : public Clock {
 public:
  std::int64_t InstantNow() override { return MakeDateTime(2026, 12, 7, 10, 7, 30).ms - kUnixEpochMs; }
  TimeZone& Zone() override { return utc_; }
  std::int64_t SteadyMs() override { return machine_.SteadyMs(); }
  void Wait(int milliseconds) override { machine_.Wait(milliseconds); }

 private:
  FixedOffsetZone utc_;
  SystemClock machine_;
};

// Exit from the menu while a tick waits for a stuck read ends the tick and the window at once: the
// read is given up without its timeout, and nothing is logged after "Closing program...".
TEST_F(WinShellWindowTest, ExitDuringAStuckReadEndsTheWindowAtOnce) {
  testutil::WriteFileBytes(dir.File("tavrorun.ini"),
                           "[program]\r\nmod=kord\r\nreadtimeout=60\r\n[tasks]\r\ncount=1\r\n[task_1]\r\n"
                           "launchperiod=1\r\nphase=0\r\nintervallength=1\r\nexename=C:\\jobs\\task.exe\r\n"
                           "taskname=Unit\r\nrunningtag=UNIT.RUN\r\n");
  const HANDLE reading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const HANDLE answer = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  RealWaitClock morning;
  ReadDeadline deadline(morning);
  StuckSource stuck(deadline, log, reading, answer);
  ControlWindow model(ControlWindowServices{state, log, morning, starter, stuck, nullptr, nullptr, &deadline}, {"-A"},
                      true);
  model.FormCreate(dir.File("tavrorun.exe"));
  MainWindow face(model, {true, 200, {}});
  ASSERT_TRUE(face.Created());
  face.Show();
  const HWND form = face.Handle();
  bool readBegan = false;
  std::thread person([&] {
    readBegan = WaitForSingleObject(reading, testutil::kShellDeadlineMs) == WAIT_OBJECT_0;
    if (readBegan) {
      PostMessageA(form, WM_COMMAND, kExitItemId, 0);
    } else {
      PostMessageA(form, WM_CLOSE, 0, 0);
    }
  });
  const int exitCode = face.RunMessageLoop();
  person.join();
  SetEvent(answer);  // the given-up call may end now

  ASSERT_TRUE(readBegan) << "the tick never read the gate";
  EXPECT_EQ(exitCode, 0);
  const std::vector<std::string> messages = log.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "Closing program...");
  EXPECT_EQ(Count("read of UNIT.RUN timed out after 60 s"), 0);
}

}  // namespace
}  // namespace tavro

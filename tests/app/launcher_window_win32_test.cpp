// tavrorun.exe in program mode, as a person at the desk meets it: started in a folder of its own,
// its window driven and read from another process (the window driver), its log read afterwards.

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testing/child_process.h"
#include "testing/shell_session_win32.h"

namespace tavro {
namespace {

using testutil::ChildProcess;
using testutil::DriveWindow;
using testutil::kShellDeadlineMs;
using testutil::LauncherCopy;
using testutil::OnlyThese;

const std::string kValidIni =
    "[program]\r\nmod=kord\r\n[batches]\r\ncount=1\r\n[batch_1]\r\ntype=0\r\nphase=10\r\n"
    "exename=C:\\jobs\\batch.exe\r\ntaskname=Daily\r\n";

int Count(const std::vector<std::string>& messages, const std::string& message) {
  return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

class WinShellLauncherTest : public ::testing::Test {
 protected:
  // A registration left by a failed service test would start this launcher as a service.
  void SetUp() override { testutil::RemoveServiceRegistration(); }

  // Drives the launcher's window through `steps` and expects it to end by itself afterwards.
  void Drive(ChildProcess& launcher, const std::vector<std::string>& steps, const std::string& expected) {
    const testutil::CapturedRun driven = DriveWindow(steps);
    EXPECT_EQ(driven.exitCode, 0) << driven.output;
    EXPECT_EQ(driven.output, expected);
    EXPECT_EQ(launcher.WaitFor(kShellDeadlineMs), 0) << "the launcher did not end";
  }
};

// The menu items, the panels and the enabling rule are tested on the face and on the model; here
// the real program shows its window, and its own message loop carries the shortcuts.
TEST_F(WinShellLauncherTest, ShortcutsDriveTheLauncher) {
  LauncherCopy copy(kValidIni);
  ChildProcess launcher(copy.Exe(), {});
  Drive(launcher,
        {"window TTavroRunMainForm", "wait-shown", "caption", "wait-panel 0 Enabled", "key ctrl+s",
         "wait-panel 1 Running", "key ctrl+o", "wait-panel 1 Stopped", "no-box", "key ctrl+q", "wait-gone"},
        "caption: Tavro Launcher running as Program\n");
  const std::vector<std::string> log = copy.LogMessages();
  EXPECT_EQ(OnlyThese(log, {"Start as Program", "Starting program...", "Starting", "Stopped", "Closing program..."}),
            (std::vector<std::string>{"Start as Program", "Starting program...", "Starting", "Stopped",
                                      "Closing program..."}));
  EXPECT_EQ(log.back(), "Closing program...");
}

TEST_F(WinShellLauncherTest, HStartsAndHidesTheWindowAtTheNextTick) {
  LauncherCopy copy(kValidIni);
  ChildProcess launcher(copy.Exe(), {"-H"});
  Drive(launcher,
        {"window TTavroRunMainForm", "wait-shown", "wait-panel 1 Running", "wait-hidden", "visible", "close", "wait-gone"},
        "visible: no\n");
}

TEST_F(WinShellLauncherTest, ASecondInstanceIsRefusedWithABoxAndWritesNothing) {
  LauncherCopy copy(kValidIni);
  ChildProcess first(copy.Exe(), {});
  const testutil::CapturedRun running = DriveWindow({"window TTavroRunMainForm", "wait-panel 1 Stopped"});
  ASSERT_EQ(running.exitCode, 0) << running.output;

  ChildProcess second(copy.Exe(), {"-A"});
  const testutil::CapturedRun refused = DriveWindow({"box Tavro Launcher"});
  EXPECT_EQ(refused.output, "box Tavro Launcher: Program is already running\n");
  EXPECT_EQ(second.WaitFor(kShellDeadlineMs), 0);

  Drive(first, {"window TTavroRunMainForm", "close", "wait-gone"}, "");
  const std::vector<std::string> log = copy.LogMessages();
  EXPECT_EQ(Count(log, "Start as Program"), 1);
  EXPECT_EQ(Count(log, "Starting"), 0);
}

// The service's mutex as a user's session meets it: in the global namespace, and SYSTEM's, so that
// opening it is denied. Its stand-in here is one whose access list grants nobody anything.
TEST_F(WinShellLauncherTest, AServicesMutexThatMayNotBeOpenedRefusesTheProgram) {
  PSECURITY_DESCRIPTOR nobody = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P", SDDL_REVISION_1, &nobody, nullptr));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nobody, FALSE};
  const HANDLE held = CreateMutexA(&attributes, TRUE, "Global\\TAVRORUN_PRG_MUTEX");
  ASSERT_NE(held, nullptr) << GetLastError();
  LocalFree(nobody);

  LauncherCopy copy(kValidIni);
  ChildProcess second(copy.Exe(), {"-A"});
  const testutil::CapturedRun refused = DriveWindow({"box Tavro Launcher"});
  EXPECT_EQ(refused.output, "box Tavro Launcher: Program is already running\n");
  EXPECT_EQ(second.WaitFor(kShellDeadlineMs), 0);
  EXPECT_TRUE(copy.LogMessages().empty());
  CloseHandle(held);
}

}  // namespace
}  // namespace tavro

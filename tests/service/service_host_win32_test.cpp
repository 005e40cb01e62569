// tavrorun.exe as the service TavroRunner under wine's service manager: registered from a folder
// whose name holds a blank, started and stopped with net, asked by the manager's API, installed a
// second time and removed with their boxes answered by the window driver.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "service/service_query_win32.h"
#include "service/service_registration_win32.h"
#include "support/system_error_win32.h"
#include "testing/child_process.h"
#include "testing/shell_session_win32.h"

namespace tavro {
namespace {

using testutil::ChildProcess;
using testutil::kShellDeadlineMs;
using testutil::OnlyThese;

const std::string kValidIni =
    "[program]\r\nmod=kord\r\n[batches]\r\ncount=1\r\n[batch_1]\r\ntype=0\r\nphase=10\r\n"
    "exename=C:\\jobs\\batch.exe\r\ntaskname=Daily\r\n";

std::string SystemProgram(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

testutil::CapturedRun Net(const std::string& verb) {
  return testutil::RunProgramCapture(SystemProgram("net.exe"), {verb, "TavroRunner"});
}

// A value of the event source's registration, as its bytes; "" when there is none.
std::string EventSource(const char* value) {
  char data[1024];
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TavroRunner",
                   value, RRF_RT_ANY | RRF_NOEXPAND, nullptr, data, &size) != ERROR_SUCCESS) {
    return {};
  }
  const bool text = std::string_view(value) == "EventMessageFile";
  return std::string(data, text ? size - 1 : size);
}

// The manager's handle of the service, opened for this test's questions.
class ServiceHandle {
 public:
  ServiceHandle() : manager_(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
    if (manager_ != nullptr) service_ = OpenServiceA(manager_, "TavroRunner", SERVICE_ALL_ACCESS);
    error_ = GetLastError();
  }
  ~ServiceHandle() {
    if (service_ != nullptr) CloseServiceHandle(service_);
    if (manager_ != nullptr) CloseServiceHandle(manager_);
  }
  SC_HANDLE get() const { return service_; }
  DWORD OpenError() const { return error_; }

 private:
  SC_HANDLE manager_;
  SC_HANDLE service_ = nullptr;
  DWORD error_;
};

class WinShellServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { testutil::RemoveServiceRegistration(); }
  void TearDown() override { testutil::RemoveServiceRegistration(); }
};

// Only a path with a blank needs the quotes (the service test below registers one). The program is
// read back from either, and from a path registered by hand with arguments.
TEST(ServiceBinaryPathWin32, IsQuotedWhenItHoldsABlankAndReadBack) {
  EXPECT_EQ(ServiceBinaryPath("C:\\Tavro\\tavrorun.exe"), "C:\\Tavro\\tavrorun.exe");
  EXPECT_EQ(ServiceBinaryPath("C:\\Program Files\\Tavro\\tavrorun.exe"), "\"C:\\Program Files\\Tavro\\tavrorun.exe\"");
  for (const std::string program : {"C:\\Tavro\\tavrorun.exe", "C:\\Program Files\\Tavro\\tavrorun.exe"}) {
    EXPECT_EQ(ServiceProgram(ServiceBinaryPath(program)), program);
  }
  EXPECT_EQ(ServiceProgram("C:\\Program Files\\Tavro\\TAVRORUN.EXE -x"), "C:\\Program Files\\Tavro\\TAVRORUN.EXE");
  EXPECT_EQ(ServiceProgram("C:\\Tavro.exes\\tavrorun.exe"), "C:\\Tavro.exes\\tavrorun.exe");
}

TEST_F(WinShellServiceTest, InstallStartStopInstallAgainAndUninstall) {
  testutil::LauncherCopy copy(kValidIni, "tavro service");

  // Registered silently: a box would keep the call from ending.
  ChildProcess install(copy.Exe(), {"/install", "/silent"});
  ASSERT_EQ(install.WaitFor(kShellDeadlineMs), 0) << "the silent install did not end by itself";
  {
    ServiceHandle service;
    ASSERT_NE(service.get(), nullptr) << service.OpenError();
    DWORD needed = 0;
    QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    ASSERT_TRUE(QueryServiceConfigA(service.get(), config, needed, &needed));
    EXPECT_EQ(std::string(config->lpBinaryPathName), "\"" + copy.Exe() + "\"");
    EXPECT_EQ(std::string(config->lpDisplayName), "Cyclic Tavro Launcher Service");
    EXPECT_EQ(config->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config->dwErrorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
    // Of the further settings wine keeps the description (and takes, but forgets, the restarts).
    BYTE described[1024];
    ASSERT_TRUE(QueryServiceConfig2A(service.get(), SERVICE_CONFIG_DESCRIPTION, described, sizeof described, &needed));
    EXPECT_STREQ(reinterpret_cast<SERVICE_DESCRIPTIONA*>(described)->lpDescription, kServiceDescription);
  }
  EXPECT_EQ(EventSource("EventMessageFile"), copy.Exe());
  EXPECT_EQ(EventSource("TypesSupported"), std::string("\x07\0\0\0", 4));

  const testutil::CapturedRun started = Net("start");
  ASSERT_EQ(started.exitCode, 0) << started.output;
  ASSERT_TRUE(testutil::Eventually([&] { return !OnlyThese(copy.LogMessages(), {"Starting"}).empty(); }))
      << "the service never started the launcher";
  const testutil::CapturedRun query =
      testutil::RunProgramCapture(SystemProgram("sc.exe"), {"query", "TavroRunner"});
  EXPECT_NE(query.output.find("RUNNING"), std::string::npos) << query.output;
  DWORD processId = 0;
  {
    ServiceHandle service;
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    ASSERT_TRUE(QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                     sizeof status, &needed));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    // Stop and shutdown, no pause.
    EXPECT_EQ(status.dwControlsAccepted, static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN));
    EXPECT_EQ(status.dwWaitHint, 5000u);
    processId = status.dwProcessId;
    SERVICE_STATUS asked{};
    EXPECT_TRUE(ControlService(service.get(), SERVICE_CONTROL_INTERROGATE, &asked));
    EXPECT_EQ(asked.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    SERVICE_STATUS paused{};
    EXPECT_FALSE(ControlService(service.get(), SERVICE_CONTROL_PAUSE, &paused));
  }
  const HANDLE serviceProcess = OpenProcess(SYNCHRONIZE, FALSE, processId);
  ASSERT_NE(serviceProcess, nullptr);
  const testutil::CapturedRun stopped = Net("stop");
  EXPECT_EQ(stopped.exitCode, 0) << stopped.output;
  EXPECT_EQ(WaitForSingleObject(serviceProcess, kShellDeadlineMs), WAIT_OBJECT_0) << "the service process lives on";
  CloseHandle(serviceProcess);

  const std::vector<std::string> life = copy.LogMessages();
  EXPECT_EQ(OnlyThese(life, {"ServiceStartName SYSTEM", "Start as Service", "Start as Program",
                             "Starting program...", "Service is starting...", "Starting", "Service is stopping...",
                             "Stopped"}),
            (std::vector<std::string>{"Starting program...",  // the install call's hidden window
                                      "ServiceStartName SYSTEM", "Start as Service", "Starting program...",
                                      "Service is starting...", "Starting", "Service is stopping...", "Stopped"}));
  const auto asService = std::find(life.begin(), life.end(), "Start as Service");
  ASSERT_TRUE(asService != life.end() && asService + 1 != life.end());
  EXPECT_EQ(asService[1].rfind("UserName ", 0), 0u) << asService[1];

  // Already registered: the failure is shown although the call asks for silence.
  ChildProcess again(copy.Exe(), {"-install", "-silent"});
  const testutil::CapturedRun exists = testutil::DriveWindow({"box Error"});
  EXPECT_EQ(exists.output, "box Error: Service \"Cyclic Tavro Launcher Service\" failed to install with error: "
                           "\"System Error.  Code: 1073.\\n" +
                               SystemMessage(ERROR_SERVICE_EXISTS) + "\"\n");
  EXPECT_EQ(again.WaitFor(kShellDeadlineMs), 0);

  // A running service is stopped by its removal, and its event source goes with it.
  ASSERT_EQ(Net("start").exitCode, 0);
  ChildProcess uninstall(copy.Exe(), {"-UNINSTALL"});
  const testutil::CapturedRun removed = testutil::DriveWindow({"box Information"});
  EXPECT_EQ(removed.output, "box Information: Service uninstalled successfully\n");
  EXPECT_EQ(uninstall.WaitFor(kShellDeadlineMs), 0);
  EXPECT_EQ(ServiceHandle().OpenError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
  EXPECT_EQ(OnlyThese(copy.LogMessages(), {"Stopped"}).size(), 2u);
  EXPECT_EQ(EventSource("EventMessageFile"), "");

  // The install and remove calls query nothing: the entries of the service's own start stay alone.
  const std::vector<std::string> all = copy.LogMessages();
  EXPECT_EQ(OnlyThese(all, {"Start as Service"}).size(), 2u);
  EXPECT_EQ(OnlyThese(all, {"Starting program..."}).size(), 5u);
}

// Twenty due pumps make a tick of forty seconds; a stop during it waits only for the launch in
// progress, as a service manager's patience requires.
TEST_F(WinShellServiceTest, AStopDuringATickEndsItAfterTheLaunchInProgress) {
  std::string ini = "[program]\r\nmod=kord\r\n[pumps]\r\ncount=20\r\n";
  for (int n = 1; n <= 20; ++n) {
    ini += "[pump_" + std::to_string(n) + "]\r\nlaunchperiod=1\r\nphase=0\r\nexename=" +
           SystemProgram("hostname.exe") + "\r\nsource=S\r\ntarget=T\r\ntagfile=F\r\n";
  }
  testutil::LauncherCopy copy(ini);
  ChildProcess install(copy.Exe(), {"/install", "/silent"});
  ASSERT_EQ(install.WaitFor(kShellDeadlineMs), 0);
  ASSERT_EQ(Net("start").exitCode, 0);
  const auto launches = [&copy] {
    const std::vector<std::string> messages = copy.LogMessages();
    return std::count_if(messages.begin(), messages.end(), [](const std::string& message) {
      const std::string done = " launched successfully";
      return message.size() > done.size() && message.compare(message.size() - done.size(), done.size(), done) == 0;
    });
  };
  ASSERT_TRUE(testutil::Eventually([&] { return launches() > 0; })) << "no launch in the first tick";

  EXPECT_EQ(Net("stop").exitCode, 0);
  // Wine's net.exe may stop waiting before a loaded machine has ended the launch in progress.
  ASSERT_TRUE(testutil::Eventually([&] { return !OnlyThese(copy.LogMessages(), {"Stopped"}).empty(); }))
      << "the stop never stopped the launcher";
  const std::vector<std::string> life = copy.LogMessages();
  EXPECT_EQ(OnlyThese(life, {"Service is stopping...", "Stopped"}),
            (std::vector<std::string>{"Service is stopping...", "Stopped"}));
  EXPECT_LT(launches(), 20) << "the tick went on launching after the stop";
}

}  // namespace
}  // namespace tavro

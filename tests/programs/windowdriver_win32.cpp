// Drives and reads the launcher's window from another process, as a person at the desk would:
// finds it, reads its caption and status bar, types its shortcuts, clicks its close box, and reads
// and answers message boxes. Each argument is one step; a step that reads prints one line,
// "name: value". Waiting steps wait up to a generous deadline. Exits 1 at the first step that
// fails, saying why, and 0 when all of them passed.
//
// Steps:
//   window CLASS        wait for a top-level window of the class; the steps below act on it
//   caption             print its caption
//   visible             print yes or no
//   wait-panel N TEXT   wait until panel N reads TEXT
//   key ctrl+X          bring the window to the front and type Ctrl+X
//   close               click the close box
//   wait-shown          wait until the window is shown: it exists a moment before it is
//   wait-hidden         wait until the window is hidden
//   wait-gone           wait until the window no longer exists
//   box CAPTION         wait for a message box of that caption (of any process), print its text
//                       (line breaks as \n) and press its OK button
//   no-box              fail when a message box of the window's process is open

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "testing/poll.h"

namespace {

constexpr char kBoxClass[] = "#32770";

struct Failed {
  std::string reason;
};

// Waits for `condition`, failing with `what` when the tests' patience runs out first.
void WaitFor(const std::function<bool()>& condition, const std::string& what) {
  if (!tavro::testutil::Eventually(condition)) throw Failed{"timed out waiting for " + what};
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      out += "\\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The status bar belongs to another process: its text is fetched into memory of that process,
// then copied back. The bar is made just after its window, so a window found at once may have none
// yet: no text, then, and the wait goes on.
std::string PanelText(HWND window, int panel) {
  const HWND statusBar = FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr);
  if (statusBar == nullptr) return {};
  DWORD processId = 0;
  GetWindowThreadProcessId(statusBar, &processId);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (process == nullptr) throw Failed{"cannot open the window's process"};
  constexpr SIZE_T kSize = 1024;
  void* remote = VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
  std::vector<char> text(kSize, 0);
  // An empty panel writes nothing: the buffer starts zeroed.
  WriteProcessMemory(process, remote, text.data(), kSize, nullptr);
  SendMessageA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(process, remote, text.data(), kSize - 1, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return text.data();
}

void TypeControlKey(HWND window, char key) {
  SetForegroundWindow(window);
  WaitFor([window] { return GetForegroundWindow() == window; }, "the window to come to the front");
  const WORD keys[] = {VK_CONTROL, static_cast<WORD>(key)};
  std::vector<INPUT> inputs;
  for (const WORD k : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = k;
    inputs.push_back(input);
  }
  for (int i = 1; i >= 0; --i) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = keys[i];
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The text of a message box is its one Static control with text (the icon is another, empty one).
std::string BoxText(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && !TextOf(child).empty()) text = TextOf(child);
  }
  return text;
}

struct BoxSearch {
  DWORD processId;
  HWND found = nullptr;
};

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<BoxSearch*>(search);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == s->processId && lstrcmpA(className, kBoxClass) == 0 && IsWindowVisible(window)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

class Driver {
 public:
  void Run(const std::string& step) {
    std::istringstream words(step);
    std::string verb;
    words >> verb;
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);

    if (verb == "window") {
      WaitFor([&] { return (window_ = FindWindowA(rest.c_str(), nullptr)) != nullptr; }, "a window of class " + rest);
    } else if (verb == "box") {
      HWND box = nullptr;
      WaitFor([&] { return (box = FindWindowA(kBoxClass, rest.c_str())) != nullptr && IsWindowVisible(box); },
              "a message box " + rest);
      WaitFor([&] { return !BoxText(box).empty(); }, "the text of the message box");
      std::printf("box %s: %s\n", rest.c_str(), Escaped(BoxText(box)).c_str());
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      WaitFor([box] { return !IsWindow(box); }, "the message box to close");
    } else {
      RunOnWindow(verb, rest);
    }
  }

 private:
  void RunOnWindow(const std::string& verb, const std::string& rest) {
    if (window_ == nullptr) throw Failed{"no window found yet"};
    if (verb == "caption") {
      std::printf("caption: %s\n", TextOf(window_).c_str());
    } else if (verb == "visible") {
      std::printf("visible: %s\n", IsWindowVisible(window_) ? "yes" : "no");
    } else if (verb == "wait-panel") {
      const int panel = std::stoi(rest);
      const std::string text = rest.substr(rest.find(' ') + 1);
      WaitFor([&] { return PanelText(window_, panel) == text; }, "panel " + rest);
    } else if (verb == "key") {
      if (rest.size() != 6 || rest.compare(0, 5, "ctrl+") != 0) throw Failed{"unknown key " + rest};
      TypeControlKey(window_, static_cast<char>(std::toupper(static_cast<unsigned char>(rest[5]))));
    } else if (verb == "close") {
      PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (verb == "wait-shown") {
      WaitFor([&] { return IsWindowVisible(window_) != FALSE; }, "the window to show");
    } else if (verb == "wait-hidden") {
      WaitFor([&] { return !IsWindowVisible(window_); }, "the window to hide");
    } else if (verb == "wait-gone") {
      WaitFor([&] { return !IsWindow(window_); }, "the window to close");
    } else if (verb == "no-box") {
      BoxSearch search{0};
      GetWindowThreadProcessId(window_, &search.processId);
      EnumWindows(&FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) throw Failed{"a message box is open: " + Escaped(BoxText(search.found))};
    } else {
      throw Failed{"unknown step " + verb};
    }
  }

  HWND window_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  Driver driver;
  for (int i = 1; i < argc; ++i) {
    try {
      driver.Run(argv[i]);
    } catch (const Failed& failure) {
      std::printf("failed: %s: %s\n", argv[i], failure.reason.c_str());
      return 1;
    } catch (const std::exception& error) {
      std::printf("failed: %s: %s\n", argv[i], error.what());
      return 1;
    }
    std::fflush(stdout);
  }
  return 0;
}

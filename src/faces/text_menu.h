#pragma once
// The control window's menu for a window drawn in text: the bar with "Launch" and "Exit", the
// drop-down of Launch (Start, Stop, a separator, ReRead ini) and the shortcuts, driven by keys.
// Which commands are greyed is asked at each key, so the menu follows the enabling rule.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/control_window.h"

namespace tavro {

struct MenuItem {
  const char* caption;             // "&" marks the access key; "-" is a separator
  std::optional<Command> command;  // none for the separator
  const char* shortcut;            // as shown beside the caption, "" for none
};

// The drop-down of "Launch", in order.
const std::vector<MenuItem>& LaunchMenuItems();
inline constexpr char kLaunchCaption[] = "&Launch";
inline constexpr char kExitCaption[] = "E&xit";

// A caption as shown: without "&", and the position of its access key (npos when it has none).
struct ShownCaption {
  std::string text;
  std::size_t accessIndex = std::string::npos;
};
ShownCaption ShowCaption(const char* caption);

// The keys the menu understands; a face turns the terminal's key codes into these.
enum class MenuKey { Other, Menu, Letter, AltLetter, Left, Right, Up, Down, Enter, Escape, CtrlS, CtrlO, CtrlQ };
struct MenuPress {
  MenuKey key = MenuKey::Other;
  char letter = 0;  // for Letter and AltLetter
};

class TextMenu {
 public:
  enum class Focus { Closed, LaunchDropDown, ExitItem };
  using EnabledRule = std::function<bool(Command)>;

  // Moves in the menu; returns the command the press invokes. A greyed item cannot be invoked from
  // the menu; a shortcut's command is returned as it is, for the window to refuse when greyed.
  std::optional<Command> Press(MenuPress press, const EnabledRule& enabled);

  Focus CurrentFocus() const { return focus_; }
  std::size_t Selected() const { return selected_; }  // in LaunchMenuItems(), while the drop-down is open

 private:
  void OpenDropDown(const EnabledRule& enabled);
  void Move(int step);
  std::optional<Command> Invoke(std::size_t item, const EnabledRule& enabled);

  Focus focus_ = Focus::Closed;
  std::size_t selected_ = 0;
};

}  // namespace tavro

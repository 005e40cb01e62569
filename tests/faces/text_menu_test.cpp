#include "faces/text_menu.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

MenuPress Key(MenuKey key, char letter = 0) { return {key, letter}; }
const MenuPress F10 = Key(MenuKey::Menu), Up = Key(MenuKey::Up), Down = Key(MenuKey::Down),
                Left = Key(MenuKey::Left), Right = Key(MenuKey::Right), Enter = Key(MenuKey::Enter),
                Esc = Key(MenuKey::Escape);

TEST(TextMenu, KeysInvokeOnlyWhatTheEnablingRuleAllows) {
  using Focus = TextMenu::Focus;
  const struct {
    const char* name;
    bool running;
    std::vector<MenuPress> presses;
    std::optional<Command> invoked;  // by the last press
    Focus focus;                     // after it
  } cases[] = {
      {"F10 selects the first enabled item", false, {F10, Enter}, Command::Start, Focus::Closed},
      {"... which is Stop while running", true, {F10, Enter}, Command::Stop, Focus::Closed},
      {"a greyed item stays in its menu", false, {F10, Down, Enter}, std::nullopt, Focus::LaunchDropDown},
      {"the separator is skipped", false, {F10, Down, Down, Enter}, Command::ReReadIni, Focus::Closed},
      {"up from the top wraps", false, {F10, Up, Enter}, Command::ReReadIni, Focus::Closed},
      {"Alt+L and an access key", false, {Key(MenuKey::AltLetter, 'L'), Key(MenuKey::Letter, 'i')}, Command::ReReadIni,
       Focus::Closed},
      {"a greyed access key", true, {F10, Key(MenuKey::Letter, 'I')}, std::nullopt, Focus::LaunchDropDown},
      {"right moves to Exit", false, {F10, Right, Enter}, Command::Exit, Focus::Closed},
      {"and left back to Launch", true, {F10, Right, Left, Enter}, Command::Stop, Focus::Closed},
      {"Esc closes", false, {F10, Esc, Enter}, std::nullopt, Focus::Closed},
      {"F10 closes too", false, {F10, F10}, std::nullopt, Focus::Closed},
      {"Alt+X is Exit", false, {Key(MenuKey::AltLetter, 'x')}, Command::Exit, Focus::Closed},
      {"letters alone open nothing", false, {Key(MenuKey::Letter, 'l'), Key(MenuKey::Letter, 's')}, std::nullopt,
       Focus::Closed},
      {"shortcuts pass even greyed ones (the window refuses)", false, {Key(MenuKey::CtrlO)}, Command::Stop,
       Focus::Closed},
      {"a shortcut closes an open menu", true, {F10, Key(MenuKey::CtrlQ)}, Command::Exit, Focus::Closed},
      {"other keys do nothing", false, {F10, Key(MenuKey::Other)}, std::nullopt, Focus::LaunchDropDown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool running = c.running;
    const auto enabled = [running](Command command) {
      return command == Command::Exit || (command == Command::Stop) == running;
    };
    TextMenu menu;
    std::optional<Command> invoked;
    for (const MenuPress& press : c.presses) invoked = menu.Press(press, enabled);
    EXPECT_EQ(invoked, c.invoked);
    EXPECT_EQ(menu.CurrentFocus(), c.focus);
  }
}

TEST(TextMenu, CaptionsLoseTheirAmpersand) {
  const struct {
    const char* caption;
    const char* shown;
    std::size_t access;
  } cases[] = {
      {"&Start", "Start", 0}, {"St&op", "Stop", 2}, {"ReRead &ini", "ReRead ini", 7}, {"E&xit", "Exit", 1},
      {"A&&B", "A&B", std::string::npos}, {"-", "-", std::string::npos},
  };
  for (const auto& c : cases) {
    const ShownCaption shown = ShowCaption(c.caption);
    EXPECT_EQ(shown.text, c.shown) << c.caption;
    EXPECT_EQ(shown.accessIndex, c.access) << c.caption;
  }
}

}  // namespace
}  // namespace tavro

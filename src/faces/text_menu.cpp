#include "faces/text_menu.h"

#include "support/text.h"

namespace tavro {
namespace {

bool IsSeparator(const MenuItem& item) { return !item.command.has_value(); }

bool AccessKeyIs(const char* caption, char letter) {
  const ShownCaption shown = ShowCaption(caption);
  return shown.accessIndex != std::string::npos && LowerAscii(shown.text[shown.accessIndex]) == LowerAscii(letter);
}

std::optional<Command> ShortcutCommand(MenuKey key) {
  switch (key) {
    case MenuKey::CtrlS:
      return Command::Start;
    case MenuKey::CtrlO:
      return Command::Stop;
    case MenuKey::CtrlQ:
      return Command::Exit;
    default:
      return std::nullopt;
  }
}

}  // namespace

const std::vector<MenuItem>& LaunchMenuItems() {
  static const std::vector<MenuItem> items = {
      {"&Start", Command::Start, "Ctrl+S"},
      {"St&op", Command::Stop, "Ctrl+O"},
      {"-", std::nullopt, ""},
      {"ReRead &ini", Command::ReReadIni, ""},
  };
  return items;
}

ShownCaption ShowCaption(const char* caption) {
  ShownCaption shown;
  for (const char* c = caption; *c != '\0'; ++c) {
    if (*c == '&' && c[1] != '\0') {
      ++c;
      if (*c != '&') shown.accessIndex = shown.text.size();
    }
    shown.text += *c;
  }
  return shown;
}

void TextMenu::OpenDropDown(const EnabledRule& enabled) {
  focus_ = Focus::LaunchDropDown;
  const std::vector<MenuItem>& items = LaunchMenuItems();
  selected_ = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!IsSeparator(items[i]) && enabled(*items[i].command)) {
      selected_ = i;
      return;
    }
  }
}

void TextMenu::Move(int step) {
  const std::vector<MenuItem>& items = LaunchMenuItems();
  const int count = static_cast<int>(items.size());
  int next = static_cast<int>(selected_);
  do {
    next = (next + step + count) % count;
  } while (IsSeparator(items[static_cast<std::size_t>(next)]));
  selected_ = static_cast<std::size_t>(next);
}

std::optional<Command> TextMenu::Invoke(std::size_t item, const EnabledRule& enabled) {
  const MenuItem& chosen = LaunchMenuItems()[item];
  if (IsSeparator(chosen) || !enabled(*chosen.command)) return std::nullopt;
  focus_ = Focus::Closed;
  return chosen.command;
}

std::optional<Command> TextMenu::Press(MenuPress press, const EnabledRule& enabled) {
  if (const std::optional<Command> shortcut = ShortcutCommand(press.key)) {
    focus_ = Focus::Closed;
    return shortcut;
  }
  switch (focus_) {
    case Focus::Closed:
      if (press.key == MenuKey::Menu || (press.key == MenuKey::AltLetter && AccessKeyIs(kLaunchCaption, press.letter))) {
        OpenDropDown(enabled);
      } else if (press.key == MenuKey::AltLetter && AccessKeyIs(kExitCaption, press.letter)) {
        return Command::Exit;
      }
      return std::nullopt;

    case Focus::LaunchDropDown:
      switch (press.key) {
        case MenuKey::Up:
          Move(-1);
          break;
        case MenuKey::Down:
          Move(1);
          break;
        case MenuKey::Left:
        case MenuKey::Right:
          focus_ = Focus::ExitItem;
          break;
        case MenuKey::Enter:
          return Invoke(selected_, enabled);
        case MenuKey::Escape:
        case MenuKey::Menu:
          focus_ = Focus::Closed;
          break;
        case MenuKey::Letter:
        case MenuKey::AltLetter: {
          const std::vector<MenuItem>& items = LaunchMenuItems();
          for (std::size_t i = 0; i < items.size(); ++i) {
            if (!IsSeparator(items[i]) && AccessKeyIs(items[i].caption, press.letter)) return Invoke(i, enabled);
          }
          break;
        }
        default:
          break;
      }
      return std::nullopt;

    case Focus::ExitItem:
      switch (press.key) {
        case MenuKey::Enter:
          focus_ = Focus::Closed;
          return Command::Exit;
        case MenuKey::Left:
        case MenuKey::Right:
          OpenDropDown(enabled);
          break;
        case MenuKey::Escape:
        case MenuKey::Menu:
          focus_ = Focus::Closed;
          break;
        case MenuKey::Letter:
        case MenuKey::AltLetter:
          if (AccessKeyIs(kExitCaption, press.letter)) {
            focus_ = Focus::Closed;
            return Command::Exit;
          }
          if (AccessKeyIs(kLaunchCaption, press.letter)) OpenDropDown(enabled);
          break;
        default:
          break;
      }
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace tavro

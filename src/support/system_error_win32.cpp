#include "support/system_error_win32.h"

#include "support/text.h"

namespace tavro {

std::string SystemMessage(DWORD code) {
  char* buffer = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string message(buffer != nullptr ? buffer : "", length);
  LocalFree(buffer);
  // The message is quoted inside other texts: its own line break and full stop would end them early.
  while (!message.empty() && (IsBlank(message.back()) || message.back() == '.')) message.pop_back();
  return message;
}

std::string SystemErrorText(DWORD code) {
  return "System Error.  Code: " + std::to_string(code) + "." + kLineBreak + SystemMessage(code);
}

}  // namespace tavro

#include <windows.h>

#include "support/utf8.h"
#include "support/wide_text.h"

namespace tavro {

std::string Utf8FromSystemText(std::string_view text) {
  const std::u16string wide = ToWideText(text);
  if (wide.empty()) return {};
  const auto* units = reinterpret_cast<const wchar_t*>(wide.data());
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, units, size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, units, size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace tavro

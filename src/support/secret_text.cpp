#include "support/secret_text.h"

#include "support/text.h"

namespace tavro {

std::string WithoutSecret(std::string text, std::string_view secret) {
  if (secret.empty()) return text;
  constexpr std::string_view kBlanked = "*****";
  // A secret that starts or ends with a sign other than a letter is whole at that side wherever it is.
  const auto cutsWord = [&](std::size_t at) {
    const std::size_t end = at + secret.size();
    return (at > 0 && IsWordByte(secret.front()) && IsWordByte(text[at - 1])) ||
           (end < text.size() && IsWordByte(secret.back()) && IsWordByte(text[end]));
  };
  for (std::size_t at = text.find(secret); at != std::string::npos;) {
    if (cutsWord(at)) {
      at = text.find(secret, at + 1);
      continue;
    }
    text.replace(at, secret.size(), kBlanked);
    at = text.find(secret, at + kBlanked.size());
  }
  return text;
}

}  // namespace tavro

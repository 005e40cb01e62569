#include "support/secret_text.h"

namespace tavro {

std::string WithoutSecret(std::string text, std::string_view secret) {
  if (secret.empty()) return text;
  static const std::string kBlanked = "*****";
  for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + kBlanked.size())) {
    text.replace(at, secret.size(), kBlanked);
  }
  return text;
}

}  // namespace tavro

#include "support/connection_string.h"

#include <algorithm>

#include "support/secret_text.h"
#include "support/text.h"

namespace tavro {
namespace {

constexpr std::string_view kMasked = "*****";

bool IsPasswordKey(std::string_view key) { return EqualsIgnoreCase(key, "PWD") || EqualsIgnoreCase(key, "Password"); }

// Where the value that starts at `at` ends: after its closing brace, or before the ";", line break
// or quote that ends it (blanks before that are not part of it).
std::size_t ValueEnd(std::string_view text, std::size_t at) {
  if (at < text.size() && text[at] == '{') {
    for (++at; at < text.size(); ++at) {
      if (text[at] != '}') continue;
      if (at + 1 < text.size() && text[at + 1] == '}') {
        ++at;
      } else {
        return at + 1;
      }
    }
    return text.size();
  }
  std::size_t end = std::min(text.find_first_of(";\r\n\"'", at), text.size());
  while (end > at && IsBlank(text[end - 1])) --end;
  return end;
}

// Masks the value of every password key in the text, as a connection string would read it.
std::string MaskPasswordValues(std::string text) {
  const auto skipBlanks = [&text](std::size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    return at;
  };
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!IsWordByte(text[at]) || (at > 0 && IsWordByte(text[at - 1]))) continue;
    const std::size_t start = at;
    while (at < text.size() && IsWordByte(text[at])) ++at;
    const std::size_t equals = skipBlanks(at);
    const bool key = equals < text.size() && text[equals] == '=';
    if (!key || !IsPasswordKey(std::string_view(text).substr(start, at - start))) continue;
    const std::size_t value = skipBlanks(equals + 1);
    const std::size_t end = ValueEnd(text, value);
    if (end > value) text.replace(value, end - value, kMasked);
    at = end > value ? value + kMasked.size() : value;
  }
  return text;
}

}  // namespace

std::string OdbcValue(std::string_view value) {
  const bool plain = value.find_first_of(";{}") == std::string_view::npos &&
                     (value.empty() || (!IsBlank(value.front()) && !IsBlank(value.back())));
  if (plain) return std::string(value);
  std::string braced = "{";
  for (const char c : value) {
    braced += c;
    if (c == '}') braced += '}';
  }
  return braced + "}";
}

std::vector<ConnectionPair> SplitConnectionString(std::string_view text) {
  std::vector<ConnectionPair> pairs;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t start = at;
    ConnectionPair pair;
    const std::size_t equals = text.find_first_of("=;", at);
    if (equals == std::string_view::npos || text[equals] == ';') {
      at = equals == std::string_view::npos ? text.size() : equals;
      pair.key = TrimBlanks(text.substr(start, at - start));
    } else {
      pair.key = TrimBlanks(text.substr(start, equals - start));
      at = equals + 1;
      while (at < text.size() && IsBlank(text[at]) && text[at] != ';') ++at;
      if (at < text.size() && text[at] == '{') {
        // Braced: runs to the first "}" that is not doubled, and may hold ";".
        for (++at; at < text.size(); ++at) {
          if (text[at] != '}') {
            pair.value += text[at];
          } else if (at + 1 < text.size() && text[at + 1] == '}') {
            pair.value += '}';
            ++at;
          } else {
            ++at;
            break;
          }
        }
        while (at < text.size() && text[at] != ';') ++at;
      } else {
        const std::size_t end = std::min(text.find(';', at), text.size());
        pair.value = TrimBlanks(text.substr(at, end - at));
        at = end;
      }
    }
    pair.text = std::string(text.substr(start, at - start));
    if (!TrimBlanks(pair.text).empty()) pairs.push_back(std::move(pair));
    if (at < text.size()) ++at;  // the ";"
  }
  return pairs;
}

std::string AppendOdbcAttributes(std::string text, const std::string& attributes) {
  if (attributes.empty()) return text;
  if (attributes.front() != ';') text += ';';
  return text + attributes;
}

std::string MaskPasswords(std::string text, std::string_view connectionString) {
  for (const ConnectionPair& pair : SplitConnectionString(connectionString)) {
    if (!IsPasswordKey(pair.key) || pair.value.empty()) continue;
    // The spelling in the string first, braces and doubled "}" included, then the value itself.
    const std::size_t equals = pair.text.find('=');
    text = WithoutSecret(std::move(text), TrimView(std::string_view(pair.text).substr(equals + 1)));
    text = WithoutSecret(std::move(text), pair.value);
  }
  // Then what still stands as a password, whoever's: the passwords known are gone whole by now,
  // quotes and all, before a quote inside one could end its value early.
  return MaskPasswordValues(std::move(text));
}

}  // namespace tavro

#include "support/json.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "support/utf8.h"

namespace tavro {
namespace {

constexpr int kDeepest = 64;  // nesting beyond any record: refused rather than recursed into

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Document(std::string& error) {
    JsonValue value;
    if (Value(value, 0) && (SkipBlanks(), at_ == text_.size())) return value;
    if (problem_.empty()) problem_ = "unexpected text";
    error = problem_ + " at byte " + std::to_string(at_ + 1);
    return std::nullopt;
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && std::string_view(" \t\n\r").find(text_[at_]) != std::string_view::npos) ++at_;
  }
  bool Take(char c) {
    SkipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool Fail(const char* why) {
    if (problem_.empty()) problem_ = why;
    return false;
  }

  bool Value(JsonValue& out, int depth) {
    if (depth > kDeepest) return Fail("nested too deep");
    SkipBlanks();
    if (at_ >= text_.size()) return Fail("unexpected end");
    const char c = text_[at_];
    if (c == '{') return ObjectValue(out, depth);
    if (c == '[') return ArrayValue(out, depth);
    if (c == '"') {
      std::string s;
      if (!String(s)) return false;
      out.value = std::move(s);
      return true;
    }
    if (Word("null")) return out.value = nullptr, true;
    if (Word("true")) return out.value = true, true;
    if (Word("false")) return out.value = false, true;
    return Number(out);
  }

  // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
  bool Number(JsonValue& out) {
    const std::size_t start = at_;
    const auto digits = [this] {
      const std::size_t first = at_;
      while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
      return at_ > first;
    };
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    if (at_ < text_.size() && text_[at_] == '0') {
      ++at_;
    } else if (!digits()) {
      at_ = start;
      return Fail("no JSON value");
    }
    if (at_ < text_.size() && text_[at_] == '.' && (++at_, !digits())) return Fail("a number without digits");
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return Fail("a number without digits");
    }
    // strtod, not from_chars, which pulls in the maths library; the decimal sign is the C locale's,
    // as the launcher never sets LC_NUMERIC.
    const std::string digitsText(text_.substr(start, at_ - start));
    errno = 0;
    const double number = std::strtod(digitsText.c_str(), nullptr);
    if (errno == ERANGE && (number > 1.0 || number < -1.0)) return Fail("a number out of range");
    out.value = number;
    return true;
  }

  bool ObjectValue(JsonValue& out, int depth) {
    ++at_;
    JsonValue::Object object;
    if (!Take('}')) {
      do {
        std::string name;
        SkipBlanks();
        if (!String(name)) return false;
        if (!Take(':')) return Fail("\":\" expected");
        if (!Value(object[name], depth + 1)) return false;
      } while (Take(','));
      if (!Take('}')) return Fail("\"}\" expected");
    }
    out.value = std::move(object);
    return true;
  }

  bool ArrayValue(JsonValue& out, int depth) {
    ++at_;
    JsonValue::Array array;
    if (!Take(']')) {
      do {
        array.emplace_back();
        if (!Value(array.back(), depth + 1)) return false;
      } while (Take(','));
      if (!Take(']')) return Fail("\"]\" expected");
    }
    out.value = std::move(array);
    return true;
  }

  // The four hex digits of a \u escape.
  bool CodeUnit(char32_t& unit) {
    if (at_ + 4 > text_.size()) return Fail("a cut \\u escape");
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, value, 16);
    if (error != std::errc() || end != text_.data() + at_ + 4) return Fail("a \\u escape without four hex digits");
    at_ += 4;
    unit = value;
    return true;
  }

  bool Escape(std::string& out) {
    const char c = text_[at_++];
    switch (c) {
      case '"': case '\\': case '/': out += c; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'u': break;
      default: return Fail("an unknown escape");
    }
    char32_t point = 0;
    if (!CodeUnit(point)) return false;
    if (point >= 0xDC00 && point <= 0xDFFF) return Fail("a lone surrogate");
    if (point >= 0xD800 && point <= 0xDBFF) {
      char32_t low = 0;
      if (!Word("\\u") || !CodeUnit(low) || low < 0xDC00 || low > 0xDFFF) return Fail("a lone surrogate");
      point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, point);
    return true;
  }

  bool String(std::string& out) {
    if (at_ >= text_.size() || text_[at_] != '"') return Fail("a string expected");
    ++at_;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character in a string");
      if (c == '\\') {
        if (++at_ >= text_.size()) break;
        if (!Escape(out)) return false;
        continue;
      }
      const std::size_t start = at_;
      bool malformed = false;
      NextCodePoint(text_, at_, &malformed);
      if (malformed) {
        at_ = start;
        return Fail("bytes that are no UTF-8");
      }
      out.append(text_, start, at_ - start);
    }
    return Fail("an unclosed string");
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string problem_;
};

const JsonValue kNull;

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  const Object* object = As<Object>();
  if (object == nullptr) return kNull;
  const auto found = object->find(name);
  return found == object->end() ? kNull : found->second;
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error) { return Parser(text).Document(error); }

void AppendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    bool malformed = false;
    const char32_t point = NextCodePoint(utf8, at, &malformed);
    if (malformed) {
      AppendUtf8(out, static_cast<unsigned char>(utf8[start]));
      continue;
    }
    switch (point) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (point < 0x20 || point == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(point));
          out += escaped;
        } else {
          out.append(utf8, start, at - start);
        }
    }
  }
  out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  // The shortest of the two forms that reads back as the same number.
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  if (std::strtod(text, nullptr) != value) std::snprintf(text, sizeof text, "%.17g", value);
  out += text;
}

}  // namespace tavro

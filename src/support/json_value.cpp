#include "support/json_value.h"

#include <cstdlib>
#include <string_view>

namespace tavro {
namespace {

constexpr int kDeepest = 64;  // nesting beyond any status file: refused rather than recursed into

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

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
  bool Word(const char* word) {
    const std::string w = word;
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
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
    const char* begin = text_.c_str() + at_;
    char* end = nullptr;
    const double number = std::strtod(begin, &end);
    if (end == begin || !(c == '-' || (c >= '0' && c <= '9'))) return Fail("no JSON value");
    at_ += static_cast<std::size_t>(end - begin);
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

  bool String(std::string& out) {
    if (at_ >= text_.size() || text_[at_] != '"') return Fail("a string expected");
    for (++at_; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (++at_ >= text_.size()) break;
      switch (text_[at_]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (at_ + 4 >= text_.size()) return Fail("a cut \\u escape");
          const unsigned code = static_cast<unsigned>(std::strtoul(text_.substr(at_ + 1, 4).c_str(), nullptr, 16));
          at_ += 4;
          // UTF-8 of a code unit; a surrogate pair stays two units, which the status never writes.
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xc0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3f));
          } else {
            out += static_cast<char>(0xe0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
            out += static_cast<char>(0x80 | (code & 0x3f));
          }
          break;
        }
        default: out += text_[at_];  // \" \\ \/
      }
    }
    return Fail("an unclosed string");
  }

  const std::string& text_;
  std::size_t at_ = 0;
  std::string problem_;
};

const JsonValue kNull;
const JsonValue::Array kNoItems;

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  const Object* object = std::get_if<Object>(&value);
  if (object == nullptr) return kNull;
  const auto found = object->find(name);
  return found == object->end() ? kNull : found->second;
}

std::string JsonValue::Text(const std::string& fallback) const {
  const std::string* text = std::get_if<std::string>(&value);
  return text ? *text : fallback;
}

double JsonValue::Number(double fallback) const {
  const double* number = std::get_if<double>(&value);
  return number ? *number : fallback;
}

bool JsonValue::Boolean(bool fallback) const {
  const bool* flag = std::get_if<bool>(&value);
  return flag ? *flag : fallback;
}

const JsonValue::Array& JsonValue::Items() const {
  const Array* array = std::get_if<Array>(&value);
  return array ? *array : kNoItems;
}

std::optional<JsonValue> ParseJson(const std::string& text, std::string& error) { return Parser(text).Document(error); }

}  // namespace tavro

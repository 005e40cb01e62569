#include "faces/log_view.h"

#include <fstream>

namespace tavro {
namespace {

constexpr std::streamoff kSeedBytes = 64 * 1024;
constexpr std::size_t kTabWidth = 8;

}  // namespace

void LogView::Seed(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  const std::streamoff start = size > kSeedBytes ? size - kSeedBytes : 0;
  in.seekg(start);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t from = 0;
  if (start > 0) from = text.find('\n') + 1;  // the first line is cut: left out (npos + 1 is 0 only without any)
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF ends a line once
    AddChar(text[i] == '\r' ? '\n' : text[i]);
  }
  if (!open_.empty()) EndLine();
}

int LogView::overflow(int c) {
  if (c != traits_type::eof()) AddChar(static_cast<char>(c));
  return traits_type::not_eof(c);
}

void LogView::AddChar(char c) {
  if (c == '\n') {
    EndLine();
  } else if (c == '\t') {
    open_.append(kTabWidth - open_.size() % kTabWidth, ' ');
  } else {
    open_ += static_cast<unsigned char>(c) < 32 ? '?' : c;
  }
}

void LogView::EndLine() {
  lines_.push_back(std::move(open_));
  open_.clear();
  if (lines_.size() > kMaxLines) lines_.pop_front();
}

}  // namespace tavro

// The floors of reading a configuration: what no reader of the file can do with less work, and
// what a plain reader built of the standard library costs.
// Usage: ini_read_floor split|map FILE.ini
//   split: the file read in one piece, its lines and their "key=value" found in place, counted;
//          no allocation per key.
//   map:   std::getline line by line into a map of sections, each a map of keys to values, section
//          and key names folded to lower case.
// Prints the number of sections and of keys.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

int Split(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 1;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  char* text = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
  const std::size_t got = text ? std::fread(text, 1, static_cast<std::size_t>(size), file) : 0;
  std::fclose(file);
  if (text == nullptr || got != static_cast<std::size_t>(size)) return 1;
  text[size] = '\n';

  long sections = 0, keys = 0, keyBytes = 0;
  const char* end = text + size;
  for (const char* line = text; line < end;) {
    const char* lineEnd = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line) + 1));
    if (*line == '[') {
      ++sections;
    } else if (const char* equals = static_cast<const char*>(std::memchr(line, '=', static_cast<std::size_t>(lineEnd - line)))) {
      ++keys;
      keyBytes += equals - line;
    }
    line = lineEnd + 1;
  }
  std::free(text);
  std::printf("%ld sections, %ld keys (%ld bytes of names)\n", sections, keys, keyBytes);
  return 0;
}

std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

int Map(const char* path) {
  std::ifstream in(path);
  if (!in) return 1;
  std::map<std::string, std::map<std::string, std::string>> sections;
  std::map<std::string, std::string>* section = nullptr;
  std::string line;
  long keys = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      section = &sections[Folded(line.substr(1, line.find(']') - 1))];
    } else if (const std::size_t equals = line.find('='); section != nullptr && equals != std::string::npos) {
      (*section)[Folded(line.substr(0, equals))] = line.substr(equals + 1);
      ++keys;
    }
  }
  std::printf("%zu sections, %ld keys\n", sections.size(), keys);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "split") != 0 && std::strcmp(argv[1], "map") != 0)) {
    std::fprintf(stderr, "usage: ini_read_floor split|map FILE.ini\n");
    return 2;
  }
  const int result = std::strcmp(argv[1], "split") == 0 ? Split(argv[2]) : Map(argv[2]);
  if (result != 0) std::fprintf(stderr, "ini_read_floor: cannot read %s\n", argv[2]);
  return result;
}

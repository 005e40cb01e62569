#pragma once
// Linux: standard error as the copy of the log. Whatever reads it (a terminal, a pipe into another
// program, the journal) must never stop or slow the launcher: an entry goes out in one write that
// never blocks, what the reader does not take is dropped and counted, and the count is said once
// the reader takes entries again. A reader that has gone is not written to any more. The log file
// itself stays complete either way.

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

namespace tavro {

// Collects one entry up to a flush, then writes it.
class NonBlockingWriter final : public std::streambuf {
 public:
  // fd: where to write, kept open by its owner. A pipe or terminal is written through a description
  // of its own that does not block, so that the one shared with other programs keeps its flags.
  explicit NonBlockingWriter(int fd);
  ~NonBlockingWriter() override;
  NonBlockingWriter(const NonBlockingWriter&) = delete;
  NonBlockingWriter& operator=(const NonBlockingWriter&) = delete;

  std::uint64_t Dropped() const { return dropped_; }  // entries not taken since the last said count

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  // Writes what it can without waiting; the number of bytes written, -1 when nothing was.
  long WriteOnce(const char* bytes, std::size_t count);

  int fd_;
  int ownFd_ = -1;  // the non-blocking description of a pipe or terminal
  bool socket_ = false;
  bool gone_ = false;        // the reader has closed its end
  bool midLine_ = false;     // an entry was cut short: what follows starts on a new line
  std::uint64_t dropped_ = 0;
  std::string pending_;
};

// The launcher's standard error as such a stream.
std::ostream& StderrEcho();

}  // namespace tavro

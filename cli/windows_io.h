// Standard input, output and the command line of tallyhorn-cli on Windows:
// bytes in and out exactly as on other systems, arguments in full Unicode,
// and a console shown its text as UTF-16.
#pragma once

#ifdef _WIN32

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace tallyhorn::cli {

// Sets standard input, output and error to binary, so the C runtime neither
// turns CR LF into LF nor takes a byte 0x1A for the end of the input.
void UseBinaryStandardStreams();

// The arguments after the program name, from the wide command line, as
// UTF-8: the C runtime's narrow ones lose what the code page cannot show.
std::vector<std::string> Utf8Arguments();

/*
 * Writes UTF-8 text to a console as UTF-16 (WriteConsoleW), which shows
 * every character whatever the console's code page. A UTF-8 sequence cut at
 * the end of a flush is held for the next one.
 */
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(void* console) : console_(console) {}
  ~ConsoleBuffer() override { sync(); }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void* console_;
  std::string pending_;
};

/*
 * Standard output or error as tallyhorn-cli writes to it: a console through
 * a ConsoleBuffer, anything else (a file, a pipe) as the UTF-8 bytes of the
 * given stream.
 */
class StandardOutput {
 public:
  StandardOutput(unsigned long handleId, std::ostream& bytes);
  std::ostream& stream() { return console_ != nullptr ? consoleStream_ : bytes_; }

 private:
  std::ostream& bytes_;
  void* console_ = nullptr;
  ConsoleBuffer buffer_;
  std::ostream consoleStream_;
};

}  // namespace tallyhorn::cli

#endif  // _WIN32

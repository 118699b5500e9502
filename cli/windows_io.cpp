#include "cli/windows_io.h"

#ifdef _WIN32

// windows.h first: shellapi.h needs its definitions.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

namespace tallyhorn::cli {

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

std::vector<std::string> Utf8Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) {
    const int length = static_cast<int>(wcslen(wide[i]));
    std::string text;
    if (length > 0) {
      const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], length, nullptr, 0, nullptr, nullptr);
      text.resize(static_cast<std::size_t>(std::max(bytes, 0)));
      if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], length, text.data(), bytes, nullptr, nullptr);
    }
    arguments.push_back(std::move(text));
  }
  LocalFree(wide);
  return arguments;
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (pending_.size() >= 64 * 1024 && sync() != 0) return traits_type::eof();
  return c;
}

std::streamsize ConsoleBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= 64 * 1024 && sync() != 0) return 0;
  return count;
}

int ConsoleBuffer::sync() {
  // Hold back a UTF-8 sequence whose last bytes have not come yet.
  std::size_t whole = pending_.size();
  for (std::size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
    const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    if (length > back) whole = pending_.size() - back;
    break;
  }
  if (whole == 0) return 0;
  const int size = static_cast<int>(whole);
  const int units = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(units, 0)), L'\0');
  if (units > 0) MultiByteToWideChar(CP_UTF8, 0, pending_.data(), size, wide.data(), units);
  pending_.erase(0, whole);
  for (std::size_t at = 0; at < wide.size();) {
    const auto part = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
    DWORD written = 0;
    if (!WriteConsoleW(console_, wide.data() + at, part, &written, nullptr) || written == 0) return -1;
    at += written;
  }
  return 0;
}

// The console behind a standard handle, or nullptr for a file, a pipe or
// no handle at all.
void* ConsoleOf(unsigned long handleId) {
  HANDLE handle = GetStdHandle(handleId);
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
  return handle;
}

StandardOutput::StandardOutput(unsigned long handleId, std::ostream& bytes)
    : bytes_(bytes), console_(ConsoleOf(handleId)), buffer_(console_), consoleStream_(&buffer_) {
  // Each write is shown at once, as a console is read by a person.
  consoleStream_.setf(std::ios::unitbuf);
}

}  // namespace tallyhorn::cli

#endif  // _WIN32

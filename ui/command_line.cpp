#include "ui/command_line.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include "ui/unicode.h"

namespace tallyhorn {

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
  std::vector<std::wstring> arguments;
  if (commandLine == nullptr || *commandLine == L'\0') return arguments;
  int count = 0;
  wchar_t** split = CommandLineToArgvW(commandLine, &count);
  if (split == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(split[i]);
  LocalFree(split);
  return arguments;
}

std::vector<std::wstring> ProgramArguments() { return SplitCommandLine(GetCommandLineW()); }

std::string StartTicketOf(const std::vector<std::wstring>& arguments) {
  std::wstring ticket;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) ticket += L' ';
    ticket += arguments[i];
  }
  return Utf8Of(ticket);
}

std::wstring PlanFileOf(const std::vector<std::wstring>& arguments) {
  if (arguments.size() != 1) return {};
  const DWORD attributes = GetFileAttributesW(arguments.front().c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
  return arguments.front();
}

}  // namespace tallyhorn

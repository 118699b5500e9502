// The program's command line, read as UTF-16 so every character the user
// gave arrives as it is.
#pragma once

#include <string>
#include <vector>

namespace tallyhorn {

// The arguments of a command line, split by the usual quoting rules, the
// program's own name left out.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);

// The arguments this process was started with.
std::vector<std::wstring> ProgramArguments();

// The ticket the arguments give, joined by spaces, as UTF-8 for the reader:
//   tallyhorn.exe "$1 Trifecta: 1,2 / 5 / 3,4"
//   tallyhorn.exe $1 Trifecta: 1,2 / 5 / 3,4
std::string StartTicketOf(const std::vector<std::wstring>& arguments);

// The plan file the arguments name: the path when there is exactly one
// argument and it names an existing file (not a folder), else L"".
//   tallyhorn.exe plan.txt
std::wstring PlanFileOf(const std::vector<std::wstring>& arguments);

}  // namespace tallyhorn

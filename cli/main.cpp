// tallyhorn-cli: the calculator's counting for tickets written as text.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run.h"
#ifdef _WIN32
#include <windows.h>

#include "cli/windows_io.h"
#endif

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
#ifdef _WIN32
  // Bytes in and out as on any other system, arguments in full Unicode, and
  // a console shown UTF-16.
  (void)argc;
  (void)argv;
  tallyhorn::cli::UseBinaryStandardStreams();
  const std::vector<std::string> arguments = tallyhorn::cli::Utf8Arguments();
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  tallyhorn::cli::StandardOutput out(STD_OUTPUT_HANDLE, std::cout);
  tallyhorn::cli::StandardOutput err(STD_ERROR_HANDLE, std::cerr);
  return tallyhorn::cli::RunCli(args, std::cin, out.stream(), err.stream());
#else
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return tallyhorn::cli::RunCli(args, std::cin, std::cout, std::cerr);
#endif
}

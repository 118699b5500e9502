// tallyhorn-cli: the calculator's counting for tickets written as text.
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return tallyhorn::cli::RunCli(args, std::cin, std::cout, std::cerr);
}

// The two plans the kill test's saving program writes in turn: of different
// lengths and different in every line, so any mix of them, or a file cut
// short, is told apart from both.
#pragma once

#include <string>

namespace tallyhorn {

inline std::string SaveLoopContents(int which) {
  std::string text;
  const int lines = which == 0 ? 6000 : 9000;
  for (int i = 0; i < lines; ++i) {
    text += which == 0 ? "$1 Exacta: 1 / 2 " : "$2 Pick-3: 1,2,3 / 4 / 5 ";
    text += "# " + std::to_string(which) + "-" + std::to_string(i) + "\r\n";
  }
  return text;
}

}  // namespace tallyhorn

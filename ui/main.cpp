// The program's entry point: bring up the calculator and run it until it is
// closed.
#include <cstdlib>
#include <string>

#include "ui/calculator.h"
#include "ui/dpi.h"

/*
 * Creates the calculator in its start state and runs its message loop. The
 * arguments, joined by spaces, are a ticket to start with:
 *   tallyhorn.exe "$1 Trifecta: 1,2 / 5 / 3,4"
 * The only failure looked at is the dialog's creation; the program returns
 * 0 either way.
 */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tallyhorn::DeclareDpiAwareness();
  // The C runtime has split the command line by the usual quoting rules.
  std::string ticket;
  for (int i = 1; i < __argc; ++i) {
    if (i > 1) ticket += ' ';
    ticket += __argv[i];
  }
  if (tallyhorn::CreateCalculator(instance, ticket) == nullptr) return 0;
  tallyhorn::RunMessageLoop();
  return 0;
}

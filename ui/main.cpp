// The program's entry point: bring up the calculator and run it until it is
// closed.
#include <string>
#include <vector>

#include "ui/calculator.h"
#include "ui/command_line.h"
#include "ui/dpi.h"

/*
 * Creates the calculator in its start state and runs its message loop. The
 * arguments, read from the UTF-16 command line and joined by spaces, are a
 * ticket to start with:
 *   tallyhorn.exe "$1 Trifecta: 1,2 / 5 / 3,4"
 * The only failure looked at is the dialog's creation; the program returns
 * 0 either way.
 */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tallyhorn::DeclareDpiAwareness();
  const std::vector<std::wstring> arguments = tallyhorn::ProgramArguments();
  if (tallyhorn::CreateCalculator(instance, tallyhorn::StartTicketOf(arguments)) == nullptr) return 0;
  tallyhorn::RunMessageLoop();
  return 0;
}

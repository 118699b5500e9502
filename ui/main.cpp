// The program's entry point: bring up the calculator and run it until it is
// closed.
#include "ui/calculator.h"

/*
 * Creates the calculator in its start state and runs its message loop. The
 * only failure looked at is the dialog's creation; the program returns 0
 * either way.
 */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (tallyhorn::CreateCalculator(instance) == nullptr) return 0;
  tallyhorn::RunMessageLoop();
  return 0;
}

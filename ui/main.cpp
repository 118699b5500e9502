// The program's entry point: bring up the calculator and run it until it is
// closed.
#include <cstdlib>
#include <string>

#include "ui/calculator.h"
#include "ui/plan_window.h"

/*
 * Creates the calculator in its start state and runs its message loop. The
 * arguments, joined by spaces, are a ticket to start with:
 *   tallyhorn.exe "$1 Trifecta: 1,2 / 5 / 3,4"
 * or one argument naming a plan file to open beside it:
 *   tallyhorn.exe plan.txt
 * Either way the plan the last run left comes back.
 * The only failure looked at is the dialog's creation; the program returns
 * 0 either way.
 */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The C runtime has split the command line by the usual quoting rules.
  std::string ticket;
  for (int i = 1; i < __argc; ++i) {
    if (i > 1) ticket += ' ';
    ticket += __argv[i];
  }
  // One argument naming an existing file is a plan to open beside the
  // calculator in its start state.
  const std::wstring planFile = tallyhorn::PlanFileArgument();
  if (tallyhorn::CreateCalculator(instance, planFile.empty() ? ticket : std::string()) == nullptr) return 0;
  tallyhorn::StartPlan(planFile);
  tallyhorn::RunMessageLoop();
  tallyhorn::ClosePlan();
  return 0;
}

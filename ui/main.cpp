// The program's entry point: bring up the calculator and run it until it is
// closed.
#include <string>
#include <vector>

#include "ui/calculator.h"
#include "ui/command_line.h"
#include "ui/dpi.h"
#include "ui/plan_window.h"

/*
 * Creates the calculator in its start state and runs its message loop. The
 * arguments, read from the UTF-16 command line and joined by spaces, are a
 * ticket to start with:
 *   tallyhorn.exe "$1 Trifecta: 1,2 / 5 / 3,4"
 * or one argument naming a plan file to open beside it:
 *   tallyhorn.exe plan.txt
 * Either way the plan the last run left comes back.
 * The only failure looked at is the dialog's creation; the program returns
 * 0 either way.
 */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tallyhorn::DeclareDpiAwareness();
  const std::vector<std::wstring> arguments = tallyhorn::ProgramArguments();
  // One argument naming an existing file is a plan to open beside the
  // calculator in its start state.
  const std::wstring planFile = tallyhorn::PlanFileOf(arguments);
  const std::string ticket = planFile.empty() ? tallyhorn::StartTicketOf(arguments) : std::string();
  if (tallyhorn::CreateCalculator(instance, ticket) == nullptr) return 0;
  tallyhorn::StartPlan(planFile);
  tallyhorn::RunMessageLoop();
  tallyhorn::ClosePlan();
  return 0;
}

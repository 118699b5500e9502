// Brings up the calculator and its plan window for the README's picture: a
// plan of mixed bet types and bases, each ticket shown in the calculator and
// added as Ctrl+Enter adds it, the plan window beside the calculator. The
// plan lives in a folder of its own, so no real autosave is touched. It then
// runs like the program until the calculator is closed.
// scripts/screenshot-plan.sh photographs it.
#include <string>

#include "ui/calculator.h"
#include "ui/plan_window.h"
#include "ui/resource.h"
#include "ui/ticket_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace tallyhorn;
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp, length) + L"tallyhorn-plan-pose";
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW((folder + L"\\plan.txt").c_str());
  DeleteFileW((folder + L"\\plan-window.txt").c_str());
  SetEnvironmentVariableW(L"TALLYHORN_DATA_DIR", folder.c_str());

  HWND dialog = CreateCalculator(instance);
  if (dialog == nullptr) return 1;
  StartPlan();
  for (const char* text : {"$1 Trifecta: 1,2 / 5 / 3,4", "$1 Trifecta: 1 / 5 / 3,4,6", "$2 Exacta: 1 / 2,3",
                           "$0.50 Pick-4: 1,2,3 / 4 / 5,6 / 7", "$1.50 Pick-4: 1 / 4 / 5,6,8 / 7",
                           "$0.20 Superfecta: 1,2 / 1,2,5 / 3,4,5 / 3,4,6,7"}) {
    const TicketReading reading = ReadFormTicket(text);
    if (reading.ticket) ShowTicket(dialog, *reading.ticket);
    AddCalculatorTicketToPlan();
  }
  RECT calculator{};
  GetWindowRect(dialog, &calculator);
  SetWindowPos(PlanWindow(), nullptr, calculator.right + 4, calculator.top, 640, calculator.bottom - calculator.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // Leave the focus where a person's next click would go.
  SetFocus(GetDlgItem(dialog, IDC_BET_TRIFECTA));
  const int result = RunMessageLoop();
  ClosePlan();
  return result;
}

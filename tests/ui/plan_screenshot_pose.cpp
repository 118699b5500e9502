// Brings up the calculator and its plan window for the README's picture: a
// plan of mixed bet types and bases, each ticket shown in the calculator and
// added as Ctrl+Enter adds it, the plan window beside the calculator. The
// plan lives in a folder of its own, so no real autosave is touched. It then
// runs like the program until the calculator is closed.
// scripts/screenshot-plan.sh photographs it.
#include <cstdio>
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
  // Both windows side by side from the screen's corner, and the rectangle
  // they make together written out for the photograph's crop
  // ("WIDTHxHEIGHT+LEFT+TOP" in build/plan-pose-crop.txt).
  SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT calculator{};
  GetWindowRect(dialog, &calculator);
  const int height = calculator.bottom - calculator.top;
  SetWindowPos(PlanWindow(), nullptr, calculator.right + 4, 0, 600, height, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT plan{};
  GetWindowRect(PlanWindow(), &plan);
  if (FILE* crop = std::fopen("build/plan-pose-crop.txt", "w"); crop != nullptr) {
    std::fprintf(crop, "%ldx%ld+0+0\n", plan.right, plan.bottom > calculator.bottom ? plan.bottom : calculator.bottom);
    std::fclose(crop);
  }
  // Leave the focus where a person's next click would go.
  SetFocus(GetDlgItem(dialog, IDC_BET_TRIFECTA));
  const int result = RunMessageLoop();
  ClosePlan();
  return result;
}

// Brings up the calculator in a realistic state for the README's picture: a
// Trifecta at "$1" with a few horses ticked, chosen by clicks as a person
// would. It then runs like the program until the window is closed.
// scripts/screenshot.sh photographs it.
#include "ui/calculator.h"
#include "ui/resource.h"

namespace {

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace tallyhorn;
  HWND dialog = CreateCalculator(instance);
  if (dialog == nullptr) return 1;
  Click(dialog, IDC_BET_TRIFECTA);
  for (int horse : {1, 2, 7}) Click(dialog, BoxId(0, horse - 1));
  Click(dialog, BoxId(1, 5 - 1));
  for (int horse : {3, 4, 7}) Click(dialog, BoxId(2, horse - 1));
  // Leave the focus where a person's next click would go, not on a box.
  SetFocus(GetDlgItem(dialog, IDC_BET_TRIFECTA));
  return RunMessageLoop();
}

#include "ui/calculator.h"

#include "ui/dpi.h"
#include "ui/form.h"
#include "ui/history.h"
#include "ui/keys.h"
#include "ui/keys_help.h"
#include "ui/plan_window.h"
#include "ui/resource.h"
#include "ui/ticket_box.h"
#include "ui/ticket_entry.h"
#include "ui/unicode.h"

// The version comes from the one in CMakeLists.txt.
#ifndef TALLYHORN_VERSION
#error "TALLYHORN_VERSION is not defined: build through CMake"
#endif

namespace tallyhorn {

namespace {

constexpr const char* kAboutCaption = "About Tallyhorn";
constexpr const char* kAboutText =
    "Tallyhorn\n"
    "Version " TALLYHORN_VERSION "\n"
    "Counts the combinations and the cost of exotic horse-racing wagers, from Exactas to Pick-8s.\n"
    "\n"
    "Questions, suggestions and faults: please open an issue in the Tallyhorn issue tracker.";

constexpr const char* kHelpCaption = "Tallyhorn...";
constexpr const char* kHelpText =
    "The Tallyhorn helps you figure out the number of\n"
    "combinations and cost of a variety of exotic wagers, ranging from\n"
    "simple Exactas to vastly complicated 6-horse Superfectas.\n"
    "\n"
    "To use the calculator, first select the bet type and amount per\n"
    "single ticket. The correct number of races will appear, with\n"
    "checkboxes for horses 1 to 12.  If you wish, you can extend or\n"
    "shrink the number of horses in the race, but this is not really\n"
    "neccessary. It is useful if you're using the [All] button for\n"
    "certain races and also helps in reminding you of field sizes when\n"
    "working through a particularly complex ticket.\n"
    "\n"
    "To change the number of horses in a race, double-click the number\n"
    "on the far-right column (to highlight it) and then enter the correct\n"
    "number. Up to 20 horses per race is supported.\n"
    "\n"
    "As you'll see, you can change things dynamically and very quickly by\n"
    "clicking on the checkboxes. You can also change the bet type and unit\n"
    "cost. As you do, the white box at the bottom will display the current\n"
    "ticket and total cost.\n"
    "\n"
    "You can cut/copy/edit the text in the box if you wish to paste it into\n"
    "Word or Notepad or any other software useful for printing.\n"
    "\n"
    "If you have any suggestions or comments, please feel free to contact me.\n"
    "\n"
    "See [About] for more information.\n"
    "\n"
    ".....QX";

/*
 * Carries out one WM_COMMAND: changes the state or the form as the command
 * asks, then recalculates. Returns TRUE only for the two commands that close
 * the dialog.
 */
INT_PTR HandleCommand(HWND dialog, int id, int notification) {
  if (id == IDOK || id == IDCANCEL) {
    EndDialog(dialog, 1);
    PostQuitMessage(0);
    return TRUE;
  }
  if (RowOfBox(id) >= 0) {
    // The automatic check box has already toggled itself; the sizes are
    // those of the last read.
    Recalculate(dialog, false);
    return FALSE;
  }
  if (const Row row = RowOfClearButton(id); row >= 0) {
    for (int slot = 0; slot < kSlotCount; ++slot) SetHorseBox(row, slot, false);
    Recalculate(dialog, true);
    return FALSE;
  }
  if (id == IDC_RESET) {
    SetAllFieldSizes(kDefaultFieldSize);
    for (Row row = 0; row < kRowCount; ++row) {
      for (int slot = 0; slot < kSlotCount; ++slot) SetHorseBox(row, slot, false);
    }
    Recalculate(dialog, false);
    return FALSE;
  }
  if (const BetType betType = BetTypeOfButton(id); betType >= 0) {
    wagerState.betType = betType;
    Recalculate(dialog, true);
    return FALSE;
  }
  if (id == IDC_ABOUT_BUTTON || id == IDC_HELP_BUTTON) {
    const bool about = id == IDC_ABOUT_BUTTON;
    ShowMessageBox(dialog, about ? kAboutText : kHelpText, about ? kAboutCaption : kHelpCaption, MB_ICONINFORMATION);
    return FALSE;
  }
  if (const Row row = RowOfAllButton(id); row >= 0) {
    // Up to the field size of the last read; the boxes beyond keep their
    // state.
    const FieldSize size = wagerState.fieldSize[static_cast<std::size_t>(row)];
    for (int slot = 0; slot < size && slot < kSlotCount; ++slot) SetHorseBox(row, slot, true);
    Recalculate(dialog, true);
    return FALSE;
  }
  if (RowOfSizeEdit(id) >= 0) {
    if (notification != EN_CHANGE) return FALSE;
    ClampFieldSizes();
    Recalculate(dialog, true);
    return FALSE;
  }
  if (const int unit = UnitIndexOfButton(id); unit >= 0) {
    wagerState.unitCents = UnitAmountTable[static_cast<std::size_t>(unit)].cents;
    Recalculate(dialog, true);
    return FALSE;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK CalculatorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // Sent by the system while it creates the dialog, and by every
      // recalculation to lay the form out afresh. FALSE: no control gets
      // the focus at creation.
      RefreshLayout(dialog);
      return FALSE;
    case WM_COMMAND: {
      // One command is one action of the person, with every command it
      // causes in turn; the history takes at most one step for it. A size
      // edit's other notifications (EN_UPDATE comes before EN_CHANGE, when
      // the text has changed but has not been clamped yet) take none.
      const int id = LOWORD(wParam);
      const int notification = HIWORD(wParam);
      if (RowOfSizeEdit(id) >= 0 && notification != EN_CHANGE) return FALSE;
      BeginFormAction();
      const INT_PTR result = HandleCommand(dialog, id, notification);
      EndFormAction(notification == EN_CHANGE ? RowOfSizeEdit(id) : -1);
      return result;
    }
    default:
      return FALSE;
  }
}

HWND CreateCalculator(HINSTANCE instance, std::string_view startTicket) {
  DestroyCalculator();
  wagerState = WagerState{};
  calculatorInstance = instance;

  // The system lays out the radio groups while it creates the dialog; the
  // rows wait until the handle is stored. Created through the W function,
  // the dialog and its controls are Unicode windows: typed and pasted text
  // reaches them, and is read back, as UTF-16.
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_CALCULATOR), nullptr, CalculatorDialogProc, 0);
  if (dialog == nullptr) return nullptr;
  calculatorDialog = dialog;
  FollowMonitorDpi(dialog);
  CacheControls(dialog);
  TakeOverTicketBox(Controls().ticket);
  AddKeysHelpCommand(dialog);

  // Icons that fail to load are sent as they are: no icon.
  SendMessageA(dialog, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_TALLYHORN))));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_TALLYHORN_SMALL))));

  // Lay the rows out with every field still 0, then give every row twelve
  // horses; each of the eight writes recalculates.
  SendMessageA(dialog, WM_INITDIALOG, 0, 0);
  SetAllFieldSizes(kDefaultFieldSize);
  if (!startTicket.empty()) OpenStartTicket(dialog, startTicket);

  ShowWindow(dialog, SW_SHOWNORMAL);
  UpdateWindow(dialog);
  // Undo goes back as far as what the calculator shows once it is up.
  StartHistory();
  return dialog;
}

int RunMessageLoop() {
  MSG message{};
  // The W functions throughout, so a typed character reaches the edits as
  // the UTF-16 unit it is, never through the window code page.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The plan window's keys and dialog keys, for messages meant for it.
    if (TakePlanMessage(message)) continue;
    if (TakeCalculatorKey(message)) continue;
    if (calculatorDialog != nullptr && IsDialogMessageW(calculatorDialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void DestroyCalculator() {
  // The plan window goes with the calculator; the plan is kept.
  ClosePlan();
  StopHistory();
  if (calculatorDialog != nullptr) DestroyWindow(calculatorDialog);
  calculatorDialog = nullptr;
  ForgetControls();
}

HWND CalculatorDialog() { return calculatorDialog; }

const WagerState& CalculatorState() { return wagerState; }

}  // namespace tallyhorn

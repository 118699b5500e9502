#include "ui/keys_help.h"

#include "ui/unicode.h"

namespace tallyhorn {
namespace {

WNDPROC dialogProcedure = nullptr;  // the dialog's own window procedure

LRESULT CALLBACK KeysHelpProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == kKeysHelpCommand) {
    ShowKeysHelp(dialog);
    return 0;
  }
  return CallWindowProcW(dialogProcedure, dialog, message, wParam, lParam);
}

}  // namespace

const std::string_view kKeysHelpText =
    "Reading a ticket\n"
    "Type a ticket into the white box at the bottom and press Enter, for example\n"
    "    $1 Trifecta: 1,2 / 5 / 3,4\n"
    "    $0.50 Pick-4: 1-3 / ALL / 7 / 2,9\n"
    "The form then shows it. A row lists horses, ranges such as 1-4, and ALL.\n"
    "The price of one combination may be any amount from $0.01 to $1,000; a price\n"
    "that is not on one of the unit buttons checks none of them.\n"
    "Type a price alone, such as $0.50, and press Enter to change the price and\n"
    "keep every tick.\n"
    "Enter on the ticket the calculator wrote, or on an empty box, changes nothing.\n"
    "A text that is not a ticket is explained in a warning, and stays in the box\n"
    "for you to mend.\n"
    "\n"
    "Pasting\n"
    "Ctrl+V or Shift+Insert pastes a copied ticket into the form, wherever you are;\n"
    "so does Paste in the white box's menu. A text that is not a ticket is pasted\n"
    "into the white box as text; elsewhere the calculator beeps. In a box of horses\n"
    "per race they paste the number.\n"
    "\n"
    "Undo\n"
    "Ctrl+Z undoes the last change of the form, typing in the white box included;\n"
    "Ctrl+Y or Ctrl+Shift+Z redoes it. Up to 500 changes are kept.\n"
    "\n"
    "Other keys\n"
    "Ctrl+A selects the whole text of a box. Enter in a box of horses per race\n"
    "selects its number, and on a button presses it. Escape closes the calculator.";

void AddKeysHelpCommand(HWND dialog) {
  HMENU menu = GetSystemMenu(dialog, FALSE);
  if (menu != nullptr) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kKeysHelpCommand, L"Keys and tickets...");
  }
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeysHelpProcedure)));
  if (previous != nullptr && previous != KeysHelpProcedure) dialogProcedure = previous;
}

void ShowKeysHelp(HWND dialog) { ShowMessageBox(dialog, kKeysHelpText, kKeysHelpCaption, MB_ICONINFORMATION); }

}  // namespace tallyhorn

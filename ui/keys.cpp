#include "ui/keys.h"

#include "ui/form.h"
#include "ui/history.h"
#include "ui/key_state.h"
#include "ui/plan_window.h"
#include "ui/resource.h"
#include "ui/ticket_entry.h"

namespace tallyhorn {
namespace {

// True for a control of the given window class.
bool HasClass(HWND control, const char* className) {
  char name[16]{};
  GetClassNameA(control, name, static_cast<int>(sizeof name));
  return lstrcmpiA(name, className) == 0;
}

// True for a push button (plain or default), not a check box or radio
// button.
bool IsPushButton(HWND control) {
  if (!HasClass(control, "Button")) return false;
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Enter on the control that has it.
void TakeEnter(HWND dialog, HWND target) {
  if (RowOfSizeEdit(GetDlgCtrlID(target)) >= 0) {
    // The form already follows the number typed: keep it, selected, so the
    // next digits replace it.
    SendMessageA(target, EM_SETSEL, 0, -1);
  } else if (target == Controls().ticket) {
    EnterTypedTicket(dialog);
  } else if (IsPushButton(target)) {
    SendMessageA(target, BM_CLICK, 0, 0);
  }
}

// Ctrl+V or Shift+Insert on the control that has them. A size edit pastes
// the clipboard's digits itself; the ticket box pastes through its own
// paste, which reads a ticket first; elsewhere a ticket sets the form, and
// any other text earns a beep rather than silence.
bool TakePaste(HWND dialog, HWND target) {
  if (RowOfSizeEdit(GetDlgCtrlID(target)) >= 0) return false;
  if (target == Controls().ticket) {
    SendMessageW(target, WM_PASTE, 0, 0);
  } else if (!PasteTicket(dialog)) {
    keyBeep(MB_OK);
  }
  return true;
}

}  // namespace

BOOL(WINAPI* keyBeep)(UINT) = MessageBeep;

bool TakeCalculatorKey(const MSG& message) {
  const HWND dialog = calculatorDialog;
  if (message.message != WM_KEYDOWN || dialog == nullptr) return false;
  if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) return false;
  const bool control = KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU);
  const bool shift = KeyHeld(VK_SHIFT);
  const HWND target = message.hwnd;

  // Ctrl+Enter, anywhere in the calculator: its ticket goes into the plan,
  // once however long the keys are held.
  if (message.wParam == VK_RETURN && control) {
    if (!IsRepeatedKey(message)) AddCalculatorTicketToPlan();
    return true;
  }
  if (message.wParam == VK_RETURN && !KeyHeld(VK_MENU)) {
    // Held down, Enter acts once: its repeats would read the same ticket
    // again, or open the same warning once per repeat.
    if (!IsRepeatedKey(message)) TakeEnter(dialog, target);
    return true;
  }
  if (message.wParam == VK_INSERT && shift && !control && !KeyHeld(VK_MENU)) return TakePaste(dialog, target);
  if (!control) return false;
  switch (message.wParam) {
    case 'A':
      if (!HasClass(target, "Edit")) return false;
      SendMessageA(target, EM_SETSEL, 0, -1);
      return true;
    case 'V':
      return TakePaste(dialog, target);
    case 'Z':
      if (shift) {
        RedoFormChange(dialog);
      } else {
        UndoFormChange(dialog);
      }
      return true;
    case 'Y':
      RedoFormChange(dialog);
      return true;
    default:
      return false;
  }
}

}  // namespace tallyhorn

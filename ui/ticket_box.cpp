#include "ui/ticket_box.h"

#include "ui/form.h"
#include "ui/ticket_entry.h"
#include "ui/unicode.h"

namespace tallyhorn {
namespace {

std::wstring writtenTicket;   // what the last recalculation wrote
WNDPROC editProcedure = nullptr;  // the edit control's own procedure

/*
 * The box's procedure: a paste that finds a ticket on the clipboard shows
 * it in the form (which rewrites the box); otherwise the edit control pastes
 * the text itself. Everything else goes to the edit control.
 */
LRESULT CALLBACK TicketBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PASTE && calculatorDialog != nullptr && PasteTicket(calculatorDialog)) return 0;
  return CallWindowProcW(editProcedure, box, message, wParam, lParam);
}

}  // namespace

void WriteTicketBox(std::string_view ticket) {
  const HWND box = Controls().ticket;
  if (box == nullptr) return;
  writtenTicket = Utf16Of(ticket);
  SetWindowTextW(box, writtenTicket.c_str());
}

std::wstring TicketBoxText() { return WideWindowText(Controls().ticket); }

std::optional<std::wstring> TypedTicketText() {
  if (Controls().ticket == nullptr) return std::nullopt;
  std::wstring text = TicketBoxText();
  if (text == writtenTicket) return std::nullopt;
  return text;
}

void ShowTypedTicketText(const std::wstring& typed) {
  const HWND box = Controls().ticket;
  if (box == nullptr) return;
  SetWindowTextW(box, typed.c_str());
  const auto end = static_cast<LPARAM>(typed.size());
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void TakeOverTicketBox(HWND box) {
  writtenTicket.clear();
  if (box == nullptr) return;
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TicketBoxProcedure)));
  // Every edit control shares one procedure, so the one kept from an
  // earlier calculator's box serves this one too.
  if (previous != nullptr && previous != TicketBoxProcedure) editProcedure = previous;
}

}  // namespace tallyhorn

#include "ui/ticket_entry.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ui/calculator.h"
#include "ui/form.h"
#include "ui/history.h"

namespace tallyhorn {
namespace {

constexpr const char* kWarningCaption = "Tallyhorn";

// Clipboard text longer than this is no ticket; it is not read at all.
constexpr std::size_t kLongestTicketText = 64 * 1024;

// The clipboard's text, or nothing when it holds none or too much.
std::optional<std::string> ClipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_TEXT); data != nullptr) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data)); bytes != nullptr) {
      // The text ends at its NUL, or at the end of the block if a careless
      // program left it out.
      const std::size_t size = GlobalSize(data);
      const std::size_t length = strnlen(bytes, size);
      if (length <= kLongestTicketText) text.emplace(bytes, length);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Shows why a text is not one ticket, in a modal warning box.
void ShowReadingFault(HWND dialog, const char* what, const std::string& error) {
  const std::string text = std::string("Tallyhorn could not read ") + what + ":\n\n" + error;
  MessageBoxA(dialog, text.c_str(), kWarningCaption, MB_ICONWARNING | MB_OK);
}

// Reads the text and shows its ticket, or explains why there is none.
void ShowTicketOrFault(HWND dialog, std::string_view text, const char* what) {
  const TicketReading reading = ReadFormTicket(text);
  if (reading.ticket) {
    ShowTicket(dialog, *reading.ticket);
  } else {
    ShowReadingFault(dialog, what, reading.error);
  }
}

}  // namespace

TicketReading ReadFormTicket(std::string_view text) {
  const std::vector<std::string_view> lines = TicketLines(text);
  if (lines.size() > 1) {
    return TicketReading{std::nullopt,
                         "the text holds " + std::to_string(lines.size()) + " tickets; Tallyhorn reads one at a time",
                         ReadFault::kOther};
  }
  return ReadTicket(lines.empty() ? std::string_view{} : lines.front(), ReadSizeEdits(), FieldRule::kGrow);
}

void ShowTicket(HWND dialog, const Ticket& ticket) {
  BeginFormAction();
  wagerState.betType = ticket.betType;
  wagerState.unitCents = ticket.unitCents;
  for (Row r = 0; r < kRowCount; ++r) {
    const HorseMask horses = ticket.rows[static_cast<std::size_t>(r)];
    for (int slot = 0; slot < kSlotCount; ++slot) SetHorseBox(r, slot, ((horses >> slot) & 1u) != 0);
  }
  // Only a field the ticket grew is rewritten: the others keep their text.
  // A one-race bet has one size edit, the first.
  const FieldSizes sizes = ReadSizeEdits();
  const Row edits = IsPositionBet(ticket.betType) ? 1 : RowCountOf(ticket.betType);
  for (Row r = 0; r < edits; ++r) {
    const auto row = static_cast<std::size_t>(r);
    if (ticket.fieldSize[row] > sizes[row]) SetSizeEditText(r, std::to_string(ticket.fieldSize[row]));
  }
  Recalculate(dialog, true);
  EndFormAction();
}

bool PasteTicket(HWND dialog) {
  const std::optional<std::string> text = ClipboardText(dialog);
  if (!text) return false;
  const TicketReading reading = ReadFormTicket(*text);
  if (!reading.ticket) return false;
  ShowTicket(dialog, *reading.ticket);
  return true;
}

void EnterTypedTicket(HWND dialog) {
  ShowTicketOrFault(dialog, ControlText(Controls().ticket), "the ticket in the box");
}

void OpenStartTicket(HWND dialog, std::string_view text) {
  ShowTicketOrFault(dialog, text, "the ticket on the command line");
}

}  // namespace tallyhorn

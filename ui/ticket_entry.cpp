#include "ui/ticket_entry.h"

#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/history.h"
#include "ui/ticket_box.h"
#include "ui/unicode.h"

namespace tallyhorn {
namespace {

constexpr const char* kWarningCaption = "Tallyhorn";

// Clipboard text longer than this is no ticket; it is not read at all.
constexpr std::size_t kLongestTicketText = 64 * 1024;

// The text of a clipboard block of characters of type Char, up to its NUL
// or the end of the block if a careless program left the NUL out; nothing
// when it is longer than a ticket text can be.
template <typename Char>
std::optional<std::basic_string<Char>> BlockText(HANDLE data) {
  std::optional<std::basic_string<Char>> text;
  const auto* chars = static_cast<const Char*>(GlobalLock(data));
  if (chars == nullptr) return text;
  const std::size_t size = GlobalSize(data) / sizeof(Char);
  std::size_t length = 0;
  while (length < size && chars[length] != 0) ++length;
  if (length <= kLongestTicketText) text.emplace(chars, length);
  GlobalUnlock(data);
  return text;
}

// The clipboard's text, or nothing when it holds none or too much. The
// Unicode text is read where there is one: it is what most programs put
// there, and it loses no character.
std::optional<std::string> ClipboardText(HWND owner) {
  const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
  if ((!unicode && !IsClipboardFormatAvailable(CF_TEXT)) || !OpenClipboard(owner)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT); data != nullptr) {
    // UTF-16 as UTF-8, which the reader takes in full: a no-break or
    // zero-width space copied from a web page stays a blank. Text in the
    // window code page alone is widened first.
    if (unicode) {
      if (const std::optional<std::wstring> wide = BlockText<wchar_t>(data)) text = Utf8Of(*wide);
    } else if (const std::optional<std::string> narrow = BlockText<char>(data)) {
      text = Utf8Of(Utf16Of(*narrow, CP_ACP));
    }
  }
  CloseClipboard();
  return text;
}

// Shows why a text is not one ticket, in a modal warning box.
void ShowReadingFault(HWND dialog, const char* what, const std::string& error) {
  const std::string text = std::string("Tallyhorn could not read ") + what + ":\n\n" + error;
  ShowMessageBox(dialog, text, kWarningCaption, MB_ICONWARNING | MB_OK);
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

// The price of a text whose one ticket line is a price alone ("$0.50").
std::optional<UnitCents> PriceAlone(std::string_view text) {
  const std::vector<std::string_view> lines = TicketLines(text);
  if (lines.size() != 1) return std::nullopt;
  return ReadUnitPrice(lines.front());
}

}  // namespace

TicketReading ReadFormTicket(std::string_view text) {
  return ReadOneTicket(text, ReadSizeEdits(), FieldRule::kGrow);
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
    if (ticket.fieldSize[row] > sizes[row]) SetSizeEditText(r, std::to_wstring(ticket.fieldSize[row]));
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

void SetUnitPrice(HWND dialog, UnitCents price) {
  BeginFormAction();
  wagerState.unitCents = price;
  Recalculate(dialog, true);
  EndFormAction();
}

void EnterTypedTicket(HWND dialog) {
  // The calculator's own text holds nothing new: reading it back would
  // only drop the hidden ticks it leaves out.
  const std::optional<std::wstring> typed = TypedTicketText();
  if (!typed) return;
  const std::string text = Utf8Of(*typed);
  if (TicketLines(text).empty()) return;  // nothing to read, nothing to warn of

  // What was typed and its reading are one step (see EndTypedTicketAction).
  if (const std::optional<UnitCents> price = PriceAlone(text)) {
    BeginFormAction();
    SetUnitPrice(dialog, *price);
    EndTypedTicketAction();
    return;
  }
  const TicketReading reading = ReadFormTicket(text);
  if (!reading.ticket) {
    // The typing stays for the player to mend.
    ShowReadingFault(dialog, "the ticket in the box", reading.error);
    return;
  }
  BeginFormAction();
  ShowTicket(dialog, *reading.ticket);
  EndTypedTicketAction();
}

void OpenStartTicket(HWND dialog, std::string_view text) {
  ShowTicketOrFault(dialog, text, "the ticket on the command line");
}

}  // namespace tallyhorn

#include "ui/ticket_entry.h"

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

// UTF-16 as UTF-8, which the reader takes in full: a no-break or
// zero-width space copied from a web page stays a blank, where the window
// code page would make a zero-width space a "?".
std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
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
    if (unicode) {
      if (const std::optional<std::wstring> wide = BlockText<wchar_t>(data)) text = Utf8Of(*wide);
    } else {
      text = BlockText<char>(data);
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

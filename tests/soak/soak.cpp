// A long, seeded, repeatable run of random user actions on the real
// calculator dialog: horse boxes, bet types, units, Clr, All, RESET, texts
// typed into the size edits, tickets pasted with Ctrl+V or typed into the
// ticket box and Enter (good ones and texts that are no ticket), and Ctrl+Z,
// Ctrl+Y and Ctrl+Shift+Z, each delivered as the message a person's action
// produces, the keys through the calculator's own message loop. After every action the form is read back the way a
// person sees it and checked against the core's own answer for what is
// shown, and against a small model of what each action must have done, with
// a history of past forms of its own for undo and redo. Memory and the
// window-object counts must not grow over the run. On a failure the seed and
// the shortest failing action sequence found are printed.
//
//   soak [--seed N] [--actions N] [--seconds N] [--shrink-seconds N]
//        [--plant-fault] [--plant-leak]
//   soak --clipboard-helper   (started by the soak itself; see RunClipboardHelper)
//
// The two planted faults check the soak itself. --plant-fault makes its
// model expect All to tick one horse too many: the run must fail at the
// first All and shrink to that one click. --plant-leak leaks 1 KiB after
// every action: the memory comparison must catch it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "calc/ticket_read.h"
#include "calc/wager.h"
#include "ui/calculator.h"
#include "ui/history.h"
#include "ui/resource.h"

namespace tallyhorn::soak {
namespace {

using Clock = std::chrono::steady_clock;

// --- repeatable random numbers ----------------------------------------------

// SplitMix64: the same sequence for a seed on every compiler and library,
// so a seed printed by one build replays in another.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // A number from 0 to n - 1 (n > 0).
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }

  // True with a chance of one in n.
  bool OneIn(std::uint32_t n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

// --- actions ------------------------------------------------------------------

// Texts typed into a size edit: ordinary sizes, the edges around 20, leading
// zeros and blanks, numbers past 32 bits, and text that is no number at all.
constexpr std::array<const char*, 15> kSizeTexts{
    "", "0", "1", "7", "12", "16", "20", "21", "25", "007", " 9", "4294967296", "99999999999", "abc", "3x",
};

// The entry of kSizeTexts that reads `text`.
constexpr std::uint8_t SizeTextIndex(std::string_view text) {
  std::uint8_t i = 0;
  while (kSizeTexts[i] != text) ++i;
  return i;
}

enum class ActionKind : std::uint8_t { Box, BetType, Unit, Clear, All, Reset, SizeText, Paste, Undo, Redo, Type };
constexpr std::size_t kActionKinds = 11;

// What a pasted text is (the `index` of a Paste).
enum PasteSource : std::uint8_t {
  kPasteMadeText,    // a text made from the action's seed (see MakePasteText)
  kPasteFormTicket,  // the ticket box as the form should show it, copied whole
};

// The key a redo is pressed with (the `index` of a Redo).
enum RedoKey : std::uint8_t { kCtrlY, kCtrlShiftZ };

// One user action. `row` and `index` mean: Box row and slot; BetType and
// Unit the table index; Clear and All the row; SizeText the row and the
// entry of kSizeTexts; Paste the PasteSource; Redo the RedoKey. A key
// (Paste, Undo, Redo) is pressed with the focus in control `focus`; a made
// paste text comes from `seed`. Type types the made text of `seed` over the
// ticket box's text and presses Enter.
struct Action {
  ActionKind kind;
  std::uint8_t row = 0;
  std::uint8_t index = 0;
  std::uint16_t focus = 0;
  std::uint32_t seed = 0;
};

// The control a person works for the action.
int ControlIdOf(const Action& action) {
  switch (action.kind) {
    case ActionKind::Box: return BoxId(action.row, action.index);
    case ActionKind::BetType: return BetTypeButtonIds[action.index];
    case ActionKind::Unit: return UnitButtonIds[action.index];
    case ActionKind::Clear: return ClearButtonIds[action.row];
    case ActionKind::All: return AllButtonId(action.row);
    case ActionKind::Reset: return IDC_RESET;
    case ActionKind::SizeText: return SizeEditId(action.row);
    case ActionKind::Paste:
    case ActionKind::Undo:
    case ActionKind::Redo: return action.focus;
    case ActionKind::Type: return IDC_TICKET;
  }
  return 0;
}

char RowLetter(int row) { return static_cast<char>('A' + row); }

// A text with CR, LF and quotes shown, for failure messages.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '"') {
      quoted += "\\\"";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// --- texts to paste -------------------------------------------------------------

// What a made paste text says: either one ticket, with the horses each row
// names and whether it says ALL (what ALL covers depends on the form's
// fields when it is pasted), or something that is not one ticket.
struct PasteText {
  std::string text;
  bool ticket = false;
  BetType betType = kTrifecta;
  int unit = 0;
  std::array<HorseMask, kRowCount> named{};
  std::array<bool, kRowCount> all{};
  const char* fault = "";  // for a text that is no ticket: what is wrong with it
};

// `word` with its letters in a random case: as written, lower, upper or mixed.
std::string AnyCase(Random& random, std::string_view word) {
  std::string out(word);
  const std::uint32_t style = random.Below(4);
  for (char& c : out) {
    const bool upper = style == 2 || (style == 3 && random.OneIn(2));
    if (style == 0) continue;
    if (c >= 'a' && c <= 'z' && upper) c = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z' && !upper) c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The unit as a person may write it: "$1" or "$1.00", "$0.10" or "$0.1".
std::string UnitText(Random& random, int unit) {
  const UnitAmount& amount = UnitAmountTable[static_cast<std::size_t>(unit)];
  if (random.OneIn(3)) {
    if (amount.cents % 100 == 0) return std::string(amount.caption) + ".00";
    if (amount.cents % 10 == 0) return std::string(amount.caption, std::strlen(amount.caption) - 1);
  }
  return amount.caption;
}

// The horses of a mask as a row is written: ascending numbers, runs of two
// or more sometimes as ranges ("3-6"), now and then in reverse order.
std::string HorseList(Random& random, HorseMask horses, const std::string& comma) {
  std::vector<std::string> items;
  for (int horse = 1; horse <= kMaxFieldSize;) {
    if (((horses >> (horse - 1)) & 1u) == 0) {
      ++horse;
      continue;
    }
    int last = horse;
    while (last < kMaxFieldSize && ((horses >> last) & 1u) != 0) ++last;
    if (last > horse && random.OneIn(2)) {
      items.push_back(std::to_string(horse) + "-" + std::to_string(last));
    } else {
      for (int h = horse; h <= last; ++h) items.push_back(std::to_string(h));
    }
    horse = last + 1;
  }
  if (random.OneIn(8)) std::reverse(items.begin(), items.end());
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : comma) + item;
  return text;
}

/*
 * A random ticket: a random bet type and unit, and for every row of it some
 * horses of a random field (half the time at most 12, so pasting often, but
 * not always, grows the form's field), or ALL, or ALL and a horse. Written
 * either exactly as the ticket box writes it (the first line of BuildTicket,
 * with or without its "Bets:" line) or with the freedoms the notation allows:
 * ranges, any case, "$1.00", spaces or none around the separators, a "#"
 * line or blank line before it, a "Bets:" line after it, "\n" or "\r\n".
 */
PasteText MakeTicket(Random& random, std::vector<std::string>& rowTexts, std::string& head) {
  PasteText paste;
  paste.ticket = true;
  paste.betType = static_cast<BetType>(random.Below(kBetTypeCount));
  paste.unit = static_cast<int>(random.Below(kUnitCount));
  const int rows = RowCountOf(paste.betType);
  const bool exact = random.OneIn(4);

  WagerState state;
  state.betType = paste.betType;
  state.unitCents = UnitAmountTable[static_cast<std::size_t>(paste.unit)].cents;
  const int oneField = 1 + static_cast<int>(random.Below(random.OneIn(2) ? 12 : kMaxFieldSize));
  for (int r = 0; r < rows; ++r) {
    const auto row = static_cast<std::size_t>(r);
    const int field = IsPositionBet(paste.betType) ? oneField
                                                   : 1 + static_cast<int>(random.Below(random.OneIn(2) ? 12 : 20));
    state.fieldSize[row] = field;
    if (!exact && random.OneIn(8)) {
      paste.all[row] = true;
      if (random.OneIn(3)) paste.named[row] = HorseMask{1} << random.Below(static_cast<std::uint32_t>(field));
      continue;
    }
    const std::uint32_t density = 1 + random.Below(4);
    for (int i = 0; i < field; ++i) {
      if (random.OneIn(density)) paste.named[row] |= HorseMask{1} << i;
    }
    if (paste.named[row] == 0) paste.named[row] = HorseMask{1} << random.Below(static_cast<std::uint32_t>(field));
    for (int i = 0; i < kSlotCount; ++i) {
      state.selections[row][static_cast<std::size_t>(i)] = ((paste.named[row] >> i) & 1u) != 0 ? 1 : 0;
    }
  }
  state.combinationCount = CountCombinations(state);

  rowTexts.clear();
  if (exact && state.combinationCount > 0) {
    // The ticket box's own writing, split back into its parts so the texts
    // that are no ticket can be made from it too.
    const std::string box = BuildTicket(state).ticket.data();
    const std::string line = box.substr(0, box.find('\r'));
    const std::size_t colon = line.find(':');
    head = line.substr(0, colon + 2);
    const std::string rest = line.substr(colon + 2);
    for (std::size_t start = 0; start <= rest.size();) {
      const std::size_t slash = std::min(rest.find(" / ", start), rest.size());
      rowTexts.push_back(rest.substr(start, slash - start));
      start = slash + 3;
    }
    paste.text = random.OneIn(2) ? box : line;
    return paste;
  }
  const std::string space = random.OneIn(3) ? "" : (random.OneIn(4) ? "  " : " ");
  const std::string comma = random.OneIn(4) ? ", " : ",";
  head = UnitText(random, paste.unit) + " " + AnyCase(random, BetTypeTable[static_cast<std::size_t>(paste.betType)].name) +
         ":" + (random.OneIn(5) ? "" : " ");
  for (int r = 0; r < rows; ++r) {
    const auto row = static_cast<std::size_t>(r);
    std::string text = paste.all[row] ? AnyCase(random, "ALL") : "";
    if (paste.named[row] != 0) text += (text.empty() ? "" : comma) + HorseList(random, paste.named[row], comma);
    rowTexts.push_back(text);
  }
  paste.text = head;
  for (std::size_t r = 0; r < rowTexts.size(); ++r) paste.text += (r == 0 ? "" : space + "/" + space) + rowTexts[r];
  return paste;
}

// The rows joined as a ticket line after `head`.
std::string TicketLine(const std::string& head, const std::vector<std::string>& rowTexts) {
  std::string line = head;
  for (std::size_t r = 0; r < rowTexts.size(); ++r) line += (r == 0 ? "" : " / ") + rowTexts[r];
  return line;
}

/*
 * The text a Paste of kPasteMadeText puts on the clipboard, made from its
 * seed alone, so a replayed or shortened run pastes the same text. Three
 * in four are one ticket, sometimes between "#" and "Bets:" lines; the
 * others are not one ticket: two tickets, a horse 21 or 0, a backward range,
 * an empty entry or row, a row too many or too few, an unknown unit or bet
 * name, no colon, no ticket line at all, or garbage.
 */
PasteText MakePasteText(std::uint32_t seed) {
  Random random(0x7A11'0000'0000ULL ^ seed);
  std::vector<std::string> rowTexts;
  std::string head;
  PasteText paste = MakeTicket(random, rowTexts, head);
  const std::string eol = random.OneIn(2) ? "\r\n" : "\n";
  if (random.OneIn(4)) {
    paste.ticket = true;
    if (random.OneIn(3)) paste.text = (random.OneIn(2) ? "# my picks" : "") + eol + paste.text;
    if (random.OneIn(2)) paste.text += eol + "Bets:  4  Total:  $4 ";
    return paste;
  }
  if (!random.OneIn(3)) return paste;

  paste.ticket = false;
  const auto row = random.Below(static_cast<std::uint32_t>(rowTexts.size()));
  switch (random.Below(10)) {
    case 0: {
      std::vector<std::string> otherRows;
      std::string otherHead;
      const PasteText other = MakeTicket(random, otherRows, otherHead);
      paste.text = TicketLine(head, rowTexts) + eol + TicketLine(otherHead, otherRows);
      paste.fault = "two tickets";
      break;
    }
    case 1:
      rowTexts[row] += random.OneIn(2) ? ",21" : ",19-21";
      paste.text = TicketLine(head, rowTexts);
      paste.fault = "horse 21";
      break;
    case 2:
      if (random.OneIn(2)) {
        rowTexts.pop_back();
      } else {
        rowTexts.push_back("1");
      }
      paste.text = TicketLine(head, rowTexts);
      paste.fault = "wrong number of rows";
      break;
    case 3: {
      static constexpr std::array<const char*, 6> kBadRows{"0", "5-2", "1,,2", "", "x", "1-"};
      rowTexts[row] = kBadRows[random.Below(kBadRows.size())];
      paste.text = TicketLine(head, rowTexts);
      paste.fault = "a bad row";
      break;
    }
    case 4: {
      static constexpr std::array<const char*, 5> kBadUnits{"$0 ", "$0.005 ", "$ ", "1 ", "$1000.01 "};
      head = kBadUnits[random.Below(kBadUnits.size())] + head.substr(head.find(' ') + 1);
      paste.text = TicketLine(head, rowTexts);
      paste.fault = "no such unit";
      break;
    }
    case 5: {
      static constexpr std::array<const char*, 4> kBadNames{"Quinella", "Pick-9", "Superfecta-7", "Pick 3"};
      paste.text = TicketLine(std::string("$1 ") + kBadNames[random.Below(kBadNames.size())] + ": ", rowTexts);
      paste.fault = "no such bet type";
      break;
    }
    case 6:
      paste.text = TicketLine(head.substr(0, head.find(':')) + " ", rowTexts);
      paste.fault = "no colon";
      break;
    case 7: {
      static constexpr std::array<const char*, 4> kNoTicket{"", "Bets:  4  Total:  $4 ", "# nothing yet", "  "};
      paste.text = kNoTicket[random.Below(kNoTicket.size())];
      paste.fault = "no ticket line";
      break;
    }
    default: {
      // Printable garbage that does not start with "$".
      const std::uint32_t length = 1 + random.Below(40);
      paste.text.clear();
      for (std::uint32_t i = 0; i < length; ++i) {
        paste.text += static_cast<char>(i == 0 ? 'a' + random.Below(26) : ' ' + random.Below(95));
      }
      paste.fault = "garbage";
      break;
    }
  }
  return paste;
}

// A paste's text: the made text of its seed, or the ticket box of `form`
// as the form should show it (see FormTicket below).
struct Model;
PasteText PasteTextOf(const Action& action, const Model& form);

// The control in words, for the focus of a key.
std::string ControlName(int id) {
  char text[48] = {};
  if (id == IDC_TICKET) return "the ticket box";
  if (id == IDC_RESET) return "RESET";
  for (int r = 0; r < kRowCount; ++r) {
    if (id == SizeEditId(r)) std::snprintf(text, sizeof text, "the size edit of row %c", RowLetter(r));
    if (id == ClearButtonIds[static_cast<std::size_t>(r)]) std::snprintf(text, sizeof text, "Clr of row %c", RowLetter(r));
    if (id == AllButtonId(r)) std::snprintf(text, sizeof text, "All of row %c", RowLetter(r));
    for (int i = 0; i < kSlotCount; ++i) {
      if (id == BoxId(r, i)) std::snprintf(text, sizeof text, "horse %d of row %c", i + 1, RowLetter(r));
    }
  }
  if (text[0] == '\0') std::snprintf(text, sizeof text, "control %d", id);
  return text;
}

// The action in words, as a person would write the step down.
std::string Describe(const Action& action) {
  char text[96] = {};
  switch (action.kind) {
    case ActionKind::Box:
      std::snprintf(text, sizeof text, "click horse %d of row %c", action.index + 1, RowLetter(action.row));
      break;
    case ActionKind::BetType:
      std::snprintf(text, sizeof text, "click bet type %s", BetTypeTable[action.index].name);
      break;
    case ActionKind::Unit:
      std::snprintf(text, sizeof text, "click unit %s", UnitAmountTable[action.index].caption);
      break;
    case ActionKind::Clear: std::snprintf(text, sizeof text, "click Clr of row %c", RowLetter(action.row)); break;
    case ActionKind::All: std::snprintf(text, sizeof text, "click All of row %c", RowLetter(action.row)); break;
    case ActionKind::Reset: std::snprintf(text, sizeof text, "click RESET"); break;
    case ActionKind::SizeText:
      std::snprintf(text, sizeof text, "set size edit of row %c to \"%s\"", RowLetter(action.row),
                    kSizeTexts[action.index]);
      break;
    case ActionKind::Paste: {
      const std::string focus = " with the focus in " + ControlName(action.focus);
      if (action.index == kPasteFormTicket) return "copy the ticket the form shows, paste it back" + focus;
      const PasteText paste = MakePasteText(action.seed);
      return "paste " + Quoted(paste.text) + (paste.ticket ? "" : std::string(" (") + paste.fault + ")") + focus +
             " (paste seed " + std::to_string(action.seed) + ")";
    }
    case ActionKind::Undo: return "Ctrl+Z with the focus in " + ControlName(action.focus);
    case ActionKind::Type: {
      const PasteText typed = MakePasteText(action.seed);
      return "type " + Quoted(typed.text) + (typed.ticket ? "" : std::string(" (") + typed.fault + ")") +
             " over the ticket box's text and press Enter (text seed " + std::to_string(action.seed) + ")";
    }
    case ActionKind::Redo:
      return std::string(action.index == kCtrlY ? "Ctrl+Y" : "Ctrl+Shift+Z") + " with the focus in " +
             ControlName(action.focus);
  }
  return text;
}

// The controls of the current calculator by ID, looked up once per
// calculator: under Wine every GetDlgItem asks the window server, and a
// check reads a few hundred controls.
constexpr int kFirstId = IDC_BOXES_A;
constexpr int kLastId = IDC_TICKET;
std::array<HWND, kLastId - kFirstId + 1> controlsById{};

void RememberControls(HWND dialog) {
  for (int id = kFirstId; id <= kLastId; ++id) {
    controlsById[static_cast<std::size_t>(id - kFirstId)] = GetDlgItem(dialog, id);
  }
}

HWND Control(int id) {
  return id >= kFirstId && id <= kLastId ? controlsById[static_cast<std::size_t>(id - kFirstId)] : nullptr;
}

// Shown on screen: the control is visible in a visible dialog (what
// IsWindowVisible says for a child of the dialog, without asking the window
// server for its parents).
bool Visible(HWND dialog, int id) {
  const HWND control = Control(id);
  return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0 &&
         (GetWindowLongA(dialog, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Checked(int id) {
  return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A control's whole text, however long (pasted text makes the ticket box's
// longer than any ticket).
std::string Text(int id) {
  const HWND control = Control(id);
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A text in global memory for the clipboard: `bytes` bytes copied from
// `data`; nullptr when there is no memory.
HGLOBAL GlobalCopy(const void* data, std::size_t bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return nullptr;
  std::memcpy(GlobalLock(memory), data, bytes);
  GlobalUnlock(memory);
  return memory;
}

/*
 * Puts a text on the clipboard as most programs copying text do, both as
 * CF_TEXT and as CF_UNICODETEXT (the texts are ASCII): the calculator reads
 * the one, the ticket box pastes the other. Under Wine, reading a format the
 * system has to make from the other keeps about 1 KiB each time, which the
 * memory check would blame on the calculator.
 */
bool SetClipboardText(const std::string& text) {
  const std::wstring wide(text.begin(), text.end());
  HGLOBAL narrowCopy = GlobalCopy(text.c_str(), text.size() + 1);
  HGLOBAL wideCopy = GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  bool opened = false;
  for (int attempt = 0; attempt < 100 && !(opened = OpenClipboard(nullptr) != 0); ++attempt) Sleep(10);
  bool set = opened && narrowCopy != nullptr && wideCopy != nullptr && EmptyClipboard();
  const bool narrowSet = set && SetClipboardData(CF_TEXT, narrowCopy) != nullptr;
  const bool wideSet = narrowSet && SetClipboardData(CF_UNICODETEXT, wideCopy) != nullptr;
  if (opened) CloseClipboard();
  // What the clipboard took is the system's to free now.
  if (!narrowSet && narrowCopy != nullptr) GlobalFree(narrowCopy);
  if (!wideSet && wideCopy != nullptr) GlobalFree(wideCopy);
  return wideSet;
}

bool ReadAll(HANDLE from, void* data, DWORD size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    DWORD read = 0;
    if (!ReadFile(from, bytes, size, &read, nullptr) || read == 0) return false;
    bytes += read;
    size -= read;
  }
  return true;
}

bool WriteAll(HANDLE to, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(to, data, size, &written, nullptr) && written == size;
}

/*
 * The clipboard helper (this program started with --clipboard-helper): reads
 * texts from standard input, each a 32-bit length and its bytes, puts each
 * on the clipboard and answers one byte, 1 when it is there. Texts to paste
 * come from another program, as a person's do: a program reading text it put
 * on the clipboard itself takes another path through the system (under Wine
 * one that also keeps about 1 KiB each time).
 */
int RunClipboardHelper() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::uint32_t length = 0;
  while (ReadAll(in, &length, sizeof length)) {
    std::string text(length, '\0');
    if (length > 0 && !ReadAll(in, text.data(), length)) return 1;
    const char answer = SetClipboardText(text) ? 1 : 0;
    if (!WriteAll(out, &answer, 1)) return 1;
  }
  return 0;
}

// The soak's end of the clipboard helper, started on first use.
class ClipboardHelper {
 public:
  ~ClipboardHelper() {
    if (toHelper_ != nullptr) CloseHandle(toHelper_);  // the helper ends at the end of its input
    if (fromHelper_ != nullptr) CloseHandle(fromHelper_);
  }

  // Puts `text` on the clipboard through the helper; false when that failed.
  bool Set(const std::string& text) {
    if (toHelper_ == nullptr) return false;
    const auto length = static_cast<std::uint32_t>(text.size());
    char answer = 0;
    return WriteAll(toHelper_, &length, sizeof length) && WriteAll(toHelper_, text.data(), length) &&
           ReadAll(fromHelper_, &answer, 1) && answer == 1;
  }

  // Starts the helper; false when it cannot be started.
  bool Start() {
    if (toHelper_ != nullptr) return true;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE helperIn = nullptr;
    HANDLE helperOut = nullptr;
    if (!CreatePipe(&helperIn, &toHelper_, &inherit, 0) || !CreatePipe(&fromHelper_, &helperOut, &inherit, 0)) {
      return false;
    }
    SetHandleInformation(toHelper_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromHelper_, HANDLE_FLAG_INHERIT, 0);
    std::array<char, MAX_PATH> path{};
    GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::string commandLine = std::string("\"") + path.data() + "\" --clipboard-helper";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = helperIn;
    startup.hStdOutput = helperOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process) != 0;
    CloseHandle(helperIn);
    CloseHandle(helperOut);
    if (!started) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
  }

 private:
  HANDLE toHelper_ = nullptr;
  HANDLE fromHelper_ = nullptr;
};
ClipboardHelper clipboardHelper;

// The code the soak ends the calculator's message loop with after a key;
// any other code is the calculator closing itself.
constexpr int kLoopStoppedBySoak = 0x50AC;

/*
 * Presses a key as a person does, with the focus in `target`: the key goes
 * down and up in the calculator's own message loop (RunMessageLoop), which
 * runs until the queue is empty. Posted keys do not move the thread's key
 * state, so Ctrl and Shift are held in it while the loop runs. False when
 * the loop ended for another reason than the soak's own stop.
 */
bool PressKey(HWND target, UINT virtualKey, bool control, bool shift) {
  SetFocus(target);
  std::array<BYTE, 256> keys{};
  GetKeyboardState(keys.data());
  const std::array<BYTE, 256> before = keys;
  keys[VK_CONTROL] = control ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys.data());
  const auto scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(target, WM_KEYDOWN, virtualKey, scan | 1);
  PostMessageA(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
  PostQuitMessage(kLoopStoppedBySoak);
  const int code = RunMessageLoop();
  std::array<BYTE, 256> restored = before;
  SetKeyboardState(restored.data());
  return code == kLoopStoppedBySoak;
}

// What carrying out an action did.
struct Performed {
  bool done = false;    // the action was carried out (its control was shown)
  bool closed = false;  // the calculator's message loop ended
  // For a paste with the focus in the ticket box: the box's text and
  // selection just before the key.
  std::string boxBefore;
  DWORD selectionStart = 0;
  DWORD selectionEnd = 0;
  // For Enter in the ticket box: whether a message box came up, and its text.
  bool warned = false;
  std::string warning;
};

// The message box a typed ticket brought up, closed by WatchForMessageBox.
Performed* watched = nullptr;
HWND watchedCalculator = nullptr;

// Collects the visible dialog windows of this thread other than the
// calculator: a message box it shows.
BOOL CALLBACK CollectMessageBox(HWND window, LPARAM found) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (window != watchedCalculator && IsWindowVisible(window) && std::strcmp(className, "#32770") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
  }
  return TRUE;
}

// Adds the text of every static control with text (a message box's
// message; its icon has none).
BOOL CALLBACK CollectStaticText(HWND control, LPARAM text) {
  char className[16] = {};
  GetClassNameA(control, className, sizeof className);
  std::array<char, 1024> shown{};
  GetWindowTextA(control, shown.data(), static_cast<int>(shown.size()));
  if (_stricmp(className, "Static") == 0) *reinterpret_cast<std::string*>(text) += shown.data();
  return TRUE;
}

/*
 * The timer that runs while Enter is carried out: a message box that came
 * up is read and closed with its OK button, as a person would; once none is
 * up, the soak's stop ends the message loop. The timer's first tick comes
 * after the key: a timer is the last thing a message loop looks at.
 */
void CALLBACK WatchForMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), CollectMessageBox, reinterpret_cast<LPARAM>(&box));
  if (box != nullptr) {
    watched->warned = true;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&watched->warning));
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return;
  }
  KillTimer(nullptr, timer);
  PostQuitMessage(kLoopStoppedBySoak);
}

/*
 * Delivers the action as the message a person's action produces: a click
 * (BM_CLICK) on a button or box, new text (WM_SETTEXT) in a size edit, or a
 * key through the message loop with the focus where a person has it (a
 * paste first puts its text on the clipboard). A control a person cannot
 * see cannot be worked: such an action (possible when a shortened sequence
 * is replayed) is skipped and `done` left false.
 */
Performed Perform(HWND dialog, const Action& action, const Model& form) {
  Performed performed;
  const int id = ControlIdOf(action);
  if (!Visible(dialog, id)) return performed;
  performed.done = true;
  switch (action.kind) {
    case ActionKind::SizeText:
      SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSizeTexts[action.index]));
      break;
    case ActionKind::Paste:
      if (!clipboardHelper.Set(PasteTextOf(action, form).text)) {
        std::printf("soak: the clipboard could not be set\n");
        std::exit(1);
      }
      if (id == IDC_TICKET) {
        performed.boxBefore = Text(IDC_TICKET);
        SendMessageA(Control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&performed.selectionStart),
                     reinterpret_cast<LPARAM>(&performed.selectionEnd));
      }
      performed.closed = !PressKey(Control(id), 'V', true, false);
      break;
    case ActionKind::Undo: performed.closed = !PressKey(Control(id), 'Z', true, false); break;
    case ActionKind::Type: {
      // Typed over the whole text (a person's Ctrl+A, then the keys), then
      // Enter, with a timer standing by for the warning box.
      const std::string text = MakePasteText(action.seed).text;
      const HWND box = Control(IDC_TICKET);
      SetFocus(box);
      SendMessageA(box, EM_SETSEL, 0, -1);
      SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
      watched = &performed;
      watchedCalculator = dialog;
      SetTimer(nullptr, 0, 10, WatchForMessageBox);
      const auto scan = static_cast<LPARAM>(MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC)) << 16;
      PostMessageA(box, WM_KEYDOWN, VK_RETURN, scan | 1);
      PostMessageA(box, WM_KEYUP, VK_RETURN, scan | 1 | (LPARAM{3} << 30));
      performed.closed = RunMessageLoop() != kLoopStoppedBySoak;
      watched = nullptr;
      break;
    }
    case ActionKind::Redo:
      performed.closed = action.index == kCtrlY ? !PressKey(Control(id), 'Y', true, false)
                                                : !PressKey(Control(id), 'Z', true, true);
      break;
    default: SendMessageA(Control(id), BM_CLICK, 0, 0); break;
  }
  return performed;
}

// Rows whose control of the given kind (Clr, All, size edit) is shown.
std::vector<std::uint8_t> RowsShowing(HWND dialog, ActionKind kind) {
  std::vector<std::uint8_t> rows;
  for (std::uint8_t r = 0; r < kRowCount; ++r) {
    if (Visible(dialog, ControlIdOf({kind, r, 0}))) rows.push_back(r);
  }
  return rows;
}

// The horse boxes shown.
std::vector<int> ShownBoxes(HWND dialog) {
  std::vector<int> boxes;
  for (int r = 0; r < kRowCount; ++r) {
    for (int i = 0; i < kSlotCount; ++i) {
      if (Visible(dialog, BoxId(r, i))) boxes.push_back(BoxId(r, i));
    }
  }
  return boxes;
}

/*
 * Picks random actions among those a person could take on the form as it
 * is now: only visible boxes, buttons and edits. Now and then it queues a
 * run a person makes to cover a whole card: every shown size edit set to
 * 20, then All on every shown row, so runs also reach the largest tickets
 * (a full Superfecta-6, a Pick-8 past one billion); or a long run of Ctrl+Z
 * (up to 150, past the 100 steps the history must keep at least) and then
 * some Ctrl+Y.
 */
class ActionSource {
 public:
  explicit ActionSource(std::uint64_t seed) : random_(seed) {}

  Action Next(HWND dialog) {
    if (fillClicks_ > 0) {
      const std::vector<int> boxes = ShownBoxes(dialog);
      if (boxes.empty()) return {ActionKind::Reset};
      if (--fillClicks_ == 0) QueueUndoRun(fillWalk_, fillWalk_);
      const int id = boxes[random_.Below(static_cast<std::uint32_t>(boxes.size()))];
      return {ActionKind::Box, static_cast<std::uint8_t>(RowOfBox(id)),
              static_cast<std::uint8_t>((id - IDC_BOXES_A) % kSlotCount)};
    }
    if (queued_.empty() && random_.OneIn(200)) QueueFullCard(dialog);
    if (queued_.empty() && random_.OneIn(600)) {
      const std::uint32_t undos = 1 + random_.Below(kLongestUndoRun);
      QueueUndoRun(undos, random_.Below(undos + 1));
    }
    if (!queued_.empty()) {
      Action action = queued_.front();
      queued_.erase(queued_.begin());
      // A queued key is pressed where the focus is picked now, among the
      // controls the form shows now.
      if (action.kind == ActionKind::Undo || action.kind == ActionKind::Redo) action.focus = Focus(dialog, action.kind);
      return action;
    }
    return Pick(dialog);
  }

  // `undos` Ctrl+Z, then `redos` redos.
  void QueueUndoRun(std::uint32_t undos, std::uint32_t redos) {
    for (std::uint32_t i = 0; i < undos; ++i) queued_.push_back({ActionKind::Undo});
    for (std::uint32_t i = 0; i < redos; ++i) {
      queued_.push_back({ActionKind::Redo, 0, static_cast<std::uint8_t>(random_.Below(2))});
    }
  }

  /*
   * Fills the calculator's history of changes from the next action on:
   * `clicks` clicks on random horse boxes (each one a step; RESET first if
   * no box is shown), then `walk` Ctrl+Z and as many redos.
   */
  void FillHistory(std::size_t clicks, std::uint32_t walk) {
    fillClicks_ = clicks;
    fillWalk_ = walk;
  }

  // True when no queued or filling action is left.
  bool Idle() const { return queued_.empty() && fillClicks_ == 0; }

  static constexpr std::uint32_t kLongestUndoRun = 150;

 private:
  static constexpr std::uint8_t kTwentyText = SizeTextIndex("20");

  void QueueFullCard(HWND dialog) {
    for (const std::uint8_t row : RowsShowing(dialog, ActionKind::SizeText)) {
      queued_.push_back({ActionKind::SizeText, row, kTwentyText});
    }
    for (const std::uint8_t row : RowsShowing(dialog, ActionKind::All)) queued_.push_back({ActionKind::All, row, 0});
  }

  // The control a key is pressed in: mostly the ticket box, else a horse
  // box, a push button or (for undo and redo, where Ctrl+V would paste
  // digits) a size edit.
  std::uint16_t Focus(HWND dialog, ActionKind kind) {
    std::vector<int> choices;
    switch (random_.Below(kind == ActionKind::Paste ? 4 : 5)) {
      case 0: choices = ShownBoxes(dialog); break;
      case 1:
        choices.push_back(IDC_RESET);
        for (const std::uint8_t row : RowsShowing(dialog, ActionKind::Clear)) {
          choices.push_back(ClearButtonIds[row]);
          choices.push_back(AllButtonId(row));
        }
        break;
      case 4:
        for (const std::uint8_t row : RowsShowing(dialog, ActionKind::SizeText)) choices.push_back(SizeEditId(row));
        break;
      default: break;
    }
    if (choices.empty()) return IDC_TICKET;
    return static_cast<std::uint16_t>(choices[random_.Below(static_cast<std::uint32_t>(choices.size()))]);
  }

  Action Key(HWND dialog, ActionKind kind, std::uint8_t index) {
    Action action{kind, 0, index};
    action.focus = Focus(dialog, kind);
    if (kind == ActionKind::Paste) action.seed = static_cast<std::uint32_t>(random_.Next());
    return action;
  }

  // A ticket typed into the box and Enter: a made text of one line, as
  // Enter in the box reads the text rather than breaking the line.
  Action Typed() {
    Action action{ActionKind::Type};
    do {
      action.seed = static_cast<std::uint32_t>(random_.Next());
    } while (MakePasteText(action.seed).text.find_first_of("\r\n") != std::string::npos);
    return action;
  }

  // One action; in percent: boxes 39, bet types 5, units 4, RESET 1, Clr 4,
  // All 19, size edits 15, Ctrl+V 5 (one in six the form's own ticket),
  // Ctrl+Z 4, redo 2, a typed ticket and Enter 2.
  Action Pick(HWND dialog) {
    while (true) {
      const std::uint32_t roll = random_.Below(100);
      if (roll < 2) return Typed();
      if (roll < 41) {
        const std::vector<int> boxes = ShownBoxes(dialog);
        if (boxes.empty()) continue;
        const int id = boxes[random_.Below(static_cast<std::uint32_t>(boxes.size()))];
        return {ActionKind::Box, static_cast<std::uint8_t>(RowOfBox(id)), static_cast<std::uint8_t>((id - IDC_BOXES_A) % kSlotCount)};
      }
      if (roll < 46) return {ActionKind::BetType, 0, static_cast<std::uint8_t>(random_.Below(kBetTypeCount))};
      if (roll < 50) return {ActionKind::Unit, 0, static_cast<std::uint8_t>(random_.Below(kUnitCount))};
      if (roll == 50) return {ActionKind::Reset, 0, 0};
      if (roll >= 89 && roll < 94) {
        return Key(dialog, ActionKind::Paste, random_.OneIn(6) ? kPasteFormTicket : kPasteMadeText);
      }
      if (roll >= 94 && roll < 98) return Key(dialog, ActionKind::Undo, 0);
      if (roll >= 98) return Key(dialog, ActionKind::Redo, static_cast<std::uint8_t>(random_.Below(2)));

      const ActionKind kind = roll < 55 ? ActionKind::Clear : (roll < 74 ? ActionKind::All : ActionKind::SizeText);
      const std::vector<std::uint8_t> rows = RowsShowing(dialog, kind);
      if (rows.empty()) continue;
      const std::uint8_t row = rows[random_.Below(static_cast<std::uint32_t>(rows.size()))];
      const auto text = kind == ActionKind::SizeText ? random_.Below(kSizeTexts.size()) : 0;
      return {kind, row, static_cast<std::uint8_t>(text)};
    }
  }

  Random random_;
  std::vector<Action> queued_;
  std::size_t fillClicks_ = 0;
  std::uint32_t fillWalk_ = 0;
};

// --- what the form must show --------------------------------------------------

/*
 * The number a person reads in a size edit: blanks skipped, then the leading
 * digits (so "007" is 7 and "3x" is 3); no digits read as 0. Numbers of any
 * length are read whole, held at a value far above any field size.
 */
std::uint64_t ReadAsPerson(std::string_view text) {
  constexpr std::uint64_t kHuge = 1'000'000'000'000ULL;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (value > kHuge) value = kHuge;
  }
  return value;
}

// The field a size edit's text gives, held at 20.
int FieldOfText(std::string_view text) {
  const std::uint64_t value = ReadAsPerson(text);
  return value > static_cast<std::uint64_t>(kMaxFieldSize) ? kMaxFieldSize : static_cast<int>(value);
}

// The highest horse of a mask, 0 for none.
int HighestHorse(HorseMask horses) {
  int highest = 0;
  for (int horse = 1; horse <= kMaxFieldSize; ++horse) {
    if (((horses >> (horse - 1)) & 1u) != 0) highest = horse;
  }
  return highest;
}

// Horses 1 to `count`.
HorseMask FirstHorses(int count) { return count <= 0 ? 0 : (HorseMask{1} << count) - 1; }

// Set by --plant-fault: the model expects All to tick one horse more.
bool plantedFault = false;

// What each action must have done, kept beside the form: the bet type, the
// unit, all 160 ticks (hidden ones included) and the eight edits' texts.
struct Model {
  BetType betType = kTrifecta;
  int unit = UnitIndexOf(100);
  std::array<std::array<bool, kSlotCount>, kRowCount> ticks{};
  std::array<std::string, kRowCount> sizeTexts{"12", "12", "12", "12", "12", "12", "12", "12"};
  // The ticket box's text when it shows typing or pasted text rather than
  // the ticket the calculator wrote; every recalculation writes the ticket
  // again. Undo and redo bring it back as they bring back the rest.
  std::optional<std::string> typedBox;

  bool operator==(const Model&) const = default;

  // The field size of a row: its own edit in a multi-race bet, the first
  // edit in a position bet.
  int FieldOf(int row) const {
    return FieldOfText(sizeTexts[IsPositionBet(betType) ? 0 : static_cast<std::size_t>(row)]);
  }

  // The state the form stands for: the visible rows' ticks within their
  // fields, with the count stored.
  WagerState Shown() const {
    WagerState state;
    state.betType = betType;
    state.unitCents = UnitAmountTable[static_cast<std::size_t>(unit)].cents;
    for (int r = 0; r < RowCountOf(betType); ++r) {
      const auto row = static_cast<std::size_t>(r);
      state.fieldSize[row] = FieldOf(r);
      for (int i = 0; i < state.fieldSize[row]; ++i) {
        state.selections[row][static_cast<std::size_t>(i)] = ticks[row][static_cast<std::size_t>(i)] ? 1 : 0;
      }
    }
    state.combinationCount = CountCombinations(state);
    return state;
  }

  void Apply(const Action& action) {
    auto& row = ticks[action.row];
    switch (action.kind) {
      case ActionKind::Box: row[action.index] = !row[action.index]; break;
      case ActionKind::BetType: betType = action.index; break;
      case ActionKind::Unit: unit = action.index; break;
      case ActionKind::Clear: row.fill(false); break;
      case ActionKind::All: {
        const int last = FieldOf(action.row) + (plantedFault ? 1 : 0);
        for (int i = 0; i < last && i < kSlotCount; ++i) row[static_cast<std::size_t>(i)] = true;
        break;
      }
      case ActionKind::Reset:
        sizeTexts.fill("12");
        for (auto& r : ticks) r.fill(false);
        break;
      case ActionKind::SizeText:
        // A number above 20 becomes 20 at once, whatever its length.
        sizeTexts[action.row] = kSizeTexts[action.index];
        if (ReadAsPerson(sizeTexts[action.row]) > static_cast<std::uint64_t>(kMaxFieldSize)) {
          sizeTexts[action.row] = "20";
        }
        break;
      case ActionKind::Paste:
      case ActionKind::Undo:
      case ActionKind::Redo:
      case ActionKind::Type: break;  // see Expected::Apply
    }
  }

  /*
   * Sets the form to a pasted ticket, or returns false when it is not one
   * against these fields (a row of only ALL in a field of 0). The fields
   * are the edits' (a one-race bet's is the first), each grown to the
   * highest horse its rows name; ALL is every horse of the grown field.
   * Every tick goes, hidden ones too; only a grown field's edit is
   * rewritten.
   */
  bool ApplyTicket(const PasteText& paste) {
    const int rows = RowCountOf(paste.betType);
    const bool oneRace = IsPositionBet(paste.betType);
    std::array<int, kRowCount> field{};
    int highest = 0;
    for (int r = 0; r < rows; ++r) {
      const auto row = static_cast<std::size_t>(r);
      field[row] = std::max(FieldOfText(sizeTexts[oneRace ? 0 : row]), HighestHorse(paste.named[row]));
      highest = std::max(highest, field[row]);
    }
    for (int r = 0; r < rows; ++r) {
      const auto row = static_cast<std::size_t>(r);
      if (oneRace) field[row] = highest;
      if (paste.all[row] && field[row] == 0) return false;
    }
    for (int r = 0; r < (oneRace ? 1 : rows); ++r) {
      const auto row = static_cast<std::size_t>(r);
      if (field[row] > FieldOfText(sizeTexts[row])) sizeTexts[row] = std::to_string(field[row]);
    }
    betType = paste.betType;
    unit = paste.unit;
    for (int r = 0; r < kRowCount; ++r) {
      const auto row = static_cast<std::size_t>(r);
      const HorseMask horses = r < rows ? paste.named[row] | (paste.all[row] ? FirstHorses(field[row]) : 0) : 0;
      for (int i = 0; i < kSlotCount; ++i) ticks[row][static_cast<std::size_t>(i)] = ((horses >> i) & 1u) != 0;
    }
    return true;
  }
};

/*
 * The ticket box as `form` should show it, copied whole (both lines), as a
 * person copies it to paste it back. It names only the shown horses, so
 * pasting it back drops hidden ticks; a form with no bets shows no ticket.
 */
PasteText FormTicket(const Model& form) {
  PasteText paste;
  const WagerState shown = form.Shown();
  paste.text = BuildTicket(shown).ticket.data();
  paste.ticket = shown.combinationCount > 0;
  paste.fault = "the form shows no ticket";
  paste.betType = form.betType;
  paste.unit = form.unit;
  for (int r = 0; r < RowCountOf(form.betType); ++r) {
    const auto row = static_cast<std::size_t>(r);
    for (int i = 0; i < shown.fieldSize[row]; ++i) {
      if (shown.selections[row][static_cast<std::size_t>(i)] != 0) paste.named[row] |= HorseMask{1} << i;
    }
  }
  return paste;
}

PasteText PasteTextOf(const Action& action, const Model& form) {
  return action.index == kPasteFormTicket ? FormTicket(form) : MakePasteText(action.seed);
}

// How far the checked states reached, for the summary of a run.
struct Coverage {
  std::size_t states = 0;
  std::size_t withBets = 0;      // a non-zero count
  std::size_t overBillion = 0;   // shown as "One Billion+"
  CombinationCount largest = 0;
  std::array<std::size_t, kBetTypeCount> byBetType{};
  std::size_t ticketsPasted = 0;   // a pasted ticket that changed the form
  std::size_t ticketsShown = 0;    // a pasted ticket the form already showed
  std::size_t textsRefused = 0;    // pasted text that is no ticket, outside the ticket box
  std::size_t textsInBox = 0;      // pasted text that is no ticket, pasted into the ticket box
  std::size_t ticketsTyped = 0;    // a ticket typed into the box that set the form
  std::size_t typedRefused = 0;    // typed text that is no ticket, with its warning
  std::size_t typedIgnored = 0;    // typed text with nothing to read, or the form's own ticket
  std::size_t undone = 0;
  std::size_t redone = 0;
  std::size_t nothingToUndo = 0;   // Ctrl+Z or redo with no step to take
  std::size_t deepestUndo = 0;     // the most steps undone in a row
};
Coverage coverage;

// How many steps back the calculator keeps; it must keep at least 100.
constexpr std::size_t kUndoDepth = kHistoryDepth;
static_assert(kUndoDepth >= 100, "undo must go back at least 100 steps");

// The edit Record's `typedEdit` names for the ticket box (0 to 7 are the
// size edits' rows).
constexpr int kTypedInTheBox = kRowCount;

/*
 * The soak's own account of undo and redo: the forms before each change,
 * newest last, at most kUndoDepth (the oldest dropped), and the forms undone.
 * Any action that changes the form is one step and drops the forms that
 * could have been redone; one that changes nothing is no step and drops
 * nothing. Texts typed into one size edit, or into the ticket box, one after
 * another, with no other step, undo or redo between them, are one step; when
 * they bring the form back to where that step began, the step is gone. A
 * ticket typed and read with Enter is one step with its typing. The stores
 * are allocated once, so the soak's own memory does not grow with them.
 */
class HistoryModel {
 public:
  HistoryModel() : undo_(kUndoDepth) { redo_.reserve(kUndoDepth); }

  // Records the change of the form from `before` to `after` by an action;
  // `typedEdit` is the size edit's row the action typed into,
  // kTypedInTheBox for the ticket box, or -1.
  void Record(const Model& before, const Model& after, int typedEdit) {
    if (after == before) return;
    bool onlyThatEdit = typedEdit >= 0 && typedEdit == lastTypedRow_;
    if (onlyThatEdit) {
      Model merged = before;
      if (typedEdit == kTypedInTheBox) {
        merged.typedBox = after.typedBox;
      } else {
        merged.sizeTexts[static_cast<std::size_t>(typedEdit)] = after.sizeTexts[static_cast<std::size_t>(typedEdit)];
      }
      onlyThatEdit = merged == after;
    }
    redo_.clear();
    if (onlyThatEdit) {
      JoinLastStep(after);
      return;
    }
    PushUndo(before);
    lastTypedRow_ = typedEdit;
  }

  // Records a ticket typed into the box (the form `typed`) and read with
  // Enter (`after`): the typing is a step, and the reading joins it.
  void RecordTypedTicket(const Model& before, const Model& typed, const Model& after) {
    Record(before, typed, kTypedInTheBox);
    if (lastTypedRow_ != kTypedInTheBox) {
      Record(typed, after, -1);
      return;
    }
    if (after != typed) {
      redo_.clear();
      JoinLastStep(after);
    }
    lastTypedRow_ = -1;
  }

  // Ctrl+Z and redo on `form`; false when there is nothing to undo or redo.
  bool Undo(Model& form) {
    if (undoCount_ == 0) return false;
    redo_.push_back(form);
    --undoCount_;
    form = undo_[(undoStart_ + undoCount_) % kUndoDepth];
    lastTypedRow_ = -1;
    return true;
  }

  bool Redo(Model& form) {
    if (redo_.empty()) return false;
    PushUndo(form);
    form = redo_.back();
    redo_.pop_back();
    lastTypedRow_ = -1;
    return true;
  }

  std::size_t UndoSteps() const { return undoCount_; }
  std::size_t RedoSteps() const { return redo_.size(); }

 private:
  // The form becomes `now` within the last step; a step that now changes
  // nothing is dropped.
  void JoinLastStep(const Model& now) {
    if (undoCount_ > 0 && undo_[(undoStart_ + undoCount_ - 1) % kUndoDepth] == now) {
      --undoCount_;
      lastTypedRow_ = -1;
    }
  }

  void PushUndo(const Model& form) {
    if (undoCount_ == kUndoDepth) {
      undoStart_ = (undoStart_ + 1) % kUndoDepth;
      --undoCount_;
    }
    undo_[(undoStart_ + undoCount_) % kUndoDepth] = form;
    ++undoCount_;
  }

  std::vector<Model> undo_;  // a ring of kUndoDepth forms from undoStart_
  std::size_t undoStart_ = 0;
  std::size_t undoCount_ = 0;
  std::vector<Model> redo_;  // the next to redo last
  int lastTypedRow_ = -1;
};

// The form with the ticket box showing `box`: typing, unless it is the
// ticket the calculator wrote there.
Model WithBoxText(const Model& form, const std::string& box) {
  Model typed = form;
  typed.typedBox.reset();
  if (box != BuildTicket(typed.Shown()).ticket.data()) typed.typedBox = box;
  return typed;
}

/*
 * Everything the soak expects of the calculator: the form (the ticket box's
 * typing included) and its history.
 */
struct Expected {
  Model form;
  HistoryModel history;
  std::size_t undoneInARow = 0;
  // After Enter in the ticket box: the warning box's text must start so.
  std::optional<std::string> warning;

  void Apply(const Action& action, const Performed& performed) {
    warning.reset();
    switch (action.kind) {
      case ActionKind::Undo:
      case ActionKind::Redo:
        if (action.kind == ActionKind::Undo ? history.Undo(form) : history.Redo(form)) {
          ++(action.kind == ActionKind::Undo ? coverage.undone : coverage.redone);
          undoneInARow = action.kind == ActionKind::Undo ? undoneInARow + 1 : 0;
          coverage.deepestUndo = std::max(coverage.deepestUndo, undoneInARow);
        } else {
          ++coverage.nothingToUndo;
        }
        return;
      case ActionKind::Paste: {
        const PasteText paste = PasteTextOf(action, form);
        Model next = form;
        undoneInARow = 0;
        next.typedBox.reset();  // a ticket read is written into the box
        if (paste.ticket && next.ApplyTicket(paste)) {
          Model shown = form;
          shown.typedBox.reset();
          ++(next == shown ? coverage.ticketsShown : coverage.ticketsPasted);
          history.Record(form, next, -1);
          form = next;
        } else if (action.focus != IDC_TICKET) {
          ++coverage.textsRefused;
        } else {
          ++coverage.textsInBox;
          // The box pastes the text over its selection, as typing.
          const std::string& box = performed.boxBefore;
          next = WithBoxText(
              form, box.substr(0, performed.selectionStart) + paste.text + box.substr(performed.selectionEnd));
          history.Record(form, next, kTypedInTheBox);
          form = next;
        }
        return;
      }
      case ActionKind::Type: {
        // The typed text is read as a pasted one; what is no ticket stays
        // in the box, with the form as it was, and a warning says why.
        // The calculator's own ticket, or a text with no ticket line, is
        // not read at all.
        const PasteText typed = MakePasteText(action.seed);
        const Model typing = WithBoxText(form, typed.text);
        Model next = typing;
        next.typedBox.reset();
        undoneInARow = 0;
        if (!typing.typedBox || TicketLines(typed.text).empty()) {
          ++coverage.typedIgnored;
          history.Record(form, typing, kTypedInTheBox);
          form = typing;
        } else if (typed.ticket && next.ApplyTicket(typed)) {
          ++coverage.ticketsTyped;
          history.RecordTypedTicket(form, typing, next);
          form = next;
        } else {
          ++coverage.typedRefused;
          history.Record(form, typing, kTypedInTheBox);
          form = typing;
          warning = "Tallyhorn could not read the ticket in the box:\n\n";
        }
        return;
      }
      default: {
        undoneInARow = 0;
        Model next = form;
        next.Apply(action);
        next.typedBox.reset();  // every click and size text recalculates
        history.Record(form, next, action.kind == ActionKind::SizeText ? action.row : -1);
        form = next;
        return;
      }
    }
  }
};


// A failed check: a short name of what failed (a shortened sequence must
// fail the same way) and the details.
struct Failure {
  std::string what;
  std::string detail;
};

std::optional<Failure> Mismatch(const char* what, std::string_view got, std::string_view want) {
  if (got == want) return std::nullopt;
  return Failure{what, "shows " + Quoted(got) + ", expected " + Quoted(want)};
}

// The one checked button among `ids`, or -1 when there is not exactly one.
template <std::size_t N>
int OnlyChecked(const std::array<int, N>& ids, int& checkedCount) {
  int found = -1;
  checkedCount = 0;
  for (std::size_t i = 0; i < N; ++i) {
    if (Checked(ids[i])) {
      ++checkedCount;
      found = static_cast<int>(i);
    }
  }
  return checkedCount == 1 ? found : -1;
}

/*
 * Reads the form the way a person sees it and checks it: one bet type and
 * one unit checked; the bet type's rows shown with their labels, Clr, All
 * and size edits; every row showing exactly the boxes its size edit allows;
 * and the ticket box, count and cost fields equal to what the core computes
 * from the visible rows, the edits' texts and the visible ticks. Then checks
 * the form against the model of what the actions did.
 */
std::optional<Failure> CheckForm(HWND dialog, const Expected& expected) {
  const Model& model = expected.form;
  if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return Failure{"window", "the calculator's window is gone"};

  int count = 0;
  const int betType = OnlyChecked(BetTypeButtonIds, count);
  if (betType < 0) return Failure{"bet-type buttons", std::to_string(count) + " bet-type buttons checked, not 1"};
  const int unit = OnlyChecked(UnitButtonIds, count);
  if (unit < 0) return Failure{"unit buttons", std::to_string(count) + " unit buttons checked, not 1"};

  WagerState seen;
  seen.betType = betType;
  seen.unitCents = UnitAmountTable[static_cast<std::size_t>(unit)].cents;
  const int rows = RowCountOf(betType);
  for (int r = 0; r < kRowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    const bool active = r < rows;
    const char letter = RowLetter(r);
    if (Visible(dialog, RowLabelIds[row]) != active || Visible(dialog, ClearButtonIds[row]) != active ||
        Visible(dialog, AllButtonId(r)) != active) {
      return Failure{"rows", std::string("row ") + letter + (active ? " is not fully shown" : " is not fully hidden") +
                                 " under " + BetTypeTable[static_cast<std::size_t>(betType)].name};
    }
    const bool ownEdit = active && (!IsPositionBet(betType) || r == 0);
    if (Visible(dialog, SizeEditId(r)) != ownEdit) {
      return Failure{"rows", std::string("size edit of row ") + letter + (ownEdit ? " hidden" : " shown")};
    }
    if (active) {
      if (auto failure = Mismatch("row labels", Text(RowLabelIds[row]), RowLabel(betType, r))) return failure;
    }

    int field = 0;
    if (active) {
      const std::string sizeText = Text(SizeEditId(IsPositionBet(betType) ? 0 : r));
      const std::uint64_t value = ReadAsPerson(sizeText);
      if (value > static_cast<std::uint64_t>(kMaxFieldSize)) {
        return Failure{"size edit", std::string("row ") + letter + "'s size edit still says " + Quoted(sizeText)};
      }
      field = static_cast<int>(value);
    }
    seen.fieldSize[row] = field;
    for (int i = 0; i < kSlotCount; ++i) {
      const bool shown = Visible(dialog, BoxId(r, i));
      if (shown != (i < field)) {
        return Failure{"boxes shown", std::string("row ") + letter + " with field " + std::to_string(field) +
                                          (shown ? " shows" : " hides") + " horse " + std::to_string(i + 1)};
      }
      seen.selections[row][static_cast<std::size_t>(i)] = shown && Checked(BoxId(r, i)) ? 1 : 0;
    }
  }

  seen.combinationCount = CountCombinations(seen);
  const TicketTexts texts = BuildTicket(seen);
  ++coverage.states;
  ++coverage.byBetType[static_cast<std::size_t>(betType)];
  if (seen.combinationCount > 0) ++coverage.withBets;
  if (seen.combinationCount > 1'000'000'000) ++coverage.overBillion;
  if (seen.combinationCount > coverage.largest) coverage.largest = seen.combinationCount;
  // Typing and text that is no ticket, pasted into the box, show until the
  // next recalculation, and again when undo or redo brings them back.
  if (auto failure = Mismatch("ticket box", Text(IDC_TICKET), expected.form.typedBox.value_or(texts.ticket.data()))) {
    return failure;
  }
  if (auto failure = Mismatch("count field", Text(IDC_COUNT_FIELD), texts.countText.data())) return failure;
  if (auto failure = Mismatch("cost field", Text(IDC_COST_FIELD), texts.costText.data())) return failure;

  // What the actions must have done, hidden ticks and edits included.
  if (betType != model.betType) {
    return Failure{"bet type", std::string("shows ") + BetTypeTable[static_cast<std::size_t>(betType)].name +
                                   ", chosen " + BetTypeTable[static_cast<std::size_t>(model.betType)].name};
  }
  if (unit != model.unit) {
    return Failure{"unit", std::string("shows ") + UnitAmountTable[static_cast<std::size_t>(unit)].caption +
                               ", chosen " + UnitAmountTable[static_cast<std::size_t>(model.unit)].caption};
  }
  for (int r = 0; r < kRowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    if (auto failure = Mismatch("size edit text", Text(SizeEditId(r)), model.sizeTexts[row])) {
      failure->detail = std::string("row ") + RowLetter(r) + ": " + failure->detail;
      return failure;
    }
    for (int i = 0; i < kSlotCount; ++i) {
      const bool ticked = Checked(BoxId(r, i));
      if (ticked != model.ticks[row][static_cast<std::size_t>(i)]) {
        return Failure{"ticks", std::string("horse ") + std::to_string(i + 1) + " of row " + RowLetter(r) + " is " +
                                    (ticked ? "ticked" : "not ticked") +
                                    (Visible(dialog, BoxId(r, i)) ? "" : " (hidden)") + " against the actions"};
      }
    }
  }
  return std::nullopt;
}

/*
 * Handles what the actions left in the message queue, as the program's
 * message loop would (painting included). False when the queue held
 * WM_QUIT: nothing a soak does may close the calculator.
 */
bool Pump(HWND dialog) {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

// --- one run of actions on a fresh calculator ----------------------------------

struct Outcome {
  std::size_t failedAt = 0;  // index of the action after which a check failed
  std::optional<Failure> failure;
};

// Brings up a fresh calculator, checked in its start state. Exits the
// program when the dialog cannot be created at all.
HWND FreshCalculator() {
  const HWND dialog = CreateCalculator(GetModuleHandleA(nullptr));
  if (dialog == nullptr) {
    std::printf("soak: the calculator could not be created\n");
    std::exit(1);
  }
  RememberControls(dialog);
  Pump(dialog);
  return dialog;
}

std::optional<Failure> StepAndCheck(HWND dialog, Expected& expected, const Action& action) {
  const Performed performed = Perform(dialog, action, expected.form);
  if (performed.closed) return Failure{"closed", "the calculator's message loop ended during the key"};
  if (performed.done) expected.Apply(action, performed);
  if (!Pump(dialog)) return Failure{"closed", "the calculator posted WM_QUIT"};
  if (performed.warned != expected.warning.has_value()) {
    return Failure{"warning box", performed.warned ? "a warning box came up: " + Quoted(performed.warning)
                                                   : std::string("no warning box came up")};
  }
  if (expected.warning && (!performed.warning.starts_with(*expected.warning) ||
                           performed.warning.size() == expected.warning->size())) {
    return Failure{"warning box", "it says " + Quoted(performed.warning) + ", not " + Quoted(*expected.warning) +
                                      " and the reason"};
  }
  return CheckForm(dialog, expected);
}

// Replays actions on a fresh calculator, stopping at the first failed check.
Outcome Replay(const std::vector<Action>& actions) {
  const HWND dialog = FreshCalculator();
  Expected expected;
  Outcome outcome;
  for (std::size_t i = 0; i < actions.size(); ++i) {
    if (auto failure = StepAndCheck(dialog, expected, actions[i])) {
      outcome.failedAt = i;
      outcome.failure = std::move(failure);
      return outcome;
    }
  }
  return outcome;
}

/*
 * Shortens a failing sequence: cut it after the action that failed, then
 * try leaving out runs of actions, halving the run length down to single
 * actions, and keep every cut after which the sequence still fails the same
 * way. Stops when no single action can go or the time budget is spent.
 */
std::vector<Action> Shrink(std::vector<Action> actions, const std::string& what, Clock::time_point deadline,
                           std::size_t& replays) {
  // True when `candidate` still fails as the original did; trims it to the
  // failing prefix.
  auto stillFails = [&](std::vector<Action>& candidate) {
    ++replays;
    const Outcome outcome = Replay(candidate);
    if (!outcome.failure || outcome.failure->what != what) return false;
    candidate.resize(outcome.failedAt + 1);
    return true;
  };

  std::size_t run = actions.size() / 2;
  if (run == 0) run = 1;
  while (Clock::now() < deadline) {
    bool cut = false;
    for (std::size_t start = 0; start < actions.size() && Clock::now() < deadline;) {
      std::vector<Action> candidate(actions.begin(), actions.begin() + static_cast<std::ptrdiff_t>(start));
      const std::size_t end = start + run < actions.size() ? start + run : actions.size();
      candidate.insert(candidate.end(), actions.begin() + static_cast<std::ptrdiff_t>(end), actions.end());
      if (!candidate.empty() && stillFails(candidate)) {
        actions = std::move(candidate);
        cut = true;
      } else {
        start += run;
      }
    }
    if (run > 1) {
      run /= 2;
    } else if (!cut) {
      break;
    }
  }
  return actions;
}

// --- memory and window objects ---------------------------------------------------

struct Resources {
  std::uint64_t privateBytes = 0;  // private commit; Wine leaves it 0, so there the page-file use
  std::uint64_t workingSet = 0;
  std::uint32_t userObjects = 0;
  std::uint32_t gdiObjects = 0;
};

Resources Measure() {
  Resources resources;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    resources.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    resources.workingSet = counters.WorkingSetSize;
  }
  resources.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  resources.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  return resources;
}

// Growth over the run that is still noise: heap blocks come and go in
// chunks (runs of 50,000 actions vary by some tens of KiB). A leak of a few
// bytes per action over a long run exceeds it.
constexpr std::uint64_t kMemoryTolerance = 256 * 1024;
constexpr std::uint32_t kObjectTolerance = 16;

double Mebibytes(std::uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// Signed growth from `before` to `after` in KiB.
double GrowthKibibytes(std::uint64_t before, std::uint64_t after) {
  return (static_cast<double>(after) - static_cast<double>(before)) / 1024.0;
}

// --- the run ----------------------------------------------------------------------

// Keeps the compiler from dropping the planted leak's allocations.
char* volatile leakSink = nullptr;

// Where the run is, for the report of a crash: the seed and the action
// being carried out.
std::uint64_t crashSeed = 0;
std::size_t crashActionCount = 0;
const Action* crashAction = nullptr;

/*
 * Reports a crash with what is needed to replay it (the seed and how many
 * actions to run), then lets the process end as crashed.
 */
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  std::printf("CRASH: seed %" PRIu64 ", exception 0x%08lx during action %zu (%s)\n", crashSeed,
              exception->ExceptionRecord->ExceptionCode, crashActionCount,
              crashAction != nullptr ? Describe(*crashAction).c_str() : "start-up");
  std::printf("replay: soak --seed %" PRIu64 " --actions %zu\n", crashSeed, crashActionCount);
  std::fflush(stdout);
  return EXCEPTION_CONTINUE_SEARCH;
}

struct Options {
  std::uint64_t seed = 20240601;
  std::size_t actions = 50000;
  double seconds = 1800;
  double shrinkSeconds = 120;
  bool plantFault = false;
  bool plantLeak = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--plant-fault" || name == "--plant-leak") {
      (name == "--plant-fault" ? options.plantFault : options.plantLeak) = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    char* end = nullptr;
    if (name == "--seed") {
      options.seed = std::strtoull(value, &end, 10);
    } else if (name == "--actions") {
      options.actions = static_cast<std::size_t>(std::strtoull(value, &end, 10));
    } else if (name == "--seconds") {
      options.seconds = std::strtod(value, &end);
    } else if (name == "--shrink-seconds") {
      options.shrinkSeconds = std::strtod(value, &end);
    } else {
      return false;
    }
    if (end == value || *end != '\0') return false;
  }
  return options.actions > 0 && options.seconds > 0 && options.shrinkSeconds >= 0;
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Prints the failure, then shrinks it and prints the shortest sequence.
void ReportFailure(const Options& options, std::vector<Action> actions, const Outcome& outcome) {
  std::printf("FAIL: seed %" PRIu64 ", after action %zu (%s): %s: %s\n", options.seed, outcome.failedAt + 1,
              Describe(actions[outcome.failedAt]).c_str(), outcome.failure->what.c_str(),
              outcome.failure->detail.c_str());
  std::printf("replay: soak --seed %" PRIu64 " --actions %zu\n", options.seed, outcome.failedAt + 1);
  std::fflush(stdout);

  actions.resize(outcome.failedAt + 1);
  const Clock::time_point start = Clock::now();
  std::size_t replays = 1;
  const Outcome again = Replay(actions);
  if (!again.failure || again.failure->what != outcome.failure->what) {
    std::printf("the failure did not come back when the %zu actions were replayed on a fresh calculator\n",
                actions.size());
    return;
  }
  const auto deadline = start + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(options.shrinkSeconds));
  const std::vector<Action> shortest = Shrink(actions, outcome.failure->what, deadline, replays);
  const Outcome last = Replay(shortest);
  std::printf("shortest failing sequence found (%zu of %zu actions, %zu replays, %.1f s), from a fresh calculator:\n",
              shortest.size(), actions.size(), replays, SecondsSince(start));
  for (std::size_t i = 0; i < shortest.size(); ++i) {
    std::printf("  %3zu. %s\n", i + 1, Describe(shortest[i]).c_str());
  }
  if (last.failure) {
    std::printf("  then: %s: %s\n", last.failure->what.c_str(), last.failure->detail.c_str());
  }
}

int Run(const Options& options) {
  std::printf("soak: seed %" PRIu64 ", up to %zu actions, at most %.0f s\n", options.seed, options.actions,
              options.seconds);
  std::fflush(stdout);

  plantedFault = options.plantFault;
  crashSeed = options.seed;
  SetUnhandledExceptionFilter(ReportCrash);
  const Clock::time_point start = Clock::now();
  if (!clipboardHelper.Start()) {
    std::printf("soak: the clipboard helper could not be started\n");
    return 1;
  }
  const HWND dialog = FreshCalculator();
  Expected expected;
  if (auto failure = CheckForm(dialog, expected)) {
    std::printf("FAIL: the start state: %s: %s\n", failure->what.c_str(), failure->detail.c_str());
    return 1;
  }

  // The action log is the one thing the soak keeps growing: allocate it
  // whole and write it once, so its pages are in use before the baseline
  // and do not count as the calculator's memory.
  std::vector<Action> actions(options.actions);
  actions.clear();
  ActionSource source(options.seed);
  // The warm-up: a tenth of the run, then the calculator's history of
  // changes filled to its depth (boxes clicked again and again) and walked
  // back and forth, so that the history's own growth up to its bound is not
  // counted as a leak. Long runs walk it all the way back, past its oldest
  // step, and forward again. Runs too short for that compare no memory.
  const std::size_t warmUp = options.actions / 10 > 100 ? options.actions / 10 : 100;
  const std::uint32_t walk = options.actions >= 20000 ? static_cast<std::uint32_t>(kUndoDepth) + 1
                                                      : ActionSource::kLongestUndoRun;
  const std::size_t fill = kUndoDepth + 1 + 2 * std::size_t{walk};
  const bool compareMemory = options.actions >= warmUp + fill + 100;
  Resources baseline;
  bool measured = false;
  std::size_t measuredAt = 0;
  std::size_t reported = 0;
  std::array<double, kActionKinds> secondsByKind{};
  std::array<std::size_t, kActionKinds> countByKind{};

  while (actions.size() < options.actions && SecondsSince(start) < options.seconds) {
    actions.push_back(source.Next(dialog));
    crashActionCount = actions.size();
    crashAction = &actions.back();
    const Clock::time_point actionStart = Clock::now();
    if (auto failure = StepAndCheck(dialog, expected, actions.back())) {
      Outcome outcome{actions.size() - 1, std::move(failure)};
      SetUnhandledExceptionFilter(nullptr);  // the replays below are not this run
      ReportFailure(options, actions, outcome);
      return 1;
    }
    const auto kind = static_cast<std::size_t>(actions.back().kind);
    secondsByKind[kind] += SecondsSince(actionStart);
    ++countByKind[kind];
    if (options.plantLeak) {
      // Written, so the pages are in use as a real leak's would be.
      char* leaked = new char[1024];
      std::memset(leaked, 1, 1024);
      leakSink = leaked;
    }
    if (compareMemory && actions.size() == warmUp) source.FillHistory(kUndoDepth + 1, walk);
    if (compareMemory && !measured && actions.size() > warmUp && source.Idle()) {
      baseline = Measure();
      measured = true;
      measuredAt = actions.size();
    }
    if (actions.size() * 10 / options.actions > reported) {
      reported = actions.size() * 10 / options.actions;
      std::printf("  %zu actions, %.1f s, private memory %.2f MiB\n", actions.size(), SecondsSince(start),
                  Mebibytes(Measure().privateBytes));
      std::fflush(stdout);
    }
  }
  const double elapsed = SecondsSince(start);
  const Resources end = Measure();

  std::printf("soak: seed %" PRIu64 ": %zu actions in %.1f s (%.2f ms each), every check passed\n", options.seed,
              actions.size(), elapsed, 1000.0 * elapsed / static_cast<double>(actions.size()));
  std::printf("states checked: %zu, %zu with bets, %zu over one billion, largest count %" PRId64 "\n",
              coverage.states, coverage.withBets, coverage.overBillion, coverage.largest);
  std::printf("states by bet type:");
  for (std::size_t b = 0; b < coverage.byBetType.size(); ++b) {
    std::printf(" %s %zu", BetTypeTable[b].name, coverage.byBetType[b]);
  }
  std::printf("\n");
  static constexpr std::array<const char*, kActionKinds> kKindNames{
      "box", "bet type", "unit", "Clr", "All", "RESET", "size", "Ctrl+V", "Ctrl+Z", "redo", "typed"};
  std::printf("actions by kind (count, mean ms):");
  for (std::size_t k = 0; k < kKindNames.size(); ++k) {
    if (countByKind[k] == 0) continue;
    std::printf(" %s %zu %.1f", kKindNames[k], countByKind[k], 1000.0 * secondsByKind[k] / static_cast<double>(countByKind[k]));
  }
  std::printf("\nCtrl+V: %zu tickets pasted, %zu already shown, %zu texts refused, %zu pasted into the ticket box\n",
              coverage.ticketsPasted, coverage.ticketsShown, coverage.textsRefused, coverage.textsInBox);
  std::printf("Enter in the ticket box: %zu typed tickets shown, %zu texts refused with a warning, %zu with nothing "
              "to read\n",
              coverage.ticketsTyped, coverage.typedRefused, coverage.typedIgnored);
  std::printf("undo: %zu steps undone (at most %zu in a row), %zu redone, %zu keys with nothing to take; %zu steps "
              "to undo and %zu to redo at the end\n",
              coverage.undone, coverage.deepestUndo, coverage.redone, coverage.nothingToUndo,
              expected.history.UndoSteps(), expected.history.RedoSteps());
  if (actions.size() < options.actions) {
    std::printf("soak: stopped by the time limit of %.0f s before %zu actions\n", options.seconds, options.actions);
  }
  if (!measured) {
    std::printf("soak: too few actions to compare memory after a warm-up of %zu that fills the history of changes\n",
                warmUp + fill);
    return 0;
  }

  std::printf("memory after %zu actions: private %.2f MiB, working set %.2f MiB; at the end: %.2f MiB, %.2f MiB "
              "(private %+.0f KiB, allowed +%.0f KiB)\n",
              measuredAt, Mebibytes(baseline.privateBytes), Mebibytes(baseline.workingSet), Mebibytes(end.privateBytes),
              Mebibytes(end.workingSet), GrowthKibibytes(baseline.privateBytes, end.privateBytes),
              static_cast<double>(kMemoryTolerance) / 1024.0);
  std::printf("USER objects %u -> %u, GDI objects %u -> %u%s\n", baseline.userObjects, end.userObjects,
              baseline.gdiObjects, end.gdiObjects,
              baseline.userObjects + end.userObjects + baseline.gdiObjects + end.gdiObjects == 0
                  ? " (not reported on this platform)"
                  : "");
  bool grew = false;
  if (end.privateBytes > baseline.privateBytes + kMemoryTolerance) {
    std::printf("FAIL: seed %" PRIu64 ": private memory grew by %.0f KiB after the warm-up (allowed %.0f KiB)\n",
                options.seed, GrowthKibibytes(baseline.privateBytes, end.privateBytes),
                static_cast<double>(kMemoryTolerance) / 1024.0);
    grew = true;
  }
  if (end.userObjects > baseline.userObjects + kObjectTolerance ||
      end.gdiObjects > baseline.gdiObjects + kObjectTolerance) {
    std::printf("FAIL: seed %" PRIu64 ": window objects grew (allowed %u each)\n", options.seed, kObjectTolerance);
    grew = true;
  }
  return grew ? 1 : 0;
}

}  // namespace
}  // namespace tallyhorn::soak

/*
 * Parses the options and runs the soak; exits 0 when every check passed, 1
 * on a failure, 2 on bad options.
 */
int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--clipboard-helper") == 0) return tallyhorn::soak::RunClipboardHelper();
  tallyhorn::soak::Options options;
  if (!tallyhorn::soak::ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: soak [--seed N] [--actions N] [--seconds N] [--shrink-seconds N] [--plant-fault] "
                 "[--plant-leak]\n");
    return 2;
  }
  return tallyhorn::soak::Run(options);
}

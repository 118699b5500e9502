#include "ui/form.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "ui/resource.h"
#include "ui/ticket_box.h"
#include "ui/unicode.h"

namespace tallyhorn {
namespace {

FormControls controls;

/*
 * The number a size edit's text stands for: leading blanks skipped, then the
 * leading decimal digits read as an unsigned integer. Text that is empty or
 * does not start with a digit reads as 0. Digits beyond the unsigned range
 * read as the largest unsigned value: they name a number far above any
 * field size, not an empty field.
 */
std::uint32_t ParseFieldSizeText(std::string_view text) {
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (value > kLargest) return static_cast<std::uint32_t>(kLargest);
  }
  return static_cast<std::uint32_t>(value);
}

// The number in a size edit (see ParseFieldSizeText). The whole text is
// read, so a long run of leading zeros does not hide the digits after it.
std::uint32_t ReadSizeEdit(HWND edit) { return ParseFieldSizeText(ControlText(edit)); }

// The number in a size edit, held at 20. Sizes above 20 are rewritten as 20
// before they are read; holding the copy to 20 as well keeps every row's
// slots inside the row.
FieldSize ReadHeldSize(HWND edit) {
  const std::uint32_t value = ReadSizeEdit(edit);
  return value > static_cast<std::uint32_t>(kMaxFieldSize) ? kMaxFieldSize : static_cast<FieldSize>(value);
}

// Writes a number into a size edit, as its decimal text. The edit reports
// the change to the dialog, which recalculates, before this returns.
void WriteSizeEdit(HWND edit, std::uint32_t value) {
  std::array<char, 16> digits{};
  std::to_chars(digits.data(), digits.data() + digits.size() - 1, value);
  SetWindowTextA(edit, digits.data());
}

// Shows or hides a control unless it is already so. The control's own
// WS_VISIBLE style is compared, not IsWindowVisible, which is false for
// every child while the dialog itself is still hidden.
void SetVisible(HWND control, bool visible) {
  if (control == nullptr) return;
  const bool shown = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != visible) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

// Checks or unchecks a button unless it already is.
void SetChecked(HWND button, bool checked) {
  if (button == nullptr) return;
  const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
  if (static_cast<WPARAM>(SendMessageA(button, BM_GETCHECK, 0, 0)) != state) {
    SendMessageA(button, BM_SETCHECK, state, 0);
  }
}

// Makes a control a tab stop or not, unless it already is so.
void SetTabStop(HWND control, bool tabStop) {
  if (control == nullptr) return;
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (((style & WS_TABSTOP) != 0) != tabStop) {
    SetWindowLongA(control, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

// The control with `id` in `dialog`: the cached handle when `dialog` is the
// calculator, a lookup otherwise.
HWND ControlOf(HWND dialog, HWND cached, int id) {
  return dialog == calculatorDialog && cached != nullptr ? cached : GetDlgItem(dialog, id);
}

}  // namespace

void CacheControls(HWND dialog) {
  for (Row r = 0; r < kRowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    for (int i = 0; i < kSlotCount; ++i) {
      controls.boxes[row][static_cast<std::size_t>(i)] = GetDlgItem(dialog, BoxId(r, i));
    }
    controls.labels[row] = GetDlgItem(dialog, RowLabelIds[row]);
    controls.clearButtons[row] = GetDlgItem(dialog, ClearButtonIds[row]);
    controls.allButtons[row] = GetDlgItem(dialog, AllButtonId(r));
    controls.sizeEdits[row] = GetDlgItem(dialog, SizeEditId(r));
  }
  for (std::size_t b = 0; b < controls.betTypeButtons.size(); ++b) {
    controls.betTypeButtons[b] = GetDlgItem(dialog, BetTypeButtonIds[b]);
  }
  for (std::size_t u = 0; u < controls.unitButtons.size(); ++u) {
    controls.unitButtons[u] = GetDlgItem(dialog, UnitButtonIds[u]);
  }
  controls.countField = GetDlgItem(dialog, IDC_COUNT_FIELD);
  controls.costField = GetDlgItem(dialog, IDC_COST_FIELD);
  controls.ticket = GetDlgItem(dialog, IDC_TICKET);
}

void ForgetControls() { controls = FormControls{}; }

const FormControls& Controls() { return controls; }

FieldSizes ReadSizeEdits() {
  FieldSizes sizes{};
  for (std::size_t r = 0; r < sizes.size(); ++r) sizes[r] = ReadHeldSize(controls.sizeEdits[r]);
  return sizes;
}

std::string ControlText(HWND control) { return Utf8Of(WideWindowText(control)); }

std::wstring SizeEditText(Row row) { return WideWindowText(controls.sizeEdits[static_cast<std::size_t>(row)]); }

void SetSizeEditText(Row row, const std::wstring& text) {
  const HWND edit = controls.sizeEdits[static_cast<std::size_t>(row)];
  if (edit != nullptr && SizeEditText(row) != text) SetWindowTextW(edit, text.c_str());
}

void ReadFieldSizes() {
  if (IsPositionBet(wagerState.betType)) {
    // One race: the first edit sets every row.
    wagerState.fieldSize.fill(ReadHeldSize(controls.sizeEdits[0]));
    return;
  }
  wagerState.fieldSize = ReadSizeEdits();
}

void SetAllFieldSizes(FieldSize size) {
  for (Row r = 0; r < kRowCount; ++r) {
    wagerState.fieldSize[static_cast<std::size_t>(r)] = size;
    WriteSizeEdit(controls.sizeEdits[static_cast<std::size_t>(r)], static_cast<std::uint32_t>(size));
  }
}

void ClampFieldSizes() {
  for (HWND edit : controls.sizeEdits) {
    if (edit != nullptr && ReadSizeEdit(edit) > static_cast<std::uint32_t>(kMaxFieldSize)) {
      WriteSizeEdit(edit, static_cast<std::uint32_t>(kMaxFieldSize));
    }
  }
}

void SnapshotSelections() {
  for (std::size_t r = 0; r < controls.boxes.size(); ++r) {
    for (std::size_t i = 0; i < controls.boxes[r].size(); ++i) {
      const HWND box = controls.boxes[r][i];
      wagerState.selections[r][i] =
          box == nullptr ? 0 : static_cast<std::int32_t>(SendMessageA(box, BM_GETCHECK, 0, 0));
    }
  }
}

void SetHorseBox(Row row, int slot, bool ticked) {
  SetChecked(controls.boxes[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot)], ticked);
}

void SetControlText(HWND control, const char* text) {
  if (control == nullptr) return;
  std::array<char, kTicketCapacity + 1> current{};
  GetWindowTextA(control, current.data(), static_cast<int>(current.size()));
  if (std::strcmp(current.data(), text) != 0) SetWindowTextA(control, text);
}

void RefreshLayout(HWND dialog) {
  const BetType betType = wagerState.betType;
  // Every bet-type button, Superfecta-5 and -6 included (their IDs lie
  // above the Pick bets'): exactly one stays checked however the bet type
  // was chosen, without relying on the buttons' own radio group.
  // The checked one is the group's only tab stop, as the button control
  // itself leaves a group it has checked and unchecked; at start-up the
  // template makes every one a tab stop, and buttons already unchecked are
  // not touched by the check above.
  for (std::size_t b = 0; b < BetTypeButtonIds.size(); ++b) {
    const HWND button = ControlOf(dialog, controls.betTypeButtons[b], BetTypeButtonIds[b]);
    const bool selected = static_cast<BetType>(b) == betType;
    SetChecked(button, selected);
    SetTabStop(button, selected);
  }
  const std::int32_t activeRows = RowCountOf(betType);
  for (Row r = 0; r < kRowCount; ++r) LayoutRow(r, r < activeRows, RowLabel(betType, r));

  const int unit = UnitIndexOf(wagerState.unitCents);
  for (std::size_t u = 0; u < UnitButtonIds.size(); ++u) {
    SetChecked(ControlOf(dialog, controls.unitButtons[u], UnitButtonIds[u]), static_cast<int>(u) == unit);
  }
}

void LayoutRow(Row row, bool active, const char* label) {
  if (calculatorDialog == nullptr) return;  // start-up has not stored the dialog yet
  const auto r = static_cast<std::size_t>(row);
  if (active) {
    SetControlText(controls.labels[r], label);
    SetVisible(controls.labels[r], true);
  } else {
    SetVisible(controls.labels[r], false);  // its text stays as it was
  }
  for (int i = 0; i < kSlotCount; ++i) {
    SetVisible(controls.boxes[r][static_cast<std::size_t>(i)], active && i < wagerState.fieldSize[r]);
  }
  SetVisible(controls.clearButtons[r], active);
  SetVisible(controls.allButtons[r], active);
  // In a position bet only the first row's edit shows: it sets the field of
  // every row.
  SetVisible(controls.sizeEdits[r], active && (!IsPositionBet(wagerState.betType) || row == 0));
}

void Recalculate(HWND dialog, bool readSizes) {
  if (readSizes) ReadFieldSizes();
  SnapshotSelections();
  wagerState.combinationCount = CountCombinations(wagerState);

  // A zero count gives an empty ticket and count text and the "no bets"
  // cost text, so the same three writes serve both cases. The ticket box is
  // always rewritten, even with the text it shows: writing it also puts its
  // caret and scroll position back to the start and replaces what the user
  // typed there (the history keeps the typing). The two hidden fields are
  // written only when they change.
  const TicketTexts texts = BuildTicket(wagerState);
  const FormControls& controls = Controls();
  SetControlText(controls.countField, texts.countText.data());
  SetControlText(controls.costField, texts.costText.data());
  WriteTicketBox(texts.ticket.data());

  SendMessageA(dialog, WM_INITDIALOG, 0, 0);
}

}  // namespace tallyhorn

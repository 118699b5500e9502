// Keeping the wager state and the form's controls in step: reading field
// sizes and ticks from the form, writing sizes into it, and laying out rows,
// labels and radio buttons to match the state.
#pragma once

#include <array>
#include <string>

#include "calc/ticket_read.h"
#include "ui/window_state.h"

namespace tallyhorn {

// The handles of the controls the logic reads and writes, looked up once
// when the dialog is created. Looking a control up by ID costs a round trip
// to the window server under some hosts, and a recalculation touches
// hundreds of controls.
struct FormControls {
  std::array<std::array<HWND, kSlotCount>, kRowCount> boxes{};
  std::array<HWND, kRowCount> labels{};
  std::array<HWND, kRowCount> clearButtons{};
  std::array<HWND, kRowCount> allButtons{};
  std::array<HWND, kRowCount> sizeEdits{};
  std::array<HWND, kBetTypeCount> betTypeButtons{};
  std::array<HWND, kUnitCount> unitButtons{};
  HWND countField = nullptr;
  HWND costField = nullptr;
  HWND ticket = nullptr;
};

// Looks up every control of `dialog` once; ForgetControls drops them.
void CacheControls(HWND dialog);
void ForgetControls();
const FormControls& Controls();

// The number in each row's size edit, held at 20, whatever the bet type
// (a position bet reads only the first).
FieldSizes ReadSizeEdits();

// A control's whole text, as UTF-8; "" for no control.
std::string ControlText(HWND control);

// The text of a row's size edit, and writing a new one (the edit reports
// the change, as a typed one, unless it already shows that text). UTF-16,
// so whatever was typed there comes back as it was.
std::wstring SizeEditText(Row row);
void SetSizeEditText(Row row, const std::wstring& text);

// Fills fieldSize[0..7] from the size edits: every row from the first edit
// in a position bet, each row from its own edit in a multi-race bet.
void ReadFieldSizes();

// Sets every field size to `size` and writes it into the eight edits in row
// order; each write runs a nested recalculation before the next.
void SetAllFieldSizes(FieldSize size);

// Rewrites every size edit that reads above 20 (too many digits included)
// as 20.
void ClampFieldSizes();

// Copies the check state of all 160 horse boxes, hidden ones included.
void SnapshotSelections();

// Ticks or unticks one horse box without raising a command.
void SetHorseBox(Row row, int slot, bool ticked);

// Writes a text into a control, leaving a control that already shows it
// alone.
void SetControlText(HWND control, const char* text);

// Makes rows, labels and both radio groups match the state. `dialog` is
// the window the request came with; before start-up has stored the dialog
// only the radio groups can be set.
void RefreshLayout(HWND dialog);

// Shows, hides and labels the label, boxes, Clr and All buttons and size
// edit of one row.
void LayoutRow(Row row, bool active, const char* label);

/*
 * One recalculation: re-reads the field sizes when readSizes is set, takes
 * the selection snapshot, counts, writes the ticket, count and cost texts,
 * and refreshes the layout through the dialog's own WM_INITDIALOG.
 */
void Recalculate(HWND dialog, bool readSizes);

}  // namespace tallyhorn

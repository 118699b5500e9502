// The history of the form's changes, for undo and redo. A step is whatever
// one action of the person changed: the ticks of all 160 boxes, the text of
// every size edit, the bet type and the unit, and what was typed into the
// ticket box. The rewrites an action causes (a size of 25 becoming 20,
// RESET's eight size writes) belong to it.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calc/counting.h"
#include "ui/window_state.h"

namespace tallyhorn {

// What the form holds that undo brings back.
struct FormRecord {
  std::array<HorseMask, kRowCount> ticks{};  // every box, hidden ones too
  std::array<std::wstring, kRowCount> sizeTexts;
  BetType betType = kTrifecta;
  UnitCents unitCents = 100;
  // The ticket box's text when it is not what the calculator wrote there.
  std::optional<std::wstring> typedTicket;

  bool operator==(const FormRecord&) const = default;
};

// How many steps back the history keeps; older ones are dropped.
inline constexpr std::size_t kHistoryDepth = 500;

// The record of what the form shows now: the ticks and sizes as the last
// recalculation read them, and the edits' texts as they stand.
FormRecord ReadFormRecord();

// Sets the form to a record: ticks, size texts, bet type and unit, then one
// recalculation, and then the typing in the ticket box, if it holds any.
void ShowFormRecord(HWND dialog, const FormRecord& record);

// Starts the history afresh from what the form shows; StopHistory ends it
// (no step is taken until it starts again).
void StartHistory();
void StopHistory();

/*
 * Brackets one action of the person. Commands the action causes inside it
 * (a size edit reporting a write) are part of it. When the outermost action
 * ends and the form differs from the last step, that is a new step, and the
 * steps that could have been redone are dropped; an action that changed
 * nothing leaves the history as it was. `typedSizeEdit` is the row of the
 * size edit whose text the person changed, or -1: two such changes of the
 * same edit in a row, with nothing else between them, make one step.
 */
void BeginFormAction();
void EndFormAction(Row typedSizeEdit = -1);

/*
 * Typing in the ticket box takes its steps too, taken when the typing is
 * left: when the next action begins, and before an undo or a redo. Typing
 * with nothing between, however many changes of the box, is one step.
 * EndTypedTicketAction ends the action that reads what was typed (Enter):
 * the typing and its reading are one step, so undo goes back to the form as
 * it was before the typing, and redo brings the ticket back.
 */
void EndTypedTicketAction();

// Undo and redo one step; false when there is none. Typing not yet taken
// as a step is taken first, so undo brings the box back as it was before
// the typing and redo brings the typing back.
bool UndoFormChange(HWND dialog);
bool RedoFormChange(HWND dialog);

}  // namespace tallyhorn

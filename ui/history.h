// The history of the form's changes, for undo and redo. A step is whatever
// one action of the person changed: the ticks of all 160 boxes, the text of
// every size edit, the bet type and the unit. The rewrites an action causes
// (a size of 25 becoming 20, RESET's eight size writes) belong to it.
#pragma once

#include <array>
#include <string>

#include "calc/counting.h"
#include "ui/window_state.h"

namespace tallyhorn {

// What the form holds that undo brings back.
struct FormRecord {
  std::array<HorseMask, kRowCount> ticks{};  // every box, hidden ones too
  std::array<std::string, kRowCount> sizeTexts;
  BetType betType = kTrifecta;
  UnitCents unitCents = 100;

  bool operator==(const FormRecord&) const = default;
};

// How many steps back the history keeps; older ones are dropped.
inline constexpr std::size_t kHistoryDepth = 500;

// The record of what the form shows now: the ticks and sizes as the last
// recalculation read them, and the edits' texts as they stand.
FormRecord ReadFormRecord();

// Sets the form to a record: ticks, size texts, bet type and unit, then one
// recalculation.
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

// Undo and redo one step; false when there is none.
bool UndoFormChange(HWND dialog);
bool RedoFormChange(HWND dialog);

}  // namespace tallyhorn

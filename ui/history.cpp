#include "ui/history.h"

#include <deque>
#include <vector>

#include "ui/calculator.h"
#include "ui/form.h"

namespace tallyhorn {
namespace {

struct History {
  bool running = false;
  FormRecord current;               // what the form showed after the last step
  std::deque<FormRecord> undo;      // older records, newest last
  std::vector<FormRecord> redo;     // records undone, the next to redo last
  Row lastTypedSizeEdit = -1;       // the edit the last step typed into, or -1
  int actionDepth = 0;
  bool replaying = false;           // undo or redo is setting the form
} history;

// True when the two records differ only in the text of one size edit.
bool DifferOnlyInSizeEdit(const FormRecord& a, const FormRecord& b, Row row) {
  FormRecord merged = a;
  merged.sizeTexts[static_cast<std::size_t>(row)] = b.sizeTexts[static_cast<std::size_t>(row)];
  return merged == b;
}

// Takes a step to `now` when it differs from the current record.
void TakeStep(const FormRecord& now, Row typedSizeEdit) {
  if (now == history.current) return;
  const bool sameTyping = typedSizeEdit >= 0 && typedSizeEdit == history.lastTypedSizeEdit &&
                          DifferOnlyInSizeEdit(history.current, now, typedSizeEdit);
  if (!sameTyping) {
    history.undo.push_back(history.current);
    if (history.undo.size() > kHistoryDepth) history.undo.pop_front();
  }
  history.redo.clear();
  history.current = now;
  history.lastTypedSizeEdit = typedSizeEdit;
}

// Moves one record from `from` to the form, keeping the current one in `to`.
template <typename From, typename To>
bool Replay(HWND dialog, From& from, To& to) {
  if (!history.running || from.empty()) return false;
  to.push_back(history.current);
  history.current = from.back();
  from.pop_back();
  history.lastTypedSizeEdit = -1;
  history.replaying = true;
  ShowFormRecord(dialog, history.current);
  history.replaying = false;
  return true;
}

}  // namespace

FormRecord ReadFormRecord() {
  FormRecord record;
  for (Row r = 0; r < kRowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    HorseMask ticks = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (wagerState.selections[row][static_cast<std::size_t>(slot)] != 0) ticks |= HorseMask{1} << slot;
    }
    record.ticks[row] = ticks;
    record.sizeTexts[row] = SizeEditText(r);
  }
  record.betType = wagerState.betType;
  record.unitCents = wagerState.unitCents;
  return record;
}

void ShowFormRecord(HWND dialog, const FormRecord& record) {
  BeginFormAction();
  wagerState.betType = record.betType;
  wagerState.unitCents = record.unitCents;
  for (Row r = 0; r < kRowCount; ++r) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      SetHorseBox(r, slot, ((record.ticks[static_cast<std::size_t>(r)] >> slot) & 1u) != 0);
    }
  }
  // Each write reports itself and recalculates; the last cycle below reads
  // everything afresh.
  for (Row r = 0; r < kRowCount; ++r) SetSizeEditText(r, record.sizeTexts[static_cast<std::size_t>(r)]);
  Recalculate(dialog, true);
  EndFormAction();
}

void StartHistory() {
  history = History{};
  history.running = true;
  history.current = ReadFormRecord();
}

void StopHistory() { history = History{}; }

void BeginFormAction() { ++history.actionDepth; }

void EndFormAction(Row typedSizeEdit) {
  if (history.actionDepth > 0) --history.actionDepth;
  if (history.actionDepth != 0 || !history.running || history.replaying) return;
  TakeStep(ReadFormRecord(), typedSizeEdit);
}

bool UndoFormChange(HWND dialog) { return Replay(dialog, history.undo, history.redo); }

bool RedoFormChange(HWND dialog) { return Replay(dialog, history.redo, history.undo); }

}  // namespace tallyhorn

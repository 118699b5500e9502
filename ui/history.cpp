#include "ui/history.h"

#include <deque>
#include <vector>

#include "ui/form.h"
#include "ui/resource.h"
#include "ui/ticket_box.h"

namespace tallyhorn {
namespace {

// The control the last step typed into: a size edit's or the ticket box's
// ID, or none.
constexpr int kNoTyping = 0;

struct History {
  bool running = false;
  FormRecord current;               // what the form showed after the last step
  std::deque<FormRecord> undo;      // older records, newest last
  std::vector<FormRecord> redo;     // records undone, the next to redo last
  int lastTyped = kNoTyping;        // the edit the last step typed into
  int actionDepth = 0;
  bool replaying = false;           // undo or redo is setting the form
} history;

// True when the two records differ only in the text typed into one edit
// (a size edit or the ticket box).
bool DifferOnlyInTypedText(const FormRecord& a, const FormRecord& b, int edit) {
  FormRecord merged = a;
  if (edit == IDC_TICKET) {
    merged.typedTicket = b.typedTicket;
  } else {
    const auto row = static_cast<std::size_t>(RowOfSizeEdit(edit));
    merged.sizeTexts[row] = b.sizeTexts[row];
  }
  return merged == b;
}

// Makes `now` the current record without a step of its own: it joins the
// last one. When that brings the form back to where the step began, the
// step is dropped: typing undone by hand, or a typed ticket the form
// already showed, leaves nothing to undo.
void JoinLastStep(const FormRecord& now) {
  history.current = now;
  if (!history.undo.empty() && history.undo.back() == now) {
    history.undo.pop_back();
    history.lastTyped = kNoTyping;
  }
}

// Takes a step to `now` when it differs from the current record. Typing
// into the same edit as the step before, with nothing else between, joins
// that step.
void TakeStep(const FormRecord& now, int typedEdit) {
  if (now == history.current) return;
  history.redo.clear();
  if (typedEdit != kNoTyping && typedEdit == history.lastTyped &&
      DifferOnlyInTypedText(history.current, now, typedEdit)) {
    JoinLastStep(now);
    return;
  }
  history.undo.push_back(history.current);
  if (history.undo.size() > kHistoryDepth) history.undo.pop_front();
  history.current = now;
  history.lastTyped = typedEdit;
}

// Takes what was typed into the ticket box since the last step as a step
// of its own (joining typing just before), when nothing else is under way.
void TakeTyping() {
  if (!history.running || history.replaying || history.actionDepth != 0) return;
  std::optional<std::wstring> typed = TypedTicketText();
  if (typed == history.current.typedTicket) return;
  FormRecord now = history.current;
  now.typedTicket = std::move(typed);
  TakeStep(now, IDC_TICKET);
}

// Moves one record from `from` to the form, keeping the current one in `to`.
template <typename From, typename To>
bool Replay(HWND dialog, From& from, To& to) {
  if (!history.running) return false;
  TakeTyping();
  if (from.empty()) return false;
  to.push_back(history.current);
  history.current = from.back();
  from.pop_back();
  history.lastTyped = kNoTyping;
  history.replaying = true;
  ShowFormRecord(dialog, history.current);
  history.replaying = false;
  return true;
}

// Ends an action; `typedEdit` is the edit it typed into, or kNoTyping.
void EndAction(int typedEdit, bool readsTypedTicket) {
  if (history.actionDepth > 0) --history.actionDepth;
  if (history.actionDepth != 0 || !history.running || history.replaying) return;
  const FormRecord now = ReadFormRecord();
  if (readsTypedTicket && history.lastTyped == IDC_TICKET) {
    if (now != history.current) {
      history.redo.clear();
      JoinLastStep(now);
    }
    history.lastTyped = kNoTyping;
    return;
  }
  TakeStep(now, typedEdit);
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
  record.typedTicket = TypedTicketText();
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
  // The recalculation wrote the form's ticket; typing comes back over it.
  if (record.typedTicket) ShowTypedTicketText(*record.typedTicket);
  EndFormAction();
}

void StartHistory() {
  history = History{};
  history.running = true;
  history.current = ReadFormRecord();
}

void StopHistory() { history = History{}; }

void BeginFormAction() {
  // Typing in the ticket box ends where another action begins.
  TakeTyping();
  ++history.actionDepth;
}

void EndFormAction(Row typedSizeEdit) { EndAction(typedSizeEdit >= 0 ? SizeEditId(typedSizeEdit) : kNoTyping, false); }

void EndTypedTicketAction() { EndAction(kNoTyping, true); }

bool UndoFormChange(HWND dialog) { return Replay(dialog, history.undo, history.redo); }

bool RedoFormChange(HWND dialog) { return Replay(dialog, history.redo, history.undo); }

}  // namespace tallyhorn

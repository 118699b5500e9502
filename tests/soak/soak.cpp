// A long, seeded, repeatable run of random user actions on the real
// calculator dialog: horse boxes, bet types, units, Clr, All, RESET and texts
// typed into the size edits, each delivered as the message a person's action
// produces. After every action the form is read back the way a person sees
// it and checked against the core's own answer for what is shown, and
// against a small model of what each action must have done. Memory and the
// window-object counts must not grow over the run. On a failure the seed and
// the shortest failing action sequence found are printed.
//
//   soak [--seed N] [--actions N] [--seconds N] [--shrink-seconds N]
//        [--plant-fault] [--plant-leak]
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
#include "calc/wager.h"
#include "ui/calculator.h"
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

enum class ActionKind : std::uint8_t { Box, BetType, Unit, Clear, All, Reset, SizeText };

// One user action. `row` and `index` mean: Box row and slot; BetType and
// Unit the table index; Clear and All the row; SizeText the row and the
// entry of kSizeTexts.
struct Action {
  ActionKind kind;
  std::uint8_t row;
  std::uint8_t index;
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
  }
  return 0;
}

char RowLetter(int row) { return static_cast<char>('A' + row); }

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

std::string Text(int id) {
  std::array<char, kTicketCapacity + 64> buffer{};
  GetWindowTextA(Control(id), buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

/*
 * Delivers the action as the message a person's action produces: a click
 * (BM_CLICK) on a button or box, or new text (WM_SETTEXT) in a size edit.
 * A control a person cannot see cannot be worked: such an action (possible
 * when a shortened sequence is replayed) is skipped and false returned.
 */
bool Perform(HWND dialog, const Action& action) {
  const int id = ControlIdOf(action);
  if (!Visible(dialog, id)) return false;
  if (action.kind == ActionKind::SizeText) {
    SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSizeTexts[action.index]));
  } else {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
  }
  return true;
}

// Rows whose control of the given kind (Clr, All, size edit) is shown.
std::vector<std::uint8_t> RowsShowing(HWND dialog, ActionKind kind) {
  std::vector<std::uint8_t> rows;
  for (std::uint8_t r = 0; r < kRowCount; ++r) {
    if (Visible(dialog, ControlIdOf({kind, r, 0}))) rows.push_back(r);
  }
  return rows;
}

/*
 * Picks random actions among those a person could take on the form as it
 * is now: only visible boxes, buttons and edits. Now and then it queues a
 * run a person makes to cover a whole card: every shown size edit set to
 * 20, then All on every shown row, so runs also reach the largest tickets
 * (a full Superfecta-6, a Pick-8 past one billion).
 */
class ActionSource {
 public:
  explicit ActionSource(std::uint64_t seed) : random_(seed) {}

  Action Next(HWND dialog) {
    if (queued_.empty() && random_.Below(200) == 0) QueueFullCard(dialog);
    if (!queued_.empty()) {
      const Action action = queued_.front();
      queued_.erase(queued_.begin());
      return action;
    }
    return Pick(dialog);
  }

 private:
  static constexpr std::uint8_t kTwentyText = SizeTextIndex("20");

  void QueueFullCard(HWND dialog) {
    for (const std::uint8_t row : RowsShowing(dialog, ActionKind::SizeText)) {
      queued_.push_back({ActionKind::SizeText, row, kTwentyText});
    }
    for (const std::uint8_t row : RowsShowing(dialog, ActionKind::All)) queued_.push_back({ActionKind::All, row, 0});
  }

  // One action; in percent: boxes 45, bet types 6, units 5, RESET 1, Clr 4,
  // All 22, size edits 17.
  Action Pick(HWND dialog) {
    while (true) {
      const std::uint32_t roll = random_.Below(100);
      if (roll < 45) {
        std::vector<Action> boxes;
        for (int r = 0; r < kRowCount; ++r) {
          for (int i = 0; i < kSlotCount; ++i) {
            if (Visible(dialog, BoxId(r, i))) {
              boxes.push_back({ActionKind::Box, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(i)});
            }
          }
        }
        if (boxes.empty()) continue;
        return boxes[random_.Below(static_cast<std::uint32_t>(boxes.size()))];
      }
      if (roll < 51) return {ActionKind::BetType, 0, static_cast<std::uint8_t>(random_.Below(kBetTypeCount))};
      if (roll < 56) return {ActionKind::Unit, 0, static_cast<std::uint8_t>(random_.Below(kUnitCount))};
      if (roll == 56) return {ActionKind::Reset, 0, 0};

      const ActionKind kind = roll < 61 ? ActionKind::Clear : (roll < 83 ? ActionKind::All : ActionKind::SizeText);
      const std::vector<std::uint8_t> rows = RowsShowing(dialog, kind);
      if (rows.empty()) continue;
      const std::uint8_t row = rows[random_.Below(static_cast<std::uint32_t>(rows.size()))];
      const auto text = kind == ActionKind::SizeText ? random_.Below(kSizeTexts.size()) : 0;
      return {kind, row, static_cast<std::uint8_t>(text)};
    }
  }

  Random random_;
  std::vector<Action> queued_;
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

// Set by --plant-fault: the model expects All to tick one horse more.
bool plantedFault = false;

// What each action must have done, kept beside the form: the bet type, the
// unit, all 160 ticks (hidden ones included) and the eight edits' texts.
struct Model {
  BetType betType = kTrifecta;
  int unit = UnitIndexOf(100);
  std::array<std::array<bool, kSlotCount>, kRowCount> ticks{};
  std::array<std::string, kRowCount> sizeTexts{"12", "12", "12", "12", "12", "12", "12", "12"};

  // The field size of a row: its own edit in a multi-race bet, the first
  // edit in a position bet.
  int FieldOf(int row) const {
    const std::uint64_t value = ReadAsPerson(sizeTexts[IsPositionBet(betType) ? 0 : static_cast<std::size_t>(row)]);
    return value > static_cast<std::uint64_t>(kMaxFieldSize) ? kMaxFieldSize : static_cast<int>(value);
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
    }
  }
};

// How far the checked states reached, for the summary of a run.
struct Coverage {
  std::size_t states = 0;
  std::size_t withBets = 0;      // a non-zero count
  std::size_t overBillion = 0;   // shown as "One Billion+"
  CombinationCount largest = 0;
  std::array<std::size_t, kBetTypeCount> byBetType{};
};
Coverage coverage;

// A failed check: a short name of what failed (a shortened sequence must
// fail the same way) and the details.
struct Failure {
  std::string what;
  std::string detail;
};

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
std::optional<Failure> CheckForm(HWND dialog, const Model& model) {
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
  if (auto failure = Mismatch("ticket box", Text(IDC_TICKET), texts.ticket.data())) return failure;
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

std::optional<Failure> StepAndCheck(HWND dialog, Model& model, const Action& action) {
  if (Perform(dialog, action)) model.Apply(action);
  if (!Pump(dialog)) return Failure{"closed", "the calculator posted WM_QUIT"};
  return CheckForm(dialog, model);
}

// Replays actions on a fresh calculator, stopping at the first failed check.
Outcome Replay(const std::vector<Action>& actions) {
  const HWND dialog = FreshCalculator();
  Model model;
  Outcome outcome;
  for (std::size_t i = 0; i < actions.size(); ++i) {
    if (auto failure = StepAndCheck(dialog, model, actions[i])) {
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
  const HWND dialog = FreshCalculator();
  Model model;
  if (auto failure = CheckForm(dialog, model)) {
    std::printf("FAIL: the start state: %s: %s\n", failure->what.c_str(), failure->detail.c_str());
    return 1;
  }

  // The action log is the one thing the soak keeps growing: allocate it
  // whole and write it once, so its pages are in use before the baseline
  // and do not count as the calculator's memory.
  std::vector<Action> actions(options.actions);
  actions.clear();
  ActionSource source(options.seed);
  const std::size_t warmUp = options.actions / 10 > 100 ? options.actions / 10 : 100;
  Resources baseline;
  bool measured = false;
  std::size_t reported = 0;

  while (actions.size() < options.actions && SecondsSince(start) < options.seconds) {
    actions.push_back(source.Next(dialog));
    crashActionCount = actions.size();
    crashAction = &actions.back();
    if (auto failure = StepAndCheck(dialog, model, actions.back())) {
      Outcome outcome{actions.size() - 1, std::move(failure)};
      SetUnhandledExceptionFilter(nullptr);  // the replays below are not this run
      ReportFailure(options, actions, outcome);
      return 1;
    }
    if (options.plantLeak) {
      // Written, so the pages are in use as a real leak's would be.
      char* leaked = new char[1024];
      std::memset(leaked, 1, 1024);
      leakSink = leaked;
    }
    if (actions.size() == warmUp) {
      baseline = Measure();
      measured = true;
    }
    if (actions.size() * 10 / options.actions > reported) {
      reported = actions.size() * 10 / options.actions;
      std::printf("  %zu actions, %.1f s\n", actions.size(), SecondsSince(start));
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
  if (actions.size() < options.actions) {
    std::printf("soak: stopped by the time limit of %.0f s before %zu actions\n", options.seconds, options.actions);
  }
  if (!measured) {
    std::printf("soak: too few actions to compare memory after a warm-up of %zu\n", warmUp);
    return 0;
  }

  std::printf("memory after %zu actions: private %.2f MiB, working set %.2f MiB; at the end: %.2f MiB, %.2f MiB "
              "(private %+.0f KiB, allowed +%.0f KiB)\n",
              warmUp, Mebibytes(baseline.privateBytes), Mebibytes(baseline.workingSet), Mebibytes(end.privateBytes),
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
  tallyhorn::soak::Options options;
  if (!tallyhorn::soak::ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: soak [--seed N] [--actions N] [--seconds N] [--shrink-seconds N] [--plant-fault] "
                 "[--plant-leak]\n");
    return 2;
  }
  return tallyhorn::soak::Run(options);
}

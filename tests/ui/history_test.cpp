// Undo and redo: every kind of change comes back exactly as it was, and
// goes again; actions that change nothing take no step.
#include <functional>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

int Undo() { return PressKey('Z', true); }
int Redo() { return PressKey('Y', true); }
int RedoWithShift() { return PressKey('Z', true, true); }

// Sets the ticket box's text and presses Enter in it, as a person types a
// ticket.
void TypeTicket(const char* text) {
  Focus(IDC_TICKET);
  SendMessageA(Control(IDC_TICKET), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  PressKey(VK_RETURN);
}

void PasteTicket(const char* text) {
  SetClipboardText(text);
  Focus(IDC_RESET);
  PressKey('V', true);
}

struct ChangeCase {
  std::string name;
  std::function<void()> change;
};

std::ostream& operator<<(std::ostream& out, const ChangeCase& c) { return out << c.name; }

class UndoTest : public CalculatorTest, public testing::WithParamInterface<ChangeCase> {
 protected:
  // Every part of the form undo must bring back, a hidden tick among them.
  void SetUp() override {
    CalculatorTest::SetUp();
    BuildBusyPick4();
  }
};

TEST_P(UndoTest, UndoBringsTheFormBackAndRedoAgain) {
  const ChangeCase& c = GetParam();
  const std::vector<std::string> before = FormSnapshot();
  c.change();
  const std::vector<std::string> after = FormSnapshot();
  ASSERT_NE(after, before) << "the change changed nothing";

  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), before) << "after Ctrl+Z";
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), after) << "after Ctrl+Y";
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  ASSERT_EQ(RedoWithShift(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), after) << "after Ctrl+Z, Ctrl+Shift+Z";
  // The state follows the form: the box shows the ticket counted afresh.
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(CalculatorState().combinationCount, 2 * 2 * 1 * 2);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, UndoTest,
    testing::Values(ChangeCase{"HorseBox", [] { Click(BoxId(2, 3)); }},
                    ChangeCase{"Clr", [] { Click(IDC_CLR_A); }},
                    ChangeCase{"All", [] { Click(IDC_ALL_B); }},
                    ChangeCase{"Reset", [] { Click(IDC_RESET); }},
                    ChangeCase{"BetType", [] { Click(IDC_BET_TRIFECTA); }},
                    ChangeCase{"Unit", [] { Click(IDC_UNIT_0_05); }},
                    ChangeCase{"SizeEditText", [] { TypeSize(2, "7"); }},
                    ChangeCase{"SizeAboveTwenty", [] { TypeSize(3, "25"); }},
                    ChangeCase{"PastedTicket", [] { PasteTicket("$1 Pick-3: 1-3 / 17 / ALL"); }},
                    ChangeCase{"TypedTicket", [] { TypeTicket("$0.10 Superfecta: 1/2/3/ALL"); }}),
    CaseName());

using HistoryTest = CalculatorTest;

// Undo at the start, or redo with nothing undone, changes nothing; Clr on
// an empty row is no step either.
TEST_F(HistoryTest, NothingToUndoOrRedo) {
  const std::vector<std::string> start = FormSnapshot();
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), start);

  ClickHorses(0, {1});
  const std::vector<std::string> ticked = FormSnapshot();
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  Click(IDC_CLR_B);
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), ticked);
}

// Steps come back in order, more than a hundred of them.
TEST_F(HistoryTest, UndoesStepByStepFarBack) {
  Click(IDC_BET_PICK_8);
  std::vector<std::vector<std::string>> forms{FormSnapshot()};
  for (int i = 0; i < 120; ++i) {
    Click(BoxId(i % kRowCount, (i / kRowCount) % 12));
    forms.push_back(FormSnapshot());
  }
  for (std::size_t i = forms.size() - 1; i > 0; --i) {
    ASSERT_EQ(Undo(), kLoopStoppedByTest);
    ASSERT_EQ(FormSnapshot(), forms[i - 1]) << "after undoing step " << i;
  }
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), forms[1]);
}

// A new change after an undo drops the step that could have been redone.
TEST_F(HistoryTest, ANewChangeDropsTheRedo) {
  const std::vector<std::string> start = FormSnapshot();
  ClickHorses(0, {1});
  ClickHorses(1, {2});
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  ClickHorses(2, {3});
  const std::vector<std::string> changed = FormSnapshot();
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), changed);
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), start);
}

// Actions that change nothing take no step and keep what could be redone:
// the checked bet type or unit, All on a full row, About, a pasted ticket
// the form already shows.
TEST_F(HistoryTest, ActionsThatChangeNothingKeepTheRedo) {
  PasteTicket("$1 Pick-3: ALL / 5 / 3,4");
  const std::vector<std::string> pasted = FormSnapshot();
  ClickHorses(2, {7});
  const std::vector<std::string> ticked = FormSnapshot();
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  ASSERT_EQ(FormSnapshot(), pasted);

  PasteTicket("$1 Pick-3: ALL / 5 / 3,4");
  Click(IDC_BET_PICK_3);
  Click(IDC_UNIT_1);
  Click(IDC_ALL_A);
  ClickAndCloseModalBox(IDC_ABOUT_BUTTON);
  EXPECT_EQ(FormSnapshot(), pasted);
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), ticked);
}

// Two writes into one size edit with nothing between them are one step;
// Ctrl+Z in that edit undoes the form's step, not the edit's own typing.
TEST_F(HistoryTest, TypingIntoOneSizeEditIsOneStep) {
  const std::vector<std::string> start = FormSnapshot();
  Focus(SizeEditId(0));
  TypeSize(0, "1");
  TypeSize(0, "15");
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), start);
  EXPECT_EQ(Text(SizeEditId(0)), "12");
  EXPECT_EQ(FocusId(), SizeEditId(0));
}

}  // namespace
}  // namespace tallyhorn::uitest

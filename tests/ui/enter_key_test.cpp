// Enter does what a person means: in a size edit it keeps the number and
// selects it, on a push button it presses it, in the ticket box it reads
// what was typed there and nothing else, and elsewhere it opens nothing and
// never closes the calculator.
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

using EnterKeyTest = CalculatorTest;

// Presses Enter on the control with `id`; returns the box it opened, if any.
ModalBox PressEnterOn(int id) {
  Focus(id);
  return PressKeyAndCloseModalBox(VK_RETURN);
}

TEST_F(EnterKeyTest, InASizeEditKeepsTheNumberAndSelectsIt) {
  Click(IDC_BET_PICK_3);
  TypeSize(1, "15");
  const std::vector<std::string> before = FormSnapshot();
  const ModalBox box = PressEnterOn(SizeEditId(1));
  EXPECT_FALSE(box.shown) << "Enter opened \"" << box.caption << "\"";
  EXPECT_EQ(FormSnapshot(), before);
  DWORD start = 1;
  DWORD end = 0;
  SendMessageA(Control(SizeEditId(1)), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(VisibleHorses(1).size(), 15u);
}

TEST_F(EnterKeyTest, OnAPushButtonPressesIt) {
  const ModalBox box = PressEnterOn(IDC_ALL_B);
  EXPECT_FALSE(box.shown);
  EXPECT_EQ(TickedHorses(1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

  const ModalBox help = PressEnterOn(IDC_HELP_BUTTON);
  EXPECT_TRUE(help.shown);
  EXPECT_EQ(help.caption, "Tallyhorn...");
  const ModalBox about = PressEnterOn(IDC_ABOUT_BUTTON);
  EXPECT_TRUE(about.shown);
  EXPECT_EQ(about.caption, "About Tallyhorn");
}

// On a bet-type button or the dialog itself Enter does nothing: no Help,
// no About, no closing.
TEST_F(EnterKeyTest, ElsewhereOpensNothing) {
  ClickHorses(0, {1, 2});
  const std::vector<std::string> before = FormSnapshot();
  for (int id : {IDC_BET_TRIFECTA, IDC_UNIT_1, BoxId(0, 1)}) {
    const ModalBox box = PressEnterOn(id);
    EXPECT_FALSE(box.shown) << "on " << id << " Enter opened \"" << box.caption << "\"";
    EXPECT_EQ(FormSnapshot(), before) << "on " << id;
  }
  EXPECT_NE(CalculatorDialog(), nullptr);
  EXPECT_TRUE(IsWindowVisible(CalculatorDialog()));
}

// Enter on the text the calculator wrote, unchanged, reads nothing back:
// the hidden horse it leaves out stays ticked, nothing is recalculated and
// no step is taken, so undo goes back to the field being shrunk.
TEST_F(EnterKeyTest, OnTheCalculatorsOwnTicketChangesNothing) {
  ClickHorses(0, {2, 11});
  const std::vector<std::string> unshrunk = FormSnapshot();
  TypeSize(0, "8");
  const std::vector<std::string> before = FormSnapshot();
  ModalBox box;
  {
    CycleCounter counter;
    box = PressEnterOn(IDC_TICKET);
    EXPECT_EQ(counter.cycles(), 0);
  }
  EXPECT_FALSE(box.shown) << box.text;
  EXPECT_EQ(TickedHorses(0), (std::vector<int>{2, 11}));
  EXPECT_EQ(FormSnapshot(), before);
  ASSERT_EQ(PressKey('Z', true), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), unshrunk);
}

struct EmptyBoxCase {
  std::string name;
  std::wstring typed;  // typed over the whole box; nothing typed for L""
};

std::ostream& operator<<(std::ostream& out, const EmptyBoxCase& c) { return out << c.name; }

class EmptyTicketBoxTest : public CalculatorTest, public testing::WithParamInterface<EmptyBoxCase> {};

// An empty box, as the calculator leaves it or as the player empties it,
// has nothing to read: Enter warns of nothing and changes nothing.
TEST_P(EmptyTicketBoxTest, EnterDoesNothing) {
  const EmptyBoxCase& c = GetParam();
  if (!c.typed.empty()) {
    ClickHorses(0, {1});
    ClickHorses(1, {2});
    ClickHorses(2, {3});
    Focus(IDC_TICKET);
    SendMessageW(Control(IDC_TICKET), EM_SETSEL, 0, -1);
    TypeText(c.typed);
  }
  const std::vector<std::string> before = FormSnapshot();
  const ModalBox box = PressEnterOn(IDC_TICKET);
  EXPECT_FALSE(box.shown) << box.text;
  EXPECT_EQ(FormSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Boxes, EmptyTicketBoxTest,
                         testing::Values(EmptyBoxCase{"AsTheCalculatorLeavesIt", L""},
                                         EmptyBoxCase{"EmptiedByThePlayer", L"\b"},
                                         EmptyBoxCase{"BlanksOnly", L"  \u00A0 "}),
                         CaseName());

struct HeldEnterCase {
  std::string name;
  int focus;
  std::wstring typed;   // typed over the control's text first, if any
  std::string opens;    // the start of the box's text
};

std::ostream& operator<<(std::ostream& out, const HeldEnterCase& c) { return out << c.name; }

class HeldEnterTest : public CalculatorTest, public testing::WithParamInterface<HeldEnterCase> {};

// Held down, Enter acts once: its repeats neither close the box it opened
// nor open another.
TEST_P(HeldEnterTest, OpensOneBoxThatStaysUp) {
  const HeldEnterCase& c = GetParam();
  Focus(c.focus);
  if (!c.typed.empty()) {
    SendMessageW(Control(c.focus), EM_SETSEL, 0, -1);
    TypeText(c.typed);
  }
  const std::vector<std::string> before = FormSnapshot();
  const HeldKey held = HoldKeyAndCloseModalBoxes(VK_RETURN, 6);
  EXPECT_EQ(held.boxesOpened, 1);
  EXPECT_TRUE(held.boxUpAtRelease) << "a repeat closed the box";
  EXPECT_EQ(held.lastBox.text.rfind(c.opens, 0), 0u) << held.lastBox.text;
  EXPECT_EQ(FormSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, HeldEnterTest,
    testing::Values(HeldEnterCase{"ABadTicket", IDC_TICKET, L"$1 Trifecta: 1 / 21 / 3",
                                  "Tallyhorn could not read the ticket in the box:"},
                    HeldEnterCase{"Help", IDC_HELP_BUTTON, L"", "The Tallyhorn helps you"}),
    CaseName());

}  // namespace
}  // namespace tallyhorn::uitest

// The plan window: tickets come in from the calculator with Ctrl+Enter and
// the plan's own buttons and keys, the list and the summary show them with
// exact figures, every change can be undone, a row goes back into the
// calculator, and Copy gives what tallyhorn-cli prints.
#include <functional>
#include <string>
#include <vector>

#include "calc/summary.h"
#include "tests/ui/plan_fixture.h"

namespace tallyhorn::uitest {
namespace {

const std::string kMixedSummary =
    "Exacta: 1 ticket, 2 bets, 2 distinct, 0 repeats\r\n"
    "Trifecta: 2 tickets, 7 bets, 5 distinct, 2 repeats\r\n"
    "Pick-4: 2 tickets, 9 bets, 7 distinct, 2 repeats\r\n"
    "Plan: 5 tickets, 18 bets, total $16.10";

std::vector<Ticket> Tickets(const std::vector<std::string>& lines) {
  FieldSizes fields;
  fields.fill(kMaxFieldSize);
  std::vector<Ticket> tickets;
  for (const std::string& line : lines) tickets.push_back(ReadTicket(line, fields, FieldRule::kFixed).ticket.value());
  return tickets;
}

using PlanWindowTest = PlanTest;

// Ctrl+Enter in the calculator adds its ticket and shows the plan beside
// it, the keyboard staying in the calculator; the list shows each ticket's
// number, line, bets and cost, the summary the figures by bet type.
TEST_F(PlanWindowTest, CtrlEnterAddsTheCalculatorsTicket) {
  EXPECT_FALSE(PlanShown()) << "an empty plan starts hidden";
  EXPECT_EQ(PlanTitle(), "Tallyhorn plan");
  AddToPlan(kMixedPlan);
  EXPECT_TRUE(PlanShown());
  EXPECT_EQ(FocusId(), IDC_TICKET) << "the keyboard stays in the calculator";

  const std::vector<std::vector<std::string>> rows{{"1", kMixedPlan[0], "4", "$4"},
                                                   {"2", kMixedPlan[1], "6", "$0.60"},
                                                   {"3", kMixedPlan[2], "3", "$3"},
                                                   {"4", kMixedPlan[3], "2", "$4"},
                                                   {"5", kMixedPlan[4], "3", "$4.50"}};
  EXPECT_EQ(PlanRows(), rows);
  WaitForCount();
  EXPECT_EQ(PlanSummary(), kMixedSummary);
  EXPECT_EQ(PlanTitle(), "*Tallyhorn plan");

  // Ctrl+Enter in a horse box adds the ticket the form shows.
  Click(IDC_RESET);
  Click(IDC_BET_EXACTA);
  Focus(BoxId(0, 0));
  EXPECT_TRUE(PressKeyAndCloseModalBox(VK_RETURN, true).shown);
  EXPECT_EQ(PlanLines().size(), 5u) << "an Exacta of no horses covers nothing";
  ClickHorses(0, {1, 2});
  ClickHorses(1, {1, 2});
  Focus(BoxId(1, 1));
  PressKey(VK_RETURN, true);
  ASSERT_EQ(PlanRows().size(), 6u);
  // RESET keeps the base the last ticket typed had.
  EXPECT_EQ(PlanRows()[5], (std::vector<std::string>{"6", "$1.50 Exacta: 1,2 / 1,2", "2", "$3"}));
}

// A ticket that covers no combination is not added, and the box says why.
TEST_F(PlanWindowTest, ATicketOfNoCombinationIsNotAdded) {
  struct Case {
    std::function<void()> form;
    std::string reason;
  };
  const std::vector<Case> cases{
      {[] { Click(IDC_RESET); }, "1st has no horse ticked"},
      {[] { TypeTicket("$1 Pick-3: 1 / 2 / 3"); Click(IDC_CLR_B); }, "Race B has no horse ticked"},
      {[] { TypeTicket("$1 Exacta: 1 / 2"); Click(BoxId(1, 1)); Click(BoxId(1, 0)); }, "a different horse"},
  };
  for (const Case& c : cases) {
    c.form();
    Focus(IDC_RESET);
    const ModalBox box = PressKeyAndCloseModalBox(VK_RETURN, true);
    EXPECT_TRUE(box.shown) << c.reason;
    EXPECT_TRUE(box.warningIcon) << c.reason;
    EXPECT_NE(box.text.find("not added"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find(c.reason), std::string::npos) << box.text;
    EXPECT_TRUE(PlanRows().empty());
  }
  // The Add button says the same, in the plan window, which Ctrl+Enter
  // has shown.
  EXPECT_TRUE(PlanShown());
  const ModalBox box = WatchModalBox([] { ClickPlan(kPlanAddId); });
  EXPECT_TRUE(box.shown);
  EXPECT_TRUE(PlanRows().empty());
}

struct ChangeCase {
  std::string name;
  int row;  // the row selected first
  std::function<void()> change;
  std::vector<std::string> after;
  int selected;
};

std::ostream& operator<<(std::ostream& out, const ChangeCase& c) { return out << c.name; }

class PlanChangeTest : public PlanTest, public testing::WithParamInterface<ChangeCase> {
 protected:
  void SetUp() override {
    PlanTest::SetUp();
    AddToPlan({kMixedPlan[0], kMixedPlan[1], kMixedPlan[3]});
    // The calculator then shows the ticket Add and Replace take.
    TypeTicket(kMixedPlan[4]);
  }
};

// Every change, by button, key or mnemonic, shows at once and is one step
// that Ctrl+Z takes back and Ctrl+Y (or Ctrl+Shift+Z) makes again; the
// summary follows each time.
TEST_P(PlanChangeTest, ShowsAndIsUndoneAndRedone) {
  const ChangeCase& c = GetParam();
  const std::vector<std::string> before = PlanLines();
  WaitForCount();
  const std::string summaryBefore = PlanSummary();
  ClickPlanRow(c.row);
  ASSERT_EQ(SelectedPlanRow(), c.row);

  c.change();
  EXPECT_EQ(PlanLines(), c.after);
  EXPECT_EQ(SelectedPlanRow(), c.selected);
  WaitForCount();
  const std::string summaryAfter = PlanSummary();

  FocusPlan(kPlanListId);
  PressPlanKey('Z', true);
  EXPECT_EQ(PlanLines(), before) << "after Ctrl+Z";
  WaitForCount();
  EXPECT_EQ(PlanSummary(), summaryBefore);
  PressPlanKey('Y', true);
  EXPECT_EQ(PlanLines(), c.after) << "after Ctrl+Y";
  PressPlanKey('Z', true);
  PressPlanKey('Z', true, true);
  EXPECT_EQ(PlanLines(), c.after) << "after Ctrl+Z, Ctrl+Shift+Z";
  WaitForCount();
  EXPECT_EQ(PlanSummary(), summaryAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PlanChangeTest,
    testing::Values(
        ChangeCase{"AddButton", 0, [] { ClickPlan(kPlanAddId); },
                   {kMixedPlan[0], kMixedPlan[1], kMixedPlan[3], kMixedPlan[4]}, 3},
        ChangeCase{"AddCtrlEnter", 0, [] { PressPlanKey(VK_RETURN, true); },
                   {kMixedPlan[0], kMixedPlan[1], kMixedPlan[3], kMixedPlan[4]}, 3},
        ChangeCase{"AddMnemonic", 0, [] { PressPlanMnemonic('a'); },
                   {kMixedPlan[0], kMixedPlan[1], kMixedPlan[3], kMixedPlan[4]}, 3},
        ChangeCase{"ReplaceButton", 1, [] { ClickPlan(kPlanReplaceId); },
                   {kMixedPlan[0], kMixedPlan[4], kMixedPlan[3]}, 1},
        ChangeCase{"ReplaceMnemonic", 2, [] { PressPlanMnemonic('r'); },
                   {kMixedPlan[0], kMixedPlan[1], kMixedPlan[4]}, 2},
        ChangeCase{"RemoveDelete", 1, [] { PressPlanKey(VK_DELETE); }, {kMixedPlan[0], kMixedPlan[3]}, 1},
        ChangeCase{"RemoveLastButton", 2, [] { ClickPlan(kPlanRemoveId); }, {kMixedPlan[0], kMixedPlan[1]}, 1},
        ChangeCase{"MoveUpCtrlUp", 2, [] { PressPlanKey(VK_UP, true); },
                   {kMixedPlan[0], kMixedPlan[3], kMixedPlan[1]}, 1},
        ChangeCase{"MoveDownCtrlDown", 0, [] { PressPlanKey(VK_DOWN, true); },
                   {kMixedPlan[1], kMixedPlan[0], kMixedPlan[3]}, 1},
        ChangeCase{"MoveDownButton", 1, [] { ClickPlan(kPlanMoveDownId); },
                   {kMixedPlan[0], kMixedPlan[3], kMixedPlan[1]}, 2},
        ChangeCase{"NewCtrlN", 1, [] { PressPlanKey('N', true); }, {}, -1}),
    CaseName());

// Moves past either end and changes with nothing selected change nothing
// and take no step.
TEST_F(PlanWindowTest, ChangesThatChangeNothingTakeNoStep) {
  AddToPlan({kMixedPlan[0], kMixedPlan[1]});
  ClickPlanRow(0);
  PressPlanKey(VK_UP, true);
  ClickPlanRow(1);
  PressPlanKey(VK_DOWN, true);
  EXPECT_EQ(PlanLines(), (std::vector<std::string>{kMixedPlan[0], kMixedPlan[1]}));
  TypeTicket(kMixedPlan[1]);
  ClickPlanRow(1);
  ClickPlan(kPlanReplaceId);  // by the same ticket
  PressPlanKey('Z', true);
  EXPECT_EQ(PlanLines(), std::vector<std::string>{kMixedPlan[0]}) << "one undo takes back the last add";
}

// Undo in the plan goes back as far as the calculator's: 500 steps.
TEST_F(PlanWindowTest, UndoGoesBackFiveHundredSteps) {
  AddToPlan({"$1 Exacta: 1 / 2"});
  for (int i = 1; i < 503; ++i) ClickPlan(kPlanAddId);
  ASSERT_EQ(PlanRows().size(), 503u);
  FocusPlan(kPlanListId);
  for (int i = 0; i < 510; ++i) PressPlanKey('Z', true);
  EXPECT_EQ(PlanRows().size(), 3u);
  PressPlanKey('Y', true);
  EXPECT_EQ(PlanRows().size(), 4u);
}

// Enter on a row, or a double-click, puts its ticket into the calculator as
// one step of the calculator's own undo.
TEST_F(PlanWindowTest, ARowGoesBackIntoTheCalculator) {
  AddToPlan(kMixedPlan);
  TypeTicket("$3 Superfecta: 1 / 2 / 3 / 4,5");
  const std::vector<std::string> form = FormSnapshot();

  ClickPlanRow(1);
  PressPlanKey(VK_RETURN);
  EXPECT_EQ(Text(IDC_TICKET).substr(0, kMixedPlan[1].size()), kMixedPlan[1]);
  EXPECT_EQ(Text(SizeEditId(0)), "12") << "fields grow only for a horse beyond them";
  EXPECT_EQ(PlanLines(), kMixedPlan) << "the plan stays as it was";

  DoubleClickPlanRow(4);
  EXPECT_EQ(Text(IDC_TICKET).substr(0, kMixedPlan[4].size()), kMixedPlan[4]);

  Focus(IDC_RESET);
  PressKey('Z', true);
  EXPECT_EQ(Text(IDC_TICKET).substr(0, kMixedPlan[1].size()), kMixedPlan[1]);
  PressKey('Z', true);
  EXPECT_EQ(FormSnapshot(), form);
}

// Copy puts on the clipboard what tallyhorn-cli prints for the plan's
// tickets, byte for byte: each ticket's two lines and the summary line.
TEST_F(PlanWindowTest, CopyGivesTheCommandLinesText) {
  AddToPlan(kMixedPlan);
  ClickPlanRow(2);
  PressPlanKey(VK_UP, true);
  std::vector<std::string> order = kMixedPlan;
  std::swap(order[1], order[2]);
  const std::string expected = TicketSetText(Tickets(order));

  SetClipboardText("something else");
  PressPlanKey('C', true);
  WaitForCount();  // a copy asked for while the count runs is made when it ends
  EXPECT_EQ(ClipboardUnicodeText(), expected);
  EXPECT_NE(expected.find("Tickets: 5  Bets: 18  Distinct: 14  Total: $16.10\n"), std::string::npos) << expected;

  SetClipboardText("something else");
  ClickPlan(kPlanCopyId);
  EXPECT_EQ(ClipboardUnicodeText(), expected);
  SetClipboardText("something else");
  PressPlanMnemonic('c');
  EXPECT_EQ(ClipboardUnicodeText(), expected);
}

// Closing only the plan window keeps the plan; Ctrl+Enter brings it back
// with every ticket.
TEST_F(PlanWindowTest, ClosingThePlanWindowKeepsThePlan) {
  AddToPlan({kMixedPlan[0], kMixedPlan[1]});
  SendMessageW(PlanWindow(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(PlanShown());
  TypeTicket(kMixedPlan[2]);
  PressKey(VK_RETURN, true);
  EXPECT_TRUE(PlanShown());
  EXPECT_EQ(PlanLines(), (std::vector<std::string>{kMixedPlan[0], kMixedPlan[1], kMixedPlan[2]}));

  FocusPlan(kPlanListId);
  PressPlanKey(VK_ESCAPE);
  EXPECT_FALSE(PlanShown()) << "Escape closes the plan window";
  EXPECT_EQ(PlanRows().size(), 3u);
}

// The window can be made smaller only so far: the summary and every button
// stay in view.
TEST_F(PlanWindowTest, SummaryAndButtonsStayInView) {
  AddToPlan(kMixedPlan);
  SetWindowPos(PlanWindow(), nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(PlanWindow(), &client);
  for (int id : {kPlanSummaryId, kPlanCopyId, kPlanListId}) {
    RECT rect{};
    GetWindowRect(PlanControl(id), &rect);
    MapWindowPoints(nullptr, PlanWindow(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_GE(rect.top, 0) << id;
    EXPECT_LE(rect.bottom, client.bottom) << id;
    EXPECT_LE(rect.right, client.right) << id;
    EXPECT_GT(rect.bottom - rect.top, 0) << id;
  }
}

}  // namespace
}  // namespace tallyhorn::uitest

// Any price of one combination from $0.01 to $1,000: a ticket's base that
// one of the eight unit buttons offers checks it, any other checks none,
// and the ticket box, count and cost use it. A price alone typed into the
// ticket box sets the base and keeps every tick; undo and redo bring a base
// back.
#include <array>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

int Undo() { return PressKey('Z', true); }
int Redo() { return PressKey('Y', true); }

std::vector<int> UnitButtons(int id) { return id == 0 ? std::vector<int>{} : std::vector<int>{id}; }

struct BaseCase {
  std::string name;
  std::string ticket;
  int unitButton;  // the button it checks, or 0 for none
  std::string shown;
};

std::ostream& operator<<(std::ostream& out, const BaseCase& c) { return out << c.name; }

class PastedBaseTest : public CalculatorTest, public testing::WithParamInterface<BaseCase> {};

TEST_P(PastedBaseTest, ChecksItsButtonOrNone) {
  const BaseCase& c = GetParam();
  SetClipboardText(c.ticket);
  Focus(IDC_RESET);
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  EXPECT_EQ(CheckedUnitButtons(), UnitButtons(c.unitButton));
  EXPECT_EQ(Text(IDC_TICKET), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Bases, PastedBaseTest,
    testing::Values(
        BaseCase{"OneOfTheEight", "$0.20 Exacta: 1,2 / 3", IDC_UNIT_0_20,
                 "$0.20 Exacta: 1,2 / 3\r\nBets:  2  Total:  $0.40 "},
        BaseCase{"FiftyCents", "$0.50 Exacta: 1,2 / 3", 0, "$0.50 Exacta: 1,2 / 3\r\nBets:  2  Total:  $1 "},
        BaseCase{"OneCent", "$0.01 Pick-3: 1 / 2 / 3,4,5", 0,
                 "$0.01 Pick-3: 1 / 2 / 3,4,5\r\nBets:  3  Total:  $0.03 "},
        BaseCase{"DollarAndAHalf", "$1.50 Trifecta: 1,2 / 5 / 3,4", 0,
                 "$1.50 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $6 "},
        BaseCase{"AThousandDollars", "$1000 Exacta: 1 / 2,3", 0, "$1000 Exacta: 1 / 2,3\r\nBets:  2  Total:  $2,000 "}),
    CaseName());

struct PriceCase {
  std::string name;
  std::wstring typed;
  UnitCents cents;
  int unitButton;  // the button it checks, or 0 for none
};

std::ostream& operator<<(std::ostream& out, const PriceCase& c) { return out << c.name; }

class PriceAloneTest : public CalculatorTest, public testing::WithParamInterface<PriceCase> {
 protected:
  // Ticks and sizes, a hidden tick among them, that the price must keep.
  void SetUp() override {
    CalculatorTest::SetUp();
    BuildBusyPick4();
  }
};

TEST_P(PriceAloneTest, SetsTheBaseAndKeepsEveryTick) {
  const PriceCase& c = GetParam();
  const std::vector<std::string> before = FormSnapshot();
  std::array<std::vector<int>, kRowCount> ticks;
  std::array<std::string, kRowCount> sizes;
  for (Row r = 0; r < kRowCount; ++r) {
    ticks[static_cast<std::size_t>(r)] = TickedHorses(r);
    sizes[static_cast<std::size_t>(r)] = Text(SizeEditId(r));
  }

  Focus(IDC_TICKET);
  SendMessageW(Control(IDC_TICKET), EM_SETSEL, 0, -1);
  TypeText(c.typed);
  const ModalBox box = PressKeyAndCloseModalBox(VK_RETURN);
  EXPECT_FALSE(box.shown) << box.text;
  EXPECT_EQ(CalculatorState().unitCents, c.cents);
  EXPECT_EQ(CheckedUnitButtons(), UnitButtons(c.unitButton));
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_PICK_4});
  for (Row r = 0; r < kRowCount; ++r) {
    EXPECT_EQ(TickedHorses(r), ticks[static_cast<std::size_t>(r)]) << "row " << r;
    EXPECT_EQ(Text(SizeEditId(r)), sizes[static_cast<std::size_t>(r)]) << "row " << r;
  }
  // 2 x 2 x 1 x 2 combinations at the new price.
  EXPECT_EQ(CalculatorState().combinationCount, 8);
  const std::vector<std::string> priced = FormSnapshot();

  // The typing and its reading are one step.
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), before);
  EXPECT_EQ(CalculatorState().unitCents, 200u);
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), priced);
  EXPECT_EQ(CalculatorState().unitCents, c.cents);
}

INSTANTIATE_TEST_SUITE_P(Prices, PriceAloneTest,
                         testing::Values(PriceCase{"FiftyCents", L"$0.50", 50, 0},
                                         PriceCase{"BlanksAround", L"  $25\u00A0 ", 2500, 0},
                                         PriceCase{"OneCent", L"$0.01", 1, 0},
                                         PriceCase{"OneOfTheEight", L"$10.00", 1000, IDC_UNIT_10}),
                         CaseName());

// The price shows in the ticket box as the ticket's base.
TEST_F(PriceAloneTest, TheTicketBoxUsesIt) {
  Focus(IDC_TICKET);
  SendMessageW(Control(IDC_TICKET), EM_SETSEL, 0, -1);
  TypeText(L"$0.50");
  ASSERT_FALSE(PressKeyAndCloseModalBox(VK_RETURN).shown);
  EXPECT_EQ(Text(IDC_TICKET), "$0.50 Pick-4: 1,2 / 3,4 / 14 / 2,9\r\nBets:  8  Total:  $4 ");
}

// A unit button after another base sets its own price, as always; undo
// brings the other base back, with no button checked.
TEST_F(CalculatorTest, AUnitButtonAfterAnyBaseAndUndo) {
  SetClipboardText("$0.50 Exacta: 1,2 / 3");
  Focus(IDC_RESET);
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  Click(IDC_UNIT_5);
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{IDC_UNIT_5});
  EXPECT_EQ(Text(IDC_TICKET), "$5 Exacta: 1,2 / 3\r\nBets:  2  Total:  $10 ");
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{});
  EXPECT_EQ(Text(IDC_TICKET), "$0.50 Exacta: 1,2 / 3\r\nBets:  2  Total:  $1 ");
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{IDC_UNIT_5});
}

}  // namespace
}  // namespace tallyhorn::uitest

// Tickets read into the form: pasted with Ctrl+V, typed into the ticket box
// and read with Enter, or given on the command line. Texts that are not one
// ticket change nothing in the form.
#include <array>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

using Ticks = std::array<std::vector<int>, kRowCount>;

// Leaves ticks the ticket must clear: horses in rows A and H, and horse 18
// of row B hidden beyond a field shrunk back to 12.
void TickHorsesToBeCleared() {
  Click(IDC_BET_PICK_8);
  TypeSize(1, "20");
  ClickHorses(0, {4, 5});
  ClickHorses(1, {18});
  ClickHorses(7, {1});
  TypeSize(1, "12");
}

// What the form must show after reading a ticket.
struct Shown {
  std::string ticket;                       // the ticket box
  std::array<std::string, kRowCount> sizes; // the size edits' texts
  Ticks ticks;                              // every box, hidden ones too
};

void ExpectShown(const Shown& expected, const std::string& what) {
  EXPECT_EQ(Text(IDC_TICKET), expected.ticket) << what;
  for (Row r = 0; r < kRowCount; ++r) {
    EXPECT_EQ(Text(SizeEditId(r)), expected.sizes[static_cast<std::size_t>(r)]) << what << ", size edit of row " << r;
    EXPECT_EQ(TickedHorses(r), expected.ticks[static_cast<std::size_t>(r)]) << what << ", ticks of row " << r;
  }
}

const std::array<std::string, kRowCount> kTwelves{"12", "12", "12", "12", "12", "12", "12", "12"};

struct TicketCase {
  std::string name;
  std::string text;
  Shown shown;
};

std::ostream& operator<<(std::ostream& out, const TicketCase& c) { return out << c.name; }

const std::vector<TicketCase> kTickets{
    {"Pick4RangesAndAll",
     "$2 Pick-4: 1-3 / ALL / 7 / 2,9",
     {"$2 Pick-4: 1,2,3 / 1,2,3,4,5,6,7,8,9,10,11,12 / 7 / 2,9\r\nBets:  72  Total:  $144 ",
      kTwelves,
      {{{1, 2, 3}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {7}, {2, 9}}}}},
    {"AnyCaseAnySpacing",
     "  $0.10 pICK-3:all/1 ,2/ 3-4  ",
     {"$0.10 Pick-3: 1,2,3,4,5,6,7,8,9,10,11,12 / 1,2 / 3,4\r\nBets:  48  Total:  $4.80 ",
      kTwelves,
      {{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2}, {3, 4}}}}},
    {"PickRowGrowsAlone",
     "$1 Pick-3: 1 / 15 / ALL",
     {"$1 Pick-3: 1 / 15 / 1,2,3,4,5,6,7,8,9,10,11,12\r\nBets:  12  Total:  $12 ",
      {"12", "15", "12", "12", "12", "12", "12", "12"},
      {{{1}, {15}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}}}},
    // One race: the one size edit grows to the highest horse of any row,
    // and ALL follows it.
    {"OneRaceBetGrowsItsField",
     "$1 Trifecta: ALL / 1 / 16",
     {"$1 Trifecta: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16 / 1 / 16\r\nBets:  14  Total:  $14 ",
      {"16", "12", "12", "12", "12", "12", "12", "12"},
      {{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, {1}, {16}}}}},
    {"BetsLineAfterTheTicket",
     "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ",
     {"$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ", kTwelves, {{{1, 2}, {5}, {3, 4}}}}},
    {"CommentsAndBlankLinesAround",
     "# Saturday\r\n\r\n$0.05 Superfecta-6: 1/2/3/4/5/6\r\n\r\n",
     {"$0.05 Superfecta-6: 1 / 2 / 3 / 4 / 5 / 6\r\nBets:  1  Total:  $0.05 ",
      kTwelves,
      {{{1}, {2}, {3}, {4}, {5}, {6}}}}},
    // Copied from a web page: no-break spaces, as the window's code page
    // writes them.
    {"NoBreakSpaces",
     "$1\xA0Trifecta:\xA0" "1,2\xA0/ 5 / 3,4",
     {"$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ", kTwelves, {{{1, 2}, {5}, {3, 4}}}}},
    // A ticket that covers nothing still sets the form.
    {"CoversNothing", "$3 Exacta: 1 / 1", {"", kTwelves, {{{1}, {1}}}}},
};

class PastedTicketTest : public CalculatorTest, public testing::WithParamInterface<TicketCase> {};

TEST_P(PastedTicketTest, SetsTheFormToTheTicket) {
  const TicketCase& c = GetParam();
  TickHorsesToBeCleared();
  SetClipboardText(c.text);
  Focus(IDC_RESET);  // anywhere but a size edit
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  ExpectShown(c.shown, "pasted");
  EXPECT_EQ(CheckedBetButtons().size(), 1u);
  EXPECT_EQ(CheckedUnitButtons().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Tickets, PastedTicketTest, testing::ValuesIn(kTickets), CaseName());

class TypedTicketTest : public CalculatorTest, public testing::WithParamInterface<TicketCase> {};

TEST_P(TypedTicketTest, EnterInTheTicketBoxReadsIt) {
  const TicketCase& c = GetParam();
  TickHorsesToBeCleared();
  Focus(IDC_TICKET);
  SendMessageA(Control(IDC_TICKET), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
  const ModalBox box = PressKeyAndCloseModalBox(VK_RETURN);
  EXPECT_FALSE(box.shown) << box.text;
  ExpectShown(c.shown, "typed");
}

INSTANTIATE_TEST_SUITE_P(Tickets, TypedTicketTest, testing::ValuesIn(kTickets), CaseName());

// Texts that are not one ticket, with what the reader says of each.
struct NotATicketCase {
  std::string name;
  std::string text;
  std::string error;
};

std::ostream& operator<<(std::ostream& out, const NotATicketCase& c) { return out << c.name; }

const std::vector<NotATicketCase> kNotTickets{
    {"Prose", "Back the favourite",
     "There is no unit price; a ticket starts with the price of one combination, as in \"$1 Trifecta: 1,2 / 5 / 3,4\"."},
    {"HorseAboveTwenty", "$1 Pick-3: 1 / 21 / 3", "In Race B, there is no horse 21; a race has at most 20 horses."},
    {"TooFewRows", "$1 Trifecta: 1 / 2", "A Trifecta ticket has 3 rows separated by \"/\"; this one has 2."},
    {"TwoTickets", "$1 Exacta: 1 / 2\r\n$1 Exacta: 3 / 4", "The text holds 2 tickets, not one."},
    {"AllOfAnEmptyField", "$1 Pick-3: 1 / 2 / ALL", "In Race C, ALL takes no horses from the field of 0."},
};

class NotATicketTest : public CalculatorTest, public testing::WithParamInterface<NotATicketCase> {
 protected:
  // Pick-3 with a ticket built, row C's field emptied.
  void SetUp() override {
    CalculatorTest::SetUp();
    Click(IDC_BET_PICK_3);
    ClickHorses(0, {1, 2});
    ClickHorses(1, {3});
    ClickHorses(2, {4});
    TypeSize(2, "");
  }
};

// Ctrl+V in the ticket box pastes the text as text, as an edit does; the
// form is left alone.
TEST_P(NotATicketTest, PastesAsTextInTheTicketBox) {
  const NotATicketCase& c = GetParam();
  const WagerState state = CalculatorState();
  SetClipboardText(c.text);
  Focus(IDC_TICKET);
  SendMessageA(Control(IDC_TICKET), EM_SETSEL, 0, -1);
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  EXPECT_EQ(Text(IDC_TICKET), c.text);
  EXPECT_EQ(CalculatorState().selections, state.selections);
  EXPECT_EQ(CalculatorState().betType, kPick3);
}

// Elsewhere Ctrl+V changes nothing at all.
TEST_P(NotATicketTest, ChangesNothingElsewhere) {
  const NotATicketCase& c = GetParam();
  SetClipboardText(c.text);
  const std::vector<std::string> before = FormSnapshot();
  for (int id : {IDC_RESET, IDC_BET_PICK_3, IDC_ALL_A}) {
    Focus(id);
    ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
    EXPECT_EQ(FormSnapshot(), before) << "focus on " << id;
  }
}

// Enter says why in a warning box and leaves the form and the typed text
// for the player to mend.
TEST_P(NotATicketTest, EnterExplainsAndKeepsTheText) {
  const NotATicketCase& c = GetParam();
  Focus(IDC_TICKET);
  SendMessageA(Control(IDC_TICKET), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
  const std::vector<std::string> before = FormSnapshot();
  const ModalBox box = PressKeyAndCloseModalBox(VK_RETURN);
  ASSERT_TRUE(box.shown);
  EXPECT_TRUE(box.warningIcon);
  EXPECT_TRUE(box.ownerDisabled);
  EXPECT_EQ(box.caption, "Tallyhorn");
  EXPECT_EQ(box.text, "Tallyhorn could not read the ticket in the box:\n\n" + c.error);
  EXPECT_EQ(FormSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Texts, NotATicketTest, testing::ValuesIn(kNotTickets), CaseName());

// Unicode text, as most programs copy it, keeps the invisible characters a
// web page or a chat brings along, and they read as blanks.
TEST_F(CalculatorTest, PastesUnicodeTextWithInvisibleBlanks) {
  SetClipboardUnicodeText(L"\uFEFF$1\u00A0Trifecta:\u200B1,2 /\u200B5 / 3,4\u2060");
  Focus(IDC_TICKET);
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ");
}

// In a size edit Ctrl+V pastes the clipboard's digits as text, whatever the
// clipboard holds, and the form follows the number.
TEST_F(CalculatorTest, CtrlVInASizeEditPastesText) {
  SetClipboardText("$1 Exacta: 1 / 2");
  Focus(SizeEditId(0));
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  EXPECT_EQ(CalculatorState().betType, kTrifecta) << "the ticket was read";

  SetClipboardText("15");
  Focus(SizeEditId(0));
  SendMessageA(Control(SizeEditId(0)), EM_SETSEL, 0, -1);
  ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest);
  EXPECT_EQ(Text(SizeEditId(0)), "15");
  EXPECT_EQ(VisibleHorses(0).size(), 15u);
}

// The command line: a ticket starts the calculator with it; a text that is
// not one ticket is explained first, then the start state shows.
TEST(StartTicketTest, StartsWithTheTicket) {
  ASSERT_NE(CreateCalculator(GetModuleHandleA(nullptr), "$1 Trifecta: 1,2 / 5 / 3,4"), nullptr);
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ");
  EXPECT_TRUE(Visible(IDC_TICKET));
  // The history starts from what the calculator shows once it is up.
  ASSERT_EQ(PressKey('Z', true), kLoopStoppedByTest);
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ");
  DestroyCalculator();
}

TEST(StartTicketTest, ExplainsAFaultThenShowsTheStartState) {
  const ModalBox box = WatchModalBox(
      [] { ASSERT_NE(CreateCalculator(GetModuleHandleA(nullptr), "$1 Trifecta: 1 / 21 / 3"), nullptr); });
  ASSERT_TRUE(box.shown);
  EXPECT_TRUE(box.warningIcon);
  EXPECT_EQ(box.text,
            "Tallyhorn could not read the ticket on the command line:\n\n"
            "In the 2nd row, there is no horse 21; a race has at most 20 horses.");
  EXPECT_EQ(Text(IDC_TICKET), "");
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_TRIFECTA});
  EXPECT_EQ(VisibleHorses(0).size(), 12u);
  EXPECT_TRUE(Visible(IDC_TICKET));
  DestroyCalculator();
}

}  // namespace
}  // namespace tallyhorn::uitest

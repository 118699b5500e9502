// Reading tickets written in the ticket-box notation: accepted forms, every
// rejection with its message, and the ticket box's own first line read back.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "calc/ticket_read.h"
#include "tests/reference/random_ticket.h"

namespace tallyhorn {
namespace {

// Fields of the first rows as listed, the others rest.
FieldSizes Fields(std::vector<FieldSize> first = {}, FieldSize rest = kDefaultFieldSize) {
  FieldSizes fields;
  fields.fill(rest);
  for (std::size_t r = 0; r < first.size(); ++r) fields[r] = first[r];
  return fields;
}

// The listed horses, numbered from 1, as a mask.
HorseMask Mask(std::vector<int> horses) {
  HorseMask mask = 0;
  for (int horse : horses) mask |= HorseMask{1} << (horse - 1);
  return mask;
}

// Horses first to last as a mask.
HorseMask Span(int first, int last) {
  HorseMask mask = 0;
  for (int horse = first; horse <= last; ++horse) mask |= HorseMask{1} << (horse - 1);
  return mask;
}

struct GoodCase {
  std::string name;
  std::string text;
  FieldSizes fields;
  BetType betType;
  UnitCents unitCents;
  std::vector<HorseMask> rows;
};

std::ostream& operator<<(std::ostream& out, const GoodCase& c) { return out << c.name; }

class ReadTicketFixed : public testing::TestWithParam<GoodCase> {};

TEST_P(ReadTicketFixed, ReadsTheTicket) {
  const GoodCase& c = GetParam();
  const TicketReading result = ReadTicket(c.text, c.fields, FieldRule::kFixed);
  ASSERT_TRUE(result.ticket.has_value()) << result.error;
  EXPECT_EQ(result.error, "");
  const Ticket& ticket = *result.ticket;
  EXPECT_EQ(ticket.betType, c.betType);
  EXPECT_EQ(ticket.unitCents, c.unitCents);
  for (std::size_t r = 0; r < ticket.rows.size(); ++r) {
    EXPECT_EQ(ticket.rows[r], r < c.rows.size() ? c.rows[r] : 0u) << "row " << r + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tickets, ReadTicketFixed,
    testing::Values(
        GoodCase{"WindowTrifecta", "$1 Trifecta: 1,2 / 5 / 3,4", Fields(), kTrifecta, 100,
                 {Mask({1, 2}), Mask({5}), Mask({3, 4})}},
        GoodCase{"RangesAndAll", "$0.10 Pick-4: 1-3 / ALL / 7 / 2,9", Fields(), kPick4, 10,
                 {Span(1, 3), Span(1, 12), Mask({7}), Mask({2, 9})}},
        GoodCase{"NoSpacesAnyCase", "$2 exacta:1,2/3", Fields(), kExacta, 200, {Mask({1, 2}), Mask({3})}},
        GoodCase{"SpacesEverywhere", " \t$0.05   PICK-3 :  1 - 3 , 5 /  all / 20 \r", Fields({}, 20), kPick3, 5,
                 {Mask({1, 2, 3, 5}), Span(1, 20), Mask({20})}},
        GoodCase{"UnitWithZeroCents", "$1.00 Trifecta: 1 / 2 / 3", Fields(), kTrifecta, 100,
                 {Mask({1}), Mask({2}), Mask({3})}},
        GoodCase{"UnitWithOneCentDigit", "$0.2 Superfecta: 1/2/3/4", Fields(), kSuperfecta, 20,
                 {Mask({1}), Mask({2}), Mask({3}), Mask({4})}},
        // Any base of whole cents from $0.01 to $1,000.
        GoodCase{"FiftyCents", "$0.50 Pick-4: 1/2/3/4", Fields(), kPick4, 50,
                 {Mask({1}), Mask({2}), Mask({3}), Mask({4})}},
        GoodCase{"HalfWrittenWithOneDigit", "$0.5 Trifecta: 1/2/3", Fields(), kTrifecta, 50,
                 {Mask({1}), Mask({2}), Mask({3})}},
        GoodCase{"DollarFifty", "$1.50 Exacta: 1/2", Fields(), kExacta, 150, {Mask({1}), Mask({2})}},
        GoodCase{"OneCent", "$0.01 Exacta: 1/2", Fields(), kExacta, 1, {Mask({1}), Mask({2})}},
        GoodCase{"TopPrice", "$1000.00 Exacta: 1/2", Fields(), kExacta, 100000, {Mask({1}), Mask({2})}},
        GoodCase{"TenDollarsSixRows", "$10 Superfecta-6: 1/2/3/4/5/6", Fields(), kSuperfecta6, 1000,
                 {Mask({1}), Mask({2}), Mask({3}), Mask({4}), Mask({5}), Mask({6})}},
        GoodCase{"RepeatsAndOverlapsMerge", "$3 Pick-3: 1,1,2 / 2-4,3 / ALL,5", Fields({}, 6), kPick3, 300,
                 {Mask({1, 2}), Span(2, 4), Span(1, 6)}},
        GoodCase{"AllFollowsEachRaceField", "$1 Pick-3: ALL / ALL / ALL", Fields({8, 10, 5}), kPick3, 100,
                 {Span(1, 8), Span(1, 10), Span(1, 5)}},
        // One race: every row takes the first row's field, whatever --fields
        // says for the others.
        GoodCase{"OneRaceUsesTheFirstField", "$1 Trifecta: 14 / ALL / 1", Fields({14, 6, 6}), kTrifecta, 100,
                 {Mask({14}), Span(1, 14), Mask({1})}},
        GoodCase{"Pick8FullField", "$0.05 Pick-8: 1-20/1-20/1-20/1-20/1-20/1-20/1-20/ALL", Fields({}, 20), kPick8, 5,
                 std::vector<HorseMask>(8, Span(1, 20))},
        // One number rule: leading zeros, trailing zeros after the point,
        // blanks around every number, the price's included.
        GoodCase{"TrailingZerosInThePrice", "$1.000 Trifecta: 1 / 2 / 3", Fields(), kTrifecta, 100,
                 {Mask({1}), Mask({2}), Mask({3})}},
        GoodCase{"LeadingAndTrailingZerosInThePrice", "$00.0500 Exacta: 1 / 2", Fields(), kExacta, 5,
                 {Mask({1}), Mask({2})}},
        GoodCase{"BlankAfterTheDollar", "$ 10 Exacta: 1 / 2", Fields(), kExacta, 1000, {Mask({1}), Mask({2})}},
        GoodCase{"LeadingZerosInHorses", "$2 Pick-3: 007 / 0001-003 / 012", Fields(), kPick3, 200,
                 {Mask({7}), Span(1, 3), Mask({12})}},
        // Invisible blanks copied from web pages and chats: no-break spaces
        // (UTF-8 and the window's code page), zero-width spaces, byte-order
        // marks and the ideographic space, wherever they are.
        GoodCase{"NoBreakSpaces", "$1\xC2\xA0Trifecta:\xC2\xA0" "1,\xC2\xA0" "2 /\xA0" "5 / 3\xA0,4\xC2\xA0", Fields(),
                 kTrifecta, 100, {Mask({1, 2}), Mask({5}), Mask({3, 4})}},
        GoodCase{"ZeroWidthSpacesAndByteOrderMarks",
                 "\xEF\xBB\xBF\xE2\x80\x8B$1 Trifecta:\xE2\x80\x8B" "1,2\xEF\xBB\xBF/ 5 /\xE2\x80\x8B" "3,4\xEF\xBB\xBF",
                 Fields(), kTrifecta, 100, {Mask({1, 2}), Mask({5}), Mask({3, 4})}},
        GoodCase{"OtherUnicodeSpaces", "$2\xE3\x80\x80" "Exacta:\xE2\x80\xAF" "1\xE2\x80\x87/\xE2\x81\xA0" "2", Fields(),
                 kExacta, 200, {Mask({1}), Mask({2})}}),
    [](const testing::TestParamInfo<GoodCase>& test) { return test.param.name; });

struct BadCase {
  std::string name;
  std::string text;
  FieldSizes fields;
  std::string error;
};

std::ostream& operator<<(std::ostream& out, const BadCase& c) { return out << c.name; }

class ReadTicketRejects : public testing::TestWithParam<BadCase> {};

TEST_P(ReadTicketRejects, SaysWhatIsWrong) {
  const BadCase& c = GetParam();
  const TicketReading result = ReadTicket(c.text, c.fields, FieldRule::kFixed);
  EXPECT_FALSE(result.ticket.has_value());
  EXPECT_EQ(result.error, c.error);
}

const std::string kNoUnit =
    "There is no unit price; a ticket starts with the price of one combination, as in \"$1 Trifecta: 1,2 / 5 / 3,4\".";
const std::string kNotAPrice = " is not a price; write one such as $0.50, $1 or $2.50.";
const std::string kOutOfRange = " is not a price from $0.01 to $1,000.";
const std::string kBetTypes = "the bet types are Exacta, Trifecta, Superfecta, Superfecta-5, Superfecta-6, Pick-3, "
                              "Pick-4, Pick-5, Pick-6, Pick-7, Pick-8.";

INSTANTIATE_TEST_SUITE_P(
    Tickets, ReadTicketRejects,
    testing::Values(
        BadCase{"Empty", "", Fields(), kNoUnit},
        // What reaches the program when a shell has replaced "$1" by nothing.
        BadCase{"UnitEatenByTheShell", " Trifecta: 1,2 / 5 / 3,4", Fields(), kNoUnit},
        BadCase{"FractionOfACent", "$1.005 Pick-3: 1/2/3", Fields(), "The unit \"$1.005\" has a fraction of a cent."},
        BadCase{"UnitWithAPointAlone", "$1. Pick-3: 1/2/3", Fields(), "The unit \"$1.\"" + kNotAPrice},
        BadCase{"UnitNotANumber", "$one Pick-3: 1/2/3", Fields(), "The unit \"$one\"" + kNotAPrice},
        BadCase{"NegativeUnit", "$-1 Pick-3: 1/2/3", Fields(), "The unit \"$-1\"" + kNotAPrice},
        BadCase{"ZeroUnit", "$0.00 Pick-3: 1/2/3", Fields(), "The unit \"$0.00\"" + kOutOfRange},
        BadCase{"UnitJustAboveTheTop", "$1000.01 Pick-3: 1/2/3", Fields(), "The unit \"$1000.01\"" + kOutOfRange},
        BadCase{"HugeUnit", "$99999999999999999999 Pick-3: 1/2/3", Fields(),
                "The unit \"$99999999999999999999\"" + kOutOfRange},
        BadCase{"NoColon", "$1 Trifecta 1,2 / 5 / 3,4", Fields(), "There is no \":\" after the bet type."},
        BadCase{"UnknownBetType", "$1 Trifekta: 1/2/3", Fields(),
                "There is no bet type \"Trifekta\"; " + kBetTypes},
        BadCase{"TooFewRows", "$1 Pick-3: 1/2", Fields(), "A Pick-3 ticket has 3 rows separated by \"/\"; this one has 2."},
        BadCase{"TooManyRows", "$1 Exacta: 1/2/3/4/5/6/7/8/9", Fields(),
                "An Exacta ticket has 2 rows separated by \"/\"; this one has 9."},
        BadCase{"TrailingSlash", "$1 Trifecta: 1,2 / 5 / 3,4 /", Fields(),
                "A Trifecta ticket has 3 rows separated by \"/\"; this one has 4."},
        BadCase{"NoRows", "$1 Pick-3:  ", Fields(), "A Pick-3 ticket has 3 rows separated by \"/\"; this one has none."},
        BadCase{"EmptyRow", "$1 Pick-3: 1 /  / 3", Fields(), "In Race B, there are no horses."},
        BadCase{"EmptyEntry", "$1 Pick-3: 1 / 2 / 3,,4", Fields(), "In Race C, there is an empty entry between commas in \"3,,4\"."},
        BadCase{"TrailingComma", "$1 Pick-3: 1, / 2 / 3", Fields(), "In Race A, there is an empty entry between commas in \"1,\"."},
        BadCase{"NotAHorse", "$1 Pick-3: 1 / x / 3", Fields(), "In Race B, \"x\" is not a horse number, a range like 1-4, or ALL."},
        BadCase{"NegativeHorse", "$1 Pick-3: 1 / -2 / 3", Fields(),
                "In Race B, \"-2\" is not a horse number, a range like 1-4, or ALL."},
        BadCase{"OpenRange", "$1 Pick-3: 1 / 2- / 3", Fields(),
                "In Race B, \"2-\" is not a horse number, a range like 1-4, or ALL."},
        BadCase{"HorseZero", "$1 Pick-3: 0 / 2 / 3", Fields(), "In Race A, there is no horse 0; horses are numbered from 1."},
        BadCase{"RangeFromZero", "$1 Pick-3: 1 / 2 / 0-3", Fields(), "In Race C, there is no horse 0; horses are numbered from 1."},
        BadCase{"BackwardRange", "$1 Pick-3: 5-3 / 2 / 3", Fields(), "In Race A, the range 5-3 runs backwards; write 3-5."},
        BadCase{"HorseBeyondField", "$1 Trifecta: 1,2 / 14 / 3,4", Fields(),
                "In the 2nd row, horse 14 is beyond the field of 12."},
        BadCase{"HorseBeyondTwenty", "$1 Trifecta: 1 / 2 / 99999999999999", Fields({}, 20),
                "In the 3rd row, there is no horse 99999999999999; a race has at most 20 horses."},
        BadCase{"RangeBeyondField", "$1 Pick-3: 10 - 14 / 2 / 3", Fields(),
                "In Race A, the range 10-14 runs beyond the field of 12."},
        BadCase{"BeyondItsOwnRaceField", "$1 Pick-3: 9 / 9 / 9", Fields({10, 12, 8}),
                "In Race C, horse 9 is beyond the field of 8."},
        BadCase{"OneRaceBeyondTheFirstField", "$1 Trifecta: 1 / 2 / 7", Fields({6, 12, 12}),
                "In the 3rd row, horse 7 is beyond the field of 6."},
        BadCase{"AllOfNoField", "$1 Pick-3: ALL / 2 / 3", Fields({0}),
                "In Race A, ALL takes no horses from the field of 0."},
        // An invisible blank inside a number splits it as a space would.
        BadCase{"ZeroWidthSpaceInsideAHorse", "$1 Pick-3: 1\xE2\x80\x8B" "2 / 2 / 3", Fields(),
                "In Race A, \"1 2\" is not a horse number, a range like 1-4, or ALL."},
        // The offending text is quoted safely: control characters, quotes,
        // backslashes, stray bytes and direction overrides escaped, and long
        // texts cut after 40 characters.
        BadCase{"ControlCharactersEscaped", "$1 Pick-3: 1\x01\x1B[2J / 2 / 3", Fields(),
                "In Race A, \"1\\x01\\x1B[2J\" is not a horse number, a range like 1-4, or ALL."},
        BadCase{"TabQuoteAndBackslashEscaped", "$1 Pick-3: 1 / 2\t\"x\\ / 3", Fields(),
                "In Race B, \"2\\t\\\"x\\\\\" is not a horse number, a range like 1-4, or ALL."},
        BadCase{"StrayBytesAndOverridesEscaped", "$1 Tri\xE9\xE2\x80\xAE" "fecta: 1/2/3", Fields(),
                "There is no bet type \"Tri\\xE9\\u202Efecta\"; " + kBetTypes},
        BadCase{"LongEntryCut", "$1 Pick-3: 1 / 2 / " + std::string(300, 'x'), Fields(),
                "In Race C, \"" + std::string(40, 'x') + "...\" is not a horse number, a range like 1-4, or ALL."},
        BadCase{"LongNumberCut", "$1 Pick-3: 1 / 2 / " + std::string(100, '9'), Fields(),
                "In Race C, there is no horse " + std::string(40, '9') + "...; a race has at most 20 horses."},
        BadCase{"LongUnitCut", "$" + std::string(60, '1') + " Pick-3: 1/2/3", Fields(),
                "The unit \"$" + std::string(39, '1') + "...\"" + kOutOfRange}),
    [](const testing::TestParamInfo<BadCase>& test) { return test.param.name; });

// The kind of each fault, which tallyhorn-cli turns into advice of its own.
TEST(ReadTicket, NamesTheKindOfFault) {
  EXPECT_EQ(ReadTicket("Trifecta: 1/2/3", Fields(), FieldRule::kFixed).fault, ReadFault::kNoUnitPrice);
  EXPECT_EQ(ReadTicket("$1 Pick-3: 13/1/1", Fields(), FieldRule::kFixed).fault, ReadFault::kFieldTooSmall);
  EXPECT_EQ(ReadTicket("$1 Pick-3: ALL/1/1", Fields({0}), FieldRule::kFixed).fault, ReadFault::kFieldTooSmall);
  // At a field of 20 no larger field helps.
  EXPECT_EQ(ReadTicket("$1 Pick-3: 21/1/1", Fields({}, 20), FieldRule::kFixed).fault, ReadFault::kOther);
  EXPECT_EQ(ReadTicket("$1 Pick-3: 19-21/1/1", Fields({}, 20), FieldRule::kFixed).fault, ReadFault::kOther);
  EXPECT_EQ(ReadTicket("$1 Trifecta: 1/2/021", Fields({}, 20), FieldRule::kFixed).fault, ReadFault::kOther);
  EXPECT_EQ(ReadTicket("$1 Pick-3: ALL/ALL/ALL", Fields({}, 20), FieldRule::kFixed).fault, ReadFault::kNone);
  EXPECT_EQ(ReadTicket("$1 Pick-3: 1/1", Fields(), FieldRule::kFixed).fault, ReadFault::kOther);
  EXPECT_EQ(ReadTicket("$1 Pick-3: 1/1/1", Fields(), FieldRule::kFixed).fault, ReadFault::kNone);
}

// Growing fields, as the window reads a pasted or typed ticket: a row grows
// to its highest listed horse (one race: the one field to the highest of any
// row), ALL takes the grown field, and no field ever shrinks.
struct GrowCase {
  std::string name;
  std::string text;
  FieldSizes fields;
  std::vector<HorseMask> rows;
  FieldSizes grown;
};

std::ostream& operator<<(std::ostream& out, const GrowCase& c) { return out << c.name; }

class ReadTicketGrowing : public testing::TestWithParam<GrowCase> {};

TEST_P(ReadTicketGrowing, GrowsTheFields) {
  const GrowCase& c = GetParam();
  const TicketReading result = ReadTicket(c.text, c.fields, FieldRule::kGrow);
  ASSERT_TRUE(result.ticket.has_value()) << result.error;
  for (std::size_t r = 0; r < kRowCount; ++r) {
    EXPECT_EQ(result.ticket->rows[r], r < c.rows.size() ? c.rows[r] : 0u) << "row " << r + 1;
    EXPECT_EQ(result.ticket->fieldSize[r], c.grown[r]) << "field of row " << r + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tickets, ReadTicketGrowing,
    testing::Values(
        GrowCase{"WithinTheFieldsNothingGrows", "$2 Pick-4: 1-3 / ALL / 7 / 2,9", Fields(),
                 {Span(1, 3), Span(1, 12), Mask({7}), Mask({2, 9})}, Fields()},
        GrowCase{"PickRowGrowsAlone", "$1 Pick-3: ALL, 15 / ALL / 2", Fields({12, 10, 8, 9}),
                 {Span(1, 15), Span(1, 10), Mask({2})}, Fields({15, 10, 8, 9})},
        GrowCase{"RangeGrowsItsRow", "$1 Pick-3: 1 / 18-20 / ALL", Fields(),
                 {Mask({1}), Span(18, 20), Span(1, 12)}, Fields({12, 20, 12})},
        // One race: the one field grows to the highest horse of any row, and
        // ALL in every row follows it.
        GrowCase{"OneRaceGrowsEveryRow", "$1 Trifecta: ALL / 1 / 16", Fields({12, 3, 3}),
                 {Span(1, 16), Mask({1}), Mask({16})}, Fields({}, 16)},
        GrowCase{"FromAnEmptyField", "$1 Pick-3: ALL, 4 / 2 / 3", Fields({}, 0),
                 {Span(1, 4), Mask({2}), Mask({3})}, Fields({4, 2, 3}, 0)},
        GrowCase{"LargerFieldsStay", "$1 Exacta: 1 / 2", Fields({}, 20), {Mask({1}), Mask({2})}, Fields({}, 20)}),
    [](const testing::TestParamInfo<GrowCase>& test) { return test.param.name; });

TEST(ReadTicket, GrowingStillRefusesWhatNoFieldHolds) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"$1 Pick-3: 1 / 21 / 3", "In Race B, there is no horse 21; a race has at most 20 horses."},
      {"$1 Pick-3: 1 / 2 / 19-21", "In Race C, the range 19-21 runs beyond horse 20; a race has at most 20 horses."},
      {"$1 Pick-3: 1 / ALL / 3", "In Race B, ALL takes no horses from the field of 0."},
  };
  for (const auto& [text, error] : cases) {
    const TicketReading result = ReadTicket(text, Fields({12, 0, 12}), FieldRule::kGrow);
    EXPECT_FALSE(result.ticket.has_value()) << text;
    EXPECT_EQ(result.error, error) << text;
  }
}

// The ticket lines of a text: every line end, skipped lines left out.
TEST(TicketLines, SkipsBlankCommentAndBetsLines) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {}},
      {"$1 Trifecta: 1/2/3", {"$1 Trifecta: 1/2/3"}},
      {"$1 Trifecta: 1/2/3\r\nBets:  1  Total:  $1 ", {"$1 Trifecta: 1/2/3"}},
      {"# mine\n\n  \r\n$1 Exacta: 1/2\rBets: 2\n$2 Exacta: 3/4\n", {"$1 Exacta: 1/2", "$2 Exacta: 3/4"}},
      {"\r\n\r\n", {}},
      // tallyhorn-cli's own summary line reads back, Rejected count and all.
      {"$1 Exacta: 1/2\nBets:  1  Total:  $1 \nTickets: 1  Bets: 1  Distinct: 1  Total: $1  Rejected: 1\n",
       {"$1 Exacta: 1/2"}},
      // Lines of nothing but invisible blanks, and a comment and a "Bets:"
      // line after a byte-order mark.
      {"\xC2\xA0\n\xE2\x80\x8B\xEF\xBB\xBF\r\n\xA0\t\n\xEF\xBB\xBF# mine\n\xEF\xBB\xBF Bets: 2\n$2 Exacta: 3/4",
       {"$2 Exacta: 3/4"}},
  };
  for (const auto& [text, expected] : cases) {
    const std::vector<std::string_view> lines = TicketLines(text);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), expected) << testing::PrintToString(text);
  }
}

// One number rule for horses, prices and sizes alike.
// A text that is a price alone, as typed to set the calculator's base.
TEST(ReadUnitPrice, ReadsAPriceAndNothingElse) {
  EXPECT_EQ(ReadUnitPrice("$0.50"), std::optional<UnitCents>(50));
  EXPECT_EQ(ReadUnitPrice("  $ 0.5 \r\n"), std::optional<UnitCents>(50));
  EXPECT_EQ(ReadUnitPrice("$25"), std::optional<UnitCents>(2500));
  EXPECT_EQ(ReadUnitPrice("$1000"), std::optional<UnitCents>(100000));
  for (const char* text : {"", "$", "0.50", "$0", "$0.001", "$1000.01", "$1 Trifecta: 1/2/3", "$1 2", "$x"}) {
    EXPECT_EQ(ReadUnitPrice(text), std::nullopt) << text;
  }
}

TEST(ReadWholeNumber, ReadsDigitsWithZerosAndBlanks) {
  const std::vector<std::pair<std::string, std::optional<int>>> cases = {
      {"7", 7},           {"007", 7},          {" 3", 3},          {"3 ", 3},         {"\t012\r", 12},
      {"\xC2\xA0" "5", 5}, {"0", 0},            {"00000000000000000000020", 20},
      {"99999999999", 1'000'000},              {"", std::nullopt}, {" ", std::nullopt},
      {"+3", std::nullopt}, {"-1", std::nullopt}, {"3.0", std::nullopt}, {"1 2", std::nullopt}, {"x", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ReadWholeNumber(text), value) << testing::PrintToString(text);
}

// What a message shows of a text: short, on one line, every invisible or
// control character visible as an escape, valid UTF-8 kept.
TEST(QuoteText, EscapesAndCuts) {
  std::string accents;
  for (int i = 0; i < 10; ++i) accents += "\xC3\xA9";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "\"\""},
      {"Trifekta", "\"Trifekta\""},
      {"a\tb\nc\rd", "\"a\\tb\\nc\\rd\""},
      {std::string("\0\x7F", 2), "\"\\x00\\x7F\""},
      {"say \"hi\" \\", "\"say \\\"hi\\\" \\\\\""},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
      {"\xC2\x85\xC2\xA0\xE2\x80\x8B\xE2\x80\xAE\xEF\xBB\xBF", "\"\\u0085\\u00A0\\u200B\\u202E\\uFEFF\""},
      // Bytes of no valid UTF-8 sequence: a cut sequence, a surrogate, a
      // truncated four-byte lead at the end.
      {"\xC3(\xED\xA0\x80\xF0\x9F", "\"\\xC3(\\xED\\xA0\\x80\\xF0\\x9F\""},
      {std::string(40, 'a'), "\"" + std::string(40, 'a') + "\""},
      {std::string(41, 'a'), "\"" + std::string(40, 'a') + "...\""},
      // Characters are counted, not bytes: no UTF-8 sequence is cut.
      {std::string(35, 'a') + accents, "\"" + std::string(35, 'a') + accents.substr(0, 10) + "...\""},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(QuoteText(text), quoted) << testing::PrintToString(text);
}

// The first line of the ticket box, as copied from the window, reads back as
// the same ticket, for random tickets of every bet type, at the eight unit
// prices and at any base.
TEST(ReadTicket, ReadsBackTheTicketBoxFirstLine) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<UnitCents> anyBase(kLowestUnitCents, kHighestUnitCents);
  for (int trial = 0; trial < 2000; ++trial) {
    WagerState state = RandomWindowTicket(random, 3);
    if (trial % 2 == 1) state.unitCents = anyBase(random);
    if (state.combinationCount == 0) continue;
    const FieldSize field = state.fieldSize[0];

    const std::string box = BuildTicket(state).ticket.data();
    const std::string firstLine = box.substr(0, box.find("\r\n"));
    const TicketReading result = ReadTicket(firstLine, Fields({}, field), FieldRule::kFixed);
    ASSERT_TRUE(result.ticket.has_value()) << firstLine << ": " << result.error;
    EXPECT_EQ(result.ticket->betType, state.betType) << firstLine;
    EXPECT_EQ(result.ticket->unitCents, state.unitCents) << firstLine;
    for (Row r = 0; r < RowCountOf(state.betType); ++r) {
      EXPECT_EQ(result.ticket->rows[static_cast<std::size_t>(r)], RowHorses(state, r)) << firstLine;
    }
  }
}

// A text that is to hold one ticket: a stray line is named by its number
// and its own reason, two good tickets are refused as such, and a text of
// nothing but faults gets its first line's reason.
struct OneTicketCase {
  std::string name;
  std::string text;
  std::string error;  // "" for a ticket
  ReadFault fault;
};

std::ostream& operator<<(std::ostream& out, const OneTicketCase& c) { return out << c.name; }

class ReadOneTicketTest : public testing::TestWithParam<OneTicketCase> {};

TEST_P(ReadOneTicketTest, ReadsOneOrSaysWhy) {
  const OneTicketCase& c = GetParam();
  const TicketReading result = ReadOneTicket(c.text, Fields(), FieldRule::kGrow);
  EXPECT_EQ(result.ticket.has_value(), c.error.empty());
  EXPECT_EQ(result.error, c.error);
  EXPECT_EQ(result.fault, c.fault);
  if (result.ticket) {
    EXPECT_EQ(result.ticket->rows[1], Mask({14}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadOneTicketTest,
    testing::Values(
        OneTicketCase{"TicketWithItsBetsLine", "# mine\r\n$1 Exacta: 1 / 14\r\nBets:  1  Total:  $1 \r\n", "",
                      ReadFault::kNone},
        OneTicketCase{"StrayLineAfter", "$1 Exacta: 1 / 14\nback the favourite\n",
                      "Line 2 is not a ticket: there is no unit price; a ticket starts with the price of one "
                      "combination, as in \"$1 Trifecta: 1,2 / 5 / 3,4\".",
                      ReadFault::kOther},
        OneTicketCase{"StrayTicketLineBefore", "\n$1 Pick-3: 1 / 21 / 3\n$1 Exacta: 1 / 14",
                      "Line 2 is not a ticket: in Race B, there is no horse 21; a race has at most 20 horses.",
                      ReadFault::kOther},
        OneTicketCase{"TwoGoodTickets", "$1 Exacta: 1 / 14\r\n$1 Exacta: 3 / 4\r\nnote\r\n$2 Pick-3: 1/2/3",
                      "The text holds 3 tickets, not one.", ReadFault::kSeveralTickets},
        OneTicketCase{"OnlyFaults", "$1 Exacta: 1 / 21\n$1 Pick-9: 1",
                      "In the 2nd row, there is no horse 21; a race has at most 20 horses.", ReadFault::kOther},
        OneTicketCase{"OnlySkippedLines", "# nothing\n\n",
                      "There is no unit price; a ticket starts with the price of one combination, as in "
                      "\"$1 Trifecta: 1,2 / 5 / 3,4\".",
                      ReadFault::kNoUnitPrice}),
    [](const testing::TestParamInfo<OneTicketCase>& test) { return test.param.name; });

}  // namespace
}  // namespace tallyhorn

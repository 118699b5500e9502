// Reading tickets written in the ticket-box notation: accepted forms, every
// rejection with its message, and the ticket box's own first line read back.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "cli/ticket_parse.h"
#include "tests/cli/random_ticket.h"

namespace tallyhorn::cli {
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

class CliParseGood : public testing::TestWithParam<GoodCase> {};

TEST_P(CliParseGood, ReadsTheTicket) {
  const GoodCase& c = GetParam();
  const ParseResult result = ParseTicket(c.text, c.fields);
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
    Tickets, CliParseGood,
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
                 std::vector<HorseMask>(8, Span(1, 20))}),
    [](const testing::TestParamInfo<GoodCase>& test) { return test.param.name; });

struct BadCase {
  std::string name;
  std::string text;
  FieldSizes fields;
  std::string error;
};

std::ostream& operator<<(std::ostream& out, const BadCase& c) { return out << c.name; }

class CliParseBad : public testing::TestWithParam<BadCase> {};

TEST_P(CliParseBad, SaysWhatIsWrong) {
  const BadCase& c = GetParam();
  const ParseResult result = ParseTicket(c.text, c.fields);
  EXPECT_FALSE(result.ticket.has_value());
  EXPECT_EQ(result.error, c.error);
}

const std::string kNoUnit =
    "no unit price: a ticket starts with one of $0.05, $0.10, $0.20, $1, $2, $3, $5, $10, as in "
    "\"$1 Trifecta: 1,2 / 5 / 3,4\" (in a shell, put the ticket in single quotes)";
const std::string kUnits = "$0.05, $0.10, $0.20, $1, $2, $3, $5, $10";

INSTANTIATE_TEST_SUITE_P(
    Tickets, CliParseBad,
    testing::Values(
        BadCase{"Empty", "", Fields(), kNoUnit},
        // What reaches the program when a shell has replaced "$1" by nothing.
        BadCase{"UnitEatenByTheShell", " Trifecta: 1,2 / 5 / 3,4", Fields(), kNoUnit},
        BadCase{"UnlistedUnit", "$0.50 Pick-3: 1/2/3", Fields(), "unit \"$0.50\" is not one of " + kUnits},
        BadCase{"UnitOfThreeCentDigits", "$1.000 Pick-3: 1/2/3", Fields(), "unit \"$1.000\" is not one of " + kUnits},
        BadCase{"UnitNotANumber", "$one Pick-3: 1/2/3", Fields(), "unit \"$one\" is not one of " + kUnits},
        BadCase{"HugeUnit", "$99999999999999999999 Pick-3: 1/2/3", Fields(),
                "unit \"$99999999999999999999\" is not one of " + kUnits},
        BadCase{"NoColon", "$1 Trifecta 1,2 / 5 / 3,4", Fields(), "no \":\" after the bet type"},
        BadCase{"UnknownBetType", "$1 Trifekta: 1/2/3", Fields(),
                "unknown bet type \"Trifekta\"; the bet types are Exacta, Trifecta, Superfecta, Superfecta-5, "
                "Superfecta-6, Pick-3, Pick-4, Pick-5, Pick-6, Pick-7, Pick-8"},
        BadCase{"TooFewRows", "$1 Pick-3: 1/2", Fields(), "Pick-3 takes 3 rows separated by \"/\", found 2"},
        BadCase{"TooManyRows", "$1 Exacta: 1/2/3/4/5/6/7/8/9", Fields(),
                "Exacta takes 2 rows separated by \"/\", found 9"},
        BadCase{"TrailingSlash", "$1 Trifecta: 1,2 / 5 / 3,4 /", Fields(),
                "Trifecta takes 3 rows separated by \"/\", found 4"},
        BadCase{"NoRows", "$1 Pick-3:  ", Fields(), "Pick-3 takes 3 rows separated by \"/\", found none"},
        BadCase{"EmptyRow", "$1 Pick-3: 1 /  / 3", Fields(), "row 2: no horses"},
        BadCase{"EmptyEntry", "$1 Pick-3: 1 / 2 / 3,,4", Fields(), "row 3: empty entry between commas in \"3,,4\""},
        BadCase{"TrailingComma", "$1 Pick-3: 1, / 2 / 3", Fields(), "row 1: empty entry between commas in \"1,\""},
        BadCase{"NotAHorse", "$1 Pick-3: 1 / x / 3", Fields(), "row 2: \"x\" is not a horse number, a range like 1-4, or ALL"},
        BadCase{"NegativeHorse", "$1 Pick-3: 1 / -2 / 3", Fields(),
                "row 2: \"-2\" is not a horse number, a range like 1-4, or ALL"},
        BadCase{"OpenRange", "$1 Pick-3: 1 / 2- / 3", Fields(),
                "row 2: \"2-\" is not a horse number, a range like 1-4, or ALL"},
        BadCase{"HorseZero", "$1 Pick-3: 0 / 2 / 3", Fields(), "row 1: there is no horse 0; horses are numbered from 1"},
        BadCase{"RangeFromZero", "$1 Pick-3: 1 / 2 / 0-3", Fields(), "row 3: there is no horse 0; horses are numbered from 1"},
        BadCase{"BackwardRange", "$1 Pick-3: 5-3 / 2 / 3", Fields(), "row 1: range 5-3 runs backwards; write 3-5"},
        BadCase{"HorseBeyondField", "$1 Trifecta: 1,2 / 14 / 3,4", Fields(),
                "row 2: horse 14 is beyond the field of 12 (use --field or --fields)"},
        BadCase{"HorseBeyondTwenty", "$1 Trifecta: 1 / 2 / 99999999999999", Fields({}, 20),
                "row 3: horse 99999999999999 is beyond the field of 20 (use --field or --fields)"},
        BadCase{"RangeBeyondField", "$1 Pick-3: 10 - 14 / 2 / 3", Fields(),
                "row 1: range 10-14 runs beyond the field of 12 (use --field or --fields)"},
        BadCase{"BeyondItsOwnRaceField", "$1 Pick-3: 9 / 9 / 9", Fields({10, 12, 8}),
                "row 3: horse 9 is beyond the field of 8 (use --field or --fields)"},
        BadCase{"OneRaceBeyondTheFirstField", "$1 Trifecta: 1 / 2 / 7", Fields({6, 12, 12}),
                "row 3: horse 7 is beyond the field of 6 (use --field or --fields)"},
        BadCase{"AllOfNoField", "$1 Pick-3: ALL / 2 / 3", Fields({0}),
                "row 1: ALL takes no horses from the field of 0 (use --field or --fields)"}),
    [](const testing::TestParamInfo<BadCase>& test) { return test.param.name; });

// The first line of the ticket box, as copied from the window, reads back as
// the same ticket, for random tickets of every bet type and unit.
TEST(CliParse, ReadsBackTheTicketBoxFirstLine) {
  std::mt19937 random(20261210);
  for (int trial = 0; trial < 2000; ++trial) {
    const WagerState state = RandomWindowTicket(random, 3);
    if (state.combinationCount == 0) continue;
    const FieldSize field = state.fieldSize[0];

    const std::string box = BuildTicket(state).ticket.data();
    const std::string firstLine = box.substr(0, box.find("\r\n"));
    const ParseResult result = ParseTicket(firstLine, Fields({}, field));
    ASSERT_TRUE(result.ticket.has_value()) << firstLine << ": " << result.error;
    EXPECT_EQ(result.ticket->betType, state.betType) << firstLine;
    EXPECT_EQ(result.ticket->unitCents, state.unitCents) << firstLine;
    for (Row r = 0; r < RowCountOf(state.betType); ++r) {
      EXPECT_EQ(result.ticket->rows[static_cast<std::size_t>(r)], RowHorses(state, r)) << firstLine;
    }
  }
}

}  // namespace
}  // namespace tallyhorn::cli

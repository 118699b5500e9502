// Plan files: what a plan writes reads back to the same plan, what a player
// writes or copies reads as the window reads a pasted ticket, and bad lines
// are named by number.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "calc/plan_file.h"
#include "calc/summary.h"

namespace tallyhorn {
namespace {

// A random ticket over the whole range: any bet type, any price from $0.01
// to $1,000 (the eight buttons' prices often), rows of one horse to all 20.
Ticket RandomTicket(std::mt19937& random) {
  Ticket ticket;
  ticket.betType = static_cast<BetType>(random() % kBetTypeCount);
  ticket.unitCents = random() % 2 == 0 ? UnitAmountTable[random() % kUnitCount].cents
                                       : kLowestUnitCents + static_cast<UnitCents>(random() % kHighestUnitCents);
  ticket.fieldSize.fill(kMaxFieldSize);
  const unsigned density = 1 + random() % 4;  // a horse in about density of five
  for (Row r = 0; r < RowCountOf(ticket.betType); ++r) {
    HorseMask& row = ticket.rows[static_cast<std::size_t>(r)];
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (random() % 5 < density) row |= HorseMask{1} << slot;
    }
    if (row == 0) row = HorseMask{1} << (random() % kSlotCount);
  }
  return ticket;
}

// Whether two tickets are the same bet: the field sizes may differ, as a
// file keeps no fields (they grow from 12 to the horses listed).
bool SameBet(const Ticket& a, const Ticket& b) { return a.betType == b.betType && a.unitCents == b.unitCents && a.rows == b.rows; }

TEST(PlanFile, ReadsBackWhatItWrites) {
  std::mt19937 random(11);
  std::vector<Ticket> tickets;
  for (int i = 0; i < 300; ++i) tickets.push_back(RandomTicket(random));
  // The price and rows at their limits.
  Ticket extremes;
  extremes.betType = kPick8;
  extremes.unitCents = kHighestUnitCents;
  extremes.rows.fill((HorseMask{1} << kSlotCount) - 1);
  extremes.fieldSize.fill(kMaxFieldSize);
  tickets.push_back(extremes);
  extremes.betType = kExacta;
  extremes.unitCents = kLowestUnitCents;
  extremes.rows = {HorseMask{1} << 19, 1};
  tickets.push_back(extremes);

  const std::string file = PlanFileText(tickets);
  const PlanFileReading reading = ReadPlanFile(file);
  EXPECT_EQ(PlanFaultMessage(reading), "");
  ASSERT_EQ(reading.tickets.size(), tickets.size());
  for (std::size_t i = 0; i < tickets.size(); ++i) {
    EXPECT_TRUE(SameBet(reading.tickets[i], tickets[i])) << "ticket " << i << ": " << PrintedLines(tickets[i]);
  }
  // Written again it is the same file, and it prices the same.
  EXPECT_EQ(PlanFileText(reading.tickets), file);
  EXPECT_EQ(TicketSetText(reading.tickets), TicketSetText(tickets));
}

TEST(PlanFile, WritesOneTicketBoxLineEachWithWindowsLineEnds) {
  Ticket trifecta;
  trifecta.rows = {0b11, 0b10000, 0b1100};
  trifecta.fieldSize.fill(kDefaultFieldSize);
  Ticket pick = trifecta;
  pick.betType = kPick4;
  pick.unitCents = 10;
  pick.rows = {0b111, (HorseMask{1} << 12) - 1, 0b1000000, 0b100000010};
  EXPECT_EQ(PlanFileText(std::vector<Ticket>{trifecta, pick}),
            "$1 Trifecta: 1,2 / 5 / 3,4\r\n$0.10 Pick-4: 1,2,3 / 1,2,3,4,5,6,7,8,9,10,11,12 / 7 / 2,9\r\n");
  EXPECT_EQ(PlanFileText(std::vector<Ticket>{}), "");
}

// A row with no horse cannot be written in the notation; the ticket covers
// nothing, and stays visible as a comment rather than a line that fails.
TEST(PlanFile, KeepsATicketWithAnEmptyRowAsAComment) {
  Ticket ticket;
  ticket.betType = kPick3;
  ticket.unitCents = 5;
  ticket.rows = {0b1, 0, 0b11};
  ticket.fieldSize.fill(kDefaultFieldSize);
  const std::string file = PlanFileText(std::vector<Ticket>{ticket});
  EXPECT_EQ(file.substr(0, 1), "#");
  const PlanFileReading reading = ReadPlanFile(file);
  EXPECT_TRUE(reading.tickets.empty());
  EXPECT_TRUE(reading.faults.empty());
}

// UTF-16 with the given byte order (and its byte-order mark) of ASCII text.
std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

struct ReadCase {
  std::string name;
  std::string bytes;
  std::vector<std::string> tickets;   // each read ticket as the plan writes it again
  std::vector<std::size_t> badLines;  // the numbers of the lines that are not tickets
};

std::ostream& operator<<(std::ostream& out, const ReadCase& c) { return out << c.name; }

class PlanFileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(PlanFileRead, ReadsTheTicketLinesAndNamesTheBadOnes) {
  const ReadCase& c = GetParam();
  const PlanFileReading reading = ReadPlanFile(c.bytes);
  EXPECT_FALSE(reading.utf32);
  std::vector<std::string> written;
  for (const Ticket& ticket : reading.tickets) {
    const std::string line = PlanFileText(std::vector<Ticket>{ticket});
    written.push_back(line.substr(0, line.size() - 2));
  }
  EXPECT_EQ(written, c.tickets);
  std::vector<std::size_t> badLines;
  for (const PlanLineFault& fault : reading.faults) {
    badLines.push_back(fault.line);
    EXPECT_FALSE(fault.error.empty()) << "line " << fault.line;
  }
  EXPECT_EQ(badLines, c.badLines);
}

const std::string kCopiedBox = "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 \r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, PlanFileRead,
    testing::Values(
        ReadCase{"Empty", "", {}, {}},
        ReadCase{"LineEndsOfEveryKind", "$1 Exacta: 1 / 2\n$2 Exacta: 2 / 1\r\n$3 Exacta: 3 / 1\r$5 Exacta: 4 / 1",
                 {"$1 Exacta: 1 / 2", "$2 Exacta: 2 / 1", "$3 Exacta: 3 / 1", "$5 Exacta: 4 / 1"}, {}},
        // Blank lines, comments, a copied ticket box's "Bets:" line and
        // tallyhorn-cli's summary line are skipped, and count as lines.
        ReadCase{"SkippedLines",
                 "# Saturday\r\n\r\n" + kCopiedBox + "   \r\n$0.50 pick-3: all / 1-3 / 14\r\n"
                 "Tickets: 2  Bets: 40  Distinct: 40  Total: $22\r\n",
                 {"$1 Trifecta: 1,2 / 5 / 3,4", "$0.50 Pick-3: 1,2,3,4,5,6,7,8,9,10,11,12 / 1,2,3 / 14"}, {}},
        // Rows grow from 12 to the highest horse listed; in one race the
        // field is one, so ALL takes it from every row.
        ReadCase{"FieldsGrowFromTwelve", "$1 Pick-3: ALL / 15 / 1\n$1 Exacta: ALL / 14\n",
                 {"$1 Pick-3: 1,2,3,4,5,6,7,8,9,10,11,12 / 15 / 1", "$1 Exacta: 1,2,3,4,5,6,7,8,9,10,11,12,13,14 / 14"}, {}},
        ReadCase{"BadLinesByNumber",
                 "$1 Exacta: 1 / 2\r\nExacta 1 / 2\r\n\r\n$1 Exacta: 1 / 21\r\n$1 Exacta: 1\r\n$1 Exacta: 3 / 4\r\n",
                 {"$1 Exacta: 1 / 2", "$1 Exacta: 3 / 4"}, {2, 4, 5}},
        ReadCase{"Utf16LittleEndian", Utf16("$1 Exacta: 1 / 2\r\n# note\r\n$2 Pick-3: 1 / 2 / 3\r\n", false),
                 {"$1 Exacta: 1 / 2", "$2 Pick-3: 1 / 2 / 3"}, {}},
        ReadCase{"Utf16BigEndian", Utf16("$1 Exacta: 1 / 2\r\nnonsense\r\n", true), {"$1 Exacta: 1 / 2"}, {2}},
        ReadCase{"Utf8ByteOrderMark", "\xEF\xBB\xBF$1 Exacta: 1 / 2\r\n", {"$1 Exacta: 1 / 2"}, {}}),
    [](const testing::TestParamInfo<ReadCase>& test) { return test.param.name; });

TEST(PlanFile, RefusesUtf32) {
  const PlanFileReading reading = ReadPlanFile(std::string("\xFF\xFE\0\0$\0\0\0", 8));
  EXPECT_TRUE(reading.utf32);
  EXPECT_TRUE(reading.tickets.empty());
  EXPECT_NE(PlanFaultMessage(reading).find("UTF-32"), std::string::npos);
}

// n lines that are not tickets, one good line first.
std::string WithBadLines(std::size_t n) {
  std::string file = "$1 Exacta: 1 / 2\n";
  for (std::size_t i = 0; i < n; ++i) file += "$1 Exacta: 1 / 99\n";
  return file;
}

TEST(PlanFile, NamesTheFirstTenBadLinesAndCountsTheRest) {
  EXPECT_EQ(PlanFaultMessage(ReadPlanFile(WithBadLines(0))), "");

  const PlanFileReading one = ReadPlanFile(WithBadLines(1));
  ASSERT_EQ(one.faults.size(), 1u);
  EXPECT_EQ(PlanFaultMessage(one), "Line 2 is not a ticket: " + one.faults[0].error + ".");

  const std::string ten = PlanFaultMessage(ReadPlanFile(WithBadLines(10)));
  EXPECT_NE(ten.find("Line 11 is not a ticket"), std::string::npos) << ten;
  EXPECT_EQ(ten.find("more"), std::string::npos) << ten;

  const std::string eleven = PlanFaultMessage(ReadPlanFile(WithBadLines(11)));
  EXPECT_EQ(eleven.find("Line 12 "), std::string::npos) << eleven;
  EXPECT_TRUE(eleven.ends_with("\n... and 1 more line is not a ticket.")) << eleven;

  const std::string many = PlanFaultMessage(ReadPlanFile(WithBadLines(1000)));
  EXPECT_TRUE(many.ends_with("\n... and 990 more lines are not tickets.")) << many;
  std::size_t named = 0;
  for (std::size_t at = many.find("Line "); at != std::string::npos; at = many.find("Line ", at + 1)) ++named;
  EXPECT_EQ(named, kNamedFaultLimit);
}

}  // namespace
}  // namespace tallyhorn

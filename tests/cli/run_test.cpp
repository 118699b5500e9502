// The whole program run in-process: what it prints, byte for byte, on
// standard output and standard error, and its exit status.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "cli/run.h"
#include "tests/reference/random_ticket.h"

namespace tallyhorn::cli {
namespace {

struct Outcome {
  std::string out;
  std::string err;
  int status;
};

// Runs the program on the arguments with input as its standard input.
Outcome RunProgram(const std::vector<std::string>& args, const std::string& input = "") {
  std::vector<std::string_view> views(args.begin(), args.end());
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(views, in, out, err);
  return {out.str(), err.str(), status};
}

struct RunCase {
  std::string name;
  std::vector<std::string> args;
  std::string input;
  std::string out;
  std::string err;
  int status;
};

std::ostream& operator<<(std::ostream& out, const RunCase& c) { return out << c.name; }

class CliRun : public testing::TestWithParam<RunCase> {};

TEST_P(CliRun, PrintsExactly) {
  const RunCase& c = GetParam();
  const Outcome outcome = RunProgram(c.args, c.input);
  EXPECT_EQ(outcome.out, c.out);
  EXPECT_EQ(outcome.err, c.err);
  EXPECT_EQ(outcome.status, c.status);
}

const std::string kFullPick8 = "$10 Pick-8: ALL / ALL / ALL / ALL / ALL / ALL / ALL / ALL";
const std::string kTwenty = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20";
const std::string kUsageHint = "Try 'tallyhorn-cli --help'.\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, CliRun,
    testing::Values(
        RunCase{"OneTicketNoSummary", {"$1 Trifecta: 1,2 / 5 / 3,4"}, "",
                "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n", "", 0},
        RunCase{"RangesAndAllWrittenOut", {"$0.10 Pick-4: 1-3 / ALL / 7 / 2,9"}, "",
                "$0.10 Pick-4: 1,2,3 / 1,2,3,4,5,6,7,8,9,10,11,12 / 7 / 2,9\nBets:  72  Total:  $7.20 \n", "", 0},
        RunCase{"NothingCoveredKeepsItsRows", {"$3 exacta: 1 / 1"}, "", "$3 Exacta: 1 / 1\nBets: 0  Total: $0\n", "", 0},
        RunCase{"SummaryOfOverlappingTickets",
                {"$2 Exacta: 1-4 / 1-4", "$2 Exacta: 4 / ALL", "$0.05 Trifecta: 1/2/3", "$3 Exacta: 1 / 1"}, "",
                "$2 Exacta: 1,2,3,4 / 1,2,3,4\nBets:  12  Total:  $24 \n"
                "$2 Exacta: 4 / 1,2,3,4,5,6,7,8,9,10,11,12\nBets:  11  Total:  $22 \n"
                "$0.05 Trifecta: 1 / 2 / 3\nBets:  1  Total:  $0.05 \n"
                "$3 Exacta: 1 / 1\nBets: 0  Total: $0\n"
                "Tickets: 4  Bets: 24  Distinct: 21  Total: $46.05\n",
                "", 0},
        RunCase{"OverOneBillion",
                {"--field", "20", kFullPick8, kFullPick8}, "",
                "$10 Pick-8: " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " +
                    kTwenty + " / " + kTwenty + " / " + kTwenty + "\nBets:  One Billion+  Total:  $One Billion+ \n" +
                    "$10 Pick-8: " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " + kTwenty +
                    " / " + kTwenty + " / " + kTwenty + " / " + kTwenty +
                    "\nBets:  One Billion+  Total:  $One Billion+ \n"
                    "Tickets: 2  Bets: One Billion+  Distinct: One Billion+  Total: $One Billion+\n",
                "", 0},
        RunCase{"GroupedFigures",
                {"--field=20", "$1 Superfecta-5: 1-18/1-18/1-18/1-18/1-18", "$0.20 Pick-3: ALL/ALL/ALL"}, "",
                "$1 Superfecta-5: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18"
                " / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18"
                " / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18\nBets:  1,028,160  Total:  $1,028,160 \n"
                "$0.20 Pick-3: " + kTwenty + " / " + kTwenty + " / " + kTwenty + "\nBets:  8,000  Total:  $1,600 \n"
                "Tickets: 2  Bets: 1,036,160  Distinct: 1,036,160  Total: $1,029,760\n",
                "", 0},
        // The whole ticket box pasted into standard input, Windows line ends
        // and all, among comments and blank lines.
        RunCase{"PastedTicketBoxOnInput", {},
                "\xEF\xBB\xBF# backups for race 5\r\n"
                "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 \r\n"
                "\r\n"
                "   # keyed on 5\n"
                "$1 Trifecta: 5 / 1,2 / 3,4\n",
                "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n"
                "$1 Trifecta: 5 / 1,2 / 3,4\nBets:  4  Total:  $4 \n"
                "Tickets: 2  Bets: 8  Distinct: 8  Total: $8\n",
                "", 0},
        RunCase{"PastedTicketBoxAsOneArgument", {"$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 "}, "",
                "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n", "", 0},
        RunCase{"ArgumentsWinOverInput", {"$1 Pick-3: 1/2/3"}, "$1 Pick-3: 4/5/6\n", "$1 Pick-3: 1 / 2 / 3\nBets:  1  Total:  $1 \n",
                "", 0},
        RunCase{"NoTickets", {}, "\n# nothing yet\n", "", "", 0},
        // Rejected tickets are named by line and left out; the others are
        // still computed and summed.
        RunCase{"BadLinesOnInput", {},
                "$1 Trifecta: 1,2 / 5 / 3,4\n\n$1 Trifecta: 1 / 14 / 3\n$1 Pick-3: 1/2/3\n$1 Pick-9: 1\n",
                "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n$1 Pick-3: 1 / 2 / 3\nBets:  1  Total:  $1 \n"
                "Tickets: 2  Bets: 5  Distinct: 5  Total: $5\n",
                "tallyhorn-cli: line 3: row 2: horse 14 is beyond the field of 12 (use --field or --fields)\n"
                "tallyhorn-cli: line 5: unknown bet type \"Pick-9\"; the bet types are Exacta, Trifecta, Superfecta, "
                "Superfecta-5, Superfecta-6, Pick-3, Pick-4, Pick-5, Pick-6, Pick-7, Pick-8\n",
                2},
        RunCase{"BadArgumentNamedByPosition", {"--fields", "10,12,8", "$1 Pick-3: 10/12/9", "$1 Pick-3: 10/12/8"}, "",
                "$1 Pick-3: 10 / 12 / 8\nBets:  1  Total:  $1 \n",
                "tallyhorn-cli: argument 3: row 3: horse 9 is beyond the field of 8 (use --field or --fields)\n", 2},
        RunCase{"RowsPastFieldsTakeField", {"--fields", "10", "--field", "14", "$1 Pick-3: 11 / 14 / 14"}, "", "",
                "tallyhorn-cli: argument 5: row 1: horse 11 is beyond the field of 10 (use --field or --fields)\n", 2},
        RunCase{"TwoTicketsInOneArgument", {"$1 Pick-3: 1/2/3\n$1 Pick-3: 4/5/6"}, "", "",
                "tallyhorn-cli: argument 1: holds 2 tickets; give each ticket its own argument\n", 2},
        RunCase{"EmptyArgument", {""}, "", "",
                "tallyhorn-cli: argument 1: no unit price: a ticket starts with one of $0.05, $0.10, $0.20, $1, $2, "
                "$3, $5, $10, as in \"$1 Trifecta: 1,2 / 5 / 3,4\" (in a shell, put the ticket in single quotes)\n",
                2},
        RunCase{"DoubleDashEndsOptions", {"--", "--field"}, "", "",
                "tallyhorn-cli: argument 2: no unit price: a ticket starts with one of $0.05, $0.10, $0.20, $1, $2, "
                "$3, $5, $10, as in \"$1 Trifecta: 1,2 / 5 / 3,4\" (in a shell, put the ticket in single quotes)\n",
                2},
        RunCase{"UnknownOption", {"$1 Pick-3: 1/2/3", "-x"}, "", "", "tallyhorn-cli: unknown option \"-x\"\n" + kUsageHint, 2},
        RunCase{"FieldTooLarge", {"--field", "21"}, "", "",
                "tallyhorn-cli: --field takes a field size from 0 to 20, not \"21\"\n" + kUsageHint, 2},
        RunCase{"FieldMissing", {"--field"}, "", "", "tallyhorn-cli: --field needs a value\n" + kUsageHint, 2},
        RunCase{"FieldsNotNumbers", {"--fields=12,x"}, "", "",
                "tallyhorn-cli: --fields takes up to 8 field sizes from 0 to 20 separated by commas, not \"12,x\"\n" +
                    kUsageHint,
                2},
        RunCase{"FieldsTooMany", {"--fields", "1,2,3,4,5,6,7,8,9"}, "", "",
                "tallyhorn-cli: --fields takes up to 8 field sizes from 0 to 20 separated by commas, not "
                "\"1,2,3,4,5,6,7,8,9\"\n" +
                    kUsageHint,
                2}),
    [](const testing::TestParamInfo<RunCase>& test) { return test.param.name; });

TEST(CliRunHelp, ShowsTheNotationAndExamples) {
  const Outcome outcome = RunProgram({"$1 Pick-3: 1/2/3", "--help"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "");
  EXPECT_TRUE(outcome.out.starts_with("Usage: tallyhorn-cli [--field N | --fields A,B,...] [TICKET...]\n"));
  EXPECT_NE(outcome.out.find("$UNIT BETNAME: ROW / ROW / ..."), std::string::npos);
  // Every example in the help runs as written.
  EXPECT_EQ(RunProgram({"--fields", "10,12,8,14", "$0.10 Pick-4: 1-3 / ALL / 7 / 2,9"}).status, 0);
  EXPECT_EQ(RunProgram({"$2 Exacta: 1-4 / 1-4", "$2 Exacta: 4 / ALL"}).status, 0);
}

// The program's two lines are the ticket box's, with "\n" for "\r\n", for
// random tickets of every bet type copied from the box and fed back in.
TEST(CliRunWindow, PrintsWhatTheTicketBoxShows) {
  std::mt19937 random(1210);
  for (int trial = 0; trial < 500; ++trial) {
    const WagerState state = RandomWindowTicket(random, 2);
    if (state.combinationCount == 0) continue;
    const FieldSize field = state.fieldSize[0];

    const std::string box = BuildTicket(state).ticket.data();
    const Outcome outcome = RunProgram({"--field", std::to_string(field), box});
    const std::size_t lineBreak = box.find("\r\n");
    ASSERT_NE(lineBreak, std::string::npos) << box;
    std::string expected = box.substr(0, lineBreak);
    expected.append("\n").append(box.substr(lineBreak + 2)).append("\n");
    EXPECT_EQ(outcome.out, expected);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
  }
}

// Output that cannot be written is a failure, not a success.
TEST(CliRunOutput, ReportsAnOutputThatFails) {
  std::vector<std::string_view> args{"$1 Pick-3: 1/2/3"};
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  out.setstate(std::ios::badbit);
  EXPECT_EQ(RunCli(args, in, out, err), kExitWriteFailed);
  EXPECT_EQ(err.str(), "tallyhorn-cli: the output could not be written\n");
}

}  // namespace
}  // namespace tallyhorn::cli

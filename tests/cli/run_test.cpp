// The whole program run in-process: what it prints, byte for byte, on
// standard output and standard error, and its exit status.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ios>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "calc/counting.h"
#include "calc/summary.h"
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
                    "Tickets: 2  Bets: 51,200,000,000  Distinct: 25,600,000,000  Total: $512,000,000,000\n",
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
        RunCase{"BadLinesOnInput", {"--field", "12"},
                "$1 Trifecta: 1,2 / 5 / 3,4\n\n$1 Trifecta: 1 / 14 / 3\n$1 Pick-3: 1/2/3\n$1 Pick-9: 1\n",
                "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n$1 Pick-3: 1 / 2 / 3\nBets:  1  Total:  $1 \n"
                "Tickets: 2  Bets: 5  Distinct: 5  Total: $5  Rejected: 2\n",
                "tallyhorn-cli: line 3: In the 2nd row, horse 14 is beyond the field of 12. Use --field or --fields.\n"
                "tallyhorn-cli: line 5: There is no bet type \"Pick-9\"; the bet types are Exacta, Trifecta, Superfecta, "
                "Superfecta-5, Superfecta-6, Pick-3, Pick-4, Pick-5, Pick-6, Pick-7, Pick-8.\n",
                2},
        RunCase{"BadArgumentNamedByPosition", {"--fields", "10,12,8", "$1 Pick-3: 10/12/9", "$1 Pick-3: 10/12/8"}, "",
                "$1 Pick-3: 10 / 12 / 8\nBets:  1  Total:  $1 \nTickets: 1  Bets: 1  Distinct: 1  Total: $1  Rejected: 1\n",
                "tallyhorn-cli: argument 3: In Race C, horse 9 is beyond the field of 8. Use --field or --fields.\n", 2},
        RunCase{"RowsPastFieldsTakeField", {"--fields", "10", "--field", "14", "$1 Pick-3: 11 / 14 / 14"}, "", "",
                "tallyhorn-cli: argument 5: In Race A, horse 11 is beyond the field of 10. Use --field or --fields.\n", 2},
        RunCase{"StrayLineInArgument", {"$1 Pick-3: 1/2/3\nback the favourite"}, "", "",
                "tallyhorn-cli: argument 1: Line 2 is not a ticket: there is no unit price; a ticket starts with the "
                "price of one combination, as in \"$1 Trifecta: 1,2 / 5 / 3,4\".\n",
                2},
        RunCase{"TwoTicketsInOneArgument", {"$1 Pick-3: 1/2/3\n$1 Pick-3: 4/5/6"}, "", "",
                "tallyhorn-cli: argument 1: The text holds 2 tickets, not one. Give each ticket its own argument.\n", 2},
        RunCase{"EmptyArgument", {""}, "", "",
                "tallyhorn-cli: argument 1: There is no unit price; a ticket starts with the price of one "
                "combination, as in \"$1 Trifecta: 1,2 / 5 / 3,4\". In a shell, put the ticket in single quotes.\n",
                2},
        RunCase{"DoubleDashEndsOptions", {"--", "--field"}, "", "",
                "tallyhorn-cli: argument 2: There is no unit price; a ticket starts with the price of one "
                "combination, as in \"$1 Trifecta: 1,2 / 5 / 3,4\". In a shell, put the ticket in single quotes.\n",
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
                2},
        // Options are quoted safely too.
        RunCase{"OptionQuotedSafely", {"--fie\x1B[31mld=3"}, "", "",
                "tallyhorn-cli: unknown option \"--fie\\x1B[31mld=3\"\n" + kUsageHint, 2},
        RunCase{"LongFieldValueCut", {"--field", std::string(50, '7')}, "", "",
                "tallyhorn-cli: --field takes a field size from 0 to 20, not \"" + std::string(40, '7') + "...\"\n" +
                    kUsageHint,
                2}),
    [](const testing::TestParamInfo<RunCase>& test) { return test.param.name; });

// The summary line: every figure exact and grouped however large, rejected
// tickets counted, printed for two or more tickets whether accepted or not.
const std::string kSixAll = "ALL / ALL / ALL / ALL / ALL / ALL / ";
const std::string kSixTwenty = kTwenty + " / " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " + kTwenty + " / " +
                               kTwenty + " / ";
const std::string kRejectedLine3 =
    "tallyhorn-cli: line 3: There is no bet type \"Pick-9\"; the bet types are Exacta, Trifecta, Superfecta, "
    "Superfecta-5, Superfecta-6, Pick-3, Pick-4, Pick-5, Pick-6, Pick-7, Pick-8.\n";

INSTANTIATE_TEST_SUITE_P(
    Summary, CliRun,
    testing::Values(
        // Two $0.05 Pick-7 tickets: each ticket's own lines stay the ticket
        // box's, but the summary shows Bets and Distinct in full, so the
        // 384,000,000 repeats can be worked out.
        RunCase{"ExactFiguresPastOneBillion",
                {"--field", "20", "$0.05 Pick-7: " + kSixAll + "1-15", "$0.05 Pick-7: " + kSixAll + "1-6"}, "",
                "$0.05 Pick-7: " + kSixTwenty + "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\nBets:  960,000,000  Total:  $48,000,000 \n"
                "$0.05 Pick-7: " + kSixTwenty + "1,2,3,4,5,6\nBets:  384,000,000  Total:  $19,200,000 \n"
                "Tickets: 2  Bets: 1,344,000,000  Distinct: 960,000,000  Total: $67,200,000\n",
                "", 0},
        RunCase{"RejectedCountedAmongAccepted", {}, "$1 Exacta: 1/2\n$2 Exacta: 2/1\n$1 Pick-9: 1\n",
                "$1 Exacta: 1 / 2\nBets:  1  Total:  $1 \n$2 Exacta: 2 / 1\nBets:  1  Total:  $2 \n"
                "Tickets: 2  Bets: 2  Distinct: 2  Total: $3  Rejected: 1\n",
                kRejectedLine3, 2},
        RunCase{"OneAcceptedOneRejected", {}, "$1 Exacta: 1/2\n\n$1 Pick-9: 1\n",
                "$1 Exacta: 1 / 2\nBets:  1  Total:  $1 \nTickets: 1  Bets: 1  Distinct: 1  Total: $1  Rejected: 1\n",
                kRejectedLine3, 2},
        RunCase{"NoneAccepted", {}, "$1 Exacta: 21/2\n\n$1 Pick-9: 1\n",
                "Tickets: 0  Bets: 0  Distinct: 0  Total: $0  Rejected: 2\n",
                "tallyhorn-cli: line 1: In the 1st row, there is no horse 21; a race has at most 20 horses.\n" + kRejectedLine3, 2},
        RunCase{"OneRejectedAloneHasNoSummary", {"$1 Pick-9: 1"}, "", "",
                "tallyhorn-cli: argument 1: There is no bet type \"Pick-9\"; the bet types are Exacta, Trifecta, Superfecta, "
                "Superfecta-5, Superfecta-6, Pick-3, Pick-4, Pick-5, Pick-6, Pick-7, Pick-8.\n",
                2}),
    [](const testing::TestParamInfo<RunCase>& test) { return test.param.name; });

// Input faults: invisible blanks, UTF-16, stray NUL bytes, one number rule
// for prices and options, and "use --field" only where a larger field helps.
const std::string kTrifectaLines = "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n";
const std::string kExactaLines = "$2 Exacta: 1 / 2\nBets:  1  Total:  $2 \n";
const std::string kBothSummary = "Tickets: 2  Bets: 5  Distinct: 5  Total: $6\n";

// The text as UTF-16, little- or big-endian, with or without a byte-order
// mark; the text is ASCII.
std::string Utf16(const std::string& text, bool bigEndian, bool mark) {
  std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (char c : text) {
    if (bigEndian) bytes += '\0';
    bytes += c;
    if (!bigEndian) bytes += '\0';
  }
  return bytes;
}

const std::string kTwoTickets = "$1 Trifecta: 1,2 / 5 / 3,4\r\n$2 Exacta: 1/2\r\n";

INSTANTIATE_TEST_SUITE_P(
    InputFaults, CliRun,
    testing::Values(
        RunCase{"InvisibleBlanksAnywhere", {},
                "\xEF\xBB\xBF$1\xC2\xA0Trifecta:\xE2\x80\x8B" "1,2 /\xA0" "5 / 3,4\xEF\xBB\xBF\n\xC2\xA0\n"
                "\xEF\xBB\xBF$2 Exacta:\xC2\xA0" "1/2\n",
                kTrifectaLines + kExactaLines + kBothSummary, "", 0},
        RunCase{"Utf16LittleEndianWithMark", {}, Utf16(kTwoTickets, false, true), kTrifectaLines + kExactaLines + kBothSummary,
                "", 0},
        RunCase{"Utf16BigEndianWithMark", {}, Utf16(kTwoTickets, true, true), kTrifectaLines + kExactaLines + kBothSummary,
                "", 0},
        RunCase{"Utf16LittleEndianWithoutMark", {}, Utf16(kTwoTickets, false, false),
                kTrifectaLines + kExactaLines + kBothSummary, "", 0},
        RunCase{"Utf16BigEndianWithoutMark", {}, Utf16(kTwoTickets, true, false),
                kTrifectaLines + kExactaLines + kBothSummary, "", 0},
        RunCase{"Utf32Refused", {}, std::string("\xFF\xFE\0\0$\0\0\0", 8), "",
                "tallyhorn-cli: standard input is UTF-32 text, which tallyhorn-cli does not read; save it as UTF-8 or "
                "ASCII\n",
                2},
        RunCase{"StrayNulByteShown", {}, std::string("$2 Exacta: 1/2\n$2 Exacta: 1/\0\n", 30),
                kExactaLines + "Tickets: 1  Bets: 1  Distinct: 1  Total: $2  Rejected: 1\n",
                "tallyhorn-cli: line 2: In the 2nd row, \"\\x00\" is not a horse number, a range like 1-4, or ALL.\n", 2},
        RunCase{"PriceWithTrailingZeros", {"$2.000 Exacta: 01 / 002"}, "", kExactaLines, "", 0},
        RunCase{"FieldWithLeadingZeros", {"--field", "005", "$2 Exacta: 1/2", "--fields", "004, 3"}, "",
                kExactaLines, "", 0},
        RunCase{"FieldWithBlanks", {"--field", " 3 ", "--fields", " 3", "$2 Exacta: 1/2"}, "", kExactaLines, "", 0},
        RunCase{"FieldNotANumber", {"--field", "3.0"}, "", "",
                "tallyhorn-cli: --field takes a field size from 0 to 20, not \"3.0\"\n" + kUsageHint, 2},
        // At a field of 20 no option helps, so none is suggested.
        RunCase{"NoFieldAdviceAtTwenty",
                {"--field", "20", "$1 Pick-3: 21/1/1", "$1 Trifecta: 1/2/19-21", "$1 Exacta: 1/020"}, "",
                "$1 Exacta: 1 / 20\nBets:  1  Total:  $1 \nTickets: 1  Bets: 1  Distinct: 1  Total: $1  Rejected: 2\n",
                "tallyhorn-cli: argument 3: In Race A, there is no horse 21; a race has at most 20 horses.\n"
                "tallyhorn-cli: argument 4: In the 3rd row, the range 19-21 runs beyond horse 20; a race has at most 20 "
                "horses.\n",
                2},
        RunCase{"FieldAdviceWhereALargerFieldHelps", {"--fields", "0,12", "$1 Pick-3: ALL/1/1", "$1 Pick-3: 1/13/1"}, "",
                "Tickets: 0  Bets: 0  Distinct: 0  Total: $0  Rejected: 2\n",
                "tallyhorn-cli: argument 3: In Race A, ALL takes no horses from the field of 0. Use --field or --fields.\n"
                "tallyhorn-cli: argument 4: In Race A, horse 1 is beyond the field of 0. Use --field or --fields.\n",
                2}),
    [](const testing::TestParamInfo<RunCase>& test) { return test.param.name; });

TEST(CliRunHelp, ShowsTheNotationAndExamples) {
  const Outcome outcome = RunProgram({"$1 Pick-3: 1/2/3", "--help"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "");
  EXPECT_TRUE(outcome.out.starts_with("Usage: tallyhorn-cli [--field N | --fields A,B,...] [TICKET...]\n"));
  EXPECT_NE(outcome.out.find("$UNIT BETNAME: ROW / ROW / ..."), std::string::npos);
  // The one number rule, and the summary's exact figures and rejected count.
  EXPECT_NE(outcome.out.find("$1.000 is $1"), std::string::npos);
  EXPECT_NE(outcome.out.find("(007 is 7)"), std::string::npos);
  EXPECT_NE(outcome.out.find("\"  Rejected: R\""), std::string::npos);
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

// Output that cannot be written is a failure with its message, the help's
// as much as the tickets'.
TEST(CliRunOutput, ReportsAnOutputThatFails) {
  for (const std::vector<std::string_view>& args :
       {std::vector<std::string_view>{"$1 Pick-3: 1/2/3"}, std::vector<std::string_view>{"--help"}}) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(RunCli(args, in, out, err), kExitIoFailed) << args[0];
    EXPECT_EQ(err.str(), "tallyhorn-cli: the output could not be written\n") << args[0];
  }
}

// A stream buffer whose reads fail as a read(2) does: errno set, then the
// failure the library reports for it.
class FailingInput : public std::streambuf {
 public:
  FailingInput(std::string head, int code) : head_(std::move(head)), code_(code) {
    setg(head_.data(), head_.data(), head_.data() + head_.size());
  }

 protected:
  int_type underflow() override {
    errno = code_;
    throw std::ios_base::failure("read failed");
  }

 private:
  std::string head_;
  int code_;
};

// A read error on standard input is named, exit status 1, and no figures
// are printed for the part that was read before it.
TEST(CliRunInput, ReportsAnInputThatFails) {
  const std::vector<std::pair<int, std::string>> cases = {
      {EISDIR, "it is a directory"},
      {EBADF, "it is closed"},
      {EIO, std::strerror(EIO)},
      {0, ""},
  };
  for (const auto& [code, reason] : cases) {
    FailingInput buffer("$1 Pick-3: 1/2/3\n$1 Pick-3: 4/5/6\n", code);
    std::istream in(&buffer);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({}, in, out, err), kExitIoFailed) << reason;
    EXPECT_EQ(out.str(), "") << reason;
    EXPECT_EQ(err.str(), "tallyhorn-cli: standard input could not be read" + (reason.empty() ? "" : ": " + reason) + "\n");
  }
  // With tickets as arguments, standard input is not read at all.
  FailingInput buffer("", EISDIR);
  std::istream in(&buffer);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli(std::vector<std::string_view>{"$1 Pick-3: 1/2/3"}, in, out, err), kExitOk);
}

// What tallyhorn-cli writes reads back as the same tickets: its "Bets:" and
// summary lines are skipped, so a second run prints the same text.
TEST(CliRunOutput, ReadsBackItsOwnOutput) {
  const Outcome first = RunProgram({}, "$2 Exacta: 1-4 / 1-4\n$2 Exacta: 4 / ALL\n$1 Pick-9: 1\n$3 Exacta: 1 / 1\n");
  ASSERT_EQ(first.status, 2);
  ASSERT_NE(first.out.find("Rejected: 1"), std::string::npos) << first.out;
  const Outcome second = RunProgram({}, first.out);
  EXPECT_EQ(second.err, "");
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out, first.out.substr(0, first.out.find("  Rejected")) + "\n");
}

// A plan file holds the first lines of the ticket box, horses up to 20 in
// any row and any base; with no field option tallyhorn-cli reads every one
// and prints exactly the text the plan copies for those tickets.
TEST(CliRunPlanFile, PrintsWhatThePlanCopies) {
  std::mt19937 random(2026);
  std::vector<Ticket> tickets;
  std::string plan = "# plan for Saturday\n";
  for (int i = 0; i < 60; ++i) {
    Ticket ticket;
    ticket.betType = static_cast<BetType>(random() % kBetTypeCount);
    ticket.unitCents = i % 3 == 0 ? UnitAmountTable[random() % kUnitCount].cents
                                  : static_cast<UnitCents>(kLowestUnitCents + random() % kHighestUnitCents);
    ticket.fieldSize.fill(kMaxFieldSize);
    for (Row r = 0; r < RowCountOf(ticket.betType); ++r) {
      // Mostly horses above the default field of 12, never an empty row.
      HorseMask horses = HorseMask{1} << (12 + random() % 8);
      for (int horse = 1; horse <= kMaxFieldSize; ++horse) {
        if (random() % 4 == 0) horses |= HorseMask{1} << (horse - 1);
      }
      ticket.rows[static_cast<std::size_t>(r)] = horses;
    }
    tickets.push_back(ticket);
    const std::string lines = PrintedLines(ticket);
    plan += lines.substr(0, lines.find('\n')) + (i % 2 == 0 ? "\r\n" : "\n");
  }
  const Outcome outcome = RunProgram({}, plan);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, TicketSetText(tickets));
  // A field option fixes the fields again.
  EXPECT_EQ(RunProgram({"--field", "12"}, "$1 Exacta: 13 / 1\n").err,
            "tallyhorn-cli: line 1: In the 1st row, horse 13 is beyond the field of 12. Use --field or --fields.\n");
}

// Runs the program on standard input within the given limits.
Outcome RunWithLimits(const std::string& input, const InputLimits& limits) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli({}, in, out, err, limits);
  return {out.str(), err.str(), status};
}

// Past the most tickets a run reads, the run ends with its message, exit
// status 1 and no figures; skipped lines do not count. A line longer than
// the limit is rejected, or skipped whole when it starts as a comment, and
// the lines after it keep their numbers.
TEST(CliRunInput, KeepsWithinItsLimits) {
  const InputLimits limits{3, 40};
  const std::string exacta = "$1 Exacta: 1/2\n";
  const Outcome full = RunWithLimits("# three\n" + exacta + "\n" + exacta + "$1 Pick-9: 1\n", limits);
  EXPECT_EQ(full.status, 2);
  EXPECT_NE(full.out.find("Tickets: 2"), std::string::npos);

  const Outcome over = RunWithLimits(exacta + exacta + exacta + exacta, limits);
  EXPECT_EQ(over.status, kExitIoFailed);
  EXPECT_EQ(over.out, "");
  EXPECT_EQ(over.err,
            "tallyhorn-cli: standard input holds more than 3 tickets, the most one run reads, so no figures are "
            "printed; split the tickets into smaller files\n");

  const Outcome longLines =
      RunWithLimits("# " + std::string(100, 'x') + "\r\n$1 Exacta: 1 / " + std::string(100, '2') + "\r\n" + exacta, limits);
  EXPECT_EQ(longLines.status, 2);
  EXPECT_EQ(longLines.out, "$1 Exacta: 1 / 2\nBets:  1  Total:  $1 \nTickets: 1  Bets: 1  Distinct: 1  Total: $1  Rejected: 1\n");
  EXPECT_EQ(longLines.err, "tallyhorn-cli: line 2: The line is longer than 40 bytes, which no ticket is.\n");

  // The limits of a run without options: a million tickets are read, and
  // the line of a ticket with every horse in every row is far within one
  // line's limit.
  const InputLimits standard;
  EXPECT_GE(standard.mostTickets, 1'000'000u);
  EXPECT_GT(standard.longestLine, 40 * kFullPick8.size());
}

// Lines whose ends, code units and surrogate pairs fall across the pieces
// standard input is read in keep their text and numbers, in UTF-8 and in
// UTF-16 of either byte order.
TEST(CliRunInput, ReadsLinesAcrossReads) {
  for (std::size_t shift = 0; shift < 8; ++shift) {
    for (int encoding = 0; encoding < 3; ++encoding) {
      // A comment whose last character (a surrogate pair in UTF-16) and line
      // end lie across the 64 KiB the input is read in, at every shift.
      const std::size_t length = (encoding == 0 ? 65530 : 32761) + shift;
      const std::string text = "# " + std::string(length, 'x') + "\xF0\x9F\x98\x80\r\n$2 Exacta: 1/2\r\n$1 Pick-9: 1\r\n";
      std::string input = text;
      if (encoding > 0) {
        // The comment's surrogate pair, then ASCII, as UTF-16.
        input.clear();
        const bool bigEndian = encoding == 2;
        const auto unit = [&input, bigEndian](unsigned value) {
          const char high = static_cast<char>(value >> 8);
          const char low = static_cast<char>(value & 0xFF);
          input += bigEndian ? high : low;
          input += bigEndian ? low : high;
        };
        unit(0xFEFF);
        for (std::size_t i = 0; i < text.size(); ++i) {
          if (text.compare(i, 4, "\xF0\x9F\x98\x80") == 0) {
            unit(0xD83D);
            unit(0xDE00);
            i += 3;
          } else {
            unit(static_cast<unsigned char>(text[i]));
          }
        }
      }
      const Outcome outcome = RunProgram({}, input);
      const std::string where = "shift " + std::to_string(shift) + ", encoding " + std::to_string(encoding);
      EXPECT_EQ(outcome.out, kExactaLines + "Tickets: 1  Bets: 1  Distinct: 1  Total: $2  Rejected: 1\n") << where;
      EXPECT_EQ(outcome.err, kRejectedLine3) << where;
    }
  }
}

}  // namespace
}  // namespace tallyhorn::cli

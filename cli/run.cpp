#include "cli/run.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "calc/ticket.h"
#include "calc/ticket_read.h"
#include "calc/distinct.h"
#include "calc/summary.h"
#include "calc/text.h"

namespace tallyhorn::cli {
namespace {

constexpr std::string_view kProgram = "tallyhorn-cli";

// Standard input is read this many bytes at a time.
constexpr std::size_t kInputChunk = 64 * 1024;

constexpr std::string_view kHelp =
    "Usage: tallyhorn-cli [--field N | --fields A,B,...] [TICKET...]\n"
    "\n"
    "Counts the bets and the cost of exotic wager tickets written as the\n"
    "calculator's ticket box writes them and, for two or more tickets, how many\n"
    "different combinations they cover together.\n"
    "\n"
    "Each TICKET is one argument. With none, tickets are read from standard input,\n"
    "one per line (UTF-8, ASCII or UTF-16, told from the first 64 KiB); blank\n"
    "lines, lines starting with #, the \"Bets:\" line copied from the ticket box\n"
    "along with a ticket and the \"Tickets:\" line this program writes are\n"
    "skipped, so its output reads back. Standard input holds at most 1,000,000\n"
    "tickets, each line at most 65,536 bytes; a longer line is rejected unless\n"
    "it starts as a skipped line does.\n"
    "\n"
    "A ticket:  $UNIT BETNAME: ROW / ROW / ...\n"
    "  UNIT     the price of one combination, whole cents from $0.01 to $1,000:\n"
    "           $0.05 $0.50 $1 $1.50 $25 ...\n"
    "  BETNAME  one race, rows 1st, 2nd, ...: Exacta (2 rows), Trifecta (3),\n"
    "           Superfecta (4), Superfecta-5 (5), Superfecta-6 (6);\n"
    "           races A, B, ...: Pick-3 to Pick-8 (3 to 8 rows); any case\n"
    "  ROW      horses separated by commas: numbers (7), ranges (1-4) and ALL\n"
    "           (every horse of the row's field)\n"
    "With no --field or --fields option a row's field is 12 horses, or its highest\n"
    "listed horse when that is higher, and ALL takes that field: every line the\n"
    "calculator writes (a ticket box's first line, a plan file) reads as it is.\n"
    "With either option the fields are fixed and a horse above its row's field\n"
    "is an error. No race has more than 20 horses.\n"
    "In a one-race bet no combination uses a horse twice.\n"
    "\n"
    "Numbers, the same rule everywhere (horses, prices, --field, --fields):\n"
    "digits, with any leading zeros (007 is 7); a price may add a point and cents,\n"
    "with any trailing zeros ($1.000 is $1, $0.1 is $0.10). Blanks are allowed\n"
    "around every number and separator, and no-break spaces, zero-width spaces\n"
    "and byte-order marks count as blanks wherever they are.\n"
    "\n"
    "Options:\n"
    "  --field N         every row's field is N horses, 0 to 20\n"
    "  --fields A,B,...  the fields of rows A, B, ... (up to 8; rows not listed\n"
    "                    take --field, or 12); a one-race bet uses the first for\n"
    "                    all rows\n"
    "  -h, --help        show this text\n"
    "\n"
    "Examples (single quotes keep the shell away from the $):\n"
    "  tallyhorn-cli '$1 Trifecta: 1,2 / 5 / 3,4'\n"
    "  tallyhorn-cli --fields 10,12,8,14 '$0.10 Pick-4: 1-3 / ALL / 7 / 2,9'\n"
    "  tallyhorn-cli '$2 Exacta: 1-4 / 1-4' '$2 Exacta: 4 / ALL'\n"
    "  tallyhorn-cli < plan.txt\n"
    "\n"
    "Each ticket prints the two lines of the ticket box, which show \"One Billion+\"\n"
    "past one billion. Two or more tickets, accepted or not, print a last line\n"
    "\"Tickets: N  Bets: B  Distinct: D  Total: $T\" with every figure in full:\n"
    "N counts the accepted tickets, D the combinations they cover at least once,\n"
    "so B - D of the bets repeat a combination bought on another ticket. When\n"
    "any ticket was rejected the line ends with \"  Rejected: R\".\n"
    "\n"
    "Exit status: 0; 2 when an option or a ticket was rejected (the other tickets\n"
    "are still counted) or standard input is in an encoding not read (UTF-32);\n"
    "1 when standard input could not be read or holds more than 1,000,000 tickets\n"
    "(no figures are printed then), or the output could not be written.\n";

constexpr std::string_view kWriteFailed = "the output could not be written";

// A field size from 0 to 20, read by the notation's one number rule
// (leading zeros and blanks around allowed), or nothing.
std::optional<FieldSize> FieldFromText(std::string_view text) {
  const std::optional<int> value = ReadWholeNumber(text);
  if (!value || *value > kMaxFieldSize) return std::nullopt;
  return *value;
}

// What the options ask for, or the usage error that stops the run.
struct Options {
  bool help = false;
  FieldSizes fields{};
  // Tickets given as arguments, with their positions on the command line.
  std::vector<std::pair<std::size_t, std::string_view>> tickets;
  bool fieldsGiven = false;  // --field or --fields was given
  std::string usageError;
};

// Sorts the arguments into options and tickets; the first bad option
// stops the reading with its usage error.
Options ReadOptions(std::span<const std::string_view> args) {
  Options options;
  FieldSize field = kDefaultFieldSize;
  std::vector<FieldSize> rowFields;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
      options.tickets.emplace_back(i + 1, arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      options.help = true;
      continue;
    }

    // "--field N" or "--field=N", and the same for --fields.
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    if (name != "--field" && name != "--fields") {
      options.usageError = "unknown option " + QuoteText(arg);
      return options;
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      options.usageError = std::string(name) + " needs a value";
      return options;
    }

    options.fieldsGiven = true;
    if (name == "--field") {
      const std::optional<FieldSize> size = FieldFromText(value);
      if (!size) {
        options.usageError = "--field takes a field size from 0 to 20, not " + QuoteText(value);
        return options;
      }
      field = *size;
      continue;
    }
    rowFields.clear();
    std::size_t start = 0;
    while (start <= value.size()) {
      const std::size_t comma = value.find(',', start);
      const std::size_t end = comma == std::string_view::npos ? value.size() : comma;
      const std::optional<FieldSize> size = FieldFromText(value.substr(start, end - start));
      if (!size || rowFields.size() == static_cast<std::size_t>(kRowCount)) {
        options.usageError =
            "--fields takes up to 8 field sizes from 0 to 20 separated by commas, not " + QuoteText(value);
        return options;
      }
      rowFields.push_back(*size);
      start = end + 1;
    }
  }
  options.fields.fill(field);
  for (std::size_t r = 0; r < rowFields.size(); ++r) options.fields[r] = rowFields[r];
  return options;
}

// What the command line can do about a fault the reader found: a sentence
// after the reader's.
std::string Advice(ReadFault fault) {
  switch (fault) {
    case ReadFault::kNoUnitPrice:
      return " In a shell, put the ticket in single quotes.";
    case ReadFault::kFieldTooSmall:
      return " Use --field or --fields.";
    case ReadFault::kSeveralTickets:
      return " Give each ticket its own argument.";
    default:
      return "";
  }
}

/*
 * Reads the tickets and keeps what the output needs: the accepted tickets
 * themselves (a few dozen bytes each, never their text) and the totals.
 * Nothing goes to standard output until Print, so a run that fails part
 * way prints no figures; a rejected ticket's message goes to standard
 * error at once.
 */
class TicketRun {
 public:
  TicketRun(const FieldSizes& fields, FieldRule rule, std::ostream& out, std::ostream& err)
      : fields_(fields), rule_(rule), out_(out), err_(err) {}

  // One ticket from a line of input; where names it in an error message.
  void Take(std::string_view text, const std::string& where) { Keep(ReadTicket(text, fields_, rule_), where); }

  // A ticket given as an argument, which is to hold exactly one.
  void TakeArgument(std::string_view text, const std::string& where) {
    Keep(ReadOneTicket(text, fields_, rule_), where);
  }

  // Reports a ticket that was not accepted and counts it.
  void Reject(const std::string& where, const std::string& error) {
    err_ << kProgram << ": " << where << ": " << error << '\n';
    ++rejected_;
  }

  /*
   * Each accepted ticket's two lines, then the last line, for two or more
   * tickets, accepted or not: how many were accepted, their bets, the
   * combinations among them that differ and their cost, every figure
   * exact, and how many were rejected when any were.
   */
  void Print() {
    for (const Ticket& ticket : accepted_) out_ << PrintedLines(ticket);
    if (accepted_.size() + rejected_ < 2) return;
    out_ << SummaryLine(totals_, CountDistinct(accepted_), rejected_);
  }

  bool rejected() const { return rejected_ != 0; }

 private:
  void Keep(const TicketReading& reading, const std::string& where) {
    if (!reading.ticket) {
      Reject(where, reading.error + Advice(reading.fault));
      return;
    }
    accepted_.push_back(*reading.ticket);
    totals_.Add(*reading.ticket);
  }

  FieldSizes fields_;
  FieldRule rule_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<Ticket> accepted_;
  TicketTotals totals_;
  std::size_t rejected_ = 0;
};

// Why standard input could not be read, from the errno the failing read
// set.
std::string ReadError(int code) {
  std::string reason;
  if (code == static_cast<int>(std::errc::is_a_directory)) {
    reason = ": it is a directory";
  } else if (code == static_cast<int>(std::errc::bad_file_descriptor)) {
    reason = ": it is closed";
  } else if (code != 0) {
    reason = std::string(": ") + std::strerror(code);
  }
  return "standard input could not be read" + reason;
}

// True for a line too long to be a ticket whose start shows it is a
// comment, a "Bets:" line or a summary line, which is skipped whole.
bool IsLongSkippedLine(std::string_view start) {
  return IsSkippedLine(start) && WithPlainBlanks(start).find_first_not_of(" \t\v\f") != std::string::npos;
}

// How reading standard input ended.
enum class InputEnd { kRead, kReadFailed, kUtf32, kTooMany };

/*
 * Reads standard input a piece at a time and takes its ticket lines as they
 * arrive, so memory grows with the tickets kept, not with the text. A line
 * longer than the limit is rejected (or skipped, for a long comment); more
 * ticket lines than the limit stop the reading. A read error (a
 * directory, a closed descriptor, a failing device) leaves the stream bad;
 * errno, set by the failing read, names it in error.
 */
InputEnd TakeInput(TicketRun& run, std::istream& in, const InputLimits& limits, std::string& error) {
  LineReader reader(limits.longestLine);
  std::vector<char> chunk(kInputChunk);
  std::size_t ticketLines = 0;
  for (bool ended = false; !ended;) {
    errno = 0;
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    if (in.bad()) {
      error = ReadError(errno);
      return InputEnd::kReadFailed;
    }
    reader.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(in.gcount())));
    ended = !in;
    if (ended) reader.Finish();
    if (reader.utf32()) return InputEnd::kUtf32;
    TextLine line;
    while (reader.NextLine(line)) {
      if (line.tooLong ? IsLongSkippedLine(line.text) : IsSkippedLine(line.text)) continue;
      if (++ticketLines > limits.mostTickets) return InputEnd::kTooMany;
      const std::string where = "line " + std::to_string(line.number);
      if (line.tooLong) {
        run.Reject(where, "The line is longer than " + GroupedDigits(WideNumber(limits.longestLine)) +
                              " bytes, which no ticket is.");
      } else {
        run.Take(line.text, where);
      }
    }
  }
  return InputEnd::kRead;
}

}  // namespace

int RunCli(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err,
           const InputLimits& limits) {
  const Options options = ReadOptions(args);
  if (!options.usageError.empty()) {
    err << kProgram << ": " << options.usageError << "\nTry '" << kProgram << " --help'.\n";
    return kExitRejected;
  }
  if (options.help) {
    out << kHelp;
    if (!out.flush()) {
      err << kProgram << ": " << kWriteFailed << '\n';
      return kExitIoFailed;
    }
    return kExitOk;
  }

  // With no field option a row's field grows to its highest listed horse,
  // as the window reads a typed ticket, so every line the window writes
  // reads back; an option fixes the fields.
  TicketRun run(options.fields, options.fieldsGiven ? FieldRule::kFixed : FieldRule::kGrow, out, err);
  if (options.tickets.empty()) {
    std::string error;
    switch (TakeInput(run, in, limits, error)) {
      case InputEnd::kRead:
        break;
      case InputEnd::kReadFailed:
        err << kProgram << ": " << error << '\n';
        return kExitIoFailed;
      case InputEnd::kUtf32:
        err << kProgram << ": standard input is UTF-32 text, which tallyhorn-cli does not read; save it as UTF-8 or ASCII\n";
        return kExitRejected;
      case InputEnd::kTooMany:
        err << kProgram << ": standard input holds more than " << GroupedDigits(WideNumber(limits.mostTickets))
            << " tickets, the most one run reads, so no figures are printed; split the tickets into smaller files\n";
        return kExitIoFailed;
    }
  } else {
    for (const auto& [position, argument] : options.tickets) {
      run.TakeArgument(argument, "argument " + std::to_string(position));
    }
  }
  run.Print();

  if (!out.flush()) {
    err << kProgram << ": " << kWriteFailed << '\n';
    return kExitIoFailed;
  }
  return run.rejected() ? kExitRejected : kExitOk;
}

}  // namespace tallyhorn::cli

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

constexpr std::string_view kHelp =
    "Usage: tallyhorn-cli [--field N | --fields A,B,...] [TICKET...]\n"
    "\n"
    "Counts the bets and the cost of exotic wager tickets written as the\n"
    "calculator's ticket box writes them and, for two or more tickets, how many\n"
    "different combinations they cover together.\n"
    "\n"
    "Each TICKET is one argument. With none, tickets are read from standard input,\n"
    "one per line (UTF-8, ASCII or UTF-16); blank lines, lines starting with #, the\n"
    "\"Bets:\" line copied from the ticket box along with a ticket and the\n"
    "\"Tickets:\" line this program writes are skipped, so its output reads back.\n"
    "\n"
    "A ticket:  $UNIT BETNAME: ROW / ROW / ...\n"
    "  UNIT     the price of one combination, whole cents from $0.01 to $1,000:\n"
    "           $0.05 $0.50 $1 $1.50 $25 ...\n"
    "  BETNAME  one race, rows 1st, 2nd, ...: Exacta (2 rows), Trifecta (3),\n"
    "           Superfecta (4), Superfecta-5 (5), Superfecta-6 (6);\n"
    "           races A, B, ...: Pick-3 to Pick-8 (3 to 8 rows); any case\n"
    "  ROW      horses separated by commas: numbers (7), ranges (1-4) and ALL\n"
    "           (every horse of the row's field)\n"
    "A horse above its row's field is an error; no race has more than 20 horses.\n"
    "In a one-race bet no combination uses a horse twice.\n"
    "\n"
    "Numbers, the same rule everywhere (horses, prices, --field, --fields):\n"
    "digits, with any leading zeros (007 is 7); a price may add a point and cents,\n"
    "with any trailing zeros ($1.000 is $1, $0.1 is $0.10). Blanks are allowed\n"
    "around every number and separator, and no-break spaces, zero-width spaces\n"
    "and byte-order marks count as blanks wherever they are.\n"
    "\n"
    "Options:\n"
    "  --field N         every row's field is N horses, 0 to 20 (default 12)\n"
    "  --fields A,B,...  the fields of rows A, B, ... (up to 8; rows not listed\n"
    "                    take --field); a one-race bet uses the first for all rows\n"
    "  -h, --help        show this text\n"
    "\n"
    "Examples (single quotes keep the shell away from the $):\n"
    "  tallyhorn-cli '$1 Trifecta: 1,2 / 5 / 3,4'\n"
    "  tallyhorn-cli --fields 10,12,8,14 '$0.10 Pick-4: 1-3 / ALL / 7 / 2,9'\n"
    "  tallyhorn-cli '$2 Exacta: 1-4 / 1-4' '$2 Exacta: 4 / ALL'\n"
    "  tallyhorn-cli < tickets.txt\n"
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
    "1 when standard input could not be read or the output could not be written.\n";

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

// What the command line can do about a fault the reader found.
std::string Advice(ReadFault fault) {
  switch (fault) {
    case ReadFault::kNoUnitPrice:
      return " (in a shell, put the ticket in single quotes)";
    case ReadFault::kFieldTooSmall:
      return " (use --field or --fields)";
    default:
      return "";
  }
}

// Reads the tickets, prints each, and keeps what the summary needs.
class TicketRun {
 public:
  TicketRun(const FieldSizes& fields, std::ostream& out, std::ostream& err) : fields_(fields), out_(out), err_(err) {}

  // One ticket from the text; where names it in an error message.
  void Take(std::string_view text, const std::string& where) {
    const TicketReading result = ReadTicket(text, fields_, FieldRule::kFixed);
    if (!result.ticket) {
      Reject(where, result.error + Advice(result.fault));
      return;
    }
    const Ticket& ticket = *result.ticket;
    out_ << PrintedLines(ticket);
    accepted_.push_back(ticket);
    totals_.Add(ticket);
  }

  // Reports a ticket that was not accepted and counts it.
  void Reject(const std::string& where, const std::string& error) {
    err_ << kProgram << ": " << where << ": " << error << '\n';
    ++rejected_;
  }

  /*
   * The last line, for two or more tickets, accepted or not: how many were
   * accepted, their bets, the combinations among them that differ and their
   * cost, every figure exact, and how many were rejected when any were.
   */
  void PrintSummary() {
    if (accepted_.size() + rejected_ < 2) return;
    out_ << SummaryLine(totals_, CountDistinct(accepted_), rejected_);
  }

  bool rejected() const { return rejected_ != 0; }

 private:
  FieldSizes fields_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<Ticket> accepted_;
  TicketTotals totals_;
  std::size_t rejected_ = 0;
};

// An argument holds one ticket, possibly with the "Bets:" line copied along
// with it; anything else is an error.
void TakeArgument(TicketRun& run, std::size_t position, std::string_view argument) {
  const std::string where = "argument " + std::to_string(position);
  const std::vector<std::string_view> lines = TicketLines(argument);
  if (lines.size() > 1) {
    run.Reject(where, "holds " + std::to_string(lines.size()) + " tickets; give each ticket its own argument");
    return;
  }
  run.Take(lines.empty() ? argument : lines.front(), where);
}

// Tickets from the text of standard input, one per line ("\n", "\r\n" or
// "\r" between them), named by line number.
void TakeLines(TicketRun& run, std::string_view text) {
  ForEachLine(text, [&run](std::size_t number, std::string_view line) {
    if (!IsSkippedLine(line)) run.Take(line, "line " + std::to_string(number));
  });
}

// All of standard input, or why it could not be read.
struct InputBytes {
  std::string bytes;
  std::string error;  // "" when the whole input was read
};

/*
 * Reads the stream to its end. A read error (a directory, a closed
 * descriptor, a failing device) leaves the stream bad; errno, set by the
 * failing read, names it.
 */
InputBytes ReadAll(std::istream& in) {
  InputBytes input;
  std::array<char, 65536> chunk{};
  errno = 0;
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    input.bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (!in.bad()) return input;
  const int code = errno;
  std::string reason;
  if (code == static_cast<int>(std::errc::is_a_directory)) {
    reason = ": it is a directory";
  } else if (code == static_cast<int>(std::errc::bad_file_descriptor)) {
    reason = ": it is closed";
  } else if (code != 0) {
    reason = std::string(": ") + std::strerror(code);
  }
  input.error = "standard input could not be read" + reason;
  return input;
}

}  // namespace

int RunCli(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err) {
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

  TicketRun run(options.fields, out, err);
  if (options.tickets.empty()) {
    // All of the input is read before any ticket is counted, so a read that
    // fails part way prints no figures that leave tickets out.
    InputBytes input = ReadAll(in);
    if (!input.error.empty()) {
      err << kProgram << ": " << input.error << '\n';
      return kExitIoFailed;
    }
    DecodedText text = DecodeText(std::move(input.bytes));
    if (text.utf32) {
      err << kProgram << ": standard input is UTF-32 text, which tallyhorn-cli does not read; save it as UTF-8 or ASCII\n";
      return kExitRejected;
    }
    TakeLines(run, text.text);
  } else {
    for (const auto& [position, argument] : options.tickets) TakeArgument(run, position, argument);
  }
  run.PrintSummary();

  if (!out.flush()) {
    err << kProgram << ": " << kWriteFailed << '\n';
    return kExitIoFailed;
  }
  return run.rejected() ? kExitRejected : kExitOk;
}

}  // namespace tallyhorn::cli

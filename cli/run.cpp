#include "cli/run.h"

#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "calc/format.h"
#include "calc/ticket.h"
#include "calc/ticket_read.h"
#include "cli/overlap.h"

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
    "one per line; blank lines, lines starting with # and the \"Bets:\" line copied\n"
    "from the ticket box along with a ticket are skipped.\n"
    "\n"
    "A ticket:  $UNIT BETNAME: ROW / ROW / ...\n"
    "  UNIT     $0.05 $0.10 $0.20 $1 $2 $3 $5 $10\n"
    "  BETNAME  one race, rows 1st, 2nd, ...: Exacta (2 rows), Trifecta (3),\n"
    "           Superfecta (4), Superfecta-5 (5), Superfecta-6 (6);\n"
    "           races A, B, ...: Pick-3 to Pick-8 (3 to 8 rows); any case\n"
    "  ROW      horses separated by commas: numbers (7), ranges (1-4) and ALL\n"
    "           (every horse of the row's field); spaces are optional\n"
    "A horse above its row's field is an error. In a one-race bet no combination\n"
    "uses a horse twice.\n"
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
    "Each ticket prints the two lines of the ticket box. Two or more print a last\n"
    "line \"Tickets: N  Bets: B  Distinct: D  Total: $T\": D counts the combinations\n"
    "covered at least once, so B - D of the bets repeat a combination bought on\n"
    "another ticket.\n"
    "\n"
    "Exit status: 0; 2 when an option or a ticket was rejected (the other tickets\n"
    "are still counted); 1 when the output could not be written.\n";

constexpr std::string_view kBlank = " \t\r\n\v\f";

// The text without blanks at either end.
std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

// A field size from 0 to 20 written in digits, or nothing.
std::optional<FieldSize> FieldFromText(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxFieldSize) return std::nullopt;
  return value;
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
      options.usageError = "unknown option \"" + std::string(arg) + "\"";
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
        options.usageError = "--field takes a field size from 0 to 20, not \"" + std::string(value) + "\"";
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
      const std::optional<FieldSize> size = FieldFromText(Trim(value.substr(start, end - start)));
      if (!size || rowFields.size() == static_cast<std::size_t>(kRowCount)) {
        options.usageError =
            "--fields takes up to 8 field sizes from 0 to 20 separated by commas, not \"" + std::string(value) + "\"";
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

/*
 * The two lines the ticket box shows for the ticket, each ended by "\n".
 * The ticket box leaves out the rows when the ticket covers nothing; here
 * the first line is written as it would be for any other count, so the
 * player sees which ticket came to nothing.
 */
std::string PrintedLines(const Ticket& ticket) {
  WagerState state = StateOf(ticket);
  const bool coversNothing = state.combinationCount == 0;
  if (coversNothing) state.combinationCount = 1;  // only the first line is kept
  const TicketTexts texts = BuildTicket(state);
  const std::string_view box = texts.ticket.data();
  const std::size_t lineBreak = box.find("\r\n");
  std::string lines(box.substr(0, lineBreak));
  lines += '\n';
  lines += coversNothing ? kNoBetsCostText : box.substr(lineBreak + 2);
  lines += '\n';
  return lines;
}

// a + b for non-negative amounts, held at the largest value instead of
// overflowing (it reads "One Billion+" long before).
std::int64_t AddHeld(std::int64_t a, std::int64_t b) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  return b > kMax - a ? kMax : a + b;
}

// What the ticket costs in cents, held at the largest value when the
// product does not fit.
std::int64_t CostInCents(const Ticket& ticket, CombinationCount count) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const auto unit = static_cast<std::int64_t>(ticket.unitCents);
  return unit != 0 && count > kMax / unit ? kMax : unit * count;
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
    const CombinationCount count = CountCombinations(StateOf(ticket));
    out_ << PrintedLines(ticket);
    accepted_.push_back(ticket);
    bets_ = AddHeld(bets_, count);
    cents_ = AddHeld(cents_, CostInCents(ticket, count));
  }

  // Reports a ticket that was not accepted and marks the run as failed.
  void Reject(const std::string& where, const std::string& error) {
    err_ << kProgram << ": " << where << ": " << error << '\n';
    rejected_ = true;
  }

  // The last line, for two or more accepted tickets: how many, their bets,
  // the combinations among them that differ, and their cost.
  void PrintSummary() {
    if (accepted_.size() < 2) return;
    out_ << "Tickets: " << FormatCount(static_cast<std::int64_t>(accepted_.size())).view()
         << "  Bets: " << FormatCount(bets_).view() << "  Distinct: " << FormatCount(CountDistinct(accepted_)).view()
         << "  Total: $" << FormatAmount(cents_, true).view() << '\n';
  }

  bool rejected() const { return rejected_; }

 private:
  FieldSizes fields_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<Ticket> accepted_;
  std::int64_t bets_ = 0;
  std::int64_t cents_ = 0;
  bool rejected_ = false;
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

// Tickets from standard input, one per line, named by line number.
void TakeInput(TicketRun& run, std::istream& in) {
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    // A file saved by a Windows editor may open with a UTF-8 byte order mark.
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (IsSkippedLine(line)) continue;
    run.Take(line, "line " + std::to_string(number));
  }
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
    return out.flush() ? kExitOk : kExitWriteFailed;
  }

  TicketRun run(options.fields, out, err);
  if (options.tickets.empty()) {
    TakeInput(run, in);
  } else {
    for (const auto& [position, argument] : options.tickets) TakeArgument(run, position, argument);
  }
  run.PrintSummary();

  if (!out.flush()) {
    err << kProgram << ": the output could not be written\n";
    return kExitWriteFailed;
  }
  return run.rejected() ? kExitRejected : kExitOk;
}

}  // namespace tallyhorn::cli

/*
 * Fuzzes the ticket reader over any bytes, and reads back the calculator's
 * own ticket text of any state built from the input.
 *
 * Input, read front to back (missing bytes read as zero):
 *   bet type   b % 11, for the state
 *   unit       b % 8, a price of the table, for the state
 *   sizes      8 bytes, b % 23: 0..20 as is, 21 gives -1, 22 gives 25; the
 *              fields the text is read against and the state's field sizes
 *   ticks      20 bytes, one bit per box of the state, row by row
 *   text       the rest: what the reader reads
 *
 * Checked, beside ASan and UBSan finding no fault:
 *   - the text read with either field rule gives a ticket or a message,
 *     never both; a ticket has a bet type of the table, a price from $0.01
 *     to $1,000, fields of 0 to 20 (one field for a one-race bet), a horse
 *     in every row it uses, every horse within its row's field and no horse
 *     in the rows it does not use; fixed fields are the given ones, grown fields never smaller;
 *   - the ticket's own text reads back as the same ticket;
 *   - a message is one line of printable text of bounded length, as is
 *     QuoteText of the input, and ReadWholeNumber stays in its range;
 *   - every line TicketLines gives is free of line ends;
 *   - ReadOneTicket gives a ticket or a message, never both;
 *   - the text read by a LineReader in two pieces, cut where the first
 *     header byte says, gives the lines and numbers of DecodeText and
 *     ForEachLine over the whole, each line too long marked and cut;
 *   - the first line BuildTicket writes for the state (any state whose rows
 *     each hold a horse, the count made non-zero as tallyhorn-cli does for a
 *     ticket that covers nothing) reads back as the state's ticket, with
 *     fixed fields of 20 and with the state's own fields grown, and writing
 *     that ticket again gives the same text.
 */
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <utility>
#include <vector>

#include "calc/counting.h"
#include "calc/text.h"
#include "calc/ticket.h"
#include "calc/ticket_read.h"
#include "calc/wager.h"

namespace {

using namespace tallyhorn;

constexpr std::size_t kHeaderSize = 2 + kRowCount + 20;

// The longest message the reader can write: its fixed words and lists
// (under 300 characters) and at most two quoted or cut texts of 40
// characters, each shown in at most 7 bytes ("\uE0001"), and "...".
constexpr std::size_t kMessageLimit = 300 + 2 * (kQuotedTextLimit * 7 + 5);

// Prints what broke a check, with the text when there is one, then stops the
// run as a crash.
[[noreturn]] void Fail(const char* what, std::string_view text, std::string_view detail = {}) {
  std::fprintf(stderr, "ticket_read_fuzz: %s\n  text   %s\n  detail %s\n", what, QuoteText(text).c_str(),
               QuoteText(detail).c_str());
  std::abort();
}

void Require(bool holds, const char* what, std::string_view text, std::string_view detail = {}) {
  if (!holds) Fail(what, text, detail);
}

HorseMask Span(int last) { return last <= 0 ? 0u : (last >= 32 ? ~0u : (HorseMask{1} << last) - 1u); }

// A message or a quoted text: one line, no control characters, bounded.
void CheckShown(std::string_view shown, std::string_view text, const char* what) {
  Require(shown.size() <= kMessageLimit, what, text, shown);
  for (char c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    Require(byte >= 0x20 && byte != 0x7F, what, text, shown);
  }
}

// The first line of the ticket box for the state, as tallyhorn-cli prints
// it: a state that covers nothing is written as if it covered one.
std::string FirstLine(WagerState state) {
  if (state.combinationCount == 0) state.combinationCount = 1;
  const std::string box = BuildTicket(state).ticket.data();
  return box.substr(0, box.find("\r\n"));
}

// The reading of a ticket's own text against its own fields is the same ticket.
void CheckReadsBack(const Ticket& ticket, std::string_view source) {
  const std::string line = FirstLine(StateOf(ticket));
  const TicketReading again = ReadTicket(line, ticket.fieldSize, FieldRule::kFixed);
  Require(again.ticket.has_value(), "a ticket's own text is not read back", source, line + " / " + again.error);
  Require(again.ticket->betType == ticket.betType && again.ticket->unitCents == ticket.unitCents &&
              again.ticket->rows == ticket.rows,
          "a ticket's own text reads back as another ticket", source, line);
}

// One reading of the text: a ticket within its fields, or a safe message.
void CheckReading(std::string_view text, const FieldSizes& fields, FieldRule rule) {
  const TicketReading reading = ReadTicket(text, fields, rule);
  if (!reading.ticket) {
    Require(!reading.error.empty() && reading.fault != ReadFault::kNone, "no ticket and no message", text);
    CheckShown(reading.error, text, "unsafe message");
    return;
  }
  Require(reading.error.empty() && reading.fault == ReadFault::kNone, "a ticket and a message", text, reading.error);
  const Ticket& ticket = *reading.ticket;
  Require(IsValidBetType(ticket.betType), "bet type outside the table", text);
  Require(ticket.unitCents >= kLowestUnitCents && ticket.unitCents <= kHighestUnitCents, "price outside its range", text);
  const bool oneRace = IsPositionBet(ticket.betType);
  const int rows = RowCountOf(ticket.betType);
  for (int r = 0; r < kRowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    const FieldSize field = ticket.fieldSize[row];
    const FieldSize given = ClampFieldSize(fields[oneRace ? 0 : row]);
    Require(field >= 0 && field <= kMaxFieldSize, "field outside 0..20", text);
    Require(!oneRace || field == ticket.fieldSize[0], "one race with two fields", text);
    Require(rule == FieldRule::kFixed ? field == given : field >= given, "field not the given one, or shrunk", text);
    if (r < rows) {
      Require(ticket.rows[row] != 0, "a row without horses", text);
      Require((ticket.rows[row] & ~Span(field)) == 0, "a horse beyond its row's field", text);
    } else {
      Require(ticket.rows[row] == 0, "horses in a row the bet type does not use", text);
    }
  }
  CheckReadsBack(ticket, text);
}

// The state's first line reads back as the state's ticket and writes again
// as the same line.
void CheckStateText(const WagerState& state, std::string_view input) {
  const int rows = RowCountOf(state.betType);
  std::array<HorseMask, kRowCount> horses{};
  for (int r = 0; r < rows; ++r) {
    horses[static_cast<std::size_t>(r)] = RowHorses(state, r);
    if (horses[static_cast<std::size_t>(r)] == 0) return;  // an empty row is left out of the text
  }
  const std::string line = FirstLine(state);
  FieldSizes twenty;
  twenty.fill(kMaxFieldSize);
  for (const auto& [fields, rule] : {std::pair{twenty, FieldRule::kFixed}, std::pair{state.fieldSize, FieldRule::kGrow}}) {
    const TicketReading reading = ReadTicket(line, fields, rule);
    Require(reading.ticket.has_value(), "the calculator's ticket text is not read", input, line + " / " + reading.error);
    const Ticket& ticket = *reading.ticket;
    Require(ticket.betType == state.betType && ticket.unitCents == state.unitCents && ticket.rows == horses,
            "the calculator's ticket text reads as another ticket", input, line);
    WagerState again = StateOf(ticket);
    Require(again.combinationCount == state.combinationCount, "the ticket read back counts differently", input, line);
    Require(FirstLine(again) == line, "the ticket read back writes another text", input, line + " / " + FirstLine(again));
  }
}

// The lines of the text read as two pieces, against those of the whole.
void CheckLineReader(std::string_view text, std::uint8_t cutByte) {
  constexpr std::size_t kLongest = 64;
  std::vector<std::pair<std::size_t, std::string>> whole;
  ForEachLine(DecodeText(std::string(text)).text, [&whole](std::size_t number, std::string_view line) {
    whole.emplace_back(number, std::string(line.substr(0, kLongest)));
  });
  LineReader reader(kLongest);
  std::vector<std::pair<std::size_t, std::string>> read;
  const auto take = [&] {
    TextLine line;
    while (reader.NextLine(line)) {
      Require(!line.tooLong || line.text.size() == kLongest, "a line too long not cut at the limit", text);
      read.emplace_back(line.number, std::string(line.text));
    }
  };
  const std::size_t cut = text.empty() ? 0 : cutByte % (text.size() + 1);
  reader.Feed(text.substr(0, cut));
  take();
  reader.Feed(text.substr(cut));
  take();
  reader.Finish();
  take();
  if (reader.utf32()) {
    Require(read.empty(), "lines from UTF-32", text);
    return;
  }
  Require(read == whole, "lines read in pieces differ from the whole text's", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto byteAt = [data, size](std::size_t i) -> std::uint8_t { return i < size ? data[i] : 0; };
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view text = size > kHeaderSize ? input.substr(kHeaderSize) : std::string_view{};

  WagerState state;
  state.betType = byteAt(0) % kBetTypeCount;
  state.unitCents = UnitAmountTable[byteAt(1) % kUnitCount].cents;
  for (std::size_t r = 0; r < kRowCount; ++r) {
    const int pick = byteAt(2 + r) % 23;
    state.fieldSize[r] = pick <= kMaxFieldSize ? pick : (pick == 21 ? -1 : 25);
  }
  for (int box = 0; box < kRowCount * kSlotCount; ++box) {
    const std::uint8_t bits = byteAt(2 + kRowCount + static_cast<std::size_t>(box / 8));
    state.selections[static_cast<std::size_t>(box / kSlotCount)][static_cast<std::size_t>(box % kSlotCount)] =
        (bits >> (box % 8)) & 1;
  }
  state.combinationCount = CountCombinations(state);

  CheckReading(text, state.fieldSize, FieldRule::kFixed);
  CheckReading(text, state.fieldSize, FieldRule::kGrow);
  CheckShown(QuoteText(text), text, "unsafe quoted text");
  if (const std::optional<int> number = ReadWholeNumber(text)) {
    Require(*number >= 0 && *number <= 1'000'000, "number outside its range", text);
  }
  IsSkippedLine(text);
  for (std::string_view line : TicketLines(text)) {
    Require(line.find_first_of("\r\n") == std::string_view::npos, "a ticket line with a line end", text, line);
    Require(!IsSkippedLine(line), "a skipped line among the ticket lines", text, line);
  }
  const TicketReading one = ReadOneTicket(text, state.fieldSize, FieldRule::kGrow);
  Require(one.ticket.has_value() == one.error.empty(), "one ticket: a ticket and a message, or neither", text);
  CheckLineReader(text, byteAt(0));
  CheckStateText(state, input);
  return 0;
}

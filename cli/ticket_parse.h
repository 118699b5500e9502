// Reading a ticket written in the calculator's own notation, the first line of
// the ticket box: "$1 Trifecta: 1,2 / 5 / 3,4" or "$0.10 Pick-4: 1-3 / ALL / 7 / 2,9".
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calc/counting.h"
#include "calc/wager.h"

namespace tallyhorn::cli {

// The field size of each row, rows A to H.
using FieldSizes = std::array<FieldSize, kRowCount>;

// A ticket read from text. Every horse in rows lies within its row's field;
// rows beyond the bet type's row count are 0.
struct Ticket {
  BetType betType = kTrifecta;
  UnitCents unitCents = 100;
  std::array<HorseMask, kRowCount> rows{};
  FieldSizes fieldSize{};  // the fields the rows were read against
};

// Either a ticket or the reason the text is not one ("row 2: horse 14 is
// beyond the field of 12 (use --field or --fields)"), never both.
struct ParseResult {
  std::optional<Ticket> ticket;
  std::string error;
};

/*
 * Reads one ticket: "$UNIT BETNAME: ROW / ROW / ...". The unit is one of the
 * eight prices ("$1.00" and "$0.1" are read as "$1" and "$0.10"); the bet name
 * is matched without regard to case; a row lists horse numbers, ranges such as
 * "1-4" and "ALL" (every horse of the row's field), separated by commas, with
 * spaces allowed around every separator. A position bet reads all its rows
 * against the first row's field, as the window does. Pure: the result depends
 * on the text and the fields alone.
 */
ParseResult ParseTicket(std::string_view text, const FieldSizes& fields);

// The state the calculator window would hold for the ticket, with its
// combination count stored.
WagerState StateOf(const Ticket& ticket);

}  // namespace tallyhorn::cli

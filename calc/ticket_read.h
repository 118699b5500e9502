// Reading a ticket written in the calculator's own notation, the first line of
// the ticket box: "$1 Trifecta: 1,2 / 5 / 3,4" or "$0.10 Pick-4: 1-3 / ALL / 7 / 2,9".
// The window (pasted and typed tickets) and tallyhorn-cli read through here,
// so both take the same notation and name each fault in the same words.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/counting.h"
#include "calc/wager.h"

namespace tallyhorn {

// The field size of each row, rows A to H.
using FieldSizes = std::array<FieldSize, kRowCount>;

// A ticket read from text. Every horse in rows lies within its row's field;
// rows beyond the bet type's row count are 0.
struct Ticket {
  BetType betType = kTrifecta;
  UnitCents unitCents = 100;
  std::array<HorseMask, kRowCount> rows{};
  FieldSizes fieldSize{};  // the fields the rows were read against, after any growth
};

// What a horse listed beyond its row's field does.
enum class FieldRule {
  kFixed,  // it is an error: the fields are given (tallyhorn-cli)
  kGrow,   // the row's field grows to its highest listed horse; in a one-race
           // bet the one field grows to the highest horse of any row (the window)
};

// The kind of fault, for a front end that adds advice of its own.
enum class ReadFault {
  kNone,
  kNoUnitPrice,     // the text does not start with "$"
  kFieldTooSmall,   // a horse, a range or ALL needs a larger field (never above 20)
  kSeveralTickets,  // a text that is to hold one ticket holds two or more
  kOther,
};

// Either a ticket or the reason the text is not one, never both. The
// reason is a sentence that names a row as the form labels it: "In the 2nd
// row, horse 14 is beyond the field of 12."
struct TicketReading {
  std::optional<Ticket> ticket;
  std::string error;
  ReadFault fault = ReadFault::kNone;
};

/*
 * Reads one ticket: "$UNIT BETNAME: ROW / ROW / ...". The unit is any price
 * of whole cents from $0.01 to $1,000 ("$0.50", "$1.50", "$25"); the bet name is matched without regard to case; a row lists
 * horse numbers, ranges such as "1-4" and "ALL", separated by commas, with
 * blanks allowed around every separator. No horse is above 20. A position bet
 * reads all its rows against the first row's field, as the window does; ALL is
 * every horse of the row's field once any growth is done.
 *
 * Every number follows one rule: digits, with any leading zeros and blanks
 * around them; a price may add a point and cents, with any trailing zeros
 * ("$01", "$1.00" and "$1.000" are "$1"; "$0.1" is "$0.10"). Blanks are the
 * ASCII ones and the invisible ones text copied from web pages and chats
 * brings along (IsBlankCodePoint), wherever they are. Pure: the result depends
 * on the arguments alone.
 */
TicketReading ReadTicket(std::string_view text, const FieldSizes& fields, FieldRule rule);

/*
 * Reads a text that is to hold exactly one ticket: a pasted or typed
 * ticket, a command-line argument. Blank lines, "#" lines and "Bets:" lines
 * are skipped. One ticket line among lines that are no ticket is refused
 * with the first such line's reason ("Line 2 is not a ticket: ..."), so a
 * stray line is named rather than counted; two or more good tickets are
 * refused as such (kSeveralTickets). A text with no good ticket at all gets
 * the reason of its first ticket line.
 */
TicketReading ReadOneTicket(std::string_view text, const FieldSizes& fields, FieldRule rule);

// The price of a text that is a price and nothing else ("$0.50", blanks
// around allowed), read as a ticket's unit is; nothing for any other text.
std::optional<UnitCents> ReadUnitPrice(std::string_view text);

// Lines that hold no ticket: blank lines, lines starting with "#", the
// "Bets:" line that comes along when the whole ticket box is copied, and the
// "Tickets:" summary line tallyhorn-cli writes, so its output reads back.
bool IsSkippedLine(std::string_view line);

// Code points read as blanks besides the ASCII ones: the no-break spaces
// (U+00A0, U+2007, U+202F), the other Unicode spaces (U+2000 to U+200A,
// U+3000), the zero-width space U+200B, the word joiner U+2060 and the
// byte-order mark U+FEFF. In bytes, a lone 0xA0 that is no part of a UTF-8
// sequence is a blank too: the no-break space of the window's code page.
bool IsBlankCodePoint(char32_t codePoint);

// The text with every blank that is not ASCII (IsBlankCodePoint) written as
// one ASCII space; all else is kept byte for byte.
std::string WithPlainBlanks(std::string_view text);

// A whole number written in the notation's one rule: digits with any leading
// zeros, blanks around them allowed. Values above 1,000,000 read as
// 1,000,000 (no horse, field or price comes near); anything else is nullopt.
std::optional<int> ReadWholeNumber(std::string_view text);

// The text as an error message shows it, in double quotes: control
// characters, backslashes, quotes, bytes that are no part of valid UTF-8 and
// invisible format characters are escaped ("\t", "\x01", "\u202E"), and a
// text longer than kQuotedTextLimit characters is cut there and ends with
// "...". Both front ends quote through here, so a message can neither break
// a terminal's or a message box's lines nor grow without bound.
inline constexpr std::size_t kQuotedTextLimit = 40;
std::string QuoteText(std::string_view text);

// The same without the quotes, for numbers and ranges in a message.
std::string MessageText(std::string_view text);

// Calls visit(number, line) for every line of a text ("\n", "\r\n" or "\r"
// between them), numbered from 1, without its line end.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t number = 1;
  for (std::size_t start = 0; start <= text.size(); ++number) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      visit(number, text.substr(start));
      return;
    }
    visit(number, text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
}

// The lines of a text that are not skipped lines, each without its line
// end.
std::vector<std::string_view> TicketLines(std::string_view text);

// The state the calculator window would hold for the ticket, with its
// combination count stored.
WagerState StateOf(const Ticket& ticket);

}  // namespace tallyhorn

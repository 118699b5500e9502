#include "calc/ticket_read.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>

namespace tallyhorn {
namespace {

constexpr std::string_view kBlank = " \t\r\n\v\f";
// What ends the unit price: a blank or the colon after the bet name.
constexpr std::string_view kUnitEnd = " \t\r\n\v\f:";

// A number that is no horse and no price: large enough to fail every range
// test, small enough that the arithmetic on it never overflows.
constexpr int kTooLarge = 1'000'000;

// The text without blanks at either end (a pasted line may end in "\r").
std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlank);
  return text.substr(first, last - first + 1);
}

// Digits are read as ASCII whatever the locale.
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True for a non-empty run of digits and nothing else.
bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// The value of a run of digits, held at kTooLarge when it is larger.
int DigitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value >= kTooLarge) return kTooLarge;
  }
  return value;
}

// Bet names and ALL are matched without regard to case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// One character of a text: its code point and its length in bytes. Length 0
// marks a byte that starts no valid UTF-8 sequence (a stray continuation
// byte, an overlong form, a surrogate, a sequence cut short).
struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;
};

// The character starting at text[at], which lies within the text.
Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
  const auto byteAt = [text](std::size_t i) -> unsigned { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  const unsigned lead = byteAt(at);
  if (lead < 0x80) return {static_cast<char32_t>(lead), 1};
  std::size_t length = 0;
  unsigned value = 0;
  // The range the second byte must lie in; it excludes overlong forms,
  // surrogates and code points above U+10FFFF.
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned next = byteAt(at + i);  // 0 past the end, which fails
    if (next < low || next > high) return {};
    low = 0x80;
    high = 0xBF;
    value = (value << 6) | (next & 0x3Fu);
  }
  return {static_cast<char32_t>(value), length};
}

// Characters a message shows as an escape, being invisible or able to change
// how the text around them is shown: the C1 controls, the soft hyphen, the
// blanks that are not ASCII, the zero-width and direction marks, the line
// and paragraph separators, the direction embeddings, overrides and
// isolates, the byte-order mark, the interlinear annotation marks and the
// tag characters.
bool IsShownEscaped(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0xAD || IsBlankCodePoint(c) || (c >= 0x200C && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || (c >= 0xFFF9 && c <= 0xFFFB) ||
         (c >= 0xE0000 && c <= 0xE007F);
}

// value in upper-case hexadecimal, at least `digits` digits long.
std::string Hex(std::uint32_t value, int digits) {
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  std::string text;
  while (value != 0 || digits > 0) {
    text.insert(text.begin(), kHexDigits[value & 0xFu]);
    value >>= 4;
    --digits;
  }
  return text;
}

// "Exacta, Trifecta, ..., Pick-8", for the message about an unknown bet type.
std::string BetTypeList() {
  std::string list;
  for (const BetTypeInfo& info : BetTypeTable) {
    if (!list.empty()) list += ", ";
    list += info.name;
  }
  return list;
}

// A price read from the text after its "$": the cents, or the reason it is
// no price (cents 0).
struct PriceReading {
  UnitCents cents = 0;
  std::string error;
};

/*
 * The price in cents written after the "$": whole dollars, optionally with a
 * point and cents ("1", "1.00", "1.000", "0.5", "0.05", "01"), from
 * kLowestUnitCents to kHighestUnitCents. A point with no digit after it, a
 * fraction of a cent and a price outside the range are refused by name.
 */
PriceReading PriceFromText(std::string_view text) {
  const std::string quoted = QuoteText(std::string("$").append(text));
  const std::size_t point = text.find('.');
  const std::string_view dollars = text.substr(0, point);
  std::string_view cents = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (!AllDigits(dollars) || (point != std::string_view::npos && !AllDigits(cents))) {
    return {0, "The unit " + quoted + " is not a price; write one such as $0.50, $1 or $2.50."};
  }
  // Trailing zeros after the point change nothing: "1.000" is "1".
  while (cents.size() > 2 && cents.back() == '0') cents.remove_suffix(1);
  if (cents.size() > 2) return {0, "The unit " + quoted + " has a fraction of a cent."};
  const int dollarValue = DigitsValue(dollars);
  int centValue = cents.empty() ? 0 : DigitsValue(cents);
  if (cents.size() == 1) centValue *= 10;
  const std::int64_t value = std::int64_t{dollarValue} * 100 + centValue;
  if (value < kLowestUnitCents || value > kHighestUnitCents) {
    return {0, "The unit " + quoted + " is not a price from $0.01 to $1,000."};
  }
  return {static_cast<UnitCents>(value), {}};
}

// The bet type with the given name in any case, or -1.
BetType BetTypeFromName(std::string_view name) {
  for (BetType type = 0; type < kBetTypeCount; ++type) {
    if (EqualsIgnoringCase(name, BetTypeTable[static_cast<std::size_t>(type)].name)) return type;
  }
  return -1;
}

// Horses first to last as a mask; both lie between 1 and 20.
HorseMask HorseSpan(int first, int last) {
  HorseMask mask = 0;
  for (int horse = first; horse <= last; ++horse) mask |= HorseMask{1} << (horse - 1);
  return mask;
}

// What one row lists: the horses named by number or range, and whether it
// says ALL, which takes its horses from the field once the field is known.
struct RowItems {
  HorseMask named = 0;
  bool all = false;
  int highest = 0;  // the highest horse named, 0 for none
  std::string highestItem;  // the entry that names it: "14" or "10-14"
};

// A result holding only the reason the text is not a ticket.
TicketReading Failure(std::string error, ReadFault fault = ReadFault::kOther) {
  return TicketReading{std::nullopt, std::move(error), fault};
}

/*
 * The message for a row: the row as the form labels it for the bet type
 * ("In the 2nd row, " or "In Race B, "), the reason and a full stop.
 */
std::string RowError(BetType betType, Row row, const std::string& reason) {
  const std::string label = RowLabel(betType, row);
  const std::string where = IsPositionBet(betType) ? "In the " + label + " row, " : "In " + label + ", ";
  return where + reason + ".";
}

/*
 * Reads one row, "1,2", "1-4, 9", "ALL", into items. Every horse lies from 1
 * to 20; whether it lies within the row's field is the caller's question.
 * Returns "" on success, otherwise the reason, a lower-case clause that the
 * caller puts the row's name in front of.
 */
std::string ReadRow(std::string_view rowText, RowItems& items) {
  items = RowItems{};
  const std::string_view row = Trim(rowText);
  if (row.empty()) return "there are no horses";
  std::size_t start = 0;
  while (start <= row.size()) {
    const std::size_t comma = row.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? row.size() : comma;
    const std::string_view item = Trim(row.substr(start, end - start));
    start = end + 1;

    if (item.empty()) return "there is an empty entry between commas in " + QuoteText(row);
    if (EqualsIgnoringCase(item, "ALL")) {
      items.all = true;
      continue;
    }

    const std::size_t dash = item.find('-');
    const std::string_view firstText = Trim(item.substr(0, dash));
    const std::string_view lastText = dash == std::string_view::npos ? firstText : Trim(item.substr(dash + 1));
    if (!AllDigits(firstText) || !AllDigits(lastText)) {
      return QuoteText(item) + " is not a horse number, a range like 1-4, or ALL";
    }
    const int first = DigitsValue(firstText);
    const int last = DigitsValue(lastText);
    if (first == 0 || last == 0) return "there is no horse 0; horses are numbered from 1";
    if (dash == std::string_view::npos) {
      if (first > kMaxFieldSize) {
        return "there is no horse " + MessageText(firstText) + "; a race has at most 20 horses";
      }
    } else {
      const std::string range = MessageText(firstText) + "-" + MessageText(lastText);
      if (first > last) {
        return "the range " + range + " runs backwards; write " + MessageText(lastText) + "-" + MessageText(firstText);
      }
      if (last > kMaxFieldSize) return "the range " + range + " runs beyond horse 20; a race has at most 20 horses";
    }
    items.named |= HorseSpan(first, last);
    if (last > items.highest) {
      items.highest = last;
      items.highestItem = dash == std::string_view::npos ? MessageText(firstText)
                                                          : MessageText(firstText) + "-" + MessageText(lastText);
    }
  }
  return {};
}

// The first reason, in row order, that a row needs a larger field than it
// has, or "".
std::string FieldFault(const std::array<RowItems, kRowCount>& items, const FieldSizes& fields, BetType betType) {
  const int rowCount = RowCountOf(betType);
  for (Row r = 0; r < rowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    const FieldSize field = fields[row];
    if (items[row].highest > field) {
      // Name the horse or the range as the player wrote it.
      const std::string& item = items[row].highestItem;
      const bool range = item.find('-') != std::string::npos;
      return RowError(betType, r,
                      (range ? "the range " + item + " runs" : "horse " + item + " is") + " beyond the field of " +
                          std::to_string(field));
    }
    if (items[row].all && field == 0) return RowError(betType, r, "ALL takes no horses from the field of 0");
  }
  return {};
}

}  // namespace

TicketReading ReadOneTicket(std::string_view text, const FieldSizes& fields, FieldRule rule) {
  std::optional<TicketReading> first;       // the first ticket line's reading
  std::optional<TicketReading> firstGood;   // the first good ticket
  std::size_t good = 0;
  std::string stray;                        // why the first bad line is no ticket
  ForEachLine(text, [&](std::size_t number, std::string_view line) {
    if (IsSkippedLine(line)) return;
    TicketReading reading = ReadTicket(line, fields, rule);
    if (reading.ticket) {
      ++good;
      if (!firstGood) firstGood = reading;
    } else if (stray.empty()) {
      // The reason as a clause after "Line N is not a ticket: "; every
      // reason starts with an ASCII word.
      std::string reason = reading.error;
      if (!reason.empty()) reason.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(reason.front())));
      stray = "Line " + std::to_string(number) + " is not a ticket: " + reason;
    }
    if (!first) first = std::move(reading);
  });
  if (!first) return ReadTicket({}, fields, rule);
  if (good > 1) {
    return Failure("The text holds " + std::to_string(good) + " tickets, not one.", ReadFault::kSeveralTickets);
  }
  if (good == 1 && !stray.empty()) return Failure(std::move(stray));
  return good == 1 ? *firstGood : *first;
}

std::optional<UnitCents> ReadUnitPrice(std::string_view text) {
  const std::string plain = WithPlainBlanks(text);
  const std::string_view line = Trim(plain);
  if (line.empty() || line.front() != '$') return std::nullopt;
  const PriceReading price = PriceFromText(Trim(line.substr(1)));
  if (price.cents == 0) return std::nullopt;
  return price.cents;
}

TicketReading ReadTicket(std::string_view text, const FieldSizes& fields, FieldRule rule) {
  // Every blank is an ASCII one from here on.
  const std::string plain = WithPlainBlanks(text);
  const std::string_view line = Trim(plain);
  if (line.empty() || line.front() != '$') {
    return Failure("There is no unit price; a ticket starts with the price of one combination, as in "
                   "\"$1 Trifecta: 1,2 / 5 / 3,4\".",
                   ReadFault::kNoUnitPrice);
  }

  // The unit runs from the "$" and any blanks after it to the next blank or
  // colon.
  const std::string_view afterDollar = Trim(line.substr(1));
  const std::size_t unitEnd = std::min(afterDollar.find_first_of(kUnitEnd), afterDollar.size());
  const std::string_view unitText = afterDollar.substr(0, unitEnd);
  const PriceReading price = PriceFromText(unitText);
  if (price.cents == 0) return Failure(price.error);
  const UnitCents unitCents = price.cents;

  const std::string_view rest = afterDollar.substr(unitEnd);
  const std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return Failure("There is no \":\" after the bet type.");
  const std::string_view name = Trim(rest.substr(0, colon));
  const BetType betType = BetTypeFromName(name);
  if (betType < 0) return Failure("There is no bet type " + QuoteText(name) + "; the bet types are " + BetTypeList() + ".");

  // Split the rows at every "/" and check their number before reading any.
  const std::string_view rowsText = rest.substr(colon + 1);
  const int rowCount = RowCountOf(betType);
  std::array<std::string_view, kRowCount> rowTexts{};
  int found = 0;
  std::size_t start = 0;
  while (start <= rowsText.size()) {
    const std::size_t slash = rowsText.find('/', start);
    const std::size_t end = slash == std::string_view::npos ? rowsText.size() : slash;
    if (found < kRowCount) rowTexts[static_cast<std::size_t>(found)] = rowsText.substr(start, end - start);
    ++found;
    start = end + 1;
  }
  if (found != rowCount) {
    const std::string typeName = BetTypeTable[static_cast<std::size_t>(betType)].name;
    const std::string foundText = found == 1 && Trim(rowsText).empty() ? "none" : std::to_string(found);
    return Failure((typeName.front() == 'E' ? "An " : "A ") + typeName + " ticket has " + std::to_string(rowCount) +
                   " rows separated by \"/\"; this one has " + foundText + ".");
  }

  std::array<RowItems, kRowCount> items{};
  for (Row r = 0; r < rowCount; ++r) {
    const auto row = static_cast<std::size_t>(r);
    const std::string error = ReadRow(rowTexts[row], items[row]);
    if (!error.empty()) return Failure(RowError(betType, r, error));
  }

  // The fields the rows are read against: one race has one field, the
  // first row's; growth takes each field up to the highest horse it must
  // hold.
  const bool oneRace = IsPositionBet(betType);
  FieldSizes field{};
  for (std::size_t r = 0; r < field.size(); ++r) field[r] = ClampFieldSize(fields[oneRace ? 0 : r]);
  if (rule == FieldRule::kGrow) {
    int highest = 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(rowCount); ++r) {
      if (oneRace) {
        highest = std::max(highest, items[r].highest);
      } else {
        field[r] = std::max(field[r], items[r].highest);
      }
    }
    if (oneRace) field.fill(std::max(field[0], highest));
  }
  if (std::string fault = FieldFault(items, field, betType); !fault.empty()) {
    return Failure(std::move(fault), ReadFault::kFieldTooSmall);
  }

  Ticket ticket;
  ticket.betType = betType;
  ticket.unitCents = unitCents;
  ticket.fieldSize = field;
  for (std::size_t r = 0; r < static_cast<std::size_t>(rowCount); ++r) {
    ticket.rows[r] = items[r].named | (items[r].all ? HorseSpan(1, field[r]) : 0);
  }
  return TicketReading{ticket, {}, ReadFault::kNone};
}

bool IsSkippedLine(std::string_view line) {
  const std::string plain = WithPlainBlanks(line);
  const std::string_view text = Trim(plain);
  return text.empty() || text.front() == '#' || text.starts_with("Bets:") || text.starts_with("Tickets:");
}

bool IsBlankCodePoint(char32_t c) {
  return c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x2060 || c == 0x3000 || c == 0xFEFF;
}

std::string WithPlainBlanks(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char c = DecodeUtf8(text, at);
    if (c.length == 0) {
      // A lone 0xA0 is the window code page's no-break space.
      plain += static_cast<unsigned char>(text[at]) == 0xA0 ? ' ' : text[at];
      ++at;
      continue;
    }
    if (c.length > 1 && IsBlankCodePoint(c.codePoint)) {
      plain += ' ';
    } else {
      plain += text.substr(at, c.length);
    }
    at += c.length;
  }
  return plain;
}

std::optional<int> ReadWholeNumber(std::string_view text) {
  const std::string plain = WithPlainBlanks(text);
  const std::string_view digits = Trim(plain);
  if (!AllDigits(digits)) return std::nullopt;
  return DigitsValue(digits);
}

std::string MessageText(std::string_view text) {
  std::string shown;
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++characters) {
    if (characters == kQuotedTextLimit) {
      shown += "...";
      break;
    }
    const Utf8Char c = DecodeUtf8(text, at);
    if (c.length == 0) {
      shown += "\\x" + Hex(static_cast<unsigned char>(text[at]), 2);
      ++at;
      continue;
    }
    const auto code = static_cast<std::uint32_t>(c.codePoint);
    if (c.length == 1) {
      switch (code) {
        case '\t': shown += "\\t"; break;
        case '\n': shown += "\\n"; break;
        case '\r': shown += "\\r"; break;
        case '\\': shown += "\\\\"; break;
        case '"': shown += "\\\""; break;
        default:
          if (code < 0x20 || code == 0x7F) {
            shown += "\\x" + Hex(code, 2);
          } else {
            shown += text[at];
          }
      }
    } else if (IsShownEscaped(c.codePoint)) {
      shown += "\\u" + Hex(code, 4);
    } else {
      shown += text.substr(at, c.length);
    }
    at += c.length;
  }
  return shown;
}

std::string QuoteText(std::string_view text) {
  // Built by appending: GCC 12 warns falsely (-Wrestrict) about a literal
  // added to a temporary string.
  std::string quoted;
  quoted += '"';
  quoted += MessageText(text);
  quoted += '"';
  return quoted;
}

std::vector<std::string_view> TicketLines(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachLine(text, [&lines](std::size_t, std::string_view line) {
    if (!IsSkippedLine(line)) lines.push_back(line);
  });
  return lines;
}

WagerState StateOf(const Ticket& ticket) {
  WagerState state;
  state.betType = ticket.betType;
  state.unitCents = ticket.unitCents;
  state.fieldSize = ticket.fieldSize;
  for (std::size_t r = 0; r < state.selections.size(); ++r) {
    for (std::size_t slot = 0; slot < state.selections[r].size(); ++slot) {
      state.selections[r][slot] = (ticket.rows[r] >> slot) & 1u ? 1 : 0;
    }
  }
  state.combinationCount = CountCombinations(state);
  return state;
}

}  // namespace tallyhorn

// The texts a recalculation shows: the ticket summary for the ticket box, and
// the count and cost texts.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "calc/wager.h"

namespace tallyhorn {

inline constexpr std::size_t kTicketCapacity = 2000;
inline constexpr std::size_t kCountTextCapacity = 2000;
inline constexpr std::size_t kCostTextCapacity = 30;

// What the cost field says when the ticket covers no combination.
inline constexpr std::string_view kNoBetsCostText = "Bets: 0  Total: $0";

// Each text is NUL-terminated inside its fixed buffer.
struct TicketTexts {
  std::array<char, kTicketCapacity> ticket{};
  std::array<char, kCountTextCapacity> countText{};
  std::array<char, kCostTextCapacity> costText{};
};

/*
 * Builds the ticket summary from the state's bet type, unit, selections,
 * field sizes and stored combinationCount. A non-zero count gives two lines:
 *   "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 "
 * with countText " 4" and costText " $4". A zero count, or a bet type outside
 * the table, gives an empty ticket, an empty countText and kNoBetsCostText.
 * A row lists its ticked horses below the row's field size, the same horses
 * the count is taken over.
 */
TicketTexts BuildTicket(const WagerState& state);

}  // namespace tallyhorn

// The calculator's state record and its constant tables: bet types with their
// names and row counts, the row labels, and the eight unit prices.
#pragma once

#include <array>
#include <cstdint>

namespace tallyhorn {

inline constexpr int kRowCount = 8;          // rows A to H of the form
inline constexpr int kSlotCount = 20;        // horses 1 to 20 in a row
inline constexpr int kBetTypeCount = 11;
inline constexpr int kUnitCount = 8;
inline constexpr int kMaxFieldSize = 20;
inline constexpr int kDefaultFieldSize = 12;  // start-up and RESET

using BetType = std::int32_t;           // index into BetTypeTable, 0 to 10
using Row = std::int32_t;               // 0 to 7
using FieldSize = std::int32_t;         // horses offered in a row, 0 to 20
using UnitCents = std::uint32_t;        // price of one combination in cents
using CombinationCount = std::int64_t;  // never negative
// selections[r][i] is nonzero when horse i + 1 of row r is ticked.
using SelectionSnapshot = std::array<std::array<std::int32_t, kSlotCount>, kRowCount>;

// Bet type indexes, in table order. The order matters: 0 to 4 are the
// finishing-position bets, 5 to 10 the multi-race bets.
enum : BetType {
  kExacta,
  kTrifecta,
  kSuperfecta,
  kSuperfecta5,
  kSuperfecta6,
  kPick3,
  kPick4,
  kPick5,
  kPick6,
  kPick7,
  kPick8,
};

enum class BetKind { PositionBet, MultiRaceBet };

struct BetTypeInfo {
  const char* name;    // as written in the ticket
  std::int32_t rows;   // finishing positions or races
};

inline constexpr std::array<BetTypeInfo, kBetTypeCount> BetTypeTable{{
    {"Exacta", 2},
    {"Trifecta", 3},
    {"Superfecta", 4},
    {"Superfecta-5", 5},
    {"Superfecta-6", 6},
    {"Pick-3", 3},
    {"Pick-4", 4},
    {"Pick-5", 5},
    {"Pick-6", 6},
    {"Pick-7", 7},
    {"Pick-8", 8},
}};

// Labels shown at the left of each active row, by kind. Position bets never
// use rows G and H, so those entries are empty.
inline constexpr std::array<std::array<const char*, kRowCount>, 2> RowLabels{{
    {"1st", "2nd", "3rd", "4th", "5th", "6th", "", ""},
    {"Race A", "Race B", "Race C", "Race D", "Race E", "Race F", "Race G", "Race H"},
}};

struct UnitAmount {
  UnitCents cents;
  const char* caption;
};

inline constexpr std::array<UnitAmount, kUnitCount> UnitAmountTable{{
    {5, "$0.05"},
    {10, "$0.10"},
    {20, "$0.20"},
    {100, "$1"},
    {200, "$2"},
    {300, "$3"},
    {500, "$5"},
    {1000, "$10"},
}};

// The one record the calculator works on. The window owns the process-wide
// instance; the core reads it through const references.
struct WagerState {
  BetType betType = kTrifecta;
  UnitCents unitCents = 100;
  std::array<FieldSize, kRowCount> fieldSize{};
  SelectionSnapshot selections{};
  CombinationCount combinationCount = 0;
};

constexpr bool IsValidBetType(BetType betType) {
  return betType >= 0 && betType < kBetTypeCount;
}

// The one test that splits the bet types: indexes 0 to 4 are position bets.
constexpr bool IsPositionBet(BetType betType) {
  return betType >= kExacta && betType <= kSuperfecta6;
}

constexpr BetKind KindOf(BetType betType) {
  return IsPositionBet(betType) ? BetKind::PositionBet : BetKind::MultiRaceBet;
}

// Rows the bet type uses; 0 for an index outside the table.
constexpr std::int32_t RowCountOf(BetType betType) {
  return IsValidBetType(betType) ? BetTypeTable[static_cast<std::size_t>(betType)].rows : 0;
}

// Label of row r under the bet type's kind; "" for a row the type leaves
// inactive or an index outside the tables.
constexpr const char* RowLabel(BetType betType, Row row) {
  if (row < 0 || row >= RowCountOf(betType)) return "";
  return RowLabels[KindOf(betType) == BetKind::PositionBet ? 0 : 1][static_cast<std::size_t>(row)];
}

// A ticket's price of one combination may be any whole number of cents in
// this range; the eight unit buttons offer the prices of UnitAmountTable.
inline constexpr UnitCents kLowestUnitCents = 1;
inline constexpr UnitCents kHighestUnitCents = 100'000;  // $1,000

// Position of a price in UnitAmountTable, or -1 when it is not one of the eight.
constexpr int UnitIndexOf(UnitCents cents) {
  for (int i = 0; i < kUnitCount; ++i) {
    if (UnitAmountTable[static_cast<std::size_t>(i)].cents == cents) return i;
  }
  return -1;
}

}  // namespace tallyhorn

#include "calc/counting.h"

#include <array>
#include <bit>
#include <cstddef>

namespace tallyhorn {
namespace {

// Number of horses in a mask.
constexpr int CountHorses(HorseMask mask) { return CountBits(mask); }
constexpr std::array<HorseMask, kSlotCount> kSlotBit = [] {
  std::array<HorseMask, kSlotCount> bits{};
  for (std::size_t slot = 0; slot < kSlotCount; ++slot) bits[slot] = HorseMask{1} << slot;
  return bits;
}();

static_assert(CountHorses(0) == 0 && CountHorses(0xfffffu) == 20 && CountHorses(0x80000001u) == 2);

/*
 * Counts injective assignments of horses to rows by inclusion-exclusion over
 * the set partitions of the rows: every partition contributes the product,
 * over its blocks B, of (-1)^(|B|-1) (|B|-1)! times the number of horses
 * common to all rows of B. The sum over partitions is taken by a DP over
 * subsets of rows, g[S] = sum over blocks B holding the lowest row of S of
 * weight(B) * g[S \ B], which visits at most 3^8 pairs of sets. All terms
 * stay below 8! * 20^8, far inside 64 bits.
 */
CombinationCount CountInjective(std::span<const HorseMask> rows) {
  constexpr std::array<CombinationCount, kRowCount + 1> kBlockSign{0, 1, -1, 2, -6, 24, -120, 720, -5040};
  const int n = static_cast<int>(rows.size());
  const unsigned full = (1u << n) - 1;

  // Only the entries up to `full` are used, each written before it is read.
  std::array<CombinationCount, 1u << kRowCount> weight;
  std::array<HorseMask, 1u << kRowCount> common;
  for (unsigned set = 1; set <= full; ++set) {
    const int low = std::countr_zero(set);
    const unsigned rest = set & (set - 1);
    common[set] = (rest == 0 ? ~HorseMask{0} : common[rest]) & rows[static_cast<std::size_t>(low)];
    weight[set] = kBlockSign[static_cast<std::size_t>(CountHorses(set))] * CountHorses(common[set]);
  }

  std::array<CombinationCount, 1u << kRowCount> sum;
  sum[0] = 1;
  for (unsigned set = 1; set <= full; ++set) {
    const unsigned low = set & (~set + 1);
    const unsigned rest = set ^ low;
    CombinationCount total = 0;
    for (unsigned sub = rest;; sub = (sub - 1) & rest) {
      total += weight[sub | low] * sum[rest ^ sub];
      if (sub == 0) break;
    }
    sum[set] = total;
  }
  return sum[full];
}

// The horses of the first `used` rows; the rest stay empty.
std::array<HorseMask, kRowCount> LeadingRowHorses(const WagerState& state, int used) {
  std::array<HorseMask, kRowCount> rows{};
  for (Row r = 0; r < used && r < kRowCount; ++r) rows[static_cast<std::size_t>(r)] = RowHorses(state, r);
  return rows;
}

// The first n rows of the state, or an empty span when n is out of range.
std::span<const HorseMask> FirstRows(const std::array<HorseMask, kRowCount>& rows, int n) {
  if (n < 1 || n > kRowCount) return {};
  return std::span<const HorseMask>(rows).first(static_cast<std::size_t>(n));
}

}  // namespace

HorseMask RowHorses(const WagerState& state, Row row) {
  if (row < 0 || row >= kRowCount) return 0;
  const auto r = static_cast<std::size_t>(row);
  const FieldSize field = ClampFieldSize(state.fieldSize[r]);
  HorseMask mask = 0;
  for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
    mask |= state.selections[r][slot] != 0 ? kSlotBit[slot] : 0;  // a select the compiler can vectorise
  }
  mask &= (HorseMask{1} << field) - 1;  // field is at most 20, so the shift is defined
  return mask;
}

CombinationCount CountOrderedDistinct(std::span<const HorseMask> rows) {
  if (rows.empty() || rows.size() > static_cast<std::size_t>(kRowCount)) return 0;
  return CountInjective(rows);
}

CombinationCount CountPick(std::span<const HorseMask> rows) {
  if (rows.empty() || rows.size() > static_cast<std::size_t>(kRowCount)) return 0;
  CombinationCount product = 1;
  for (HorseMask row : rows) product *= CountHorses(row);
  return product;
}

CombinationCount CountRows(BetType betType, std::span<const HorseMask, kRowCount> rows) {
  if (!IsValidBetType(betType)) return 0;
  const auto used = rows.first(static_cast<std::size_t>(RowCountOf(betType)));
  return IsPositionBet(betType) ? CountOrderedDistinct(used) : CountPick(used);
}

CombinationCount CountExacta(const WagerState& state) {
  return CountOrderedDistinct(state, RowCountOf(kExacta));
}

CombinationCount CountOrderedDistinct(const WagerState& state, int rows) {
  return CountOrderedDistinct(FirstRows(LeadingRowHorses(state, rows), rows));
}

CombinationCount CountPick(const WagerState& state, int rows) {
  return CountPick(FirstRows(LeadingRowHorses(state, rows), rows));
}

CombinationCount CountCombinations(const WagerState& state) {
  return CountRows(state.betType, LeadingRowHorses(state, RowCountOf(state.betType)));
}

}  // namespace tallyhorn

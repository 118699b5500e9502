#include "cli/overlap.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "calc/counting.h"

namespace tallyhorn::cli {
namespace {

using Rows = std::array<HorseMask, kRowCount>;

// Bit counts written out: without a POPCNT target std::popcount becomes a
// library call, and these sit in the innermost loops.
constexpr int CountBits(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
  return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

constexpr int LowestBit(std::uint64_t x) { return std::countr_zero(x); }

// Calls visit(h) for every set bit h of a horse mask, lowest first.
template <typename Visit>
void ForEachHorse(HorseMask horses, Visit visit) {
  while (horses != 0) {
    visit(LowestBit(horses));
    horses &= horses - 1;
  }
}

// The combinations of rows first to last - 1: in one race ordered tuples of
// distinct horses, in separate races the product of the rows' sizes.
CombinationCount CountSpan(bool oneRace, const Rows& rows, std::size_t first, std::size_t last) {
  const std::span<const HorseMask> used = std::span<const HorseMask>(rows).subspan(first, last - first);
  return oneRace ? CountOrderedDistinct(used) : CountPick(used);
}

// A set of up to 128 tickets, bit k standing for ticket k.
struct TicketSet {
  std::uint64_t low = 0;
  std::uint64_t high = 0;

  friend TicketSet operator&(TicketSet a, TicketSet b) { return {a.low & b.low, a.high & b.high}; }
  friend bool operator==(TicketSet a, TicketSet b) = default;
  bool Empty() const { return (low | high) == 0; }
  int Size() const { return CountBits(low) + CountBits(high); }
  void Add(std::size_t k) { (k < 64 ? low : high) |= std::uint64_t{1} << (k % 64); }
  void Remove(std::size_t k) { (k < 64 ? low : high) &= ~(std::uint64_t{1} << (k % 64)); }

  template <typename Visit>
  void ForEach(Visit visit) const {
    for (std::uint64_t bits = low; bits != 0; bits &= bits - 1) visit(static_cast<std::size_t>(LowestBit(bits)));
    for (std::uint64_t bits = high; bits != 0; bits &= bits - 1) visit(static_cast<std::size_t>(64 + LowestBit(bits)));
  }
};

constexpr std::size_t kSmallSet = 128;

// Lists of live tickets up to this long are counted by inclusion-exclusion
// over their subsets rather than split further (in one race, where a count
// costs more, a shorter limit).
constexpr int kSubsetsUpTo = 9;
constexpr int kSubsetsUpToOneRace = 6;

// The memo stops growing at this many parts, so that memory stays bounded on
// sets where parts seldom repeat.
constexpr std::size_t kMemoLimit = std::size_t{1} << 22;

/*
 * The union of up to 128 tickets of one bet type, each with no empty row
 * over the first rowCount rows.
 *
 * The combinations are taken depth first, one row at a time: those whose
 * horse in row d is h are covered by the live tickets that hold h there, so
 * the union over rows d onward is the sum over h of the union over rows d+1
 * onward of those tickets. In one race, h is also gone from the rows after d
 * (no horse runs twice), which the part carries as its used horses. The
 * live tickets are a bit set, and each part is first tried for a shortcut:
 *
 * - the horses of row i any live ticket holds (its reach) bound every
 *   covered combination, so a ticket that holds the whole reach in every row
 *   left covers the part by itself;
 * - when every live ticket falls short of the reach in one row at most, the
 *   combinations none covers are those that avoid, row by row, the horses of
 *   the tickets short in that row: the uncovered part is counted directly;
 * - a combination is uncovered only if each live ticket lacks its horse in
 *   some row; when no choice of horses, even row by row at best, can leave
 *   out as many tickets as there are, the reach is covered whole (dense
 *   sets end here);
 * - the last two rows are counted at once, a short list by inclusion-
 *   exclusion over its subsets, and a part met before from its memo.
 *
 * Horses of row d held by the same live tickets (and, in one race, alike in
 * every later row of those tickets) give parts of the same size, counted
 * once and multiplied.
 */
class SmallUnion {
 public:
  SmallUnion(bool oneRace, std::span<const Rows> tickets, std::size_t rowCount)
      : oneRace_(oneRace), rowCount_(rowCount), tickets_(tickets.begin(), tickets.end()) {
    for (std::size_t k = 0; k < tickets_.size(); ++k) {
      all_.Add(k);
      for (std::size_t r = 0; r < rowCount_; ++r) {
        ForEachHorse(tickets_[k][r], [&](int h) { holders_[r][static_cast<std::size_t>(h)].Add(k); });
      }
    }
  }

  CombinationCount Count() { return Covered(0, all_, 0); }

 private:
  struct Key {
    TicketSet live;
    HorseMask used;
    std::size_t depth;
    friend bool operator==(const Key& a, const Key& b) = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const {
      std::uint64_t h = key.live.low * 0x9E3779B97F4A7C15u;
      h ^= (h >> 29) ^ (key.live.high * 0xC2B2AE3D27D4EB4Fu);
      h ^= (h >> 31) ^ ((std::uint64_t{key.used} << 4 | key.depth) * 0x165667B19E3779F9u);
      return static_cast<std::size_t>(h ^ (h >> 32));
    }
  };

  CombinationCount Covered(std::size_t d, TicketSet live, HorseMask used) {
    const std::size_t left = rowCount_ - d;
    // The reach, and in one race the tickets that a used horse has emptied
    // a row of, which cover nothing here.
    Rows reach{};
    HorseMask touched = 0;
    live.ForEach([&](std::size_t k) {
      bool empty = false;
      for (std::size_t r = d; r < rowCount_; ++r) {
        touched |= tickets_[k][r];
        empty = empty || (tickets_[k][r] & ~used) == 0;
      }
      if (empty) {
        live.Remove(k);
        return;
      }
      for (std::size_t r = d; r < rowCount_; ++r) reach[r] |= tickets_[k][r] & ~used;
    });
    if (live.Empty()) return 0;
    if (left == 1) return CountBits(reach[d]);

    const CombinationCount whole = CountSpan(oneRace_, reach, d, rowCount_);
    Rows shortOf{};
    bool slabs = true;
    bool coversAll = false;
    live.ForEach([&](std::size_t k) {
      std::size_t shortRows = 0;
      std::size_t shortRow = 0;
      for (std::size_t r = d; r < rowCount_; ++r) {
        if ((reach[r] & ~tickets_[k][r]) != 0) ++shortRows, shortRow = r;
      }
      if (shortRows == 0) coversAll = true;
      if (shortRows == 1) shortOf[shortRow] |= tickets_[k][shortRow];
      slabs = slabs && shortRows <= 1;
    });
    if (coversAll) return whole;
    if (slabs) {
      Rows open{};
      for (std::size_t r = d; r < rowCount_; ++r) open[r] = reach[r] & ~shortOf[r];
      return whole - CountSpan(oneRace_, open, d, rowCount_);
    }

    const int size = live.Size();
    int mostLeftOut = 0;
    for (std::size_t r = d; r < rowCount_ && mostLeftOut < size; ++r) {
      int fewest = size;
      ForEachHorse(reach[r], [&](int h) { fewest = std::min(fewest, (live & holders_[r][static_cast<std::size_t>(h)]).Size()); });
      mostLeftOut += size - fewest;
    }
    if (mostLeftOut < size) return whole;

    if (left == 2) return LastTwoRows(d, live, used);
    if (size <= (oneRace_ ? kSubsetsUpToOneRace : kSubsetsUpTo)) return BySubsets(d, live, used);

    const Key key{live, oneRace_ ? used & touched : 0, d};
    if (const auto found = memo_.find(key); found != memo_.end()) return found->second;
    const CombinationCount total = Split(d, live, used, reach[d]);
    if (memo_.size() < kMemoLimit) memo_.emplace(key, total);
    return total;
  }

  // The sum over the horses h of row d of the union, over the rows after d,
  // of the live tickets holding h.
  CombinationCount Split(std::size_t d, TicketSet live, HorseMask used, HorseMask horses) {
    struct Part {
      TicketSet live;
      std::array<TicketSet, kRowCount> later;  // in one race: the part's holders of the horse in each later row
      int horse;
      CombinationCount alike;
    };
    std::array<Part, kSlotCount> parts;
    std::size_t partCount = 0;
    ForEachHorse(horses, [&](int h) {
      const auto slot = static_cast<std::size_t>(h);
      Part part{live & holders_[d][slot], {}, h, 1};
      if (oneRace_) {
        for (std::size_t r = d + 1; r < rowCount_; ++r) part.later[r] = part.live & holders_[r][slot];
      }
      for (std::size_t p = 0; p < partCount; ++p) {
        if (parts[p].live == part.live && parts[p].later == part.later) {
          ++parts[p].alike;
          return;
        }
      }
      parts[partCount++] = part;
    });
    CombinationCount total = 0;
    for (std::size_t p = 0; p < partCount; ++p) {
      const HorseMask gone = oneRace_ ? HorseMask{1} << parts[p].horse : 0;
      total += parts[p].alike * Covered(d + 1, parts[p].live, used | gone);
    }
    return total;
  }

  // The union over the last two rows: for each horse of the first, the
  // horses of the second any live ticket holding it takes.
  CombinationCount LastTwoRows(std::size_t d, TicketSet live, HorseMask used) const {
    std::array<HorseMask, kSlotCount> second{};
    live.ForEach([&](std::size_t k) {
      const HorseMask next = tickets_[k][d + 1] & ~used;
      ForEachHorse(tickets_[k][d] & ~used, [&](int h) { second[static_cast<std::size_t>(h)] |= next; });
    });
    CombinationCount total = 0;
    for (std::size_t h = 0; h < kSlotCount; ++h) {
      total += CountBits(oneRace_ ? second[h] & ~(HorseMask{1} << h) : second[h]);
    }
    return total;
  }

  // The union by inclusion-exclusion: the sum over nonempty subsets of the
  // live tickets of their common combinations, with alternating signs. A
  // subset with none in common has no superset with any, so its branch ends.
  CombinationCount BySubsets(std::size_t d, TicketSet live, HorseMask used) const {
    std::array<std::size_t, kSmallSet> members{};
    std::size_t count = 0;
    live.ForEach([&](std::size_t k) { members[count++] = k; });
    Rows all{};
    for (std::size_t r = d; r < rowCount_; ++r) all[r] = ~used;
    CombinationCount total = 0;
    auto walk = [&](auto& self, std::size_t from, const Rows& common, CombinationCount sign) -> void {
      for (std::size_t j = from; j < count; ++j) {
        Rows next{};
        bool empty = false;
        for (std::size_t r = d; r < rowCount_; ++r) {
          next[r] = common[r] & tickets_[members[j]][r];
          empty = empty || next[r] == 0;
        }
        if (empty) continue;
        const CombinationCount shared = CountSpan(oneRace_, next, d, rowCount_);
        if (shared == 0) continue;
        total += sign * shared;
        self(self, j + 1, next, -sign);
      }
    };
    walk(walk, 0, all, 1);
    return total;
  }

  bool oneRace_;
  std::size_t rowCount_;
  std::vector<Rows> tickets_;
  TicketSet all_;
  std::array<std::array<TicketSet, kSlotCount>, kRowCount> holders_{};  // [row][horse]: the tickets holding it
  std::unordered_map<Key, CombinationCount, KeyHash> memo_;
};

/*
 * The union of any number of tickets, each with no empty row. Long lists of
 * live tickets are split on their first row as above, kept as lists of
 * ticket numbers so a part costs time in proportion to its tickets; once a
 * part has at most 128 live tickets it is counted as a small union of their
 * remaining rows.
 */
class LargeUnion {
 public:
  LargeUnion(bool oneRace, std::vector<Rows> tickets, std::size_t rowCount)
      : oneRace_(oneRace), rowCount_(rowCount), tickets_(std::move(tickets)) {}

  CombinationCount Count() {
    std::vector<std::uint32_t> live(tickets_.size());
    std::iota(live.begin(), live.end(), std::uint32_t{0});
    return Covered(0, live, 0);
  }

 private:
  CombinationCount Covered(std::size_t d, const std::vector<std::uint32_t>& live, HorseMask used) {
    const std::size_t left = rowCount_ - d;
    if (live.size() <= kSmallSet || left == 1) {
      std::vector<Rows> rest;
      rest.reserve(live.size());
      for (std::uint32_t k : live) {
        Rows rows{};
        bool empty = false;
        for (std::size_t r = d; r < rowCount_; ++r) {
          rows[r - d] = tickets_[k][r] & ~used;
          empty = empty || rows[r - d] == 0;
        }
        if (!empty) rest.push_back(rows);
      }
      if (rest.size() > kSmallSet) {  // one row left: the horses any ticket holds
        HorseMask horses = 0;
        for (const Rows& rows : rest) horses |= rows[0];
        return CountBits(horses);
      }
      return SmallUnion(oneRace_, rest, left).Count();
    }

    std::array<std::vector<std::uint32_t>, kSlotCount> parts;
    for (std::uint32_t k : live) {
      ForEachHorse(tickets_[k][d] & ~used, [&](int h) { parts[static_cast<std::size_t>(h)].push_back(k); });
    }
    CombinationCount total = 0;
    std::array<bool, kSlotCount> counted{};
    for (std::size_t h = 0; h < kSlotCount; ++h) {
      if (parts[h].empty() || counted[h]) continue;
      CombinationCount alike = 1;
      if (!oneRace_) {  // horses held by the same tickets give the same part
        for (std::size_t g = h + 1; g < kSlotCount; ++g) {
          if (!counted[g] && parts[g] == parts[h]) counted[g] = true, ++alike;
        }
      }
      const HorseMask gone = oneRace_ ? HorseMask{1} << h : 0;
      total += alike * Covered(d + 1, parts[h], used | gone);
    }
    return total;
  }

  bool oneRace_;
  std::size_t rowCount_;
  std::vector<Rows> tickets_;
};

/*
 * Puts the rows in the order the split takes them: the rows whose tickets
 * hold fewest horses first, so the live lists shrink fastest. Every
 * combination's rows move alike, so the count is unchanged; in one race the
 * rule that no horse runs twice holds across any order of the rows.
 */
void OrderRows(std::vector<Rows>& tickets, std::size_t rowCount) {
  std::array<std::size_t, kRowCount> order{};
  std::array<std::int64_t, kRowCount> held{};
  std::iota(order.begin(), order.end(), std::size_t{0});
  for (const Rows& rows : tickets) {
    for (std::size_t r = 0; r < rowCount; ++r) held[r] += CountBits(rows[r]);
  }
  std::stable_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(rowCount),
                   [&](std::size_t a, std::size_t b) { return held[a] < held[b]; });
  for (Rows& rows : tickets) {
    const Rows before = rows;
    for (std::size_t r = 0; r < rowCount; ++r) rows[r] = before[order[r]];
  }
}

}  // namespace

CombinationCount CountDistinct(std::span<const Ticket> tickets) {
  CombinationCount total = 0;
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    const auto rowCount = static_cast<std::size_t>(RowCountOf(betType));
    std::vector<Rows> rowsOfType;
    for (const Ticket& ticket : tickets) {
      if (ticket.betType != betType) continue;
      Rows rows{};  // rows the bet type does not use take no part
      bool empty = false;
      for (std::size_t r = 0; r < rowCount; ++r) {
        rows[r] = ticket.rows[r] & ((HorseMask{1} << kSlotCount) - 1);
        empty = empty || rows[r] == 0;
      }
      if (!empty) rowsOfType.push_back(rows);
    }
    if (rowsOfType.empty()) continue;
    // The same ticket twice adds nothing.
    std::sort(rowsOfType.begin(), rowsOfType.end());
    rowsOfType.erase(std::unique(rowsOfType.begin(), rowsOfType.end()), rowsOfType.end());
    OrderRows(rowsOfType, rowCount);
    const bool oneRace = IsPositionBet(betType);
    total += rowsOfType.size() <= kSmallSet ? SmallUnion(oneRace, rowsOfType, rowCount).Count()
                                            : LargeUnion(oneRace, std::move(rowsOfType), rowCount).Count();
  }
  return total;
}

}  // namespace tallyhorn::cli

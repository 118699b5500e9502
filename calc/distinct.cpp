#include "calc/distinct.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

#include "calc/counting.h"

namespace tallyhorn {
namespace {

using Rows = std::array<HorseMask, kRowCount>;

constexpr HorseMask kTwenty = (HorseMask{1} << kSlotCount) - 1;

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

// A long list of live tickets over at most this many rows is first tried for
// covering its reach with 128 of its tickets alone.
constexpr std::size_t kTrySomeUpTo = 5;

// The longest list of live tickets counted by inclusion-exclusion over its
// subsets rather than split further, by the rows left (from 4). Subsets cost
// twice as much for each ticket more, a split twenty times as much for each
// row more; in one race a subset's count costs more, so lists are shorter.
constexpr std::array<int, kRowCount + 1> kSubsetsUpTo{0, 0, 0, 0, 10, 13, 16, 18, 18};
constexpr std::array<int, kRowCount + 1> kSubsetsUpToOneRace{0, 0, 0, 0, 8, 9, 10, 10, 10};

// The memo of parts met before has at most this many slots.
constexpr std::size_t kMemoLimit = std::size_t{1} << 20;

/*
 * A set of pairs of horses (g, f), one of each of two rows, as 400 bits: bit
 * 20g + f. The union of the last two rows of many tickets is the OR of
 * their grids, so those rows are counted without a walk over horses.
 */
struct PairGrid {
  static constexpr std::size_t kWords = (kSlotCount * kSlotCount + 63) / 64;
  std::array<std::uint64_t, kWords> words{};

  PairGrid& operator|=(const PairGrid& other) {
    for (std::size_t w = 0; w < kWords; ++w) words[w] |= other.words[w];
    return *this;
  }
  // The pairs of this grid that are also in mask.
  int CountWithin(const PairGrid& mask) const {
    int count = 0;
    for (std::size_t w = 0; w < kWords; ++w) count += CountBits(words[w] & mask.words[w]);
    return count;
  }
};

// The grid of every pair with g in first and f in second (in one race, g
// and f different).
PairGrid GridOf(HorseMask first, HorseMask second, bool oneRace) {
  PairGrid grid;
  ForEachHorse(first, [&](int g) {
    // Row g of the grid is the 20 bits from 20g, which may span two words.
    const std::uint64_t row = oneRace ? second & ~(HorseMask{1} << g) : second;
    const auto bit = static_cast<std::size_t>(g) * kSlotCount;
    grid.words[bit / 64] |= row << (bit % 64);
    if (bit % 64 + kSlotCount > 64) grid.words[bit / 64 + 1] |= row >> (64 - bit % 64);
  });
  return grid;
}

/*
 * Counts of parts already met, in one flat table with linear probing, kept
 * at most half full. It grows by doubling up to kMemoLimit slots (40 MB) and
 * then stops taking new parts, so memory stays bounded on sets whose parts
 * seldom repeat.
 */
template <typename Key, typename Hash>
class Memo {
 public:
  const CombinationCount* Find(const Key& key) const {
    if (entries_.empty()) return nullptr;
    for (std::size_t i = Hash{}(key) & mask_;; i = (i + 1) & mask_) {
      if (!entries_[i].full) return nullptr;
      if (entries_[i].key == key) return &entries_[i].count;
    }
  }

  void Insert(const Key& key, CombinationCount count) {
    if (2 * (size_ + 1) > entries_.size()) {
      if (entries_.size() >= kMemoLimit) return;
      Grow();
    }
    std::size_t i = Hash{}(key) & mask_;
    while (entries_[i].full) i = (i + 1) & mask_;
    entries_[i] = Entry{key, count, true};
    ++size_;
  }

 private:
  struct Entry {
    Key key{};
    CombinationCount count = 0;
    bool full = false;
  };

  void Grow() {
    std::vector<Entry> old = std::move(entries_);
    entries_.assign(old.empty() ? 1024 : 2 * old.size(), Entry{});
    mask_ = entries_.size() - 1;
    size_ = 0;
    for (const Entry& entry : old) {
      if (entry.full) Insert(entry.key, entry.count);
    }
  }

  std::vector<Entry> entries_;
  std::size_t mask_ = 0;
  std::size_t size_ = 0;
};

/*
 * Watches the flag that ends a count early. Every part looks at it: a
 * relaxed load is a plain read of a line no one writes until the end, and
 * costs nothing measurable, while parts of hard sets are long enough (some
 * microseconds) that looking less often would delay the stop by
 * milliseconds. Once the flag is seen every part answers 0 at once and the
 * recursion unwinds in a few steps; the short figures, and what the memos
 * took of them, are thrown away with the count.
 */
class StopWatch {
 public:
  explicit StopWatch(const std::atomic<bool>& cancelled) : cancelled_(cancelled) {}

  bool Stopped() {
    stopped_ = stopped_ || cancelled_.load(std::memory_order_relaxed);
    return stopped_;
  }
  bool SeenStop() const { return stopped_; }

 private:
  const std::atomic<bool>& cancelled_;
  bool stopped_ = false;
};

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
 *   some row; when no choice of horses, even row by row at best (then pair
 *   of rows by pair of rows at best), can leave out as many tickets as there
 *   are, the reach is covered whole (dense sets end here);
 * - the last four rows at most are taken horse by horse down to the last
 *   two, which are counted at once as the union of the live tickets' grids
 *   of horse pairs;
 * - a short list is counted by inclusion-exclusion over its subsets, where
 *   that costs less than splitting, and a part met before from its memo.
 *
 * Horses of row d held by the same live tickets (and, in one race, alike in
 * every later row of those tickets) give parts of the same size, counted
 * once and multiplied.
 */
class SmallUnion {
 public:
  SmallUnion(bool oneRace, std::span<const Rows> tickets, std::size_t rowCount, StopWatch& stop)
      : oneRace_(oneRace), rowCount_(rowCount), tickets_(tickets.begin(), tickets.end()), stop_(stop) {
    for (std::size_t k = 0; k < tickets_.size(); ++k) {
      all_.Add(k);
      for (std::size_t r = 0; r < rowCount_; ++r) {
        ForEachHorse(tickets_[k][r], [&](int h) { holders_[r][static_cast<std::size_t>(h)].Add(k); });
      }
      if (rowCount_ >= 2) tails_.push_back(GridOf(tickets_[k][rowCount_ - 2], tickets_[k][rowCount_ - 1], oneRace_));
    }
  }

  CombinationCount Count() { return Covered(0, all_, 0); }

 private:
  struct Key {
    TicketSet live;
    HorseMask used;
    std::uint32_t depth;
    friend bool operator==(const Key& a, const Key& b) = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const {
      std::uint64_t h = key.live.low * 0x9E3779B97F4A7C15u;
      h ^= (h >> 29) ^ (key.live.high * 0xC2B2AE3D27D4EB4Fu);
      h ^= (h >> 31) ^ ((std::uint64_t{key.used} << 4 | key.depth) * 0x165667B19E3779F9u);
      h ^= h >> 27;
      return static_cast<std::size_t>(h ^ (h >> 32));
    }
  };

  CombinationCount Covered(std::size_t d, TicketSet live, HorseMask used) {
    if (stop_.Stopped()) return 0;
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
    // leftOut[r]: the most live tickets one horse of row r is missing from.
    std::array<int, kRowCount> leftOut{};
    int mostLeftOut = 0;
    for (std::size_t r = d; r < rowCount_; ++r) {
      int fewest = size;
      ForEachHorse(reach[r], [&](int h) { fewest = std::min(fewest, (live & holders_[r][static_cast<std::size_t>(h)]).Size()); });
      leftOut[r] = size - fewest;
      mostLeftOut += leftOut[r];
    }
    if (mostLeftOut < size) return whole;

    if (left <= 3) return LastRows(d, live, used);
    if (size <= (oneRace_ ? kSubsetsUpToOneRace : kSubsetsUpTo)[left]) return BySubsets(d, live, used);
    if (MostLeftOutByPairs(d, live, reach, leftOut, size) < size) return whole;
    if (left <= 4) return LastRows(d, live, used);

    const Key key{live, oneRace_ ? used & touched : 0, static_cast<std::uint32_t>(d)};
    if (const CombinationCount* found = memo_.Find(key)) return *found;
    const CombinationCount total = Split(d, live, used, reach[d]);
    memo_.Insert(key, total);
    return total;
  }

  /*
   * A bound on how many live tickets one combination of the reach can lack
   * a horse of, tighter than row by row: the rows left are taken in pairs,
   * and for each pair the most tickets any two horses of it leave out
   * together (in one race, two different horses). A pair leaves out at least
   * as many as the better of its rows alone, so the work stops once the
   * bound is sure to reach size, as it then proves nothing.
   */
  int MostLeftOutByPairs(std::size_t d, TicketSet live, const Rows& reach, const std::array<int, kRowCount>& leftOut,
                         int size) const {
    // floor[r]: at least what the pairs from row r on add.
    std::array<int, kRowCount + 2> floor{};
    for (std::size_t r = rowCount_; r-- > d;) {
      floor[r] = (r + 1 < rowCount_ ? std::max(leftOut[r], leftOut[r + 1]) : leftOut[r]) + floor[std::min(r + 2, rowCount_)];
    }
    int bound = 0;
    std::size_t r = d;
    for (; r + 1 < rowCount_; r += 2) {
      const int most = size - (bound + floor[r + 2]);  // the pair can prove nothing past this
      int fewest = size;
      ForEachHorse(reach[r], [&](int h) {
        if (size - fewest >= most) return;
        const TicketSet first = live & holders_[r][static_cast<std::size_t>(h)];
        ForEachHorse(reach[r + 1], [&](int g) {
          if (oneRace_ && g == h) return;
          fewest = std::min(fewest, (first & holders_[r + 1][static_cast<std::size_t>(g)]).Size());
        });
      });
      bound += size - fewest;
      if (bound + floor[r + 2] >= size) return size;
    }
    if (r < rowCount_) bound += leftOut[r];
    return bound;
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

  // The pairs of the last two rows free of the used horses.
  PairGrid FreePairs(HorseMask used) const {
    PairGrid free = allPairs_;
    ForEachHorse(used & kTwenty, [&](int h) {
      const PairGrid& without = withoutHorse_[static_cast<std::size_t>(h)];
      for (std::size_t w = 0; w < PairGrid::kWords; ++w) free.words[w] &= without.words[w];
    });
    return free;
  }

  /*
   * The union over the last few rows (four at most), taken horse by horse
   * down to the last two rows, whose union is that of the live tickets'
   * grids. A grid union that has every pair any live ticket of the part has
   * takes no more tickets.
   */
  CombinationCount LastRows(std::size_t d, TicketSet live, HorseMask used) const {
    PairGrid all;
    live.ForEach([&](std::size_t k) { all |= tails_[k]; });
    const int allCount = all.CountWithin(allPairs_);
    return LastRowsFrom(d, live, used, all, allCount);
  }

  CombinationCount LastRowsFrom(std::size_t r, TicketSet live, HorseMask used, const PairGrid& all, int allCount) const {
    if (r + 2 == rowCount_) {
      // The grid words are held in locals so that they stay in registers.
      static_assert(PairGrid::kWords == 7);
      std::uint64_t p0 = 0, p1 = 0, p2 = 0, p3 = 0, p4 = 0, p5 = 0, p6 = 0;
      bool full = false;
      auto add = [&](std::size_t k) {
        const std::array<std::uint64_t, PairGrid::kWords>& tail = tails_[k].words;
        p0 |= tail[0], p1 |= tail[1], p2 |= tail[2], p3 |= tail[3], p4 |= tail[4], p5 |= tail[5], p6 |= tail[6];
        const std::array<std::uint64_t, PairGrid::kWords>& a = all.words;
        full = ((p0 ^ a[0]) | (p1 ^ a[1]) | (p2 ^ a[2]) | (p3 ^ a[3]) | (p4 ^ a[4]) | (p5 ^ a[5]) | (p6 ^ a[6])) == 0;
      };
      for (std::uint64_t bits = live.low; bits != 0 && !full; bits &= bits - 1) add(static_cast<std::size_t>(LowestBit(bits)));
      for (std::uint64_t bits = live.high; bits != 0 && !full; bits &= bits - 1) add(64 + static_cast<std::size_t>(LowestBit(bits)));
      if (full && used == 0) return allCount;
      const PairGrid pairs{{p0, p1, p2, p3, p4, p5, p6}};
      return pairs.CountWithin(used != 0 ? FreePairs(used) : allPairs_);
    }
    CombinationCount total = 0;
    for (std::size_t h = 0; h < kSlotCount; ++h) {
      const HorseMask horse = HorseMask{1} << h;
      if ((used & horse) != 0) continue;
      const TicketSet holding = live & holders_[r][h];
      if (!holding.Empty()) total += LastRowsFrom(r + 1, holding, oneRace_ ? used | horse : used, all, allCount);
    }
    return total;
  }

  /*
   * The union by inclusion-exclusion: the sum over nonempty subsets of the
   * live tickets of their common combinations, with alternating signs,
   * taken depth first with the common rows carried down. A subset with none
   * in common has no superset with any, so its branch ends. And when a
   * ticket still to come holds all of a subset's common rows, adding it or
   * not gives the same common rows with opposite signs, so the subset's
   * branch sums to zero and is skipped.
   */
  CombinationCount BySubsets(std::size_t d, TicketSet live, HorseMask used) const {
    std::array<std::size_t, kSmallSet> members{};
    std::size_t count = 0;
    live.ForEach([&](std::size_t k) { members[count++] = k; });
    auto branch = [&](auto& self, std::size_t from, const Rows& common, CombinationCount sign) -> CombinationCount {
      for (std::size_t j = from; j < count; ++j) {
        bool holdsAll = true;
        for (std::size_t r = d; r < rowCount_ && holdsAll; ++r) holdsAll = (common[r] & ~tickets_[members[j]][r]) == 0;
        if (holdsAll) return 0;
      }
      const CombinationCount shared = CountSpan(oneRace_, common, d, rowCount_);
      if (shared == 0) return 0;
      CombinationCount total = sign * shared;
      for (std::size_t j = from; j < count; ++j) {
        Rows next{};
        bool empty = false;
        for (std::size_t r = d; r < rowCount_ && !empty; ++r) {
          next[r] = common[r] & tickets_[members[j]][r];
          empty = next[r] == 0;
        }
        if (!empty) total += self(self, j + 1, next, -sign);
      }
      return total;
    };
    CombinationCount total = 0;
    for (std::size_t j = 0; j < count; ++j) {
      Rows rows{};
      for (std::size_t r = d; r < rowCount_; ++r) rows[r] = tickets_[members[j]][r] & ~used;
      total += branch(branch, j + 1, rows, 1);
    }
    return total;
  }

  bool oneRace_;
  std::size_t rowCount_;
  std::vector<Rows> tickets_;
  std::vector<PairGrid> tails_;  // each ticket's last two rows as a grid
  static inline const PairGrid allPairs_ = GridOf(kTwenty, kTwenty, false);  // every pair of horses
  static inline const std::array<PairGrid, kSlotCount> withoutHorse_ = [] {  // every pair without horse h
    std::array<PairGrid, kSlotCount> grids;
    for (std::size_t h = 0; h < kSlotCount; ++h) {
      const HorseMask others = kTwenty & ~(HorseMask{1} << h);
      grids[h] = GridOf(others, others, false);
    }
    return grids;
  }();
  TicketSet all_;
  std::array<std::array<TicketSet, kSlotCount>, kRowCount> holders_{};  // [row][horse]: the tickets holding it
  Memo<Key, KeyHash> memo_;
  StopWatch& stop_;
};

/*
 * The union of any number of tickets, each with no empty row. Long lists of
 * live tickets are split on their row as above, kept as lists of ticket
 * numbers so a part costs time in proportion to its tickets, with the same
 * shortcuts where they cost no more than that: a ticket that holds the whole
 * reach, tickets all short of it in one row at most, the bound row by row on
 * the tickets one combination can lack, the last two rows at once. Once a
 * part has at most 128 live tickets it is counted as a small union of their
 * remaining rows.
 */
class LargeUnion {
 public:
  LargeUnion(bool oneRace, std::vector<Rows> tickets, std::size_t rowCount, StopWatch& stop)
      : oneRace_(oneRace), rowCount_(rowCount), tickets_(std::move(tickets)), stop_(stop) {}

  CombinationCount Count() {
    std::vector<std::uint32_t> live(tickets_.size());
    std::iota(live.begin(), live.end(), std::uint32_t{0});
    return Covered(0, live, 0);
  }

 private:
  // The union, over rows d onward, of up to 128 live tickets.
  CombinationCount SmallPart(std::size_t d, std::span<const std::uint32_t> live, HorseMask used) const {
    std::vector<Rows> rest;
    rest.reserve(live.size());
    for (std::uint32_t k : live) {
      Rows rows{};
      for (std::size_t r = d; r < rowCount_; ++r) rows[r - d] = tickets_[k][r] & ~used;
      rest.push_back(rows);
    }
    return SmallUnion(oneRace_, rest, rowCount_ - d, stop_).Count();
  }

  CombinationCount Covered(std::size_t d, std::vector<std::uint32_t> live, HorseMask used) {
    if (stop_.Stopped()) return 0;
    const std::size_t left = rowCount_ - d;
    // Drop the tickets a used horse has emptied a row of, and find the reach.
    Rows reach{};
    std::erase_if(live, [&](std::uint32_t k) {
      for (std::size_t r = d; r < rowCount_; ++r) {
        if ((tickets_[k][r] & ~used) == 0) return true;
      }
      for (std::size_t r = d; r < rowCount_; ++r) reach[r] |= tickets_[k][r] & ~used;
      return false;
    });
    if (live.empty()) return 0;
    if (left == 1) return CountBits(reach[d]);
    if (left == 2) {
      std::array<HorseMask, kSlotCount> second{};
      for (std::uint32_t k : live) {
        const HorseMask next = tickets_[k][d + 1] & ~used;
        ForEachHorse(tickets_[k][d] & ~used, [&](int h) { second[static_cast<std::size_t>(h)] |= next; });
      }
      CombinationCount total = 0;
      for (std::size_t h = 0; h < kSlotCount; ++h) total += CountBits(oneRace_ ? second[h] & ~(HorseMask{1} << h) : second[h]);
      return total;
    }

    if (live.size() <= kSmallSet) return SmallPart(d, live, used);

    const CombinationCount whole = CountSpan(oneRace_, reach, d, rowCount_);
    Rows shortOf{};
    bool slabs = true;
    // heldInRow[r]: the horses the live tickets hold in row r, counted over
    // all tickets.
    std::array<std::size_t, kRowCount> heldInRow{};
    for (std::uint32_t k : live) {
      std::size_t shortRows = 0;
      std::size_t shortRow = 0;
      for (std::size_t r = d; r < rowCount_; ++r) {
        const HorseMask row = tickets_[k][r] & ~used;
        if ((reach[r] & ~row) != 0) ++shortRows, shortRow = r;
        heldInRow[r] += static_cast<std::size_t>(CountBits(row));
      }
      if (shortRows == 0) return whole;
      if (shortRows == 1) shortOf[shortRow] |= tickets_[k][shortRow] & ~used;
      slabs = slabs && shortRows <= 1;
    }
    if (slabs) {
      Rows open{};
      for (std::size_t r = d; r < rowCount_; ++r) open[r] = reach[r] & ~shortOf[r];
      return whole - CountSpan(oneRace_, open, d, rowCount_);
    }
    // The bound row by row on the tickets one combination can lack. A row's
    // best horse is missing from at least as many tickets as its horses are
    // on average, so when those averages already add up to all the tickets
    // the bound cannot end the part, and the horses are not counted one by one.
    std::size_t leastLeftOut = 0;
    for (std::size_t r = d; r < rowCount_; ++r) {
      const auto horses = static_cast<std::size_t>(CountBits(reach[r]));
      leastLeftOut += live.size() - std::min(live.size(), heldInRow[r] / horses);
    }
    if (leastLeftOut < live.size()) {
      std::array<std::array<std::uint32_t, kSlotCount>, kRowCount> held{};  // [r][h]: live tickets holding h in row r
      for (std::uint32_t k : live) {
        for (std::size_t r = d; r < rowCount_; ++r) {
          ForEachHorse(tickets_[k][r] & ~used, [&](int h) { ++held[r][static_cast<std::size_t>(h)]; });
        }
      }
      std::size_t mostLeftOut = 0;
      for (std::size_t r = d; r < rowCount_; ++r) {
        std::uint32_t fewest = static_cast<std::uint32_t>(live.size());
        ForEachHorse(reach[r], [&](int h) { fewest = std::min(fewest, held[r][static_cast<std::size_t>(h)]); });
        mostLeftOut += live.size() - fewest;
      }
      if (mostLeftOut < live.size()) return whole;
    }
    // Many tickets over few rows often cover the reach whole, and the first
    // (largest) 128 of them alone may show it quickly.
    if (left <= kTrySomeUpTo && SmallPart(d, std::span<const std::uint32_t>(live).first(kSmallSet), used) == whole) return whole;

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
      total += alike * Covered(d + 1, std::move(parts[h]), used | gone);
    }
    return total;
  }

  bool oneRace_;
  std::size_t rowCount_;
  std::vector<Rows> tickets_;
  StopWatch& stop_;
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

/*
 * The distinct count of one bet type's tickets: their rows, empty tickets and
 * repeats dropped, rows and tickets put in the order the split likes best.
 */
CombinationCount CountOneType(std::span<const Ticket> tickets, BetType betType, StopWatch& stop) {
  const auto rowCount = static_cast<std::size_t>(RowCountOf(betType));
  std::vector<Rows> rowsOfType;
  for (const Ticket& ticket : tickets) {
    if (ticket.betType != betType) continue;
    Rows rows{};  // rows the bet type does not use take no part
    bool empty = false;
    for (std::size_t r = 0; r < rowCount; ++r) {
      rows[r] = ticket.rows[r] & kTwenty;
      empty = empty || rows[r] == 0;
    }
    if (!empty) rowsOfType.push_back(rows);
  }
  if (rowsOfType.empty()) return 0;
  // The same ticket twice adds nothing.
  std::sort(rowsOfType.begin(), rowsOfType.end());
  rowsOfType.erase(std::unique(rowsOfType.begin(), rowsOfType.end()), rowsOfType.end());
  OrderRows(rowsOfType, rowCount);
  const bool oneRace = IsPositionBet(betType);
  // Larger tickets first: a union of them is more often complete early.
  std::stable_sort(rowsOfType.begin(), rowsOfType.end(), [&](const Rows& a, const Rows& b) {
    return CountSpan(false, a, 0, rowCount) > CountSpan(false, b, 0, rowCount);
  });
  return rowsOfType.size() <= kSmallSet ? SmallUnion(oneRace, rowsOfType, rowCount, stop).Count()
                                        : LargeUnion(oneRace, std::move(rowsOfType), rowCount, stop).Count();
}

}  // namespace

std::optional<DistinctByBetType> CountDistinctByBetType(std::span<const Ticket> tickets, const std::atomic<bool>& cancelled) {
  std::array<bool, kBetTypeCount> present{};
  for (const Ticket& ticket : tickets) {
    if (IsValidBetType(ticket.betType)) present[static_cast<std::size_t>(ticket.betType)] = true;
  }
  StopWatch stop(cancelled);
  DistinctByBetType counts;
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    if (!present[static_cast<std::size_t>(betType)]) continue;
    if (cancelled.load(std::memory_order_relaxed)) return std::nullopt;
    const CombinationCount count = CountOneType(tickets, betType, stop);
    // Once the flag was seen the parts after it answered 0, so the count is
    // short; a count that ended before the flag was seen is whole and kept.
    if (stop.SeenStop()) return std::nullopt;
    counts.emplace_back(betType, count);
  }
  return counts;
}

std::optional<CombinationCount> CountDistinct(std::span<const Ticket> tickets, const std::atomic<bool>& cancelled) {
  const std::optional<DistinctByBetType> counts = CountDistinctByBetType(tickets, cancelled);
  if (!counts) return std::nullopt;
  CombinationCount total = 0;
  for (const auto& [betType, count] : *counts) total += count;
  return total;
}

CombinationCount CountDistinct(std::span<const Ticket> tickets) {
  const std::atomic<bool> never{false};
  return *CountDistinct(tickets, never);
}

}  // namespace tallyhorn

#include "cli/overlap.h"

#include <array>
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "calc/counting.h"

namespace tallyhorn::cli {
namespace {

using Rows = std::array<HorseMask, kRowCount>;

struct Member {
  Rows rows;
  CombinationCount count;
};

// True when every row of inner lies within the same row of outer, so every
// combination of inner is one of outer's.
bool Within(const Rows& inner, const Rows& outer) {
  for (std::size_t r = 0; r < inner.size(); ++r) {
    if ((inner[r] & ~outer[r]) != 0) return false;
  }
  return true;
}

// Lists up to this long are always counted by inclusion-exclusion; longer
// ones are split on their first row when that looks like less work (see
// UnionCounter).
constexpr std::size_t kSplitAbove = 8;

// Work figures are rough operation counts, held at this value instead of
// overflowing.
constexpr std::uint64_t kEndlessWork = std::uint64_t{1} << 62;

std::uint64_t TimesHeld(std::uint64_t a, std::uint64_t b) {
  return b != 0 && a > kEndlessWork / b ? kEndlessWork : a * b;
}

std::uint64_t PlusHeld(std::uint64_t a, std::uint64_t b) { return a + b > kEndlessWork ? kEndlessWork : a + b; }

/*
 * Counts the union of sets of combinations of one bet type. A list of
 * members lives in a stretch of one shared stack, so the recursion allocates
 * nothing once the stack has grown to its deepest. Every member of a list
 * spans the same rows, the last rowCount rows of the bet type, stored from
 * index 0 with the rows after them empty.
 *
 * Short lists are counted by inclusion-exclusion. The union of T1..Tn is the
 * sum over i of what Ti adds to T1..Ti-1: the size of Ti less the size of the
 * union of (T1 and Ti), ..., (Ti-1 and Ti), where "and" is the row-by-row
 * intersection; that second union is of the same kind and is counted the
 * same way. Fully unrolled this is inclusion-exclusion over subsets of
 * tickets; the recursion leaves out every subset whose intersection is
 * already empty and every intersection that lies within another one of its
 * list (it adds nothing to their union).
 *
 * That is exponential in the number of tickets that all meet, so a long list
 * is split instead: the combinations whose first horse is h are those of the
 * members holding h in their first row, less that row (and, in one race,
 * less horse h in the rows left, since no horse runs twice). Each part is a
 * union of the same kind over one row fewer, and usually of far fewer
 * members, or of members that now lie within one another. In separate races
 * the horses held by exactly the same members give the same part, which is
 * counted once.
 */
class UnionCounter {
 public:
  explicit UnionCounter(BetType betType) : oneRace_(IsPositionBet(betType)) {}

  // Adds a member over the given number of rows to the list that starts at
  // listBegin and ends at the top of the stack, unless it adds no
  // combination to that list.
  void Add(const Rows& rows, std::size_t rowCount, std::size_t listBegin) {
    const CombinationCount count = Count(rows, rowCount);
    if (count == 0) return;
    for (std::size_t k = listBegin; k < stack_.size();) {
      if (Within(rows, stack_[k].rows)) return;
      if (Within(stack_[k].rows, rows)) {
        stack_[k] = stack_.back();
        stack_.pop_back();
      } else {
        ++k;
      }
    }
    stack_.push_back(Member{rows, count});
  }

  // The union of the list from begin to the top of the stack, whose members
  // span rowCount rows.
  CombinationCount Union(std::size_t begin, std::size_t rowCount) {
    const std::size_t end = stack_.size();
    if (end - begin <= 1) return end == begin ? 0 : stack_[begin].count;
    if (rowCount == 1) {
      HorseMask horses = 0;
      for (std::size_t i = begin; i < end; ++i) horses |= stack_[i].rows[0];
      return std::popcount(horses);
    }
    if (end - begin > kSplitAbove && SplitPaysOff(begin, rowCount)) return SplitOnFirstRow(begin, rowCount);

    CombinationCount total = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const std::size_t shared = stack_.size();
      for (std::size_t j = begin; j < i; ++j) {
        Rows common{};
        for (std::size_t r = 0; r < rowCount; ++r) common[r] = stack_[i].rows[r] & stack_[j].rows[r];
        Add(common, rowCount, shared);
      }
      total += stack_[i].count - Union(shared, rowCount);
      stack_.resize(shared);
    }
    return total;
  }

 private:
  // The combinations of one member; a row with no horse gives 0 at once.
  CombinationCount Count(const Rows& rows, std::size_t rowCount) const {
    for (std::size_t r = 0; r < rowCount; ++r) {
      if (rows[r] == 0) return 0;
    }
    const std::span<const HorseMask> used = std::span<const HorseMask>(rows).first(rowCount);
    return oneRace_ ? CountOrderedDistinct(used) : CountPick(used);
  }

  // True when every member of the list from begin to end holds horse h in
  // its first row exactly when it holds horse g there.
  bool SameHolders(std::size_t begin, std::size_t end, int h, int g) const {
    for (std::size_t i = begin; i < end; ++i) {
      if (((stack_[i].rows[0] >> h) & 1u) != ((stack_[i].rows[0] >> g) & 1u)) return false;
    }
    return true;
  }

  // The work inclusion-exclusion may take over a list: at worst it visits
  // every subset of the members, each counted at a price that grows with
  // the rows (the one-race count goes over pairs of sets of rows).
  std::uint64_t SubsetWork(std::size_t members, std::size_t rowCount) const {
    std::uint64_t price = rowCount;
    if (oneRace_) {
      price = 1;
      for (std::size_t r = 0; r < rowCount; ++r) price *= 3;
    }
    return TimesHeld(members >= 62 ? kEndlessWork : std::uint64_t{1} << members, price);
  }

  // The work splitting may take down to the last row: at worst it visits
  // every choice of horses for the rows before it, each with a part built
  // in time that grows with the square of its members.
  static std::uint64_t SplitWork(std::size_t members, std::size_t rowCount) {
    std::uint64_t work = std::uint64_t{members} * members;
    for (std::size_t r = 1; r < rowCount; ++r) work = TimesHeld(work, kSlotCount);
    return work;
  }

  // Whether splitting the list on its first row is likely to take less work
  // than inclusion-exclusion over it, judged by the sizes of its parts, each
  // taken at the smaller of its two bounds.
  bool SplitPaysOff(std::size_t begin, std::size_t rowCount) {
    const std::size_t members = stack_.size() - begin;
    std::uint64_t work = 0;
    WalkParts(begin, rowCount, [&](CombinationCount, std::size_t part) {
      const std::size_t partMembers = stack_.size() - part;
      work = PlusHeld(work, std::min(SubsetWork(partMembers, rowCount - 1), SplitWork(partMembers, rowCount - 1)));
    });
    return work <= SubsetWork(members, rowCount);
  }

  // The union of the list from begin to the top of the stack, summed over
  // the horse in the first row.
  CombinationCount SplitOnFirstRow(std::size_t begin, std::size_t rowCount) {
    CombinationCount total = 0;
    WalkParts(begin, rowCount, [&](CombinationCount alike, std::size_t part) {
      total += alike * Union(part, rowCount - 1);
    });
    return total;
  }

  /*
   * Builds, one at a time at the top of the stack, the parts of the list
   * from begin: for each horse h of the first row, the members holding h,
   * less their first row (and, in one race, less horse h). Calls
   * visit(alike, partBegin) for each part, alike being the number of horses
   * whose part it is, and removes the part afterwards.
   */
  template <typename Visit>
  void WalkParts(std::size_t begin, std::size_t rowCount, Visit visit) {
    const std::size_t end = stack_.size();
    HorseMask firstRow = 0;
    for (std::size_t i = begin; i < end; ++i) firstRow |= stack_[i].rows[0];

    HorseMask counted = 0;
    for (int h = 0; h < kSlotCount; ++h) {
      const HorseMask horse = HorseMask{1} << h;
      if ((firstRow & horse) == 0 || (counted & horse) != 0) continue;
      // In separate races, horses held by the same members share one part.
      CombinationCount alike = 1;
      if (!oneRace_) {
        for (int g = h + 1; g < kSlotCount; ++g) {
          const HorseMask other = HorseMask{1} << g;
          if ((firstRow & other) != 0 && (counted & other) == 0 && SameHolders(begin, end, h, g)) {
            counted |= other;
            ++alike;
          }
        }
      }

      const std::size_t part = stack_.size();
      const HorseMask keep = oneRace_ ? ~horse : ~HorseMask{0};
      for (std::size_t i = begin; i < end; ++i) {
        if ((stack_[i].rows[0] & horse) == 0) continue;
        Rows rest{};
        for (std::size_t r = 1; r < rowCount; ++r) rest[r - 1] = stack_[i].rows[r] & keep;
        Add(rest, rowCount - 1, part);
      }
      visit(alike, part);
      stack_.resize(part);
    }
  }

  bool oneRace_;
  std::vector<Member> stack_;
};

}  // namespace

CombinationCount CountDistinct(std::span<const Ticket> tickets) {
  CombinationCount total = 0;
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    UnionCounter counter(betType);
    const std::size_t rowCount = static_cast<std::size_t>(RowCountOf(betType));
    for (const Ticket& ticket : tickets) {
      if (ticket.betType != betType) continue;
      Rows rows{};  // rows the bet type does not use take no part
      for (std::size_t r = 0; r < rowCount; ++r) rows[r] = ticket.rows[r];
      counter.Add(rows, rowCount, 0);
    }
    total += counter.Union(0, rowCount);
  }
  return total;
}

}  // namespace tallyhorn::cli

#include "cli/overlap.h"

#include <array>
#include <cstddef>
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

/*
 * Counts the union of sets of combinations of one bet type. A list of
 * members lives in a stretch of one shared stack, so the recursion allocates
 * nothing once the stack has grown to its deepest.
 *
 * The union of T1..Tn is the sum over i of what Ti adds to T1..Ti-1: the
 * size of Ti less the size of the union of (T1 and Ti), ..., (Ti-1 and Ti),
 * where "and" is the row-by-row intersection; that second union is of the
 * same kind and is counted the same way. Fully
 * unrolled this is inclusion-exclusion over subsets of tickets; the
 * recursion leaves out every subset whose intersection is already empty and
 * every intersection that lies within another one of its list (it adds
 * nothing to their union), which is what keeps realistic ticket sets fast.
 */
class UnionCounter {
 public:
  explicit UnionCounter(BetType betType) : betType_(betType), rowCount_(static_cast<std::size_t>(RowCountOf(betType))) {}

  // Adds a member to the list that starts at listBegin and ends at the top of
  // the stack, unless it adds no combination to that list.
  void Add(const Rows& rows, std::size_t listBegin) {
    const CombinationCount count = Count(rows);
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

  // The union of the list from begin to the top of the stack.
  CombinationCount Union(std::size_t begin) {
    const std::size_t end = stack_.size();
    CombinationCount total = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const std::size_t shared = stack_.size();
      for (std::size_t j = begin; j < i; ++j) {
        Rows common{};
        for (std::size_t r = 0; r < rowCount_; ++r) common[r] = stack_[i].rows[r] & stack_[j].rows[r];
        Add(common, shared);
      }
      const CombinationCount repeated = shared < stack_.size() ? Union(shared) : 0;
      total += stack_[i].count - repeated;
      stack_.resize(shared);
    }
    return total;
  }

 private:
  // The combinations of one member; a row with no horse gives 0 at once.
  CombinationCount Count(const Rows& rows) const {
    for (std::size_t r = 0; r < rowCount_; ++r) {
      if (rows[r] == 0) return 0;
    }
    return CountRows(betType_, rows);
  }

  BetType betType_;
  std::size_t rowCount_;
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
      counter.Add(rows, 0);
    }
    total += counter.Union(0);
  }
  return total;
}

}  // namespace tallyhorn::cli

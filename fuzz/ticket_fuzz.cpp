/*
 * Fuzzes CountCombinations and BuildTicket over any WagerState, including
 * values only a corrupted state could hold: bet types outside 0..10, units
 * outside the table, negative or huge field sizes, tick entries other than 0
 * and 1, and a stored count that disagrees with the ticks.
 *
 * Input, read front to back (missing bytes read as zero):
 *   flags      bit 0: one field size for all rows (as the form keeps them for
 *              position bets); bit 1: the stored count is read from the input
 *   bet type   b % 13: 0..10 the table, 11 gives -1, 12 gives 11;
 *              0xFF: the next 4 bytes as a raw int32
 *   unit       b % 9: 0..7 the table, 8 gives b itself; 0xFF: a raw uint32
 *   sizes      1 or 8 of: b % 24: 0..20 as is, 21 gives -1, 22 gives 21,
 *              23 gives 1000; 0xFF: a raw int32
 *   ticks      20 bytes, one bit per box, row by row (bit r * 20 + i)
 *   count      with flag bit 1: 8 bytes, a raw int64
 *   probe      1 byte: a row count and row index for the helpers
 *   overrides  the rest, 5 bytes each: box index % 160, then a raw int32
 *              written into that box
 *
 * Checked: no out-of-bounds access or undefined behaviour (ASan, UBSan); the
 * count is never negative and equals the plain enumeration wherever the
 * enumeration walks at most kEnumerationLimit tuples (and a pruned walk over
 * the ticked horses where that fits a step budget); every text is
 * NUL-terminated inside its buffer; and the ticket, count and cost texts are
 * exactly what the ticked horses below each row's field and the stored count
 * make.
 */
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "calc/counting.h"
#include "calc/format.h"
#include "calc/ticket.h"
#include "calc/wager.h"
#include "tests/reference/reference_count.h"

namespace {

using namespace tallyhorn;

constexpr std::int64_t kEnumerationLimit = 200'000;
constexpr std::int64_t kBacktrackBudget = 300'000;
constexpr int kBoxCount = kRowCount * kSlotCount;

// Bytes of the input in order; zero once they run out.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint32_t Word() {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word |= std::uint32_t{Byte()} << (8 * i);
    return word;
  }
  std::uint64_t Quad() {
    const std::uint64_t low = Word();
    return low | (std::uint64_t{Word()} << 32);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

constexpr std::uint8_t kRawValue = 0xFF;

// The bet type, mostly from the table, sometimes just outside or anything.
BetType ReadBetType(ByteReader& in) {
  const std::uint8_t b = in.Byte();
  if (b == kRawValue) return static_cast<BetType>(in.Word());
  const int pick = b % 13;
  return pick <= 10 ? pick : (pick == 11 ? -1 : 11);
}

// The unit, mostly one of the eight prices, sometimes any number of cents.
UnitCents ReadUnit(ByteReader& in) {
  const std::uint8_t b = in.Byte();
  if (b == kRawValue) return in.Word();
  const int pick = b % 9;
  return pick < kUnitCount ? UnitAmountTable[static_cast<std::size_t>(pick)].cents : UnitCents{b};
}

// A field size, mostly 0 to 20, sometimes negative, above 20 or anything.
FieldSize ReadFieldSize(ByteReader& in) {
  const std::uint8_t b = in.Byte();
  if (b == kRawValue) return static_cast<FieldSize>(in.Word());
  constexpr std::array<FieldSize, 3> kOutside{-1, 21, 1000};
  const int pick = b % 24;
  return pick <= kMaxFieldSize ? pick : kOutside[static_cast<std::size_t>(pick - kMaxFieldSize - 1)];
}

// Prints the state that broke a check, then stops the run as a crash.
[[noreturn]] void Fail(const char* what, const WagerState& state) {
  std::fprintf(stderr, "ticket_fuzz: %s\n  betType %d, unitCents %u, combinationCount %lld\n", what,
               static_cast<int>(state.betType), static_cast<unsigned>(state.unitCents),
               static_cast<long long>(state.combinationCount));
  for (std::size_t r = 0; r < kRowCount; ++r) {
    std::fprintf(stderr, "  row %zu field %d:", r, static_cast<int>(state.fieldSize[r]));
    for (std::size_t i = 0; i < kSlotCount; ++i) {
      if (state.selections[r][i] != 0) std::fprintf(stderr, " %zu=%d", i + 1, static_cast<int>(state.selections[r][i]));
    }
    std::fprintf(stderr, "\n");
  }
  std::abort();
}

// Stops the run with the state when a check does not hold.
void Require(bool holds, const char* what, const WagerState& state) {
  if (!holds) Fail(what, state);
}

// The horses of each row worked out here on their own: nonzero boxes below
// the row's field size, a negative size offering none and a size above 20
// offering all twenty.
std::array<HorseMask, kRowCount> HorsesBelowFields(const WagerState& state) {
  std::array<HorseMask, kRowCount> horses{};
  for (std::size_t r = 0; r < kRowCount; ++r) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (slot < state.fieldSize[r] && state.selections[r][static_cast<std::size_t>(slot)] != 0) {
        horses[r] |= HorseMask{1} << slot;
      }
    }
  }
  return horses;
}

// Ordered tuples of distinct horses, one from each of the first `rows` rows,
// walked over ticked horses only. Gives up (returns -1) past a step budget.
// Like the reference count, it is a yardstick and gets no coverage feedback.
class Backtracker {
 public:
  Backtracker(const std::array<HorseMask, kRowCount>& horses, int rows) : horses_(horses), rows_(rows) {}

  std::int64_t Count() { return Walk(0, 0) ? count_ : -1; }

 private:
  __attribute__((no_sanitize("coverage"))) bool Walk(int row, HorseMask used) {
    if (row == rows_) {
      ++count_;
      return true;
    }
    for (HorseMask free = horses_[static_cast<std::size_t>(row)] & ~used; free != 0; free &= free - 1) {
      if (++steps_ > kBacktrackBudget) return false;
      if (!Walk(row + 1, used | (free & (~free + 1)))) return false;
    }
    return true;
  }

  const std::array<HorseMask, kRowCount>& horses_;
  int rows_;
  std::int64_t count_ = 0;
  std::int64_t steps_ = 0;
};

// The count against the horses below the fields, the state-reading helpers
// and the yardsticks, as far as they can walk the tuples.
void CheckCount(const WagerState& state, const std::array<HorseMask, kRowCount>& horses, CombinationCount count) {
  Require(count >= 0, "negative count", state);
  for (Row r = 0; r < kRowCount; ++r) {
    Require(RowHorses(state, r) == horses[static_cast<std::size_t>(r)], "RowHorses differs from the ticked boxes below the field", state);
  }
  if (!IsValidBetType(state.betType)) {
    Require(count == 0, "bet type outside the table counted", state);
    return;
  }
  const int rows = RowCountOf(state.betType);
  if (IsPositionBet(state.betType)) {
    Require(count == CountOrderedDistinct(state, rows), "CountCombinations differs from CountOrderedDistinct", state);
    if (reference::TupleSpace(state) <= kEnumerationLimit) {
      Require(count == reference::CountByEnumeration(state), "count differs from the plain enumeration", state);
    }
    const std::int64_t walked = Backtracker(horses, rows).Count();
    Require(walked < 0 || walked == count, "count differs from the walk over ticked horses", state);
  } else {
    Require(count == CountPick(state, rows), "CountCombinations differs from CountPick", state);
    Require(count == reference::CountByEnumeration(state), "count differs from the plain product", state);
  }
}

// The row-count helpers and the table lookups with a row count or row index
// the state does not dictate: out of range they give 0 or "", never a fault.
void CheckHelpers(const WagerState& state, const std::array<HorseMask, kRowCount>& horses, std::uint8_t probe) {
  const int n = static_cast<std::int8_t>(probe);
  const CombinationCount distinct = CountOrderedDistinct(state, n);
  const CombinationCount pick = CountPick(state, n);
  Require(distinct >= 0 && pick >= 0, "negative count from a helper", state);
  if (n < 1 || n > kRowCount) Require(distinct == 0 && pick == 0, "row count outside 1..8 counted", state);
  Require(CountExacta(state) == CountOrderedDistinct(state, 2), "CountExacta differs from two ordered rows", state);
  const HorseMask rowHorses = n >= 0 && n < kRowCount ? horses[static_cast<std::size_t>(n)] : 0u;
  Require(RowHorses(state, n) == rowHorses, "row outside 0..7 has horses", state);
  const char* label = RowLabel(state.betType, n);
  Require(label != nullptr, "row label is null", state);
  if (n < 0 || n >= RowCountOf(state.betType)) Require(*label == '\0', "inactive row has a label", state);
  const int unit = UnitIndexOf(state.unitCents);
  Require(unit >= -1 && unit < kUnitCount, "unit index outside the table", state);
  if (unit >= 0) Require(UnitAmountTable[static_cast<std::size_t>(unit)].cents == state.unitCents, "unit index points elsewhere", state);
}

// The text in a fixed buffer, which must hold its terminator.
std::string_view TextIn(const char* buffer, std::size_t capacity, const char* what, const WagerState& state) {
  const void* end = std::memchr(buffer, '\0', capacity);
  Require(end != nullptr, what, state);
  return std::string_view(buffer, static_cast<std::size_t>(static_cast<const char*>(end) - buffer));
}

struct ExpectedTexts {
  std::string ticket;
  std::string countText;
  std::string costText;
};

// The three texts as the ticket's rules describe them, built from the
// independently worked-out horses.
ExpectedTexts ExpectTexts(const WagerState& state, const std::array<HorseMask, kRowCount>& horses) {
  if (state.combinationCount == 0 || !IsValidBetType(state.betType)) return {"", "", "Bets: 0  Total: $0"};

  ExpectedTexts texts;
  std::string& ticket = texts.ticket;
  ticket = "$" + std::to_string(state.unitCents / 100);
  if (state.unitCents % 100 != 0) {
    const unsigned cents = state.unitCents % 100;
    ticket += "." + std::string(cents < 10 ? "0" : "") + std::to_string(cents);
  }
  ticket += std::string(" ") + BetTypeTable[static_cast<std::size_t>(state.betType)].name + ":";
  for (int r = 0; r < RowCountOf(state.betType); ++r) {
    ticket += " ";
    std::string row;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if ((horses[static_cast<std::size_t>(r)] >> slot) & 1u) row += (row.empty() ? "" : ",") + std::to_string(slot + 1);
    }
    if (!row.empty()) ticket += row + " /";
  }
  if (ticket.size() >= 2) ticket.resize(ticket.size() - 2);

  std::int64_t cost = 0;
  const bool costTooLarge = state.combinationCount < 0 ||
                            __builtin_mul_overflow(static_cast<std::int64_t>(state.unitCents), state.combinationCount, &cost);
  texts.countText = " " + std::string(FormatCount(state.combinationCount).view());
  texts.costText = " $" + std::string(costTooLarge ? kOverOneBillion : FormatAmount(cost, true).view());
  ticket += "\r\nBets: " + texts.countText + "  Total: " + texts.costText + " ";
  return texts;
}

// BuildTicket's three texts: terminated inside their buffers and equal, byte
// for byte, to the texts the horses and the stored count make.
void CheckTicket(const WagerState& state, const std::array<HorseMask, kRowCount>& horses) {
  const TicketTexts texts = BuildTicket(state);
  const std::string_view ticket = TextIn(texts.ticket.data(), kTicketCapacity, "ticket not NUL-terminated", state);
  const std::string_view countText = TextIn(texts.countText.data(), kCountTextCapacity, "count text not NUL-terminated", state);
  const std::string_view costText = TextIn(texts.costText.data(), kCostTextCapacity, "cost text not NUL-terminated", state);

  const ExpectedTexts expected = ExpectTexts(state, horses);
  if (ticket != expected.ticket || countText != expected.countText || costText != expected.costText) {
    std::fprintf(stderr, "  ticket   \"%.*s\"\n  expected \"%s\"\n  count \"%.*s\" expected \"%s\"\n  cost \"%.*s\" expected \"%s\"\n",
                 static_cast<int>(ticket.size()), ticket.data(), expected.ticket.c_str(), static_cast<int>(countText.size()),
                 countText.data(), expected.countText.c_str(), static_cast<int>(costText.size()), costText.data(),
                 expected.costText.c_str());
    Fail("ticket texts differ from the horses and the stored count", state);
  }
}

}  // namespace

// One input: decode the state, count, check the count, then build the ticket
// from the computed or the input's stored count and check it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  WagerState state;
  const std::uint8_t flags = in.Byte();
  state.betType = ReadBetType(in);
  state.unitCents = ReadUnit(in);
  if ((flags & 1u) != 0) {
    state.fieldSize.fill(ReadFieldSize(in));
  } else {
    for (FieldSize& field : state.fieldSize) field = ReadFieldSize(in);
  }
  for (int box = 0; box < kBoxCount; box += 8) {
    const std::uint8_t bits = in.Byte();
    for (int bit = 0; bit < 8; ++bit) {
      state.selections[static_cast<std::size_t>((box + bit) / kSlotCount)][static_cast<std::size_t>((box + bit) % kSlotCount)] = (bits >> bit) & 1;
    }
  }
  const bool storedFromInput = (flags & 2u) != 0;
  const std::uint64_t storedCount = storedFromInput ? in.Quad() : 0;
  const std::uint8_t probe = in.Byte();
  while (!in.Empty()) {
    const int box = in.Byte() % kBoxCount;
    state.selections[static_cast<std::size_t>(box / kSlotCount)][static_cast<std::size_t>(box % kSlotCount)] = static_cast<std::int32_t>(in.Word());
  }

  const std::array<HorseMask, kRowCount> horses = HorsesBelowFields(state);
  const CombinationCount count = CountCombinations(state);
  CheckCount(state, horses, count);
  CheckHelpers(state, horses, probe);

  state.combinationCount = storedFromInput ? static_cast<CombinationCount>(storedCount) : count;
  CheckTicket(state, horses);
  return 0;
}

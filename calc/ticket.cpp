#include "calc/ticket.h"

#include <bit>
#include <charconv>
#include <limits>

#include "calc/counting.h"
#include "calc/format.h"

namespace tallyhorn {
namespace {

// Appends to a fixed NUL-terminated buffer, silently stopping at its end.
class TextBuffer {
 public:
  explicit TextBuffer(std::span<char> buffer) : buffer_(buffer) { buffer_[0] = '\0'; }

  TextBuffer& Append(std::string_view text) {
    const std::size_t room = buffer_.size() - 1 - length_;
    const std::size_t n = text.size() < room ? text.size() : room;
    text.copy(buffer_.data() + length_, n);
    length_ += n;
    buffer_[length_] = '\0';
    return *this;
  }

  TextBuffer& Append(std::uint64_t number) {
    std::array<char, 20> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
    return Append(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
  }

  // Removes the last n characters; a shorter text is left as it is.
  TextBuffer& DropLast(std::size_t n) {
    if (length_ >= n) length_ -= n;
    buffer_[length_] = '\0';
    return *this;
  }

  // Appends a number as at least two digits, zero-padded.
  TextBuffer& AppendTwoDigits(std::uint64_t number) {
    if (number < 10) Append("0");
    return Append(number);
  }

 private:
  std::span<char> buffer_;
  std::size_t length_ = 0;
};

// unitCents * count in cents, held at the largest value when the product
// does not fit (it is shown as "One Billion+" either way).
std::int64_t CostInCents(UnitCents unitCents, CombinationCount count) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  if (count < 0) return -1;
  if (unitCents != 0 && count > kMax / static_cast<std::int64_t>(unitCents)) return kMax;
  return static_cast<std::int64_t>(unitCents) * count;
}

}  // namespace

TicketTexts BuildTicket(const WagerState& state) {
  TicketTexts texts;
  TextBuffer ticket(texts.ticket);
  TextBuffer countText(texts.countText);
  TextBuffer costText(texts.costText);

  if (state.combinationCount == 0 || !IsValidBetType(state.betType)) {
    costText.Append(kNoBetsCostText);
    return texts;
  }

  // Header: "$1 Trifecta:" or "$0.05 Pick-6:".
  const UnitCents dollars = state.unitCents / 100;
  const UnitCents cents = state.unitCents % 100;
  ticket.Append("$").Append(dollars);
  if (cents != 0) ticket.Append(".").AppendTwoDigits(cents);
  ticket.Append(" ").Append(BetTypeTable[static_cast<std::size_t>(state.betType)].name).Append(":");

  // Rows: each opens with a space and lists its horses as "1,2,"; a row that
  // listed any swaps its last comma for " /", and the final " /" goes at the
  // end. So rows read "1,2 / 5 / 3,4".
  const Row rows = RowCountOf(state.betType);
  for (Row r = 0; r < rows; ++r) {
    const HorseMask horses = RowHorses(state, r);
    ticket.Append(" ");
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if ((horses & (HorseMask{1} << slot)) != 0) ticket.Append(static_cast<std::uint64_t>(slot + 1)).Append(",");
    }
    if (horses != 0) ticket.DropLast(1).Append(" /");
  }
  ticket.DropLast(2);

  const NumberText count = FormatCount(state.combinationCount);
  const NumberText cost = FormatAmount(CostInCents(state.unitCents, state.combinationCount), true);
  countText.Append(" ").Append(count.view());
  costText.Append(" $").Append(cost.view());
  ticket.Append("\r\nBets: ").Append(std::string_view(texts.countText.data())).Append("  ");
  ticket.Append("Total: ").Append(std::string_view(texts.costText.data())).Append(" ");
  return texts;
}

}  // namespace tallyhorn

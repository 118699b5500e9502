#include "calc/figures.h"

#include <array>

namespace tallyhorn {

WideNumber& WideNumber::Add(std::uint64_t value) {
  low_ += value;
  if (low_ < value) ++high_;  // the low half wrapped: carry one
  return *this;
}

WideNumber& WideNumber::AddProduct(std::uint64_t value, std::uint32_t factor) {
  // value * factor = (upper * factor) * 2^32 + lower * factor, each part
  // below 2^64.
  const std::uint64_t lower = (value & 0xFFFFFFFFu) * factor;
  const std::uint64_t upper = (value >> 32) * factor;
  Add(lower);
  high_ += upper >> 32;
  return Add(upper << 32);
}

WideNumber& WideNumber::Subtract(std::uint64_t value) {
  if (low_ < value) --high_;  // the low half wraps: borrow one
  low_ -= value;
  return *this;
}

std::uint32_t WideNumber::DivideBy(std::uint32_t divisor) {
  // Long division over four 32-bit digits, most significant first: each
  // step divides a remainder below divisor, shifted up 32 bits, plus the
  // next digit, which fits 64 bits.
  std::array<std::uint64_t, 4> digits{high_ >> 32, high_ & 0xFFFFFFFFu, low_ >> 32, low_ & 0xFFFFFFFFu};
  std::uint64_t remainder = 0;
  for (std::uint64_t& digit : digits) {
    const std::uint64_t current = (remainder << 32) | digit;
    digit = current / divisor;
    remainder = current % divisor;
  }
  high_ = (digits[0] << 32) | digits[1];
  low_ = (digits[2] << 32) | digits[3];
  return static_cast<std::uint32_t>(remainder);
}

std::string GroupedDigits(WideNumber value) {
  // Groups of three digits from the right, each but the first written with
  // its leading zeros.
  std::string text;
  do {
    const std::uint32_t group = value.DivideBy(1000);
    std::string digits = std::to_string(group);
    if (!value.IsZero()) digits.insert(0, 3 - digits.size(), '0');
    text.insert(0, digits);
    if (!value.IsZero()) text.insert(0, 1, ',');
  } while (!value.IsZero());
  return text;
}

std::string GroupedDollars(WideNumber cents) {
  const std::uint32_t part = cents.DivideBy(100);
  std::string text = GroupedDigits(cents);
  if (part != 0) {
    text += '.';
    text += static_cast<char>('0' + part / 10);
    text += static_cast<char>('0' + part % 10);
  }
  return text;
}

}  // namespace tallyhorn

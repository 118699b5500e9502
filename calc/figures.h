// The figures of a set of tickets: exact sums of counts and costs however
// large, and their grouped digits. The core's FormatAmount writes "One
// Billion+" past one billion, as the ticket box shows; a summary of several
// tickets (summary.h) writes every figure in full.
#pragma once

#include <cstdint>
#include <string>

namespace tallyhorn {

/*
 * A non-negative whole number of up to 128 bits, made of sums of 64-bit
 * values and products of a 64-bit and a 32-bit value. Wrapping past 2^128
 * would take more than 2^64 additions of the largest 64-bit value, which no
 * run comes near.
 */
class WideNumber {
 public:
  WideNumber() = default;
  explicit WideNumber(std::uint64_t value) : low_(value) {}

  WideNumber& Add(std::uint64_t value);
  // Adds value * factor, which need not fit 64 bits.
  WideNumber& AddProduct(std::uint64_t value, std::uint32_t factor);
  // Takes away a value not above the number (a count of combinations bet
  // more than once is the bets less the distinct ones, never below 0).
  WideNumber& Subtract(std::uint64_t value);

  // Divides the number by divisor (not 0) in place; returns the remainder.
  std::uint32_t DivideBy(std::uint32_t divisor);

  bool IsZero() const { return high_ == 0 && low_ == 0; }
  std::uint64_t High() const { return high_; }
  std::uint64_t Low() const { return low_; }

 private:
  std::uint64_t high_ = 0;
  std::uint64_t low_ = 0;
};

// "0", "7", "1,344,000,000": digits grouped by commas in threes.
std::string GroupedDigits(WideNumber value);

// A number of cents as dollars without the "$": grouped whole dollars and
// two digits of cents only when there are any ("46.05", "67,200,000").
std::string GroupedDollars(WideNumber cents);

}  // namespace tallyhorn

// Counts and money as the calculator shows them: digits grouped by commas,
// cents only when there are any, and "One Billion+" past one billion.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tallyhorn {

inline constexpr std::size_t kNumberTextCapacity = 30;
inline constexpr std::string_view kOverOneBillion = "One Billion+";

// A formatted number, held by value in a fixed buffer with its terminator.
struct NumberText {
  std::array<char, kNumberTextCapacity> text{};
  const char* c_str() const { return text.data(); }
  std::string_view view() const { return text.data(); }
};

// With money set, value is a number of cents and the result a dollar amount
// without the dollar sign ("1,234.56", "0.05", "7"); without it, a plain
// number ("27,907,200"). A whole part above 1,000,000,000, or below zero,
// gives "One Billion+".
NumberText FormatAmount(std::int64_t value, bool money);

// FormatAmount(value, false).
NumberText FormatCount(std::int64_t value);

}  // namespace tallyhorn

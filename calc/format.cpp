#include "calc/format.h"

#include <charconv>

namespace tallyhorn {

NumberText FormatAmount(std::int64_t value, bool money) {
  NumberText out;
  const std::int64_t whole = money ? value / 100 : value;
  const std::int64_t cents = money ? value % 100 : 0;

  // No count or cost is ever negative; a negative value, even a few cents
  // whose whole part truncates to 0, is capped rather than written as "0.-5".
  if (value < 0 || whole > 1'000'000'000) {
    kOverOneBillion.copy(out.text.data(), kOverOneBillion.size());
    return out;
  }

  std::array<char, 20> digits{};
  const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), whole).ptr - digits.data();

  // Copy the digits left to right, with a comma wherever the digits still to
  // come form a whole number of groups of three.
  std::size_t at = 0;
  for (std::ptrdiff_t i = 0; i < written; ++i) {
    if (i > 0 && (written - i) % 3 == 0) out.text[at++] = ',';
    out.text[at++] = digits[static_cast<std::size_t>(i)];
  }
  if (cents != 0) {
    out.text[at++] = '.';
    out.text[at++] = static_cast<char>('0' + cents / 10);
    out.text[at++] = static_cast<char>('0' + cents % 10);
  }
  out.text[at] = '\0';
  return out;
}

NumberText FormatCount(std::int64_t value) { return FormatAmount(value, false); }

}  // namespace tallyhorn

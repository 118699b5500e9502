// Fuzzes FormatAmount and FormatCount over any 64-bit value, with and without
// the money flag. The input's first eight bytes are the value, little-endian
// (missing bytes read as zero). Every text must be NUL-terminated inside its
// 30-byte buffer and be either "One Billion+" (exactly when the value is
// negative or its whole part is above one billion) or grouped digits with an
// optional two-digit cents part that reads back as the value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "calc/format.h"

namespace {

using tallyhorn::kNumberTextCapacity;
using tallyhorn::kOverOneBillion;
using tallyhorn::NumberText;

constexpr std::int64_t kOneBillion = 1'000'000'000;

// Reports the value, the flag and the text, then stops the run as a crash.
[[noreturn]] void Fail(const char* what, std::int64_t value, bool money, std::string_view text) {
  std::fprintf(stderr, "format_fuzz: %s\n  value %lld, money %d, text \"%.*s\"\n", what,
               static_cast<long long>(value), money ? 1 : 0, static_cast<int>(text.size()), text.data());
  std::abort();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/*
 * Reads a grouped whole part back: a first group of one to three digits
 * without a leading zero (unless it is the lone "0"), then groups of exactly
 * three after each comma. Returns false when the text breaks that pattern.
 */
bool ReadGroupedDigits(std::string_view text, std::int64_t& whole) {
  whole = 0;
  std::size_t group = 0;
  bool first = true;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',') {
      if (first ? (group < 1 || group > 3) : group != 3) return false;
      first = false;
      group = 0;
      continue;
    }
    if (!IsDigit(text[i])) return false;
    if (first && group == 0 && text[i] == '0' && text.size() > 1) return false;
    if (whole > kOneBillion) return false;  // no room for another digit
    whole = whole * 10 + (text[i] - '0');
    ++group;
  }
  return true;
}

// One formatted text against the value it was made from.
void CheckText(std::int64_t value, bool money, const NumberText& out) {
  const void* end = std::memchr(out.text.data(), '\0', kNumberTextCapacity);
  if (end == nullptr) Fail("text not NUL-terminated within its buffer", value, money, {});
  const std::string_view text(out.text.data(), static_cast<std::size_t>(static_cast<const char*>(end) - out.text.data()));

  const std::int64_t whole = money ? value / 100 : value;
  const std::int64_t cents = money ? value % 100 : 0;
  const bool capped = value < 0 || whole > kOneBillion;
  if (capped) {
    if (text != kOverOneBillion) Fail("value out of range not written as \"One Billion+\"", value, money, text);
    return;
  }
  if (text.size() > std::string_view("1,000,000,000.99").size()) Fail("text longer than the longest amount", value, money, text);

  const std::size_t point = text.find('.');
  std::int64_t readWhole = 0;
  if (!ReadGroupedDigits(text.substr(0, point), readWhole)) Fail("whole part not grouped digits", value, money, text);
  std::int64_t readCents = 0;
  if (point != std::string_view::npos) {
    const std::string_view centsText = text.substr(point + 1);
    if (!money) Fail("cents part on a plain number", value, money, text);
    if (centsText.size() != 2 || !IsDigit(centsText[0]) || !IsDigit(centsText[1])) {
      Fail("cents part not two digits", value, money, text);
    }
    readCents = (centsText[0] - '0') * 10 + (centsText[1] - '0');
    if (readCents == 0) Fail("cents part written for whole dollars", value, money, text);
  }
  if (readWhole != whole || readCents != cents) Fail("text does not read back as the value", value, money, text);
}

}  // namespace

// One input: the value from the first eight bytes, formatted both ways.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < 8 && i < size; ++i) bits |= std::uint64_t{data[i]} << (8 * i);
  const auto value = static_cast<std::int64_t>(bits);

  const NumberText plain = tallyhorn::FormatAmount(value, false);
  CheckText(value, false, plain);
  CheckText(value, true, tallyhorn::FormatAmount(value, true));
  if (tallyhorn::FormatCount(value).view() != plain.view()) Fail("FormatCount differs from FormatAmount", value, false, plain.view());
  return 0;
}

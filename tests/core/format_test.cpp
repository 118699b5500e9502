// Grouped counts, dollar amounts and the one-billion cap.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "calc/format.h"

namespace tallyhorn {
namespace {

struct FormatCase {
  std::int64_t value;
  bool money;
  const char* expected;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) {
  return out << c.value << (c.money ? " cents" : " plain") << " -> \"" << c.expected << '"';
}

class FormatAmountTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatAmountTest, WritesTheText) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatAmount(c.value, c.money).view(), c.expected);
  if (!c.money) {
    EXPECT_EQ(FormatCount(c.value).view(), c.expected);
  }
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

INSTANTIATE_TEST_SUITE_P(Counts, FormatAmountTest,
                         testing::Values(FormatCase{0, false, "0"}, FormatCase{7, false, "7"},
                                         FormatCase{999, false, "999"}, FormatCase{1000, false, "1,000"},
                                         FormatCase{1234, false, "1,234"}, FormatCase{100000, false, "100,000"},
                                         FormatCase{27907200, false, "27,907,200"},
                                         FormatCase{1000000000, false, "1,000,000,000"},
                                         FormatCase{1000000001, false, "One Billion+"},
                                         FormatCase{4294967296, false, "One Billion+"},
                                         FormatCase{25600000000, false, "One Billion+"},
                                         FormatCase{kMax, false, "One Billion+"}, FormatCase{-1, false, "One Billion+"},
                                         FormatCase{kMin, false, "One Billion+"}));

INSTANTIATE_TEST_SUITE_P(Money, FormatAmountTest,
                         testing::Values(FormatCase{0, true, "0"}, FormatCase{5, true, "0.05"},
                                         FormatCase{50, true, "0.50"}, FormatCase{100, true, "1"},
                                         FormatCase{150, true, "1.50"}, FormatCase{240, true, "2.40"},
                                         FormatCase{123456, true, "1,234.56"}, FormatCase{100000, true, "1,000"},
                                         FormatCase{5581440000, true, "55,814,400"},
                                         FormatCase{100000000000, true, "1,000,000,000"},
                                         FormatCase{100000000099, true, "1,000,000,000.99"},
                                         FormatCase{100000000100, true, "One Billion+"},
                                         FormatCase{-1, true, "One Billion+"}, FormatCase{-99, true, "One Billion+"}, FormatCase{-100, true, "One Billion+"},
                                         FormatCase{kMax, true, "One Billion+"}, FormatCase{kMin, true, "One Billion+"}));

}  // namespace
}  // namespace tallyhorn

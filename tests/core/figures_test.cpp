// The summary's sums and their grouped digits, past what 64 bits hold.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "calc/figures.h"

namespace tallyhorn {
namespace {

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();

struct FigureCase {
  std::string name;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> products;  // added as value * factor
  std::string digits;
  std::string dollars;  // the same number read as cents
};

std::ostream& operator<<(std::ostream& out, const FigureCase& c) { return out << c.name; }

class WideFigures : public testing::TestWithParam<FigureCase> {};

TEST_P(WideFigures, SumAndGroupExactly) {
  const FigureCase& c = GetParam();
  WideNumber sum;
  for (const auto& [value, factor] : c.products) sum.AddProduct(value, factor);
  EXPECT_EQ(GroupedDigits(sum), c.digits);
  EXPECT_EQ(GroupedDollars(sum), c.dollars);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, WideFigures,
    testing::Values(FigureCase{"Zero", {}, "0", "0"},
                    FigureCase{"OneCent", {{1, 1}}, "1", "0.01"},
                    FigureCase{"FiveCents", {{5, 1}}, "5", "0.05"},
                    FigureCase{"WholeDollars", {{2000, 1}, {1000, 0}}, "2,000", "20"},
                    FigureCase{"ZerosInsideGroups", {{1'000'000'001, 1}}, "1,000,000,001", "10,000,000.01"},
                    FigureCase{"TwoPick7TicketsAtFiveCents", {{960'000'000, 5}, {384'000'000, 5}}, "6,720,000,000",
                               "67,200,000"},
                    FigureCase{"Largest64Bits", {{kMax64, 1}}, "18,446,744,073,709,551,615",
                               "184,467,440,737,095,516.15"},
                    // Sums that carry out of the low 64 bits.
                    FigureCase{"CarryIntoTheHighHalf", {{kMax64, 1}, {1, 1}}, "18,446,744,073,709,551,616",
                               "184,467,440,737,095,516.16"},
                    FigureCase{"ProductPast64Bits", {{kMax64, 1000}, {kMax64, 1}}, "18,465,190,817,783,261,166,615",
                               "184,651,908,177,832,611,666.15"},
                    FigureCase{"LargestFactor", {{kMax64, 0xFFFFFFFFu}}, "79,228,162,495,817,593,515,539,431,425",
                               "792,281,624,958,175,935,155,394,314.25"}),
    [](const testing::TestParamInfo<FigureCase>& test) { return test.param.name; });

// Taking away borrows across the halves and lands exactly on the number
// left, zero included.
TEST(WideNumber, SubtractsAcrossTheHalves) {
  struct Case {
    const char* name;
    std::vector<std::uint64_t> added;
    std::uint64_t taken;
    std::string digits;
  };
  const std::vector<Case> cases{
      {"SmallNumber", {36}, 30, "6"},
      {"ToZero", {kMax64}, kMax64, "0"},
      {"BorrowFromTheHighHalf", {kMax64, 2}, 2, "18,446,744,073,709,551,615"},
      {"LeavesTheHighHalf", {kMax64, kMax64}, kMax64, "18,446,744,073,709,551,615"},
  };
  for (const Case& c : cases) {
    WideNumber number;
    for (std::uint64_t value : c.added) number.Add(value);
    EXPECT_EQ(GroupedDigits(number.Subtract(c.taken)), c.digits) << c.name;
  }
}

}  // namespace
}  // namespace tallyhorn

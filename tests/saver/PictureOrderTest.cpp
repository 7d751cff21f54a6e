#include "saver/PictureOrder.h"
#include "saver/ShowTiming.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

namespace tavello {
namespace {

class Scripted final : public RandomSource {
  public:
    explicit Scripted(std::vector<float> draws) : draws_(std::move(draws)) {}
    void Reseed() override {}
    float Draw() override { return draws_[std::min(next_++, draws_.size() - 1)]; }

  private:
    std::vector<float> draws_;
    std::size_t next_ = 0;
};

TEST(OrderMode, ReadStrictly) {
    EXPECT_EQ(ReadOrderMode("1"), OrderMode::Random);
    EXPECT_EQ(ReadOrderMode("0"), OrderMode::ListOrder);
    EXPECT_EQ(ReadOrderMode("2"), OrderMode::Fixed);
    EXPECT_EQ(ReadOrderMode("-1"), OrderMode::Fixed);
    EXPECT_FALSE(ReadOrderMode(""));
    EXPECT_FALSE(ReadOrderMode("1x"));
    EXPECT_FALSE(ReadOrderMode("C:\\pic.jpg"));
}

TEST(ListOrder, WrapsAtTheCountAndRunsPastTheEndOfAnEmptyList) {
    std::vector<int> three;
    std::int16_t i = 0;
    for (int n = 0; n < 5; ++n) three.push_back(i = NextInListOrder(i, 3));
    EXPECT_EQ(three, (std::vector<int>{1, 2, 0, 1, 2}));
    EXPECT_EQ(NextInListOrder(0, 1), 0);
    // With no pictures the index only grows: 999 is followed by 1000, outside the store.
    EXPECT_EQ(NextInListOrder(0, 0), 1);
    EXPECT_EQ(NextInListOrder(999, 0), 1000);
}

TEST(Ran, RetriesWhileTheDrawIsTheCurrentIndex) {
    Scripted random({0.1f, 0.2f, 0.6f});  // × 4: 0, 0, 2
    EXPECT_EQ(RAN(0, 4, random), 2.0f);
}

TEST(Ran, ADrawJustBelowOneGivesTheLastIndex) {
    Scripted random({0.99999994f});
    EXPECT_EQ(RAN(0, 1000, random), 999.0f);
}

TEST(Ran, AGeneratorStuckOnTheCurrentIndexDoesNotHangTheShow) {
    Scripted stuck({0.0f});
    const float picked = RAN(0, 3, stuck);
    EXPECT_NE(picked, 0.0f);
    EXPECT_LT(picked, 3.0f);
}

TEST(Ran, ClockSeededNeverRepeatsAndCoversEveryOtherIndex) {
    ClockSeededRandom random;
    // Two pictures: the first pick from 0 is 1, then they alternate.
    std::int16_t index = 0;
    for (int n = 0; n < 200; ++n) {
        const auto next = static_cast<std::int16_t>(RAN(index, 2, random));
        ASSERT_EQ(next, 1 - index);
        index = next;
    }
    // Several pictures, thousands of picks within a few milliseconds of each other (so most
    // re-seeds see an unchanged clock): never twice in a row, every index reached.
    std::set<int> seen;
    index = 0;
    for (int n = 0; n < 5000; ++n) {
        const auto next = static_cast<std::int16_t>(RAN(index, 7, random));
        ASSERT_NE(next, index);
        ASSERT_GE(next, 0);
        ASSERT_LT(next, 7);
        seen.insert(next);
        index = next;
    }
    EXPECT_EQ(seen.size(), 7u);
}

TEST(ClockSeededRandom, DrawsStayInTheUnitInterval) {
    ClockSeededRandom random;
    float lowest = 1, highest = 0;
    for (int n = 0; n < 20000; ++n) {
        random.Reseed();
        const float r = random.Draw();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 0.01f);
    EXPECT_GT(highest, 0.99f);
}

struct TimingRow {
    double intervalMs;
    std::int32_t lastTick, now;
    bool over;
    int left;  // MillisecondsLeft with a 1000 ms ceiling
};

class Timing : public ::testing::TestWithParam<TimingRow> {};

TEST_P(Timing, OverStrictlyPastTheIntervalAndWaitsUntilThen) {
    const TimingRow& row = GetParam();
    const ShowTiming timing(row.intervalMs);
    EXPECT_EQ(timing.IsOver(row.lastTick, row.now), row.over);
    EXPECT_EQ(timing.MillisecondsLeft(row.lastTick, row.now, 1000), row.left);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Timing,
    ::testing::Values(TimingRow{5000, 1000, 6000, false, 1}, TimingRow{5000, 1000, 6001, true, 1},
                      TimingRow{5000, 1000, 5500, false, 501},
                      TimingRow{5000, 1000, 1000, false, 1000}, TimingRow{2500, 0, 2500, false, 1},
                      TimingRow{2500, 0, 2400, false, 101}, TimingRow{2500, 0, 2501, true, 1},
                      // Speed 0: every time the tick moves; negative: at every pass.
                      TimingRow{0, 77, 77, false, 1}, TimingRow{0, 77, 78, true, 1},
                      TimingRow{-3000, 77, 77, true, 1},
                      // Across the counter's wrap, and across the sign change.
                      TimingRow{5000, INT_MAX - 1000, INT_MIN + 4000, true, 1},
                      TimingRow{5000, INT_MAX - 1000, INT_MIN + 3500, false, 500},
                      TimingRow{5000, -10, 4990, false, 1}, TimingRow{5000, -10, 4991, true, 1},
                      TimingRow{5000, 0, -2000000000, true, 1},  // no headline, long up-time
                      TimingRow{1e300, 0, 5, false, 1000}));

}  // namespace
}  // namespace tavello

#include "settings/Numbers.h"
#include "support/CommaLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace tavello {
namespace {

struct LeadingCase {
    const char16_t* text;
    double expected;
};

class LeadingNumberTest : public ::testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberTest, ReadsTheNumberAtTheStart) {
    const LeadingCase c = GetParam();
    EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf16(c.text)), c.expected)
        << QString::fromUtf16(c.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeadingNumberTest,
    ::testing::Values(LeadingCase{u"100%", 100}, LeadingCase{u" 5", 5}, LeadingCase{u"", 0},
                      LeadingCase{u"&H1F", 31}, LeadingCase{u"&h1f", 31}, LeadingCase{u"&O17", 15},
                      LeadingCase{u"&HFFFFFFFF", -1}, LeadingCase{u"&H", 0}, LeadingCase{u"&O9", 0},
                      LeadingCase{u"1e3", 1000}, LeadingCase{u"1E-2x", 0.01}, LeadingCase{u"1e", 1},
                      LeadingCase{u"2.5.1", 2.5}, LeadingCase{u"-3abc", -3}, LeadingCase{u"+", 0},
                      LeadingCase{u"-", 0}, LeadingCase{u".5", 0.5}, LeadingCase{u"5.", 5},
                      LeadingCase{u"- 4", -4}, LeadingCase{u"1 2 3", 123}, LeadingCase{u"\t7\n", 7},
                      LeadingCase{u"+-3", 0}, LeadingCase{u"abc", 0},
                      LeadingCase{u"画面の大きさに調整", 0}, LeadingCase{u"75%", 75},
                      LeadingCase{u"１２", 0}, LeadingCase{u"3\r4", 3}, LeadingCase{u"0012", 12}));

// The decimal point is "." whatever locale the toolkit has given the C library; the test main
// has created the application object, which sets that locale from the environment.
TEST(NumbersInACommaLocaleTest, ThePointIsAlwaysTheDecimalPoint) {
    const test::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << test::CommaLocale::kMissing;
    const struct {
        const char16_t* text;
        double leading;
        bool strictOk;
        double strict;
    } rows[] = {
        {u"2.5", 2.5, true, 2.5},
        {u"3.5 seconds", 3.5, false, 0},
        {u"-0.25e1", -2.5, true, -2.5},
        {u".5", 0.5, true, 0.5},
        {u"1,5", 1, false, 0},
        {u"+7.75", 7.75, true, 7.75},
        {u"1e999", HUGE_VAL, true, HUGE_VAL},
        {u"-1e999", -HUGE_VAL, true, -HUGE_VAL},
        {u"1e-999", 0, true, 0},
        {u"0.00000000000000000000000000000000000000000000000000001e-300", 0, true, 0},
        {u"123456789012345678901234567890", 1.2345678901234568e29, true, 1.2345678901234568e29},
    };
    for (const auto& row : rows) {
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_DOUBLE_EQ(LeadingNumber(text), row.leading);
        const std::optional<double> strict = StrictNumber(text);
        ASSERT_EQ(strict.has_value(), row.strictOk);
        if (row.strictOk) {
            EXPECT_DOUBLE_EQ(*strict, row.strict);
        }
    }
}

struct StrictCase {
    const char16_t* text;
    bool ok;
    double expected;
};

class StrictNumberTest : public ::testing::TestWithParam<StrictCase> {};

TEST_P(StrictNumberTest, AcceptsOnlyOneWholeNumber) {
    const StrictCase c = GetParam();
    const auto value = StrictNumber(QString::fromUtf16(c.text));
    ASSERT_EQ(value.has_value(), c.ok) << QString::fromUtf16(c.text).toStdString();
    if (c.ok) {
        EXPECT_DOUBLE_EQ(*value, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StrictNumberTest,
                         ::testing::Values(StrictCase{u"0", true, 0}, StrictCase{u"1", true, 1},
                                           StrictCase{u" 1 ", true, 1}, StrictCase{u"2", true, 2},
                                           StrictCase{u"-1", true, -1},
                                           StrictCase{u"1.5", true, 1.5},
                                           StrictCase{u"&H1", true, 1}, StrictCase{u"", false, 0},
                                           StrictCase{u"  ", false, 0}, StrictCase{u"1a", false, 0},
                                           StrictCase{u"1 2", false, 0}, StrictCase{u"+", false, 0},
                                           StrictCase{u"/photos/a.jpg", false, 0}));

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    const struct {
        double in;
        int expected;
    } cases[] = {{2.5, 2}, {3.5, 4},    {-2.5, -2},  {-3.5, -4}, {0.5, 0},
                 {1.5, 2}, {2.4999, 2}, {2.5001, 3}, {-0.4, 0},  {7, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven<std::int32_t>(c.in), c.expected) << c.in;
    }
}

TEST(RoundHalfEvenTest, FailsOutsideTheTargetRange) {
    EXPECT_EQ(RoundHalfEven<std::int16_t>(32767.4), 32767);
    EXPECT_FALSE(RoundHalfEven<std::int16_t>(32767.5).has_value());  // rounds to 32768
    EXPECT_EQ(RoundHalfEven<std::int16_t>(-32768.5), -32768);        // even neighbour stays in
    EXPECT_FALSE(RoundHalfEven<std::int16_t>(-32769).has_value());
    EXPECT_EQ(RoundHalfEven<std::int32_t>(2147483647.0), 2147483647);
    EXPECT_FALSE(RoundHalfEven<std::int32_t>(2147483648.0).has_value());
    EXPECT_FALSE(RoundHalfEven<std::int32_t>(1e300).has_value());
    EXPECT_FALSE(RoundHalfEven<std::int32_t>(std::nan("")).has_value());
}

}  // namespace
}  // namespace tavello

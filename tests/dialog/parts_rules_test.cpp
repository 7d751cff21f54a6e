// The dialog's small rules without widgets: the font-size key filter and range check, the
// seconds label, and where the preview goes in its frame.

#include <gtest/gtest.h>

#include "dialog/FontSizeRules.h"
#include "dialog/PreviewFit.h"

namespace tavello {
namespace {

const auto RowName = [](const auto& info) { return "Row" + std::to_string(info.index); };

struct KeyCase {
    QString text;
    int key;
    int expected;
};

class FontSizeKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FontSizeKeys, OnlyDigitsAndBackspaceUpToFourCharacters) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(FilterFontSizeKey(c.text, c.key), c.expected)
        << "text \"" << c.text.toStdString() << "\" key " << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FontSizeKeys,
    ::testing::Values(KeyCase{"", '1', '1'}, KeyCase{"1", '2', '2'}, KeyCase{"12", '3', '3'},
                      KeyCase{"123", '4', '4'}, KeyCase{"123", '0', '0'}, KeyCase{"123", '9', '9'},
                      // A fifth character is refused, even with the whole text selected.
                      KeyCase{"1234", '5', 0}, KeyCase{"1234", 8, 8}, KeyCase{"", 8, 8},
                      // Letters, blank, period, minus, control keys.
                      KeyCase{"", 'a', 0}, KeyCase{"1", 'A', 0}, KeyCase{"", ' ', 0},
                      KeyCase{"", '.', 0}, KeyCase{"", '-', 0}, KeyCase{"", '/', 0},
                      KeyCase{"", ':', 0}, KeyCase{"", 13, 0}, KeyCase{"", 22, 0},
                      KeyCase{"", 27, 0},
                      // Input-method characters: full-width one, its double-byte code.
                      KeyCase{"", 0xFF11, 0}, KeyCase{"", 0x8250, 0}, KeyCase{"", -32176, 0},
                      // A longer text pasted past the filter does not grow further.
                      KeyCase{"12345", '6', 0}, KeyCase{"12345", 8, 8}),
    RowName);

struct RangeCase {
    QString text;
    std::optional<QString> expected;
};

class FontSizeRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(FontSizeRange, ChecksOneTo1638AndNormalises) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(CheckFontSizeOnLeave(c.text), c.expected)
        << "text \"" << c.text.toStdString() << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FontSizeRange,
    ::testing::Values(RangeCase{"0", std::nullopt}, RangeCase{"1639", std::nullopt},
                      RangeCase{"", std::nullopt}, RangeCase{"1638", QString("1638")},
                      RangeCase{"1", QString("1")}, RangeCase{"0012", QString("12")},
                      RangeCase{"048", QString("48")}, RangeCase{" 5", QString("5")},
                      RangeCase{"12abc", QString("12")}, RangeCase{"2.5", QString("2")},
                      RangeCase{"3.5", QString("4")}, RangeCase{"0.5", std::nullopt},
                      RangeCase{"1638.5", QString("1638")}, RangeCase{"-3", std::nullopt},
                      RangeCase{"99999999999", std::nullopt}, RangeCase{"&H10", QString("16")}),
    RowName);

TEST(SecondsCaption, ReservesABlankForTheSign) {
    EXPECT_EQ(SecondsCaption(5), QStringLiteral(" 5秒"));
    EXPECT_EQ(SecondsCaption(5).size(), 3);
    EXPECT_EQ(SecondsCaption(1), QStringLiteral(" 1秒"));
    EXPECT_EQ(SecondsCaption(10), QStringLiteral(" 10秒"));
    EXPECT_EQ(SecondsCaption(12), QStringLiteral(" 12秒"));
    EXPECT_EQ(SecondsCaption(-1), QStringLiteral("-1秒"));
}

struct FitCase {
    const char* name;
    int width;
    int height;
    PreviewGeometry expected;
};

class PreviewFit : public ::testing::TestWithParam<FitCase> {};

// The 4:3 frame of the dialog, in pixels (960 × 720 twips).
const QRectF kFrame(10, 20, 64, 48);

TEST_P(PreviewFit, FillsOneSideAndCentresAlongTheOther) {
    const FitCase& c = GetParam();
    const std::optional<PreviewGeometry> g = FitPreview(kFrame, c.width, c.height);
    ASSERT_TRUE(g.has_value());
    EXPECT_FLOAT_EQ(g->left, c.expected.left);
    EXPECT_FLOAT_EQ(g->top, c.expected.top);
    EXPECT_FLOAT_EQ(g->width, c.expected.width);
    EXPECT_FLOAT_EQ(g->height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreviewFit,
    ::testing::Values(FitCase{"Landscape800x600", 800, 600, {10, 20, 64, 48}},
                      FitCase{"Wide1000x500", 1000, 500, {10, 28, 64, 32}},
                      FitCase{"Portrait600x800", 600, 800, {24, 20, 36, 48}},
                      FitCase{"Exactly4by3", 4, 3, {10, 20, 64, 48}},
                      FitCase{"JustTallerThan4by3", 1000, 751, {10.04261f, 20, 63.91478f, 48}},
                      FitCase{"Square", 500, 500, {18, 20, 48, 48}},
                      FitCase{"OnePixelHighStrip", 6000, 1, {10, 43.994667f, 64, 0.010666667f}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreviewFit, ZeroSizesFail) {
    EXPECT_FALSE(FitPreview(kFrame, 0, 600).has_value());
    EXPECT_FALSE(FitPreview(kFrame, 800, 0).has_value());
    EXPECT_FALSE(FitPreview(kFrame, 0, 0).has_value());
}

TEST(PreviewFit, RectRoundsEachEdge) {
    const PreviewGeometry g{24.4f, 20.6f, 36.2f, 47.7f};
    EXPECT_EQ(g.rect(), QRect(24, 21, 37, 47));
}

}  // namespace
}  // namespace tavello

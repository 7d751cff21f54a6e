#include "fit/PictureFit.h"

#include <gtest/gtest.h>

namespace tavello {
namespace {

struct FitRow {
    int ownW, ownH;
    const char* picSize;
    int shownW, shownH;
    double left, top;
};

class FitOn1024x768 : public ::testing::TestWithParam<FitRow> {};

TEST_P(FitOn1024x768, ShownSizeAndPlace) {
    const FitRow& row = GetParam();
    const auto placed =
        FitPicture(row.ownW, row.ownH, QString::fromUtf8(row.picSize), 1024.0, 768.0);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->width, row.shownW);
    EXPECT_EQ(placed->height, row.shownH);
    EXPECT_DOUBLE_EQ(placed->left, row.left);
    EXPECT_DOUBLE_EQ(placed->top, row.top);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, FitOn1024x768,
                         ::testing::Values(FitRow{640, 480, "100%", 640, 480, 192, 144},
                                           FitRow{640, 480, "50%", 320, 240, 352, 264},
                                           FitRow{640, 480, "200%", 1024, 768, 0, 0},
                                           FitRow{640, 480, "画面の大きさに調整", 1024, 768, 0, 0},
                                           FitRow{2000, 500, "100%", 1024, 256, 0, 256},
                                           FitRow{500, 2000, "100%", 192, 768, 416, 0},
                                           FitRow{1024, 768, "100%", 1024, 768, 0, 0}));

INSTANTIATE_TEST_SUITE_P(
    Edges, FitOn1024x768,
    ::testing::Values(
        // Exactly as wide, or exactly as tall, as the screen: kept, centred the other way.
        FitRow{1024, 500, "100%", 1024, 500, 0, 134}, FitRow{600, 768, "100%", 600, 768, 212, 0},
        // One pixel too wide: refitted by width.
        FitRow{1025, 768, "100%", 1024, 767, 0, 0.5},
        // Odd sizes leave half pixels, unrounded.
        FitRow{641, 481, "100%", 641, 481, 191.5, 143.5},
        // Halves go to the even neighbour: 25% of 642 × 482 is 160.5 × 120.5.
        FitRow{642, 482, "25%", 160, 120, 432, 324},
        // The fit choice also enlarges, and every text without a leading number fits.
        FitRow{320, 240, "", 1024, 768, 0, 0}, FitRow{100, 400, "fit", 192, 768, 416, 0},
        // A picture claiming an absurd size still ends up on the screen.
        FitRow{60000, 60000, "400%", 768, 768, 128, 0},
        // Lenient reading of the percentage.
        FitRow{640, 480, " 75 %", 480, 360, 272, 204}));

TEST(FitFailure, SizesOutsideThe32BitRangeOrDivisionsByZeroFail) {
    EXPECT_FALSE(FitPicture(640, 480, "1e10%", 1024, 768));             // magnified past 2^31
    EXPECT_FALSE(FitPicture(3e9, 480, "100%", 1024, 768));              // own size past 2^31
    EXPECT_FALSE(FitPicture(0, 480, "画面の大きさに調整", 1024, 768));  // H / 0
    EXPECT_FALSE(FitPicture(640, 480, "100%", 0, 0));                   // no screen to fit
    EXPECT_FALSE(FitPicture(640, 480, "-100%", 1024, 768));             // negative size
    // Large but in range: fitted, not failed.
    EXPECT_TRUE(FitPicture(640, 480, "300000000%", 1024, 768));
}

}  // namespace
}  // namespace tavello

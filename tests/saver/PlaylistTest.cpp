// What may stand in for a picture that cannot be shown, for named pictures and folder entries.

#include "saver/Playlist.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tavello {
namespace {

struct FailureCase {
    const char* name;
    std::vector<int>
        listing;  // empty: named pictures a, b, c; else 1 = found in a folder, 0 = named
    OrderMode mode;
    bool hosted;
    std::int16_t first;  // where list order starts
    qsizetype retries;   // pictures that may be tried in place of the failed one
    bool passedOver;     // the failed one may be passed over
    std::int32_t next;   // the index then due
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class PlaylistFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PlaylistFailure, PassesOverOnlyWhatTheShowMayPassOver) {
    const FailureCase& c = GetParam();
    Playlist list;
    if (c.listing.empty()) {
        list.Load({"/a.jpg", "/b.jpg", "/c.jpg"}, c.first);
    } else {
        list.Load({"/album/"}, c.first);
        ShowList listed;
        for (int found : c.listing)
            found ? listed.appendFound("/f.jpg") : listed.appendFile("/n.jpg");
        list.TakeListing(std::move(listed));
    }
    EXPECT_EQ(list.Retries(c.hosted), c.retries);
    EXPECT_EQ(list.StepPastFailure(c.mode, c.hosted), c.passedOver);
    EXPECT_EQ(c.listing.empty() ? list.PicIndex() : list.ShowIndex(), c.next);
}

constexpr OrderMode kList = OrderMode::ListOrder;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PlaylistFailure, ::testing::Values(
    FailureCase{"NamedPictureStopsTheClassicShow", {}, kList, false, 0, 0, false, 0},
    FailureCase{"NamedPictureIsPassedOverInAHost", {}, kList, true, 0, 3, true, 1},
    FailureCase{"HostWrapsFromTheLastPicture", {}, kList, true, 2, 3, true, 0},
    FailureCase{"FolderPictureIsPassedOver", {1, 1, 1}, kList, false, 0, 2, true, 1},
    FailureCase{"NamedAmongFoldersStopsTheShow", {0, 1}, kList, false, 0, 1, false, 0},
    FailureCase{"NamedAmongFoldersIsPassedOverInAHost", {0, 1}, kList, true, 0, 1, true, 1},
    FailureCase{"RandomOrderDrawsAnew", {1, 1}, OrderMode::Random, false, 0, 1, true, 0},
    FailureCase{"FixedOrderNeverMoves", {1, 1}, OrderMode::Fixed, false, 0, 1, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace tavello

// Folder entries in the show, on the fake clock: a folder stands for the pictures below it, the
// order draws among all of them, a broken one found in a folder is passed over, and the listing
// runs behind the headline without holding up input.

#include "SaverTestKit.h"

#include "toolkit/AutoSizeLabel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <atomic>
#include <ostream>
#include <thread>

namespace tavello::test {
namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255);
const QColor kBroken;  // a file with a picture's name and no picture in it

struct FileSpec {
    const char* name;
    QColor colour;
};

struct FolderCase {
    const char* name;
    const char* randomOrder;
    std::vector<float> draws;
    std::vector<FileSpec> files;
    QStringList entries;        // below the test folder; a folder entry ends in "/"
    std::vector<QColor> shown;  // at each change; invalid: nothing drawn
    int stopAt = -1;            // the change that fails as the classic list's would
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderShow : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderShow, ShowsEveryPictureOfTheEntriesAndPassesOverBrokenOnesFoundInFolders) {
    const FolderCase& c = GetParam();
    ShowRig rig;
    ScriptedRandom random(c.draws.empty() ? std::vector<float>{0.5f} : c.draws);
    rig.randomSource = &random;
    for (const FileSpec& file : c.files) {
        QDir().mkpath(QFileInfo(rig.dir.file(file.name)).path());
        if (file.colour.isValid())
            rig.picture(file.name, 32, 32, file.colour);
        else
            rig.dir.write(file.name, "not a picture\n");
    }
    ShowSettings settings;
    settings.headline = "";
    settings.speed = "1";
    settings.randomOrder = c.randomOrder;
    for (const QString& entry : c.entries) {
        const QString path = rig.dir.file(entry);
        settings.pictures << (entry.endsWith(u'/') ? path + u'/' : path);
    }
    rig.writeSettings(settings);
    rig.show.maxFrames = c.shown.size() - 1;
    rig.run();

    const std::size_t expected = c.stopAt >= 0 ? std::size_t(c.stopAt) + 1 : c.shown.size();
    ASSERT_EQ(rig.show.frames.size(), expected);
    for (std::size_t i = 0; i < expected; ++i) {
        const ShownFrame& frame = rig.show.frames[i];
        if (int(i) == c.stopAt) {
            EXPECT_EQ(frame.stopFlag, -1) << i;
            EXPECT_FALSE(frame.imageVisible) << i;
            continue;
        }
        EXPECT_EQ(frame.stopFlag, 0) << i;
        EXPECT_EQ(frame.imageColour, c.shown[i]) << i;
    }
    EXPECT_TRUE(rig.form->ended());
}

// One row per case reads better than clang-format's one field per line.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, FolderShow, ::testing::Values(
    FolderCase{"ListOrderFolderInPlaceOfItsEntry", "0", {},
               {{"red.png", kRed}, {"album/1.png", kGreen}, {"album/2.jpg", kBroken},
                {"album/sub/x.png", kBlue}},
               {"red.png", "album/"},
               {kRed, kGreen, kBlue, kRed, kGreen}},
    // Three pictures drawn from, not two entries: the classic rule would alternate.
    FolderCase{"RandomOrderDrawsAmongAllPictures", "1", {0.5f, 0.1f, 0.9f, 0.5f},
               {{"album/1.png", kGreen}, {"album/10.png", kBlue}, {"red.png", kRed}},
               {"album/", "red.png"},
               {kBlue, kGreen, kRed, kBlue}},
    FolderCase{"RandomOrderDrawsAgainPastABrokenPicture", "1", {0.5f, 0.9f, 0.1f},
               {{"album/1.png", kGreen}, {"album/2.jpg", kBroken}, {"album/3.png", kBlue}},
               {"album/"},
               {kBlue, kGreen}},
    FolderCase{"FileNamedInTheListStillEndsTheShow", "0", {},
               {{"album/1.png", kGreen}},
               {"album/", "missing.jpg"},
               {kGreen, QColor()}, 1},
    FolderCase{"FullRoundOfBrokenPicturesIsAFailedChange", "0", {},
               {{"album/a.jpg", kBroken}, {"album/b.jpg", kBroken}},
               {"album/"},
               {QColor()}, 0},
    FolderCase{"MissingFolderKeepsTheScreenBlack", "0", {},
               {},
               {"gone/"},
               {QColor(), QColor(), QColor()}}));
// clang-format on

TEST(FolderShow, ListingStartsBehindThePaintedHeadlineAndTheFirstPictureComesOnTime) {
    ShowRig rig;
    const QString album = rig.dir.file("album/");
    rig.picture("album/1.png", 32, 32, kGreen);
    std::atomic<bool> started{false}, release{false};
    rig.scanFolder = [&](const QString& entry, const auto& found, const auto& cancelled, auto&) {
        started = true;
        while (!release && !cancelled()) std::this_thread::yield();
        VisitFolderEntry(entry, found, cancelled);
    };
    ShowSettings settings;  // "TAVELLO" for 5 seconds
    settings.pictures = {album};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    bool startedBeforeFirstWait = true, headlineUp = false;
    rig.show.at(t0 + 1, [&] {
        startedBeforeFirstWait = started;
        headlineUp = rig.form->Label1()->isVisible();
    });
    rig.show.at(t0 + 2000, [&] {
        release = true;
        while (!rig.form->PicturesListed()) std::this_thread::yield();
    });
    rig.show.maxFrames = 0;
    rig.run();

    EXPECT_FALSE(startedBeforeFirstWait);
    EXPECT_TRUE(headlineUp);
    EXPECT_TRUE(started);
    ASSERT_EQ(rig.show.frames.size(), 1u);
    EXPECT_EQ(rig.show.frames[0].tick, t0 + 5001);
    EXPECT_EQ(rig.show.frames[0].imageColour, kGreen);
}

TEST(FolderShow, InputWhileTheListingRunsEndsTheShowAndStopsTheListing) {
    ShowRig rig;
    std::atomic<bool> started{false}, stopped{false};
    rig.scanFolder = [&](const QString&, const auto&, const auto& cancelled, auto&) {
        // A listing that would never end by itself.
        started = true;
        while (!cancelled()) std::this_thread::yield();
        stopped = true;
    };
    ShowSettings settings;
    settings.pictures = {rig.dir.file("album/")};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    // After the first change was due: the show waits for the listing, and still hears input.
    rig.show.at(t0 + 7000, [&] {
        while (!started) std::this_thread::yield();
        QTest::keyClick(rig.form.get(), Qt::Key_Shift);
    });
    rig.run();

    EXPECT_TRUE(rig.form->ended());
    EXPECT_TRUE(rig.show.frames.empty());
    EXPECT_LT(rig.show.now - t0, 7200);  // ended at the wait that followed, not by the safety net
    // The listing was told to stop, and stops at its next check; the show did not wait for it.
    for (int i = 0; i < 10000000 && !stopped; ++i) std::this_thread::yield();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(rig.cursor.counter, 1);
}

TEST(FolderShow, PicturesAddedToTheFolderAppearInTheNextShow) {
    ShowRig rig;
    rig.picture("album/1.png", 32, 32, kGreen);
    ShowSettings settings;
    settings.headline = "";
    settings.pictures = {rig.dir.file("album") + u'/'};
    rig.writeSettings(settings);
    rig.show.maxFrames = 0;
    rig.run();
    EXPECT_EQ(rig.form->ExpandedCount(), 1);

    rig.picture("album/2.png", 32, 32, kBlue);
    rig.show.frames.clear();
    rig.show.maxFrames = 1;
    rig.run();
    EXPECT_EQ(rig.form->ExpandedCount(), 2);
    ASSERT_EQ(rig.show.frames.size(), 2u);
    EXPECT_EQ(rig.show.frames[1].imageColour, kBlue);
}

}  // namespace
}  // namespace tavello::test

#include "toolkit/Picture.h"
#include "picture_corpus.h"
#include "picture_samples.h"
#include "support/TestDir.h"
#include "toolkit/PictureIntegrity.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>

namespace tavello {
namespace {

using test::TestDir;
using namespace test::samples;
namespace corpus = test::corpus;

class PictureTest : public ::testing::Test {
  protected:
    QString put(const QString& name, const QByteArray& bytes) {
        dir_.write(name, bytes);
        return dir_.file(name);
    }
    TestDir dir_;
};

struct SizeCase {
    const char* name;
    QByteArray (*make)();
    QSize expected;
};

QByteArray Jpeg64x48() {
    return Encode(HalvesPicture(QSize(64, 48)), "JPEG");
}
QByteArray Bmp30x20() {
    return Encode(HalvesPicture(QSize(30, 20)), "BMP");
}
QByteArray Turned90() {
    return WithOrientation(Encode(HalvesPicture(QSize(100, 50)), "JPEG"), 6);
}
QByteArray Turned180() {
    return WithOrientation(Encode(HalvesPicture(QSize(100, 50)), "JPEG"), 3);
}
QByteArray Turned270() {
    return WithOrientation(Encode(HalvesPicture(QSize(100, 50)), "JPEG"), 8);
}

TEST_F(PictureTest, SizeComesFromTheHeaderTurnedByTheOrientationTag) {
    const SizeCase cases[] = {
        {"jpeg.jpg", Jpeg64x48, QSize(64, 48)},    {"bmp.bmp", Bmp30x20, QSize(30, 20)},
        {"rot90.jpg", Turned90, QSize(50, 100)},   {"rot180.jpg", Turned180, QSize(100, 50)},
        {"rot270.jpg", Turned270, QSize(50, 100)},
    };
    for (const SizeCase& c : cases) {
        const QString path = put(c.name, c.make());
        EXPECT_EQ(ReadPictureSize(path), c.expected) << c.name;
        const std::optional<LoadedPicture> loaded = LoadPicture(path);
        ASSERT_TRUE(loaded) << c.name;
        EXPECT_FALSE(loaded->empty) << c.name;
        EXPECT_EQ(loaded->ownSize, c.expected) << c.name;
        EXPECT_EQ(loaded->image.size(), c.expected) << c.name;
    }
}

TEST_F(PictureTest, SizeIsUnknownForWhatIsNoPicture) {
    put("empty.jpg", QByteArray());
    put("text.jpg", "just some words, not a picture\n");
    for (const QString& path : {QString(), dir_.file("missing.jpg"), dir_.file("empty.jpg"),
                                dir_.file("text.jpg"), dir_.path()}) {
        EXPECT_FALSE(ReadPictureSize(path)) << path.toStdString();
    }
}

TEST_F(PictureTest, OrientationTurnsThePixelsToo) {
    // The left half is red and the right half blue; turned a quarter clockwise, red is on top.
    const std::optional<LoadedPicture> loaded = LoadPicture(put("rot.jpg", Turned90()));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(IsReddish(loaded->image.pixel(25, 10)));
    EXPECT_TRUE(IsBluish(loaded->image.pixel(25, 90)));
}

TEST_F(PictureTest, EmptyPathGivesTheEmptyPicture) {
    const std::optional<LoadedPicture> loaded = LoadPicture(QString());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->empty);
    EXPECT_EQ(loaded->ownSize, QSize(0, 0));
    EXPECT_TRUE(loaded->image.isNull());
}

struct ScaledCase {
    const char* name;
    QByteArray bytes;
    QSize decodeSize;
    QSize ownSize;
    QSize imageSize;
};

TEST_F(PictureTest, DecodesAtTheAskedSizeWhenSmallerThanThePicture) {
    const QByteArray big = Encode(HalvesPicture(QSize(1600, 1200)), "JPEG");
    const QByteArray tall = WithOrientation(Encode(HalvesPicture(QSize(1600, 800)), "JPEG"), 6);
    const QByteArray bmp = Encode(HalvesPicture(QSize(300, 200)), "BMP");
    const ScaledCase cases[] = {
        {"quarter.jpg", big, QSize(400, 300), QSize(1600, 1200), QSize(400, 300)},
        {"odd.jpg", big, QSize(1021, 766), QSize(1600, 1200), QSize(1021, 766)},
        {"turned.jpg", tall, QSize(200, 400), QSize(800, 1600), QSize(200, 400)},
        {"half.bmp", bmp, QSize(150, 100), QSize(300, 200), QSize(150, 100)},
        {"larger.jpg", big, QSize(3200, 2400), QSize(1600, 1200), QSize(1600, 1200)},
        {"same.jpg", big, QSize(1600, 1200), QSize(1600, 1200), QSize(1600, 1200)},
        {"wider.jpg", big, QSize(1700, 1000), QSize(1600, 1200), QSize(1600, 1200)},
        {"invalid.jpg", big, QSize(), QSize(1600, 1200), QSize(1600, 1200)},
        {"zero.jpg", big, QSize(0, 0), QSize(1600, 1200), QSize(1600, 1200)},
    };
    for (const ScaledCase& c : cases) {
        const std::optional<LoadedPicture> loaded = LoadPicture(put(c.name, c.bytes), c.decodeSize);
        ASSERT_TRUE(loaded) << c.name;
        EXPECT_EQ(loaded->ownSize, c.ownSize) << c.name;
        EXPECT_EQ(loaded->image.size(), c.imageSize) << c.name;
    }
    // The reduced decode keeps the picture's layout: red still left, blue still right.
    const QImage turned = LoadPicture(dir_.file("turned.jpg"), QSize(200, 400))->image;
    EXPECT_TRUE(IsReddish(turned.pixel(100, 20)));
    EXPECT_TRUE(IsBluish(turned.pixel(100, 380)));
}

TEST_F(PictureTest, PaletteAndOneBitPicturesKeepTheirColoursWhenReduced) {
    const struct {
        const char* name;
        QImage::Format format;
        const char* encoding;
    } cases[] = {
        {"mono.bmp", QImage::Format_Mono, "BMP"},
        {"mono.png", QImage::Format_Mono, "PNG"},
        {"palette.bmp", QImage::Format_Indexed8, "BMP"},
    };
    for (const auto& c : cases) {
        const QImage halves = HalvesPicture(QSize(500, 400))
                                  .convertToFormat(c.format, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        const auto loaded = LoadPicture(put(c.name, Encode(halves, c.encoding)), QSize(125, 100));
        ASSERT_TRUE(loaded) << c.name;
        ASSERT_EQ(loaded->image.size(), QSize(125, 100)) << c.name;
        EXPECT_TRUE(IsReddish(loaded->image.pixel(20, 50))) << c.name;
        EXPECT_TRUE(IsBluish(loaded->image.pixel(105, 50))) << c.name;
    }
}

TEST_F(PictureTest, BrokenOrAbsurdFilesFailCleanly) {
    const QByteArray jpeg = Encode(HalvesPicture(QSize(320, 240)), "JPEG");
    const QByteArray bmp = Encode(HalvesPicture(QSize(320, 240)), "BMP");
    const QByteArray progressive = Encode(HalvesPicture(QSize(320, 240)), "JPEG", true);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"zero.jpg", QByteArray()},
        {"text.jpg", "not a picture at all"},
        {"garbage.jpg", QByteArray("\xFF\xD8\xFF\xE0") + QByteArray(500, '\x5A')},
        {"cut.jpg", jpeg.left(jpeg.size() / 2)},
        {"cut-progressive.jpg", progressive.left(progressive.size() * 2 / 3)},
        {"cut-header.jpg", jpeg.left(20)},
        {"cut.bmp", bmp.left(bmp.size() / 2)},
        {"cut-header.bmp", bmp.left(30)},
        {"huge.bmp", AbsurdBmp(60000, 60000)},
        {"huge.jpg", WithJpegSize(jpeg, 60000, 60000)},
        {"zero-wide.jpg", WithJpegSize(jpeg, 0, 240)},
    };
    for (const auto& c : cases) {
        const QString path = put(c.name, c.bytes);
        EXPECT_FALSE(LoadPicture(path)) << c.name;
        EXPECT_FALSE(LoadPicture(path, QSize(1024, 768))) << c.name;
        EXPECT_FALSE(LoadPicture(path, QSize(64, 48))) << c.name;
    }
    EXPECT_FALSE(LoadPicture(dir_.file("missing.jpg")));
    EXPECT_FALSE(LoadPicture(dir_.path()));
}

TEST_F(PictureTest, WholeFilesWithExtrasStillLoad) {
    const QByteArray jpeg = Encode(HalvesPicture(QSize(320, 240)), "JPEG");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"progressive.jpg", Encode(HalvesPicture(QSize(320, 240)), "JPEG", true)},
        {"trailer.jpg", jpeg + QByteArray(4000, '\x11')},  // some cameras append data
        {"long-trailer.jpg", jpeg + QByteArray(300000, '\x11')},
    };
    for (const auto& c : cases) {
        const std::optional<LoadedPicture> loaded = LoadPicture(put(c.name, c.bytes));
        ASSERT_TRUE(loaded) << c.name;
        EXPECT_EQ(loaded->image.size(), QSize(320, 240)) << c.name;
    }
}

qsizetype TextBytes(const QImage& image) {
    qsizetype bytes = 0;
    for (const QString& key : image.textKeys()) bytes += image.text(key).size();
    return bytes;
}

TEST_F(PictureTest, EveryHostileFileLoadsAsItShouldOrFailsCleanly) {
    for (const corpus::Entry& entry : corpus::Pictures()) {
        SCOPED_TRACE(entry.name);
        const QString path = corpus::Place(dir_, entry);
        const bool shows = entry.shows.isValid();
        if (shows) {
            EXPECT_EQ(ReadPictureSize(path), entry.shows);
        } else if (entry.kind != corpus::Kind::File) {
            EXPECT_FALSE(ReadPictureSize(path));
        }
        for (const QSize decodeSize : {QSize(), QSize(16, 12)}) {
            const std::optional<LoadedPicture> loaded = LoadPicture(path, decodeSize);
            EXPECT_EQ(loaded.has_value(), shows);
            if (!loaded || !shows) continue;
            EXPECT_EQ(loaded->ownSize, entry.shows);
            EXPECT_TRUE(corpus::RedAboveBlue(loaded->image));
            EXPECT_LT(TextBytes(loaded->image), 64 * 1024);  // no text inflated in bulk
        }
        PicturePrefetcher prefetcher;
        prefetcher.request(path);
        EXPECT_EQ(prefetcher.take(path).has_value(), shows);
    }
}

bool FileComplete(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return PictureFileComplete(buffer);
}

TEST(PictureFileCompleteTest, JpegNeedsAnEndMarkerAfterItsFirstScan) {
    const QByteArray soi("\xFF\xD8", 2), eoi("\xFF\xD9", 2);
    const QByteArray app0("\xFF\xE0\x00\x04\x01\x02", 6);
    const QByteArray sos("\xFF\xDA\x00\x03\x00", 5);
    // Stuffed zeros, restart markers and fill bytes belong to the entropy-coded data.
    const QByteArray data("\x12\xFF\x00\x34\xFF\xD0\x56\xFF\xFF\xD1\x78", 11);
    const QByteArray dht("\xFF\xC4\x00\x03\x00", 5);
    const struct {
        const char* name;
        QByteArray bytes;
        bool complete;
    } cases[] = {
        {"whole", soi + app0 + sos + data + eoi, true},
        {"two scans", soi + sos + data + dht + sos + data + eoi, true},
        {"trailing bytes", soi + sos + data + eoi + "tail", true},
        {"long trailer", soi + sos + data + eoi + QByteArray(200000, '\x01'), true},
        {"end marker only in a thumbnail",
         soi + QByteArray("\xFF\xE1\x00\x06\xFF\xD8\xFF\xD9", 8) + sos + data, false},
        {"thumbnail and whole picture",
         soi + QByteArray("\xFF\xE1\x00\x06\xFF\xD8\xFF\xD9", 8) + sos + data + eoi, true},
        {"no end marker", soi + app0 + sos + data, false},
        {"cut in a segment length", soi + QByteArray("\xFF\xE0\x00", 3), false},
        {"segment longer than file", soi + QByteArray("\xFF\xE0\x10\x00\x01", 5), false},
        {"bad segment length", soi + QByteArray("\xFF\xE0\x00\x01", 4) + eoi, false},
        {"stray byte between segments", soi + "x" + eoi, false},
        {"end marker escaped", soi + sos + QByteArray("\xFF\x00\xD9", 3), false},
    };
    for (const auto& c : cases) EXPECT_EQ(FileComplete(c.bytes), c.complete) << c.name;
}

TEST(PictureFileCompleteTest, RunLengthBmpNeedsItsRunsInsideThePicture) {
    using corpus::Rle4;
    using corpus::Rle8;
    const QByteArray row("\x08\x01\x00\x00", 4);  // one 8-pixel row, then the end of the row
    const QByteArray end("\x00\x01", 2);
    const struct {
        const char* name;
        QByteArray bytes;
        bool complete;
    } cases[] = {
        {"rows and end marker", Rle8(row + row + row + QByteArray("\x08\x01", 2) + end), true},
        {"end of row after the last row", Rle8(row + row + row + row + end), true},
        {"last row filled, no end marker", Rle8(row + row + row + QByteArray("\x08\x01", 2)), true},
        {"jump inside the picture", Rle8(QByteArray("\x00\x02\x03\x02\x05\x01", 6) + end), true},
        {"stored pixels", Rle8(QByteArray("\x00\x03\x01\x01\x01\x00", 6) + end), true},
        {"odd row, four-bit pair",
         corpus::PaletteBmp(7, 1, 4, 2, 2, QByteArray("\x08\x11", 2) + end), true},
        {"end marker only", Rle8(end), true},
        {"run past the row", Rle8(QByteArray("\x09\x01", 2) + end), false},
        {"four-bit run past the row", Rle4(QByteArray("\x0A\x11", 2) + end), false},
        {"run below the last row", Rle8(row + row + row + row + QByteArray("\x01\x01", 2) + end),
         false},
        {"jump out of the picture", Rle8(QByteArray("\x00\x02\x09\x00\x01\x01", 6) + end), false},
        {"stored pixels past the row", Rle8(QByteArray("\x00\x09", 2) + QByteArray(10, 1) + end),
         false},
        {"stored pixels cut short", Rle8(QByteArray("\x00\x06\x01\x01", 4)), false},
        {"cut after two rows", Rle8(row + row), false},
        {"no pixel data", Rle8(QByteArray()), false},
    };
    for (const auto& c : cases) EXPECT_EQ(FileComplete(c.bytes), c.complete) << c.name;
}

TEST(ReducedDecodeSizeTest, OnlyShrinksNeverGrows) {
    const struct {
        QSize own, wanted, expected;
    } cases[] = {
        {QSize(6000, 4000), QSize(1620, 1080), QSize(1620, 1080)},
        {QSize(6000, 4000), QSize(6000, 4000), QSize()},
        {QSize(640, 480), QSize(1024, 768), QSize()},
        {QSize(640, 480), QSize(320, 600), QSize()},
        {QSize(640, 480), QSize(), QSize()},
        {QSize(640, 480), QSize(0, 10), QSize()},
        {QSize(0, 0), QSize(10, 10), QSize()},
    };
    for (const auto& c : cases) EXPECT_EQ(ReducedDecodeSize(c.own, c.wanted), c.expected);
}

TEST_F(PictureTest, PrefetcherHandsOverThePreparedPictureOrLoadsAnew) {
    const QString first = put("first.jpg", Encode(HalvesPicture(QSize(800, 600)), "JPEG"));
    const QString second = put("second.bmp", Encode(HalvesPicture(QSize(200, 100)), "BMP"));
    const QString broken = put("broken.jpg", "nothing");

    PicturePrefetcher prefetcher;
    EXPECT_FALSE(prefetcher.pending());
    prefetcher.request(first, QSize(400, 300));
    EXPECT_TRUE(prefetcher.pending());
    std::optional<LoadedPicture> hit = prefetcher.take(first, QSize(400, 300));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->image.size(), QSize(400, 300));
    EXPECT_EQ(hit->ownSize, QSize(800, 600));
    EXPECT_FALSE(prefetcher.pending());

    // A request for another size or file is replaced by a fresh load of the one asked for.
    prefetcher.request(first, QSize(400, 300));
    std::optional<LoadedPicture> otherSize = prefetcher.take(first, QSize(200, 150));
    ASSERT_TRUE(otherSize);
    EXPECT_EQ(otherSize->image.size(), QSize(200, 150));
    prefetcher.request(first);
    std::optional<LoadedPicture> otherFile = prefetcher.take(second);
    ASSERT_TRUE(otherFile);
    EXPECT_EQ(otherFile->image.size(), QSize(200, 100));
    EXPECT_FALSE(prefetcher.pending());

    prefetcher.request(broken);
    EXPECT_FALSE(prefetcher.take(broken));
    prefetcher.request(QString());
    std::optional<LoadedPicture> empty = prefetcher.take(QString());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty);

    // Left pending when the prefetcher goes away: the destructor waits for the worker.
    prefetcher.request(first, QSize(80, 60));
}

}  // namespace
}  // namespace tavello

#include "format_samples.h"
#include "support/TestDir.h"
#include "toolkit/Picture.h"

#include <gtest/gtest.h>

#include <QTransform>

namespace tavello {
namespace {

using namespace test::samples;

// Left half red, right half blue, as stored; `turn` says how the file asks to show it.
constexpr QSize kStored(96, 48);

QImage Stored(bool mirrored) {
    const QImage halves = HalvesPicture(kStored);
    return mirrored ? halves.mirrored(true, false) : halves;
}

struct FormatCase {
    const char* name;
    QByteArray bytes;
    QSize shows;  // the picture's size as shown, after its orientation
};

// Every row is stored so that, shown the right way round, red is upper left and blue lower right.
std::vector<FormatCase> FormatCases() {
    const QSize turned = kStored.transposed();
    const auto none = QImageIOHandler::TransformationNone;
    const auto rot90 = QImageIOHandler::TransformationRotate90;
    return {
        {"plain.png", EncodeTurned(Stored(false), "png", none), kStored},
        {"first-frame.gif", Converted(Stored(false), QStringLiteral("gif")), kStored},
        {"plain.webp", EncodeTurned(Stored(false), "webp", none), kStored},
        {"plain.tif", EncodeTurned(Stored(false), "tiff", none), kStored},
        {"turned.tif", EncodeTurned(Stored(false), "tiff", rot90), turned},
        {"plain.heic", EncodeHeif(Stored(false), heif_compression_HEVC), kStored},
        {"turned.heic",
         EncodeHeif(Stored(false), heif_compression_HEVC, heif_orientation_rotate_90_cw), turned},
        {"turned-back.heic",
         EncodeHeif(Stored(true), heif_compression_HEVC, heif_orientation_rotate_270_cw), turned},
        {"mirrored.heic",
         EncodeHeif(Stored(true), heif_compression_HEVC, heif_orientation_flip_horizontally),
         kStored},
        {"plain.avif", EncodeHeif(Stored(false), heif_compression_AV1), kStored},
        {"turned.avif",
         EncodeHeif(Stored(false), heif_compression_AV1, heif_orientation_rotate_90_cw), turned},
        {"mif1-brand.heic",
         WithMajorBrand(EncodeHeif(Stored(false), heif_compression_HEVC), "mif1"), kStored},
        {"image-magick.heic", Converted(Stored(false), QStringLiteral("heic")), kStored},
        {"image-magick.avif", Converted(Stored(false), QStringLiteral("avif")), kStored},
    };
}

bool RedUpperLeftBlueLowerRight(const QImage& image) {
    const int w = image.width(), h = image.height();
    return !image.isNull() && IsReddish(image.pixel(w / 4, h / 4)) &&
           IsBluish(image.pixel(w * 3 / 4, h * 3 / 4));
}

TEST(PictureFormatsTest, EachFormatLoadsTurnedAndReducedAndFailsWhenCut) {
    test::TestDir dir;
    for (const FormatCase& c : FormatCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.isEmpty()) << "the sample could not be made";
        const QString name = QString::fromLatin1(c.name);
        dir.write(name, c.bytes);
        const QString path = dir.file(name);
        EXPECT_EQ(ReadPictureSize(path), c.shows);

        const std::optional<LoadedPicture> whole = LoadPicture(path);
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->ownSize, c.shows);
        EXPECT_EQ(whole->image.size(), c.shows);
        EXPECT_TRUE(RedUpperLeftBlueLowerRight(whole->image));

        const QSize half = c.shows / 2;
        const std::optional<LoadedPicture> reduced = LoadPicture(path, half);
        ASSERT_TRUE(reduced);
        EXPECT_EQ(reduced->ownSize, c.shows);
        EXPECT_EQ(reduced->image.size(), half);
        EXPECT_TRUE(RedUpperLeftBlueLowerRight(reduced->image));

        // A file cut off anywhere, even just before its end, is no picture.
        for (const qsizetype keep : {c.bytes.size() / 2, c.bytes.size() * 9 / 10}) {
            dir.write(QStringLiteral("cut-") + name, c.bytes.left(keep));
            EXPECT_FALSE(LoadPicture(dir.file(QStringLiteral("cut-") + name))) << keep;
        }
    }
}

TEST(PictureFormatsTest, HeifDecodesTheSmallestThumbnailThatCoversTheShownSize) {
    // The stored thumbnail is green, unlike the picture, so the pixels tell which was decoded.
    test::TestDir dir;
    const QImage green = [] {
        QImage image(QSize(96, 48), QImage::Format_RGB32);
        image.fill(QColor(20, 200, 20));
        return image;
    }();
    dir.write(QStringLiteral("thumb.heic"),
              EncodeHeif(HalvesPicture(QSize(256, 128)), heif_compression_HEVC,
                         heif_orientation_normal, green, 64));
    const QString path = dir.file(QStringLiteral("thumb.heic"));
    const struct {
        QSize shown;
        bool fromThumbnail;
    } rows[] = {{QSize(32, 16), true}, {QSize(64, 32), true}, {QSize(128, 64), false}};
    for (const auto& row : rows) {
        const std::optional<LoadedPicture> loaded = LoadPicture(path, row.shown);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->ownSize, QSize(256, 128));
        EXPECT_EQ(loaded->image.size(), row.shown);
        const QRgb corner = loaded->image.pixel(row.shown.width() / 4, row.shown.height() / 2);
        EXPECT_EQ(qGreen(corner) > 150, row.fromThumbnail) << row.shown.width();
    }
}

}  // namespace
}  // namespace tavello

#include "format_samples.h"
#include "support/TestDir.h"
#include "toolkit/Picture.h"

#include <gtest/gtest.h>

#include <QTransform>

#include <webp/encode.h>

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

int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int shift : {0, 8, 16, 24})
                largest =
                    std::max(largest, std::abs(int(p >> shift & 0xFF) - int(q >> shift & 0xFF)));
        }
    }
    return largest;
}

// Transparent PNG and TIFF kinds that ImageMagick writes and decodes as the reference. Compared
// premultiplied: the colours as drawn over the show's black, and the alpha that the preview's own
// background needs.
TEST(PictureFormatsTest, TransparentPngAndTiffLoadAsImageMagickDecodesThem) {
    const QString grey = QStringLiteral(
        "-size 12x6 gradient:gray90-gray20 ( -size 6x12 gradient:white-gray10 -rotate 90 ) "
        "-compose CopyOpacity -composite -colorspace gray -depth 8 -define tiff:alpha=");
    const struct {
        const char* name;
        QString writes;  // ImageMagick's arguments
        QSize shows;
    } rows[] = {
        {"rgb48-transparent-top-row.png",
         "-size 12x6 gradient:#C83C1E-#1EA0DC -transparent #C83C1E -depth 16 PNG48:-",
         {12, 6}},
        {"grey-premultiplied.tif", grey + "associated tiff:-", {12, 6}},
        {"grey-premultiplied-turned.tif", grey + "associated -orient right-top tiff:-", {6, 12}},
        {"grey-unassociated.tif", grey + "unassociated tiff:-", {12, 6}},
    };
    test::TestDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromLatin1(row.name);
        dir.write(name, Magick(row.writes.split(u' ')));
        const std::optional<LoadedPicture> loaded = LoadPicture(dir.file(name));
        ASSERT_TRUE(loaded);
        ASSERT_EQ(loaded->image.size(), row.shows);
        const QByteArray rgba = Magick({dir.file(name), "-auto-orient", "-depth", "8", "rgba:-"});
        ASSERT_EQ(rgba.size(), Pixels(row.shows) * 4);
        const QImage reference(reinterpret_cast<const uchar*>(rgba.constData()), row.shows.width(),
                               row.shows.height(), QImage::Format_RGBA8888);
        EXPECT_LE(
            LargestDifference(loaded->image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                              reference.convertToFormat(QImage::Format_ARGB32_Premultiplied)),
            2);
    }
}

// Colours and transparency that change across the picture, so that scaling faults show.
QImage Gradient(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           qRgba(x * 255 / size.width(), y * 255 / size.height(),
                                 (x * 7 + y * 3) % 256, 255 - (x + y) % 200));
    return image;
}

// Shown smaller, a PNG or an RGB TIFF in strips decodes from its rows into the shown size alone, so
// that even a decode limit below its whole size holds it, in the colours its whole decode has; an
// interlaced PNG or a tiled TIFF is decoded whole and the limit refuses it.
TEST(PictureFormatsTest, PngAndTiffShownSmallerDecodeInRowsWithTheWholeDecodesColours) {
    const QSize own(1000, 600), shown(250, 150);
    const QImage picture = Gradient(own);
    const QByteArray gamma = PngChunk("gAMA", QByteArray("\0\0\xAF\xC8", 4));
    const QByteArray rgb = EncodeTurned(picture.convertToFormat(QImage::Format_RGB888), "png", {});
    const struct {
        const char* name;
        QByteArray bytes;
        bool loads;
    } rows[] = {
        {"rgb.png", rgb, true},
        {"gamma.png", rgb.left(33) + gamma + rgb.mid(33), true},
        {"rgba.png", EncodeTurned(picture, "png", {}), true},
        {"rgba64.png", EncodeTurned(picture.convertToFormat(QImage::Format_RGBA64), "png", {}),
         true},
        {"grey.png", EncodeTurned(picture.convertToFormat(QImage::Format_Grayscale8), "png", {}),
         true},
        {"grey16.png", EncodeTurned(picture.convertToFormat(QImage::Format_Grayscale16), "png", {}),
         true},
        {"grey-alpha.png",
         Magick({"png:-", "-colorspace", "gray", "-define", "png:color-type=4", "png:-"},
                Encode(picture, "PNG")),
         true},
        {"palette.png", EncodeTurned(picture.convertToFormat(QImage::Format_Indexed8), "png", {}),
         true},
        {"mono.png", EncodeTurned(picture.convertToFormat(QImage::Format_Mono), "png", {}), true},
        {"rgb48-transparent.png",
         Magick({"png:-", "-transparent", "#000000", "-depth", "16", "PNG48:-"}, rgb), true},
        {"interlaced.png", Magick({"png:-", "-interlace", "PNG", "png:-"}, rgb), false},
        {"rgb.tif", EncodeTurned(picture.convertToFormat(QImage::Format_RGB32), "tiff", {}), true},
        {"rgb-lzw-predictor.tif",
         Magick({"png:-", "-compress", "LZW", "-define", "tiff:predictor=2", "tiff:-"}, rgb), true},
        {"tiled.tif", Magick({"png:-", "-define", "tiff:tile-geometry=64x64", "tiff:-"}, rgb),
         false},
    };
    test::TestDir dir;
    struct LimitBack {
        ~LimitBack() { SetDecodeLimitMegabytes(kMaxDecodeMegabytes); }
    } limitBack;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.bytes.isEmpty()) << "the sample could not be made";
        const QString path = dir.file(QString::fromLatin1(row.name));
        dir.write(QString::fromLatin1(row.name), row.bytes);
        SetDecodeLimitMegabytes(kMaxDecodeMegabytes);
        const std::optional<LoadedPicture> whole = LoadPicture(path);
        ASSERT_TRUE(whole);
        const QImage::Format format = whole->image.hasAlphaChannel()
                                          ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32;
        const QImage reference = whole->image.convertToFormat(format).scaled(
            shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        SetDecodeLimitMegabytes(1);  // a quarter of the whole picture
        const std::optional<LoadedPicture> reduced = LoadPicture(path, shown);
        ASSERT_EQ(reduced.has_value(), row.loads);
        if (!reduced) continue;
        ASSERT_EQ(reduced->image.format(), format);
        EXPECT_LE(LargestDifference(reduced->image, reference), 2);
    }
}

// A lossy WebP, left half red, right half blue, made from YUV planes to spare a huge RGB copy.
QByteArray HalvesWebp(QSize size) {
    WebPConfig config;
    WebPPicture picture;
    WebPMemoryWriter writer;
    WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, 50);
    config.method = 0;
    WebPPictureInit(&picture);
    WebPMemoryWriterInit(&writer);
    picture.width = size.width();
    picture.height = size.height();
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    if (!WebPPictureAlloc(&picture)) return {};
    // Y, U and V of red on the left, of blue on the right; the chroma planes are half as large.
    const auto fill = [&](uint8_t* plane, int stride, int shift, uint8_t left, uint8_t right) {
        for (int y = 0; y < (size.height() + shift) >> shift; ++y)
            for (int x = 0; x < (size.width() + shift) >> shift; ++x)
                plane[y * stride + x] = x < size.width() >> (shift + 1) ? left : right;
    };
    fill(picture.y, picture.y_stride, 0, 76, 29);
    fill(picture.u, picture.uv_stride, 1, 85, 255);
    fill(picture.v, picture.uv_stride, 1, 255, 107);
    const QByteArray bytes =
        WebPEncode(&config, &picture)
            ? QByteArray(reinterpret_cast<const char*>(writer.mem), qsizetype(writer.size))
            : QByteArray();
    WebPMemoryWriterClear(&writer);
    WebPPictureFree(&picture);
    return bytes;
}

TEST(PictureFormatsTest, StillWebpTooLargeToDecodeWholeLoadsAtTheShownSize) {
    // Just over the decode limit: only a decode at the shown size stays within it.
    const QSize own(8200, 8200), shown(1080, 1080);
    ASSERT_GT(Pixels(own), qint64(kMaxDecodeMegabytes) * 1024 * 1024 / 4);
    test::TestDir dir;
    dir.write(QStringLiteral("large.webp"), HalvesWebp(own));
    const auto loaded = LoadPicture(dir.file(QStringLiteral("large.webp")), shown);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->ownSize, own);
    EXPECT_EQ(loaded->image.size(), shown);
    EXPECT_TRUE(RedUpperLeftBlueLowerRight(loaded->image));
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

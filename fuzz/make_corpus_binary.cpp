// Seeds for the harnesses that read binary files: pictures and music.

#include "make_corpus.h"

#include "music/MusicFixtures.h"
#include "toolkit/format_samples.h"
#include "toolkit/picture_samples.h"

#include <QFile>
#include <QtEndian>

namespace tavello::fuzz {
namespace {

namespace samples = tavello::test::samples;

void AppendLe(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// A BMP with the given info-header fields and pixel bytes; the palette, when any, is grey.
QByteArray Bmp(qint32 width, qint32 height, int bits, int compression, int paletteColours,
               const QByteArray& pixels) {
    QByteArray info;
    AppendLe(info, 40, 4);
    AppendLe(info, quint32(width), 4);
    AppendLe(info, quint32(height), 4);
    AppendLe(info, 1, 2);
    AppendLe(info, quint32(bits), 2);
    AppendLe(info, quint32(compression), 4);
    AppendLe(info, quint32(pixels.size()), 4);
    AppendLe(info, 2835, 4);
    AppendLe(info, 2835, 4);
    AppendLe(info, quint32(paletteColours), 4);
    AppendLe(info, 0, 4);
    QByteArray palette;
    for (int i = 0; i < std::min(paletteColours, 256); ++i) AppendLe(palette, 0x010101u * i, 4);
    const quint32 offset = quint32(14 + info.size() + palette.size());
    QByteArray bmp("BM");
    AppendLe(bmp, offset + quint32(pixels.size()), 4);
    AppendLe(bmp, 0, 4);
    AppendLe(bmp, offset, 4);
    return bmp + info + palette + pixels;
}

Seeds PictureSeeds() {
    const QImage picture = samples::HalvesPicture(QSize(16, 12));
    const QByteArray jpeg = samples::Encode(picture, "jpeg");
    const QByteArray bmp = samples::Encode(picture, "bmp");
    QByteArray topDown = bmp;
    qToLittleEndian<qint32>(-12, topDown.data() + 22);
    // Run-length coded 8-bit rows: a run of 16, end of line, ... end of picture; then a run that
    // claims more than the row holds.
    QByteArray rle8;
    for (int row = 0; row < 4; ++row) rle8 += QByteArray("\x10\x07\x00\x00", 4);
    rle8 += QByteArray("\x00\x01", 2);
    QByteArray rle4 = QByteArray("\xFF\x12\x00\x00\x00\x01", 6);
    const QByteArray png = samples::Encode(picture, "png");
    const QByteArray gif = samples::Converted(picture, QStringLiteral("gif"));
    const QByteArray webp = samples::Encode(picture, "webp");
    const QByteArray heic = samples::EncodeHeif(picture, heif_compression_HEVC);
    const QByteArray avif = samples::EncodeHeif(picture, heif_compression_AV1);
    // Coded four times larger than their stored size says.
    const QImage large = samples::HalvesPicture(picture.size() * 4);
    const QByteArray heicLarge = samples::EncodeHeif(large, heif_compression_HEVC);
    const QByteArray avifLarge = samples::EncodeHeif(large, heif_compression_AV1);
    // The PNG and TIFF kinds that libpng and libtiff decode instead of Qt's readers, the PNG's
    // top row in its transparent colour.
    const auto magick = [](const QString& arguments) {
        return samples::Magick(arguments.split(u' '));
    };
    const QByteArray rgb48 = magick(QStringLiteral(
        "-size 16x12 gradient:#C83C1E-#1EA0DC -transparent #C83C1E -depth 16 PNG48:-"));
    const QString greyAlpha = QStringLiteral(
        "-size 16x12 gradient:gray90-gray20 ( -size 16x12 gradient:white-gray10 ) -compose "
        "CopyOpacity -composite -colorspace gray -depth 8 -define tiff:alpha=associated ");
    return {
        {"baseline.jpg", jpeg},
        {"progressive.jpg", samples::Encode(picture, "jpeg", true)},
        {"repeated-scan.jpg",
         samples::WithRepeatedScan(samples::Encode(picture, "jpeg", true), 300)},
        {"rotated.jpg", samples::WithOrientation(jpeg, 6)},
        {"truncated.jpg", jpeg.left(jpeg.size() * 2 / 3)},
        {"lying-header.jpg", samples::WithJpegSize(jpeg, 65535, 65535)},
        {"huge-progressive.jpg",
         samples::WithJpegSize(samples::Encode(picture, "jpeg", true), 16384, 16384, '\xC2')},
        {"bottom-up.bmp", bmp},
        {"top-down.bmp", topDown},
        {"palette.bmp", Bmp(4, 2, 8, 0, 256, QByteArray(8, '\x80'))},
        {"huge-palette.bmp", Bmp(4, 2, 8, 0, 0x7FFFFFFF, QByteArray(8, '\x80'))},
        {"one-bit.bmp", Bmp(8, 2, 1, 0, 2, QByteArray("\xAA\0\0\0\x55\0\0\0", 8))},
        {"rle8.bmp", Bmp(16, 4, 8, 1, 16, rle8)},
        {"rle4-overrun.bmp", Bmp(4, 1, 4, 2, 16, rle4)},
        {"absurd.bmp", samples::AbsurdBmp(65535, 65535)},
        {"small.png", samples::Encode(picture, "png")},
        {"truncated.png", png.left(png.size() * 2 / 3)},
        {"bulky-text.png", samples::WithTextChunks(png, 8, 1 << 20)},
        {"first-frame.gif", gif},
        {"truncated.gif", gif.left(gif.size() * 2 / 3)},
        {"wide-screen.gif", QByteArray(gif).replace(6, 2, QByteArray("\x10\x08", 2))},
        {"small.webp", webp},
        {"truncated.webp", webp.left(webp.size() * 2 / 3)},
        {"small.tif", samples::EncodeTurned(picture, "tiff", QImageIOHandler::TransformationNone)},
        {"rotated.tif",
         samples::EncodeTurned(picture, "tiff", QImageIOHandler::TransformationRotate90)},
        {"small.heic", heic},
        {"truncated.heic", heic.left(heic.size() * 2 / 3)},
        {"rotated.heic",
         samples::EncodeHeif(picture, heif_compression_HEVC, heif_orientation_rotate_90_cw)},
        {"small.avif", avif},
        {"truncated.avif", avif.left(avif.size() * 2 / 3)},
        {"mif1-brand.heic", samples::WithMajorBrand(heic, "mif1")},
        {"lying-size.heic", samples::WithHeifSize(heicLarge, picture.size())},
        {"lying-size.avif", samples::WithHeifSize(avifLarge, picture.size())},
        {"transparent-colour-16bit.png", rgb48},
        {"grey-alpha.tif", magick(greyAlpha + QStringLiteral("tiff:-"))},
        {"grey-alpha-turned.tif", magick(greyAlpha + QStringLiteral("-orient right-top tiff:-"))},
        {"zero-bytes", QByteArray()},
        {"random-bytes", QByteArray("\x13\x9c\xf1\x00\x42\x7e\xd9\x88\x01\xff\xd8\xff\x10", 13)},
    };
}

QByteArray Rmi(const QByteArray& midi) {
    QByteArray data("data");
    AppendLe(data, quint32(midi.size()), 4);
    data += midi;
    QByteArray rmi("RIFF");
    AppendLe(rmi, quint32(4 + data.size()), 4);
    return rmi + "RMID" + data;
}

QByteArray SampleMusic(const char* name, qsizetype bytes) {
    QFile file(test::SampleMusicFolder() + u'/' + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

Seeds MusicSeeds() {
    // The first byte picks the extension: 0 .mid, 1 .rmi, 2 .midi, 3 .mp3, 4 .wav.
    const QByteArray midi = test::MusicMidi();
    QByteArray longTrack = midi;
    qToBigEndian<quint32>(0x7FFFFFF0, longTrack.data() + 18);
    QByteArray format3 = midi;
    format3[9] = 3;
    QByteArray extraChunk = midi + "XTRA" + QByteArray("\0\0\0\2ab", 6);
    return {
        {"midi", '\0' + midi},
        {"sample-midi", '\0' + SampleMusic("sample.mid", 4096)},
        {"rmi", '\1' + Rmi(midi)},
        {"midi-extension", '\2' + test::OneNoteMidi()},
        {"midi-named-mp3", '\3' + midi},
        {"truncated-midi", '\0' + midi.left(midi.size() - 5)},
        {"track-past-end", '\0' + longTrack},
        {"format-3", '\0' + format3},
        {"unknown-chunk", '\0' + extraChunk},
        {"mp3", '\3' + SampleMusic("sample.mp3", 3000)},
        {"wav", '\4' + test::MusicWav(10)},
        {"truncated-wav", '\4' + test::MusicWav(10).left(60)},
        {"wav-named-midi", '\0' + test::MusicWav(5)},
        {"empty", QByteArray(1, '\0')},
    };
}

}  // namespace

std::vector<Harness> BinaryHarnesses() {
    return {{"picture", PictureSeeds()}, {"midi", MusicSeeds()}};
}

}  // namespace tavello::fuzz

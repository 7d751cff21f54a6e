#include "toolkit/PictureIntegrity.h"

#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace tavello {
namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
constexpr unsigned char kStartOfScan = 0xDA;

unsigned char At(QByteArrayView bytes, qsizetype pos) {
    return std::uint8_t(bytes[pos]);
}

bool IsRestartMarker(unsigned char code) {
    return code >= 0xD0 && code <= 0xD7;
}

// Markers that stand alone, without a length field.
bool IsStandaloneMarker(unsigned char code) {
    return code == kStartOfImage || code == 0x01 || IsRestartMarker(code);
}

std::int64_t ReadLe(QByteArrayView bytes, qsizetype pos, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | At(bytes, pos + i);
    return std::int64_t(value);
}

std::int32_t ReadLe32Signed(QByteArrayView bytes, qsizetype pos) {
    return std::int32_t(std::uint32_t(ReadLe(bytes, pos, 4)));
}

}  // namespace

namespace {

constexpr std::int64_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

struct BmpHeader {
    std::int64_t pixelOffset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows, whether stored bottom-up or top-down
    std::int64_t bitsPerPixel = 0;
    std::int64_t compression = kRgb;
};

std::optional<BmpHeader> ReadBmpHeader(QByteArrayView bytes) {
    constexpr qsizetype kFileHeader = 14;
    if (bytes.size() < kFileHeader + 12 || At(bytes, 0) != 'B' || At(bytes, 1) != 'M') {
        return std::nullopt;
    }
    BmpHeader bmp;
    bmp.pixelOffset = ReadLe(bytes, 10, 4);
    const std::int64_t infoSize = ReadLe(bytes, kFileHeader, 4);
    if (infoSize == 12) {  // the old OS/2 header with 16-bit sizes
        bmp.width = ReadLe(bytes, 18, 2);
        bmp.height = ReadLe(bytes, 20, 2);
        bmp.bitsPerPixel = ReadLe(bytes, 24, 2);
    } else if (infoSize >= 40 && bytes.size() >= kFileHeader + 40) {
        bmp.width = ReadLe32Signed(bytes, 18);
        bmp.height = std::llabs(ReadLe32Signed(bytes, 22));
        bmp.bitsPerPixel = ReadLe(bytes, 28, 2);
        bmp.compression = ReadLe(bytes, 30, 4);
    } else {
        return std::nullopt;
    }
    return bmp;
}

bool IsRunLengthCoded(const BmpHeader& bmp) {
    return (bmp.compression == kRle8 && bmp.bitsPerPixel == 8) ||
           (bmp.compression == kRle4 && bmp.bitsPerPixel == 4);
}

// Reads a device a chunk at a time, one byte after another.
class ByteReader {
  public:
    explicit ByteReader(QIODevice& device) : device_(device) {}
    // The next byte, or -1 at the end of the data.
    int next() {
        if (pos_ == chunk_.size()) {
            chunk_ = device_.read(64 * 1024);
            pos_ = 0;
            if (chunk_.isEmpty()) return -1;
        }
        return At(chunk_, pos_++);
    }
    bool skip(std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i)
            if (next() < 0) return false;
        return true;
    }

  private:
    QIODevice& device_;
    QByteArray chunk_;
    qsizetype pos_ = 0;
};

// Walks the runs of a run-length coded BMP. It is whole when it reaches its end marker, or the
// end of its last row, without a run reaching beyond the end of a row or below the last row:
// readers quietly clip such runs and fill what the data leaves out, so a damaged or cut file
// would otherwise show as a picture.
bool RunsAreWhole(QIODevice& file, const BmpHeader& bmp) {
    if (bmp.width <= 0 || bmp.height <= 0 || !file.seek(bmp.pixelOffset)) return false;
    const bool fourBits = bmp.compression == kRle4;
    // A four-bit run fills pixels in pairs, so an odd row may end with one pixel to spare.
    const std::int64_t rowEnd = bmp.width + (fourBits && bmp.width % 2 != 0 ? 1 : 0);
    ByteReader in(file);
    std::int64_t x = 0, y = 0;
    auto fits = [&](std::int64_t pixels) { return y < bmp.height && x + pixels <= rowEnd; };
    for (;;) {
        const int count = in.next();
        const int code = in.next();
        if (code < 0) return y >= bmp.height || (y == bmp.height - 1 && x >= bmp.width);
        if (count > 0) {  // a run of one colour
            if (!fits(count)) return false;
            x += count;
        } else if (code == 0) {  // end of row
            ++y;
            x = 0;
        } else if (code == 1) {  // end of picture
            return true;
        } else if (code == 2) {  // a jump right and down
            const int right = in.next();
            const int down = in.next();
            if (down < 0) return false;
            x += right;
            y += down;
        } else {  // that many pixels stored as they are, padded to a whole 16-bit word
            if (!fits(code)) return false;
            const std::int64_t bytes = fourBits ? (code + 1) / 2 : code;
            if (!in.skip(bytes + bytes % 2)) return false;
            x += code;
        }
    }
}

}  // namespace

bool BmpIsComplete(QByteArrayView bytes, qint64 fileSize) {
    const std::optional<BmpHeader> bmp = ReadBmpHeader(bytes);
    if (!bmp) return false;
    if (bmp->compression != kRgb && bmp->compression != kBitfields &&
        bmp->compression != kAlphaBitfields) {
        return true;  // coded rows have no fixed size to check
    }
    if (bmp->width <= 0 || bmp->bitsPerPixel <= 0) return false;
    const std::int64_t rowBytes = ((bmp->width * bmp->bitsPerPixel + 31) / 32) * 4;
    // An absurd header could overflow the product; such a file is not whole anyway.
    if (bmp->height > 0 && rowBytes > (std::int64_t(1) << 62) / bmp->height) return false;
    return bmp->pixelOffset + rowBytes * bmp->height <= fileSize;
}

namespace {

// Where the coded data of the first scan begins, walking the segments from the start; -1 when
// the file ends or breaks first.
qint64 FirstScanData(QIODevice& file) {
    qint64 pos = 2;
    const qint64 size = file.size();
    while (pos + 4 <= size) {
        if (!file.seek(pos)) return -1;
        const QByteArray head = file.read(4);
        if (head.size() < 4 || At(head, 0) != kMarker) return -1;
        const unsigned char code = At(head, 1);
        if (code == kMarker) {  // a fill byte before the marker
            ++pos;
            continue;
        }
        if (code == kEndOfImage) return -1;
        if (IsStandaloneMarker(code)) {
            pos += 2;
            continue;
        }
        const qint64 length = (qint64(At(head, 2)) << 8) | At(head, 3);
        if (length < 2) return -1;
        pos += 2 + length;
        if (code == kStartOfScan) return pos <= size ? pos : -1;
    }
    return -1;
}

// Searches backwards from the end of the file, a chunk at a time, for an end marker lying after
// the first scan's header. Usually it is in the last two bytes; data appended after the picture
// (some cameras add their own) is searched through.
bool JpegFileComplete(QIODevice& file) {
    constexpr qint64 kChunk = 64 * 1024;
    const qint64 scanData = FirstScanData(file);
    if (scanData < 0) return false;
    qint64 end = file.size();
    while (end - scanData >= 2) {
        const qint64 start = std::max(scanData, end - kChunk);
        if (!file.seek(start)) return false;
        const QByteArray chunk = file.read(end - start);
        if (chunk.size() != end - start) return false;
        for (qsizetype i = chunk.size() - 2; i >= 0; --i) {
            if (At(chunk, i) == kMarker && At(chunk, i + 1) == kEndOfImage) return true;
        }
        end = start + 1;  // the next chunk overlaps by one byte so that no pair is split
    }
    return false;
}

}  // namespace

namespace {

// A PNG ends with its end chunk: empty, with a fixed checksum. Qt's reader fails on cut-off pixel
// data by itself; this also catches a file cut between its pixels and its end.
bool PngFileComplete(QIODevice& file) {
    static const QByteArray kEnd("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
    return file.size() >= kEnd.size() && file.seek(file.size() - kEnd.size()) &&
           file.read(kEnd.size()) == kEnd;
}

// A WebP is one RIFF chunk whose header gives its length: the file must hold all of it.
bool WebpFileComplete(QByteArrayView head, qint64 fileSize) {
    return head.size() >= 12 && 8 + ReadLe(head, 4, 4) <= fileSize;
}

// Skips a chain of GIF data sub-blocks (a length byte, that many bytes, until a zero length).
bool SkipSubBlocks(ByteReader& in) {
    for (;;) {
        const int length = in.next();
        if (length < 0) return false;
        if (length == 0) return true;
        if (!in.skip(length)) return false;
    }
}

// Skips a colour table when the flags byte says one follows.
bool SkipColourTable(ByteReader& in, int flags) {
    return (flags & 0x80) == 0 || in.skip(3 * (std::int64_t(1) << ((flags & 0x07) + 1)));
}

// We show a GIF's first frame: Qt's reader fills a cut-off frame with black and reports success,
// so the file must hold that frame to the end of its data. Later frames are not looked at.
bool GifFirstFrameComplete(QIODevice& file) {
    constexpr int kExtension = 0x21, kImage = 0x2C;
    if (!file.seek(0)) return false;
    ByteReader in(file);
    if (!in.skip(10)) return false;  // signature, version, screen size
    const int screenFlags = in.next();
    if (screenFlags < 0 || !in.skip(2) || !SkipColourTable(in, screenFlags)) return false;
    for (;;) {
        const int block = in.next();
        if (block == kExtension) {
            if (in.next() < 0 || !SkipSubBlocks(in)) return false;
        } else if (block == kImage) {
            if (!in.skip(8)) return false;  // position and size
            const int imageFlags = in.next();
            if (imageFlags < 0 || !SkipColourTable(in, imageFlags)) return false;
            return in.next() >= 0 && SkipSubBlocks(in);  // code size, then the coded pixels
        } else {
            return false;  // the trailer or anything else before a first frame
        }
    }
}

}  // namespace

bool PictureFileComplete(QIODevice& file) {
    if (!file.seek(0)) return false;
    const QByteArray head = file.read(64);
    if (head.size() >= 2 && At(head, 0) == kMarker && At(head, 1) == kStartOfImage) {
        return JpegFileComplete(file);
    }
    if (head.size() >= 2 && At(head, 0) == 'B' && At(head, 1) == 'M') {
        if (!BmpIsComplete(head, file.size())) return false;
        const std::optional<BmpHeader> bmp = ReadBmpHeader(head);
        return !IsRunLengthCoded(*bmp) || RunsAreWhole(file, *bmp);
    }
    if (head.startsWith("\x89PNG\r\n\x1A\n")) return PngFileComplete(file);
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") {
        return WebpFileComplete(head, file.size());
    }
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return GifFirstFrameComplete(file);
    return true;
}

}  // namespace tavello

#include "toolkit/PictureIntegrity.h"

#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

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

bool BmpIsComplete(QByteArrayView bytes, qint64 fileSize) {
    constexpr qsizetype kFileHeader = 14;
    if (bytes.size() < kFileHeader + 12 || At(bytes, 0) != 'B' || At(bytes, 1) != 'M') return false;
    const std::int64_t pixelOffset = ReadLe(bytes, 10, 4);
    const std::int64_t infoSize = ReadLe(bytes, kFileHeader, 4);
    std::int64_t width = 0, height = 0, bitsPerPixel = 0, compression = 0;
    if (infoSize == 12) {  // the old OS/2 header with 16-bit sizes
        width = ReadLe(bytes, 18, 2);
        height = ReadLe(bytes, 20, 2);
        bitsPerPixel = ReadLe(bytes, 24, 2);
    } else if (infoSize >= 40 && bytes.size() >= kFileHeader + 40) {
        width = ReadLe32Signed(bytes, 18);
        height = std::llabs(ReadLe32Signed(bytes, 22));
        bitsPerPixel = ReadLe(bytes, 28, 2);
        compression = ReadLe(bytes, 30, 4);
    } else {
        return false;
    }
    constexpr std::int64_t kRgb = 0, kBitfields = 3, kAlphaBitfields = 6;
    if (compression != kRgb && compression != kBitfields && compression != kAlphaBitfields) {
        return true;  // run-length coded rows have no fixed size to check
    }
    if (width <= 0 || bitsPerPixel <= 0) return false;
    const std::int64_t rowBytes = ((width * bitsPerPixel + 31) / 32) * 4;
    // An absurd header could overflow the product; such a file is not whole anyway.
    if (height > 0 && rowBytes > (std::int64_t(1) << 62) / height) return false;
    return pixelOffset + rowBytes * height <= fileSize;
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

bool PictureFileComplete(QIODevice& file) {
    if (!file.seek(0)) return false;
    const QByteArray head = file.read(64);
    if (head.size() >= 2 && At(head, 0) == kMarker && At(head, 1) == kStartOfImage) {
        return JpegFileComplete(file);
    }
    if (head.size() >= 2 && At(head, 0) == 'B' && At(head, 1) == 'M') {
        return BmpIsComplete(head, file.size());
    }
    return true;
}

}  // namespace tavello

#include "toolkit/PictureCost.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace tavello {
namespace {

constexpr int kMarker = 0xFF;
constexpr int kStartOfImage = 0xD8;
constexpr int kEndOfImage = 0xD9;
constexpr int kStartOfScan = 0xDA;

// libjpeg writes ten scans for a progressive JPEG and encoders that tune the split a few more; a
// hand-made script splitting every coefficient band and bit of three components stays within a
// hundred or so. Past this many, a file only repeats scans, each one more pass over the picture.
constexpr int kMaxJpegScans = 256;

// A progressive JPEG's decoder holds every DCT coefficient of the picture (two bytes each) until
// its last scan, whatever size it is decoded at; past this a file is refused before any decoder
// sees it.
constexpr qint64 kMaxCoefficientBytes = 256LL * 1024 * 1024;

bool IsProgressiveFrame(int code) {
    return code == 0xC2 || code == 0xC6 || code == 0xCA || code == 0xCE;
}

// Reads a device a block at a time.
class BlockReader {
  public:
    explicit BlockReader(QIODevice& device) : device_(device) {}

    // The next byte, or -1 at the end of the data.
    int next() {
        if (pos_ == block_.size() && !refill()) return -1;
        return quint8(block_[pos_++]);
    }

    // The next `count` bytes, fewer at the end of the data.
    QByteArray read(qint64 count) {
        QByteArray bytes;
        while (bytes.size() < count && (pos_ < block_.size() || refill())) {
            const qint64 step = std::min<qint64>(count - bytes.size(), block_.size() - pos_);
            bytes += block_.mid(pos_, step);
            pos_ += step;
        }
        return bytes;
    }

    bool skip(qint64 count) {
        while (count > 0) {
            if (pos_ == block_.size() && !refill()) return false;
            const qint64 step = std::min<qint64>(count, block_.size() - pos_);
            pos_ += step;
            count -= step;
        }
        return count == 0;
    }

    // Moves past the next 0xFF byte; false when the data ends first.
    bool skipPastMarkerByte() {
        for (;;) {
            if (pos_ == block_.size() && !refill()) return false;
            const char* from = block_.constData() + pos_;
            const void* found = std::memchr(from, kMarker, size_t(block_.size() - pos_));
            if (found) {
                pos_ += static_cast<const char*>(found) - from + 1;
                return true;
            }
            pos_ = block_.size();
        }
    }

  private:
    bool refill() {
        block_ = device_.read(64 * 1024);
        pos_ = 0;
        return !block_.isEmpty();
    }

    QIODevice& device_;
    QByteArray block_;
    qsizetype pos_ = 0;
};

// The coefficient buffer a frame header (the segment after its length) asks for: each component's
// blocks, in whole MCUs, 64 coefficients of two bytes each. -1 for a cut-off header.
qint64 CoefficientBytes(const QByteArray& frame) {
    if (frame.size() < 6) return -1;
    const qint64 height = quint8(frame[1]) << 8 | quint8(frame[2]);
    const qint64 width = quint8(frame[3]) << 8 | quint8(frame[4]);
    const int components = quint8(frame[5]);
    if (frame.size() < 6 + 3 * components) return -1;
    int hMax = 1, vMax = 1;
    for (int i = 0; i < components; ++i) {
        hMax = std::max(hMax, quint8(frame[7 + 3 * i]) >> 4);
        vMax = std::max(vMax, quint8(frame[7 + 3 * i]) & 0xF);
    }
    const auto blocks = [](qint64 side, int factor, int most) {
        const qint64 mcus = (side + 8 * most - 1) / (8 * most);
        return mcus * std::max(factor, 1);
    };
    qint64 total = 0;
    for (int i = 0; i < components; ++i) {
        const int sampling = quint8(frame[7 + 3 * i]);
        total += blocks(width, sampling >> 4, hMax) * blocks(height, sampling & 0xF, vMax) * 128;
    }
    return total;
}

bool IsRestartMarker(int code) {
    return code >= 0xD0 && code <= 0xD7;
}

// The code of the marker that starts here, fill bytes skipped; -1 when none does.
int NextMarker(BlockReader& in) {
    if (in.next() != kMarker) return -1;
    int code = in.next();
    while (code == kMarker) code = in.next();
    return code;
}

// The marker that ends a scan's coded data, whose stuffed zeros and restart markers are data.
int MarkerAfterScanData(BlockReader& in) {
    for (;;) {
        if (!in.skipPastMarkerByte()) return -1;
        int code = in.next();
        while (code == kMarker) code = in.next();
        if (code < 0 || (code != 0 && !IsRestartMarker(code))) return code;
    }
}

constexpr qint64 kPngSignature = 8;
constexpr qint64 kChunkFrame = 12;  // length and type before the data, checksum after it
// Deflate inflates at most about a thousandfold, so this keeps a PNG's text to a few megabytes.
constexpr qint64 kMaxCompressedTextBytes = 4 * 1024;
// An iTXt keyword is at most 79 bytes, then its end and the compression flag.
constexpr qint64 kITxtHead = 81;

bool IsPng(QIODevice& file) {
    return file.seek(0) && file.peek(kPngSignature) == "\x89PNG\r\n\x1A\n";
}

quint32 BigEndian32(const char* bytes) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | quint8(bytes[i]);
    return value;
}

// Whether an iTXt chunk's data, starting with `head`, is compressed; one without the end of its
// keyword is counted as compressed, so it is left out too.
bool ITxtCompressed(const QByteArray& head) {
    const qsizetype end = head.indexOf('\0');
    return end < 0 || end + 1 >= head.size() || head[end + 1] != '\0';
}

bool IsTextChunk(QByteArrayView type) {
    return type == "tEXt" || type == "zTXt" || type == "iTXt";
}

}  // namespace

bool JpegScansBounded(QIODevice& file) {
    if (!file.seek(0)) return true;
    BlockReader in(file);
    if (NextMarker(in) != kStartOfImage) return true;
    int scans = 0;
    int code = NextMarker(in);
    while (code >= 0 && code != kEndOfImage) {
        if (code == 0x01 || IsRestartMarker(code)) {  // markers without a length
            code = NextMarker(in);
            continue;
        }
        const int high = in.next();
        const int low = in.next();
        const qint64 length = qint64(high << 8 | low) - 2;
        if (IsProgressiveFrame(code) && low >= 0) {
            if (CoefficientBytes(in.read(length)) > kMaxCoefficientBytes) return false;
            code = NextMarker(in);
            continue;
        }
        if (low < 0 || !in.skip(length)) return true;
        if (code != kStartOfScan) {
            code = NextMarker(in);
            continue;
        }
        if (++scans > kMaxJpegScans) return false;
        code = MarkerAfterScanData(in);
    }
    return true;
}

bool PngHasBulkyText(QIODevice& file) {
    if (!IsPng(file)) return false;
    qint64 compressed = 0;
    for (qint64 at = kPngSignature; file.seek(at);) {
        const QByteArray header = file.read(8);
        if (header.size() < 8) return false;
        const qint64 length = BigEndian32(header.constData());
        const QByteArrayView type = QByteArrayView(header).sliced(4);
        if (type == "zTXt" ||
            (type == "iTXt" && ITxtCompressed(file.read(std::min(length, kITxtHead))))) {
            compressed += length;
            if (compressed > kMaxCompressedTextBytes) return true;
        }
        if (type == "IEND") return false;
        at += kChunkFrame + length;
    }
    return false;
}

QByteArray PngWithoutText(QIODevice& file) {
    if (!IsPng(file)) return {};
    const QByteArray bytes = file.readAll();
    QByteArray kept = bytes.left(kPngSignature);
    qint64 at = kPngSignature;
    while (at + kChunkFrame <= bytes.size()) {
        const qint64 size = kChunkFrame + BigEndian32(bytes.constData() + at);
        if (size > bytes.size() - at) return {};
        const QByteArrayView chunk = QByteArrayView(bytes).sliced(at, size);
        if (!IsTextChunk(chunk.sliced(4, 4))) kept += chunk;
        at += size;
    }
    return kept;
}

}  // namespace tavello

#include "toolkit/HeifPicture.h"

#include <QIODevice>

#include <optional>

namespace tavello {
namespace {

constexpr int kSpsNalType = 33;
constexpr qsizetype kHvcCHeader = 22;  // the fields before the arrays of parameter sets
constexpr qint64 kMaxMetaBytes = 16LL * 1024 * 1024;

quint32 Be(QByteArrayView bytes, qsizetype at, int count) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | quint8(bytes[at + i]);
    return value;
}

// Reads a NAL unit's payload bit by bit, its emulation-prevention bytes left out.
class BitReader {
  public:
    explicit BitReader(QByteArrayView nal) {
        for (qsizetype i = 0; i < nal.size(); ++i) {
            if (i >= 2 && nal[i] == 3 && nal[i - 1] == 0 && nal[i - 2] == 0) continue;
            bytes_ += nal[i];
        }
    }
    bool failed() const { return failed_; }
    quint32 bits(int count) {
        quint32 value = 0;
        for (int i = 0; i < count; ++i) value = value << 1 | bit();
        return value;
    }
    void skip(int count) {
        for (int i = 0; i < count; ++i) bit();
    }
    // An unsigned Exp-Golomb number.
    quint64 ue() {
        int zeros = 0;
        while (!failed_ && bit() == 0) ++zeros;
        if (zeros > 32) failed_ = true;
        return failed_ ? 0 : (quint64(1) << zeros) - 1 + bits(zeros);
    }

  private:
    quint32 bit() {
        if (at_ >= bytes_.size() * 8) {
            failed_ = true;
            return 0;
        }
        const quint32 value = quint8(bytes_[at_ / 8]) >> (7 - at_ % 8) & 1;
        ++at_;
        return value;
    }
    QByteArray bytes_;
    qsizetype at_ = 0;
    bool failed_ = false;
};

// The coded picture size in a sequence parameter set, NAL header included; nothing when cut off.
std::optional<qint64> SpsPixels(QByteArrayView nal) {
    BitReader in(nal);
    in.skip(16 + 4);  // NAL header, video parameter set id
    const int subLayers = int(in.bits(3));
    in.skip(1 + 88 + 8);  // nesting flag, general profile, general level
    bool profile[8] = {}, level[8] = {};
    for (int i = 0; i < subLayers; ++i) {
        profile[i] = in.bits(1);
        level[i] = in.bits(1);
    }
    if (subLayers > 0) in.skip(2 * (8 - subLayers));
    for (int i = 0; i < subLayers; ++i) in.skip((profile[i] ? 88 : 0) + (level[i] ? 8 : 0));
    in.ue();                       // sequence parameter set id
    if (in.ue() == 3) in.skip(1);  // separate colour planes
    const quint64 width = in.ue(), height = in.ue();
    if (in.failed()) return std::nullopt;
    return qint64(width * height);
}

// Whether the hvcC box's sequence parameter sets all stay within `maxPixels`.
bool HvcCBounded(QByteArrayView box, qint64 maxPixels) {
    if (box.size() < kHvcCHeader + 1) return false;
    qsizetype at = kHvcCHeader + 1;
    for (quint32 array = 0; array < quint8(box[kHvcCHeader]); ++array) {
        if (at + 3 > box.size()) return false;
        const int type = box[at] & 0x3F;
        const quint32 count = Be(box, at + 1, 2);
        at += 3;
        for (quint32 n = 0; n < count; ++n) {
            if (at + 2 > box.size()) return false;
            const qsizetype length = Be(box, at, 2);
            if (at + 2 + length > box.size()) return false;
            if (type == kSpsNalType) {
                const std::optional<qint64> pixels = SpsPixels(box.sliced(at + 2, length));
                if (!pixels || *pixels > maxPixels) return false;
            }
            at += 2 + length;
        }
    }
    return true;
}

// The payload of the first child box of `type` within `boxes`; empty when there is none.
QByteArrayView ChildBox(QByteArrayView boxes, const char* type) {
    for (qsizetype at = 0; at + 8 <= boxes.size();) {
        const qint64 size = Be(boxes, at, 4);
        if (size < 8 || size > boxes.size() - at) return {};
        if (boxes.sliced(at + 4, 4) == type) return boxes.sliced(at + 8, size - 8);
        at += size;
    }
    return {};
}

// The top-level meta box's payload, read from the file; empty when there is none.
QByteArray MetaBox(QIODevice& file) {
    for (qint64 at = 0; file.seek(at);) {
        const QByteArray header = file.read(16);
        if (header.size() < 8) return {};
        qint64 size = Be(header, 0, 4), headerSize = 8;
        if (size == 1 && header.size() == 16) {
            size = qint64(quint64(Be(header, 8, 4)) << 32 | Be(header, 12, 4));
            headerSize = 16;
        }
        if (size < headerSize) return {};
        if (header.mid(4, 4) == "meta") {
            if (size > kMaxMetaBytes || !file.seek(at + headerSize)) return {};
            return file.read(size - headerSize);
        }
        at += size;
    }
    return {};
}

}  // namespace

bool HevcStreamsBounded(QIODevice& file, qint64 maxPixels) {
    const QByteArray meta = MetaBox(file);
    if (meta.size() < 4) return true;
    // meta is a full box: a version and flags come before its children.
    const QByteArrayView properties =
        ChildBox(ChildBox(QByteArrayView(meta).sliced(4), "iprp"), "ipco");
    for (qsizetype at = 0; at + 8 <= properties.size();) {
        const qint64 size = Be(properties, at, 4);
        if (size < 8 || size > properties.size() - at) return true;
        if (properties.sliced(at + 4, 4) == "hvcC" &&
            !HvcCBounded(properties.sliced(at + 8, size - 8), maxPixels)) {
            return false;
        }
        at += size;
    }
    return true;
}

}  // namespace tavello

#include "platform/FileNames.h"

namespace tavello {
namespace {

constexpr char16_t kStrayByteBase = 0xDC00;

bool IsStrayByte(QChar c) {
    return c.unicode() >= kStrayByteBase + 0x80 && c.unicode() <= kStrayByteBase + 0xFF;
}

// The length a UTF-8 sequence starting with lead would have; 0 when lead cannot start one.
qsizetype SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

QString DecodeFileName(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = SequenceLength(lead);
        if (lead < 0x80) {
            name += QChar(lead);
            ++i;
        } else if (length > 0 && i + length <= bytes.size() &&
                   bytes.sliced(i, length).isValidUtf8()) {
            name += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        } else {
            name += QChar(char16_t(kStrayByteBase + lead));
            ++i;
        }
    }
    return name;
}

QByteArray EncodeFileName(QStringView name) {
    QByteArray bytes;
    qsizetype run = 0;  // where the text not yet converted starts
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i;  // a pair: text, whatever its low half
            continue;
        }
        if (!IsStrayByte(name[i])) continue;
        bytes += name.sliced(run, i - run).toUtf8();
        bytes += char(name[i].unicode() - kStrayByteBase);
        run = i + 1;
    }
    if (run == 0) return name.toUtf8();
    bytes += name.sliced(run).toUtf8();
    return bytes;
}

}  // namespace tavello

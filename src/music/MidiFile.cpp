#include "music/MidiFile.h"

#include <QtEndian>

namespace tavello {
namespace {

quint32 BigEndian32(const char* p) {
    return qFromBigEndian<quint32>(p);
}

bool IsRmi(const QByteArray& data) {
    return data.size() >= kMidiSniffBytes && data.startsWith("RIFF") && data.mid(8, 4) == "RMID";
}

}  // namespace

bool LooksLikeMidi(const QByteArray& head) {
    return head.startsWith("MThd") || IsRmi(head);
}

bool IsWellFormedMidi(const QByteArray& bytes) {
    QByteArray data = bytes;
    if (IsRmi(data)) {
        const qsizetype at = data.indexOf("data", 12);
        if (at < 0 || at + 8 > data.size()) return false;
        const quint32 length = qFromLittleEndian<quint32>(data.constData() + at + 4);
        data = data.mid(at + 8, length);
    }
    if (data.size() < 14 || !data.startsWith("MThd") || BigEndian32(data.constData() + 4) < 6)
        return false;
    const int format =
        (static_cast<unsigned char>(data[8]) << 8) | static_cast<unsigned char>(data[9]);
    if (format > 2) return false;
    quint64 at = 8 + quint64{BigEndian32(data.constData() + 4)};
    const auto size = static_cast<quint64>(data.size());
    int tracks = 0;
    while (at + 8 <= size) {
        const quint64 length = BigEndian32(data.constData() + at + 4);
        if (at + 8 + length > size) return false;
        if (data.mid(static_cast<qsizetype>(at), 4) == "MTrk") ++tracks;
        at += 8 + length;
    }
    return tracks > 0 && at == size;
}

}  // namespace tavello

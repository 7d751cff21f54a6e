#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tavello {

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder sjis("Shift_JIS");
    if (sjis.isValid()) {
        QString legacy = sjis.decode(bytes);
        if (!sjis.hasError()) return legacy;
    }
    return text;  // neither fits: keep what UTF-8 made of it, with replacement characters
}

QByteArray EncodeText(const QString& text) {
    return text.toUtf8();
}

}  // namespace tavello

#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tavello {

namespace {

// The decoder drops one byte-order mark; a file saved by an editor that added another keeps the
// rest, which would otherwise stick to the first value and vanish only after the next save.
QString WithoutByteOrderMarks(QString text) {
    qsizetype marks = 0;
    while (marks < text.size() && text.at(marks) == QChar(QChar::ByteOrderMark)) ++marks;
    return text.mid(marks);
}

}  // namespace

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return WithoutByteOrderMarks(text);
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

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavello {

// File names are bytes, mostly UTF-8. A name that is not UTF-8 (Shift-JIS from an old camera card,
// say) would be lost to the usual conversion, which puts U+FFFD in place of the stray bytes. Here
// each stray byte becomes a lone low surrogate U+DC80..U+DCFF, which no UTF-8 text decodes to, so
// EncodeFileName gives back the very bytes. For UTF-8 names both equal QFile's own conversion.
QString DecodeFileName(QByteArrayView bytes);
QByteArray EncodeFileName(QStringView name);

}  // namespace tavello

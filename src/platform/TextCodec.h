#pragma once

#include <QByteArray>
#include <QString>

namespace tavello {

// Text files are written as UTF-8. A file that is not valid UTF-8 is taken to come from the
// classic platform and read as code page 932 (Shift-JIS).
QString DecodeText(const QByteArray& bytes);
QByteArray EncodeText(const QString& text);

}  // namespace tavello

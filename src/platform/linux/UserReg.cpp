#include "platform/linux/UserReg.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringList>

namespace tavello {
namespace {

const QString kDesktopKey = QStringLiteral("[HKEY_CURRENT_USER\\Control Panel\\desktop]");
const QString kValueName = QStringLiteral("\"ScreenSaveUsePassword\"");

// Puts the value line into the desktop section, replacing an earlier one, adding the section
// (and the file's header) when missing.
QStringList WithPasswordSwitch(QStringList lines, bool on) {
    const QString valueLine = kValueName + QStringLiteral("=dword:0000000") + (on ? u'1' : u'0');
    if (lines.isEmpty() || lines.join(QString()).trimmed().isEmpty())
        lines = {QStringLiteral("Windows Registry Editor Version 5.00"), QString()};
    qsizetype section = -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].trimmed().compare(kDesktopKey, Qt::CaseInsensitive) == 0) section = i;
    if (section < 0) {
        if (!lines.last().trimmed().isEmpty()) lines.append(QString());
        lines << kDesktopKey << valueLine;
        return lines;
    }
    qsizetype i = section + 1;
    for (; i < lines.size() && !lines[i].trimmed().startsWith(u'['); ++i) {
        if (lines[i].trimmed().startsWith(kValueName, Qt::CaseInsensitive)) {
            lines[i] = valueLine;
            return lines;
        }
    }
    lines.insert(section + 1, valueLine);
    return lines;
}

}  // namespace

QString UserRegPath() {
    return SettingsFolder() + QStringLiteral("/user.reg");
}

QString ReadUserRegText() {
    constexpr qint64 kMaxBytes = 4 * 1024 * 1024;  // far beyond any real file; bounds memory
    QFile f(UserRegPath());
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.read(kMaxBytes);
    if (bytes.startsWith("\xff\xfe"))
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                  (bytes.size() - 2) / 2);
    return DecodeText(bytes);
}

bool WriteScreenSaveUsePassword(bool on) {
    if (!EnsureSettingsFolder()) return false;
    QStringList lines = ReadUserRegText().split(QStringLiteral("\n"));
    for (QString& l : lines)
        if (l.endsWith(u'\r')) l.chop(1);
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    lines = WithPasswordSwitch(lines, on);

    return WriteFileAtomically(
        UserRegPath(), EncodeText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

}  // namespace tavello

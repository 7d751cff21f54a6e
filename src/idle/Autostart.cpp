#include "idle/Autostart.h"

#include "idle/IdleTime.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavello {

namespace {

// Far above any entry; a bigger file is not read into memory to be compared.
constexpr qint64 kMaxEntryBytes = 64 * 1024;

// A word of an Exec line: plain when it holds nothing the launcher treats specially, else in
// double quotes with " ` $ \ escaped. The value is a string as well, so every backslash is
// doubled once more, and % (a field code) is written %%.
QString ExecWord(const QString& word) {
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool quote = word.isEmpty();
    for (const QChar c : word) quote = quote || reserved.contains(c);
    QString text = word;
    if (quote) {
        for (const QString special : {"\\", "\"", "`", "$"})
            text.replace(special, QStringLiteral("\\") + special);
        text = QStringLiteral("\"") + text + QStringLiteral("\"");
    }
    return text.replace(QStringLiteral("\\"), QStringLiteral("\\\\"))
        .replace(QStringLiteral("%"), QStringLiteral("%%"));
}

std::optional<QByteArray> ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxEntryBytes) return std::nullopt;
    return file.readAll();
}

}  // namespace

QString AutostartFile() {
    // $XDG_CONFIG_HOME, or ~/.config when it is unset or empty.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/tavello-idle.desktop");
}

QString AutostartProgram(const QString& programPath) {
    const QString self = QFileInfo(programPath).canonicalFilePath();
    const QString found = QStandardPaths::findExecutable(QStringLiteral("tavello"));
    if (!self.isEmpty() && !found.isEmpty() && QFileInfo(found).canonicalFilePath() == self)
        return QStringLiteral("tavello");
    return ExecWord(self.isEmpty() ? programPath : self);
}

QByteArray AutostartEntry(const QString& program, std::chrono::seconds idleTime) {
    const QString time = FormatIdleTime(idleTime);
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=TAVELLO\n"
               "Comment=入力のない時間が %1 続くと TAVELLO のショーを始めます\n"
               "Exec=%2 --idle %1\n"
               "Icon=tavello\n"
               "Terminal=false\n"
               "NoDisplay=true\n"
               "X-GNOME-Autostart-enabled=true\n")
        .arg(time, program)
        .toUtf8();
}

AutostartReport AddToAutostart(const QString& path, const QString& program,
                               std::chrono::seconds idleTime) {
    const QString time = FormatIdleTime(idleTime);
    if (program.contains(QLatin1Char('\n')) || program.contains(QLatin1Char('\r')))
        return {false, QStringLiteral("このプログラムのパスには改行が含まれているため、"
                                      "自動起動の項目に書けません。何も変えていません。")};
    const QByteArray entry = AutostartEntry(program, idleTime);
    const bool existed = QFileInfo::exists(path);
    if (existed && ReadSmallFile(path) == entry)
        return {true, QStringLiteral("%1 はもう「%2 --idle %3」を起動します。何も変えていません。")
                          .arg(path, program, time)};
    QString error = QStringLiteral("フォルダーを作れません");
    if (!QDir().mkpath(QFileInfo(path).path()) || !WriteFileAtomically(path, entry, &error))
        return {false,
                QStringLiteral("%1 に書き込めません（%2）。何も変えていません。").arg(path, error)};
    return {
        true,
        QStringLiteral("%1 を%2。次のログインから「%3 --idle %4」が起動し、入力のない時間が "
                       "%4 続くとショーを始めます。")
            .arg(path, existed ? QStringLiteral("書き換えました") : QStringLiteral("作りました"),
                 program, time)};
}

}  // namespace tavello

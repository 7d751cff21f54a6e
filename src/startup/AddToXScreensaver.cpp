#include "startup/AddToXScreensaver.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "startup/XScreensaverList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <optional>

namespace tavello {
namespace {

// Far above any real list; a longer file is refused rather than cut short and written back.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

// xscreensaver's folder of hacks on Debian.
const char kHackFolder[] = "/usr/libexec/xscreensaver";

std::optional<QByteArray> FirstReadable(const QStringList& paths) {
    for (const QString& path : paths) {
        if (auto bytes = ReadRegularFile(path, kMaxFileBytes)) return bytes;
    }
    return std::nullopt;
}

// The file that really changes: the target of a symbolic link, else the path itself.
QString WrittenPath(const QFileInfo& info) {
    if (!info.isSymLink()) return info.filePath();
    return info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
}

QString Message(XScreensaverListChange change, const QString& path, const QByteArray& command) {
    const QString shown = QString::fromLocal8Bit(command);
    switch (change) {
        case XScreensaverListChange::Created:
            return QStringLiteral(
                       "%1 を既定の一覧から作り、TAVELLO（%2）を加えました。"
                       "xscreensaver-settings で選べます。")
                .arg(path, shown);
        case XScreensaverListChange::Added:
            return QStringLiteral(
                       "%1 の一覧に TAVELLO（%2）を加えました。"
                       "xscreensaver-settings で選べます。")
                .arg(path, shown);
        case XScreensaverListChange::AlreadyListed:
            return QStringLiteral("%1 の一覧には TAVELLO がもうあります。何も変えていません。")
                .arg(path);
        case XScreensaverListChange::AlreadyListedDisabled:
            return QStringLiteral(
                       "%1 の一覧には TAVELLO がもうあります（行頭の「-」で外されて"
                       "います）。何も変えていません。")
                .arg(path);
    }
    return {};
}

// A word the shell reads back as it is: plain when it holds nothing special, else in single
// quotes.
QByteArray ShellWord(const QByteArray& word) {
    static const QByteArray plain =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-";
    bool special = word.isEmpty();
    for (char c : word) special = special || !plain.contains(c);
    if (!special) return word;
    QByteArray quoted = word;
    return "'" + quoted.replace("'", "'\\''") + "'";
}

}  // namespace

AddToXScreensaverReport AddToXScreensaver(const XScreensaverPaths& paths,
                                          const QByteArray& command) {
    if (paths.userFile.isEmpty())
        return {false,
                QStringLiteral("HOME が設定されていないため、~/.xscreensaver がわかりません。")};
    const QFileInfo info(paths.userFile);
    const QString target = WrittenPath(info);
    std::optional<QByteArray> userFile;
    std::optional<QFileDevice::Permissions> permissions;
    if (info.exists()) {
        bool cut = false;
        userFile = ReadRegularFile(target, kMaxFileBytes, &cut);
        if (!userFile || cut)
            return {false,
                    QStringLiteral("%1 を読めません。何も変えていません。").arg(paths.userFile)};
        permissions = QFile::permissions(target);
    }
    const XScreensaverListResult result =
        AddTavelloToXScreensaverList(userFile, FirstReadable(paths.systemDefaults), command);
    const bool changed = result.change == XScreensaverListChange::Created ||
                         result.change == XScreensaverListChange::Added;
    QString error;
    if (changed && !WriteFileAtomically(target, result.text, &error, permissions)) {
        return {false, QStringLiteral("%1 に書き込めません（%2）。何も変えていません。")
                           .arg(paths.userFile, error)};
    }
    return {true, Message(result.change, paths.userFile, command)};
}

XScreensaverPaths SystemXScreensaverPaths() {
    XScreensaverPaths paths;
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty()) paths.userFile = home + QStringLiteral("/.xscreensaver");
    paths.systemDefaults = {QStringLiteral("/etc/X11/app-defaults/XScreenSaver"),
                            QStringLiteral("/usr/share/X11/app-defaults/XScreenSaver"),
                            QStringLiteral("/usr/lib/X11/app-defaults/XScreenSaver")};
    return paths;
}

QByteArray HackCommand(const QString& programPath) {
    const QString self = QFileInfo(programPath).canonicalFilePath();
    const QString name = QStringLiteral("tavello");
    const QString found[] = {
        QStandardPaths::findExecutable(name),
        QStandardPaths::findExecutable(name, {QString::fromLatin1(kHackFolder)})};
    for (const QString& path : found) {
        if (!self.isEmpty() && !path.isEmpty() && QFileInfo(path).canonicalFilePath() == self)
            return "tavello --root";
    }
    return ShellWord(QFile::encodeName(self.isEmpty() ? programPath : self)) + " --root";
}

int RunAddToXScreensaver(int& argc, char** argv) {
    // No window is needed; the core application only tells where this program lies.
    QCoreApplication app(argc, argv);
    const AddToXScreensaverReport report =
        AddToXScreensaver(SystemXScreensaverPaths(), HackCommand(app.applicationFilePath()));
    std::FILE* out = report.ok ? stdout : stderr;
    std::fputs(report.message.toUtf8().constData(), out);
    std::fputc('\n', out);
    return report.ok ? 0 : 1;
}

}  // namespace tavello

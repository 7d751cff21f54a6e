#include "host/AddToXScreensaver.h"

#include "host/XScreensaverList.h"
#include "platform/ErrorText.h"
#include "platform/RegularFile.h"
#include "platform/UserFileEdit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <functional>
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

// A line saying what went wrong, ending in "nothing changed".
QString Unchanged(const QString& path, const char* what, int error) {
    return QString::fromUtf8(what).arg(path, SystemErrorText(error)) +
           QStringLiteral("。何も変えていません。");
}

QString Refusal(const UserFileEditResult& result, const QString& path, const QString& home,
                std::uint32_t owner) {
    switch (result.refusal) {
        case UserFileRefusal::SystemError:
            return Unchanged(path,
                             result.step == UserFileStep::Reading ? "%1 を読めません（%2）"
                                                                  : "%1 に書き込めません（%2）",
                             result.error);
        case UserFileRefusal::NotRegular:
            return QStringLiteral(
                       "%1 を読めません（普通のファイルではありません）。"
                       "何も変えていません。")
                .arg(path);
        case UserFileRefusal::NotOwnersFile: {
            const QString file =
                result.editedPath == path
                    ? path
                    : QStringLiteral("%1 の指す先 %2").arg(path, result.editedPath);
            return QStringLiteral(
                       "%1 は %2 のファイルではないため、書き換えません（%3 の持ち主の"
                       "ファイルだけを書き換えます）。何も変えていません。")
                .arg(file, UserName(owner), home);
        }
        case UserFileRefusal::TooLarge:
            return QStringLiteral("%1 を読めません（16 MB を超えています）。何も変えていません。")
                .arg(path);
        case UserFileRefusal::KeptChanging:
            return QStringLiteral(
                       "%1 は書き換えのあいだにほかのプログラムに何度も変えられたため、"
                       "書き換えません。何も変えていません。")
                .arg(path);
        case UserFileRefusal::None:
            break;
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

AddToXScreensaverReport AddToXScreensaver(const XScreensaverPaths& paths, const QByteArray& command,
                                          const std::function<void()>& beforeReplace) {
    if (paths.userFile.isEmpty())
        return {false,
                QStringLiteral("HOME が設定されていないため、~/.xscreensaver がわかりません。")};
    // xscreensaver reads the list line by line: a line break cannot be written into a command.
    if (command.contains('\n') || command.contains('\r'))
        return {false, QStringLiteral("このプログラムのパスには改行が含まれているため、"
                                      "xscreensaver の一覧に書けません。何も変えていません。")};
    // Run as root with HOME at someone else's home, the file is edited as that user's.
    const QString home = QFileInfo(paths.userFile).path();
    int error = 0;
    const std::optional<std::uint32_t> owner = FolderOwner(home, &error);
    if (!owner) return {false, Unchanged(paths.userFile, "%1 に書き込めません（%2）", error)};

    const std::optional<QByteArray> defaults = FirstReadable(paths.systemDefaults);
    std::optional<XScreensaverListChange> change;
    UserFileEdit edit;
    edit.path = paths.userFile;
    edit.owner = *owner;
    edit.maxBytes = kMaxFileBytes;
    edit.edit = [&](const std::optional<QByteArray>& current) -> std::optional<QByteArray> {
        XScreensaverListResult result = AddTavelloToXScreensaverList(current, defaults, command);
        change = result.change;
        const bool changed = result.change == XScreensaverListChange::Created ||
                             result.change == XScreensaverListChange::Added;
        return changed ? std::optional<QByteArray>(std::move(result.text)) : std::nullopt;
    };
    edit.beforeReplace = beforeReplace;
    const UserFileEditResult result = EditUserFile(edit);
    if (result.refusal != UserFileRefusal::None)
        return {false, Refusal(result, paths.userFile, home, *owner)};
    return {true, Message(*change, paths.userFile, command)};
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

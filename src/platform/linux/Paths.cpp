#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cstdlib>

namespace tavello {

QString SettingsFolder() {
    // $XDG_CONFIG_HOME, or ~/.config when it is unset or empty.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tavello");
}

bool EnsureSettingsFolder() {
    const QString folder = SettingsFolder();
    if (QDir(folder).exists()) return true;
    if (!QDir().mkpath(folder)) return false;
    return QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString UserRuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/') return QFile::decodeName(runtime);
    const uid_t uid = getuid();
    const QString folder = QStringLiteral("/run/user/%1").arg(uid);
    struct stat st {};
    // lstat: a symbolic link planted there is not the user's folder.
    if (lstat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != uid || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return {};
    return folder;
}

void AdoptUserRuntimeFolder() {
    const char* current = std::getenv("XDG_RUNTIME_DIR");
    if (current != nullptr && *current == '/') return;  // the session's own; an empty one is none
    const QString folder = UserRuntimeFolder();
    if (!folder.isEmpty()) setenv("XDG_RUNTIME_DIR", QFile::encodeName(folder).constData(), 1);
}

}  // namespace tavello

#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <cstring>

namespace tavello {

QString SettingsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const QString base = (configHome && *configHome)
                             ? QString::fromLocal8Bit(configHome)
                             : QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/tavello");
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

unsigned GetWindowsDirectoryA(char* buffer, unsigned size) {
    const QByteArray folder = SettingsFolder().toLocal8Bit();
    const auto length = static_cast<unsigned>(folder.size());
    if (buffer == nullptr || length + 1 > size) return length + 1;
    std::memcpy(buffer, folder.constData(), length);
    buffer[length] = '\0';
    return length;
}

}  // namespace tavello

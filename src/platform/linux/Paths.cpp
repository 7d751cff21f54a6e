#include "platform/Paths.h"

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

unsigned GetWindowsDirectoryA(char* buffer, unsigned size) {
    const QByteArray folder = SettingsFolder().toLocal8Bit();
    const auto length = static_cast<unsigned>(folder.size());
    if (buffer == nullptr || length + 1 > size) return length + 1;
    std::memcpy(buffer, folder.constData(), length);
    buffer[length] = '\0';
    return length;
}

}  // namespace tavello

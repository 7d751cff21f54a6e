#include "platform/Password.h"

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/linux/PasswordProvider.h"
#include "platform/linux/UserReg.h"

#include <QDir>

namespace tavello {

namespace {

// The desktop's switch, read the way start-up reads it: four bytes, little-endian, non-zero on.
bool ReadScreenSaveUsePassword() {
    Registry& registry = SystemRegistry();
    HKEY key = 0;
    if (registry.RegOpenKeyExA(HKEY_CURRENT_USER, QStringLiteral("Control Panel\\desktop"), 0,
                               KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    std::uint8_t buffer[4] = {0, 0, 0, 0};
    std::uint32_t type = REG_DWORD;
    std::uint32_t size = sizeof buffer;
    const bool read = registry.RegQueryValueExA(key, QStringLiteral("ScreenSaveUsePassword"),
                                                nullptr, &type, buffer, &size) == ERROR_SUCCESS;
    registry.RegCloseKey(key);
    return read && (buffer[0] | buffer[1] | buffer[2] | buffer[3]) != 0;
}

QString PasswordFilePath() {
    return QDir(SettingsFolder()).filePath(PasswordStore::FileName());
}

}  // namespace

PasswordService& SystemPassword() {
    static PasswordProvider provider(PasswordProviderParts{
        .storePath = PasswordFilePath,
        .readUsePassword = ReadScreenSaveUsePassword,
        .writeUsePassword = WriteScreenSaveUsePassword,
    });
    return provider;
}

}  // namespace tavello
